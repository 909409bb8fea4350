// Flowers: a meadow of spinning candy blossoms, every other one turning the
// other way, on a swirling pink and magenta ground.
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

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

void main()
{
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0);
    float swirl = sin(length(p) * 9.0 - iTime * 1.5 + atan(p.y, p.x) * 3.0);
    vec3 colour = mix(vec3(1.0, 0.5, 0.78), vec3(0.85, 0.2, 0.85), 0.5 + 0.5 * swirl);

    vec2 grid = p * 4.0 + vec2(iTime * 0.15, iTime * 0.08);
    vec2 cell = floor(grid);
    vec2 local = fract(grid) - 0.5;
    float seed = hash(cell);
    float direction = mod(cell.x + cell.y, 2.0) * 2.0 - 1.0;
    float angle = atan(local.y, local.x) + direction * iTime * (0.6 + seed);
    float radius = length(local);
    float petals = 5.0 + floor(seed * 3.0);
    float size = 0.3 + 0.1 * sin(iTime * 2.0 + seed * 6.28);
    float outline = size * (0.65 + 0.35 * abs(cos(angle * petals * 0.5)));

    float aa = 0.01;
    float petal = smoothstep(outline + aa, outline - aa, radius);
    vec3 petalColour = candy(seed + iTime * 0.05) * (0.75 + 0.25 * radius / size);
    colour = mix(colour, petalColour, petal);
    float heart = smoothstep(0.09 + aa, 0.09 - aa, radius);
    colour = mix(colour, vec3(1.0, 0.93, 0.35), heart);
    // a darker rim gives each flower a crisp cartoon edge
    colour *= 1.0 - 0.35 * smoothstep(aa * 3.0, 0.0, abs(radius - outline));
    gl_FragColor = vec4(colour, 1.0);
}
