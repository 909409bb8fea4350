// Scene 10 through the real start-up and frame loop: its hand-over frame and the tint it
// leaves behind, the bubbles drawn where their physics put them, and missing pictures.
#include "DemoRun.hpp"
#include "SceneFrames.hpp"
#include "assets/Registries.hpp"
#include "runtime/BeatSchedule.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/SharedResources.hpp"
#include "scenes/ShaderBouncer.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;
constexpr SceneId bubbles = 10;

// The perlin background alone, small, with the shader's uniforms as they stand and the
// given tint (or the one the scene left when tint is null).
sf::Image perlinAlone(const float* tint)
{
    if (tint)
    {
        perlinShader.setUniform("originalRed", tint[0]);
        perlinShader.setUniform("originalGreen", tint[1]);
        perlinShader.setUniform("originalBlue", tint[2]);
    }
    sf::RenderTexture target;
    target.create(240, 135);
    sf::Sprite quad(*spriteManager.get("black")->getTexture());
    quad.setScale(0.125f, 0.125f);
    target.clear();
    target.draw(quad, sf::RenderStates(&perlinShader));
    target.display();
    return target.getTexture().copyToImage();
}

// Share of the pixels inside (inside = true) or outside the active bubbles that differ.
double changedShareAround(const sf::Image& a, const sf::Image& b, bool inside)
{
    long changed = 0, total = 0;
    for (unsigned y = 0; y < 1080; y += 4)
        for (unsigned x = 0; x < 1920; x += 4)
        {
            bool inBubble = false;
            for (const ShaderBouncer& bubble : shaderBouncers)
                inBubble = inBubble || (bubble.active && x >= bubble.x && x < bubble.x + bubble.width &&
                                        y >= bubble.y && y < bubble.y + bubble.height);
            if (inBubble != inside)
                continue;
            const sf::Color p = a.getPixel(x, y), q = b.getPixel(x, y);
            changed += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 30;
            ++total;
        }
    return total ? static_cast<double>(changed) / total : 0.0;
}
} // namespace

TEST(BubblesScene, HandsOverOnItsLastBeatWithTheTintMovedOn)
{
    DemoRun run(bubbles);
    ASSERT_TRUE(run.started());
    const int expected = scheduledFrames(bubbles);
    ASSERT_GT(expected, 1);
    for (int frame = 1; frame < expected - 1; ++frame)
        ASSERT_EQ(run.frame(sixtieth).next, bubbles) << "frame " << frame;
    EXPECT_EQ(run.frame(sixtieth, true).next, bubbles);
    EXPECT_GT(meanBrightness(run.lastFrame()), 60.0) << "the frame before the hand-over is drawn";
    const FrameResult handOver = run.frame(sixtieth, true);
    EXPECT_EQ(handOver.next, scheduleFor(bubbles).next);
    EXPECT_LT(meanBrightness(run.lastFrame()), 1.0) << "nothing is drawn on the hand-over frame";

    // The cycle red, green, blue, magenta, cyan has one step per beat, the last beat's too.
    const float tints[5][3] = {{.25f, 0, 0}, {0, .25f, 0}, {0, 0, .25f}, {.25f, 0, .25f}, {0, .25f, .25f}};
    const int lastBeat = scheduleFor(bubbles).endEntry;
    const sf::Image left = perlinAlone(nullptr);
    EXPECT_LT(changedShare(left, perlinAlone(tints[lastBeat % 5]), 3), 0.001);
    EXPECT_GT(changedShare(left, perlinAlone(tints[(lastBeat - 1) % 5]), 3), 0.5);
    EXPECT_EQ(shaderBouncers.size(), 20u);
    for (const ShaderBouncer& bubble : shaderBouncers)
        EXPECT_TRUE(bubble.active);
}

TEST(BubblesScene, DrawsTheBubblesWhereTheyBounceOverTheBackground)
{
    DemoRun run(bubbles);
    ASSERT_TRUE(run.started());
    for (int frame = 0; frame < 150; ++frame)
        run.frame(sixtieth);
    run.frame(sixtieth, true);
    // By now baba and finger have dropped out of the window: what is not background is bubble.
    sf::RenderTexture background;
    background.create(1920, 1080);
    background.clear();
    background.draw(*spriteManager.get("black"), sf::RenderStates(&perlinShader));
    background.display();
    sf::Image reference = background.getTexture().copyToImage();
    EXPECT_GT(changedShareAround(run.lastFrame(), reference, true), 0.5) << "bubbles drawn at (x, y)";
    EXPECT_LT(changedShareAround(run.lastFrame(), reference, false), 0.02) << "perlin clouds elsewhere";
}

namespace
{
struct MissingCase
{
    std::string name;
    std::vector<std::string> sprites; // keys taken out of sprites.json
    std::size_t bubblesLeft;
};

void PrintTo(const MissingCase& c, std::ostream* out)
{
    *out << c.name;
}

class BubblesSceneMissing : public testing::TestWithParam<MissingCase>
{
};
} // namespace

TEST_P(BubblesSceneMissing, KeepsItsTimingAndReportsEachKeyOnce)
{
    const MissingCase& c = GetParam();
    DemoTreeCopy copy({{"sprites.json", c.sprites}});
    DemoRun run(bubbles, copy.path());
    ASSERT_TRUE(run.started());
    // Ten frames a second keep this short; the schedule at that rate counts the beats that
    // queue up behind one another.
    EXPECT_EQ(run.framesUntilHandOver(0.1f, 400), scheduledFrames(bubbles, 10));
    EXPECT_EQ(shaderBouncers.size(), c.bubblesLeft);
    std::vector<std::string> reports;
    for (const std::string& key : c.sprites)
        reports.push_back("SpriteManager: Sprite with key " + key + " does not exist.");
    expectReportedOnce(run.errors(), reports);
    // A missing picture leaves the other drop's timing alone: both end below the window.
    for (const char* key : {"baba", "finger"})
        if (spriteManager.exists(key))
        {
            EXPECT_FLOAT_EQ(spriteManager.get(key)->getPosition().y, 1080.f) << key;
        }
}

INSTANTIATE_TEST_SUITE_P(Cases, BubblesSceneMissing,
                         testing::Values(MissingCase{"babaAndFinger", {"baba", "finger"}, 20},
                                         MissingCase{"everyBubble",
                                                     {"bubble1", "bubble2", "bubble3", "bubble4", "bubble5",
                                                      "bubble6", "bubble7", "bubble8", "bubble9"},
                                                     0}),
                         [](const testing::TestParamInfo<MissingCase>& info) { return info.param.name; });
