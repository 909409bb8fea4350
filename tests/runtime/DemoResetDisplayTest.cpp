#include "DemoRun.hpp"
#include "scenes/SceneTable.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

using namespace testsupport;

namespace
{
// Moments in every scene, among them those that read what a later scene left behind in a
// shared object: the cards' colours (0), the perlin tint the bubbles set (2, 10), the
// field images' scatter (8), the letters' positions and layer1's rocking (65, 7, 9, 12).
const long momentSteps[] = {200,  500,  1000, 1700, 1790, 2080, 2400, 2700, 3100,
                            3700, 4300, 4900, 5700, 6300, 6900, 7300, 8000, 9300};

/// Runs the demo from its first frame to the last of momentSteps and returns the hash of each
/// of those frames by step. Only the moments are drawn, or also the drawnBefore steps before
/// each of them.
std::map<long, std::string> playThrough(DemoRun& run, long drawnBefore = 0)
{
    std::map<long, std::string> hashes;
    const long last = momentSteps[std::size(momentSteps) - 1];
    for (long step = 1; step <= last && run.state().running; ++step)
    {
        const long* next = std::lower_bound(std::begin(momentSteps), std::end(momentSteps), step);
        run.frame(stepSeconds, *next - step <= drawnBefore);
        if (*next == step)
            hashes[step] = run.lastFrameHash();
    }
    return hashes;
}
} // namespace

// A reset puts back every shared object a run changes: a second run draws the first one's
// frames, where anything left over (a sprite's colour, a uniform, a letter text's place)
// would show. The second run also draws the quarter second before each moment, which the first
// only updates: a drawing that changed what a later update reads would show as well.
TEST(DemoResetTest, ASecondRunAfterAResetDrawsTheSameFrames)
{
    DemoRun run(0);
    ASSERT_TRUE(run.started());
    const std::map<long, std::string> first = playThrough(run);
    ASSERT_EQ(first.size(), std::size(momentSteps));
    const std::string firstErrors = run.errors();

    run.reset();
    const std::map<long, std::string> second = playThrough(run, stepsPerSecond / 4);
    for (const auto& [step, hash] : first)
        EXPECT_EQ(second.at(step), hash) << "step " << step << ", after a reset and drawn steps";

    // Each step changes the picture: equal hashes are not just black frames.
    std::set<std::string> distinct;
    for (const auto& [step, hash] : first)
        distinct.insert(hash);
    EXPECT_EQ(distinct.size(), first.size());
    EXPECT_EQ(run.errors(), firstErrors) << "with every asset in place, a reset writes nothing";
}
