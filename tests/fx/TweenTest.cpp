#include "fx/Tween.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace
{
constexpr double pi = 3.14159265358979323846;

// Every curve runs from b = 10 by c = 20 over d = 2 s, so that a mix-up of start, change
// and duration shows. Expected values are the curve formulas worked out by hand at
// t = 0.5 (p = 1/4) and t = 1 (p = 1/2).
struct CurveCase
{
    const char* name;
    EaseType type;
    double atQuarter;
    double atHalf;
};

// The bounce shape at the few points the table needs.
const double bounceAt3Quarters = 7.5625 * std::pow(0.75 - 2.25 / 2.75, 2) + 0.9375;
const double bounceAtHalf = 7.5625 * std::pow(0.5 - 1.5 / 2.75, 2) + 0.75;
const double bounceAtQuarter = 7.5625 * 0.25 * 0.25;

const CurveCase curveCases[] = {
    {"Linear", Linear, 15.0, 20.0},
    {"SineIn", SineIn, 10 + 20 * (1 - std::cos(pi / 8)), 10 + 20 * (1 - std::cos(pi / 4))},
    {"SineOut", SineOut, 10 + 20 * std::sin(pi / 8), 10 + 20 * std::sin(pi / 4)},
    {"SineInOut", SineInOut, 10 + 10 * (1 - std::cos(pi / 4)), 20.0},
    {"CubicIn", CubicIn, 10 + 20 / 64.0, 10 + 20 / 8.0},
    {"CubicOut", CubicOut, 10 + 20 * (1 - 27 / 64.0), 10 + 20 * (1 - 1 / 8.0)},
    {"CubicInOut", CubicInOut, 10 + 10 / 8.0, 20.0},
    {"BackIn", BackIn, 10 + 20 / 16.0 * (2.70158 / 4 - 1.70158), 10 + 20 / 4.0 * (2.70158 / 2 - 1.70158)},
    {"BackOut", BackOut, 10 + 20 * (9 / 16.0 * (-2.70158 * 0.75 + 1.70158) + 1),
     10 + 20 * (0.25 * (-2.70158 * 0.5 + 1.70158) + 1)},
    {"BackInOut", BackInOut, 10 + 10 * 0.25 * (3.5949094 * 0.5 - 2.5949094), 20.0},
    {"CircIn", CircIn, 10 - 20 * (std::sqrt(1 - 1 / 16.0) - 1), 10 - 20 * (std::sqrt(0.75) - 1)},
    {"CircOut", CircOut, 10 + 20 * std::sqrt(1 - 9 / 16.0), 10 + 20 * std::sqrt(0.75)},
    {"CircInOut", CircInOut, 10 - 10 * (std::sqrt(0.75) - 1), 20.0},
    {"ExpoIn", ExpoIn, 10 + 20 * std::pow(2.0, -7.5), 10 + 20 * std::pow(2.0, -5.0)},
    {"ExpoOut", ExpoOut, 10 + 20 * (1 - std::pow(2.0, -2.5)), 10 + 20 * (1 - std::pow(2.0, -5.0))},
    {"ExpoInOut", ExpoInOut, 10 + 10 * std::pow(2.0, -5.0), 20.0},
    {"BounceOut", BounceOut, 10 + 20 * bounceAtQuarter, 10 + 20 * bounceAtHalf},
    {"BounceIn", BounceIn, 10 + 20 - 20 * bounceAt3Quarters, 10 + 20 - 20 * bounceAtHalf},
    {"BounceInOut", BounceInOut, 10 + (20 - 20 * bounceAtHalf) * 0.5, 20.0},
};

class TweenCurve : public testing::TestWithParam<CurveCase>
{
};
} // namespace

TEST_P(TweenCurve, MatchesItsFormulaAtStartMiddleAndEnd)
{
    Tween tween;
    tween.type = GetParam().type;
    EXPECT_NEAR(tween.ease(0.f, 10.f, 20.f, 2.f), 10.0, 1e-4);
    EXPECT_NEAR(tween.ease(0.5f, 10.f, 20.f, 2.f), GetParam().atQuarter, 1e-4);
    EXPECT_NEAR(tween.ease(1.f, 10.f, 20.f, 2.f), GetParam().atHalf, 1e-4);
    EXPECT_NEAR(tween.ease(2.f, 10.f, 20.f, 2.f), 30.0, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Tween, TweenCurve, testing::ValuesIn(curveCases),
                         [](const testing::TestParamInfo<CurveCase>& info) { return info.param.name; });

TEST(Tween, UnknownTypeFallsBackToLinear)
{
    Tween tween;
    tween.type = static_cast<EaseType>(42);
    EXPECT_FLOAT_EQ(tween.ease(0.5f, 10.f, 20.f, 2.f), 15.f);
}

TEST(Tween, ExpoCurvesHitTheirEndsExactly)
{
    Tween tween;
    tween.type = ExpoIn;
    EXPECT_EQ(tween.ease(0.f, 3.25f, 7.f, 1.5f), 3.25f);
    tween.type = ExpoOut;
    EXPECT_EQ(tween.ease(1.5f, 3.25f, 7.f, 1.5f), 3.25f + 7.f);
    tween.type = ExpoInOut;
    EXPECT_EQ(tween.ease(0.f, 3.25f, 7.f, 1.5f), 3.25f);
    EXPECT_EQ(tween.ease(1.5f, 3.25f, 7.f, 1.5f), 3.25f + 7.f);
}

TEST(Tween, BackOutOvershootsAndEndsOnTarget)
{
    Tween tween;
    tween.set(0.f, 1.f, 1.f, BackOut, 0.f);
    tween.start();
    float peak = 0.f;
    float peakTime = 0.f;
    // Steps of 1/64 s add up to exactly 1 s in float.
    for (int step = 1; step <= 64; ++step)
    {
        tween.update(1.f / 64.f);
        const float value = tween.getValue();
        if (value > peak)
        {
            peak = value;
            peakTime = tween.elapsed;
        }
    }
    EXPECT_NEAR(peak, 1.10, 0.005);
    EXPECT_NEAR(peakTime, 0.58, 0.02);
    EXPECT_FALSE(tween.active);
    EXPECT_EQ(tween.getValue(), 1.f);
}

TEST(Tween, HoldsItsStartValueUntilStarted)
{
    Tween tween;
    tween.update(1.f);
    EXPECT_FALSE(tween.active);
    EXPECT_EQ(tween.getValue(), 0.f);
    tween.set(4.f, 9.f, 2.f, CubicIn, 0.f);
    EXPECT_EQ(tween.change, 5.f);
    EXPECT_EQ(tween.value, 4.f);
    tween.update(1.f);
    EXPECT_EQ(tween.elapsed, 0.f);
    EXPECT_EQ(tween.getValue(), 4.f);
}

TEST(Tween, DelayRunsOutWithoutCarryingOver)
{
    Tween tween;
    tween.set(0.f, 1.f, 1.f, Linear, 0.5f);
    tween.start();
    tween.update(0.3f);
    EXPECT_NEAR(tween.delay, 0.2f, 1e-6);
    EXPECT_EQ(tween.elapsed, 0.f);
    tween.update(0.3f);
    EXPECT_EQ(tween.delay, 0.f);
    EXPECT_EQ(tween.elapsed, 0.f);
    tween.update(0.3f);
    EXPECT_FLOAT_EQ(tween.elapsed, 0.3f);
}

TEST(Tween, EndsAtExactlyToAndStops)
{
    Tween tween;
    tween.set(1.f, 1.7f, 0.3f, BounceOut, 0.f);
    tween.start();
    tween.update(0.1f);
    tween.update(0.1f);
    tween.update(0.1f);
    tween.update(0.1f); // past the end: only getValue stops a tween
    EXPECT_TRUE(tween.active);
    EXPECT_EQ(tween.getValue(), 1.7f);
    EXPECT_FALSE(tween.active);
    const float elapsed = tween.elapsed;
    tween.update(0.5f);
    EXPECT_EQ(tween.elapsed, elapsed);
    EXPECT_EQ(tween.getValue(), 1.7f);
}
