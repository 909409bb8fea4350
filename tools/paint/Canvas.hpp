#pragma once

#include <SFML/Graphics.hpp>
#include <cstdint>
#include <string>
#include <vector>

/// The demo's candy palette; every picture takes its colours from here so that they match.
namespace palette
{
extern const sf::Color hotPink;
extern const sf::Color magenta;
extern const sf::Color cyan;
extern const sf::Color lemon;
extern const sf::Color purple;
extern const sf::Color ink;   ///< the dark plum of every outline
extern const sf::Color cream; ///< the near-white of highlights and pale fills
extern const sf::Color shadow;

/// Returns colour with its alpha replaced by alpha.
sf::Color withAlpha(sf::Color colour, std::uint8_t alpha);

/// Linear mix of a and b; t = 0 gives a, t = 1 gives b (t is clamped to 0..1).
sf::Color mix(sf::Color a, sf::Color b, float t);

/// A colour of the candy cycle hot pink, magenta, purple, cyan, lemon and back,
/// at position t (only its fractional part counts, so the cycle repeats every 1).
sf::Color cycle(float t);
} // namespace palette

/// A soft drop shadow: the layer's silhouette, blurred, tinted and offset.
struct Shadow
{
    sf::Vector2f offset{10.f, 12.f};
    int blurRadius = 8;    ///< in output pixels; 0 gives a hard shadow
    float opacity = 0.55f; ///< 0 draws no shadow at all
};

/// Deterministic random numbers (a 32-bit xorshift generator), so that painting again
/// gives the same pictures on every machine and standard library.
class Dice
{
public:
    /// Starts the sequence at seed (0 is replaced by a fixed non-zero value).
    explicit Dice(std::uint32_t seed);

    /// The next raw 32-bit value.
    std::uint32_t next();

    /// A float in [low, high).
    float range(float low, float high);

private:
    std::uint32_t state;
};

/// An off-screen picture painted with SFML at a multiple of its final size and averaged
/// down when finished, which anti-aliases shapes as well as text.
/// Drawing code uses the picture's own pixel coordinates whatever the supersampling.
/// The render texture holds premultiplied colour while painting (SFML's alpha blending
/// onto a transparent target produces exactly that); finish() converts back.
class Canvas
{
public:
    /// Creates a width x height picture cleared to background (transparent by default).
    /// supersample 0 picks 3 for small pictures and 2 for large ones. If the render
    /// texture cannot be created (no OpenGL context), writes one line on standard error;
    /// painting then draws nothing and finish() returns a transparent picture.
    Canvas(unsigned width, unsigned height, sf::Color background = sf::Color::Transparent,
           unsigned supersample = 0);

    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    /// The picture size in output pixels.
    sf::Vector2f size() const;

    /// Draws onto the current target: the open layer if there is one, else the base.
    void draw(const sf::Drawable& drawable, const sf::RenderStates& states = sf::RenderStates::Default);

    /// Draws shape over a copy of it grown by thickness all round in outlineColour, with
    /// round joins (SFML's own outlines make spikes at sharp corners). A see-through
    /// shape gets an outline ring instead, so that its inside stays clear.
    void drawOutlined(const sf::Shape& shape, float thickness, sf::Color outlineColour = palette::ink);

    /// Like drawOutlined for several shapes that form one figure: all the grown copies go
    /// first, so no outline cuts across a neighbour's fill.
    void drawOutlinedGroup(const std::vector<const sf::Shape*>& group, float thickness,
                           sf::Color outlineColour = palette::ink);

    /// Lettering in the demo font with a thick outline (a negative outline picks one that
    /// suits the size). The letters are centred on anchor; with onBaseline, anchor.y is the
    /// baseline instead, so that pieces of one line of text stand on the same line.
    /// Returns the bounds of the lettering, outline included, in picture pixels.
    sf::FloatRect text(const sf::Font& font, const std::string& letters, float characterSize,
                       sf::Vector2f anchor, sf::Color fill, float outline = -1.f, bool onBaseline = false,
                       sf::Color outlineColour = palette::ink);

    /// Fills the rectangle with a vertical gradient from top to bottom.
    void verticalGradient(sf::FloatRect area, sf::Color top, sf::Color bottom);

    /// Starts a layer: what is drawn until endLayer() goes onto a fresh transparent sheet.
    /// A layer that is already open is closed first, without a shadow.
    void beginLayer();

    /// Lays the open layer onto the picture, its soft shadow underneath. Does nothing
    /// without an open layer.
    void endLayer(const Shadow& shadow = Shadow{});

    /// Closes any open layer and returns the finished picture with straight alpha.
    sf::Image finish();

private:
    sf::RenderTexture& current();
    void composite(sf::RenderTexture& layer, const Shadow& shadow);

    unsigned width;
    unsigned height;
    unsigned factor;
    bool ready = false;
    bool layerOpen = false;
    sf::RenderTexture base;
    sf::RenderTexture layer;
};

/// Bounds that Canvas::text would cover with the same arguments, without drawing.
sf::FloatRect measureText(const sf::Font& font, const std::string& letters, float characterSize,
                          sf::Vector2f anchor, float outline = -1.f, bool onBaseline = false);

/// Shape builders, in picture pixels, centred on centre.
namespace shapes
{
/// A star with points tips between outerRadius and innerRadius, first tip straight up.
sf::ConvexShape star(sf::Vector2f centre, float outerRadius, float innerRadius, int points, sf::Color fill,
                     float rotationDegrees = 0.f);

/// A heart whose width is about size.
sf::ConvexShape heart(sf::Vector2f centre, float size, sf::Color fill);

/// A rectangle with rounded corners.
sf::ConvexShape roundedRect(sf::FloatRect area, float radius, sf::Color fill);

/// An ellipse.
sf::ConvexShape ellipse(sf::Vector2f centre, sf::Vector2f radii, sf::Color fill, float rotationDegrees = 0.f);

/// A circle.
sf::CircleShape circle(sf::Vector2f centre, float radius, sf::Color fill);
} // namespace shapes
