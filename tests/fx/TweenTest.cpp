#include "fx/Tween.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace
{
constexpr double pi = 3.14159265358979323846;

// The bounce shape at the few points the table needs.
const double bounceAt3Quarters = 7.5625 * std::pow(0.75 - 2.25 / 2.75, 2) + 0.9375;
const double bounceAtHalf = 7.5625 * std::pow(0.5 - 1.5 / 2.75, 2) + 0.75;

// Every curve runs from b = 10 by c = 20 over d = 2 s, so that a mix-up of start, change and
// duration shows. Expected values are the curve formulas worked out by hand at t = 0.5
// (p = 1/4) and t = 1 (p = 1/2).
const std::tuple<const char*, EaseType, double, double> curves[] = {
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
    {"BounceOut", BounceOut, 10 + 20 * 7.5625 / 16, 10 + 20 * bounceAtHalf},
    {"BounceIn", BounceIn, 10 + 20 - 20 * bounceAt3Quarters, 10 + 20 - 20 * bounceAtHalf},
    {"BounceInOut", BounceInOut, 10 + (20 - 20 * bounceAtHalf) * 0.5, 20.0},
    {"no curve: linear rather than garbage", static_cast<EaseType>(42), 15.0, 20.0},
};

} // namespace

TEST(Tween, EveryCurveMatchesItsFormulaAtStartQuarterHalfAndEnd)
{
    for (const auto& [name, type, atQuarter, atHalf] : curves)
    {
        Tween tween;
        tween.type = type;
        EXPECT_NEAR(tween.ease(0.f, 10.f, 20.f, 2.f), 10.0, 1e-4) << name;
        EXPECT_NEAR(tween.ease(0.5f, 10.f, 20.f, 2.f), atQuarter, 1e-4) << name;
        EXPECT_NEAR(tween.ease(1.f, 10.f, 20.f, 2.f), atHalf, 1e-4) << name;
        EXPECT_NEAR(tween.ease(2.f, 10.f, 20.f, 2.f), 30.0, 1e-4) << name;
    }
}

TEST(Tween, HoldsItsStartValueUntilStartedWaitsOutItsDelayAndEndsAtExactlyTo)
{
    Tween tween;
    tween.update(1.f);
    EXPECT_EQ(std::pair(tween.active, tween.getValue()), std::pair(false, 0.f));
    tween.set(4.f, 9.f, 2.f, CubicIn, 0.5f);
    EXPECT_EQ(tween.change, 5.f);
    tween.update(1.f);
    EXPECT_EQ(std::tuple(tween.elapsed, tween.delay, tween.getValue()), std::tuple(0.f, 0.5f, 4.f));

    // The frame that ends the delay does not carry its remainder over.
    tween.start();
    tween.update(0.3f);
    EXPECT_EQ(tween.elapsed, 0.f);
    EXPECT_NEAR(tween.delay, 0.2f, 1e-6);
    tween.update(0.3f);
    EXPECT_EQ(std::pair(tween.elapsed, tween.delay), std::pair(0.f, 0.f));
    tween.update(0.3f);
    EXPECT_FLOAT_EQ(tween.elapsed, 0.3f);

    tween.update(2.f); // past the end: only getValue stops a tween
    EXPECT_TRUE(tween.active);
    EXPECT_EQ(tween.getValue(), 9.f);
    EXPECT_FALSE(tween.active);
    tween.update(0.5f);
    EXPECT_EQ(std::pair(tween.elapsed, tween.getValue()), std::pair(2.3f, 9.f));
}
