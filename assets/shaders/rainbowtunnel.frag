// Rainbow tunnel: a flight down a tube of rainbow tiles. Every ring of tiles has its own
// hue, the rings stream towards the viewer and the far end fades into a dark hole, so the
// walls read as depth. "zoomFactorEx" (0 to 100) widens and narrows the tube, so it
// breathes; "effect" (1 on a beat, falling to 0) jolts it: a kick forward, a twist and a
// flash of light.
#version 120

uniform float iTime;
uniform float zoomFactorEx;
uniform float effect;

const float pi2 = 6.2831853;

// pastel rainbow, one turn per unit
vec3 rainbow(float h)
{
    return mix(0.5 + 0.5 * cos(pi2 * (h + vec3(0.0, 0.33, 0.67))), vec3(1.0), 0.2);
}

void main()
{
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0);
    // the vanishing point wanders a little, so the flight curves
    p += vec2(sin(iTime * 0.7), cos(iTime * 0.5)) * 0.06 + vec2(effect * 0.03, 0.0);
    float radius = length(p);
    float width = 0.55 + zoomFactorEx * 0.006;
    float depth = width / max(radius, 0.001) + iTime * 1.6 + effect * 0.6;
    float around = atan(p.y, p.x) / pi2 + iTime * 0.03 + effect * 0.08 + depth * 0.015;

    // tiles: 16 around, 2 rings per unit of depth, each with a dark seam
    vec2 tile = vec2(around * 16.0, depth * 2.0);
    vec2 inTile = fract(tile);
    float ring = floor(tile.y);
    float checker = mod(floor(tile.x) + ring, 2.0);
    vec3 colour = rainbow(ring * 0.09) * (0.82 + 0.18 * checker);
    // a soft highlight across each tile, brightest in its middle
    colour *= 0.8 + 0.35 * sin(inTile.y * 3.14159);
    vec2 edge = min(inTile, 1.0 - inTile) / fwidth(tile);
    colour *= mix(0.25, 1.0, smoothstep(0.5, 2.0, min(edge.x, edge.y)));

    // far away is dark; the beat lights the walls
    float light = smoothstep(0.0, 0.5, radius / width);
    colour *= light * (1.0 + 0.5 * effect);
    gl_FragColor = vec4(colour, 1.0);
}
