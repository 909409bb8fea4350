// The shipped pictures as the scenes cut them out: each keeps its outline and soft shadow inside
// its rectangle, with no wide empty margin. Reads committed files only, so it needs no OpenGL.

#include <SFML/Graphics/Image.hpp>
#include <algorithm>
#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace
{
// Drawn over the whole window or repeated by a shader, so a clear ring would show as a seam or a
// frame: the fade's and shader passes' quad, the opening card's backdrop and the shaders' tiles.
const std::string edgeExceptions[] = {"black", "gr1", "bg-grad", "rainbow_texture", "dots", "morv"};

/// The fully transparent rows and columns between each side of area (left, top, right, bottom)
/// and its visible content; all -1 when nothing in it is visible.
std::array<int, 4> clearMargins(const sf::Image& image, const sf::IntRect& area)
{
    std::array<int, 4> margins = {area.width, area.height, area.width, area.height};
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            if (image.getPixel(unsigned(area.left + x), unsigned(area.top + y)).a != 0)
                margins = {std::min(margins[0], x), std::min(margins[1], y),
                           std::min(margins[2], area.width - 1 - x),
                           std::min(margins[3], area.height - 1 - y)};
    return margins[0] == area.width ? std::array<int, 4>{-1, -1, -1, -1} : margins;
}
} // namespace

// Every picture is checked whole, and every sprite's cell of a sheet on its own; the exceptions
// are the only way out, so each must be a tile or a full-window backdrop with an opaque border.
TEST(ShippedCutOuts, KeepTheirOutlineAndShadowInsideAndHaveNoWideMargin)
{
    // The margins of one visible pixel on a clear picture, seen through rectangles.
    sf::Image dot;
    dot.create(9, 7, sf::Color::Transparent);
    dot.setPixel(5, 2, sf::Color(255, 0, 0, 1));
    ASSERT_EQ(clearMargins(dot, {2, 1, 5, 4}), (std::array<int, 4>{3, 1, 1, 2}));
    ASSERT_EQ(clearMargins(dot, {0, 3, 9, 4}), (std::array<int, 4>{-1, -1, -1, -1}));
    const nlohmann::json textures =
        nlohmann::json::parse(std::ifstream(FLUMBADOO_SOURCE_DIR "/assets/textures.json"))["textures"];
    std::vector<std::pair<std::string, sf::IntRect>> cuts; // width 0: the whole picture
    for (const auto& [key, entry] : textures.items())
        cuts.push_back({key, {}});
    // Named, not a temporary: items() only refers to the document it walks.
    const nlohmann::json sprites =
        nlohmann::json::parse(std::ifstream(FLUMBADOO_SOURCE_DIR "/assets/sprites.json"))["sprites"];
    for (const auto& [key, entry] : sprites.items())
        if (entry.contains("rectW"))
            cuts.push_back({entry["texture"],
                            {entry.value("rectX", 0), entry.value("rectY", 0), entry["rectW"].get<int>(),
                             entry.value("rectH", 0)}});
    for (const auto& [key, rect] : cuts)
    {
        SCOPED_TRACE(key + " at " + std::to_string(rect.left) + ", " + std::to_string(rect.top));
        sf::Image image;
        image.loadFromFile(FLUMBADOO_SOURCE_DIR "/assets/images/" + key + ".png");
        const sf::Vector2u size = image.getSize();
        ASSERT_GT(size.x, 2u) << "does not load";
        if (std::count(std::begin(edgeExceptions), std::end(edgeExceptions), key))
        {
            EXPECT_TRUE(textures[key].value("repeated", false) || size == sf::Vector2u(1920, 1080));
            EXPECT_EQ(image.getPixel(0, 0).a + image.getPixel(size.x - 1, size.y - 1).a, 2 * 255);
            continue;
        }
        const sf::IntRect area = rect.width > 0 ? rect : sf::IntRect(0, 0, int(size.x), int(size.y));
        ASSERT_TRUE(area.left + area.width <= int(size.x) && area.top + area.height <= int(size.y));
        const std::array<int, 4> margins = clearMargins(image, area);
        // Nothing cut off by an edge. Full-window pictures lay their content out over the frame;
        // the others are sized to it, not to more empty canvas than picture.
        EXPECT_TRUE(*std::min_element(margins.begin(), margins.end()) > 0 &&
                    *std::max_element(margins.begin(), margins.end()) <=
                        (size == sf::Vector2u(1920, 1080) ? area.width : 40))
            << "clear rows and columns left, top, right, bottom (-1: nothing visible) "
            << testing::PrintToString(margins);
    }
    for (const std::string& key : edgeExceptions)
        EXPECT_TRUE(textures.contains(key)) << "a stale exception: " << key;
}

// The scene shows a greeting page while the next one comes together, so the pages take turns on
// the two halves of the screen: no two in a row may cover a point in common.
TEST(ShippedGreetings, PagesInARowCoverNoPointInCommon)
{
    std::vector<sf::Image> pages(6);
    for (std::size_t i = 0; i < pages.size(); ++i)
        ASSERT_TRUE(pages[i].loadFromFile(FLUMBADOO_SOURCE_DIR "/assets/images/greets" +
                                          std::to_string(i + 1) + ".png"));
    for (std::size_t i = 0; i + 1 < pages.size(); ++i)
    {
        int shared = 0, covered = 0;
        for (unsigned y = 0; y < 1080; y += 4)
            for (unsigned x = 0; x < 1920; x += 4)
            {
                covered += pages[i].getPixel(x, y).a > 0;
                shared += pages[i].getPixel(x, y).a > 0 && pages[i + 1].getPixel(x, y).a > 0;
            }
        EXPECT_TRUE(shared == 0 && covered > 10000)
            << "greets" << i + 1 << ": " << shared << " of " << covered;
    }
}
