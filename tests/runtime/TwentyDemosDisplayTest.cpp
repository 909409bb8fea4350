#include "DemoRun.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace testsupport;

namespace
{
// The process's resident memory, in KiB, once the allocator has handed back what it keeps free:
// what the music's streaming threads leave in its caches depends on how far they got.
long residentKiB()
{
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long fromEnvironment(const char* name, long fallback)
{
    const char* value = std::getenv(name);
    return value ? std::strtol(value, nullptr, 10) : fallback;
}
} // namespace

// One process plays the whole demo again and again through Demo::reset, as the player does
// when it goes back: every run draws the same frames, and memory stays flat. The reliability
// script runs it twice, drawing, under the sanitizers (FLUMBADOO_DEMO_RUNS=2,
// FLUMBADOO_DRAW_EVERY=30); by default it runs twenty times without drawing.
TEST(TwentyDemosTest, EveryRunDrawsTheSameFramesAndMemoryStaysFlat)
{
    const long runs = fromEnvironment("FLUMBADOO_DEMO_RUNS", 20);
    const long drawEvery = fromEnvironment("FLUMBADOO_DRAW_EVERY", 0);
    const std::vector<long> moments = {1000, 3300, 6500, 9300}; // logos, circles, tunnel, finale
    DemoRun run(0);
    ASSERT_TRUE(run.started());

    std::vector<std::string> firstRun;
    long afterSecond = 0;
    for (long round = 1; round <= runs; ++round)
    {
        if (round > 1)
            run.reset();
        std::vector<std::string> hashes;
        long step = 0;
        while (run.state().running)
        {
            ++step;
            const bool moment = std::find(moments.begin(), moments.end(), step) != moments.end();
            run.frame(stepSeconds, moment || (drawEvery > 0 && step % drawEvery == 0));
            if (moment)
                hashes.push_back(run.lastFrameHash());
        }
        ASSERT_GT(step, moments.back()) << "round " << round << " ended early";
        if (round == 1)
            firstRun = hashes;
        else
            EXPECT_EQ(hashes, firstRun) << "round " << round;
        if (round == 2)
            afterSecond = residentKiB();
    }
    if (runs >= 3)
    {
        const long afterLast = residentKiB();
        std::cout << "resident after run 2: " << afterSecond << " KiB, after run " << runs << ": "
                  << afterLast << " KiB" << std::endl;
        EXPECT_LE(afterLast, afterSecond + afterSecond / 20)
            << "more than 5 % grown from run 2 to run " << runs;
    }
}
