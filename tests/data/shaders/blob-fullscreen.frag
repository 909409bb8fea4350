// The blobs as they were before their centres and colours were found once a frame on the
// vertex side: the tests compare against it.
// Blob: glossy candy metaballs merging and parting in a starry night; "numStars"
// stars twinkle, so the sky fills up on the beats.
#version 120

uniform float iTime;
uniform int numStars;

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

    // Stars live one per cell of a 16 x 9 grid; a fixed shuffle of the cells decides
    // which ones are lit, so exactly numStars stars show without a loop over them.
    vec2 cell = floor(uv * vec2(16.0, 9.0));
    float rank = mod((cell.y * 16.0 + cell.x) * 37.0 + 11.0, 144.0);
    float lit = step(rank + 0.5, float(numStars));
    vec2 local = fract(uv * vec2(16.0, 9.0)) - 0.5;
    vec2 spot = (vec2(hash(cell), hash(cell + 3.1)) - 0.5) * 0.5;
    vec2 offset = (local - spot) * vec2(1.7778, 1.0);
    float twinkle = 0.6 + 0.4 * sin(iTime * 3.0 + hash(cell + 7.7) * 6.2832);
    float star = 0.004 / (dot(offset, offset) + 0.004) * twinkle;
    star += smoothstep(0.03, 0.0, abs(offset.x) * abs(offset.y) * 40.0 + length(offset) * 0.3) * twinkle;

    vec3 colour = mix(vec3(0.08, 0.0, 0.15), vec3(0.2, 0.02, 0.28), uv.y);
    colour += vec3(1.0, 0.85, 0.95) * star * lit * 0.8;

    float field = 0.0;
    vec3 blobColour = vec3(0.0);
    for (int i = 0; i < 6; i++)
    {
        float fi = float(i);
        vec2 centre = vec2(0.6 * sin(iTime * (0.4 + 0.11 * fi) + fi * 2.1), 0.3 * cos(iTime * (0.5 + 0.07 * fi) + fi));
        float weight = 0.012 / (dot(p - centre, p - centre) + 0.0005);
        field += weight;
        blobColour += candy(fi / 6.0) * weight;
    }
    blobColour /= field;
    float surface = smoothstep(0.95, 1.05, field);
    // brighter towards the middle of each blob, with a white gloss on its rim
    vec3 shaded = blobColour * (0.7 + 0.3 * smoothstep(1.0, 4.0, field));
    shaded += vec3(1.0) * smoothstep(1.2, 1.0, field) * 0.5;
    colour = mix(colour, shaded, surface);
    gl_FragColor = vec4(clamp(colour, 0.0, 1.0), 1.0);
}
