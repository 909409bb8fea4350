// Field: a low, fast flight over an endless candy-tiled plain. Above a glowing horizon
// hangs the picture "backgroundImage" as a wide panorama that drifts as the camera sways;
// below it the tiles rush towards the viewer and fade into the horizon haze. The camera
// position comes from the scene ("camPos_x" sways and banks, "camPos_y" bobs, "camPos_z"
// flies forward); "iTime" sends pulses of light along the seams. The scene draws this
// pass turned by 180 degrees, so the texture coordinates are turned back first.
#version 120

uniform sampler2D backgroundImage;
uniform float iTime;
uniform float camPos_x;
uniform float camPos_y;
uniform float camPos_z;

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

float hash(vec2 p)
{
    vec3 q = fract(vec3(p.xyx) * 0.1031);
    q += dot(q, q.yzx + 33.33);
    return fract((q.x + q.y) * q.z);
}

void main()
{
    // screen position, x to the right and y up, centred, in units of the screen height
    vec2 uv = vec2(1.0 - gl_TexCoord[0].x, gl_TexCoord[0].y);
    vec2 p = (uv - 0.5) * vec2(1.7778, 1.0);
    float bank = -camPos_x * 0.02;
    p = mat2(cos(bank), sin(bank), -sin(bank), cos(bank)) * p;

    const float horizon = 0.02;
    const vec3 haze = vec3(1.0, 0.62, 0.62);
    float above = p.y - horizon;
    vec3 colour;
    if (above > 0.0)
    {
        // the picture stands on the horizon and reaches the top of the screen
        float height = 0.5 - horizon + 0.03;
        vec2 picture = vec2(p.x / (2.0 * height) + 0.5 + camPos_x * 0.015, 1.0 - above / height);
        colour = texture2D(backgroundImage, picture).rgb;
        colour = mix(colour, haze, 0.6 * exp(-above * 30.0));
    }
    else
    {
        // a ray from the camera meets the floor; the camera flies a little above it
        vec3 ray = vec3(p.x, above, 1.4);
        float height = camPos_y + 1.6;
        float distance = height / -ray.y;
        vec2 ground = vec2(camPos_x, camPos_z) + ray.xz * distance;
        vec2 tile = floor(ground);
        vec2 inTile = fract(ground);
        float checker = mod(tile.x + tile.y, 2.0);
        vec3 surface = candy(hash(tile) * 0.35 + checker * 0.5) * (0.7 + 0.3 * checker);

        // dark outlines between the tiles, with light running along them towards the viewer
        vec2 width = fwidth(ground);
        vec2 seam = smoothstep(width * 1.5, vec2(0.0), min(inTile, 1.0 - inTile));
        float line = max(seam.x, seam.y);
        float pulse = pow(0.5 + 0.5 * sin(ground.y * 0.8 - iTime * 6.0), 4.0);
        surface = mix(surface, mix(vec3(0.2, 0.05, 0.25), vec3(1.0, 0.95, 1.0), pulse), line);

        float fog = 1.0 - exp(-distance * 0.035);
        colour = mix(surface, haze, fog);
    }
    // a thin bright band marks the horizon
    colour += vec3(1.0, 0.85, 0.8) * 0.5 * exp(-abs(above) * 120.0);
    gl_FragColor = vec4(colour, 1.0);
}
