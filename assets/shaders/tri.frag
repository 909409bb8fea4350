// Triangles: a turning, zooming grid of candy triangles; "triSize" swells the
// triangles on the beat, and between beats they breathe on their own.
#version 120

uniform float iTime;
uniform float triSize;

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

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

void main()
{
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0);
    // iTime runs eight times faster than the scene, so everything here is slowed down
    float t = iTime * 0.125;
    float turn = t * 0.15;
    p = mat2(cos(turn), -sin(turn), sin(turn), cos(turn)) * p;
    p *= 5.0 + 1.0 * sin(t * 0.4);

    // skew into a lattice of equilateral triangles, two per rhombus
    vec2 skewed = vec2(p.x - p.y * 0.57735, p.y * 1.1547);
    vec2 cell = floor(skewed);
    vec2 f = fract(skewed);
    float upper = step(1.0, f.x + f.y);
    vec2 id = cell * 2.0 + upper;
    // barycentric distance to the triangle's edges, 1/3 at its centre
    vec3 bary = upper > 0.5 ? vec3(1.0 - f.x, 1.0 - f.y, f.x + f.y - 1.0) : vec3(f.x, f.y, 1.0 - f.x - f.y);
    float edge = min(bary.x, min(bary.y, bary.z));

    float seed = hash(id);
    float size = 0.12 + 0.06 * sin(t * 3.0 + seed * 6.2832) + triSize;
    float inside = smoothstep(0.3334 - size - 0.02, 0.3334 - size + 0.02, edge);

    vec3 ground = mix(vec3(0.2, 0.02, 0.25), vec3(0.05, 0.1, 0.25), gl_TexCoord[0].y);
    vec3 fill = candy(seed * 0.6 + length(p) * 0.05 - t * 0.2) * (0.7 + 0.9 * edge);
    vec3 colour = mix(ground, fill, inside);
    colour += candy(seed + 0.5) * triSize * 1.5 * (1.0 - inside);
    gl_FragColor = vec4(clamp(colour, 0.0, 1.0), 1.0);
}
