#include "runtime/BeatTrack.hpp"

#include "TestSupport.hpp"
#include "runtime/BeatTables.hpp"

#include <gtest/gtest.h>

using testsupport::captureStderr;

namespace
{
// Polls until an entry fires (or limit polls pass) and returns how many polls it took.
int pollsUntilFire(BeatTrack& track, float dt, int limit = 10000)
{
    for (int poll = 1; poll <= limit; ++poll)
        if (track.poll(dt) >= 0)
            return poll;
    return -1;
}
} // namespace

TEST(BeatTrack, EmptyTrackNeverFires)
{
    BeatTrack track;
    EXPECT_EQ(track.poll(1.0f), -1);
    EXPECT_EQ(track.lastIndex(), -1);
    BeatTrack filled(BeatTable{{}, 0.5f});
    EXPECT_EQ(filled.poll(10.0f), -1);
    EXPECT_FLOAT_EQ(filled.clock, 10.5f);
}

TEST(BeatTrack, EachEntryFiresOnceOnTheFirstPollThatReachesIt)
{
    BeatTrack track(BeatTable{{0.25f, 0.5f}, 0.0f});
    EXPECT_EQ(track.poll(0.1f), -1);
    EXPECT_EQ(track.poll(0.1f), -1);
    EXPECT_EQ(track.poll(0.1f), 0);
    EXPECT_FALSE(track.beats[0].pending);
    EXPECT_TRUE(track.beats[1].pending);
    EXPECT_EQ(track.poll(0.1f), -1);
    EXPECT_EQ(track.poll(0.15f), 1);
    EXPECT_EQ(track.poll(5.0f), -1);
}

TEST(BeatTrack, EntriesDueTogetherFireOnConsecutiveCallsInListOrder)
{
    BeatTrack track(BeatTable{{0.3f, 0.1f, 0.2f, 9.0f}, 0.0f});
    EXPECT_EQ(track.poll(1.0f), 0);
    EXPECT_EQ(track.poll(0.0f), 1);
    EXPECT_EQ(track.poll(0.0f), 2);
    EXPECT_EQ(track.poll(0.0f), -1);
    EXPECT_TRUE(track.beats[3].pending);
}

TEST(BeatTrack, SceneFourFiresEntryOneBeforeEntryZero)
{
    BeatTrack track(scheduleFor(4).beats);
    const float dt = 1.0f / 60.0f;
    EXPECT_EQ(track.poll(dt), 1);
    int entryZeroPoll = 0;
    for (int poll = 2; poll < 10 && entryZeroPoll == 0; ++poll)
    {
        const float before = track.clock;
        const int fired = track.poll(dt);
        if (fired >= 0)
        {
            EXPECT_EQ(fired, 0) << "entry 0 must come before entry 2";
            EXPECT_LT(before, 0.0f);
            EXPECT_GE(track.clock, 0.0f);
            entryZeroPoll = poll;
        }
    }
    EXPECT_GT(entryZeroPoll, 2) << "entry 0 waits for the clock, which starts 0.05 s behind";
    EXPECT_EQ(pollsUntilFire(track, dt), 12) << "entry 2 at 0.198742 s needs the clock 0.25 s on";
}

struct StartClockCase
{
    float startClock;
    float entryTime;
    float dt;
    int expectedPoll;
};

void PrintTo(const StartClockCase& c, std::ostream* out)
{
    *out << "start " << c.startClock << ", entry " << c.entryTime << ", dt " << c.dt;
}

class BeatTrackStartClock : public testing::TestWithParam<StartClockCase>
{
};

TEST_P(BeatTrackStartClock, ShiftsTheScheduleAgainstTheSceneTime)
{
    const StartClockCase& c = GetParam();
    BeatTrack track(BeatTable{{c.entryTime}, c.startClock});
    EXPECT_FLOAT_EQ(track.clock, c.startClock);
    EXPECT_EQ(pollsUntilFire(track, c.dt), c.expectedPoll);
}

INSTANTIATE_TEST_SUITE_P(Clocks, BeatTrackStartClock,
                         testing::Values(StartClockCase{0.0f, 0.05f, 0.02f, 3},    // 0.02, 0.04, 0.06
                                         StartClockCase{-0.05f, 0.0f, 0.02f, 3},   // -0.03, -0.01, 0.01
                                         StartClockCase{-0.05f, -0.07f, 0.02f, 1}, // already due at -0.03
                                         StartClockCase{0.06f, 0.11f, 0.02f, 3},   // 0.08, 0.10, 0.12
                                         StartClockCase{0.06f, 0.0f, 0.0f, 1})); // due before any time passes

TEST(BeatTrack, ResetRefillsTheEntriesAndRestartsTheClock)
{
    BeatTrack track(BeatTable{{0.0f, 0.1f, 0.2f}, 0.0f});
    EXPECT_EQ(track.poll(1.0f), 0);
    track.reset(BeatTable{{0.5f}, -0.25f});
    ASSERT_EQ(track.beats.size(), 1u);
    EXPECT_TRUE(track.beats[0].pending);
    EXPECT_FLOAT_EQ(track.clock, -0.25f);
    EXPECT_EQ(track.poll(0.5f), -1);
    EXPECT_EQ(track.poll(0.25f), 0);
}

// What every beat scene declares: its entry count, first and last time, start clock,
// the entry that ends it and where it goes.
struct SceneTableCase
{
    SceneId scene;
    std::size_t count;
    float firstTime;
    float lastTime;
    float startClock;
    int endEntry;
    SceneId next;
    bool endFrameDrawn;
};

void PrintTo(const SceneTableCase& c, std::ostream* out)
{
    *out << "scene " << c.scene;
}

class BeatTablesScene : public testing::TestWithParam<SceneTableCase>
{
};

TEST_P(BeatTablesScene, HoldsTheSceneTable)
{
    const SceneTableCase& c = GetParam();
    const SceneSchedule* schedule = findSchedule(c.scene);
    ASSERT_NE(schedule, nullptr);
    EXPECT_EQ(schedule->scene, c.scene);
    ASSERT_EQ(schedule->beats.times.size(), c.count);
    EXPECT_FLOAT_EQ(schedule->beats.times.front(), c.firstTime);
    EXPECT_FLOAT_EQ(schedule->beats.times.back(), c.lastTime);
    EXPECT_FLOAT_EQ(schedule->beats.startClock, c.startClock);
    EXPECT_EQ(schedule->endEntry, c.endEntry);
    EXPECT_EQ(schedule->next, c.next);
    EXPECT_EQ(schedule->endFrameDrawn, c.endFrameDrawn);
}

INSTANTIATE_TEST_SUITE_P(Scenes, BeatTablesScene,
                         testing::Values(SceneTableCase{2, 11, 0.0f, 2.9215f, 0.0f, 10, 3, false},
                                         SceneTableCase{3, 30, 0.0f, 8.98092f, 0.0f, 29, 4, false},
                                         SceneTableCase{4, 12, 0.0f, 3.01698f, -0.05f, 11, 5, false},
                                         SceneTableCase{5, 35, 0.0f, 11.8204f, -0.05f, 34, 6, false},
                                         SceneTableCase{6, 25, 0.0f, 12.0093f, 0.06f, 24, 65, true},
                                         SceneTableCase{65, 9, 0.0f, 12.0405f, -0.03f, 8, 7, false},
                                         SceneTableCase{7, 35, 0.0f, 11.982f, 0.0f, 34, 8, false},
                                         SceneTableCase{8, 41, 0.0f, 11.9691f, 0.0f, 40, 9, false},
                                         SceneTableCase{9, 18, 0.0f, 11.9685f, 0.0f, 17, 10, false},
                                         SceneTableCase{10, 23, 0.0f, 6.03353f, 0.0f, 22, 11, false},
                                         SceneTableCase{11, 36, 0.0f, 12.0339f, 0.0f, 35, 12, false},
                                         SceneTableCase{12, 42, 0.0f, 26.928f, 0.0f, 41, 666, false}),
                         [](const testing::TestParamInfo<SceneTableCase>& info)
                         { return "Scene" + std::to_string(info.param.scene); });

TEST(BeatTables, ChainRunsFromSceneTwoToTheEndInPlayingOrder)
{
    const std::vector<SceneId> expected = {2, 3, 4, 5, 6, 65, 7, 8, 9, 10, 11, 12};
    const std::vector<SceneSchedule>& chain = beatSceneChain();
    ASSERT_EQ(chain.size(), expected.size());
    for (std::size_t i = 0; i < chain.size(); ++i)
    {
        EXPECT_EQ(chain[i].scene, expected[i]);
        EXPECT_EQ(chain[i].next, i + 1 < chain.size() ? expected[i + 1] : endOfDemo);
    }
}

TEST(BeatTables, OnlyTheFieldFlightHasImageCuesAndOnlyTheFinaleFades)
{
    for (const SceneSchedule& schedule : beatSceneChain())
    {
        EXPECT_EQ(schedule.cues.times.empty(), schedule.scene != 8) << "scene " << schedule.scene;
        EXPECT_EQ(schedule.fadeEntry >= 0, schedule.scene == 12) << "scene " << schedule.scene;
    }
    const SceneSchedule& field = scheduleFor(8);
    ASSERT_EQ(field.cues.times.size(), 9u);
    EXPECT_FLOAT_EQ(field.cues.times.back(), 12.0398f);
    const SceneSchedule& finale = scheduleFor(12);
    EXPECT_EQ(finale.fadeEntry, 40);
    EXPECT_FLOAT_EQ(finale.beats.times[40], 22.928f);
    EXPECT_FLOAT_EQ(finale.fadeSeconds, 4.0f);
}

TEST(BeatTables, SceneWithoutScheduleIsReportedAndNeverEnds)
{
    const SceneSchedule* found = nullptr;
    std::string err = captureStderr([&] { found = findSchedule(1); });
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(err, "");

    const SceneSchedule* fallback = nullptr;
    err = captureStderr([&] { fallback = &scheduleFor(14); });
    EXPECT_EQ(err, "BeatTables: Scene 14 has no beat schedule.\n");
    EXPECT_EQ(fallback->scene, 14);
    EXPECT_EQ(fallback->next, 14);
    EXPECT_EQ(fallback->endEntry, -1);
    EXPECT_TRUE(fallback->beats.times.empty());
}
