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

/// A sprinkling of small outlined stars, hearts and dots inside area, kept off the
/// rectangles in avoid (the lettering already painted).
void confetti(Canvas& canvas, Dice& dice, sf::FloatRect area, int count, float scale,
              const std::vector<sf::FloatRect>& avoid)
{
    canvas.beginLayer();
    const sf::Color colours[] = {hotPink, magenta, cyan, lemon, purple, cream};
    for (int i = 0; i < count; ++i)
    {
        sf::Vector2f at;
        bool clear = false;
        // A bounded number of tries keeps painting finite when the area is crowded.
        for (int attempt = 0; attempt < 40 && !clear; ++attempt)
        {
            at = sf::Vector2f(dice.range(area.left, area.left + area.width),
                              dice.range(area.top, area.top + area.height));
            const float reach = 40.f * scale;
            const sf::FloatRect spot(at.x - reach, at.y - reach, 2.f * reach, 2.f * reach);
            clear = std::none_of(avoid.begin(), avoid.end(),
                                 [&](const sf::FloatRect& taken) { return taken.intersects(spot); });
        }
        if (!clear)
            continue;
        const sf::Color colour = colours[dice.next() % 6];
        const float size = dice.range(14.f, 34.f) * scale;
        switch (dice.next() % 3)
        {
        case 0:
            canvas.drawOutlined(shapes::star(at, size, size * 0.48f, 5, colour, dice.range(-30.f, 30.f)),
                                4.f);
            break;
        case 1:
            canvas.drawOutlined(shapes::heart(at, size * 1.6f, colour), 4.f);
            break;
        default:
            canvas.drawOutlined(shapes::circle(at, size * 0.5f, colour), 4.f);
            break;
        }
    }
    canvas.endLayer(Shadow{{5.f, 6.f}, 4, 0.4f});
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
    for (int i = 0; i < 5; ++i)
    {
        const float x = width * (static_cast<float>(i) + dice.range(0.1f, 0.5f)) / 5.f;
        const float y = dice.range(height * 0.25f, height * 0.5f);
        canvas.beginLayer();
        wrapped(
            [&](float at)
            {
                const sf::CircleShape a = shapes::circle({at, y}, 46.f, cream);
                const sf::CircleShape b = shapes::circle({at + 52.f, y - 24.f}, 58.f, cream);
                const sf::CircleShape c = shapes::circle({at + 112.f, y}, 42.f, cream);
                const sf::ConvexShape d =
                    shapes::roundedRect({at - 30.f, y - 10.f, 180.f, 52.f}, 26.f, cream);
                canvas.drawOutlinedGroup({&a, &b, &c, &d}, 6.f);
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
    confetti(canvas, dice, {60.f, 60.f, 1800.f, 960.f}, 36, 1.6f, taken);
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
    confetti(canvas, dice, {80.f, 80.f, 1760.f, 920.f}, 14, 1.6f, taken);
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

Painted greetingPicture(const sf::Font& font, const GreetingList& list)
{
    Canvas canvas(1920, 1080);
    std::vector<sf::FloatRect> taken;
    taken.push_back(letters(canvas, font, list.heading, 150.f, {960.f, 250.f}, list.headingColour,
                            Shadow{{12.f, 14.f}, 10, 0.6f}));
    const sf::Color colours[] = {cream, lemon, cyan, hotPink};
    float y = 470.f;
    const float step = list.groups.size() > 3 ? 150.f : 190.f;
    for (std::size_t i = 0; i < list.groups.size(); ++i, y += step)
        taken.push_back(letters(canvas, font, list.groups[i], 120.f,
                                {960.f + ((i % 2 == 0) ? -60.f : 60.f), y}, colours[(i + list.seed) % 4]));
    Dice dice(list.seed);
    confetti(canvas, dice, {160.f, 120.f, 1600.f, 840.f}, 10, 1.8f, taken);
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
    std::vector<sf::CircleShape> puffs;
    const float centres[][3] = {{560.f, 560.f, 190.f},
                                {820.f, 430.f, 250.f},
                                {1120.f, 450.f, 230.f},
                                {1380.f, 580.f, 180.f},
                                {960.f, 650.f, 200.f}};
    for (const auto& c : centres)
        puffs.push_back(shapes::circle({c[0], c[1]}, c[2], withAlpha(cream, 235)));
    std::vector<const sf::Shape*> group;
    for (const auto& p : puffs)
        group.push_back(&p);
    canvas.drawOutlinedGroup(group, 12.f);
    canvas.endLayer(Shadow{{14.f, 18.f}, 12, 0.45f});
    canvas.beginLayer();
    face(canvas, {960.f, 520.f}, 320.f);
    canvas.endLayer(Shadow{{0.f, 0.f}, 0, 0.f});
    letters(canvas, font, "sooo fluffy", 170.f, {960.f, 900.f}, hotPink);
    return Painted{canvas.finish(), {}};
}

Painted travelPicture(const sf::Font& font)
{
    Canvas canvas(1920, 1080);
    std::vector<sf::FloatRect> taken;
    taken.push_back(letters(canvas, font, "are we", 200.f, {760.f, 400.f}, cyan));
    taken.push_back(
        letters(canvas, font, "there yet?", 240.f, {1060.f, 640.f}, lemon, Shadow{{14.f, 18.f}, 10, 0.6f}));
    Dice dice(1003);
    confetti(canvas, dice, {120.f, 100.f, 1680.f, 880.f}, 14, 2.f, taken);
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

Painted logoPicture(const sf::Font& font, const char* key, const char* word, Badge badge, sf::Color back,
                    sf::Color fill, unsigned width, unsigned height)
{
    Canvas canvas(width, height);
    const sf::Vector2f centre(static_cast<float>(width) / 2.f - 5.f, static_cast<float>(height) / 2.f - 6.f);
    const float w = static_cast<float>(width) - 60.f;
    const float h = static_cast<float>(height) - 60.f;
    canvas.beginLayer();
    switch (badge)
    {
    case Badge::Pill:
        canvas.drawOutlined(
            shapes::roundedRect({centre.x - w / 2.f, centre.y - h / 2.f, w, h}, h / 2.f, back), 10.f);
        break;
    case Badge::Burst:
    {
        sf::ConvexShape burst = shapes::star(centre, h / 2.f, h / 2.f - 22.f, 18, back);
        burst.setScale(w / h, 1.f);
        canvas.drawOutlined(burst, 10.f);
        break;
    }
    case Badge::Blob:
        canvas.drawOutlined(shapes::ellipse(centre, {w / 2.f, h / 2.f}, back, -4.f), 10.f);
        break;
    case Badge::Banner:
    {
        const sf::ConvexShape left =
            shapes::star({centre.x - w / 2.f + 40.f, centre.y + 10.f}, 50.f, 30.f, 5, lemon);
        const sf::ConvexShape right =
            shapes::star({centre.x + w / 2.f - 40.f, centre.y + 10.f}, 50.f, 30.f, 5, lemon);
        const sf::ConvexShape band = shapes::roundedRect(
            {centre.x - w / 2.f + 40.f, centre.y - h / 2.f + 10.f, w - 80.f, h - 20.f}, 30.f, back);
        canvas.drawOutlinedGroup({&left, &right}, 8.f);
        canvas.drawOutlined(band, 10.f);
        break;
    }
    case Badge::Heart:
    {
        sf::ConvexShape shape = shapes::heart(centre + sf::Vector2f(0.f, 4.f), h * 1.05f, back);
        shape.setScale(w / h * 0.92f, 1.f);
        canvas.drawOutlined(shape, 10.f);
        break;
    }
    case Badge::Disc:
        canvas.drawOutlined(shapes::circle(centre, h / 2.f, back), 10.f);
        break;
    case Badge::Diamond:
    {
        sf::ConvexShape diamond(4);
        diamond.setPoint(0, {0.f, -h / 2.f});
        diamond.setPoint(1, {w / 2.f, 0.f});
        diamond.setPoint(2, {0.f, h / 2.f});
        diamond.setPoint(3, {-w / 2.f, 0.f});
        diamond.setPosition(centre);
        diamond.setFillColor(back);
        canvas.drawOutlined(diamond, 10.f);
        break;
    }
    }
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    const float size = (badge == Badge::Banner) ? 84.f : (badge == Badge::Disc ? 96.f : 120.f);
    letters(canvas, font, word, size, centre, fill, Shadow{{6.f, 8.f}, 5, 0.6f});
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
    Canvas canvas(420, 380);
    canvas.beginLayer();
    const sf::ConvexShape wingL = shapes::ellipse({70.f, 150.f}, {64.f, 36.f}, cream, -25.f);
    const sf::ConvexShape wingR = shapes::ellipse({342.f, 150.f}, {64.f, 36.f}, cream, 25.f);
    const sf::ConvexShape body = shapes::heart({206.f, 196.f}, 300.f, magenta);
    canvas.drawOutlinedGroup({&wingL, &wingR}, 8.f);
    canvas.drawOutlined(body, 10.f);
    face(canvas, {206.f, 180.f}, 170.f);
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
    // in the top-left corner, clear of the pop-up pictures.
    Canvas canvas(480, 240);
    for (int frame = 0; frame < 2; ++frame)
    {
        const float x = 120.f + 240.f * static_cast<float>(frame);
        const float armLift = (frame == 0) ? -1.f : 1.f;
        canvas.beginLayer();
        const sf::ConvexShape armL =
            shapes::ellipse({x - 78.f, 120.f + 30.f * armLift}, {34.f, 14.f}, lemon, 40.f * armLift);
        const sf::ConvexShape armR =
            shapes::ellipse({x + 78.f, 120.f + 30.f * armLift}, {34.f, 14.f}, lemon, -40.f * armLift);
        const sf::ConvexShape footL = shapes::ellipse({x - 34.f, 196.f}, {26.f, 14.f}, lemon);
        const sf::ConvexShape footR =
            shapes::ellipse({x + 34.f, 196.f - 10.f * (1 - frame)}, {26.f, 14.f}, lemon);
        const sf::ConvexShape body = shapes::ellipse({x, 130.f + 4.f * armLift}, {70.f, 66.f}, lemon);
        canvas.drawOutlinedGroup({&armL, &armR, &footL, &footR, &body}, 7.f);
        face(canvas, {x, 130.f + 4.f * armLift}, 100.f, frame == 1);
        canvas.endLayer(Shadow{{5.f, 6.f}, 4, 0.5f});
    }
    const nlohmann::json placed = {
        {"originX", -40}, {"originY", -40}, {"rectY", 0}, {"rectW", 240}, {"rectH", 240}};
    nlohmann::json first = placed;
    first["rectX"] = 0;
    nlohmann::json second = placed;
    second["rectX"] = 240;
    return Painted{canvas.finish(), {SpriteEntry{"frame1", first}, SpriteEntry{"frame2", second}}};
}

Painted babaPicture(const sf::Font& font)
{
    // Drawn at the left edge from the top of the window; the creature stands in the
    // lower part so that the pointing hand above it stays clear.
    Canvas canvas(520, 1060);
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
    return Painted{canvas.finish(), {plainSprite("baba")}};
}

Painted fingerPicture(const sf::Font& font)
{
    // Also the image of the finger's scatter shader, which draws it over the sprite.
    Canvas canvas(620, 560);
    canvas.beginLayer();
    const sf::ConvexShape cuff = shapes::roundedRect({-40.f, 330.f, 150.f, 190.f}, 30.f, cyan);
    const sf::ConvexShape palm = shapes::roundedRect({90.f, 330.f, 230.f, 190.f}, 70.f, cream);
    const sf::ConvexShape index = shapes::roundedRect({240.f, 340.f, 330.f, 70.f}, 35.f, cream);
    const sf::ConvexShape thumb = shapes::ellipse({210.f, 320.f}, {70.f, 34.f}, cream, -30.f);
    const sf::ConvexShape curlA = shapes::roundedRect({260.f, 410.f, 110.f, 50.f}, 25.f, cream);
    const sf::ConvexShape curlB = shapes::roundedRect({255.f, 462.f, 100.f, 48.f}, 24.f, cream);
    canvas.drawOutlinedGroup({&cuff, &palm, &thumb, &curlA, &curlB, &index}, 10.f);
    canvas.draw(shapes::roundedRect({-40.f, 350.f, 150.f, 24.f}, 12.f, hotPink));
    canvas.endLayer(Shadow{{8.f, 10.f}, 6, 0.5f});
    letters(canvas, font, "look!", 110.f, {380.f, 200.f}, lemon);
    return Painted{canvas.finish(), {plainSprite("finger")}};
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
    Canvas canvas(240, 80);
    canvas.beginLayer();
    canvas.drawOutlined(shapes::star({40.f, 42.f}, 32.f, 14.f, 5, lemon), 4.f);
    canvas.drawOutlined(shapes::star({120.f, 40.f}, 34.f, 8.f, 4, cyan), 4.f);
    canvas.draw(shapes::circle({120.f, 40.f}, 6.f, cream));
    canvas.drawOutlined(shapes::star({200.f, 42.f}, 24.f, 11.f, 5, hotPink, 15.f), 4.f);
    canvas.endLayer(Shadow{{3.f, 4.f}, 2, 0.4f});
    std::vector<SpriteEntry> sprites;
    for (int i = 0; i < 3; ++i)
        sprites.push_back(SpriteEntry{"star" + std::to_string(i + 1),
                                      {{"rectX", 80 * i},
                                       {"rectY", 0},
                                       {"rectW", 80},
                                       {"rectH", 80},
                                       {"originX", 40},
                                       {"originY", 40}}});
    return Painted{canvas.finish(), sprites};
}

Painted flowerSheet(const sf::Font&)
{
    Canvas canvas(288, 96);
    const sf::Color petals[] = {hotPink, cyan, lemon};
    const sf::Color hearts[] = {lemon, hotPink, magenta};
    for (int i = 0; i < 3; ++i)
    {
        const sf::Vector2f centre(48.f + 96.f * static_cast<float>(i), 48.f);
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
                                      {{"rectX", 96 * i},
                                       {"rectY", 0},
                                       {"rectW", 96},
                                       {"rectH", 96},
                                       {"originX", 48},
                                       {"originY", 48}}});
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
    for (const GreetingList& list : greetings)
        pictures.push_back(
            {list.name, false, [list](const sf::Font& font) { return greetingPicture(font, list); }});

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
