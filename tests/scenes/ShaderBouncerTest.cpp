// The bubbles' physics and the moire scene's launch cursor, without a window: a bubble
// needs no picture to move.
#include "scenes/ShaderBouncer.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace
{
constexpr float sixtieth = 1.f / 60.f;

ShaderBouncer bubble(int size, bool fromRight = false)
{
    ShaderBouncer b(nullptr, nullptr, fromRight, size, size);
    b.active = true;
    return b;
}

// One step from a given state and what must hold afterwards.
struct StepCase
{
    std::string name;
    float x, y, vx, vy;
    bool heavy;
    float dt;
    float expectedX, expectedY, expectedVx, expectedVy;
};

void PrintTo(const StepCase& c, std::ostream* out)
{
    *out << c.name;
}

// The gravity that the step adds before its edge tests.
float kicked(float vy, bool heavy)
{
    return vy + (heavy ? 48.f : 24.f);
}

class ShaderBouncerStep : public testing::TestWithParam<StepCase>
{
};
} // namespace

TEST_P(ShaderBouncerStep, FollowsTheEdgeRules)
{
    const StepCase& c = GetParam();
    ShaderBouncer b = bubble(100);
    b.x = c.x;
    b.y = c.y;
    b.vx = c.vx;
    b.vy = c.vy;
    b.heavy = c.heavy;
    b.update(c.dt);
    EXPECT_FLOAT_EQ(b.x, c.expectedX);
    EXPECT_FLOAT_EQ(b.y, c.expectedY);
    EXPECT_FLOAT_EQ(b.vx, c.expectedVx);
    EXPECT_NEAR(b.vy, c.expectedVy, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShaderBouncerStep,
                         testing::Values(
                             // Mid-air, gravity is a fixed kick per step whatever the step's length.
                             StepCase{"airShortStep", 500, 300, 380, 120, false, sixtieth,
                                      500 + 380 * sixtieth, 300 + 120 * sixtieth, 380, kicked(120, false)},
                             StepCase{"airLongStep", 500, 300, 380, 120, false, 0.5f, 500 + 380 * 0.5f,
                                      300 + 120 * 0.5f, 380, kicked(120, false)},
                             StepCase{"airHeavy", 500, 300, -380, 120, true, sixtieth, 500 - 380 * sixtieth,
                                      300 + 120 * sixtieth, -380, kicked(120, true)},
                             // A 100-pixel bubble through the floor sits at 970: light ones rebound with 0.8
                             // of their speed, heavy ones keep 0.16 of it downwards.
                             StepCase{"floorRebound", 500, 960, 380, 900, false, sixtieth,
                                      500 + 380 * sixtieth, 970, 380, -0.8f * kicked(900, false)},
                             StepCase{"floorHeavy", 500, 960, 380, 900, true, sixtieth, 500 + 380 * sixtieth,
                                      970, 380, 0.16f * kicked(900, true)},
                             // Reaching the top edge puts the bubble at 1 and sends it down again.
                             StepCase{"ceiling", 500, 5, 380, -600, false, sixtieth, 500 + 380 * sixtieth, 1,
                                      380, -kicked(-600, false)},
                             StepCase{"ceilingExactlyZero", 500, 10, 380, -20, false, 0.5f, 500 + 380 * 0.5f,
                                      1, 380, -kicked(-20, false)},
                             // Walls: the box is 10..1910 wide.
                             StepCase{"rightWall", 1805, 300, 380, 0, false, sixtieth, 1810, 300, -380, 24},
                             StepCase{"leftWall", 12, 300, -380, 0, false, sixtieth, 10, 300, 380, 24},
                             StepCase{"touchingRightWallIsInside", 1810 - 380 * sixtieth, 300, 380, 0, false,
                                      sixtieth, 1810, 300, 380, 24}),
                         [](const testing::TestParamInfo<StepCase>& info) { return info.param.name; });

TEST(ShaderBouncer, StartsAtItsCornerAndOnlyMovesOnceActive)
{
    ShaderBouncer left(nullptr, nullptr, false, 150, 150);
    ShaderBouncer right(nullptr, nullptr, true, 150, 150);
    EXPECT_FLOAT_EQ(left.x, 20.f);
    EXPECT_FLOAT_EQ(right.x, 1900.f - 150.f);
    EXPECT_FLOAT_EQ(right.vx, 380.f) << "bubbles from the right also start rightwards";
    right.update(sixtieth);
    EXPECT_FLOAT_EQ(right.x, 1750.f) << "an inactive bubble does not move";
    EXPECT_FLOAT_EQ(right.vy, 0.f);
}

TEST(ShaderBouncer, BubbleFromTheRightTurnsAtTheWallWithinAFewFrames)
{
    ShaderBouncer b = bubble(100, true);
    int frames = 0;
    while (b.vx > 0.f && frames < 10)
    {
        b.update(sixtieth);
        ++frames;
    }
    EXPECT_LE(frames, 3);
    EXPECT_LT(b.vx, 0.f);
    EXPECT_FLOAT_EQ(b.x + static_cast<float>(b.width), 1910.f);
}

TEST(ShaderBouncer, LaunchedHeavyBubbleJumpsAndThenStaysOnTheFloor)
{
    shaderBouncers.assign(1, bubble(110));
    nextBouncer = 0;
    ShaderBouncer& b = shaderBouncers[0];
    b.y = 1070.f - 110.f;
    ShaderBouncer* launched = launchNextBouncer();
    ASSERT_EQ(launched, &b);
    EXPECT_FLOAT_EQ(b.y, 1069.f - 110.f) << "one pixel above its floor place";
    float highest = b.y;
    for (int frame = 0; frame < 120; ++frame)
    {
        updateShaderBouncers(sixtieth);
        highest = std::min(highest, b.y);
        if (frame >= 90)
        {
            EXPECT_FLOAT_EQ(b.y, 960.f) << "pressed to the floor, frame " << frame;
        }
    }
    // Fifty steps up at 48 less per step: about a thousand pixels, or the ceiling first.
    EXPECT_LT(highest, 100.f);
    EXPECT_GT(b.vy, 0.f) << "still pushing downwards, not rebounding";
}

namespace
{
struct LaunchCase
{
    int bubbles;
    int launches;
    int expectedIndex; // of the last launch; -1: nothing launched
    int expectedCursor;
};

void PrintTo(const LaunchCase& c, std::ostream* out)
{
    *out << c.launches << " launches over " << c.bubbles << " bubbles";
}

class ShaderBouncerLaunch : public testing::TestWithParam<LaunchCase>
{
};
} // namespace

TEST_P(ShaderBouncerLaunch, TakesTheBubblesInTurnAndWrapsAtTheListEnd)
{
    const LaunchCase& c = GetParam();
    shaderBouncers.clear();
    for (int i = 0; i < c.bubbles; ++i)
    {
        shaderBouncers.push_back(bubble(100 + i));
        shaderBouncers.back().x = 100.f + 50.f * static_cast<float>(i);
    }
    nextBouncer = 0;
    ShaderBouncer* last = nullptr;
    for (int i = 0; i < c.launches; ++i)
        last = launchNextBouncer();
    EXPECT_EQ(nextBouncer, c.expectedCursor);
    if (c.expectedIndex < 0)
    {
        EXPECT_EQ(last, nullptr);
        return;
    }
    ASSERT_EQ(last, &shaderBouncers[static_cast<std::size_t>(c.expectedIndex)]);
    EXPECT_FLOAT_EQ(last->vy, -2400.f);
    EXPECT_TRUE(last->heavy);
    EXPECT_FLOAT_EQ(last->y, 1069.f - static_cast<float>(last->height));
    EXPECT_FLOAT_EQ(last->x, 100.f + 50.f * static_cast<float>(c.expectedIndex)) << "x is left alone";
    EXPECT_FLOAT_EQ(last->vx, 380.f) << "vx is left alone";
}

INSTANTIATE_TEST_SUITE_P(Cases, ShaderBouncerLaunch,
                         testing::Values(LaunchCase{20, 1, 0, 1}, LaunchCase{20, 20, 19, 0},
                                         LaunchCase{20, 21, 0, 1}, // the 21st takes the first again
                                         LaunchCase{3, 4, 0, 1}, LaunchCase{1, 5, 0, 0},
                                         LaunchCase{0, 3, -1, 0}),
                         [](const testing::TestParamInfo<LaunchCase>& info)
                         {
                             return "bubbles" + std::to_string(info.param.bubbles) + "launches" +
                                    std::to_string(info.param.launches);
                         });
