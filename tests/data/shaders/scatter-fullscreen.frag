// The scatter pass as it was before the tiles became geometry: one full-screen pass that finds,
// at every pixel, the tile of the first flock over it. The tests compare the tiles against it.
// Scatter: the picture "image" flies together from tiles. The tiles form six flocks,
// each scattered over the whole picture; "iTime" 0 leaves every flock far out and
// invisible, 1 has every tile home and the picture whole and untouched. On the way a
// flock sweeps in from its own direction, one after another, each tile growing to full
// size and losing its candy glow as it lands. "scatterStrength" is how far out the
// flocks start (0 gives the default spread) and "maxRotation" how far, in degrees, a
// tile may be turned on its way in.
//
// The greeting pages ("page" 1) are drawn differently. The scene shows up
// to three at once and they take turns on the two halves of the screen, so a page gathers from
// close by over the last quarter of its rise only and is gone within the first quarter of its
// fall, its tiles growing from nothing rather than fading in: it never meets the page before it
// in its half, nor flies over the page holding in the other one.
#version 120

uniform sampler2D image;
uniform float iTime;
uniform float maxRotation;
uniform float scatterStrength;
uniform float page;

const vec2 tiles = vec2(32.0, 18.0);
const float flocks = 6.0;

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

// cheap, sine-free cell hash
float hash(vec2 p)
{
    vec3 q = fract(vec3(p.xyx) * 0.1031);
    q += dot(q, q.yzx + 33.33);
    return fract((q.x + q.y) * q.z);
}

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    bool isPage = page > 0.5;
    float level = isPage ? clamp(iTime * 4.0 - 3.0, 0.0, 1.0) : iTime;
    // whole or not yet begun: no tile needs finding
    if (level >= 1.0)
    {
        gl_FragColor = texture2D(image, uv);
        return;
    }
    if (level <= 0.0)
    {
        gl_FragColor = vec4(0.0);
        return;
    }
    float spread = isPage ? 0.04 : scatterStrength > 0.0 ? scatterStrength : 0.6;

    // Every flock moves as one, so the tile of flock g under this pixel is found by
    // undoing g's offset: one test per flock instead of a search over neighbours, and a
    // single texture read for the tile that was found.
    float found = -1.0;
    float foundAway = 1.0;
    vec2 foundCell = vec2(0.0);
    vec2 foundLocal = vec2(0.0);
    for (float g = 0.0; g < flocks; g += 1.0)
    {
        float arrival = clamp((level - g * 0.07) / 0.65, 0.0, 1.0);
        float away = 1.0 - arrival * arrival * (3.0 - 2.0 * arrival);
        float heading = g * 1.0472 + 0.6;
        vec2 offset = vec2(cos(heading), sin(heading) * 1.7778) * spread * away * (1.0 + 0.4 * away);
        vec2 home = (uv - offset) * tiles;
        vec2 cell = floor(home);
        // tiles grow from a third of their size (a page's from nothing) and may turn; at home
        // they are exact
        float size = isPage ? max(1.0 - away, 0.001) : 1.0 - 0.65 * away;
        vec2 local = (home - cell - 0.5) / size;
        if (floor(hash(cell) * flocks) == g && abs(local.x) <= 0.5 && abs(local.y) <= 0.5)
        {
            found = g;
            foundAway = away;
            foundCell = cell;
            foundLocal = local;
            break;
        }
    }
    if (found < 0.0)
    {
        gl_FragColor = vec4(0.0);
        return;
    }

    float angle = radians(maxRotation) * (hash(foundCell + 7.1) * 2.0 - 1.0) * foundAway;
    vec2 local = mat2(cos(angle), sin(angle), -sin(angle), cos(angle)) * foundLocal;
    local = clamp(local, -0.5, 0.5);
    vec4 picture = texture2D(image, (foundCell + 0.5 + local) / tiles);
    float arrival = 1.0 - foundAway;
    vec3 colour = mix(picture.rgb, candy(found * 0.17 + level), foundAway * 0.6);
    // A page's tiles come in opaque: half-clear tiles of its card would show as grey ghosts.
    gl_FragColor = vec4(colour, picture.a * (isPage ? 1.0 : smoothstep(0.0, 0.25, arrival)));
}
