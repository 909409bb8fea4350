#include "DemoRun.hpp"
#include "capture/Sha256.hpp"
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

/// Runs the demo from its first frame to its end, drawing only at momentSteps, and returns
/// the hash of each of those frames by step.
std::map<long, std::string> playThrough(DemoRun& run)
{
    std::map<long, std::string> hashes;
    const long last = momentSteps[std::size(momentSteps) - 1];
    for (long step = 1; step <= last && run.state().running; ++step)
    {
        const bool moment =
            std::find(std::begin(momentSteps), std::end(momentSteps), step) != std::end(momentSteps);
        run.frame(stepSeconds, moment);
        if (!moment)
            continue;
        const sf::Image& frame = run.lastFrame();
        Sha256 sha;
        sha.update(frame.getPixelsPtr(), std::size_t(frame.getSize().x) * frame.getSize().y * 4);
        hashes[step] = sha.hexDigest();
    }
    return hashes;
}
} // namespace

// A reset puts back every shared object a run changes: a second run draws the first one's
// frames, where anything left over (a sprite's colour, a uniform, a letter text's place)
// would show.
TEST(DemoResetTest, ASecondRunAfterAResetDrawsTheSameFrames)
{
    DemoRun run(0);
    ASSERT_TRUE(run.started());
    const std::map<long, std::string> first = playThrough(run);
    ASSERT_EQ(first.size(), std::size(momentSteps));
    const std::string firstErrors = run.errors();

    run.reset();
    const std::map<long, std::string> second = playThrough(run);
    for (const auto& [step, hash] : first)
        EXPECT_EQ(second.at(step), hash) << "step " << step;

    // Each step changes the picture: equal hashes are not just black frames.
    std::set<std::string> distinct;
    for (const auto& [step, hash] : first)
        distinct.insert(hash);
    EXPECT_EQ(distinct.size(), first.size());
    EXPECT_EQ(run.errors(), firstErrors) << "with every asset in place, a reset writes nothing";
}
