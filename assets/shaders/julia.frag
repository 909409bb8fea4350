// Julia fractal: the constant travels round a circle of famous shapes as
// "fractalState" goes from 0 to 1; "fractalColor" tints it on every beat. The far
// outside is see-through, so the scene's magenta beat flash shows behind the fractal.
#version 120

uniform vec3 fractalColor;
uniform float fractalState;

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
    vec2 z = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0) * 2.6;
    float angle = 1.9 + fractalState * 2.3;
    vec2 c = 0.7885 * vec2(cos(angle), sin(angle));

    const int maxIterations = 64;
    float escaped = float(maxIterations);
    float trap = 10.0;
    for (int i = 0; i < maxIterations; i++)
    {
        z = vec2(z.x * z.x - z.y * z.y, 2.0 * z.x * z.y) + c;
        trap = min(trap, dot(z, z));
        if (dot(z, z) > 64.0)
        {
            escaped = float(i);
            break;
        }
    }

    if (escaped >= float(maxIterations))
    {
        // inside the set: candy bands from how close the orbit came to the origin
        vec3 core = candy(sqrt(trap) * 1.5 + fractalState) * 0.55;
        gl_FragColor = vec4(mix(core, fractalColor, 0.25), 1.0);
        return;
    }
    // the smooth count removes the banding of whole iterations
    float smoothCount = escaped + 1.0 - log2(log2(dot(z, z)) * 0.5);
    float glow = clamp(log2(smoothCount + 1.0) / 6.0, 0.0, 1.0);
    vec3 colour = candy(glow * 2.0 + fractalState * 0.5);
    colour = mix(colour, fractalColor, 0.3) * (0.35 + 0.9 * glow);
    // the outermost bands let the window's beat flash through
    float alpha = 0.45 + 0.55 * smoothstep(0.15, 0.6, glow);
    gl_FragColor = vec4(clamp(colour, 0.0, 1.0), alpha);
}
