// Laser: glowing candy-coloured beams that snake across a deep plum sky. "waveIntensity" is
// the beat flare: it thickens and brightens the beams and lights the sky. Where the beams run
// and their hues come from the columns' side (laser.vert).
#version 120

uniform float waveIntensity;

varying float centre[5];
varying vec3 hue[5];

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float flare = clamp(waveIntensity, 0.0, 4.0);

    float fromMiddle = abs(uv.y - 0.5) * 2.0;
    vec3 colour = mix(vec3(0.16, 0.02, 0.22), vec3(0.05, 0.0, 0.12), fromMiddle);
    // the flare lights the sky around the beams as well as the beams themselves
    colour += vec3(0.22, 0.03, 0.2) * flare * (1.0 - fromMiddle);

    float width = 0.0025 * (1.0 + 0.5 * flare);
    float strength = width * (0.35 + 0.3 * flare);
    for (int i = 0; i < 5; i++)
        colour += hue[i] * (strength / (abs(uv.y - centre[i]) + width));
    // Soft tone mapping keeps crossing beams from clipping into flat white.
    colour = 1.0 - exp(-colour * 1.4);
    gl_FragColor = vec4(colour, 1.0);
}
