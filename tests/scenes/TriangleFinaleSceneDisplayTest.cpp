// Scene 12 through the real start-up and frame loop: the end of the demo on its last beat,
// and the closing overlay that fades it to black.
#include "DemoRun.hpp"
#include "SceneFrames.hpp"
#include "runtime/BeatSchedule.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/SharedResources.hpp"
#include "scenes/SceneHelpers.hpp"

#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;
constexpr SceneId finale = 12;

} // namespace

TEST(TriangleFinaleScene, EndsTheDemoOnItsLastBeatAfterFadingToBlack)
{
    DemoRun run(finale);
    ASSERT_TRUE(run.started());
    const int expected = scheduledFrames(finale);
    ASSERT_GT(expected, 1);
    run.frame(sixtieth, true);
    EXPECT_GT(meanBrightness(run.lastFrame()), 20.0) << "the triangles are on screen";
    for (int frame = 2; frame < expected - 1; ++frame)
        ASSERT_EQ(run.frame(sixtieth).next, finale) << "frame " << frame;
    EXPECT_EQ(run.frame(sixtieth, true).next, finale);
    EXPECT_LT(meanBrightness(run.lastFrame()), 2.0) << "the last picture is (almost) black";
    const FrameResult end = run.frame(sixtieth, true);
    EXPECT_EQ(end.next, endOfDemo);
    EXPECT_LT(meanBrightness(run.lastFrame()), 0.5) << "nothing is drawn on the last frame";
    EXPECT_EQ(fadeMode, 0) << "the scene fades by itself, not through the main loop";
}

// The overlay starts with the fade's beat and is drawn on that same frame, already advanced
// by the frame's time. A long frame makes its opacity plain to see; the beat also swells the
// triangles, so the frame is compared with itself redrawn without the overlay.
TEST(TriangleFinaleScene, FadeBeatDrawsTheOverlayOnItsOwnFrame)
{
    const SceneSchedule& schedule = scheduleFor(finale);
    const float coarse = 0.1f;
    // The frame on which the fade's beat would fire at this step, found on a private track.
    BeatTrack track(schedule.beats);
    int fadeFrame = 1;
    while (track.poll(coarse) != schedule.fadeEntry)
        ++fadeFrame;

    DemoRun run(finale);
    ASSERT_TRUE(run.started());
    for (int frame = 1; frame < fadeFrame; ++frame)
        run.frame(coarse);
    const float longFrame = 2.f;
    run.frame(longFrame, true);
    const double withOverlay = meanBrightness(run.lastFrame());

    // The same picture without the overlay: the triangle pass and the text layer, which
    // keep this frame's uniforms and letters until the next frame clears them.
    run.window.clear();
    drawShaderPass(run.window, triShader, 1);
    run.window.draw(layer1Sprite, sf::RenderStates(&rainbowShader));
    sf::Texture texture;
    texture.create(run.window.getSize().x, run.window.getSize().y);
    texture.update(run.window);
    const double without = meanBrightness(texture.copyToImage());
    ASSERT_GT(without, 20.0);
    const double overlay = static_cast<int>(longFrame / schedule.fadeSeconds * 255.f) / 255.0;
    EXPECT_NEAR(withOverlay / without, 1.0 - overlay, 0.03);
}
