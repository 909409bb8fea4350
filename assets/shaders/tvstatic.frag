// TV static: the logo layer seen on an old set losing its signal. Snow streaked along the
// scan lines, a dark band rolling up the screen as the vertical hold slips, torn lines,
// colour fringes, scan lines and darkened corners; the picture stays half visible under it.
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
    float tear = step(0.9, hash(vec2(line, frame))) * (hash(vec2(frame, line)) - 0.5) * 0.1;
    vec2 p = vec2(uv.x + tear + 0.003 * sin(uv.y * 40.0 + iTime * 25.0), uv.y);
    vec3 image = vec3(texture2D(picture, p + vec2(0.004, 0.0)).r, texture2D(picture, p).g,
                      texture2D(picture, p - vec2(0.004, 0.0)).b);

    // analogue snow is streaked: cells three pixels wide and two high, mostly dark with
    // bright specks, faintly candy-tinted
    vec2 cell = floor(uv * vec2(640.0, 540.0));
    float snow = hash(cell + frame * 1.37);
    snow = snow * snow * 1.5;
    vec3 tint = mix(vec3(1.0, 0.6, 0.9), vec3(0.6, 1.0, 1.0), hash(cell.yx + frame));
    vec3 noise = mix(vec3(snow), tint * snow, 0.35);

    vec3 colour = mix(image, noise, 0.5);

    // the band of a slipping vertical hold rolls up the screen, with a bright edge
    float roll = fract(uv.y + iTime * 0.45);
    colour *= 1.0 - 0.55 * smoothstep(0.12, 0.0, abs(roll - 0.5));
    colour += 0.35 * smoothstep(0.012, 0.0, abs(roll - 0.38));

    // scan lines and the dark corners of a curved tube
    colour *= 0.72 + 0.28 * step(1.0, mod(gl_FragCoord.y, 3.0));
    vec2 centred = (uv - 0.5) * vec2(1.25, 1.0);
    colour *= smoothstep(0.95, 0.35, length(centred));
    gl_FragColor = vec4(colour, 1.0);
}
