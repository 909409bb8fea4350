#include "TestSupport.hpp"
#include "runtime/LetterText.hpp"
#include "runtime/SharedResources.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using testsupport::captureStderr;
using testsupport::sourcePath;

namespace
{
class LetterTextDrawing : public testing::Test
{
protected:
    void SetUp() override
    {
        if (layer1.getSize().x == 0)
        {
            ASSERT_TRUE(layer1.create(1920, 1080));
        }
        layer1.clear(sf::Color(0, 0, 0, 0));
        ASSERT_EQ(captureStderr(
                      [&]
                      {
                          text.load(sourcePath("assets/sticky_sugary.ttf"), 100, sf::Color(255, 0, 255),
                                    sf::Color(0, 0, 0), 100.f, 300.f, 10.f);
                      }),
                  "");
        text.amplitude = 200.5f;
    }

    /// Where each pass puts its characters.
    std::vector<sf::Vector2f> positions(bool shadowPass)
    {
        std::vector<sf::Vector2f> result;
        text.layOutPass(shadowPass, [&](const sf::Text& letter) { result.push_back(letter.getPosition()); });
        return result;
    }

    /// Counts the pixels of layer1 in rows [top, bottom) that match the predicate.
    template <typename Predicate> int countPixels(unsigned top, unsigned bottom, Predicate matches)
    {
        layer1.display();
        const sf::Image image = layer1.getTexture().copyToImage();
        int count = 0;
        for (unsigned row = top; row < bottom; ++row)
            for (unsigned column = 0; column < image.getSize().x; ++column)
                count += matches(image.getPixel(column, row)) ? 1 : 0;
        return count;
    }

    int visiblePixels()
    {
        return countPixels(0, 1080, [](sf::Color c) { return c.a != 0; });
    }

    LetterText text;
};
} // namespace

TEST_F(LetterTextDrawing, LettersRideASineAndShadowsACosine)
{
    text.setContent("HELLO WORLD");
    const std::vector<sf::Vector2f> letters = positions(false);
    const std::vector<sf::Vector2f> shadows = positions(true);
    ASSERT_EQ(letters.size(), 11u);
    ASSERT_EQ(shadows.size(), 11u);

    EXPECT_EQ(letters[0], sf::Vector2f(100.f, 300.f));
    EXPECT_EQ(shadows[0], sf::Vector2f(100.f, 300.f + 200.5f));

    // Each character advances the next by its own bounds, the space included.
    sf::Text probe("", text.font, 100);
    probe.setOutlineThickness(10.f);
    float expectedX = 100.f;
    for (char c : std::string("HELLO WORL"))
    {
        probe.setString(std::string(1, c));
        expectedX += probe.getLocalBounds().width;
    }
    EXPECT_FLOAT_EQ(letters[10].x, expectedX);
    EXPECT_FLOAT_EQ(shadows[10].x, expectedX);
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

TEST_F(LetterTextDrawing, InactiveOrEmptyTextDrawsNothing)
{
    text.setContent("HELLO");
    text.speed = -640.f;
    text.update(1.f);
    text.draw();
    EXPECT_EQ(text.x, 100.f);
    EXPECT_EQ(visiblePixels(), 0);
    // Active, but with nothing to show, it draws nothing either.
    text.setContent("");
    text.active = true;
    text.draw();
    EXPECT_EQ(visiblePixels(), 0);
}

TEST_F(LetterTextDrawing, ShadowPassIsDrawnOnlyWhenSwitchedOn)
{
    // With phase 0 the letter sits at y = 300 and its shadow 200.5 pixels lower,
    // so the rows from 520 down hold only the shadow (dark and translucent).
    text.setContent("I");
    text.active = true;
    const auto shadowPixel = [](sf::Color c) { return c.a > 0 && c.r == 0 && c.b == 0; };
    const auto letterPixel = [](sf::Color c) { return c.r > 200 && c.b > 200; };
    text.draw();
    EXPECT_GT(countPixels(520, 800, shadowPixel), 100);
    EXPECT_GT(countPixels(280, 500, letterPixel), 100);

    layer1.clear(sf::Color(0, 0, 0, 0));
    text.shadow = false;
    text.draw();
    EXPECT_EQ(countPixels(520, 800, [](sf::Color c) { return c.a != 0; }), 0);
    EXPECT_GT(countPixels(280, 500, letterPixel), 100);
}

TEST_F(LetterTextDrawing, StartUpSetsUpTheThreeTexts)
{
    ASSERT_EQ(captureStderr([] { setUpLetterTexts(); }), "");
    struct Expected
    {
        const LetterText* text;
        unsigned size;
        float amplitude;
        float speed;
        std::size_t length;
    };
    for (const Expected& e :
         {Expected{&transformText, 100, 200.5f, -640.f, 176}, Expected{&shaderText, 140, 300.5f, -680.f, 232},
          Expected{&startedEndedText, 100, 200.5f, -640.f, 34}})
    {
        EXPECT_EQ(e.text->content.size(), e.length);
        EXPECT_EQ(e.text->text.getCharacterSize(), e.size);
        EXPECT_EQ(e.text->amplitude, e.amplitude);
        EXPECT_EQ(e.text->speed, e.speed);
        EXPECT_EQ(e.text->x, 1920.f);
        EXPECT_EQ(e.text->y, 500.f);
        EXPECT_EQ(e.text->fillColor, sf::Color(255, 0, 255, 255));
        EXPECT_EQ(e.text->outlineColor, sf::Color(0, 0, 0, 255));
        EXPECT_EQ(e.text->text.getOutlineThickness(), 10.f);
        EXPECT_TRUE(e.text->shadow);
        EXPECT_FALSE(e.text->active);
    }
    EXPECT_EQ(transformText.content.substr(0, 44), "translate();     scale();     rotate();     ");
    EXPECT_EQ(transformText.content.substr(132), transformText.content.substr(0, 44));
    EXPECT_EQ(startedEndedText.content, "how it started   vs   how it ended");
    EXPECT_EQ(shaderText.content.substr(0, 24), "2024          1 quad    ");
    EXPECT_EQ(shaderText.content.substr(shaderText.content.size() - 18), "shaders & knuckles");
}
