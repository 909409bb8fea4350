// Scene 8 from its first frame to its hand-over at 1/60 s through the real start-up and
// frame loop: the order in which the image beats start the three pictures, read back from
// their shaders, and the field moving between two frames that no flash darkens.
#include "DemoRun.hpp"
#include "SceneFrames.hpp"
#include "UniformProbe.hpp"
#include "runtime/SharedResources.hpp"
#include "scenes/Pulse.hpp"

#include <algorithm>
#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;
constexpr SceneId fieldFlight = 8;
} // namespace

TEST(FieldFlightScene, StartsThePicturesInTurnMovesTheFieldAndHandsOverOnItsLastFlash)
{
    DemoRun run(fieldFlight);
    ASSERT_TRUE(run.started());
    const SceneSchedule& schedule = scheduleFor(fieldFlight);
    const std::vector<int> flashFrames = firingFrames(schedule.beats, sixtieth);
    const std::vector<int> imageFrames = firingFrames(schedule.cues, sixtieth);
    const int endFrame = handOverFrame(fieldFlight, sixtieth);

    // Two frames 0.1 s apart with no flash on them or in the quarter second before.
    int stillFrame = 0;
    for (std::size_t i = 0; i + 1 < flashFrames.size() && stillFrame == 0; ++i)
        if (flashFrames[i + 1] - flashFrames[i] > 15 + 6)
            stillFrame = flashFrames[i] + 15;
    ASSERT_GT(stillFrame, 0);

    // The pictures take turns 1, 2, 3, 1, 2, 3, ...: right after its image beat a picture's
    // shader holds the level of one update at twice the frame time.
    sf::Shader* const shaders[] = {&wsl1Shader, &wsl2Shader, &wsl3Shader};
    const float firstLevel = layerPulseRates.risePerSecond * 2.f * sixtieth;
    int started = 0;
    sf::Image before;
    for (int frame = 1; frame <= endFrame; ++frame)
    {
        const bool grab = frame == stillFrame || frame == stillFrame + 6 || frame == endFrame;
        const FrameResult result = run.frame(sixtieth, grab);
        if (frame == stillFrame)
            before = run.lastFrame();
        if (frame == endFrame)
        {
            EXPECT_EQ(result.next, schedule.next);
            break;
        }
        ASSERT_EQ(result.next, fieldFlight) << "frame " << frame;
        if (std::count(imageFrames.begin(), imageFrames.end(), frame))
        {
            run.window.setActive(true);
            EXPECT_FLOAT_EQ(uniformFloat(*shaders[started % 3], "iTime"), firstLevel)
                << "image beat " << started << " on frame " << frame;
            ++started;
        }
        if (frame == stillFrame + 6)
        {
            EXPECT_GT(changedShare(before, run.lastFrame()), 0.2) << "the field flies on";
        }
    }
    EXPECT_EQ(started, 8) << "eight image beats fall inside the scene";
    EXPECT_LT(meanBrightness(run.lastFrame()), 1.0) << "the hand-over frame draws nothing";
    EXPECT_EQ(run.errors().find("does not exist"), std::string::npos) << run.errors();
}
