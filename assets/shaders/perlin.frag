// Perlin: slow billowing candy clouds of layered noise. "originalRed",
// "originalGreen" and "originalBlue" (0 or 0.25 each) tint the clouds for the current
// beat step, "r" and "b" are the beat flash that lights the clouds up magenta.
#version 120

uniform float iTime;
uniform float r;
uniform float b;
uniform float originalRed;
uniform float originalGreen;
uniform float originalBlue;

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

// Arithmetic hash: on a software renderer it costs a fraction of the usual sin() hash,
// and this shader evaluates it 32 times per pixel.
float hash(vec2 p)
{
    vec3 q = fract(vec3(p.xyx) * 0.1031);
    q += dot(q, q.yzx + 33.33);
    return fract((q.x + q.y) * q.z);
}

float noise(vec2 p)
{
    vec2 i = floor(p);
    vec2 f = fract(p);
    vec2 u = f * f * (3.0 - 2.0 * f);
    return mix(mix(hash(i), hash(i + vec2(1.0, 0.0)), u.x), mix(hash(i + vec2(0.0, 1.0)), hash(i + 1.0), u.x),
               u.y);
}

float clouds(vec2 p)
{
    float sum = 0.0;
    float amplitude = 0.5;
    for (int i = 0; i < 4; i++)
    {
        sum += amplitude * noise(p);
        p = p * 2.03 + vec2(1.7, 9.2);
        amplitude *= 0.5;
    }
    return sum;
}

// Two octaves are enough for the warp: its fine detail is lost in the lookup it bends.
float softClouds(vec2 p)
{
    return 0.5 * noise(p) + 0.25 * noise(p * 2.03 + vec2(1.7, 9.2)) + 0.125;
}

void main()
{
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0) * 3.0;
    float t = iTime * 0.05;
    // warping the lookup by a first noise layer makes the clouds roll instead of slide
    vec2 warp = vec2(softClouds(p + vec2(t, 0.0)), softClouds(p + vec2(5.2, 1.3 - t)));
    float n = clouds(p + 2.0 * warp + vec2(0.0, t));

    // The tint of the beat step (0 or 0.25 per channel) as a candy colour: red becomes
    // raspberry, green mint, blue sky. It fills the hollows of the clouds and casts a
    // little light over the rest; mixing it into the bright parts would grey them.
    vec3 tint = clamp(vec3(originalRed, originalGreen, originalBlue) * 4.0, 0.0, 1.0);
    float amount = max(tint.r, max(tint.g, tint.b));
    vec3 candyTint = mix(vec3(0.3, 0.28, 0.5), vec3(1.0), tint);
    // Untinted hollows sink into plum rather than a darkened candy colour, which would
    // turn the yellows olive.
    vec3 deep = mix(vec3(0.36, 0.12, 0.46), candyTint * 0.6, amount);
    vec3 colour = mix(deep, candy(n * 1.4 + t * 0.2), 0.3 + 0.7 * smoothstep(0.15, 0.7, n));
    colour = 1.0 - (1.0 - colour) * (1.0 - 0.3 * amount * candyTint);
    colour += vec3(r, 0.0, b) * 0.4 * (0.4 + n);
    gl_FragColor = vec4(clamp(colour, 0.0, 1.0), 1.0);
}
