// Moire: two sets of fine rings slide across each other; where they interfere the
// candy colours bloom. "color2" is the beat pulse that lights the pattern up.
#version 120

uniform float iTime;
uniform vec3 color2;

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
    vec2 a = vec2(0.35 * sin(iTime * 0.6), 0.2 * cos(iTime * 0.8));
    vec2 b = vec2(0.4 * cos(iTime * 0.5), 0.25 * sin(iTime * 0.7 + 1.0));
    float ringsA = sin(length(p - a) * 110.0);
    float ringsB = sin(length(p - b) * 110.0);
    float interference = ringsA * ringsB;

    vec3 colour = candy(length(p) * 0.7 + iTime * 0.08 + 0.25 * interference);
    colour *= 0.45 + 0.55 * smoothstep(-0.2, 0.6, interference);
    colour += color2 * (0.25 + 0.35 * smoothstep(0.0, 1.0, interference));
    gl_FragColor = vec4(clamp(colour, 0.0, 1.0), 1.0);
}
