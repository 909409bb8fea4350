// The demo's length in frames, which the capture's progress line counts down from, against
// the real scene routines and against the beat schedule the soundtrack is composed on.
#include "DemoRun.hpp"
#include "capture/DemoLength.hpp"
#include "runtime/BeatSchedule.hpp"

#include <gtest/gtest.h>

namespace
{
class BeatChainLength : public testing::TestWithParam<int>
{
};

// The beat scenes run to the schedule's end frame, which the loop still runs.
TEST_P(BeatChainLength, MatchesTheBeatSchedule)
{
    const int fps = GetParam();
    const DemoSchedule schedule = computeDemoSchedule(fps);
    ASSERT_TRUE(schedule.complete);
    EXPECT_EQ(demoFrameCount(1.0f / static_cast<float>(fps), 2), schedule.endFrame + 1);
    // Starting later in the chain leaves out exactly the scenes before.
    for (const ScheduledScene& scene : schedule.scenes)
        EXPECT_EQ(demoFrameCount(1.0f / static_cast<float>(fps), scene.scene),
                  schedule.endFrame + 1 - scene.startFrame)
            << "from scene " << scene.scene;
}

INSTANTIATE_TEST_SUITE_P(Rates, BeatChainLength, testing::Values(24, 30, 60));

TEST(DemoLength, AnIdOutsideTheChainHasNoLength)
{
    EXPECT_EQ(demoFrameCount(1.f / 60.f, 14), 0);
    EXPECT_EQ(demoFrameCount(1.f / 60.f, endOfDemo), 0);
    EXPECT_EQ(demoFrameCount(0.f, 0), 0);
}

// The two timed scenes, run through their real routines at a coarse step, hand over on the
// frames the count gives them.
TEST(DemoLength, OpeningScenesHandOverWhereTheCountSays)
{
    const float dt = 0.25f;
    testsupport::DemoRun run(0);
    ASSERT_TRUE(run.started());
    const int openingFrames = run.framesUntilHandOver(dt, 400);
    const int logoFrames = run.framesUntilHandOver(dt, 400);
    EXPECT_EQ(openingFrames, demoFrameCount(dt, 0) - demoFrameCount(dt, 1));
    EXPECT_EQ(logoFrames, demoFrameCount(dt, 1) - demoFrameCount(dt, 2));
}
} // namespace
