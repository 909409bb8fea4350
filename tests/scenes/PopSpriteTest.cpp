// The cute pictures' drifter and exit and the frame picture's flip, without a window.
#include "scenes/PopSprite.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

// Frame lengths that add up exactly in float (8 s is whole frames); the fade-in lasts 0.25 s.
TEST(PopSprite, DrifterHasFullScaleAtOnceAndArrivesExactlyAfterEightSeconds)
{
    for (const float dt : {0.5f, 0.125f, 1.f / 64.f})
    {
        PopSprite picture;
        picture.spawn(372.f, 1250.f, nullptr, 1, 1707.f, 3.f, 0.5f);
        EXPECT_FALSE(picture.visible);
        picture.visible = true;
        const int frames = static_cast<int>(std::lround(8.0 / dt));
        for (int frame = 1; frame <= frames + 1; ++frame)
        {
            picture.update(dt);
            EXPECT_EQ(picture.scale, 0.5f);
            EXPECT_TRUE(frame > 1 || (picture.alpha > 0.f && (picture.alpha < 1.f || dt >= 0.25f)))
                << "fading in";
            EXPECT_EQ(picture.x == 1707.f, frame >= frames) << "frames of " << dt << ", frame " << frame;
            EXPECT_EQ(picture.y == 3.f, frame >= frames) << "frames of " << dt << ", frame " << frame;
        }
    }
}

// A riser floats 200 pixels up in 7 s, overshooting a little before it settles.
TEST(PopSprite, RiserFloatsTwoHundredPixelsUpInSevenSeconds)
{
    PopSprite picture;
    picture.spawn(372.f, 700.f, nullptr, 2, 0.f, 0.f, 0.5f);
    picture.visible = true;
    float highest = 700.f;
    for (int frame = 1; frame <= 7 * 64; ++frame)
    {
        picture.update(1.f / 64.f);
        highest = std::min(highest, picture.y);
    }
    EXPECT_FLOAT_EQ(picture.y, 500.f);
    EXPECT_LT(highest, 499.f);
}

// A leaving picture fades over 0.75 s (45 frames, give or take) without brightening, then hides.
TEST(PopSprite, LeftPictureFadesWithoutAFlashAndStaysHidden)
{
    const float dt = 1.f / 60.f;
    for (const auto& [mode, seconds] : {std::pair{0, 1.f}, {1, 0.1f}, {2, 3.f}, {0, 20.f}})
    {
        SCOPED_TRACE(testing::Message() << "mode " << mode << ", leaving after " << seconds << " s");
        PopSprite picture;
        picture.spawn(600.f, 468.f, nullptr, mode, 0.f, 0.f, 0.75f);
        picture.visible = true;
        for (float t = 0.f; t < seconds; t += dt)
            picture.update(dt);
        picture.leave();
        EXPECT_EQ(picture.leaving, 1);
        float lastAlpha = picture.alpha;
        int framesVisible = 0;
        for (picture.update(dt); picture.visible && framesVisible < 600; picture.update(dt), ++framesVisible)
        {
            EXPECT_LE(picture.alpha, lastAlpha) << "brightened while leaving";
            EXPECT_LT(picture.alpha, 1.f);
            lastAlpha = picture.alpha;
        }
        EXPECT_GE(framesVisible, 44);
        EXPECT_LE(framesVisible, 46);
        for (int frame = 0; frame < 120; ++frame, picture.update(dt))
            EXPECT_FALSE(picture.visible);
    }
}

// The flip needs the timer strictly over 0.25 s: two frames of 0.125 s are not enough.
TEST(PopSprite, FramePictureFlipsOncePerQuarterSecondEvenWithLongFrames)
{
    for (const auto& [dt, framesToFlip] :
         {std::pair{1.f, 1}, {0.3f, 1}, {0.125f, 3}, {0.1f, 3}, {0.0625f, 5}})
    {
        float frameTimer = 0.f;
        bool frameToggle = false;
        for (int frame = 1; frame <= 4 * framesToFlip; ++frame)
        {
            stepFrameTimer(frameTimer, frameToggle, dt);
            EXPECT_EQ(frameToggle, frame / framesToFlip % 2 == 1)
                << "frames of " << dt << ", frame " << frame;
            EXPECT_TRUE(frame % framesToFlip != 0 || frameTimer == 0.f)
                << "restarts from 0, not the remainder";
        }
    }
}
