// The logos' physics, one step at a time, without a window: the floor and wall rules and
// the sounds each hit plays.
#include "scenes/BouncingLogosScene.hpp"

#include <gtest/gtest.h>

namespace
{
constexpr float sixtieth = 1.f / 60.f;

Bouncer logo(int width, int height)
{
    Bouncer bouncer;
    bouncer.width = width;
    bouncer.height = height;
    return bouncer;
}
} // namespace

TEST(Bouncer, LandsOnTheFloorAndKeepsFourFifthsOfItsSpeed)
{
    Bouncer bouncer = logo(100, 200);
    bouncer.vx = 0.f;
    float vyBefore = 0.f;
    int hits = 0;
    while (hits == 0)
    {
        vyBefore = bouncer.vy + 24.f; // the step's gravity comes before the floor test
        hits = bouncer.update(sixtieth);
    }
    EXPECT_EQ(hits, 1);
    EXPECT_FLOAT_EQ(bouncer.y, 870.f); // 1070 minus its height
    EXPECT_EQ(bouncer.vy, static_cast<float>(-0.8 * static_cast<double>(vyBefore)));
    EXPECT_EQ(bouncer.bouncesLeft, 29);
}

struct WallCase
{
    const char* name;
    float x;
    float vx;
    float expectedX;
    int hits;
};

class BouncerWall : public testing::TestWithParam<WallCase>
{
};

TEST_P(BouncerWall, PutsTheLogoBackAndTurnsItOnlyPastTheWall)
{
    const WallCase& c = GetParam();
    Bouncer bouncer = logo(300, 100);
    bouncer.y = 500.f;
    bouncer.x = c.x;
    bouncer.vx = c.vx;
    EXPECT_EQ(bouncer.update(0.f), c.hits);
    EXPECT_FLOAT_EQ(bouncer.x, c.expectedX);
    EXPECT_FLOAT_EQ(bouncer.vx, c.hits ? -c.vx : c.vx);
}

INSTANTIATE_TEST_SUITE_P(Walls, BouncerWall,
                         testing::Values(WallCase{"right", 1615.f, 280.f, 1610.f, 1}, // x + width = 1915
                                         WallCase{"left", 9.f, -280.f, 10.f, 1},
                                         WallCase{"justInsideRight", 1610.f, 0.f, 1610.f, 0},
                                         WallCase{"justInsideLeft", 10.f, 0.f, 10.f, 0}),
                         [](const testing::TestParamInfo<WallCase>& info) { return info.param.name; });

TEST(Bouncer, PlaysTwoSoundsInACorner)
{
    Bouncer bouncer = logo(300, 200);
    bouncer.x = 1615.f;
    bouncer.y = 880.f;
    EXPECT_EQ(bouncer.update(0.f), 2);
    EXPECT_FLOAT_EQ(bouncer.x, 1610.f);
    EXPECT_FLOAT_EQ(bouncer.y, 870.f);
}

TEST(Bouncer, IsDoneOnItsThirtiethFloorHit)
{
    Bouncer bouncer = logo(100, 200);
    int floorHits = 0;
    for (int step = 0; step < 100000 && !bouncer.done; ++step)
    {
        const int before = bouncer.bouncesLeft;
        bouncer.update(sixtieth);
        if (bouncer.bouncesLeft != before)
        {
            ++floorHits;
            EXPECT_EQ(bouncer.done, floorHits == 30) << "after floor hit " << floorHits;
        }
    }
    EXPECT_EQ(floorHits, 30);
}

TEST(Bouncer, AddBouncerLeavesAMissingSpriteOut)
{
    std::vector<Bouncer> bouncers;
    addBouncer(bouncers, nullptr);
    EXPECT_TRUE(bouncers.empty());
}
