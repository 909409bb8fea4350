// Scenes 1 and 2 through the real start-up and frame loop: hand-over frames and what
// the rendered frames show.
#include "DemoRun.hpp"
#include "assets/Registries.hpp"

#include <algorithm>
#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;

// Share of pixels inside the sprite's on-screen bounds that are its dark outline: the
// backgrounds of these scenes never go that dark.
double outlineShare(const sf::Image& image, const char* key)
{
    const sf::Sprite* sprite = spriteManager.get(key);
    if (!sprite)
        return 0.0;
    const sf::FloatRect bounds = sprite->getGlobalBounds();
    long dark = 0, all = 0;
    for (int y = std::max(0, int(bounds.top)); y < std::min(1080, int(bounds.top + bounds.height)); ++y)
        for (int x = std::max(0, int(bounds.left)); x < std::min(1920, int(bounds.left + bounds.width)); ++x)
        {
            const sf::Color c = image.getPixel(unsigned(x), unsigned(y));
            dark += std::max({c.r, c.g, c.b}) < 80;
            ++all;
        }
    return all ? double(dark) / all : 0.0;
}
} // namespace

TEST(BouncingLogosScene, ShowsWhiteLogosThenStaticAndHandsOverAtSixteenSeconds)
{
    DemoRun run(1);
    ASSERT_TRUE(run.started());
    sf::Image white, logo, noise;
    for (int frame = 1; frame <= 2000; ++frame)
    {
        const double t = frame * double(sixtieth);
        const bool grab = frame == 200 || frame == 360 || frame == 930;
        const FrameResult result = run.frame(sixtieth, grab);
        if (frame == 200)
            white = run.lastFrame();
        if (frame == 360)
            logo = run.lastFrame();
        if (frame == 930)
            noise = run.lastFrame();
        if (result.next != 1)
        {
            EXPECT_EQ(frame, 961) << "16 s at 60 fps, passed strictly";
            EXPECT_EQ(result.next, 2);
            break;
        }
        ASSERT_LT(t, 16.1) << "no hand-over";
    }
    // 3.3 s: the white stage, faded in, with no logo yet.
    EXPECT_GT(meanBrightness(white), 250.0);
    // 6 s: a logo flies over the white stage.
    const double logoShare = changedShare(white, logo);
    EXPECT_GT(logoShare, 0.005);
    EXPECT_LT(logoShare, 0.3);
    // 15.5 s: the static breaks the whole picture up.
    EXPECT_GT(changedShare(white, noise), 0.5);
    EXPECT_TRUE(run.errors().find("does not exist") == std::string::npos) << run.errors();
}

TEST(TitleWordsScene, PopsTheWordsInOnTheBeatAndHandsOverOnFrame176)
{
    DemoRun run(2);
    ASSERT_TRUE(run.started());
    const char* const words[] = {"grumlo1", "grumlo2", "grumlo3", "grumlo4", "vs",
                                 "the",     "vortle1", "vortle2", "and",     "trobisk"};
    run.frame(sixtieth, true);
    EXPECT_GT(outlineShare(run.lastFrame(), "grumlo1"), 0.01) << "the first word shows on the first frame";

    int frame = 1;
    for (; frame < 174; ++frame)
        run.frame(sixtieth);
    run.frame(sixtieth, true); // 2.9 s
    ++frame;
    for (const char* word : words)
        EXPECT_GT(outlineShare(run.lastFrame(), word), 0.01) << word << " is on screen by 2.9 s";

    const FrameResult last = run.frame(sixtieth);
    EXPECT_EQ(++frame, 176);
    EXPECT_EQ(last.next, 3);
}
