// Laser: glowing candy-coloured beams that snake across a deep plum sky.
// "waveIntensity" is the beat flare: it widens the swings and brightens the beams;
// "xOffset" scrolls the waves sideways.
#version 120

uniform float xOffset;
uniform float waveIntensity;

vec3 candy(float t)
{
    // pink -> magenta -> cyan -> yellow and round again
    t = fract(t) * 4.0;
    vec3 pink = vec3(1.0, 0.42, 0.72);
    vec3 magenta = vec3(0.95, 0.15, 0.95);
    vec3 cyan = vec3(0.2, 0.95, 1.0);
    vec3 yellow = vec3(1.0, 0.92, 0.3);
    if (t < 1.0)
        return mix(pink, magenta, smoothstep(0.0, 1.0, t));
    if (t < 2.0)
        return mix(magenta, cyan, smoothstep(1.0, 2.0, t));
    if (t < 3.0)
        return mix(cyan, yellow, smoothstep(2.0, 3.0, t));
    return mix(yellow, pink, smoothstep(3.0, 4.0, t));
}

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float x = uv.x * 1.7778;

    vec3 colour = mix(vec3(0.16, 0.02, 0.22), vec3(0.05, 0.0, 0.12), abs(uv.y - 0.5) * 2.0);
    float flare = clamp(waveIntensity, 0.0, 4.0);
    for (int i = 0; i < 7; i++)
    {
        float fi = float(i);
        float swing = (0.08 + 0.04 * fi) * (1.0 + 0.35 * flare);
        float wave = sin(x * (2.2 + 0.6 * fi) + xOffset * (1.3 + 0.35 * fi) + fi * 1.9) +
                     0.4 * sin(x * (5.1 - 0.3 * fi) - xOffset * 2.1 + fi);
        float beamY = 0.5 + swing * wave;
        float distance = abs(uv.y - beamY);
        float width = 0.0025 * (1.0 + 0.5 * flare);
        float glow = width / (distance + width) + 0.5 * smoothstep(width * 2.0, 0.0, distance);
        colour += candy(fi / 7.0 + x * 0.15 - xOffset * 0.1) * glow * (0.35 + 0.3 * flare);
    }
    // Soft tone mapping keeps crossing beams from clipping into flat white.
    colour = 1.0 - exp(-colour * 1.4);
    gl_FragColor = vec4(colour, 1.0);
}
