// Rainbow tunnel: a flight down a striped candy tube. "zoomFactorEx" (0 to 100)
// makes the tube breathe, "effect" (1 on a beat, falling to 0) jolts it with a
// twist, a bulge and a flash.
#version 120

uniform float iTime;
uniform float zoomFactorEx;
uniform float effect;

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
    p += 0.03 * effect * vec2(sin(iTime * 40.0), cos(iTime * 37.0));
    float radius = length(p) + 0.0001;
    float angle = atan(p.y, p.x);

    float zoom = 0.25 + zoomFactorEx * 0.004;
    float depth = zoom / radius + iTime * 1.2;
    float twist = angle / 3.14159 + depth * 0.15 + effect * 0.25 * sin(depth * 3.0);
    float stripes = fract(twist * 4.0);
    float rings = fract(depth * 1.5);

    vec3 colour = candy(depth * 0.25 + floor(twist * 4.0) * 0.25);
    colour *= 0.75 + 0.25 * smoothstep(0.0, 0.08, stripes) * smoothstep(1.0, 0.92, stripes);
    colour *= 0.8 + 0.2 * smoothstep(0.5, 0.45, abs(rings - 0.5));
    // the far end fades into a dark glow, so the tube has depth
    colour *= smoothstep(0.0, 0.35, radius * (1.0 + zoomFactorEx * 0.01));
    colour += vec3(1.0, 0.8, 1.0) * effect * 0.35;
    gl_FragColor = vec4(clamp(colour, 0.0, 1.0), 1.0);
}
