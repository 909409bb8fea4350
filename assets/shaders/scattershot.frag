// Scatter, the pixels' side: a tile shows its part of the picture "image", turned by up to
// "maxRotation" degrees on its way in, in a candy glow that it loses as it lands; a picture
// that is not a page also fades in as its tiles land. See scattershot.vert for the flight.
// Where tiles of several flocks meet, the first flock's shows and hides the others, even where
// it is clear: a pixel that a tile of an earlier flock covers is left to that tile.
#version 120

uniform sampler2D image;
uniform float iTime;
uniform float page;
uniform float flock;
uniform float scatterStrength;

varying vec2 cell;
varying vec2 local;
varying float away;
varying vec2 uv;
varying vec2 turn;

const vec2 tiles = vec2(32.0, 18.0);
const float flocks = 6.0;
// cos and sin of each flock's heading, g * 1.0472 + 0.6 radians: a sixth of a turn apart.
const vec2 headings[6] = vec2[6](vec2(0.8253356, 0.5646425), vec2(-0.0763294, 0.9970827),
                                 vec2(-0.9016647, 0.4324360), vec2(-0.8253315, -0.5646485),
                                 vec2(0.0763367, -0.9970821), vec2(0.9016678, -0.4324293));

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

// The vertex side has the same.
void place(float g, float level, out float away, out vec2 offset, out float size)
{
    float arrival = clamp((level - g * 0.07) / 0.65, 0.0, 1.0);
    away = 1.0 - arrival * arrival * (3.0 - 2.0 * arrival);
    float spread = page > 0.5 ? 0.04 : scatterStrength > 0.0 ? scatterStrength : 0.6;
    vec2 heading = headings[int(g)];
    offset = vec2(heading.x, heading.y * 1.7778) * spread * away * (1.0 + 0.4 * away);
    size = page > 0.5 ? max(1.0 - away, 0.001) : 1.0 - 0.65 * away;
}

void main()
{
    float level = page > 0.5 ? clamp(iTime * 4.0 - 3.0, 0.0, 1.0) : clamp(iTime, 0.0, 1.0);
    // Home, the tiles meet edge to edge and none covers another.
    for (float g = 0.0; g < flocks && level < 1.0; g += 1.0)
    {
        if (g >= flock)
            break;
        float gAway, gSize;
        vec2 gOffset;
        place(g, level, gAway, gOffset, gSize);
        vec2 home = (uv - gOffset) * tiles;
        vec2 gCell = floor(home);
        vec2 gLocal = (home - gCell - 0.5) / gSize;
        if (floor(hash(gCell) * flocks) == g && abs(gLocal.x) <= 0.5 && abs(gLocal.y) <= 0.5)
            discard;
    }
    vec2 turned = clamp(mat2(turn.x, turn.y, -turn.y, turn.x) * local, -0.5, 0.5);
    vec4 picture = texture2D(image, (cell + 0.5 + turned) / tiles);
    vec3 colour = mix(picture.rgb, candy(flock * 0.17 + level), away * 0.6);
    // A page's tiles come in opaque: half-clear tiles of its card would show as grey ghosts.
    gl_FragColor = vec4(colour, picture.a * (page > 0.5 ? 1.0 : smoothstep(0.0, 0.25, 1.0 - away)));
}
