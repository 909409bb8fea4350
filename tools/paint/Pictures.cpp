#include "Pictures.hpp"

#include "Canvas.hpp"

#include <algorithm>
#include <cmath>

using namespace palette;

namespace
{
constexpr float pi = 3.14159265358979f;
constexpr float screenWidth = 1920.f;
constexpr float screenHeight = 1080.f;

SpriteEntry centredSprite(const std::string& key)
{
    return SpriteEntry{key, {{"autocenter", true}}};
}

SpriteEntry plainSprite(const std::string& key)
{
    return SpriteEntry{key, nlohmann::json::object()};
}

/// Lettering on a layer of its own, so that it throws its own soft shadow.
sf::FloatRect letters(Canvas& canvas, const sf::Font& font, const std::string& text, float size,
                      sf::Vector2f centre, sf::Color fill, const Shadow& shadow = Shadow{})
{
    canvas.beginLayer();
    const sf::FloatRect bounds = canvas.text(font, text, size, centre, fill);
    canvas.endLayer(shadow);
    return bounds;
}

/// Two shiny eyes, pink cheeks and a smile, about size pixels wide.
void face(Canvas& canvas, sf::Vector2f centre, float size, bool winking = false)
{
    const float eyeDx = size * 0.2f;
    const float eyeR = size * 0.085f;
    for (float side : {-1.f, 1.f})
    {
        const sf::Vector2f eye = centre + sf::Vector2f(side * eyeDx, -size * 0.04f);
        if (winking && side > 0.f)
        {
            for (int i = 0; i <= 12; ++i)
            {
                const float t = -1.1f + 2.2f * static_cast<float>(i) / 12.f;
                canvas.draw(shapes::circle(eye + sf::Vector2f(std::sin(t) * eyeR, -std::cos(t) * eyeR * 0.6f),
                                           size * 0.022f, ink));
            }
            continue;
        }
        canvas.draw(shapes::ellipse(eye, {eyeR * 0.8f, eyeR}, ink));
        canvas.draw(shapes::circle(eye + sf::Vector2f(-eyeR * 0.28f, -eyeR * 0.4f), eyeR * 0.32f, cream));
        canvas.draw(shapes::circle(eye + sf::Vector2f(eyeR * 0.3f, eyeR * 0.35f), eyeR * 0.14f, cream));
        canvas.draw(shapes::ellipse(centre + sf::Vector2f(side * size * 0.36f, size * 0.12f),
                                    {size * 0.1f, size * 0.06f}, withAlpha(hotPink, 150)));
    }
    for (int i = 0; i <= 24; ++i)
    {
        const float t = -1.f + 2.f * static_cast<float>(i) / 24.f;
        canvas.draw(shapes::circle(
            centre + sf::Vector2f(std::sin(t) * size * 0.13f, size * 0.07f + std::cos(t) * size * 0.09f),
            size * 0.024f, ink));
    }
}

/// A sprinkling of small outlined stars, hearts and dots over area, one piece to each cell of
/// a columns x rows grid, so that they spread evenly and never touch one another. A piece
/// stays inside its cell, shadow included, and cells whose piece would come near a
/// rectangle in avoid (the lettering already painted) stay empty.
void confetti(Canvas& canvas, Dice& dice, sf::FloatRect area, int columns, int rows, float scale,
              const std::vector<sf::FloatRect>& avoid)
{
    // Room that the outline and the soft shadow need beyond a piece's own reach.
    const float halo = 22.f;
    const float gap = 16.f;
    const float cellWidth = area.width / static_cast<float>(columns);
    const float cellHeight = area.height / static_cast<float>(rows);
    canvas.beginLayer();
    const sf::Color colours[] = {hotPink, magenta, cyan, lemon, purple, cream};
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
        {
            // Every cell draws its dice whether or not it is used, so that moving the
            // lettering does not reshuffle the pieces elsewhere.
            const float reachLimit = std::min(cellWidth, cellHeight) / 2.f - halo;
            const float size = std::min(dice.range(14.f, 34.f) * scale, reachLimit);
            const float freeX = std::max(0.f, cellWidth / 2.f - halo - size);
            const float freeY = std::max(0.f, cellHeight / 2.f - halo - size);
            const sf::Vector2f at(
                area.left + cellWidth * (static_cast<float>(column) + 0.5f) + dice.range(-freeX, freeX),
                area.top + cellHeight * (static_cast<float>(row) + 0.5f) + dice.range(-freeY, freeY));
            // The high bits: the low ones of successive draws follow one another too closely.
            const sf::Color colour = colours[(dice.next() >> 16) % 6];
            const std::uint32_t kind = (dice.next() >> 16) % 3;
            const float turn = dice.range(-30.f, 30.f);
            const float reach = size + halo + gap;
            const sf::FloatRect spot(at.x - reach, at.y - reach, 2.f * reach, 2.f * reach);
            if (size < 10.f ||
                std::any_of(avoid.begin(), avoid.end(),
                            [&](const sf::FloatRect& taken) { return taken.intersects(spot); }))
                continue;
            switch (kind)
            {
            case 0:
                canvas.drawOutlined(shapes::star(at, size, size * 0.48f, 5, colour, turn), 4.f);
                break;
            case 1:
                // The heart's point hangs lower than its lobes rise; centring its height
                // keeps it inside the cell.
                canvas.drawOutlined(shapes::heart(at - sf::Vector2f(0.f, size * 0.4f), size * 1.6f, colour),
                                    4.f);
                break;
            default:
                canvas.drawOutlined(shapes::circle(at, size * 0.5f, colour), 4.f);
                break;
            }
        }
    canvas.endLayer(Shadow{{5.f, 6.f}, 4, 0.4f});
}

/// One line of a block of lettering: its text, size and colour, where its baseline sits
/// relative to the block (x is the line's middle) and the shadow it throws.
struct Line
{
    std::string text;
    float size;
    sf::Vector2f anchor;
    sf::Color fill;
    Shadow shadow{};
};

/// Paints lines as one block whose bounds are centred on centre, each line on its own
/// layer; returns the bounds of every line in picture pixels.
std::vector<sf::FloatRect> centredBlock(Canvas& canvas, const sf::Font& font, const std::vector<Line>& lines,
                                        sf::Vector2f centre)
{
    sf::FloatRect block;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        const sf::FloatRect bounds =
            measureText(font, lines[i].text, lines[i].size, lines[i].anchor, -1.f, true);
        if (i == 0)
            block = bounds;
        const float right = std::max(block.left + block.width, bounds.left + bounds.width);
        const float bottom = std::max(block.top + block.height, bounds.top + bounds.height);
        block.left = std::min(block.left, bounds.left);
        block.top = std::min(block.top, bounds.top);
        block.width = right - block.left;
        block.height = bottom - block.top;
    }
    // Whole pixels, so that the same block lands on the same pixels wherever it is used.
    const sf::Vector2f shift(std::round(centre.x - (block.left + block.width / 2.f)),
                             std::round(centre.y - (block.top + block.height / 2.f)));
    std::vector<sf::FloatRect> painted;
    for (const Line& line : lines)
    {
        canvas.beginLayer();
        painted.push_back(
            canvas.text(font, line.text, line.size, line.anchor + shift, line.fill, -1.f, true));
        canvas.endLayer(line.shadow);
    }
    return painted;
}

/// The picture cut down to its visible pixels and a clear ring of one pixel, and where the
/// cut's top-left corner was in the picture, so that a sprite origin of minus that corner
/// shows it where the whole picture showed it.
std::pair<sf::Image, sf::Vector2i> cropToContent(const sf::Image& picture)
{
    const sf::Vector2u size = picture.getSize();
    int left = static_cast<int>(size.x), top = static_cast<int>(size.y), right = -1, bottom = -1;
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x)
            if (picture.getPixel(x, y).a != 0)
            {
                left = std::min(left, static_cast<int>(x));
                right = std::max(right, static_cast<int>(x));
                top = std::min(top, static_cast<int>(y));
                bottom = std::max(bottom, static_cast<int>(y));
            }
    if (right < 0)
        return {picture, {0, 0}};
    // The clear ring is added round the visible pixels, so it may stand outside the canvas.
    const sf::Vector2i corner(left - 1, top - 1);
    sf::Image cut;
    cut.create(static_cast<unsigned>(right - left + 3), static_cast<unsigned>(bottom - top + 3),
               sf::Color::Transparent);
    cut.copy(picture, 1, 1, sf::IntRect(left, top, right - left + 1, bottom - top + 1));
    return {cut, corner};
}

/// A sprite drawn from the window's top-left corner, with its origin set so that a cut-down
/// picture stands where the whole one stood.
SpriteEntry shiftedSprite(const std::string& key, sf::Vector2i corner)
{
    return SpriteEntry{key, {{"originX", -corner.x}, {"originY", -corner.y}}};
}

// --- Tiling backgrounds for the peephole shaders, computed pixel by pixel --------------

Painted gradientTile(const sf::Font&)
{
    const unsigned size = 512;
    sf::Image image;
    image.create(size, size);
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x)
        {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            // Whole periods in both directions, so the tile repeats without a seam.
            image.setPixel(x, y, cycle(v + 0.08f * std::sin(2.f * pi * u)));
        }
    return Painted{image, {}};
}

Painted rainbowTile(const sf::Font&)
{
    const unsigned size = 512;
    sf::Image image;
    image.create(size, size);
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x)
            image.setPixel(x, y, cycle(2.f * static_cast<float>(x + y) / size));
    return Painted{image, {}};
}

Painted dotsTile(const sf::Font&)
{
    const unsigned size = 256;
    const float cell = 128.f;
    sf::Image image;
    image.create(size, size);
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x)
        {
            // Distances to the nearest grid points, wrapped, give dots that tile exactly.
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            auto distance = [&](float offsetX, float offsetY)
            {
                const float dx = std::fmod(px - offsetX + cell * 1.5f, cell) - cell / 2.f;
                const float dy = std::fmod(py - offsetY + cell * 1.5f, cell) - cell / 2.f;
                return std::sqrt(dx * dx + dy * dy);
            };
            auto coverage = [](float d, float radius) { return std::clamp(radius - d + 0.5f, 0.f, 1.f); };
            const float big = distance(cell / 2.f, cell / 2.f);
            const float shine = distance(cell / 2.f - 10.f, cell / 2.f - 10.f);
            const float small = distance(0.f, 0.f);
            sf::Color colour = purple;
            colour = mix(colour, ink, coverage(big, 34.f));
            colour = mix(colour, hotPink, coverage(big, 28.f));
            colour = mix(colour, cream, coverage(shine, 7.f) * 0.8f);
            colour = mix(colour, ink, coverage(small, 15.f));
            colour = mix(colour, lemon, coverage(small, 11.f));
            image.setPixel(x, y, colour);
        }
    return Painted{image, {}};
}

// --- Full-screen pictures ------------------------------------------------------------

Painted blackPicture(const sf::Font&)
{
    sf::Image image;
    image.create(1920, 1080, sf::Color::Black);
    // The fade overlay, the flash veil and every shader pass use it at the registry's
    // position (0, 0); scenes that turn it re-centre it themselves.
    return Painted{image, {plainSprite("black")}};
}

Painted fieldSky(const sf::Font&)
{
    const float width = 1024.f;
    const float height = 512.f;
    Canvas canvas(1024, 512, purple);
    canvas.verticalGradient({0.f, 0.f, width, height * 0.55f}, purple, hotPink);
    canvas.verticalGradient({0.f, height * 0.55f, width, height * 0.45f}, hotPink, lemon);
    Dice dice(8101);
    // Every shape is drawn a second time one width to the left or right so the picture
    // wraps round without a seam.
    auto wrapped = [&](auto&& drawAt, float x)
    {
        for (float shift : {-width, 0.f, width})
            drawAt(x + shift);
    };
    canvas.beginLayer();
    for (int i = 0; i < 40; ++i)
    {
        const float x = dice.range(0.f, width);
        const float y = dice.range(10.f, height * 0.4f);
        const float r = dice.range(3.f, 8.f);
        wrapped([&](float at) { canvas.draw(shapes::star({at, y}, r * 1.8f, r * 0.6f, 4, cream)); }, x);
    }
    canvas.endLayer(Shadow{{0.f, 0.f}, 0, 0.f});
    // Five clouds, each of its own make: a flat base and a row of two to four puffs whose
    // sizes, heights and overlaps come from the dice. Each keeps to its fifth of the width.
    const float slot = width / 5.f;
    for (int i = 0; i < 5; ++i)
    {
        const float x = slot * (static_cast<float>(i) + 0.5f) + dice.range(-12.f, 12.f);
        const float y = dice.range(height * 0.25f, height * 0.5f);
        const int puffCount = 2 + static_cast<int>((dice.next() >> 16) % 3);
        std::vector<sf::Vector3f> puffs; // x along the cloud, height above the base, radius
        float previous = 0.f;
        for (int p = 0; p < puffCount; ++p)
        {
            const float radius = dice.range(30.f, 60.f);
            const float along =
                (p == 0) ? radius : puffs.back().x + (previous + radius) * dice.range(0.55f, 0.8f);
            puffs.emplace_back(along, radius * dice.range(0.2f, 0.55f), radius);
            previous = radius;
        }
        float length = puffs.back().x + puffs.back().z;
        const float fit = std::min(1.f, (slot - 40.f) / length);
        for (sf::Vector3f& puff : puffs)
            puff *= fit;
        length *= fit;
        // The base reaches below every puff, so that the cloud sits on one flat line.
        float baseHeight = dice.range(0.6f, 0.9f) * puffs.front().z;
        for (const sf::Vector3f& puff : puffs)
            baseHeight = std::max(baseHeight, puff.z - puff.y + 4.f);
        canvas.beginLayer();
        wrapped(
            [&](float at)
            {
                const float left = at - length / 2.f;
                std::vector<sf::CircleShape> circles;
                std::vector<sf::ConvexShape> bridges;
                for (std::size_t p = 0; p < puffs.size(); ++p)
                {
                    const sf::Vector2f centre(left + puffs[p].x, y - puffs[p].y);
                    circles.push_back(shapes::circle(centre, puffs[p].z, cream));
                    if (p == 0)
                        continue;
                    // Fills the pocket between two puffs and the base, which would
                    // otherwise show the outline drawn under the figure.
                    const sf::Vector2f before(left + puffs[p - 1].x, y - puffs[p - 1].y);
                    sf::ConvexShape bridge(4);
                    bridge.setPoint(0, before);
                    bridge.setPoint(1, centre);
                    bridge.setPoint(2, {centre.x, y + baseHeight / 2.f});
                    bridge.setPoint(3, {before.x, y + baseHeight / 2.f});
                    bridge.setFillColor(cream);
                    bridges.push_back(bridge);
                }
                const sf::ConvexShape base =
                    shapes::roundedRect({left, y, length, baseHeight}, baseHeight / 2.f, cream);
                std::vector<const sf::Shape*> group{&base};
                for (const auto& circle : circles)
                    group.push_back(&circle);
                for (const auto& bridge : bridges)
                    group.push_back(&bridge);
                canvas.drawOutlinedGroup(group, 6.f);
            },
            x);
        canvas.endLayer(Shadow{{6.f, 8.f}, 6, 0.35f});
    }
    canvas.beginLayer();
    for (int i = 0; i < 6; ++i)
    {
        const float x = width * static_cast<float>(i) / 6.f;
        const sf::Color colour = (i % 2 == 0) ? cyan : magenta;
        wrapped(
            [&](float at) {
                canvas.drawOutlined(shapes::ellipse({at, height + 40.f}, {150.f, 130.f}, colour), 7.f);
            },
            x);
    }
    canvas.endLayer(Shadow{{0.f, -6.f}, 8, 0.4f});
    return Painted{canvas.finish(), {}};
}

Painted openingCard(const sf::Font& font)
{
    Canvas canvas(1920, 1080, purple);
    canvas.verticalGradient({0.f, 0.f, screenWidth, screenHeight}, purple, magenta);
    std::vector<sf::FloatRect> taken;
    taken.push_back(
        letters(canvas, font, "Vortle", 330.f, {960.f, 420.f}, hotPink, Shadow{{14.f, 18.f}, 10, 0.6f}));
    taken.push_back(letters(canvas, font, "proudly presents", 120.f, {960.f, 700.f}, lemon));
    taken.push_back(letters(canvas, font, "made with love, sugar and far too many shaders", 54.f,
                            {960.f, 880.f}, cream, Shadow{{5.f, 6.f}, 4, 0.5f}));
    Dice dice(4101);
    confetti(canvas, dice, {60.f, 60.f, 1800.f, 960.f}, 9, 5, 1.6f, taken);
    return Painted{canvas.finish(), {centredSprite("gr1")}};
}

Painted titleCard(const sf::Font& font)
{
    // Drawn through the rainbow peephole shader on black: pale letters with dark outlines
    // take the rainbow's colours and keep their shape.
    Canvas canvas(1920, 1080);
    std::vector<sf::FloatRect> taken;
    taken.push_back(letters(canvas, font, "Grumlo vs The Vortle", 170.f, {960.f, 330.f}, cream));
    taken.push_back(letters(canvas, font, "& Trobisk", 170.f, {960.f, 540.f}, cream));
    canvas.beginLayer();
    canvas.drawOutlined(shapes::roundedRect({380.f, 690.f, 1160.f, 14.f}, 7.f, cream), 6.f);
    canvas.endLayer();
    taken.push_back({370.f, 680.f, 1180.f, 40.f});
    taken.push_back(
        letters(canvas, font, "~ Flumbadoo ~", 220.f, {960.f, 860.f}, cream, Shadow{{12.f, 14.f}, 10, 0.6f}));
    Dice dice(4202);
    confetti(canvas, dice, {80.f, 80.f, 1760.f, 920.f}, 8, 4, 1.6f, taken);
    return Painted{canvas.finish(), {centredSprite("gr2")}};
}

Painted presentationCard(const sf::Font& font)
{
    Canvas canvas(1920, 1080);
    canvas.beginLayer();
    canvas.drawOutlined(shapes::roundedRect({90.f, 80.f, 1740.f, 920.f}, 90.f, withAlpha(cream, 170)), 16.f);
    canvas.drawOutlined(shapes::roundedRect({130.f, 120.f, 1660.f, 840.f}, 64.f, sf::Color::Transparent), 6.f,
                        withAlpha(ink, 200));
    // The see-through panel throws no shadow; it would darken the panel itself.
    canvas.endLayer(Shadow{{0.f, 0.f}, 0, 0.f});
    canvas.beginLayer();
    for (sf::Vector2f corner : {sf::Vector2f(250.f, 240.f), sf::Vector2f(1670.f, 240.f),
                                sf::Vector2f(250.f, 840.f), sf::Vector2f(1670.f, 840.f)})
        canvas.drawOutlined(shapes::heart(corner, 120.f, (corner.y < 500.f) ? hotPink : cyan), 8.f);
    canvas.endLayer();
    letters(canvas, font, "presentado", 250.f, {960.f, 360.f}, hotPink, Shadow{{12.f, 16.f}, 10, 0.6f});
    letters(canvas, font, "by the Vortle", 130.f, {960.f, 610.f}, cyan);
    letters(canvas, font, "a demo so serious it wobbles", 80.f, {960.f, 800.f}, lemon);
    return Painted{canvas.finish(), {}};
}

Painted groupLogo(const sf::Font& font)
{
    // The scene centres this picture on the window itself and pulses it to 1.5 times its
    // size, so the logo stays well inside the middle two thirds.
    Canvas canvas(1920, 1080);
    canvas.beginLayer();
    canvas.drawOutlined(shapes::star({960.f, 540.f}, 340.f, 290.f, 16, cream, 11.25f), 14.f);
    canvas.drawOutlined(shapes::circle({960.f, 540.f}, 250.f, cream), 8.f);
    canvas.endLayer(Shadow{{14.f, 18.f}, 12, 0.55f});
    letters(canvas, font, "Vortle", 230.f, {960.f, 515.f}, cream, Shadow{{10.f, 14.f}, 8, 0.6f});
    letters(canvas, font, "since forever", 64.f, {960.f, 690.f}, cream, Shadow{{5.f, 6.f}, 4, 0.5f});
    return Painted{canvas.finish(), {plainSprite("vortle")}};
}

struct GreetingList
{
    const char* name;
    const char* heading;
    std::vector<const char*> groups;
    sf::Color headingColour;
    std::uint32_t seed;
};

/// A greeting page. The scene shows up to three pages at once, one coming together, one
/// holding and one scattering away, so the pages take turns on the left and right halves of
/// the screen (the scatter shader gathers each one close to home): the one coming in never
/// lands on the words of the one holding. Each page's words stand on a soft card, heavily
/// outlined and shadowed, with its confetti around the card in its own half only. Pages that
/// share a half sit at different heights, so each also shows somewhere the others do not.
Painted greetingPicture(const sf::Font& font, const GreetingList& list, int page)
{
    Canvas canvas(1920, 1080);
    const bool left = page % 2 == 0;
    const float drop = 60.f * static_cast<float>((page / 2) % 3);
    // Clear of the flipping frame picture in the top-left corner and of the middle, where the
    // rocking layer swings the two halves towards each other.
    const sf::FloatRect card = left ? sf::FloatRect(50.f, 340.f + drop, 820.f, 560.f)
                                    : sf::FloatRect(1050.f, 60.f + drop, 820.f, 560.f);
    canvas.beginLayer();
    canvas.drawOutlined(shapes::roundedRect(card, 56.f, mix(cream, hotPink, 0.08f)), 9.f);
    canvas.endLayer(Shadow{{12.f, 16.f}, 12, 0.45f});

    // The heading over the names, the block shrunk if needed to fit the card with a margin.
    std::vector<std::pair<std::string, float>> words{{list.heading, 112.f}};
    for (const char* group : list.groups)
        words.push_back({group, 90.f});
    float widest = 0.f;
    for (const auto& [text, size] : words)
        widest = std::max(widest, measureText(font, text, size, {0.f, 0.f}).width);
    const float pitch = 118.f;
    const float scale =
        std::min(1.f, std::min((card.width - 90.f) / widest,
                               (card.height - 90.f) / (pitch * static_cast<float>(words.size()))));
    const sf::Color colours[] = {purple, hotPink, magenta, sf::Color(20, 150, 200)};
    const float firstBaseline =
        card.top + card.height / 2.f - pitch * scale * (static_cast<float>(words.size()) / 2.f - 0.75f);
    for (std::size_t i = 0; i < words.size(); ++i)
    {
        const float size = std::round(words[i].second * scale);
        canvas.beginLayer();
        canvas.text(font, words[i].first, size,
                    {std::round(card.left + card.width / 2.f),
                     std::round(firstBaseline + pitch * scale * static_cast<float>(i))},
                    i == 0 ? list.headingColour : colours[(i + list.seed) % 4], size * 0.11f, true);
        canvas.endLayer(Shadow{{7.f, 9.f}, 6, 0.6f});
    }

    const sf::FloatRect half =
        left ? sf::FloatRect(30.f, 30.f, 870.f, 1020.f) : sf::FloatRect(1020.f, 30.f, 870.f, 1020.f);
    std::vector<sf::FloatRect> taken{
        {card.left - 10.f, card.top - 10.f, card.width + 30.f, card.height + 36.f}, {0.f, 0.f, 360.f, 340.f}};
    Dice dice(list.seed);
    confetti(canvas, dice, half, 4, 6, 1.3f, taken);
    return Painted{canvas.finish(), {}};
}

Painted whooshPicture(const sf::Font& font)
{
    Canvas canvas(1920, 1080);
    canvas.beginLayer();
    const sf::Color colours[] = {cyan, hotPink, lemon, magenta};
    for (int i = 0; i < 4; ++i)
        canvas.drawOutlined(shapes::roundedRect({140.f + 60.f * i, 330.f + 120.f * i, 760.f - 90.f * i, 54.f},
                                                27.f, colours[i]),
                            7.f);
    canvas.endLayer();
    letters(canvas, font, "Wheee!", 320.f, {1180.f, 520.f}, lemon, Shadow{{14.f, 18.f}, 10, 0.6f});
    letters(canvas, font, "hold on to your pixels", 80.f, {1180.f, 790.f}, cream);
    return Painted{canvas.finish(), {}};
}

Painted fluffyPicture(const sf::Font& font)
{
    Canvas canvas(1920, 1080);
    canvas.beginLayer();
    // One cloud: the puffs are opaque and share one outline round their union, so no
    // puff's edge shows through another.
    std::vector<sf::CircleShape> puffs;
    const float centres[][3] = {{560.f, 480.f, 170.f},  {800.f, 360.f, 220.f}, {1110.f, 380.f, 210.f},
                                {1370.f, 500.f, 160.f}, {960.f, 560.f, 190.f}, {720.f, 560.f, 150.f},
                                {1200.f, 560.f, 150.f}};
    for (const auto& c : centres)
        puffs.push_back(shapes::circle({c[0], c[1]}, c[2], mix(cream, purple, 0.07f)));
    std::vector<const sf::Shape*> group;
    for (const auto& p : puffs)
        group.push_back(&p);
    canvas.drawOutlinedGroup(group, 12.f);
    // Glints on the upper puffs give the flat fill some roundness.
    canvas.draw(shapes::ellipse({730.f, 250.f}, {90.f, 36.f}, cream, -25.f));
    canvas.draw(shapes::ellipse({1060.f, 270.f}, {70.f, 28.f}, cream, -15.f));
    face(canvas, {960.f, 500.f}, 320.f);
    canvas.endLayer(Shadow{{14.f, 18.f}, 12, 0.45f});
    // The lettering stands below the cloud, clear of its outline and shadow.
    letters(canvas, font, "sooo fluffy", 170.f, {960.f, 900.f}, hotPink);
    return Painted{canvas.finish(), {}};
}

Painted travelPicture(const sf::Font& font)
{
    Canvas canvas(1920, 1080);
    // The two lines step to the right as they go down; the pair is centred as one block.
    const std::vector<sf::FloatRect> taken =
        centredBlock(canvas, font,
                     {{"are we", 200.f, {760.f, 0.f}, cyan},
                      {"there yet?", 240.f, {1060.f, 250.f}, lemon, Shadow{{14.f, 18.f}, 10, 0.6f}}},
                     {960.f, 540.f});
    Dice dice(1003);
    confetti(canvas, dice, {60.f, 60.f, 1800.f, 960.f}, 8, 5, 1.8f, taken);
    return Painted{canvas.finish(), {}};
}

// --- Lettered pieces that the scenes place at the window's centre ----------------------

struct LinePiece
{
    const char* key;
    const char* letters;
    sf::Color fill;
};

/// Lays pieces side by side on one line centred on the window (a gap of minus the
/// outline thickness lets the outlines of one word's pieces meet without covering a
/// neighbour's letters) and paints each one as a
/// picture of its own, just big enough for it. Every sprite is placed at the window
/// centre by the registry (or by the scene) and its origin puts the piece where it
/// belongs in the whole line, so it also grows out of the window centre.
std::vector<Picture> linePictures(std::vector<LinePiece> pieces, float size, float baseline, float gap)
{
    std::vector<Picture> pictures;
    for (std::size_t index = 0; index < pieces.size(); ++index)
    {
        const LinePiece piece = pieces[index];
        pictures.push_back(Picture{
            piece.key, false,
            [pieces, index, size, baseline, gap](const sf::Font& font)
            {
                std::vector<float> widths;
                float total = 0.f;
                for (const LinePiece& p : pieces)
                {
                    widths.push_back(measureText(font, p.letters, size, {0.f, baseline}, -1.f, true).width);
                    total += widths.back();
                }
                total += gap * static_cast<float>(pieces.size() - 1);
                float x = 960.f - total / 2.f;
                for (std::size_t i = 0; i < index; ++i)
                    x += widths[i] + gap;
                const sf::Vector2f anchor(x + widths[index] / 2.f, baseline);

                const Shadow shadow{{10.f, 12.f}, 8, 0.6f};
                const float margin = 8.f + 3.f * static_cast<float>(shadow.blurRadius);
                const sf::FloatRect ink = measureText(font, pieces[index].letters, size, anchor, -1.f, true);
                const int left = static_cast<int>(std::floor(ink.left - margin));
                const int top = static_cast<int>(std::floor(ink.top - margin));
                const int right =
                    static_cast<int>(std::ceil(ink.left + ink.width + margin + shadow.offset.x));
                const int bottom =
                    static_cast<int>(std::ceil(ink.top + ink.height + margin + shadow.offset.y));

                Canvas canvas(static_cast<unsigned>(right - left), static_cast<unsigned>(bottom - top));
                canvas.beginLayer();
                canvas.text(font, pieces[index].letters, size,
                            anchor - sf::Vector2f(static_cast<float>(left), static_cast<float>(top)),
                            pieces[index].fill, -1.f, true);
                canvas.endLayer(shadow);
                SpriteEntry sprite{
                    pieces[index].key,
                    {{"autocenter_place", true}, {"originX", 960 - left}, {"originY", 540 - top}}};
                return Painted{canvas.finish(), {sprite}};
            }});
    }
    return pictures;
}

// --- Bouncing logos -------------------------------------------------------------------

enum class Badge
{
    Pill,
    Burst,
    Blob,
    Banner,
    Heart,
    Disc,
    Diamond
};

/// Whether point lies inside the filled polygon of shape, at least inset away from its edge.
bool insideBy(const sf::Shape& shape, sf::Vector2f point, float inset)
{
    const sf::Transform transform = shape.getTransform();
    const std::size_t count = shape.getPointCount();
    bool inside = false;
    for (std::size_t i = 0, j = count - 1; i < count; j = i++)
    {
        const sf::Vector2f a = transform.transformPoint(shape.getPoint(i));
        const sf::Vector2f b = transform.transformPoint(shape.getPoint(j));
        if ((a.y > point.y) != (b.y > point.y) && point.x < a.x + (b.x - a.x) * (point.y - a.y) / (b.y - a.y))
            inside = !inside;
        const sf::Vector2f edge = b - a;
        const float length2 = edge.x * edge.x + edge.y * edge.y;
        const float t =
            length2 > 0.f
                ? std::clamp(((point.x - a.x) * edge.x + (point.y - a.y) * edge.y) / length2, 0.f, 1.f)
                : 0.f;
        const sf::Vector2f nearest = a + t * edge - point;
        if (nearest.x * nearest.x + nearest.y * nearest.y < inset * inset)
            return false;
    }
    return inside;
}

/// The largest character size, from size down, at which the lettering centred on centre
/// keeps inset pixels inside the badge's fill all round (its outline included).
float fittingSize(const sf::Font& font, const std::string& word, float size, sf::Vector2f centre,
                  const sf::Shape& badge, float inset)
{
    for (; size > 24.f; size *= 0.97f)
    {
        const sf::FloatRect box = measureText(font, word, size, centre);
        bool fits = true;
        // The edges of the box are walked in small steps, so that a curved or pointed badge
        // cannot poke in between two checked points.
        for (int i = 0; i <= 16 && fits; ++i)
        {
            const float u = static_cast<float>(i) / 16.f;
            for (const sf::Vector2f point : {sf::Vector2f(box.left + u * box.width, box.top),
                                             sf::Vector2f(box.left + u * box.width, box.top + box.height),
                                             sf::Vector2f(box.left, box.top + u * box.height),
                                             sf::Vector2f(box.left + box.width, box.top + u * box.height)})
                fits = fits && insideBy(badge, point, inset);
        }
        if (fits)
            break;
    }
    return size;
}

Painted logoPicture(const sf::Font& font, const char* key, const char* word, Badge badge, sf::Color back,
                    sf::Color fill, unsigned width, unsigned height)
{
    Canvas canvas(width, height);
    const sf::Vector2f centre(static_cast<float>(width) / 2.f - 5.f, static_cast<float>(height) / 2.f - 6.f);
    const float w = static_cast<float>(width) - 60.f;
    const float h = static_cast<float>(height) - 60.f;
    // The shape that the lettering must stay inside.
    sf::ConvexShape face;
    canvas.beginLayer();
    switch (badge)
    {
    case Badge::Pill:
        face = shapes::roundedRect({centre.x - w / 2.f, centre.y - h / 2.f, w, h}, h / 2.f, back);
        canvas.drawOutlined(face, 10.f);
        break;
    case Badge::Burst:
    {
        face = shapes::star(centre, h / 2.f, h / 2.f - 22.f, 18, back);
        face.setScale(w / h, 1.f);
        canvas.drawOutlined(face, 10.f);
        break;
    }
    case Badge::Blob:
        face = shapes::ellipse(centre, {w / 2.f, h / 2.f}, back, -4.f);
        canvas.drawOutlined(face, 10.f);
        break;
    case Badge::Banner:
    {
        const sf::ConvexShape left =
            shapes::star({centre.x - w / 2.f + 40.f, centre.y + 10.f}, 50.f, 30.f, 5, lemon);
        const sf::ConvexShape right =
            shapes::star({centre.x + w / 2.f - 40.f, centre.y + 10.f}, 50.f, 30.f, 5, lemon);
        face = shapes::roundedRect({centre.x - w / 2.f + 40.f, centre.y - h / 2.f + 10.f, w - 80.f, h - 20.f},
                                   30.f, back);
        canvas.drawOutlinedGroup({&left, &right}, 8.f);
        canvas.drawOutlined(face, 10.f);
        break;
    }
    case Badge::Heart:
    {
        // The heart's own centre sits high in its outline; its bounds are centred instead,
        // so that the point stays inside the canvas with its outline and shadow.
        face = shapes::heart({0.f, 0.f}, h * 1.05f, back);
        face.setScale(w / h * 0.92f, 1.f);
        const sf::FloatRect bounds = face.getGlobalBounds();
        face.setPosition(centre -
                         sf::Vector2f(bounds.left + bounds.width / 2.f, bounds.top + bounds.height / 2.f));
        canvas.drawOutlined(face, 10.f);
        break;
    }
    case Badge::Disc:
        face = shapes::ellipse(centre, {h / 2.f, h / 2.f}, back);
        canvas.drawOutlined(face, 10.f);
        break;
    case Badge::Diamond:
    {
        face.setPointCount(4);
        face.setPoint(0, {0.f, -h / 2.f});
        face.setPoint(1, {w / 2.f, 0.f});
        face.setPoint(2, {0.f, h / 2.f});
        face.setPoint(3, {-w / 2.f, 0.f});
        face.setPosition(centre);
        face.setFillColor(back);
        canvas.drawOutlined(face, 10.f);
        break;
    }
    }
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    // The lettering goes as large as the badge allows, at the height where it can be largest.
    const float startSize = (badge == Badge::Banner) ? 84.f : 120.f;
    float size = 0.f;
    sf::Vector2f wordCentre = centre;
    for (int step = -6; step <= 6; ++step)
    {
        const sf::Vector2f at = centre + sf::Vector2f(0.f, h * 0.025f * static_cast<float>(step));
        const float fitting = fittingSize(font, word, startSize, at, face, 6.f);
        if (fitting > size + 0.5f)
        {
            size = fitting;
            wordCentre = at;
        }
    }
    letters(canvas, font, word, size, wordCentre, fill, Shadow{{6.f, 8.f}, 5, 0.6f});
    return Painted{canvas.finish(), {plainSprite(key)}};
}

// --- Cute characters ------------------------------------------------------------------

Painted blobCreature(const sf::Font&)
{
    Canvas canvas(360, 360);
    canvas.beginLayer();
    const sf::ConvexShape body = shapes::ellipse({176.f, 186.f}, {140.f, 124.f}, hotPink);
    const sf::ConvexShape earL = shapes::ellipse({100.f, 80.f}, {30.f, 48.f}, hotPink, -30.f);
    const sf::ConvexShape earR = shapes::ellipse({252.f, 80.f}, {30.f, 48.f}, hotPink, 30.f);
    canvas.drawOutlinedGroup({&earL, &earR, &body}, 9.f);
    canvas.draw(shapes::ellipse({120.f, 130.f}, {30.f, 16.f}, withAlpha(cream, 170), -30.f));
    face(canvas, {176.f, 196.f}, 200.f);
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    return Painted{canvas.finish(), {centredSprite("plimmo1")}};
}

Painted cloudCreature(const sf::Font&)
{
    Canvas canvas(420, 320);
    canvas.beginLayer();
    const sf::CircleShape a = shapes::circle({120.f, 180.f}, 80.f, cyan);
    const sf::CircleShape b = shapes::circle({210.f, 130.f}, 100.f, cyan);
    const sf::CircleShape c = shapes::circle({300.f, 180.f}, 80.f, cyan);
    const sf::ConvexShape d = shapes::roundedRect({80.f, 170.f, 260.f, 90.f}, 45.f, cyan);
    canvas.drawOutlinedGroup({&a, &b, &c, &d}, 9.f);
    canvas.draw(shapes::ellipse({170.f, 80.f}, {36.f, 18.f}, withAlpha(cream, 190), -20.f));
    face(canvas, {206.f, 186.f}, 190.f, true);
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    return Painted{canvas.finish(), {centredSprite("plimmo2")}};
}

Painted starCreature(const sf::Font&)
{
    Canvas canvas(380, 380);
    canvas.beginLayer();
    canvas.drawOutlined(shapes::star({186.f, 196.f}, 170.f, 88.f, 5, lemon), 10.f);
    face(canvas, {186.f, 210.f}, 150.f);
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    return Painted{canvas.finish(), {centredSprite("plimmo3")}};
}

Painted heartCreature(const sf::Font&)
{
    Canvas canvas(440, 350);
    canvas.beginLayer();
    const sf::ConvexShape wingL = shapes::ellipse({92.f, 75.f}, {64.f, 36.f}, cream, -25.f);
    const sf::ConvexShape wingR = shapes::ellipse({340.f, 75.f}, {64.f, 36.f}, cream, 25.f);
    const sf::ConvexShape body = shapes::heart({216.f, 121.f}, 300.f, magenta);
    canvas.drawOutlinedGroup({&wingL, &wingR}, 8.f);
    canvas.drawOutlined(body, 10.f);
    face(canvas, {216.f, 105.f}, 170.f);
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    return Painted{canvas.finish(), {centredSprite("plimmo4")}};
}

Painted mushroomCreature(const sf::Font&)
{
    Canvas canvas(380, 400);
    canvas.beginLayer();
    const sf::ConvexShape stem = shapes::roundedRect({110.f, 170.f, 150.f, 190.f}, 60.f, cream);
    canvas.drawOutlined(stem, 9.f);
    sf::ConvexShape cap(48);
    for (int i = 0; i < 48; ++i)
    {
        const float t = pi + pi * static_cast<float>(i) / 47.f;
        cap.setPoint(static_cast<std::size_t>(i), {160.f * std::cos(t), 140.f * std::sin(t)});
    }
    cap.setPosition(186.f, 190.f);
    cap.setFillColor(purple);
    canvas.drawOutlined(cap, 10.f);
    for (const auto& spot : {sf::Vector3f(120.f, 130.f, 22.f), sf::Vector3f(200.f, 90.f, 28.f),
                             sf::Vector3f(270.f, 140.f, 18.f), sf::Vector3f(70.f, 170.f, 12.f)})
        canvas.draw(shapes::circle({spot.x, spot.y}, spot.z, lemon));
    face(canvas, {186.f, 270.f}, 130.f);
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    return Painted{canvas.finish(), {centredSprite("plimmo5")}};
}

Painted dancerFrames(const sf::Font&)
{
    // Two frames side by side; the sprites cut them out with texture rectangles and sit
    // in the top-left corner, clear of the pop-up pictures. Each cell leaves room for the
    // raised arms' outline and shadow; the dancers stand 24 pixels higher in their cells
    // and 6 further right than the corner the origin gives, which the origin makes up for.
    const float top = -24.f;
    const int cellWidth = 264;
    const int cellHeight = 216;
    Canvas canvas(2 * cellWidth, cellHeight);
    for (int frame = 0; frame < 2; ++frame)
    {
        const float x = 126.f + static_cast<float>(cellWidth * frame);
        const float armLift = (frame == 0) ? -1.f : 1.f;
        canvas.beginLayer();
        const sf::ConvexShape armL =
            shapes::ellipse({x - 78.f, top + 120.f + 30.f * armLift}, {34.f, 14.f}, lemon, 40.f * armLift);
        const sf::ConvexShape armR =
            shapes::ellipse({x + 78.f, top + 120.f + 30.f * armLift}, {34.f, 14.f}, lemon, -40.f * armLift);
        const sf::ConvexShape footL = shapes::ellipse({x - 34.f, top + 196.f}, {26.f, 14.f}, lemon);
        const sf::ConvexShape footR =
            shapes::ellipse({x + 34.f, top + 196.f - 10.f * (1 - frame)}, {26.f, 14.f}, lemon);
        const sf::ConvexShape body = shapes::ellipse({x, top + 130.f + 4.f * armLift}, {70.f, 66.f}, lemon);
        canvas.drawOutlinedGroup({&armL, &armR, &footL, &footR, &body}, 7.f);
        face(canvas, {x, top + 130.f + 4.f * armLift}, 100.f, frame == 1);
        canvas.endLayer(Shadow{{5.f, 6.f}, 4, 0.5f});
    }
    const nlohmann::json placed = {
        {"originX", -34}, {"originY", -64}, {"rectY", 0}, {"rectW", cellWidth}, {"rectH", cellHeight}};
    nlohmann::json first = placed;
    first["rectX"] = 0;
    nlohmann::json second = placed;
    second["rectX"] = cellWidth;
    return Painted{canvas.finish(), {SpriteEntry{"frame1", first}, SpriteEntry{"frame2", second}}};
}

Painted babaPicture(const sf::Font& font)
{
    // Drawn at the left edge from the top of the window; the creature stands low, below the
    // pointing hand. It is painted where it stands on a window-high sheet and then cut down
    // to what it covers; the sprite's origin keeps it in its place.
    Canvas canvas(560, 1100);
    canvas.beginLayer();
    const sf::ConvexShape footL = shapes::ellipse({150.f, 1020.f}, {60.f, 28.f}, purple);
    const sf::ConvexShape footR = shapes::ellipse({330.f, 1020.f}, {60.f, 28.f}, purple);
    const sf::ConvexShape body = shapes::ellipse({240.f, 860.f}, {190.f, 170.f}, purple);
    const sf::ConvexShape tuft = shapes::star({240.f, 690.f}, 46.f, 20.f, 3, purple);
    canvas.drawOutlinedGroup({&footL, &footR, &tuft, &body}, 10.f);
    canvas.draw(shapes::ellipse({170.f, 760.f}, {44.f, 20.f}, withAlpha(cream, 160), -25.f));
    face(canvas, {240.f, 860.f}, 240.f);
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    canvas.beginLayer();
    canvas.drawOutlined(shapes::roundedRect({300.f, 620.f, 200.f, 100.f}, 40.f, cream), 8.f);
    canvas.drawOutlined(shapes::star({330.f, 724.f}, 26.f, 10.f, 3, cream, 180.f), 0.f);
    canvas.text(font, "baba!", 64.f, {400.f, 666.f}, hotPink, 5.f);
    canvas.endLayer(Shadow{{6.f, 8.f}, 5, 0.45f});
    const auto [picture, corner] = cropToContent(canvas.finish());
    return Painted{picture, {shiftedSprite("baba", corner)}};
}

Painted fingerPicture(const sf::Font& font)
{
    // Also the image of the finger's scatter shader, which draws it over the sprite. Like
    // baba it is cut down to what it covers after painting, its origin keeping its place.
    Canvas canvas(620, 560);
    canvas.beginLayer();
    // Each part has its own outline, drawn over the part behind it, so that the cuff, the
    // palm, the curled fingers and the thumb stay apart.
    canvas.drawOutlined(shapes::roundedRect({20.f, 336.f, 120.f, 178.f}, 28.f, cyan), 10.f);
    canvas.draw(shapes::roundedRect({30.f, 358.f, 100.f, 22.f}, 11.f, hotPink));
    const sf::ConvexShape palm = shapes::roundedRect({112.f, 326.f, 206.f, 194.f}, 70.f, cream);
    const sf::ConvexShape index = shapes::roundedRect({236.f, 338.f, 334.f, 68.f}, 34.f, cream);
    canvas.drawOutlinedGroup({&palm, &index}, 10.f);
    for (const sf::FloatRect& curl :
         {sf::FloatRect(250.f, 412.f, 112.f, 50.f), sf::FloatRect(244.f, 466.f, 100.f, 48.f)})
        canvas.drawOutlined(shapes::roundedRect(curl, curl.height / 2.f, cream), 8.f);
    canvas.drawOutlined(shapes::ellipse({206.f, 318.f}, {66.f, 32.f}, cream, -30.f), 10.f);
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    letters(canvas, font, "look!", 110.f, {380.f, 200.f}, lemon);
    const auto [picture, corner] = cropToContent(canvas.finish());
    return Painted{picture, {shiftedSprite("finger", corner)}};
}

Painted bubblePicture(const sf::Font&, const std::string& key, unsigned size, bool smiling)
{
    Canvas canvas(size, size);
    const float s = static_cast<float>(size);
    const float r = s / 2.f - 14.f;
    const sf::Vector2f centre(s / 2.f - 4.f, s / 2.f - 4.f);
    canvas.beginLayer();
    canvas.drawOutlined(shapes::circle(centre, r, withAlpha(cream, 110)), std::max(4.f, s * 0.03f));
    canvas.draw(
        shapes::ellipse(centre + sf::Vector2f(-r * 0.42f, -r * 0.45f), {r * 0.28f, r * 0.14f}, cream, -40.f));
    canvas.draw(shapes::circle(centre + sf::Vector2f(-r * 0.7f, -r * 0.05f), r * 0.07f, cream));
    if (smiling)
        face(canvas, centre + sf::Vector2f(0.f, r * 0.15f), r * 0.9f);
    // No shadow: it would show through the see-through body and make it look dirty.
    canvas.endLayer(Shadow{{0.f, 0.f}, 0, 0.f});
    return Painted{canvas.finish(), {plainSprite(key)}};
}

Painted starSheet(const sf::Font&)
{
    // Cells of 96 pixels leave every star its outline and shadow inside its own cell.
    const int cell = 96;
    Canvas canvas(3 * cell, cell);
    canvas.beginLayer();
    canvas.drawOutlined(shapes::star({48.f, 50.f}, 32.f, 14.f, 5, lemon), 4.f);
    canvas.drawOutlined(shapes::star({144.f, 48.f}, 32.f, 8.f, 4, cyan), 4.f);
    canvas.draw(shapes::circle({144.f, 48.f}, 6.f, cream));
    canvas.drawOutlined(shapes::star({240.f, 50.f}, 24.f, 11.f, 5, hotPink, 15.f), 4.f);
    canvas.endLayer(Shadow{{3.f, 4.f}, 2, 0.4f});
    std::vector<SpriteEntry> sprites;
    for (int i = 0; i < 3; ++i)
        sprites.push_back(SpriteEntry{"star" + std::to_string(i + 1),
                                      {{"rectX", cell * i},
                                       {"rectY", 0},
                                       {"rectW", cell},
                                       {"rectH", cell},
                                       {"originX", cell / 2},
                                       {"originY", cell / 2}}});
    return Painted{canvas.finish(), sprites};
}

Painted flowerSheet(const sf::Font&)
{
    // Cells of 112 pixels leave every flower its outline and shadow inside its own cell.
    const int cell = 112;
    Canvas canvas(3 * cell, cell);
    const sf::Color petals[] = {hotPink, cyan, lemon};
    const sf::Color hearts[] = {lemon, hotPink, magenta};
    for (int i = 0; i < 3; ++i)
    {
        const sf::Vector2f centre(static_cast<float>(cell) * (static_cast<float>(i) + 0.5f), cell / 2.f);
        canvas.beginLayer();
        std::vector<sf::ConvexShape> leaves;
        const int count = 5 + i % 2;
        for (int p = 0; p < count; ++p)
        {
            const float angle = 360.f * static_cast<float>(p) / static_cast<float>(count);
            const float rad = angle * pi / 180.f;
            leaves.push_back(shapes::ellipse(centre + 20.f * sf::Vector2f(std::sin(rad), -std::cos(rad)),
                                             {13.f, 19.f}, petals[i], angle));
        }
        const sf::CircleShape heart = shapes::circle(centre, 13.f, hearts[i]);
        std::vector<const sf::Shape*> group;
        for (const auto& leaf : leaves)
            group.push_back(&leaf);
        canvas.drawOutlinedGroup(group, 4.f);
        canvas.drawOutlined(heart, 4.f);
        canvas.draw(shapes::circle(centre + sf::Vector2f(-4.f, -4.f), 4.f, cream));
        canvas.endLayer(Shadow{{3.f, 4.f}, 2, 0.4f});
    }
    std::vector<SpriteEntry> sprites;
    for (int i = 0; i < 3; ++i)
        sprites.push_back(SpriteEntry{"flower" + std::to_string(i + 1),
                                      {{"rectX", cell * i},
                                       {"rectY", 0},
                                       {"rectW", cell},
                                       {"rectH", cell},
                                       {"originX", cell / 2},
                                       {"originY", cell / 2}}});
    return Painted{canvas.finish(), sprites};
}

void append(std::vector<Picture>& to, std::vector<Picture> more)
{
    for (Picture& picture : more)
        to.push_back(std::move(picture));
}
} // namespace

std::vector<Picture> allPictures()
{
    std::vector<Picture> pictures = {
        {"black", false, blackPicture},
        {"bg-grad", true, gradientTile},
        {"rainbow_texture", true, rainbowTile},
        {"dots", true, dotsTile},
        {"morv", true, fieldSky},
        {"gr1", false, openingCard},
        {"gr2", false, titleCard},
        {"presentado", false, presentationCard},
        {"vortle", false, groupLogo},
    };

    // The demo's title: lettering that the peephole shaders colour is pale so that it
    // takes their colours; the rest carries its own.
    append(pictures, linePictures({{"grumlo1", "Gr", cream},
                                   {"grumlo2", "um", cream},
                                   {"grumlo3", "l", cream},
                                   {"grumlo4", "o", cream}},
                                  250.f, 300.f, -17.f));
    append(pictures, linePictures({{"vs", "vs", lemon}, {"the", "The", cyan}}, 160.f, 480.f, 50.f));
    append(pictures,
           linePictures({{"vortle1", "Vor", cream}, {"vortle2", "tle", cream}}, 250.f, 740.f, -17.f));
    append(pictures,
           linePictures({{"and", "&", lemon}, {"trobisk", "Trobisk", hotPink}}, 170.f, 960.f, 40.f));
    append(pictures, linePictures({{"flum", "Flum", cream}, {"ba", "ba", cream}, {"doo", "doo", cream}},
                                  280.f, 470.f, -19.f));
    append(pictures,
           linePictures(
               {{"zin", "zin", cream}, {"gel", "gel", cream}, {"pop", "pop", cream}, {"tik", "tik!", cream}},
               180.f, 770.f, 40.f));

    const std::vector<GreetingList> greetings = {
        {"greets1", "hugs to", {"Quib Squad", "Zarnworks", "Plok!"}, hotPink, 6501},
        {"greets2", "kisses to", {"Vesk & Co", "Trumo Labs", "Glin Glin"}, cyan, 6502},
        {"greets3", "high fives to", {"The Wobbly Bits", "Noodle Ninjas", "Sprinkle Crew"}, lemon, 6503},
        {"greets4", "big love to", {"Pixel Puddings", "Bleep Bloop", "Cosmic Custard"}, magenta, 6504},
        {"greets5", "waves to", {"Mum", "the cat", "everyone at the party"}, cyan, 6505},
        {"greets6", "...and you!", {"yes, you", "with the snacks"}, hotPink, 6506},
    };
    for (std::size_t page = 0; page < greetings.size(); ++page)
        pictures.push_back({greetings[page].name, false,
                            [list = greetings[page], page](const sf::Font& font)
                            { return greetingPicture(font, list, static_cast<int>(page)); }});

    pictures.push_back({"wsl1", false, whooshPicture});
    pictures.push_back({"wsl2", false, fluffyPicture});
    pictures.push_back({"wsl3", false, travelPicture});

    struct LogoSpec
    {
        const char* key;
        const char* word;
        Badge badge;
        sf::Color back;
        sf::Color fill;
        unsigned width;
        unsigned height;
    };
    const LogoSpec logos[] = {
        {"quib", "quib", Badge::Pill, hotPink, lemon, 420, 220},
        {"zarn", "zarn", Badge::Burst, cyan, hotPink, 440, 260},
        {"plok", "plok", Badge::Blob, lemon, purple, 400, 240},
        {"greets", "greetz to", Badge::Banner, purple, cream, 520, 200},
        {"vesk", "vesk", Badge::Heart, magenta, lemon, 380, 300},
        {"trumo", "trumo", Badge::Disc, cyan, hotPink, 300, 300},
        {"glin", "glin", Badge::Diamond, lemon, magenta, 440, 260},
    };
    for (const LogoSpec& logo : logos)
        pictures.push_back({logo.key, false,
                            [logo](const sf::Font& font)
                            {
                                return logoPicture(font, logo.key, logo.word, logo.badge, logo.back,
                                                   logo.fill, logo.width, logo.height);
                            }});

    pictures.push_back({"plimmo1", false, blobCreature});
    pictures.push_back({"plimmo2", false, cloudCreature});
    pictures.push_back({"plimmo3", false, starCreature});
    pictures.push_back({"plimmo4", false, heartCreature});
    pictures.push_back({"plimmo5", false, mushroomCreature});
    pictures.push_back({"frames", false, dancerFrames});
    pictures.push_back({"baba", false, babaPicture});
    pictures.push_back({"finger", false, fingerPicture});

    // Nine sizes, the largest 300 pixels high; the scenes bounce them off the window
    // edges by their texture size.
    const unsigned bubbleSizes[] = {300, 270, 240, 210, 190, 170, 150, 130, 110};
    for (int i = 0; i < 9; ++i)
    {
        const std::string key = "bubble" + std::to_string(i + 1);
        const unsigned size = bubbleSizes[i];
        const bool smiling = i % 2 == 0 && i < 8;
        pictures.push_back({key, false, [key, size, smiling](const sf::Font& font) {
                                return bubblePicture(font, key, size, smiling);
                            }});
    }
    pictures.push_back({"stars", false, starSheet});
    pictures.push_back({"flowers", false, flowerSheet});
    return pictures;
}
