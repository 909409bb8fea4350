// Flowers: a meadow of cartoon blossoms in staggered rows on a mint ground, each with a
// dark outline, a soft drop shadow and a yellow heart. Every other row turns the other
// way, the meadow drifts, and every blossom swells on the beat (the beats come about
// 0.375 s apart, 0.75 on "iTime", which runs at twice the scene's seconds).
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

float hash(vec2 p)
{
    vec3 q = fract(vec3(p.xyx) * 0.1031);
    q += dot(q, q.yzx + 33.33);
    return fract((q.x + q.y) * q.z);
}

// The radius of a blossom's edge in the direction angle.
float petalEdge(float angle, float petals, float size)
{
    return size * (0.62 + 0.38 * abs(cos(angle * petals * 0.5)));
}

void main()
{
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0);
    vec2 grid = p * 3.2 + vec2(iTime * 0.12, iTime * 0.05);
    float row = floor(grid.y);
    grid.x += 0.5 * mod(row, 2.0);
    vec2 cell = vec2(floor(grid.x), row);
    vec2 local = fract(grid) - 0.5;
    float seed = hash(cell);

    float beat = exp(-fract(iTime / 0.75) * 5.0);
    float size = (0.33 + 0.04 * seed) * (1.0 + 0.14 * beat);
    float petals = 5.0 + floor(seed * 2.0);
    float turn = (mod(row, 2.0) * 2.0 - 1.0) * iTime * (0.5 + 0.3 * seed);

    // mint ground, lighter towards the top, with the blossom's shadow down and right
    vec3 colour = mix(vec3(0.45, 0.85, 0.8), vec3(0.7, 0.97, 0.9), gl_TexCoord[0].y);
    // the shadow borrows the blossom's own edge, which saves a second atan per pixel
    float edge = petalEdge(atan(local.y, local.x) + turn, petals, size);
    float shadow = length(local - vec2(0.05, -0.05)) - edge;
    colour *= 1.0 - 0.3 * smoothstep(0.06, -0.02, shadow);

    // a fixed edge width: fwidth would jump where the staggered rows meet
    const float aa = 0.0045;
    float d = length(local) - edge;
    vec3 petal = candy(seed * 0.6 + 0.05 * iTime) * (0.75 + 0.5 * length(local) / size);
    colour = mix(colour, petal, smoothstep(aa, -aa, d));
    float heart = length(local) - size * 0.3;
    colour = mix(colour, vec3(1.0, 0.88, 0.3) * (1.1 - length(local) / size), smoothstep(aa, -aa, heart));
    // dark outlines round the petals and the heart
    float rim = min(abs(d), abs(heart));
    colour = mix(colour, vec3(0.22, 0.05, 0.22), smoothstep(aa * 2.0, aa * 0.5, rim));
    gl_FragColor = vec4(colour, 1.0);
}
