// Scene 0 through the real start-up and frame loop: its hand-over frame and what the
// fade overlay lets through.
#include "DemoRun.hpp"

#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;

// Runs frames until the demo time reaches seconds and returns the last one as seen.
const sf::Image& frameAt(DemoRun& run, double& clock, double seconds)
{
    while (clock + sixtieth < seconds)
    {
        run.frame(sixtieth);
        clock += sixtieth;
    }
    run.frame(sixtieth, true);
    clock += sixtieth;
    return run.lastFrame();
}
} // namespace

TEST(OpeningCardsScene, PassesOneStepPerLongFrame)
{
    DemoRun run(0);
    ASSERT_TRUE(run.started());
    EXPECT_EQ(run.framesUntilHandOver(10.f, 10), 5);
}

TEST(OpeningCardsScene, FadesTheFirstCardInAndHandsOverOnTheFrameItsTimelineGives)
{
    DemoRun run(0);
    ASSERT_TRUE(run.started());
    double clock = 0.0;
    EXPECT_LT(meanBrightness(frameAt(run, clock, 1.4)), 1.0) << "black before the first card";
    const double half = meanBrightness(frameAt(run, clock, 2.0));
    const double full = meanBrightness(frameAt(run, clock, 4.0));
    EXPECT_GT(full, 30.0) << "the card is on screen";
    // Half a second into the one-second fade the overlay still hides about half of it.
    EXPECT_NEAR(half / full, 0.5, 0.1);
    EXPECT_TRUE(run.errors().find("does not exist") == std::string::npos) << run.errors();

    // 1.5 + 4 + 1 + 4 + 1 s, each wait passed strictly: 91 + 241 + 61 + 241 + 61 frames.
    const int framesSoFar = static_cast<int>(clock / sixtieth + 0.5);
    EXPECT_EQ(framesSoFar + run.framesUntilHandOver(sixtieth, 2000), 695);
    EXPECT_EQ(currentScene, 1);
}
