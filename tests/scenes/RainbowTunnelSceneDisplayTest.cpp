// Scene 9 from its first frame to its hand-over at 1/60 s through the real start-up and
// frame loop: the beat jolt as the finger's scatter shader and the tunnel receive it, the
// breathing zoom, and the tunnel moving from frame to frame.
#include "DemoRun.hpp"
#include "SceneFrames.hpp"
#include "UniformProbe.hpp"
#include "runtime/SharedResources.hpp"

#include <algorithm>
#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;
constexpr SceneId rainbowTunnel = 9;
} // namespace

TEST(RainbowTunnelScene, JoltsOnTheBeatBreathesAndHandsOverOnItsLastBeat)
{
    DemoRun run(rainbowTunnel);
    ASSERT_TRUE(run.started());
    const std::vector<int> beatFrames = firingFrames(scheduleFor(rainbowTunnel).beats, sixtieth);
    const int endFrame = handOverFrame(rainbowTunnel, sixtieth);
    const auto isBeat = [&](int frame)
    { return std::count(beatFrames.begin(), beatFrames.end(), frame) != 0; };

    sf::Image before;
    int lastBeat = -1000;
    for (int frame = 1; frame <= endFrame; ++frame)
    {
        const bool grab = frame == 40 || frame == 46 || frame == endFrame;
        const FrameResult result = run.frame(sixtieth, grab);
        if (frame == 40)
            before = run.lastFrame();
        if (frame == endFrame)
        {
            EXPECT_EQ(result.next, scheduleFor(rainbowTunnel).next);
            break;
        }
        ASSERT_EQ(result.next, rainbowTunnel) << "frame " << frame;

        run.window.setActive(true);
        const float zoom = uniformFloat(rainbowTunnelShader, "zoomFactorEx");
        EXPECT_GE(zoom, 0.f);
        EXPECT_LE(zoom, 100.f);
        if (frame == 1)
        {
            EXPECT_NEAR(zoom, 50.f, 1.f);
        }
        const float finger = uniformFloat(fingerShader, "iTime");
        if (isBeat(frame))
        {
            lastBeat = frame;
            EXPECT_EQ(uniformFloat(rainbowTunnelShader, "effect"), 1.f) << "frame " << frame;
            EXPECT_EQ(finger, 0.75f) << "frame " << frame;
        }
        else if (frame - lastBeat >= 30)
        {
            EXPECT_EQ(finger, 1.f) << "half a second after the beat; frame " << frame;
        }
        else
        {
            EXPECT_GT(finger, 0.75f) << "frame " << frame;
        }
        if (frame == 46)
        {
            EXPECT_GT(changedShare(before, run.lastFrame()), 0.2) << "the tunnel moves";
        }
    }
    EXPECT_LT(meanBrightness(run.lastFrame()), 1.0) << "the hand-over frame draws nothing";
    EXPECT_EQ(run.errors().find("does not exist"), std::string::npos) << run.errors();
}
