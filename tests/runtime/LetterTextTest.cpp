#include "runtime/LetterText.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

using testsupport::captureStderr;
using testsupport::sourcePath;

TEST(LetterTextLoad, SetsUpTheTextAndLeavesSpeedAndActivity)
{
    LetterText text;
    text.speed = -5.f;
    text.active = true;
    text.phase = 3.f;
    text.shadow = false;
    const std::string err = captureStderr(
        [&]
        {
            text.load(sourcePath("assets/sticky_sugary.ttf"), 120, sf::Color(1, 2, 3), sf::Color(4, 5, 6),
                      30.f, 40.f, 7.f);
        });
    EXPECT_EQ(err, "");
    EXPECT_EQ(text.x, 30.f);
    EXPECT_EQ(text.y, 40.f);
    EXPECT_EQ(text.text.getCharacterSize(), 120u);
    EXPECT_EQ(text.text.getFont(), &text.font);
    EXPECT_EQ(text.text.getOutlineThickness(), 7.f);
    EXPECT_EQ(text.fillColor, sf::Color(1, 2, 3));
    EXPECT_EQ(text.outlineColor, sf::Color(4, 5, 6));
    EXPECT_EQ(text.phase, 0.f);
    EXPECT_TRUE(text.shadow);
    EXPECT_EQ(text.amplitude, 190.f);
    EXPECT_EQ(text.speed, -5.f);
    EXPECT_TRUE(text.active);
}

TEST(LetterTextLoad, MissingFontIsReportedAndLoadingGoesOn)
{
    LetterText text;
    const std::string err = captureStderr(
        [&] { text.load("no/such/font.ttf", 100, sf::Color::Red, sf::Color::Black, 1.f, 2.f, 3.f); });
    EXPECT_EQ(err, "Unable to load fontfile no/such/font.ttf\n");
    EXPECT_EQ(text.y, 2.f);
    EXPECT_EQ(text.amplitude, 190.f);
}

TEST(LetterTextLoad, UpdateMovesOnlyActiveTexts)
{
    LetterText text;
    text.x = 1920.f;
    text.speed = -640.f;
    text.update(0.5f);
    EXPECT_EQ(text.x, 1920.f);
    EXPECT_EQ(text.phase, 0.f);
    text.active = true;
    text.update(0.5f);
    EXPECT_EQ(text.x, 1600.f);
    EXPECT_EQ(text.phase, 0.5f);
}
