#include "DemoRun.hpp"
#include "scenes/Checkpoints.hpp"

#include <gtest/gtest.h>
#include <map>
#include <string>

using namespace testsupport;

// Seeking through kept moments lands on the frame a straight run draws at that step, forwards
// and back, from a kept moment and from the first one. The order below goes back over scenes
// whose shared objects (the letter texts' places, the bubbles, the pop pictures, the uniforms)
// the later visits moved on.
TEST(CheckpointsTest, ASeekFromAKeptMomentDrawsTheFrameOfAStraightRun)
{
    DemoRun run(0);
    ASSERT_TRUE(run.started());
    const long interval = 300;
    Checkpoints checkpoints(interval);
    ASSERT_TRUE(checkpoints.keep(*run.demo, 0));

    const std::map<long, std::string> names = {
        {1, "first frame"},     {1000, "logos"},       {1800, "title words"},
        {3200, "logo tilted"},  {4300, "greetings"},   {5000, "flowers"},
        {5350, "flowers text"}, {6500, "tunnel text"}, {7200, "bubbles"}};
    const long last = names.rbegin()->first;
    std::map<long, std::string> straight;
    for (long step = 1; step <= last; ++step)
    {
        run.frame(stepSeconds, names.count(step) != 0);
        checkpoints.keep(*run.demo, step);
        if (names.count(step))
            straight[step] = run.lastFrameHash();
    }
    EXPECT_EQ(checkpoints.size(), std::size_t(last / interval + 1));
    EXPECT_FALSE(checkpoints.keep(*run.demo, interval)) << "a moment is kept once";

    for (const long target : {5350L, 1800L, 6500L, 5000L, 1L, 7200L, 3200L, 4300L, 1000L})
    {
        const long from = checkpoints.restore(*run.demo, target - 1);
        ASSERT_EQ(from, (target - 1) / interval * interval) << names.at(target);
        for (long step = from + 1; step <= target; ++step)
            run.frame(stepSeconds, step == target);
        EXPECT_EQ(run.lastFrameHash(), straight.at(target)) << names.at(target) << ", step " << target;
    }

    // Without a moment at or before the step nothing changes.
    Checkpoints none(interval);
    const SceneId scene = run.state().currentScene;
    EXPECT_EQ(none.restore(*run.demo, 100), -1);
    EXPECT_EQ(run.state().currentScene, scene);
    EXPECT_EQ(checkpoints.nearest(interval - 1), 0);
    EXPECT_EQ(none.nearest(last), -1);
}
