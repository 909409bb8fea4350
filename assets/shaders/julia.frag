// Julia fractal: the constant travels round a circle of famous shapes as "fractalState"
// goes from 0 to 1; "fractalColor" tints it on every beat. The far outside is see-through,
// so the scene's magenta beat flash shows behind the fractal.
#version 120

uniform vec3 fractalColor;
uniform float fractalState;

void main()
{
    vec2 z = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0) * 2.6;
    float angle = 1.9 + fractalState * 2.3;
    vec2 c = 0.7885 * vec2(cos(angle), sin(angle));
    // the tint lifted towards white: a bright candy magenta or mint, never a dull mix
    vec3 tint = mix(fractalColor, vec3(1.0), 0.35);

    const int maxIterations = 48;
    float escaped = float(maxIterations);
    float trap = 10.0;
    for (int i = 0; i < maxIterations; i++)
    {
        z = vec2(z.x * z.x - z.y * z.y, 2.0 * z.x * z.y) + c;
        float size = dot(z, z);
        trap = min(trap, size);
        if (size > 16.0)
        {
            escaped = float(i);
            break;
        }
    }

    if (escaped >= float(maxIterations))
    {
        // inside the set: tinted stripes from how close the orbit came to the origin,
        // on a deep plum ground
        float bands = 0.5 + 0.5 * sin(sqrt(trap) * 14.0 - fractalState * 12.0);
        gl_FragColor = vec4(mix(vec3(0.14, 0.02, 0.2), tint, 0.35 + 0.65 * bands * bands), 1.0);
        return;
    }
    // the smooth count removes the banding of whole iterations
    float smoothCount = escaped + 1.0 - log2(log2(dot(z, z)) * 0.5);
    float glow = clamp(smoothCount / 24.0, 0.0, 1.0);
    vec3 hue = 0.6 + 0.4 * cos(6.2832 * (glow * 1.5 + fractalState * 0.5 + vec3(0.0, 0.33, 0.67)));
    vec3 colour = mix(hue, tint, 0.3) * (0.3 + 0.9 * glow);
    // the outermost bands let the window's beat flash through
    float alpha = 0.3 + 0.7 * smoothstep(0.1, 0.5, glow);
    gl_FragColor = vec4(clamp(colour, 0.0, 1.0), alpha);
}
