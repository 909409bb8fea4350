// Laser, the columns' side: where each of the five beams crosses a column of the screen and
// its hue there depend on the column only, so they are found here, at the strips' edges a few
// pixels apart (the beams' curves are far smoother than that), and the fragment side reads
// them interpolated. "waveIntensity" is the beat flare: it widens the swings; "xOffset"
// scrolls the waves sideways.
#version 120

uniform float xOffset;
uniform float waveIntensity;

varying float centre[5]; // the beams' heights, 0 top to 1 bottom
varying vec3 hue[5];     // the beams' candy hues

void main()
{
    vec2 uv = gl_MultiTexCoord0.xy;
    float x = uv.x * 1.7778;
    float flare = clamp(waveIntensity, 0.0, 4.0);
    float hueShift = x * 0.15 - xOffset * 0.1;
    // Each beam is one sine with a slower one riding on it; a cosine palette gives the candy
    // hues without branching.
    for (int i = 0; i < 5; i++)
    {
        float fi = float(i);
        float swing = (0.09 + 0.05 * fi) * (1.0 + 0.35 * flare);
        float wave = sin(x * (2.2 + 0.7 * fi) + xOffset * (1.3 + 0.4 * fi) + fi * 1.9) +
                     0.4 * sin(x * (5.1 - 0.4 * fi) - xOffset * 2.1 + fi);
        centre[i] = 0.5 + swing * wave;
        hue[i] = 0.6 + 0.4 * cos(6.2832 * (fi * 0.2 + hueShift + vec3(0.0, 0.33, 0.67)));
    }
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
}
