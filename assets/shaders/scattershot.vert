// Scatter, the tiles' side: the picture "image" is cut into 32 x 18 tiles, one quad each, and
// every tile flies to where its flock is at "iTime" (0 far out, 1 home). The tiles form six
// flocks, each scattered over the whole picture; each flock sweeps in from its own direction,
// one after another, its tiles growing to full size as they land. "scatterStrength" is how far
// out the flocks start (0 gives the default spread). A page ("page" 1: the greetings, up to
// three at once, taking turns on the two halves of the screen) gathers from close by over the
// last quarter of its rise only and is gone within the first quarter of its fall, its tiles
// growing from nothing: it never meets the page before it in its half, nor flies over the page
// holding in the other one. Only the flock "flock" is drawn, so that the caller can draw the
// first flock last, on top; "flock" -1 draws them all, for a picture whose tiles are all home.
//
// Each vertex is a corner of a tile at home: its texture coordinates are that corner in tiles
// (the tile's cell + 0.5 + the corner), its colour's red and green the corner (0 or 1 each).
// Positions are in the picture's own units, 0 to 1 across: the transform spreads them over the
// quad the picture covers.
#version 120

uniform float iTime;
uniform float scatterStrength;
uniform float page;
uniform float flock;
uniform float maxRotation;

varying vec2 cell;  // the tile's cell, the same at its four corners
varying vec2 local; // where in the tile, -0.5 to 0.5 across, before it turns
varying float away; // 1 far out, 0 home
varying vec2 uv;    // where on the picture, 0 to 1 across
varying vec2 turn;  // cos and sin of the tile's turn, the same at its four corners

const vec2 tiles = vec2(32.0, 18.0);
const float flocks = 6.0;
// cos and sin of each flock's heading, g * 1.0472 + 0.6 radians: a sixth of a turn apart.
const vec2 headings[6] = vec2[6](vec2(0.8253356, 0.5646425), vec2(-0.0763294, 0.9970827),
                                 vec2(-0.9016647, 0.4324360), vec2(-0.8253315, -0.5646485),
                                 vec2(0.0763367, -0.9970821), vec2(0.9016678, -0.4324293));

// cheap, sine-free cell hash; the fragment side has the same
float hash(vec2 p)
{
    vec3 q = fract(vec3(p.xyx) * 0.1031);
    q += dot(q, q.yzx + 33.33);
    return fract((q.x + q.y) * q.z);
}

// Where flock g is at level: how far out (1 far, 0 home), its offset from home and its tiles'
// size (tiles grow from a third of their size, a page's from nothing). The fragment side has
// the same.
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
    vec2 corner = gl_Color.rg - 0.5;
    cell = floor(gl_MultiTexCoord0.xy - corner);
    local = corner;
    float level = page > 0.5 ? clamp(iTime * 4.0 - 3.0, 0.0, 1.0) : clamp(iTime, 0.0, 1.0);
    float g = floor(hash(cell) * flocks);
    vec2 offset;
    float size;
    place(g, level, away, offset, size);
    uv = (cell + 0.5 + corner * size) / tiles + offset;
    float angle = radians(maxRotation) * (hash(cell + 7.1) * 2.0 - 1.0) * away;
    turn = vec2(cos(angle), sin(angle));
    // Another flock's tile, or any tile before the picture begins, collapses to nothing.
    bool shown = (g == flock || flock < 0.0) && level > 0.0;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(shown ? uv : vec2(-100.0), 0.0, 1.0);
}
