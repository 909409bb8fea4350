// Cute: rows of bouncing candy hearts with dark outlines and a shine, and polka dots,
// drifting over pastel stripes. The scene draws this pass turned by 180 degrees, so the
// hearts are built point-down in texture space (y grows downwards there) and stand upright
// on screen, while the rows drift and bounce the other way round from how they are written.
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

// Signed distance to a heart with its point at the origin and its lobes towards +y,
// about 1.1 tall and 1.4 wide.
float heart(vec2 p)
{
    p.x = abs(p.x);
    if (p.y + p.x > 1.0)
        return length(p - vec2(0.25, 0.75)) - 0.35355;
    vec2 a = p - vec2(0.0, 1.0);
    vec2 b = p - 0.5 * max(p.x + p.y, 0.0);
    return sqrt(min(dot(a, a), dot(b, b))) * sign(p.x - p.y);
}

void main()
{
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0);
    float slow = iTime * 0.08;

    float stripe = step(0.5, fract((p.x + p.y) * 5.0 + slow));
    vec3 colour = mix(vec3(1.0, 0.75, 0.88), vec3(0.75, 0.95, 1.0), stripe);

    // polka dots on their own drifting grid
    vec2 dotGrid = p * 10.0 + vec2(slow * 2.0, -slow);
    float dots = length(fract(dotGrid) - 0.5);
    colour = mix(colour, vec3(1.0), smoothstep(0.16, 0.13, dots) * 0.7);

    vec2 grid = p * 3.0 + vec2(-slow * 3.0, 0.0);
    vec2 cell = floor(grid);
    vec2 local = fract(grid) - 0.5;
    float odd = mod(cell.x + cell.y, 2.0);
    // each heart hops on its own phase and breathes a little
    local.y -= 0.06 * abs(sin(iTime * 0.9 + cell.x * 1.3));
    local *= 1.0 + 0.08 * sin(iTime * 1.3 + cell.y);
    vec2 h = local * 2.6 + vec2(0.0, 0.55);
    float d = heart(h) / 2.6;

    vec3 heartColour = candy(odd * 0.27 + cell.x * 0.13 + slow * 0.3);
    // soft shadow, dark outline, candy fill, shine on the upper left as seen on screen
    float shadow = heart(h - vec2(-0.08, -0.1)) / 2.6;
    colour = mix(colour, colour * 0.7, smoothstep(0.02, 0.0, shadow) * 0.6);
    colour = mix(colour, vec3(0.3, 0.04, 0.3), smoothstep(0.004, 0.0, d - 0.018));
    colour = mix(colour, heartColour, smoothstep(0.004, 0.0, d));
    float shine = smoothstep(0.05, 0.03, length(h - vec2(0.38, 0.78)));
    colour = mix(colour, vec3(1.0), shine * 0.8);
    gl_FragColor = vec4(colour, 1.0);
}
