#include "runtime/MainLoop.hpp"

#include "runtime/Startup.hpp"
#include "scenes/Demo.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace
{
TEST(MainLoop, FadeRunsTowardsItsEndAndStopsThereExactly)
{
    // 61 steps of 1/60 s: float steps may leave the 60th just short of 1.
    for (const auto& [mode, alpha, speed, step, steps, expectedAlpha, expectedMode] :
         {std::tuple{1, 0.f, 1.f, 1.f / 60.f, 59, 59.f / 60.f, 1},
          {1, 0.f, 1.f, 1.f / 60.f, 61, 1.f, 0},
          {2, 1.f, 3.f, 0.25f, 1, 0.25f, 2},
          {2, 1.f, 3.f, 0.25f, 2, 0.f, 0},
          {0, 0.4f, 10.f, 1.f, 1, 0.4f, 0},
          {3, 0.4f, 10.f, 1.f, 1, 0.4f, 3},
          {-1, 0.4f, 10.f, 1.f, 1, 0.4f, -1}})
    {
        DemoState state;
        state.fadeMode = mode;
        state.fadeAlpha = alpha;
        state.fadeSpeed = speed;
        for (int i = 0; i < steps; ++i)
            advanceFade(state, step);
        EXPECT_NEAR(state.fadeAlpha, expectedAlpha, 1e-6) << "mode " << mode << ", " << steps << " steps";
        EXPECT_EQ(state.fadeMode, expectedMode) << "mode " << mode << ", " << steps << " steps";
    }
}

TEST(MainLoop, OverlayAlphaIsTruncatedAndClampedNotWrapped)
{
    const float alphas[] = {0.5f, 1.f, 0.003f, 1.5f, -0.1f, 1e9f, std::nanf("")};
    const int expected[] = {127, 255, 0, 255, 0, 255, 0};
    for (std::size_t i = 0; i < std::size(alphas); ++i)
        EXPECT_EQ(fadeOverlayAlpha(alphas[i]), expected[i]) << "fadeAlpha " << alphas[i];
}

TEST(MainLoop, SpaceWritesMarkerLinesOncePerPressAndEscapeStops)
{
    std::ostringstream out;
    DemoState state;
    handleKeys(state, {false, true}, out);
    EXPECT_TRUE(state.markerActive);
    handleKeys(state, {false, true}, out); // still held: no second line
    state.markerTime = 2.5f;
    handleKeys(state, {false, false}, out);
    handleKeys(state, {false, true}, out);
    state.markerTime = 4.25f;
    handleKeys(state, {false, false}, out);
    handleKeys(state, {false, true}, out);
    EXPECT_TRUE(state.running);
    handleKeys(state, {true, false}, out);
    EXPECT_FALSE(state.running);
    EXPECT_EQ(out.str(), "@0\n@2.5\n@4.25\n");
}

TEST(MainLoop, KeyPressEventsAddTheirKeyOnly)
{
    for (const auto& [type, key, escape, space] :
         {std::tuple{sf::Event::KeyPressed, sf::Keyboard::Escape, true, false},
          {sf::Event::KeyPressed, sf::Keyboard::Space, false, true},
          {sf::Event::KeyPressed, sf::Keyboard::Enter, false, false},
          {sf::Event::KeyReleased, sf::Keyboard::Escape, false, false},
          {sf::Event::KeyReleased, sf::Keyboard::Space, false, false}})
    {
        sf::Event event;
        event.type = type;
        event.key = {key, false, false, false, false};
        KeyState keys;
        addKeyPress(event, keys);
        EXPECT_EQ(std::pair(keys.escape, keys.space), std::pair(escape, space)) << type << " " << key;
        // A key already down (from the real-time state) stays down whatever the event.
        KeyState held{true, true};
        addKeyPress(event, held);
        EXPECT_TRUE(held.escape && held.space);
    }
}

// A filter that takes an event leaves the frame none of it; one that declines leaves it all.
TEST(MainLoop, WindowEventsTakenByTheFilterAreIgnored)
{
    sf::Event closed;
    closed.type = sf::Event::Closed;
    sf::Event escape;
    escape.type = sf::Event::KeyPressed;
    escape.key = {sf::Keyboard::Escape, false, false, false, false};
    const EventFilter takeAll = [](const sf::Event&) { return true; };
    const EventFilter takeNone = [](const sf::Event&) { return false; };
    for (const auto& [event, filter, stops, escapeAdded] : {std::tuple{closed, takeAll, false, false},
                                                            {closed, takeNone, true, false},
                                                            {closed, EventFilter{}, true, false},
                                                            {escape, takeAll, false, false},
                                                            {escape, takeNone, false, true}})
    {
        DemoState state;
        KeyState keys;
        applyWindowEvent(state, event, keys, filter);
        EXPECT_EQ(std::pair(!state.running, keys.escape), std::pair(stops, escapeAdded)) << event.type;
    }
}

TEST(StepClock, RunsTheStepsTheWallClockHasReachedAndDrawsTheLast)
{
    constexpr double step = 1.0 / stepsPerSecond;
    for (const auto& [what, wall, done, steps, wait, dropped] : {
             std::tuple{"the first frame", 0.0, 0L, 1, 0.0, 0.0},
             {"on time", 10 * step, 10, 1, 0.0, 0.0},
             {"2 ms late", 10 * step + 0.002, 10, 1, 0.0, 0.0},
             {"2 ms early", 10 * step - 0.002, 10, 1, 0.0, 0.0},
             {"8 ms late, still one", 10 * step + 0.008, 10, 1, 0.0, 0.0},
             {"9 ms late: the next step is nearer", 10 * step + 0.009, 10, 2, 0.0, 0.0},
             {"a 90 ms frame", 10 * step + 0.090, 10, 6, 0.0, 0.0},
             {"ahead: wait for the next step", 10 * step - 0.010, 11, 0, 0.0183, 0.0},
             {"a stall at the cap", 10 * step + 60 * step, 11, maxCatchUpSteps, 0.0, 0.0},
             {"a 5 s stall: a second caught up, the rest dropped", 10 * step + 5.0, 11, maxCatchUpSteps, 0.0,
              4.0},
         })
    {
        const StepPlan plan = planSteps(wall, done);
        EXPECT_EQ(plan.steps, steps) << what;
        EXPECT_NEAR(plan.waitSeconds, wait, 1e-4) << what;
        EXPECT_NEAR(plan.droppedSeconds, dropped, 1e-9) << what;
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
        done += planSteps(wall, done).steps;
        ASSERT_LE(std::abs((done - 1) / 60.0 - wall), 0.5 / 60.0 + 1e-9) << "frame " << frame;
    }
}
TEST(StepClock, WhileTheMusicPlaysAStallOfAnyLengthCatchesUpWithIt)
{
    // The main thread stalls while the music streams on: the next frame runs every step to where
    // the music is, and every frame after shows the step of the music's time within one frame.
    // A pause of the whole process stops the music too, and without music the wall clock drops
    // what lies beyond a second, as ever.
    constexpr double frame = 1.0 / stepsPerSecond;
    for (const auto& [what, stall, musicMoves, withMusic, stallSteps] :
         {std::tuple{"0.2 s stall", 0.2, true, true, 13},
          {"1.5 s stall", 1.5, true, true, 91},
          {"5 s stall", 5.0, true, true, 301},
          {"5 s pause of the process", 5.0, false, true, 1},
          {"5 s stall before the music", 5.0, true, false, maxCatchUpSteps}})
    {
        DemoClock clock;
        long done = 0;
        double wall = 0.0, music = 0.0;
        for (int count = 0; count < 360; ++count, wall += frame, music += frame)
        {
            if (count == 120)
            {
                wall += stall;
                music += musicMoves ? stall : 0.0;
            }
            // The music's position moves in mixing periods of about 23 ms.
            const double heard = std::floor(music / 0.0232) * 0.0232;
            const StepPlan plan =
                clock.plan(wall, withMusic ? std::optional<double>(heard) : std::nullopt, done);
            done += plan.steps;
            // The music's period moves the frame on either side of the stall by a step at most.
            if (count == 120)
            {
                EXPECT_NEAR(plan.steps, stallSteps, withMusic ? 1 : 0) << what;
            }
            if (withMusic && count > 120)
            {
                ASSERT_LE(std::abs((done - 1) * frame - music), 1.5 * frame) << what << ", frame " << count;
            }
        }
    }
}

TEST(ScreenFit, PictureAndWindowModeFitEveryScreenWithoutCropOrStretch)
{
    // Window or desktop size; where the picture goes; the window full screen and windowed opens.
    for (const auto& [width, height, fitted, fullscreenMode, windowedMode] :
         {std::tuple{1920u, 1080u, sf::IntRect(0, 0, 1920, 1080), sf::Vector2u(1920, 1080),
                     sf::Vector2u(1920, 1080)},
          {1366u, 768u, sf::IntRect(0, 0, 1365, 768), sf::Vector2u(1366, 768), sf::Vector2u(1365, 768)},
          {1280u, 1024u, sf::IntRect(0, 152, 1280, 720), sf::Vector2u(1280, 1024), sf::Vector2u(1280, 720)},
          {3440u, 1440u, sf::IntRect(440, 0, 2560, 1440), sf::Vector2u(3440, 1440), sf::Vector2u(1920, 1080)},
          {1440u, 900u, sf::IntRect(0, 45, 1440, 810), sf::Vector2u(1440, 900), sf::Vector2u(1440, 810)},
          {1000u, 700u, sf::IntRect(0, 68, 1000, 563), sf::Vector2u(1000, 700), sf::Vector2u(1000, 563)},
          {0u, 0u, sf::IntRect(0, 0, 0, 0), sf::Vector2u(0, 0), sf::Vector2u(0, 0)}})
    {
        EXPECT_EQ(fittedPicture({width, height}), fitted) << width << " x " << height;
        const sf::VideoMode desktop(width, height, 24);
        const sf::VideoMode full = windowMode(true, false, desktop);
        const sf::VideoMode windowed = windowMode(false, false, desktop);
        EXPECT_EQ(sf::Vector2u(full.width, full.height), fullscreenMode) << width << " x " << height;
        EXPECT_EQ(sf::Vector2u(windowed.width, windowed.height), windowedMode) << width << " x " << height;
    }
    // A screen that offers the picture's own mode gets it, as it always did.
    EXPECT_EQ(windowMode(true, true, sf::VideoMode(2560, 1440, 24)), sf::VideoMode(1920, 1080, 32));
}
} // namespace
