#include "fx/Random.hpp"

#include <algorithm>
#include <gtest/gtest.h>

TEST(Random, DrawsCoverTheirRangeRepeatAfterAResetAndScaleIntoARange)
{
    resetRandom();
    std::vector<int> draws(200000);
    for (int& draw : draws)
        draw = randomInt();
    const auto [lowest, highest] = std::minmax_element(draws.begin(), draws.end());
    EXPECT_TRUE(*lowest >= 0 && *lowest < 16) << *lowest;
    EXPECT_TRUE(*highest <= randomIntMax && *highest > randomIntMax - 16) << *highest;
    // A reset repeats the sequence; a range scales one raw draw, even between equal bounds.
    resetRandom();
    for (std::size_t i = 0; i < 50; ++i)
        ASSERT_EQ(randomInt(), draws[i]) << "draw " << i;
    resetRandom();
    EXPECT_FLOAT_EQ(randomRange(10.f, 20.f), draws[0] / 32767.f * 10.f + 10.f);
    EXPECT_EQ(randomRange(2.f, 2.f), 2.f);
    EXPECT_EQ(randomInt(), draws[2]);
}
