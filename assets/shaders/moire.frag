// Moire: two sets of fine rings, about fourteen pixels apart, drift across each other;
// where they interfere, broad candy bands sweep and shimmer over the screen. "color2" is
// the beat pulse: it lights the bands up in their own colours rather than greying them.
#version 120

uniform float iTime;
uniform vec3 color2;

// pink -> magenta -> cyan -> yellow and round again, one turn per unit. The segment's two
// colours are picked without branching: a software renderer runs every branch that any
// pixel of a block takes. fract() may round up to 1, which ends the last segment.
vec3 candy(float t)
{
    t = fract(t) * 4.0;
    float segment = min(floor(t), 3.0);
    const vec3 pink = vec3(1.0, 0.42, 0.72);
    const vec3 magenta = vec3(0.95, 0.15, 0.95);
    const vec3 cyan = vec3(0.2, 0.95, 1.0);
    const vec3 yellow = vec3(1.0, 0.92, 0.3);
    vec3 from = segment < 1.0 ? pink : segment < 2.0 ? magenta : segment < 3.0 ? cyan : yellow;
    vec3 to = segment < 1.0 ? magenta : segment < 2.0 ? cyan : segment < 3.0 ? yellow : pink;
    return mix(from, to, smoothstep(0.0, 1.0, t - segment));
}

// Ring frequency in radians per screen height: 2 pi * 1080 / 14 pixels.
const float rings = 485.0;

void main()
{
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0);
    vec2 a = vec2(0.45 * sin(iTime * 0.37), 0.22 * cos(iTime * 0.53));
    vec2 b = vec2(0.4 * cos(iTime * 0.29 + 2.0), 0.25 * sin(iTime * 0.41 + 1.0));
    float da = length(p - a);
    float db = length(p - b);
    // the fine lines themselves, dark between them like an outline
    float lines = (0.5 + 0.5 * cos(da * rings)) * (0.5 + 0.5 * cos(db * rings));
    // the broad interference bands that a viewer sees as the moire
    float bands = 0.5 + 0.5 * cos((da - db) * rings);

    vec3 hue = candy(bands * 0.5 + (da + db) * 0.25 + iTime * 0.06);
    // between the lines lies a deep plum ink rather than a darkened candy colour, which
    // would turn the yellows olive
    vec3 ink = vec3(0.16, 0.04, 0.22);
    float lit = smoothstep(0.05, 0.6, lines) * (0.45 + 0.55 * bands);
    vec3 colour = mix(ink, hue, lit);
    float pulse = dot(color2, vec3(1.0 / 3.0));
    colour = mix(colour, hue * 1.2 + 0.2, pulse * (0.3 + 0.6 * lit));
    gl_FragColor = vec4(clamp(colour, 0.0, 1.0), 1.0);
}
