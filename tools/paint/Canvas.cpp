#include "Canvas.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace
{
constexpr float pi = 3.14159265358979f;

std::uint8_t toByte(float value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

/// Three running-sum box blurs in a row approximate a Gaussian closely enough for shadows.
void blurAlpha(std::vector<float>& alpha, unsigned width, unsigned height, int radius)
{
    if (radius <= 0)
        return;
    std::vector<float> line(std::max(width, height));
    auto pass = [&](unsigned count, unsigned lines, auto index)
    {
        const float span = static_cast<float>(2 * radius + 1);
        for (unsigned l = 0; l < lines; ++l)
        {
            for (unsigned i = 0; i < count; ++i)
                line[i] = alpha[index(l, i)];
            float sum = 0.f;
            for (int i = -radius; i <= radius; ++i)
                sum += line[static_cast<unsigned>(std::clamp(i, 0, static_cast<int>(count) - 1))];
            for (unsigned i = 0; i < count; ++i)
            {
                alpha[index(l, i)] = sum / span;
                const int leaving = std::max(static_cast<int>(i) - radius, 0);
                const int entering = std::min(static_cast<int>(i) + radius + 1, static_cast<int>(count) - 1);
                sum += line[static_cast<unsigned>(entering)] - line[static_cast<unsigned>(leaving)];
            }
        }
    };
    for (int repeat = 0; repeat < 3; ++repeat)
    {
        pass(width, height, [width](unsigned row, unsigned x) { return row * width + x; });
        pass(height, width, [width](unsigned column, unsigned y) { return y * width + column; });
    }
}

sf::Text makeText(const sf::Font& font, const std::string& letters, float characterSize, float outline,
                  bool onBaseline, unsigned factor)
{
    if (outline < 0.f)
        outline = std::max(4.f, characterSize * 0.07f);
    // The glyphs are rasterised at the supersampled size and drawn scaled down, so they
    // land on the render texture's pixels one to one instead of being stretched.
    const float scale = static_cast<float>(factor);
    sf::Text text(sf::String::fromUtf8(letters.begin(), letters.end()), font,
                  static_cast<unsigned>(std::lround(characterSize * scale)));
    text.setOutlineThickness(outline * scale);
    const sf::FloatRect local = text.getLocalBounds();
    // SFML puts the baseline of the first line at one character size below the top.
    text.setOrigin(local.left + local.width / 2.f,
                   onBaseline ? static_cast<float>(text.getCharacterSize()) : local.top + local.height / 2.f);
    text.setScale(1.f / scale, 1.f / scale);
    return text;
}
} // namespace

namespace palette
{
const sf::Color hotPink(255, 62, 165);
const sf::Color magenta(226, 40, 216);
const sf::Color cyan(40, 222, 245);
const sf::Color lemon(255, 238, 64);
const sf::Color purple(124, 66, 230);
const sf::Color ink(44, 14, 60);
const sf::Color cream(255, 248, 252);
const sf::Color shadow(40, 6, 52);

sf::Color withAlpha(sf::Color colour, std::uint8_t alpha)
{
    colour.a = alpha;
    return colour;
}

sf::Color mix(sf::Color a, sf::Color b, float t)
{
    t = std::clamp(t, 0.f, 1.f);
    auto channel = [t](std::uint8_t x, std::uint8_t y)
    { return toByte(static_cast<float>(x) + (static_cast<float>(y) - static_cast<float>(x)) * t); };
    return sf::Color(channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b), channel(a.a, b.a));
}

sf::Color cycle(float t)
{
    static const sf::Color stops[] = {hotPink, magenta, purple, cyan, lemon};
    constexpr int count = 5;
    t -= std::floor(t);
    const float scaled = t * count;
    const int index = static_cast<int>(scaled) % count;
    return mix(stops[index], stops[(index + 1) % count], scaled - std::floor(scaled));
}
} // namespace palette

Dice::Dice(std::uint32_t seed) : state(seed == 0 ? 0x9E3779B9u : seed) {}

std::uint32_t Dice::next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Dice::range(float low, float high)
{
    return low + (high - low) * static_cast<float>(next() >> 8) / 16777216.f;
}

Canvas::Canvas(unsigned width, unsigned height, sf::Color background, unsigned supersample)
    : width(width), height(height), factor(supersample)
{
    if (factor == 0)
        factor = (width * height <= 1200000u) ? 3u : 2u;
    ready = base.create(width * factor, height * factor) && layer.create(width * factor, height * factor);
    if (!ready)
    {
        std::cerr << "flumbadoo-paint: Unable to create a " << width << "x" << height << " render texture."
                  << std::endl;
        return;
    }
    const sf::View view(sf::FloatRect(0.f, 0.f, static_cast<float>(width), static_cast<float>(height)));
    base.setView(view);
    layer.setView(view);
    // The target holds premultiplied colour, so an opaque background goes in as it is and
    // a translucent one scaled by its alpha.
    const float a = static_cast<float>(background.a) / 255.f;
    base.clear(sf::Color(toByte(background.r * a), toByte(background.g * a), toByte(background.b * a),
                         background.a));
}

sf::Vector2f Canvas::size() const
{
    return sf::Vector2f(static_cast<float>(width), static_cast<float>(height));
}

sf::RenderTexture& Canvas::current()
{
    return layerOpen ? layer : base;
}

void Canvas::draw(const sf::Drawable& drawable, const sf::RenderStates& states)
{
    if (ready)
        current().draw(drawable, states);
}

void Canvas::drawOutlined(const sf::Shape& shape, float thickness, sf::Color outlineColour)
{
    drawOutlinedGroup({&shape}, thickness, outlineColour);
}

void Canvas::drawOutlinedGroup(const std::vector<const sf::Shape*>& group, float thickness,
                               sf::Color outlineColour)
{
    if (!ready)
        return;
    if (thickness > 0.f)
        for (const sf::Shape* shape : group)
        {
            if (shape->getFillColor().a < 255)
                continue; // a see-through shape gets a ring below instead of a solid stamp
            // Stamping the silhouette round two rings fills the grown shape without gaps
            // at the supersampled resolution.
            sf::ConvexShape stamp(shape->getPointCount());
            for (std::size_t i = 0; i < shape->getPointCount(); ++i)
                stamp.setPoint(i, shape->getPoint(i));
            stamp.setOrigin(shape->getOrigin());
            stamp.setRotation(shape->getRotation());
            stamp.setScale(shape->getScale());
            stamp.setFillColor(outlineColour);
            const int steps = 40;
            for (float ring : {thickness * 0.5f, thickness})
                for (int i = 0; i < steps; ++i)
                {
                    const float angle = 2.f * pi * static_cast<float>(i) / steps;
                    stamp.setPosition(shape->getPosition() +
                                      ring * sf::Vector2f(std::cos(angle), std::sin(angle)));
                    current().draw(stamp);
                }
        }
    for (const sf::Shape* shape : group)
    {
        if (thickness > 0.f && shape->getFillColor().a < 255)
        {
            // Only smooth shapes are drawn see-through, so SFML's outline ring is good enough.
            sf::ConvexShape ringed(shape->getPointCount());
            for (std::size_t i = 0; i < shape->getPointCount(); ++i)
                ringed.setPoint(i, shape->getPoint(i));
            ringed.setOrigin(shape->getOrigin());
            ringed.setPosition(shape->getPosition());
            ringed.setRotation(shape->getRotation());
            ringed.setScale(shape->getScale());
            ringed.setFillColor(shape->getFillColor());
            ringed.setOutlineColor(outlineColour);
            ringed.setOutlineThickness(thickness);
            current().draw(ringed);
            continue;
        }
        current().draw(*shape);
    }
}

sf::FloatRect measureText(const sf::Font& font, const std::string& letters, float characterSize,
                          sf::Vector2f anchor, float outline, bool onBaseline)
{
    sf::Text text = makeText(font, letters, characterSize, outline, onBaseline, 3);
    text.setPosition(anchor);
    return text.getGlobalBounds();
}

sf::FloatRect Canvas::text(const sf::Font& font, const std::string& letters, float characterSize,
                           sf::Vector2f anchor, sf::Color fill, float outline, bool onBaseline,
                           sf::Color outlineColour)
{
    sf::Text text = makeText(font, letters, characterSize, outline, onBaseline, factor);
    text.setPosition(anchor);
    text.setFillColor(fill);
    text.setOutlineColor(outlineColour);
    draw(text);
    // The font's letters are built of strokes that overlap or abut; where two edges meet
    // inside a letter the antialiased fill leaves a hairline through which the dark outline
    // shows. The letters again with a thin outline of their own colour close those seams.
    sf::Text seal = makeText(font, letters, characterSize, 1.f, onBaseline, factor);
    seal.setPosition(anchor);
    seal.setFillColor(fill);
    seal.setOutlineColor(fill);
    draw(seal);
    return text.getGlobalBounds();
}

void Canvas::verticalGradient(sf::FloatRect area, sf::Color top, sf::Color bottom)
{
    sf::VertexArray quad(sf::TriangleStrip, 4);
    quad[0] = sf::Vertex(sf::Vector2f(area.left, area.top), top);
    quad[1] = sf::Vertex(sf::Vector2f(area.left + area.width, area.top), top);
    quad[2] = sf::Vertex(sf::Vector2f(area.left, area.top + area.height), bottom);
    quad[3] = sf::Vertex(sf::Vector2f(area.left + area.width, area.top + area.height), bottom);
    draw(quad);
}

void Canvas::beginLayer()
{
    if (!ready)
        return;
    if (layerOpen)
        endLayer(Shadow{{0.f, 0.f}, 0, 0.f});
    layer.clear(sf::Color::Transparent);
    layerOpen = true;
}

void Canvas::endLayer(const Shadow& shadow)
{
    if (!ready || !layerOpen)
        return;
    layerOpen = false;
    composite(layer, shadow);
}

void Canvas::composite(sf::RenderTexture& sheet, const Shadow& shadow)
{
    sheet.display();
    sf::Sprite sheetSprite(sheet.getTexture());
    sheetSprite.setScale(1.f / static_cast<float>(factor), 1.f / static_cast<float>(factor));

    if (shadow.opacity > 0.f)
    {
        const sf::Image full = sheet.getTexture().copyToImage();
        const std::uint8_t* pixels = full.getPixelsPtr();
        const unsigned fullWidth = width * factor;
        std::vector<float> alpha(static_cast<std::size_t>(width) * height, 0.f);
        for (unsigned y = 0; y < height; ++y)
            for (unsigned x = 0; x < width; ++x)
            {
                float sum = 0.f;
                for (unsigned dy = 0; dy < factor; ++dy)
                    for (unsigned dx = 0; dx < factor; ++dx)
                        sum += pixels[((y * factor + dy) * fullWidth + x * factor + dx) * 4 + 3];
                alpha[y * width + x] = sum / static_cast<float>(factor * factor);
            }
        blurAlpha(alpha, width, height, shadow.blurRadius);

        sf::Image shade;
        shade.create(width, height, palette::withAlpha(palette::shadow, 0));
        for (unsigned y = 0; y < height; ++y)
            for (unsigned x = 0; x < width; ++x)
            {
                // Coarse alpha steps cost nothing visible in a blurred shadow and let the
                // PNG compressor find long repeats.
                const std::uint8_t level = toByte(alpha[y * width + x] * shadow.opacity);
                shade.setPixel(x, y,
                               palette::withAlpha(palette::shadow, static_cast<std::uint8_t>(level & 0xF8)));
            }
        sf::Texture shadeTexture;
        shadeTexture.loadFromImage(shade);
        // Shadow texels match output pixels one to one (whole-pixel offsets), so no
        // filtering blurs the alpha steps again.
        sf::Sprite shadeSprite(shadeTexture);
        shadeSprite.setPosition(shadow.offset);
        base.draw(shadeSprite);
    }
    // The sheet is premultiplied already, so it is laid over with "one, one minus alpha".
    const sf::BlendMode premultipliedOver(sf::BlendMode::One, sf::BlendMode::OneMinusSrcAlpha);
    base.draw(sheetSprite, sf::RenderStates(premultipliedOver));
}

sf::Image Canvas::finish()
{
    sf::Image result;
    result.create(width, height, sf::Color::Transparent);
    if (!ready)
        return result;
    if (layerOpen)
        endLayer(Shadow{{0.f, 0.f}, 0, 0.f});
    base.display();
    const sf::Image full = base.getTexture().copyToImage();
    const std::uint8_t* pixels = full.getPixelsPtr();
    const unsigned fullWidth = width * factor;
    const unsigned samples = factor * factor;
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
        {
            unsigned sum[4] = {0, 0, 0, 0};
            for (unsigned dy = 0; dy < factor; ++dy)
                for (unsigned dx = 0; dx < factor; ++dx)
                {
                    const std::uint8_t* p = pixels + ((y * factor + dy) * fullWidth + x * factor + dx) * 4;
                    for (int c = 0; c < 4; ++c)
                        sum[c] += p[c];
                }
            const unsigned a = (sum[3] + samples / 2) / samples;
            if (a == 0)
                continue;
            // Back from premultiplied to straight colour, which is what PNG and SFML expect.
            auto straight = [&](unsigned s)
            { return static_cast<std::uint8_t>(std::min(255u, (s * 255u + sum[3] / 2) / sum[3])); };
            result.setPixel(x, y,
                            sf::Color(straight(sum[0]), straight(sum[1]), straight(sum[2]),
                                      static_cast<std::uint8_t>(a)));
        }
    return result;
}

namespace shapes
{
sf::ConvexShape star(sf::Vector2f centre, float outerRadius, float innerRadius, int points, sf::Color fill,
                     float rotationDegrees)
{
    sf::ConvexShape shape(static_cast<std::size_t>(points * 2));
    for (int i = 0; i < points * 2; ++i)
    {
        const float radius = (i % 2 == 0) ? outerRadius : innerRadius;
        const float angle = -pi / 2.f + pi * static_cast<float>(i) / static_cast<float>(points);
        shape.setPoint(static_cast<std::size_t>(i), radius * sf::Vector2f(std::cos(angle), std::sin(angle)));
    }
    shape.setPosition(centre);
    shape.setRotation(rotationDegrees);
    shape.setFillColor(fill);
    return shape;
}

sf::ConvexShape heart(sf::Vector2f centre, float size, sf::Color fill)
{
    const int count = 72;
    sf::ConvexShape shape(count);
    const float unit = size / 34.f;
    for (int i = 0; i < count; ++i)
    {
        const float t = 2.f * pi * static_cast<float>(i) / count;
        const float x = 16.f * std::pow(std::sin(t), 3.f);
        const float y = 13.f * std::cos(t) - 5.f * std::cos(2 * t) - 2.f * std::cos(3 * t) - std::cos(4 * t);
        shape.setPoint(static_cast<std::size_t>(i), sf::Vector2f(x * unit, (-y + 2.5f) * unit));
    }
    shape.setPosition(centre);
    shape.setFillColor(fill);
    return shape;
}

sf::ConvexShape roundedRect(sf::FloatRect area, float radius, sf::Color fill)
{
    const int perCorner = 12;
    sf::ConvexShape shape(static_cast<std::size_t>(perCorner * 4));
    const sf::Vector2f corners[] = {{area.left + area.width - radius, area.top + radius},
                                    {area.left + area.width - radius, area.top + area.height - radius},
                                    {area.left + radius, area.top + area.height - radius},
                                    {area.left + radius, area.top + radius}};
    std::size_t index = 0;
    for (int corner = 0; corner < 4; ++corner)
        for (int i = 0; i < perCorner; ++i)
        {
            const float angle =
                -pi / 2.f + (static_cast<float>(corner) + static_cast<float>(i) / (perCorner - 1)) * pi / 2.f;
            shape.setPoint(index++,
                           corners[corner] + radius * sf::Vector2f(std::cos(angle), std::sin(angle)));
        }
    shape.setFillColor(fill);
    return shape;
}

sf::ConvexShape ellipse(sf::Vector2f centre, sf::Vector2f radii, sf::Color fill, float rotationDegrees)
{
    const int count = 90;
    sf::ConvexShape shape(count);
    for (int i = 0; i < count; ++i)
    {
        const float angle = 2.f * pi * static_cast<float>(i) / count;
        shape.setPoint(static_cast<std::size_t>(i),
                       sf::Vector2f(radii.x * std::cos(angle), radii.y * std::sin(angle)));
    }
    shape.setPosition(centre);
    shape.setRotation(rotationDegrees);
    shape.setFillColor(fill);
    return shape;
}

sf::CircleShape circle(sf::Vector2f centre, float radius, sf::Color fill)
{
    sf::CircleShape shape(radius, 90);
    shape.setOrigin(radius, radius);
    shape.setPosition(centre);
    shape.setFillColor(fill);
    return shape;
}
} // namespace shapes
