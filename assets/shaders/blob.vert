// Blob, the frame's side: the six metaballs' centres and colours are the same at every pixel,
// so they are found here once a vertex (the quad's four corners agree) and the fragment side
// reads them. The corners are handed on as the shared vertex shader hands them.
#version 120

uniform float iTime;

varying vec2 centre[6];
varying vec3 blobTint[6];

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
    for (int i = 0; i < 6; i++)
    {
        float fi = float(i);
        centre[i] = vec2(0.6 * sin(iTime * (0.4 + 0.11 * fi) + fi * 2.1), 0.3 * cos(iTime * (0.5 + 0.07 * fi) + fi));
        blobTint[i] = candy(fi / 6.0);
    }
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
}
