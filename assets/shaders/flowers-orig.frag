// The original flower: one big kaleidoscope blossom filling the frame, its petal
// rings turning against each other.
#version 120

uniform float iTime;

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

void main()
{
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0);
    float radius = length(p);
    float angle = atan(p.y, p.x);

    vec3 colour = vec3(0.2, 0.9, 0.95) * (1.0 - radius * 0.6) * (0.85 + 0.15 * sin(angle * 12.0 - iTime));
    for (int i = 0; i < 4; i++)
    {
        float fi = float(i);
        float ring = 0.5 - fi * 0.11;
        float turn = angle + iTime * (fi - 1.5) * 0.8;
        float petals = 6.0 + fi * 2.0;
        float edge = ring * (0.75 + 0.25 * abs(cos(turn * petals * 0.5)));
        float inside = smoothstep(edge + 0.008, edge - 0.008, radius);
        colour = mix(colour, candy(fi * 0.27 + iTime * 0.1) * (0.7 + 0.6 * radius / ring), inside);
    }
    float centre = smoothstep(0.07, 0.06, radius);
    colour = mix(colour, vec3(1.0, 0.92, 0.3), centre);
    gl_FragColor = vec4(colour, 1.0);
}
