// Scene 11 through the real start-up and frame loop: its hand-over frame, the beat flare of
// the moire, and the bubble launches with however many bubbles the bubbles scene left.
#include "DemoRun.hpp"
#include "SceneFrames.hpp"
#include "runtime/BeatSchedule.hpp"
#include "runtime/BeatTables.hpp"
#include "scenes/ShaderBouncer.hpp"

#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;
constexpr SceneId moire = 11;

} // namespace

// Started on its own, the scene finds no bubbles: its beats launch nothing.
TEST(MoireScene, HandsOverOnItsLastBeatWithoutDrawing)
{
    DemoRun run(moire);
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(shaderBouncers.empty());
    const int expected = scheduledFrames(moire);
    ASSERT_GT(expected, 1);
    for (int frame = 1; frame < expected - 1; ++frame)
        ASSERT_EQ(run.frame(sixtieth).next, moire) << "frame " << frame;
    EXPECT_EQ(run.frame(sixtieth, true).next, moire);
    EXPECT_GT(meanBrightness(run.lastFrame()), 20.0) << "the frame before the hand-over is drawn";
    EXPECT_EQ(run.frame(sixtieth, true).next, scheduleFor(moire).next);
    EXPECT_LT(meanBrightness(run.lastFrame()), 1.0) << "nothing is drawn on the hand-over frame";
    EXPECT_EQ(nextBouncer, 0);
}

TEST(MoireScene, FlaresOnTheBeatAndSettlesWithinAnEighthOfASecond)
{
    DemoRun run(moire);
    ASSERT_TRUE(run.started());
    run.frame(sixtieth, true); // the first beat fires on the first frame
    const double beat = meanBrightness(run.lastFrame());
    std::vector<double> after;
    for (int frame = 2; frame <= 18; ++frame)
    {
        run.frame(sixtieth, frame == 9 || frame == 18);
        if (frame == 9 || frame == 18)
            after.push_back(meanBrightness(run.lastFrame()));
    }
    // Eight frames after the beat the pulse is spent: as dark as a frame well after it.
    const double flare = beat - after[1];
    EXPECT_GT(flare, 15.0);
    EXPECT_LT(std::abs(after[0] - after[1]), 0.25 * flare);
}

namespace
{
struct LaunchCase
{
    std::string name;
    std::vector<std::string> sprites; // keys taken out of sprites.json
};

void PrintTo(const LaunchCase& c, std::ostream* out)
{
    *out << c.name;
}

class MoireSceneLaunches : public testing::TestWithParam<LaunchCase>
{
};
} // namespace

// The bubbles scene fills the list first; its beats launch one bubble each, in turn,
// wrapping at the list's real length, and the hand-over beat launches none.
TEST_P(MoireSceneLaunches, TakesTheBubblesInTurn)
{
    DemoTreeCopy copy({{"sprites.json", GetParam().sprites}});
    DemoRun run(10, copy.path());
    ASSERT_TRUE(run.started());
    ASSERT_GT(run.framesUntilHandOver(0.1f, 400), 0);
    ASSERT_EQ(currentScene, moire);
    const std::size_t count = shaderBouncers.size();
    EXPECT_EQ(run.framesUntilHandOver(0.1f, 400), scheduledFrames(moire, 10));
    const int launches = scheduleFor(moire).endEntry;
    EXPECT_EQ(nextBouncer, count ? launches % static_cast<int>(count) : 0);
    for (const ShaderBouncer& bubble : shaderBouncers)
        EXPECT_TRUE(bubble.heavy) << "every bubble had a turn";
}

INSTANTIATE_TEST_SUITE_P(Cases, MoireSceneLaunches,
                         testing::Values(LaunchCase{"twenty", {}}, LaunchCase{"ten", {"bubble9"}},
                                         LaunchCase{"none",
                                                    {"bubble1", "bubble2", "bubble3", "bubble4", "bubble5",
                                                     "bubble6", "bubble7", "bubble8", "bubble9"}}),
                         [](const testing::TestParamInfo<LaunchCase>& info) { return info.param.name; });
