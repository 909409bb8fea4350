#include "runtime/BeatSchedule.hpp"

#include "TestSupport.hpp"
#include "runtime/BeatTables.hpp"

#include <gtest/gtest.h>

using testsupport::captureStderr;

TEST(BeatSchedule, ScenesFollowEachOtherFrameByFrame)
{
    const DemoSchedule schedule = computeDemoSchedule();
    ASSERT_TRUE(schedule.complete);
    ASSERT_EQ(schedule.scenes.size(), beatSceneChain().size());
    EXPECT_EQ(schedule.scenes.front().startFrame, 0);
    EXPECT_EQ(schedule.scenes[1].startFrame, 176) << "scene 2 hands over on its 176th frame";
    for (std::size_t i = 1; i < schedule.scenes.size(); ++i)
        EXPECT_EQ(schedule.scenes[i].startFrame, schedule.scenes[i - 1].endFrame + 1);
    EXPECT_EQ(schedule.endFrame, schedule.scenes.back().endFrame + 1);
    // About 132 s at 60 frames per second from scene 2 to the end.
    EXPECT_GT(schedule.endFrame, 131 * 60);
    EXPECT_LT(schedule.endFrame, 133 * 60);
}

TEST(BeatSchedule, EveryEntryFiresOnceInsideItsSceneAndTheEndEntryLast)
{
    const DemoSchedule schedule = computeDemoSchedule();
    for (std::size_t s = 0; s < schedule.scenes.size(); ++s)
    {
        const ScheduledScene& scene = schedule.scenes[s];
        const SceneSchedule& table = beatSceneChain()[s];
        std::vector<int> fired(table.beats.times.size(), 0);
        int lastFrame = -1;
        int lastIndex = -1;
        for (const ScheduledBeat& beat : schedule.beats)
        {
            if (beat.scene != scene.scene || beat.cue)
                continue;
            EXPECT_GE(beat.frame, scene.startFrame);
            EXPECT_LE(beat.frame, scene.endFrame);
            EXPECT_GT(beat.frame, lastFrame) << "at most one entry per frame";
            EXPECT_NEAR(beat.time, beat.frame / 60.0, 1e-9);
            ++fired[static_cast<std::size_t>(beat.index)];
            lastFrame = beat.frame;
            lastIndex = beat.index;
        }
        for (std::size_t i = 0; i < fired.size(); ++i)
            EXPECT_EQ(fired[i], 1) << "scene " << scene.scene << " entry " << i;
        EXPECT_EQ(lastIndex, table.endEntry) << "scene " << scene.scene;
        EXPECT_EQ(lastFrame, scene.endFrame);
    }
}

TEST(BeatSchedule, ImageCuesOfTheFieldFlightStopAtItsEnd)
{
    const DemoSchedule schedule = computeDemoSchedule();
    int cues = 0;
    for (const ScheduledBeat& beat : schedule.beats)
        if (beat.cue)
        {
            EXPECT_EQ(beat.scene, 8);
            ++cues;
        }
    EXPECT_EQ(cues, 8) << "the ninth image beat lies after the scene's end";
}

TEST(BeatSchedule, ClosingFadeStartsOnTheFinalesEntryForty)
{
    const DemoSchedule schedule = computeDemoSchedule();
    const ScheduledScene& finale = schedule.scenes.back();
    ASSERT_EQ(finale.scene, 12);
    EXPECT_NEAR(schedule.fadeStart - finale.startFrame / 60.0, 22.928, 1.0 / 60.0);
    EXPECT_DOUBLE_EQ(schedule.fadeSeconds, 4.0);
    EXPECT_NEAR((schedule.endFrame - 1) / 60.0 - schedule.fadeStart, 4.0, 1.0 / 60.0);
}

TEST(BeatSchedule, SceneThatNeverEndsIsReportedAndLeftIncomplete)
{
    DemoSchedule schedule;
    const std::string err = captureStderr([&] { schedule = computeDemoSchedule(60, 10); });
    EXPECT_EQ(err, "BeatSchedule: Scene 2 never ends.\n");
    EXPECT_FALSE(schedule.complete);
    ASSERT_EQ(schedule.scenes.size(), 1u);
    EXPECT_EQ(schedule.endFrame, 10);
}
