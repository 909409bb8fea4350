#include "runtime/MainLoop.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>
#include <utility>

namespace
{
/// A render target without a window: scene routines under test draw nothing into it.
class NullTarget : public sf::RenderTarget
{
public:
    sf::Vector2u getSize() const override { return {1920, 1080}; }
};

class MainLoop : public testing::Test
{
protected:
    void SetUp() override
    {
        currentScene = 0;
        running = true;
        markerTime = 0.f;
        markerActive = false;
        fadeAlpha = 0.f;
        fadeSpeed = 0.f;
        fadeMode = 0;
        handleKeys(KeyState{}, out); // lets go of Space left held by an earlier test
    }

    std::ostringstream out;
};

int callsOfSceneSeven = 0;
SceneId sceneSeven(sf::RenderTarget&, float)
{
    ++callsOfSceneSeven;
    return 8;
}

TEST_F(MainLoop, FadeToBlackEndsAtExactlyOne)
{
    fadeMode = 1;
    fadeSpeed = 1.f;
    for (int frame = 0; frame < 59; ++frame)
        advanceFade(1.f / 60.f);
    EXPECT_LT(fadeAlpha, 1.f);
    EXPECT_EQ(fadeMode, 1);
    advanceFade(1.f / 60.f);
    advanceFade(1.f / 60.f); // float steps may leave the 60th just short of 1
    EXPECT_EQ(fadeAlpha, 1.f);
    EXPECT_EQ(fadeMode, 0);
    advanceFade(1.f);
    EXPECT_EQ(fadeAlpha, 1.f) << "a finished fade stays where it ended";
}

TEST_F(MainLoop, FadeFromBlackEndsAtExactlyZero)
{
    fadeAlpha = 1.f;
    fadeMode = 2;
    fadeSpeed = 3.f;
    advanceFade(0.25f);
    EXPECT_FLOAT_EQ(fadeAlpha, 0.25f);
    advanceFade(0.25f);
    EXPECT_EQ(fadeAlpha, 0.f);
    EXPECT_EQ(fadeMode, 0);
}

TEST_F(MainLoop, NoFadeModeLeavesAlphaAlone)
{
    for (int mode : {0, 3, -1})
    {
        fadeAlpha = 0.4f;
        fadeSpeed = 10.f;
        fadeMode = mode;
        advanceFade(1.f);
        EXPECT_EQ(fadeAlpha, 0.4f) << "mode " << mode;
        EXPECT_EQ(fadeMode, mode);
    }
}

TEST_F(MainLoop, OverlayAlphaIsTruncated)
{
    fadeAlpha = 0.5f;
    EXPECT_EQ(fadeOverlayAlpha(), 127);
    fadeAlpha = 1.f;
    EXPECT_EQ(fadeOverlayAlpha(), 255);
    fadeAlpha = 0.003f;
    EXPECT_EQ(fadeOverlayAlpha(), 0);
}

TEST_F(MainLoop, OverlayAlphaOutsideZeroToOneIsClampedNotWrapped)
{
    for (const auto& [alpha, expected] : {std::pair{1.5f, 255}, {-0.1f, 0}, {1e9f, 255}, {std::nanf(""), 0}})
    {
        fadeAlpha = alpha;
        EXPECT_EQ(fadeOverlayAlpha(), expected) << "fadeAlpha " << alpha;
    }
}

TEST_F(MainLoop, SpaceWritesMarkerLinesOncePerPress)
{
    handleKeys({false, true}, out);
    EXPECT_TRUE(markerActive);
    handleKeys({false, true}, out); // still held: no second line
    markerTime = 2.5f;
    handleKeys({false, false}, out);
    handleKeys({false, true}, out);
    markerTime = 4.25f;
    handleKeys({false, false}, out);
    handleKeys({false, true}, out);
    EXPECT_EQ(out.str(), "@0\n@2.5\n@4.25\n");
    EXPECT_TRUE(running);
}

TEST_F(MainLoop, EscapeStopsTheLoop)
{
    handleKeys({true, false}, out);
    EXPECT_FALSE(running);
    EXPECT_EQ(out.str(), "");
}

TEST_F(MainLoop, KeyPressEventsAddTheirKeyOnly)
{
    const struct
    {
        sf::Event::EventType type;
        sf::Keyboard::Key key;
        KeyState expected;
    } cases[] = {{sf::Event::KeyPressed, sf::Keyboard::Escape, {true, false}},
                 {sf::Event::KeyPressed, sf::Keyboard::Space, {false, true}},
                 {sf::Event::KeyPressed, sf::Keyboard::Enter, {false, false}},
                 {sf::Event::KeyReleased, sf::Keyboard::Escape, {false, false}},
                 {sf::Event::KeyReleased, sf::Keyboard::Space, {false, false}}};
    for (const auto& press : cases)
    {
        sf::Event event;
        event.type = press.type;
        event.key = {press.key, false, false, false, false};
        KeyState keys;
        addKeyPress(event, keys);
        EXPECT_EQ(keys.escape, press.expected.escape) << press.type << " " << press.key;
        EXPECT_EQ(keys.space, press.expected.space) << press.type << " " << press.key;
        // A key already down (from the real-time state) stays down whatever the event.
        KeyState held{true, true};
        addKeyPress(event, held);
        EXPECT_TRUE(held.escape && held.space);
    }
}

TEST_F(MainLoop, DispatchStoresTheSceneResult)
{
    NullTarget target;
    const SceneTable table = {{7, &sceneSeven}};
    callsOfSceneSeven = 0;
    currentScene = 7;
    EXPECT_TRUE(dispatchScene(table, target, 0.016f));
    EXPECT_EQ(currentScene, 8);
    EXPECT_EQ(callsOfSceneSeven, 1);
    EXPECT_TRUE(running);
}

TEST_F(MainLoop, DispatchOfEndOfDemoStopsWithoutCallingAnything)
{
    NullTarget target;
    const SceneTable table = {{endOfDemo, &sceneSeven}};
    callsOfSceneSeven = 0;
    currentScene = endOfDemo;
    EXPECT_FALSE(dispatchScene(table, target, 0.016f));
    EXPECT_FALSE(running);
    EXPECT_EQ(callsOfSceneSeven, 0);
}

TEST_F(MainLoop, DispatchOfUnknownIdDoesNothing)
{
    NullTarget target;
    const SceneTable table = {{7, &sceneSeven}};
    callsOfSceneSeven = 0;
    currentScene = 14;
    EXPECT_FALSE(dispatchScene(table, target, 0.016f));
    EXPECT_EQ(currentScene, 14);
    EXPECT_TRUE(running);
    EXPECT_EQ(callsOfSceneSeven, 0);
}
} // namespace
