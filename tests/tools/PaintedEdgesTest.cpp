// The shipped pictures as the scenes cut them out: every cut-out keeps its outline and its
// soft shadow inside its own rectangle, and none carries a wide empty margin. Reads the
// committed PNG files and manifests only, so it needs no OpenGL.

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <algorithm>
#include <cctype>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace
{
/// Pictures whose edges are meant to reach the border: each is drawn over the whole window
/// or repeated by a shader, so a clear ring would show as a seam or a frame.
struct EdgeException
{
    const char* key;
    const char* reason;
};

const EdgeException edgeExceptions[] = {
    {"black", "the opaque full-window quad of the fade overlay and of every shader pass"},
    {"gr1", "the opening card, an opaque backdrop filling the window"},
    {"bg-grad", "tile repeated by the gradient peephole shader"},
    {"rainbow_texture", "tile repeated by the rainbow peephole shader"},
    {"dots", "tile repeated by the dots peephole shader"},
    {"morv", "sky tile that the field shader wraps round"},
};

bool isException(const std::string& key)
{
    return std::any_of(std::begin(edgeExceptions), std::end(edgeExceptions),
                       [&](const EdgeException& e) { return key == e.key; });
}

nlohmann::json readManifest(const std::string& name)
{
    std::ifstream file(std::string(FLUMBADOO_SOURCE_DIR) + "/assets/" + name);
    return nlohmann::json::parse(file, nullptr, false);
}

/// The first pixel of the outermost ring of area that is not fully transparent.
std::optional<sf::Vector2u> firstVisibleOnRing(const sf::Image& image, const sf::IntRect& area)
{
    const auto visible = [&](int x, int y)
    { return image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)).a != 0; };
    const int right = area.left + area.width - 1;
    const int bottom = area.top + area.height - 1;
    for (int x = area.left; x <= right; ++x)
        for (int y : {area.top, bottom})
            if (visible(x, y))
                return sf::Vector2u(static_cast<unsigned>(x), static_cast<unsigned>(y));
    for (int y = area.top; y <= bottom; ++y)
        for (int x : {area.left, right})
            if (visible(x, y))
                return sf::Vector2u(static_cast<unsigned>(x), static_cast<unsigned>(y));
    return std::nullopt;
}

/// The widest run of fully transparent rows or columns between area's edge and its content,
/// over the four sides; the whole width when nothing is visible.
int widestEmptyMargin(const sf::Image& image, const sf::IntRect& area)
{
    int left = area.width, top = area.height, right = -1, bottom = -1;
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            if (image.getPixel(static_cast<unsigned>(area.left + x), static_cast<unsigned>(area.top + y)).a !=
                0)
            {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0)
        return std::max(area.width, area.height);
    return std::max({left, top, area.width - 1 - right, area.height - 1 - bottom});
}

/// One rectangle that a scene shows on its own: a whole picture, or a sprite's cell of a sheet.
struct CutOut
{
    std::string name;
    std::string texture;
    sf::IntRect rect; ///< width 0: the whole picture
};

void PrintTo(const CutOut& cut, std::ostream* out)
{
    *out << cut.name;
}

std::vector<CutOut> shippedCutOuts()
{
    std::vector<CutOut> cuts;
    const nlohmann::json textures = readManifest("textures.json");
    const nlohmann::json sprites = readManifest("sprites.json");
    if (textures.is_discarded() || sprites.is_discarded())
        return cuts;
    for (const auto& [key, entry] : textures["textures"].items())
        if (!isException(key))
            cuts.push_back({key, key, {}});
    for (const auto& [key, entry] : sprites["sprites"].items())
        if (entry.contains("rectW") && !isException(entry.value("texture", "")))
            cuts.push_back({key,
                            entry["texture"],
                            {entry.value("rectX", 0), entry.value("rectY", 0), entry["rectW"].get<int>(),
                             entry.value("rectH", 0)}});
    return cuts;
}

sf::Image loadPicture(const std::string& key)
{
    sf::Image image;
    image.loadFromFile(std::string(FLUMBADOO_SOURCE_DIR) + "/assets/images/" + key + ".png");
    return image;
}

class ShippedCutOut : public testing::TestWithParam<CutOut>
{
};

TEST_P(ShippedCutOut, KeepsItsOutlineAndShadowInsideAndHasNoWideMargin)
{
    const CutOut& cut = GetParam();
    const sf::Image image = loadPicture(cut.texture);
    const sf::Vector2u size = image.getSize();
    ASSERT_GT(size.x, 2u) << "assets/images/" << cut.texture << ".png does not load";
    const sf::IntRect area =
        cut.rect.width > 0 ? cut.rect : sf::IntRect(0, 0, static_cast<int>(size.x), static_cast<int>(size.y));
    ASSERT_LE(area.left + area.width, static_cast<int>(size.x));
    ASSERT_LE(area.top + area.height, static_cast<int>(size.y));

    const std::optional<sf::Vector2u> cutAt = firstVisibleOnRing(image, area);
    if (cutAt)
        ADD_FAILURE() << "cut off by the edge at (" << cutAt->x << ", " << cutAt->y << ")";
    // Full-window pictures lay their content out over the frame; the others are sized to it.
    if (size != sf::Vector2u(1920, 1080))
    {
        EXPECT_LE(widestEmptyMargin(image, area), 40) << "more empty canvas than picture";
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedCutOut, testing::ValuesIn(shippedCutOuts()),
                         [](const testing::TestParamInfo<CutOut>& info)
                         {
                             std::string name = info.param.name;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

TEST(ShippedCutOuts, ExceptionsAreTilesOrBackdropsThatPaintTheirBorder)
{
    const nlohmann::json textures = readManifest("textures.json");
    ASSERT_FALSE(textures.is_discarded());
    // Every other picture is checked whole, so the table above is the only way out.
    const std::vector<CutOut> cuts = shippedCutOuts();
    const auto whole =
        std::count_if(cuts.begin(), cuts.end(), [](const CutOut& c) { return c.rect.width == 0; });
    EXPECT_EQ(static_cast<std::size_t>(whole) + std::size(edgeExceptions), textures["textures"].size());
    for (const EdgeException& exception : edgeExceptions)
    {
        SCOPED_TRACE(exception.key);
        ASSERT_TRUE(textures["textures"].contains(exception.key)) << "a stale exception";
        // An exception must really be a tile or a backdrop that paints its whole border.
        const sf::Image image = loadPicture(exception.key);
        const bool tile = textures["textures"][exception.key].value("repeated", false);
        const bool backdrop = image.getSize() == sf::Vector2u(1920, 1080);
        EXPECT_TRUE(tile || backdrop) << exception.reason;
        for (sf::Vector2u corner :
             {sf::Vector2u(0, 0), sf::Vector2u(image.getSize().x - 1, image.getSize().y - 1)})
            EXPECT_EQ(image.getPixel(corner.x, corner.y).a, 255) << exception.reason;
    }
}

struct RingCase
{
    const char* name;
    sf::Vector2u pixel; ///< the one visible pixel on a clear 9 x 7 picture
    sf::IntRect area;   ///< the rectangle checked
    bool onRing;        ///< whether the pixel lies on area's outermost ring
    int widestMargin;   ///< clear rows or columns on area's emptiest side
};

void PrintTo(const RingCase& c, std::ostream* out)
{
    *out << c.name;
}

class RingCheck : public testing::TestWithParam<RingCase>
{
};

TEST_P(RingCheck, FindsAVisiblePixelOnEverySideAndNoneInside)
{
    const RingCase& c = GetParam();
    sf::Image image;
    image.create(9, 7, sf::Color::Transparent);
    image.setPixel(c.pixel.x, c.pixel.y, sf::Color(255, 0, 0, 1));
    const std::optional<sf::Vector2u> found = firstVisibleOnRing(image, c.area);
    EXPECT_EQ(found.has_value(), c.onRing);
    if (found)
    {
        EXPECT_EQ(*found, c.pixel);
    }
    EXPECT_EQ(widestEmptyMargin(image, c.area), c.widestMargin);
}

INSTANTIATE_TEST_SUITE_P(Pixels, RingCheck,
                         testing::Values(RingCase{"topLeftCorner", {0, 0}, {0, 0, 9, 7}, true, 8},
                                         RingCase{"rightEdge", {8, 3}, {0, 0, 9, 7}, true, 8},
                                         RingCase{"bottomEdge", {4, 6}, {0, 0, 9, 7}, true, 6},
                                         RingCase{"leftEdge", {0, 5}, {0, 0, 9, 7}, true, 8},
                                         RingCase{"justInside", {1, 1}, {0, 0, 9, 7}, false, 7},
                                         RingCase{"middle", {4, 3}, {0, 0, 9, 7}, false, 4},
                                         RingCase{"edgeOfACell", {5, 2}, {3, 2, 3, 3}, true, 2},
                                         RingCase{"outsideTheCell", {8, 2}, {3, 2, 3, 3}, false, 3}),
                         [](const testing::TestParamInfo<RingCase>& info)
                         { return std::string(info.param.name); });
} // namespace
