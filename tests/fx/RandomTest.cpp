#include "fx/Random.hpp"

#include <gtest/gtest.h>
#include <vector>

TEST(Random, RawDrawsStayInRangeAndCoverIt)
{
    resetRandom();
    int lowest = randomIntMax;
    int highest = 0;
    for (int i = 0; i < 200000; ++i)
    {
        const int value = randomInt();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, randomIntMax);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_LT(lowest, 16);
    EXPECT_GT(highest, randomIntMax - 16);
}

TEST(Random, RangeStaysWithinItsBounds)
{
    resetRandom();
    for (int i = 0; i < 10000; ++i)
    {
        const float unit = randomRange(0.f, 1.f);
        ASSERT_GE(unit, 0.f);
        ASSERT_LE(unit, 1.f);
        const float reversed = randomRange(5.f, -3.f);
        ASSERT_GE(reversed, -3.f);
        ASSERT_LE(reversed, 5.f);
    }
}

TEST(Random, RangeScalesTheRawDrawAndEqualBoundsStillDraw)
{
    resetRandom();
    const int raw = randomInt();
    const int second = randomInt();
    resetRandom();
    EXPECT_FLOAT_EQ(randomRange(10.f, 20.f), raw / 32767.f * 10.f + 10.f);
    resetRandom();
    EXPECT_EQ(randomRange(2.f, 2.f), 2.f);
    EXPECT_EQ(randomInt(), second);
}

TEST(Random, ResetRepeatsTheSequence)
{
    resetRandom();
    std::vector<int> first;
    for (int i = 0; i < 50; ++i)
        first.push_back(randomInt());
    resetRandom();
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(randomInt(), first[static_cast<std::size_t>(i)]) << "draw " << i;
    EXPECT_NE(first[0], first[1]);
}
