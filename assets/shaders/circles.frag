// Circles: candy rings spread out from the middle of the picture, each in its own colour of
// the pictures' palette (pinks, violet, sky blue, mint, lemon) with the dark plum outline the
// painted pictures use, and a pale gloss along its inner edge. A slow wobble keeps them
// breathing; "iTime" moves them outwards. The scene fades the whole picture in and out on
// its beats.
#version 120

uniform float iTime;

const vec3 plum = vec3(0.17, 0.055, 0.235);
const vec3 cream = vec3(1.0, 0.97, 0.99);

vec3 ringColour(float k)
{
    if (k < 1.0)
        return vec3(1.0, 0.24, 0.65); // hot pink
    if (k < 2.0)
        return vec3(0.62, 0.42, 1.0); // violet
    if (k < 3.0)
        return vec3(0.35, 0.78, 1.0); // sky blue
    if (k < 4.0)
        return vec3(0.45, 0.93, 0.75); // mint
    if (k < 5.0)
        return vec3(1.0, 0.93, 0.25); // lemon
    return vec3(1.0, 0.59, 0.8); // bubblegum
}

void main()
{
    vec2 p = (gl_TexCoord[0].xy - 0.5) * vec2(1.7778, 1.0);
    // Ring coordinate: one unit per ring, a gentle wobble that never folds a ring over.
    float w = length(p) * 8.0 - iTime * 1.2 + 0.25 * sin(p.x * 5.0 + iTime * 1.3) * sin(p.y * 4.0 - iTime);
    float ring = floor(w);
    float f = w - ring;
    vec3 colour = ringColour(mod(ring, 6.0));
    // The gloss: a pale band just inside each ring's inner edge.
    colour = mix(colour, cream, 0.45 * smoothstep(0.1, 0.2, f) * (1.0 - smoothstep(0.2, 0.38, f)));
    // The outline, about five pixels wide whatever the ring's width on screen.
    float edge = min(f, 1.0 - f) / fwidth(w);
    // The scene fades the whole pass through the quad's alpha.
    gl_FragColor = vec4(mix(plum, colour, smoothstep(2.0, 3.0, edge)), gl_Color.a);
}
