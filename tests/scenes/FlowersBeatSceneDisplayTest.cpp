// Scene 7 from its first frame to its hand-over at 1/60 s through the real start-up and
// frame loop: the star count the blob shader receives, the inset's scale, and what the
// window shows on beat frames, when the veil hides everything drawn before it.
#include "DemoRun.hpp"
#include "SceneFrames.hpp"
#include "UniformProbe.hpp"
#include "runtime/SharedResources.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;
constexpr SceneId flowersBeat = 7;

// Left edge of the bright (letter) pixels above the inset; -1 when there are none.
int lettersLeftEdge(const sf::Image& frame, int& brightPixels)
{
    int left = -1;
    brightPixels = 0;
    for (unsigned y = 100; y < 820; y += 2)
        for (unsigned x = 0; x < 1920; x += 2)
            if (brightness(frame.getPixel(x, y)) > 60.0)
            {
                ++brightPixels;
                if (left < 0 || static_cast<int>(x) < left)
                    left = static_cast<int>(x);
            }
    return left;
}
} // namespace

TEST(FlowersBeatScene, FlashesCountsStarsShrinksItsInsetAndHandsOverOnItsLastBeat)
{
    DemoRun run(flowersBeat);
    ASSERT_TRUE(run.started());
    const std::vector<int> beatFrames = firingFrames(scheduleFor(flowersBeat).beats, sixtieth);
    const int endFrame = handOverFrame(flowersBeat, sixtieth);
    const int shrinkFrame = beatFrames[16];
    const int veilGoneFrame = beatFrames[0] + 15; // 0.25 s after the first beat
    ASSERT_LT(veilGoneFrame, beatFrames[1]);
    const int insetGoneFrame = *std::find_if(beatFrames.begin(), beatFrames.end(),
                                             [&](int frame) { return frame > shrinkFrame + 60; });

    std::map<int, sf::Image> grabbed;
    const std::set<int> toGrab = {beatFrames[0], veilGoneFrame,  beatFrames[5],
                                  beatFrames[6], insetGoneFrame, endFrame};
    int stars = -1;
    for (int frame = 1; frame <= endFrame; ++frame)
    {
        const FrameResult result = run.frame(sixtieth, toGrab.count(frame) != 0);
        if (toGrab.count(frame))
            grabbed[frame] = run.lastFrame();
        if (frame == endFrame)
        {
            EXPECT_EQ(result.next, scheduleFor(flowersBeat).next);
            break;
        }
        ASSERT_EQ(result.next, flowersBeat) << "frame " << frame;

        run.window.setActive(true);
        const int sent = uniformInt(blobShader, "numStars");
        const bool beat = std::count(beatFrames.begin(), beatFrames.end(), frame) != 0;
        if (beat)
        {
            EXPECT_EQ(sent, 89) << "frame " << frame;
        }
        else
        {
            EXPECT_EQ(sent, std::max(50, stars - 1)) << "one star fewer a frame, down to 50; frame " << frame;
        }
        stars = sent;

        if (frame < shrinkFrame)
        {
            ASSERT_EQ(layer3Sprite.getScale().x, 0.2f) << "frame " << frame;
        }
        else
        {
            ASSERT_LT(layer3Sprite.getScale().x, 0.2f) << "frame " << frame;
        }
    }
    EXPECT_EQ(layer3Sprite.getScale().x, 0.f) << "the shrink ends exactly at 0";

    // A beat frame: the veil is opaque, only the inset and the letters drawn after it show.
    const sf::Image& beat = grabbed[beatFrames[0]];
    EXPECT_LT(brightness(meanColour(beat, 300, 950)), 5.0) << "veil";
    EXPECT_GT(brightness(meanColour(beat, 1680, 935)), 40.0) << "inset";
    EXPECT_LT(brightness(meanColour(beat, 1680, 800)), 5.0) << "just above the inset";
    EXPECT_GT(brightness(meanColour(grabbed[veilGoneFrame], 300, 950)), 40.0) << "veil lifted";
    EXPECT_LT(brightness(meanColour(grabbed[insetGoneFrame], 1680, 935)), 5.0) << "inset shrunk away";

    // The letters are on screen and have moved left at the text's speed between two beats.
    int brightThen = 0;
    int brightLater = 0;
    const int leftThen = lettersLeftEdge(grabbed[beatFrames[5]], brightThen);
    const int leftLater = lettersLeftEdge(grabbed[beatFrames[6]], brightLater);
    EXPECT_GT(brightThen, 2000);
    EXPECT_GT(brightLater, 2000);
    const double expectedShift = -startedEndedText.speed * (beatFrames[6] - beatFrames[5]) * sixtieth;
    EXPECT_NEAR(leftThen - leftLater, expectedShift, 30.0);

    EXPECT_LT(meanBrightness(grabbed[endFrame]), 1.0) << "the hand-over frame draws nothing";
    EXPECT_EQ(run.errors().find("does not exist"), std::string::npos) << run.errors();
}
