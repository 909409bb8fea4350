#pragma once

#include <SFML/Config.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <string>
#include <vector>

class Resources;
struct Demo;

// Small drawing and sound helpers that several scenes share. Each one reports a missing
// asset once, through its registry's own "does not exist." line, and then quietly skips it,
// so a scene with a missing asset keeps its clocks and hand-over frame. Each drawing helper
// is one pass of the bench's per-pass breakdown (runtime/PassTiming.hpp), named after its
// shader ("cute"), its layer ("layer1"), or what it draws ("sprites", "flash veil").

/// Centres the black sprite on the screen (origin and position (960, 540)) and turns it by
/// rotationDegrees, as the scenes that draw their shader quad turned need it. The sprite is
/// shared, so later scenes see it so too. Does nothing when the sprite is missing.
void centreBlackSprite(Resources& resources, float rotationDegrees);

/// Whether to draw something that changesPixels says can (or cannot) change a pixel: true
/// when it can, and always with the drawing shortcuts off (runtime/PassTiming.hpp), so
/// that a skipped pass can be checked to have drawn nothing.
bool worthDrawing(bool changesPixels);

/// An 8-bit colour component from a float level, truncated towards zero; levels below 0
/// (or NaN) give 0 and levels above 255 give 255 instead of wrapping round.
sf::Uint8 truncatedByte(float level);

/// The flash veil: the black sprite drawn over target, without a shader, with colour
/// (0, 0, 0, trunc(level)); at alpha 0 only the colour is set. Does nothing when the black
/// sprite is missing.
void drawFlashVeil(Resources& resources, sf::RenderTarget& target, float level);

/// Render states for a full-screen pass through an opaque shader that begins a frame: the
/// pass replaces what the picture held (without blending, which costs time and, under
/// an opaque pass or one that draws black, changes nothing), so the picture need not be
/// cleared first.
sf::RenderStates replacing(const sf::Shader& shader);

/// A full-screen pass through shader, an opaque one, replacing what target held: the black
/// sprite with colour (0, 0, 0, alpha), turned by rotationDegrees about its centre for the draw
/// and turned back as it was after it; the colour stays. Does nothing when the black sprite is
/// missing.
void drawShaderPass(Resources& resources, sf::RenderTarget& target, const sf::Shader& shader,
                    sf::Uint8 alpha = 1, float rotationDegrees = 0.f);

/// A full-screen pass through a shader whose picture is smooth enough to be worked out at a
/// third of the size (the perlin clouds): quad drawn through it, as it stands on the 1920 x 1080
/// picture, into the small picture, which then replaces what target held, stretched over it. A
/// tenth of a level from the whole pass at a ninth of the shading; for a quad that covers the
/// picture with an opaque shader, drawn first. Does nothing when quad is missing.
void drawStretchedPass(Resources& resources, sf::RenderTarget& target, const sf::Sprite* quad,
                      const sf::Shader& shader);

/// A full-screen pass through an opaque shader whose vertex side works per column (the laser),
/// replacing what target held: quad drawn with its transform and colour as vertical strips 16
/// of its own pixels wide, texture coordinates 0 to 1 across it, so the vertex side runs at
/// every strip edge. Does nothing when quad is missing.
void drawColumnPass(const Resources& resources, sf::RenderTarget& target, const sf::Sprite* quad,
                    const sf::Shader& shader);

/// Tiles of the dots peephole's background across the screen, which the scenes that use the
/// dots shader give its "tilesAcross": enough that the dots come out finer than the letter
/// strokes they show through.
constexpr float dotsTilesAcross = 20.f;

/// Scrolls a peephole shader's background: gives its "xOffset" and "yOffset" offset in
/// demo's uniforms.
void scrollPeephole(Demo& demo, sf::Shader& shader, float offset);

/// Plays the sound effect key. A key the sound registry lacks is reported the first time in a
/// run of the demo (with the registry's message) and skipped silently after that.
void playSound(Demo& demo, const std::string& key);

/// Stops every instance of the sound effect key, with the same once-only report as playSound.
void stopSound(Demo& demo, const std::string& key);

/// Draws sprite into target with states when sprite is not null; a missing sprite was
/// already reported when it was looked up, so nothing is written here.
void drawIfPresent(const Resources& resources, sf::RenderTarget& target, const sf::Sprite* sprite,
                   const sf::RenderStates& states = sf::RenderStates::Default);

/// Finishes layer (its display) and draws its sprite into target with states. The layer is
/// marked used, so the next frame clears it: a scene composites every layer it draws into, in
/// the same frame.
void compositeLayer(Resources& resources, sf::RenderTarget& target, sf::RenderTexture& layer,
                    const sf::Sprite& sprite, const sf::RenderStates& states = sf::RenderStates::Default);

/// As compositeLayer, for a frame in which everything drawn into layer lies inside pieces
/// (layer pixels, such as the letters of a LetterText): only the pieces, a few pixels larger,
/// are drawn, each pixel once however they overlap, also without the drawing shortcuts (a
/// pixel or two of an edge may be sampled from the neighbouring texel). None composites nothing.
void compositeLayer(Resources& resources, sf::RenderTarget& target, sf::RenderTexture& layer,
                    const sf::Sprite& sprite, const sf::RenderStates& states,
                    const std::vector<sf::FloatRect>& pieces);
