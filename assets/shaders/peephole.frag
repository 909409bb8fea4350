// Peephole: the drawn picture becomes a window onto a scrolling background texture.
// The background is fixed to the screen rather than to the sprite, so moving sprites
// look like holes sliding over one big picture. The picture's brightness shades the
// background, so dark outlines and shadows stay dark while bright fills take its colours.
#version 120

uniform sampler2D currentTexture;
uniform sampler2D bgTexture;
uniform float xOffset;
uniform float yOffset;
// Square background tiles across the screen's width. Left at 0, one tile stretches over
// the whole screen, which suits the smooth gradients; a pattern like the dots asks for many
// small tiles so that its dots come out finer than the letter strokes they show through.
uniform float tilesAcross;
// A layer holds what was drawn into it with its colours multiplied by their alpha; a picture
// drawn straight through here (the elastic card) is shaded as if it had come from one.
uniform bool asFromLayer;

// Offsets arrive in seconds-like units; this keeps one unit a comfortable scroll.
const float scrollScale = 0.2;
const vec2 screenSize = vec2(1920.0, 1080.0);

void main()
{
    // q is 1 for a plain sprite and a perspective weight for an elastic card drawn through here.
    vec4 picture = texture2DProj(currentTexture, gl_TexCoord[0]);
    if (asFromLayer)
        picture.rgb *= picture.a;
    vec2 bgCoord = tilesAcross > 0.0 ? gl_FragCoord.xy * (tilesAcross / screenSize.x) : gl_FragCoord.xy / screenSize;
    // fract() wraps by hand, so the texture need not be set to repeat.
    vec3 background = texture2D(bgTexture, fract(bgCoord + vec2(xOffset, yOffset) * scrollScale)).rgb;

    float value = max(picture.r, max(picture.g, picture.b));
    vec3 colour = mix(background * value, picture.rgb, 0.2);
    gl_FragColor = vec4(colour, picture.a * gl_Color.a);
}
