#include "fx/Random.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

TEST(Random, DrawsCoverTheirRangeRepeatAfterAResetAndScaleIntoARange)
{
    Random random;
    std::vector<int> draws(200000);
    for (int& draw : draws)
        draw = randomInt(random);
    const auto [lowest, highest] = std::minmax_element(draws.begin(), draws.end());
    EXPECT_TRUE(*lowest >= 0 && *lowest < 16) << *lowest;
    EXPECT_TRUE(*highest <= randomIntMax && *highest > randomIntMax - 16) << *highest;
    // Every new generator draws the same sequence, and a copy goes on from where its original is.
    Random fresh;
    for (std::size_t i = 0; i < 50; ++i)
        ASSERT_EQ(randomInt(fresh), draws[i]) << "draw " << i;
    Random copy = fresh;
    EXPECT_EQ(randomInt(copy), draws[50]);
    EXPECT_EQ(randomInt(fresh), draws[50]);
    // A reset repeats the sequence; a range scales one raw draw, even between equal bounds.
    random.reset();
    EXPECT_FLOAT_EQ(randomRange(random, 10.f, 20.f), draws[0] / 32767.f * 10.f + 10.f);
    EXPECT_EQ(randomRange(random, 2.f, 2.f), 2.f);
    EXPECT_EQ(randomInt(random), draws[2]);
}
