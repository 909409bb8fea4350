#include "scenes/PopSprite.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

namespace
{
// Frame lengths that add up exactly in float, so that "after 8 s" is a whole number of frames.
class DrifterFrames : public ::testing::TestWithParam<float>
{
};

TEST_P(DrifterFrames, DrifterHasFullScaleAtOnceAndArrivesExactlyAfterEightSeconds)
{
    const float dt = GetParam();
    const float baseScale = 0.5f;
    const float startX = 372.f, startY = 1250.f, targetX = 1707.f, targetY = 3.f;
    PopSprite picture;
    picture.spawn(startX, startY, nullptr, 1, targetX, targetY, baseScale);
    EXPECT_FALSE(picture.visible);
    picture.visible = true;

    const int frames = static_cast<int>(std::lround(8.0 / dt));
    for (int frame = 1; frame <= frames; ++frame)
    {
        picture.update(dt);
        if (frame == 1)
        {
            EXPECT_EQ(picture.scale, baseScale);
            EXPECT_GT(picture.alpha, 0.f);
            if (dt < 0.25f)
            {
                EXPECT_LT(picture.alpha, 1.f) << "the fade-in lasts a quarter second";
            }
        }
        if (frame == frames - 1)
        {
            EXPECT_NE(picture.x, targetX) << "arrived a frame early";
            EXPECT_NE(picture.y, targetY) << "arrived a frame early";
        }
    }
    EXPECT_EQ(picture.x, targetX);
    EXPECT_EQ(picture.y, targetY);
    EXPECT_EQ(picture.scale, baseScale);

    // Once there it stays there.
    picture.update(dt);
    EXPECT_EQ(picture.x, targetX);
    EXPECT_EQ(picture.y, targetY);
}

INSTANTIATE_TEST_SUITE_P(PopSprite, DrifterFrames, ::testing::Values(0.5f, 0.125f, 1.f / 64.f));

struct LeaveCase
{
    int mode;
    float secondsBeforeLeave;
};

std::ostream& operator<<(std::ostream& stream, const LeaveCase& c)
{
    return stream << "mode " << c.mode << ", leaving after " << c.secondsBeforeLeave << " s";
}

class LeaveRuns : public ::testing::TestWithParam<LeaveCase>
{
};

TEST_P(LeaveRuns, LeftPictureFadesWithoutAFlashAndStaysHidden)
{
    const LeaveCase c = GetParam();
    const float dt = 1.f / 60.f;
    PopSprite picture;
    picture.spawn(600.f, 468.f, nullptr, c.mode, 0.f, 0.f, 0.75f);
    picture.visible = true;
    for (float t = 0.f; t < c.secondsBeforeLeave; t += dt)
        picture.update(dt);

    picture.leave();
    EXPECT_EQ(picture.leaving, 1);
    float lastAlpha = picture.alpha;
    int framesVisible = 0;
    for (int frame = 0; frame < 600 && picture.visible; ++frame)
    {
        picture.update(dt);
        if (!picture.visible)
            break;
        ++framesVisible;
        EXPECT_LE(picture.alpha, lastAlpha) << "the picture brightened while leaving";
        EXPECT_LT(picture.alpha, 1.f);
        lastAlpha = picture.alpha;
    }
    EXPECT_FALSE(picture.visible);
    // 0.75 s of fade: 45 frames, give or take the float clock's rounding.
    EXPECT_GE(framesVisible, 44);
    EXPECT_LE(framesVisible, 46);

    for (int frame = 0; frame < 120; ++frame)
    {
        picture.update(dt);
        EXPECT_FALSE(picture.visible);
    }
}

INSTANTIATE_TEST_SUITE_P(PopSprite, LeaveRuns,
                         ::testing::Values(LeaveCase{0, 1.0f}, LeaveCase{1, 0.1f}, LeaveCase{2, 3.0f},
                                           LeaveCase{0, 20.0f}));

struct FlipCase
{
    float dt;
    int framesToFlip;
};

std::ostream& operator<<(std::ostream& stream, const FlipCase& c)
{
    return stream << "frames of " << c.dt << " s";
}

class FrameFlips : public ::testing::TestWithParam<FlipCase>
{
};

TEST_P(FrameFlips, FramePictureFlipsOncePerQuarterSecondEvenWithLongFrames)
{
    const FlipCase c = GetParam();
    frameTimer = 0.f;
    frameToggle = false;
    bool expected = false;
    for (int frame = 1; frame <= 4 * c.framesToFlip; ++frame)
    {
        stepFrameTimer(c.dt);
        if (frame % c.framesToFlip == 0)
        {
            expected = !expected;
            EXPECT_EQ(frameTimer, 0.f) << "the timer restarts from 0, not from the remainder";
        }
        EXPECT_EQ(frameToggle, expected) << "frame " << frame;
    }
}

// The flip needs the timer strictly over 0.25 s: two frames of 0.125 s are not enough.
INSTANTIATE_TEST_SUITE_P(PopSprite, FrameFlips,
                         ::testing::Values(FlipCase{1.0f, 1}, FlipCase{0.3f, 1}, FlipCase{0.125f, 3},
                                           FlipCase{0.1f, 3}, FlipCase{0.0625f, 5}));
} // namespace
