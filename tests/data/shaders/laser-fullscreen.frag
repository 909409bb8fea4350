// The laser as it was before its beams were found per column on the vertex side: one
// full-screen pass that computed every beam at every pixel. The tests compare against it.
// Laser: glowing candy-coloured beams that snake across a deep plum sky.
// "waveIntensity" is the beat flare: it widens the swings, thickens and brightens the
// beams and lights the sky; "xOffset" scrolls the waves sideways.
#version 120

uniform float xOffset;
uniform float waveIntensity;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float x = uv.x * 1.7778;
    float flare = clamp(waveIntensity, 0.0, 4.0);

    float fromMiddle = abs(uv.y - 0.5) * 2.0;
    vec3 colour = mix(vec3(0.16, 0.02, 0.22), vec3(0.05, 0.0, 0.12), fromMiddle);
    // the flare lights the sky around the beams as well as the beams themselves
    colour += vec3(0.22, 0.03, 0.2) * flare * (1.0 - fromMiddle);

    float width = 0.0025 * (1.0 + 0.5 * flare);
    float strength = width * (0.35 + 0.3 * flare);
    float hueShift = x * 0.15 - xOffset * 0.1;
    // Five beams, each one sine with a slower one riding on it; a cosine palette gives the
    // candy hues without branching, which keeps the pass cheap.
    for (int i = 0; i < 5; i++)
    {
        float fi = float(i);
        float swing = (0.09 + 0.05 * fi) * (1.0 + 0.35 * flare);
        float wave = sin(x * (2.2 + 0.7 * fi) + xOffset * (1.3 + 0.4 * fi) + fi * 1.9) +
                     0.4 * sin(x * (5.1 - 0.4 * fi) - xOffset * 2.1 + fi);
        float distance = abs(uv.y - 0.5 - swing * wave);
        vec3 hue = 0.6 + 0.4 * cos(6.2832 * (fi * 0.2 + hueShift + vec3(0.0, 0.33, 0.67)));
        colour += hue * (strength / (distance + width));
    }
    // Soft tone mapping keeps crossing beams from clipping into flat white.
    colour = 1.0 - exp(-colour * 1.4);
    gl_FragColor = vec4(colour, 1.0);
}
