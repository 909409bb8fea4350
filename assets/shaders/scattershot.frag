// Scatter: the picture "image" arrives as a cloud of tiles. "iTime" runs from 0
// (scattered and invisible) to 1 (whole picture): each tile arrives at its own
// moment, sliding into place and turning upright, glowing candy-coloured on the way.
// "scatterStrength" is how far the tiles start out (0 means the default spread) and
// "maxRotation" how far, in degrees, each may start turned.
#version 120

uniform sampler2D image;
uniform float iTime;
uniform float maxRotation;
uniform float scatterStrength;

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
    const vec2 tiles = vec2(32.0, 18.0);
    vec2 cell = floor(uv * tiles);
    float seed = hash(cell);
    float seed2 = hash(cell + 17.3);

    // tiles land one after another over the whole 0..1 range
    float arrival = clamp((iTime - seed * 0.45) / 0.55, 0.0, 1.0);
    float away = 1.0 - arrival;
    away = away * away * (3.0 - 2.0 * away);

    float spread = scatterStrength > 0.0 ? scatterStrength : 0.5;
    vec2 direction = vec2(cos(seed2 * 6.2832), sin(seed2 * 6.2832));
    float angle = radians(maxRotation) * (seed * 2.0 - 1.0) * away;

    // each tile shows its own piece of the picture, shrunk, turned and shifted
    vec2 local = fract(uv * tiles) - 0.5;
    local = mat2(cos(angle), -sin(angle), sin(angle), cos(angle)) * local;
    local /= max(arrival, 0.05);
    vec2 source = (cell + 0.5 + local) / tiles + direction * spread * away;
    float insideTile = step(abs(local.x), 0.5) * step(abs(local.y), 0.5);

    vec4 picture = texture2D(image, source);
    vec3 colour = mix(picture.rgb, candy(seed + seed2), away * 0.7);
    float alpha = picture.a * insideTile * smoothstep(0.0, 0.25, arrival);
    gl_FragColor = vec4(colour, alpha);
}
