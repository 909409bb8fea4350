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

TEST_F(MainLoop, OverlayAlphaIsTruncatedAndClampedNotWrapped)
{
    for (const auto& [alpha, expected] : {std::pair{0.5f, 127},
                                          {1.f, 255},
                                          {0.003f, 0},
                                          {1.5f, 255},
                                          {-0.1f, 0},
                                          {1e9f, 255},
                                          {std::nanf(""), 0}})
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

TEST_F(MainLoop, DispatchRunsTheCurrentSceneAndStoresItsResult)
{
    // A known scene runs once and hands over; the end of the demo stops without calling
    // anything, even when listed; an unknown id is left as it is.
    const struct
    {
        SceneId listed, current;
        bool dispatched;
        SceneId after;
        bool running;
        int calls;
    } cases[] = {{7, 7, true, 8, true, 1},
                 {endOfDemo, endOfDemo, false, endOfDemo, false, 0},
                 {7, 14, false, 14, true, 0}};
    NullTarget target;
    for (const auto& c : cases)
    {
        const SceneTable table = {{c.listed, &sceneSeven}};
        callsOfSceneSeven = 0;
        running = true;
        currentScene = c.current;
        EXPECT_EQ(dispatchScene(table, target, 0.016f), c.dispatched) << "scene " << c.current;
        EXPECT_EQ(currentScene, c.after) << "scene " << c.current;
        EXPECT_EQ(running, c.running) << "scene " << c.current;
        EXPECT_EQ(callsOfSceneSeven, c.calls) << "scene " << c.current;
    }
}
TEST(StepClock, RunsTheStepsTheWallClockHasReachedAndDrawsTheLast)
{
    constexpr double step = 1.0 / stepsPerSecond;
    const struct
    {
        const char* what;
        double wall;
        long done;
        int steps;
        double wait;
        double dropped;
    } cases[] = {
        {"the first frame", 0.0, 0, 1, 0.0, 0.0},
        {"on time", 10 * step, 10, 1, 0.0, 0.0},
        {"2 ms late", 10 * step + 0.002, 10, 1, 0.0, 0.0},
        {"2 ms early", 10 * step - 0.002, 10, 1, 0.0, 0.0},
        {"8 ms late, still one", 10 * step + 0.008, 10, 1, 0.0, 0.0},
        {"9 ms late: the next step is nearer", 10 * step + 0.009, 10, 2, 0.0, 0.0},
        {"a 90 ms frame", 10 * step + 0.090, 10, 6, 0.0, 0.0},
        {"ahead: wait for the next step", 10 * step - 0.010, 11, 0, 0.0183, 0.0},
        {"a stall at the cap", 10 * step + 60 * step, 11, maxCatchUpSteps, 0.0, 0.0},
        {"a 5 s stall: a second caught up, the rest dropped", 10 * step + 5.0, 11, maxCatchUpSteps, 0.0, 4.0},
    };
    for (const auto& c : cases)
    {
        const StepPlan plan = planSteps(c.wall, c.done);
        EXPECT_EQ(plan.steps, c.steps) << c.what;
        EXPECT_NEAR(plan.waitSeconds, c.wait, 1e-4) << c.what;
        EXPECT_NEAR(plan.droppedSeconds, c.dropped, 1e-9) << c.what;
    }
}

TEST(StepClock, JitteryFramesAtSixtyRunOneStepEachAndSlowFramesKeepTheSchedule)
{
    // Frames every 1/60 s give or take up to 3 ms never run two steps or none; frames of 1/24 s
    // show, each, the step nearest their time, so the demo keeps to the wall clock.
    const double jitter[] = {0.0, 0.003, -0.003, 0.0025, -0.001, 0.003, -0.0029, 0.0};
    long done = 0;
    for (int frame = 0; frame < 600; ++frame)
    {
        const StepPlan plan = planSteps(frame / 60.0 + jitter[frame % 8], done);
        ASSERT_EQ(plan.steps, 1) << "frame " << frame;
        done += plan.steps;
    }
    done = 0;
    for (int frame = 0; frame < 240; ++frame)
    {
        const double wall = frame / 24.0;
        const StepPlan plan = planSteps(wall, done);
        done += plan.steps;
        ASSERT_LE(std::abs((done - 1) / 60.0 - wall), 0.5 / 60.0 + 1e-9) << "frame " << frame;
    }
}
} // namespace
