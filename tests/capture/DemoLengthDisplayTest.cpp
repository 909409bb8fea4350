// The demo's length in frames, which the capture's progress line counts down from, against
// the real scene routines and against the beat schedule the soundtrack is composed on.
#include "DemoRun.hpp"
#include "capture/DemoLength.hpp"
#include "runtime/BeatSchedule.hpp"
#include "scenes/SceneTable.hpp"

#include <gtest/gtest.h>

// The beat scenes, from scene 2 on, run to the schedule's end frame, which the loop still runs;
// starting later in the chain leaves out exactly the scenes before. An id outside it has no length.
TEST(DemoLength, MatchesTheBeatScheduleFromEveryBeatScene)
{
    for (int fps : {24, 30, 60})
    {
        const DemoSchedule schedule = computeDemoSchedule(demoScenes(), fps);
        ASSERT_TRUE(schedule.complete);
        for (const ScheduledScene& scene : schedule.scenes)
            EXPECT_EQ(demoFrameCount(1.0f / static_cast<float>(fps), scene.scene),
                      schedule.endFrame + 1 - scene.startFrame)
                << fps << " fps from scene " << scene.scene;
    }
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
    EXPECT_EQ(run.framesUntilHandOver(dt, 400), demoFrameCount(dt, 0) - demoFrameCount(dt, 1));
    EXPECT_EQ(run.framesUntilHandOver(dt, 400), demoFrameCount(dt, 1) - demoFrameCount(dt, 2));
}
