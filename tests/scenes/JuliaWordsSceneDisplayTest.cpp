// Scene 4 through the real start-up and frame loop: its out-of-order first beats, its
// hand-over after a long first frame, and the magenta window flash.
#include "DemoRun.hpp"
#include "runtime/BeatTables.hpp"

#include <gtest/gtest.h>
#include <vector>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;

// The entries of scene 4's table in the order a fresh track fires them, with the frame
// (from 1) each fires on, for a first frame of firstDt and then frames of 1/60 s.
struct Firing
{
    int entry;
    int frame;
};

std::vector<Firing> firings(float firstDt)
{
    const SceneSchedule& schedule = scheduleFor(4);
    BeatTrack track{schedule.beats};
    std::vector<Firing> fired;
    for (int frame = 1; frame < 1000 && (fired.empty() || fired.back().entry != schedule.endEntry); ++frame)
    {
        const int entry = track.poll(frame == 1 ? firstDt : sixtieth);
        if (entry >= 0)
            fired.push_back({entry, frame});
    }
    return fired;
}

// The window's colour where the fractal is see-through, at the screen's four corners.
sf::Color cornerColour(const sf::Image& image)
{
    int r = 0, g = 0, b = 0;
    for (unsigned x : {60u, 1860u})
        for (unsigned y : {60u, 1020u})
        {
            const sf::Color c = meanColour(image, x, y, 41);
            r += c.r;
            g += c.g;
            b += c.b;
        }
    return sf::Color(static_cast<sf::Uint8>(r / 4), static_cast<sf::Uint8>(g / 4),
                     static_cast<sf::Uint8>(b / 4));
}
} // namespace

// Entry 1 lies 0.07 s before entry 0 and the clock starts 0.05 s behind: at 1/60 s entry 1
// fires first, but a first frame of 0.06 s fires entry 0 first and entry 1 on the next.
// Either way the scene hands over to 5 on the frame its end entry fires.
TEST(JuliaWordsScene, HandsOverOnTheEndEntryAfterALongFirstFrame)
{
    EXPECT_EQ(firings(sixtieth).front().entry, 1);
    const std::vector<Firing> fired = firings(0.06f);
    ASSERT_GE(fired.size(), 2u);
    EXPECT_EQ(fired[0].entry, 0);
    EXPECT_EQ(fired[0].frame, 1);
    EXPECT_EQ(fired[1].entry, 1);
    EXPECT_EQ(fired[1].frame, 2);
    EXPECT_EQ(fired.size(), scheduleFor(4).beats.times.size());

    DemoRun run(4);
    ASSERT_TRUE(run.started());
    int frames = 1;
    FrameResult result = run.frame(0.06f);
    while (result.next == 4 && frames < fired.back().frame + 5)
    {
        result = run.frame(sixtieth);
        ++frames;
    }
    EXPECT_EQ(frames, fired.back().frame);
    EXPECT_EQ(result.next, 5);
}

TEST(JuliaWordsScene, WindowFlashesMagentaOnABeat)
{
    // The first beat followed by a quiet stretch long enough for the flash to die down
    // (255 at 1020 per second: 15 frames); neither frame may see a new beat or tint.
    const std::vector<Firing> fired = firings(sixtieth);
    int beatFrame = 0;
    for (size_t i = 0; i + 1 < fired.size() && beatFrame == 0; ++i)
        if (fired[i + 1].frame - fired[i].frame > 15)
            beatFrame = fired[i].frame;
    ASSERT_GT(beatFrame, 0);

    DemoRun run(4);
    ASSERT_TRUE(run.started());
    for (int frame = 1; frame < beatFrame; ++frame)
        run.frame(sixtieth);
    run.frame(sixtieth, true);
    const sf::Color flash = cornerColour(run.lastFrame());
    for (int frame = 0; frame < 14; ++frame)
        run.frame(sixtieth);
    run.frame(sixtieth, true);
    const sf::Color calm = cornerColour(run.lastFrame());

    EXPECT_GT(flash.r, calm.r + 60);
    EXPECT_GT(flash.b, calm.b + 60);
    EXPECT_LT(flash.g, calm.g + 20) << "the flash is magenta, not white";
}
