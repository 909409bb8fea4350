#include "TestSupport.hpp"
#include "runtime/BeatSchedule.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/BeatTrack.hpp"
#include "scenes/SceneTable.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

using testsupport::captureStderr;

TEST(BeatTrack, FiresEachEntryOnceOnTheFirstPollThatReachesItOnePerPollInListOrder)
{
    // The table's times and start clock, then each poll's dt and the entry it fires (-1: none).
    using Polls = std::vector<std::pair<float, int>>;
    for (const auto& [times, startClock, polls] : {
             std::tuple{std::vector<float>{}, 0.5f, Polls{{10.f, -1}}},
             {{0.25f, 0.5f}, 0.f, {{0.1f, -1}, {0.1f, -1}, {0.1f, 0}, {0.1f, -1}, {0.15f, 1}, {5.f, -1}}},
             {{0.3f, 0.1f, 0.2f, 9.f}, 0.f, {{1.f, 0}, {0.f, 1}, {0.f, 2}, {0.f, -1}}},
             // The start clock shifts the schedule against the scene's time.
             {{0.05f}, 0.f, {{0.02f, -1}, {0.02f, -1}, {0.02f, 0}}},
             {{0.f}, -0.05f, {{0.02f, -1}, {0.02f, -1}, {0.02f, 0}}},
             {{-0.07f}, -0.05f, {{0.02f, 0}}},
             {{0.11f}, 0.06f, {{0.02f, -1}, {0.02f, -1}, {0.02f, 0}}},
             {{0.f}, 0.06f, {{0.f, 0}}},
         })
    {
        BeatTrack track(BeatTable{times, startClock});
        float clock = startClock;
        for (std::size_t i = 0; i < polls.size(); ++i)
        {
            EXPECT_EQ(track.poll(polls[i].first), polls[i].second) << "poll " << i << " from " << startClock;
            clock += polls[i].first;
        }
        EXPECT_FLOAT_EQ(track.clock, clock);
    }
}

TEST(BeatTrack, SceneFourFiresEntryOneBeforeEntryZeroAsItsClockStartsBehind)
{
    // At 60 Hz from -0.05 s: entry 1 (-0.071 s) at once, entry 0 when the clock reaches 0 on the
    // third poll (3.7e-9 in float), entry 2 (0.199 s) on the fifteenth.
    BeatTrack track(scheduleFor(4).beats);
    std::vector<int> fired;
    for (int poll = 0; poll < 15; ++poll)
        fired.push_back(track.poll(1.0f / 60.0f));
    EXPECT_EQ(fired, (std::vector<int>{1, -1, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 2}));
}

TEST(BeatTrack, ResetRefillsTheEntriesAndRestartsTheClock)
{
    BeatTrack track;
    EXPECT_EQ(std::pair(track.poll(1.0f), track.lastIndex()), std::pair(-1, -1));
    track.reset(BeatTable{{0.0f, 0.1f, 0.2f}, 0.0f});
    EXPECT_EQ(track.poll(1.0f), 0);
    track.reset(BeatTable{{0.5f}, -0.25f});
    ASSERT_EQ(track.beats.size(), 1u);
    EXPECT_EQ(std::pair(track.beats[0].pending, track.clock), std::pair(true, -0.25f));
    EXPECT_EQ(track.poll(0.5f), -1);
    EXPECT_EQ(track.poll(0.25f), 0);
}

TEST(BeatTables, ChainHoldsEverySceneTableInPlayingOrder)
{
    // Per scene, its first time being 0: entry count, last time, start clock, the entry that ends the
    // scene, where it goes, whether that frame is drawn, how many image cues it has, the entry that fades.
    using Row = std::tuple<SceneId, std::size_t, float, float, int, SceneId, bool, std::size_t, int>;
    const Row rows[] = {
        {2, 11, 2.9215f, 0.0f, 10, 3, false, 0, -1},    {3, 30, 8.98092f, 0.0f, 29, 4, false, 0, -1},
        {4, 12, 3.01698f, -0.05f, 11, 5, false, 0, -1}, {5, 35, 11.8204f, -0.05f, 34, 6, false, 0, -1},
        {6, 25, 12.0093f, 0.06f, 24, 65, true, 0, -1},  {65, 9, 12.0405f, -0.03f, 8, 7, false, 0, -1},
        {7, 35, 11.982f, 0.0f, 34, 8, false, 0, -1},    {8, 41, 11.9691f, 0.0f, 40, 9, false, 9, -1},
        {9, 18, 11.9685f, 0.0f, 17, 10, false, 0, -1},  {10, 23, 6.03353f, 0.0f, 22, 11, false, 0, -1},
        {11, 36, 12.0339f, 0.0f, 35, 12, false, 0, -1}, {12, 42, 26.928f, 0.0f, 41, 666, false, 0, 40}};
    const std::vector<SceneSchedule>& chain = beatSchedules();
    ASSERT_EQ(chain.size(), std::size(rows));
    for (std::size_t i = 0; i < chain.size(); ++i)
    {
        const SceneSchedule& s = chain[i];
        EXPECT_EQ(findSchedule(s.scene), &s);
        EXPECT_EQ(s.beats.times.front(), 0.f);
        EXPECT_EQ(Row(s.scene, s.beats.times.size(), s.beats.times.back(), s.beats.startClock, s.endEntry,
                      nextScene(s.scene), s.endFrameDrawn, s.cues.times.size(), s.fadeEntry),
                  rows[i]);
    }
    EXPECT_FLOAT_EQ(scheduleFor(8).cues.times.back(), 12.0398f);
    EXPECT_FLOAT_EQ(scheduleFor(12).beats.times[40], 22.928f);
}

TEST(BeatTables, SceneWithoutScheduleIsReportedAndNeverEnds)
{
    EXPECT_EQ(captureStderr([] { EXPECT_EQ(findSchedule(1), nullptr); }), "");
    const SceneSchedule* fallback = nullptr;
    EXPECT_EQ(captureStderr([&] { fallback = &scheduleFor(14); }),
              "BeatTables: Scene 14 has no beat schedule.\n");
    EXPECT_EQ(std::tuple(fallback->scene, fallback->endEntry, fallback->beats.times.empty()),
              std::tuple(-1, -1, true));
}

TEST(BeatSchedule, ScenesFollowEachOtherEveryEntryFiresOnceInsideItsSceneAndTheFinaleFades)
{
    const DemoSchedule schedule = computeDemoSchedule(demoScenes());
    ASSERT_TRUE(schedule.complete);
    ASSERT_EQ(schedule.scenes.size(), beatSchedules().size());
    EXPECT_EQ(schedule.scenes[1].startFrame, 176) << "scene 2 hands over on its 176th frame";
    EXPECT_EQ(schedule.endFrame, schedule.scenes.back().endFrame + 1);
    EXPECT_NEAR(schedule.endFrame, 132 * 60, 60) << "about 132 s from scene 2 to the end";
    for (std::size_t s = 0; s < schedule.scenes.size(); ++s)
    {
        const ScheduledScene& scene = schedule.scenes[s];
        EXPECT_EQ(scene.startFrame, s > 0 ? schedule.scenes[s - 1].endFrame + 1 : 0);
        std::vector<int> fired(scheduleFor(scene.scene).beats.times.size(), 0);
        int lastFrame = -1, lastIndex = -1;
        for (const ScheduledBeat& beat : schedule.beats)
        {
            if (beat.scene != scene.scene || beat.cue)
                continue;
            EXPECT_GE(beat.frame, scene.startFrame);
            EXPECT_GT(beat.frame, lastFrame) << "at most one entry per frame";
            EXPECT_NEAR(beat.time, beat.frame / 60.0, 1e-9);
            ++fired[static_cast<std::size_t>(beat.index)];
            lastFrame = beat.frame;
            lastIndex = beat.index;
        }
        EXPECT_EQ(fired, std::vector<int>(fired.size(), 1)) << "scene " << scene.scene;
        EXPECT_EQ(lastIndex, scheduleFor(scene.scene).endEntry) << "scene " << scene.scene;
        EXPECT_EQ(lastFrame, scene.endFrame) << "scene " << scene.scene;
    }
    const auto cues = [&](bool fieldFlight)
    {
        return std::count_if(schedule.beats.begin(), schedule.beats.end(),
                             [&](const ScheduledBeat& b) { return b.cue && (b.scene == 8) == fieldFlight; });
    };
    EXPECT_EQ(cues(true), 8) << "the ninth image beat lies after the field flight's end";
    EXPECT_EQ(cues(false), 0);

    const ScheduledScene& finale = schedule.scenes.back();
    ASSERT_EQ(finale.scene, 12);
    EXPECT_NEAR(schedule.fadeStart - finale.startFrame / 60.0, 22.928, 1.0 / 60.0);
    EXPECT_DOUBLE_EQ(schedule.fadeSeconds, 4.0);
    EXPECT_NEAR((schedule.endFrame - 1) / 60.0 - schedule.fadeStart, 4.0, 1.0 / 60.0);
}

TEST(BeatSchedule, SceneThatNeverEndsIsReportedAndLeftIncomplete)
{
    DemoSchedule schedule;
    const std::string err = captureStderr([&] { schedule = computeDemoSchedule(demoScenes(), 60, 10); });
    EXPECT_EQ(err, "BeatSchedule: Scene 2 never ends.\n");
    EXPECT_FALSE(schedule.complete);
    ASSERT_EQ(schedule.scenes.size(), 1u);
    EXPECT_EQ(schedule.endFrame, 10);
}
