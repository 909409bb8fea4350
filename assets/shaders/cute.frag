// Cute: rows of bouncing hearts and polka dots drifting over pastel candy stripes.
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

float heart(vec2 p)
{
    // the classic heart curve (x^2 + y^2 - 1)^3 = x^2 y^3, negative inside
    p = p * vec2(1.0, 1.1) + vec2(0.0, 0.15);
    float ring = dot(p, p) - 1.0;
    return ring * ring * ring - p.x * p.x * p.y * p.y * p.y;
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
    colour = mix(colour, vec3(1.0, 1.0, 1.0), smoothstep(0.16, 0.13, dots) * 0.7);

    vec2 grid = p * 3.0 + vec2(-slow * 3.0, 0.0);
    vec2 cell = floor(grid);
    vec2 local = fract(grid) - 0.5;
    float odd = mod(cell.x + cell.y, 2.0);
    local.y -= 0.08 * abs(sin(iTime * 0.9 + cell.x * 1.3));
    local *= 1.0 + 0.1 * sin(iTime * 1.3 + cell.y);
    float shape = heart(local * 4.2);
    const float edge = 0.03;
    vec3 heartColour = candy(odd * 0.27 + cell.x * 0.13 + slow * 0.3);
    float outlined = heart(local * 3.8);
    colour = mix(colour, vec3(0.35, 0.05, 0.35), smoothstep(edge, 0.0, outlined));
    colour = mix(colour, heartColour, smoothstep(edge, -edge, shape));
    // a little shine on the upper left of each heart
    float shine = smoothstep(0.035, 0.015, length(local - vec2(-0.1, 0.06)));
    colour = mix(colour, vec3(1.0), shine * step(shape, 0.0) * 0.8);
    gl_FragColor = vec4(colour, 1.0);
}
