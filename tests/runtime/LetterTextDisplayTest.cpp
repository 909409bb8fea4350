#include "TestSupport.hpp"
#include "runtime/LetterText.hpp"
#include "runtime/Resources.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

using testsupport::captureStderr;
using testsupport::sourcePath;

namespace
{
const auto visible = [](sf::Color c) { return c.a != 0; };

class LetterTextDrawing : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(layer.create(1920, 1080));
        layer.clear(sf::Color(0, 0, 0, 0));
        text.speed = -640.f;
        text.active = true;
        text.phase = 3.f;
        text.shadow = false;
        text.load(sourcePath("assets/sticky_sugary.ttf"), 100, sf::Color(255, 0, 255), sf::Color(1, 2, 3),
                  100.f, 300.f, 10.f);
        text.amplitude = 200.5f;
    }

    /// Where each pass puts its characters.
    std::vector<sf::Vector2f> positions(bool shadowPass)
    {
        std::vector<sf::Vector2f> result;
        text.layOutPass(shadowPass, [&](const sf::Text& letter) { result.push_back(letter.getPosition()); });
        return result;
    }

    /// Counts the pixels of the text's layer in rows [top, bottom) that match the predicate.
    template <typename Predicate> int countPixels(unsigned top, unsigned bottom, Predicate matches)
    {
        layer.display();
        const sf::Image image = layer.getTexture().copyToImage();
        int count = 0;
        for (unsigned row = top; row < bottom; ++row)
            for (unsigned column = 0; column < image.getSize().x; ++column)
                count += matches(image.getPixel(column, row)) ? 1 : 0;
        return count;
    }

    sf::RenderTexture layer;
    LetterText text{&layer};
};
} // namespace

/// What load sets and what it leaves: position, size, outline, colours, phase, shadow, speed, activity.
auto loaded(const LetterText& t)
{
    return std::tuple(t.x, t.y, t.text.getCharacterSize(), t.text.getFont() == &t.font,
                      t.text.getOutlineThickness(), t.fillColor, t.outlineColor, t.phase, t.shadow, t.speed,
                      t.active);
}

TEST_F(LetterTextDrawing, LoadSetsUpTheTextAndLeavesSpeedAndActivity)
{
    EXPECT_EQ(loaded(text), std::tuple(100.f, 300.f, 100u, true, 10.f, sf::Color(255, 0, 255),
                                       sf::Color(1, 2, 3), 0.f, true, -640.f, true));
    LetterText missing;
    const std::string err = captureStderr(
        [&] { missing.load("no/such/font.ttf", 100, sf::Color::Red, sf::Color::Black, 1.f, 2.f, 3.f); });
    EXPECT_EQ(err, "Unable to load fontfile no/such/font.ttf\n");
    EXPECT_EQ(std::pair(missing.y, missing.amplitude), std::pair(2.f, 190.f)) << "loading goes on";
}

TEST_F(LetterTextDrawing, LettersRideASineAndShadowsACosine)
{
    text.setContent("HELLO WORLD");
    const std::vector<sf::Vector2f> letters = positions(false), shadows = positions(true);
    ASSERT_EQ(letters.size() + shadows.size(), 22u);
    EXPECT_EQ(std::pair(letters[0], shadows[0]),
              std::pair(sf::Vector2f(100.f, 300.f), sf::Vector2f(100.f, 500.5f)));

    // Each character advances the next by its own bounds, the space included.
    sf::Text probe("", text.font, 100);
    probe.setOutlineThickness(10.f);
    float expectedX = 100.f;
    for (char c : std::string("HELLO WORL"))
    {
        probe.setString(std::string(1, c));
        expectedX += probe.getLocalBounds().width;
    }
    EXPECT_EQ(std::pair(letters[10].x, shadows[10].x), std::pair(expectedX, expectedX));
    // Compared exactly: the wave angle steps by 0.2 added in double and stored as float, the
    // angle plus phase is summed in float, and the wave is rounded to float before scaling.
    // At this phase, scaling in double instead moves both eleventh positions by one ulp.
    text.phase = 0.03f;
    float angle = 0.f;
    for (int step = 0; step < 10; ++step)
        angle = static_cast<float>(static_cast<double>(angle) + 0.2);
    const double eleventh = static_cast<double>(angle + text.phase);
    EXPECT_EQ(positions(false)[10].y, static_cast<float>(std::sin(eleventh)) * 200.5f + 300.f);
    EXPECT_EQ(positions(true)[10].y, static_cast<float>(std::cos(eleventh)) * 200.5f + 300.f);
    EXPECT_NEAR(positions(false)[10].y, 300.0 + std::sin(2.03) * 200.5, 1e-3);
}

TEST_F(LetterTextDrawing, OnlyActiveTextsMoveAndDrawTheirShadowWhenSwitchedOn)
{
    // With phase 0 the letter sits at y = 300 and its shadow 200.5 pixels lower,
    // so the rows from 520 down hold only the shadow: black, fill and outline alike, and translucent.
    text.setContent("I");
    const auto shadowPixel = [](sf::Color c) { return c.a > 0 && c.a < 255 && c.r + c.g + c.b == 0; };
    const auto tinted = [](sf::Color c) { return c.a > 0 && c.r + c.g + c.b > 0; };
    const auto letterPixel = [](sf::Color c) { return c.r > 200 && c.b > 200; };
    text.draw();
    EXPECT_GT(countPixels(520, 800, shadowPixel), 100);
    EXPECT_EQ(countPixels(520, 800, tinted), 0);
    EXPECT_GT(countPixels(280, 500, letterPixel), 100);
    layer.clear(sf::Color(0, 0, 0, 0));
    text.shadow = false;
    text.draw();
    EXPECT_EQ(countPixels(520, 800, visible), 0);
    EXPECT_GT(countPixels(280, 500, letterPixel), 100);

    layer.clear(sf::Color(0, 0, 0, 0));
    text.active = false;
    text.update(0.5f);
    text.draw();
    EXPECT_EQ(std::pair(text.x, text.phase), std::pair(100.f, 0.f));
    EXPECT_EQ(countPixels(0, 1080, visible), 0);
    text.active = true;
    text.update(0.5f);
    EXPECT_EQ(std::pair(text.x, text.phase), std::pair(-220.f, 0.5f));
    text.setContent("");
    text.draw();
    EXPECT_EQ(countPixels(0, 1080, visible), 0) << "an empty text draws nothing";
}

// The alphabet goes into each text's glyph cache first: at start-up, or later through loadNext
// or the text's first layout, whichever comes first. An empty cache is one page of 128 x 128;
// where a drawn letter lands in the cache tells what went in before it.
TEST_F(LetterTextDrawing, TheAlphabetIsCachedFirstAtStartUpOrLater)
{
    sf::IntRect place[2]; // of a letter of the message, not of the alphabet
    for (const bool later : {false, true})
    {
        SCOPED_TRACE(later);
        Resources resources;
        resources.createLayers();
        resources.setUpLetterTexts(later);
        const std::array texts{&resources.transformText, &resources.shaderText, &resources.startedEndedText};
        const auto cached = [&]
        {
            return std::count_if(
                texts.begin(), texts.end(),
                [](LetterText* text)
                { return text->font.getTexture(text->text.getCharacterSize()).getSize().x > 128; });
        };
        EXPECT_EQ(cached(), later ? 0 : 3);
        resources.shaderText.layOutPass(false, [](const sf::Text&) {});
        if (later)
        {
            EXPECT_EQ(cached(), 1);
            EXPECT_TRUE(resources.loadNext());
            EXPECT_TRUE(resources.loadNext());
            EXPECT_FALSE(resources.loadNext());
        }
        EXPECT_EQ(cached(), 3);
        place[later] = resources.shaderText.font.getGlyph('a', 140, false, 10.f).textureRect;
    }
    EXPECT_EQ(place[0], place[1]);
}

TEST_F(LetterTextDrawing, StartUpSetsUpTheThreeTexts)
{
    Resources resources;
    resources.createLayers();
    ASSERT_EQ(captureStderr([&] { resources.setUpLetterTexts(); }), "");
    for (const auto& [text, size, amplitude, speed, length] :
         {std::tuple{&resources.transformText, 100u, 200.5f, -640.f, 176u},
          {&resources.shaderText, 140u, 300.5f, -680.f, 232u},
          {&resources.startedEndedText, 100u, 200.5f, -640.f, 34u}})
    {
        EXPECT_EQ(text->layer, &resources.layer1);
        EXPECT_EQ(loaded(*text), std::tuple(1920.f, 500.f, size, true, 10.f, sf::Color(255, 0, 255),
                                            sf::Color::Black, 0.f, true, speed, false));
        EXPECT_EQ(std::pair(text->amplitude, text->content.size()),
                  std::pair(amplitude, std::size_t{length}));
    }
    EXPECT_EQ(resources.transformText.content.substr(0, 44), "translate();     scale();     rotate();     ");
    EXPECT_EQ(resources.startedEndedText.content, "how it started   vs   how it ended");
    const std::string& shaderContent = resources.shaderText.content;
    EXPECT_EQ(shaderContent.substr(shaderContent.size() - 18), "shaders & knuckles");
}
