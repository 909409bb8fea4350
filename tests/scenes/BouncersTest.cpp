// Logo and bubble physics step by step without a window, the logos' hit sounds, the launch cursor.
#include "scenes/BouncingLogosScene.hpp"
#include "scenes/ShaderBouncer.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace
{
constexpr float sixtieth = 1.f / 60.f;

ShaderBouncer bubble(int size)
{
    ShaderBouncer b(nullptr, nullptr, false, size, size);
    b.active = true;
    return b;
}

// The gravity a step adds before its edge tests.
float kicked(float vy, bool heavy)
{
    return vy + (heavy ? 48.f : 24.f);
}

Bouncer logo(int width, int height, float x = 20.f, float y = 180.f)
{
    Bouncer bouncer;
    bouncer.width = width, bouncer.height = height, bouncer.x = x, bouncer.y = y;
    return bouncer;
}
} // namespace

// One step of a 100-pixel bubble from a given state and where it must end; NaN: where free
// flight takes it (moved by its speed, vx kept, vy plus the step's gravity).
TEST(ShaderBouncer, StepFollowsTheEdgeRules)
{
    const float free = std::nanf("");
    const struct
    {
        const char* name;
        float x, y, vx, vy;
        bool heavy;
        float dt, x2, y2, vx2, vy2;
    } cases[] = {
        // Mid-air, gravity is a fixed kick per step whatever the step's length.
        {"air", 500, 300, 380, 120, false, sixtieth, free, free, free, free},
        {"airLongStep", 500, 300, 380, 120, false, 0.5f, free, free, free, free},
        {"airHeavy", 500, 300, -380, 120, true, sixtieth, free, free, free, free},
        // Through the floor it sits at 970: a light one rebounds with 0.8 of its speed, a heavy
        // one keeps 0.16 of it downwards.
        {"floor", 500, 960, 380, 900, false, sixtieth, free, 970, free, -0.8f * kicked(900, false)},
        {"floorHeavy", 500, 960, 380, 900, true, sixtieth, free, 970, free, 0.16f * kicked(900, true)},
        // Reaching the top edge puts it at 1 and sends it down again.
        {"ceiling", 500, 5, 380, -600, false, sixtieth, free, 1, free, -kicked(-600, false)},
        {"ceilingExactlyZero", 500, 10, 380, -20, false, 0.5f, free, 1, free, -kicked(-20, false)},
        // The walls stand at 10 and 1910.
        {"rightWall", 1805, 300, 380, 0, false, sixtieth, 1810, free, -380, free},
        {"leftWall", 12, 300, -380, 0, false, sixtieth, 10, free, 380, free},
        {"touchingRightWallIsInside", 1810 - 380 * sixtieth, 300, 380, 0, false, sixtieth, free, free, free,
         free}};
    const auto orFree = [](float given, float otherwise) { return std::isnan(given) ? otherwise : given; };
    for (const auto& c : cases)
    {
        ShaderBouncer b = bubble(100);
        b.x = c.x, b.y = c.y, b.vx = c.vx, b.vy = c.vy, b.heavy = c.heavy;
        b.update(c.dt);
        EXPECT_FLOAT_EQ(b.x, orFree(c.x2, c.x + c.vx * c.dt)) << c.name;
        EXPECT_FLOAT_EQ(b.y, orFree(c.y2, c.y + c.vy * c.dt)) << c.name;
        EXPECT_FLOAT_EQ(b.vx, orFree(c.vx2, c.vx)) << c.name;
        EXPECT_NEAR(b.vy, orFree(c.vy2, kicked(c.vy, c.heavy)), 1e-3) << c.name;
    }
}

TEST(ShaderBouncer, StartsAtItsCornerAndOnlyMovesOnceActive)
{
    ShaderBouncer left(nullptr, nullptr, false, 150, 150), right(nullptr, nullptr, true, 150, 150);
    EXPECT_FLOAT_EQ(left.x, 20.f);
    EXPECT_FLOAT_EQ(right.x, 1900.f - 150.f);
    EXPECT_FLOAT_EQ(right.vx, 380.f) << "bubbles from the right also start rightwards";
    right.update(sixtieth);
    EXPECT_FLOAT_EQ(right.x, 1750.f) << "an inactive bubble does not move";
    EXPECT_FLOAT_EQ(right.vy, 0.f);
}

// Fifty steps up at 48 less per step take it about a thousand pixels up, or to the ceiling;
// it lands without rebounding and stays pressed to the floor.
TEST(ShaderBouncer, LaunchedHeavyBubbleJumpsAndThenStaysOnTheFloor)
{
    std::vector<ShaderBouncer> bubbles(1, bubble(110));
    bubbles[0].y = 1070.f - 110.f;
    int nextBouncer = 0;
    ASSERT_EQ(launchNextBouncer(bubbles, nextBouncer), &bubbles[0]);
    float highest = bubbles[0].y;
    for (int frame = 0; frame < 120; ++frame)
    {
        updateShaderBouncers(bubbles, sixtieth);
        highest = std::min(highest, bubbles[0].y);
        EXPECT_TRUE(frame < 90 || bubbles[0].y == 960.f) << "frame " << frame;
    }
    EXPECT_LT(highest, 100.f);
    EXPECT_GT(bubbles[0].vy, 0.f) << "pushing downwards, not rebounding";
}

// Launches take the bubbles in turn from one pixel above the floor, wrapping at the list's end.
TEST(ShaderBouncer, LaunchesTakeTheBubblesInTurnAndWrapAtTheListEnd)
{
    // expectedIndex: of the last launch, -1 when nothing is launched.
    const struct
    {
        int bubbles, launches, expectedIndex, expectedCursor;
    } cases[] = {{20, 1, 0, 1}, {20, 20, 19, 0}, {20, 21, 0, 1}, {3, 4, 0, 1}, {1, 5, 0, 0}, {0, 3, -1, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.launches << " launches over " << c.bubbles << " bubbles");
        std::vector<ShaderBouncer> bubbles(std::size_t(c.bubbles), bubble(100));
        int nextBouncer = 0;
        ShaderBouncer* last = nullptr;
        for (int i = 0; i < c.launches; ++i)
            last = launchNextBouncer(bubbles, nextBouncer);
        EXPECT_EQ(nextBouncer, c.expectedCursor);
        ASSERT_EQ(last, c.expectedIndex < 0 ? nullptr : &bubbles[std::size_t(c.expectedIndex)]);
        if (!last)
            continue;
        EXPECT_TRUE(last->heavy);
        EXPECT_FLOAT_EQ(last->vy, -2400.f);
        EXPECT_FLOAT_EQ(last->y, 1069.f - 100.f);
        EXPECT_TRUE(last->x == 20.f && last->vx == 380.f) << "x and vx are left alone";
    }
}

// It lands on its floor place with four fifths of its speed, and is done on its thirtieth landing.
TEST(Bouncer, LandsOnTheFloorWithFourFifthsOfItsSpeedThirtyTimes)
{
    Bouncer bouncer = logo(100, 200);
    bouncer.vx = 0.f;
    for (int landing = 1, step = 0; landing <= 30 && step < 100000; ++step)
    {
        const float vy = bouncer.vy + 24.f; // the step's gravity comes before the floor test
        const int hits = bouncer.update(1.f / 60.f);
        if (bouncer.bouncesLeft == 30 - landing + 1)
            continue;
        EXPECT_FLOAT_EQ(bouncer.y, 870.f) << "1070 less its height";
        EXPECT_EQ(bouncer.vy, static_cast<float>(-0.8 * static_cast<double>(vy)));
        EXPECT_EQ(bouncer.bouncesLeft, 30 - landing);
        EXPECT_EQ(bouncer.done, landing == 30) << "landing " << landing;
        EXPECT_EQ(hits, 1);
        ++landing;
    }
    EXPECT_TRUE(bouncer.done);
}

// Past a wall it is put back and turned, with a sound; touching it is still inside. At a corner
// it plays two sounds.
TEST(Bouncer, WallsAndCornersPutItBackAndPlayASoundEach)
{
    const struct
    {
        const char* name;
        Bouncer bouncer;
        float x, y;
        int hits;
    } cases[] = {{"right", logo(300, 100, 1615.f, 500.f), 1610.f, 500.f, 1}, // 1615 + 300 passes 1910
                 {"left", logo(300, 100, 9.f, 500.f), 10.f, 500.f, 1},
                 {"justInsideRight", logo(300, 100, 1610.f, 500.f), 1610.f, 500.f, 0},
                 {"justInsideLeft", logo(300, 100, 10.f, 500.f), 10.f, 500.f, 0},
                 {"corner", logo(300, 200, 1615.f, 880.f), 1610.f, 870.f, 2}};
    for (auto c : cases)
    {
        const float vx = c.bouncer.vx = c.bouncer.x < 960.f ? -280.f : 280.f;
        EXPECT_EQ(c.bouncer.update(0.f), c.hits) << c.name;
        EXPECT_FLOAT_EQ(c.bouncer.x, c.x) << c.name;
        EXPECT_FLOAT_EQ(c.bouncer.y, c.y) << c.name;
        EXPECT_FLOAT_EQ(c.bouncer.vx, c.hits ? -vx : vx) << c.name;
    }
}

TEST(Bouncer, AddBouncerLeavesAMissingSpriteOut)
{
    std::vector<Bouncer> bouncers;
    addBouncer(bouncers, nullptr);
    EXPECT_TRUE(bouncers.empty());
}
