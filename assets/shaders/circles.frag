// Circles: candy rings ripple out from three drifting centres and overlap; the scene
// fades the whole picture in and out on its beats.
#version 120

uniform float iTime;

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
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0);
    vec2 a = vec2(0.45 * sin(iTime * 0.7), 0.2 * cos(iTime * 0.9));
    vec2 b = vec2(0.5 * cos(iTime * 0.5 + 2.0), 0.25 * sin(iTime * 0.6 + 1.0));
    float r = length(p);
    float wave = sin(r * 28.0 - iTime * 6.0) + 0.7 * sin(length(p - a) * 28.0 - iTime * 4.0) +
                 0.7 * sin(length(p - b) * 28.0 - iTime * 5.0);

    // hard-edged bands with a dark outline between them, in the candy palette
    float band = sin(wave * 1.6);
    float hue = r * 0.6 - iTime * 0.15 + step(0.0, band) * 0.5;
    vec3 colour = candy(hue);
    colour *= smoothstep(0.0, 0.25, abs(band)) * 0.75 + 0.25;
    // a soft vignette keeps the pulse centred
    colour *= 1.1 - 0.5 * r;
    gl_FragColor = vec4(colour, 1.0);
}
