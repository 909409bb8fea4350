// TV static: the drawn picture (the logo layer) breaks up into a lost signal, with
// rolling noise, torn lines, a drifting bright bar and candy-tinted snow.
#version 120

uniform float iTime;
// Never set by the program: a sampler left at unit 0 reads the texture SFML binds
// for the drawn sprite, here the logo layer.
uniform sampler2D picture;

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453);
}

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float frame = floor(iTime * 30.0);

    // whole lines jump sideways now and then, as a weak signal does
    float line = floor(uv.y * 270.0);
    float tear = step(0.93, hash(vec2(line, frame))) * (hash(vec2(frame, line)) - 0.5) * 0.08;
    vec2 shifted = vec2(uv.x + tear + 0.004 * sin(uv.y * 60.0 + iTime * 20.0), uv.y);
    vec3 image = vec3(texture2D(picture, vec2(shifted.x + 0.006, shifted.y)).r,
                      texture2D(picture, shifted).g,
                      texture2D(picture, vec2(shifted.x - 0.006, shifted.y)).b);

    vec2 grain = floor(uv * vec2(640.0, 360.0));
    float snow = hash(grain + frame * 1.37);
    vec3 tint = mix(vec3(1.0, 0.45, 0.85), vec3(0.35, 1.0, 1.0), hash(grain.yx + frame));
    vec3 noise = mix(vec3(snow), tint * snow, 0.55);

    float bar = smoothstep(0.12, 0.0, abs(fract(uv.y * 0.7 - iTime * 0.35) - 0.5));
    float scan = 0.85 + 0.15 * sin(uv.y * 1080.0 * 1.5);
    vec3 colour = mix(image * 0.55, noise, 0.6) + bar * 0.25;
    gl_FragColor = vec4(colour * scan, 1.0);
}
