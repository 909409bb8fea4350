// Field: a low flight over an endless candy-tiled plain towards a horizon that
// shows the picture "backgroundImage". The camera position comes from the scene
// ("camPos_x" sways, "camPos_y" bobs, "camPos_z" flies forward); "iTime" pulses the
// glowing grid. The scene draws this pass turned by 180 degrees, so up here is
// towards larger texture y, and the picture is read turned back upright.
#version 120

uniform sampler2D backgroundImage;
uniform float iTime;
uniform float camPos_x;
uniform float camPos_y;
uniform float camPos_z;

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
    vec2 uv = gl_TexCoord[0].xy;
    vec2 p = (uv - 0.5) * vec2(1.7778, 1.0);
    float roll = camPos_x * 0.04;
    p = mat2(cos(roll), -sin(roll), sin(roll), cos(roll)) * p;

    const float floorHeight = -1.0;
    float horizon = 0.1;
    vec3 sky = texture2D(backgroundImage, vec2(1.0 - uv.x + camPos_x * 0.01, 1.0 - uv.y)).rgb;
    sky = mix(sky, vec3(1.0, 0.55, 0.85), 0.25 + 0.5 * smoothstep(0.25, 0.0, p.y - horizon));

    vec3 colour = sky;
    vec3 direction = vec3(p.x, p.y - horizon, 1.0);
    if (direction.y < 0.0)
    {
        float distance = (camPos_y - floorHeight) / -direction.y;
        vec2 ground = vec2(camPos_x, camPos_z) + direction.xz * distance;
        vec2 tile = floor(ground);
        vec2 inTile = fract(ground);
        float checker = mod(tile.x + tile.y, 2.0);
        vec3 tileColour = candy(hash(tile) * 0.5 + checker * 0.5);
        tileColour *= 0.75 + 0.25 * checker;

        // antialiased glowing seams between the tiles
        vec2 width = fwidth(ground) * 1.5;
        vec2 seam = smoothstep(width, vec2(0.0), min(inTile, 1.0 - inTile));
        float pulse = 0.6 + 0.4 * sin(iTime * 4.0 - ground.y * 0.5);
        vec3 surface = mix(tileColour, vec3(1.0, 0.95, 1.0), max(seam.x, seam.y) * pulse);

        float fog = exp(-distance * 0.08);
        colour = mix(sky, surface, fog);
    }
    gl_FragColor = vec4(colour, 1.0);
}
