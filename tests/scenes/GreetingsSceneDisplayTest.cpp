// Scene 65 from its first frame to its hand-over at 1/60 s through the real start-up and
// frame loop: when the first greeting starts, the greeting picture coming and going on
// screen through its rocking layer, and a run from here to the bubbles with assets taken
// away.
#include "DemoRun.hpp"
#include "SceneFrames.hpp"
#include "UniformProbe.hpp"
#include "runtime/SharedResources.hpp"
#include "scenes/Pulse.hpp"

#include <SFML/Graphics/Image.hpp>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;
constexpr SceneId greetings = 65;

// Points of the first greeting picture that are fully opaque there and clear in every
// other greeting, with the picture's colour at each.
std::vector<std::pair<sf::Vector2f, sf::Color>> firstGreetingOnly()
{
    std::vector<sf::Image> pictures(6);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(pictures[i].loadFromFile("assets/images/greets" + std::to_string(i + 1) + ".png"));
    std::vector<std::pair<sf::Vector2f, sf::Color>> points;
    for (unsigned y = 200; y < 1000; y += 6)
        for (unsigned x = 320; x < 1700; x += 6)
        {
            bool onlyFirst = pictures[0].getPixel(x, y).a == 255;
            for (int i = 1; i < 6 && onlyFirst; ++i)
                onlyFirst = pictures[i].getPixel(x, y).a == 0;
            if (onlyFirst)
                points.push_back(
                    {sf::Vector2f(static_cast<float>(x), static_cast<float>(y)), pictures[0].getPixel(x, y)});
        }
    return points;
}

// A grabbed frame with the layer sprite's transform of that frame (the layer rocks).
struct Still
{
    sf::Image frame;
    sf::Transform toScreen;
};

// Share of the points whose colour on screen matches the picture's.
double shareShown(const Still& still, const std::vector<std::pair<sf::Vector2f, sf::Color>>& points)
{
    const sf::Image& frame = still.frame;
    const sf::Transform& toScreen = still.toScreen;
    int matching = 0;
    for (const auto& [point, colour] : points)
    {
        const sf::Vector2f onScreen = toScreen.transformPoint(point);
        const sf::Color seen =
            meanColour(frame, static_cast<unsigned>(onScreen.x), static_cast<unsigned>(onScreen.y), 1);
        if (std::abs(seen.r - colour.r) < 40 && std::abs(seen.g - colour.g) < 40 &&
            std::abs(seen.b - colour.b) < 40)
            ++matching;
    }
    return points.empty() ? 0.0 : static_cast<double>(matching) / points.size();
}
} // namespace

TEST(GreetingsScene, ShowsTheFirstGreetingOnItsPulseAndHandsOverOnTheNinthBeat)
{
    DemoRun run(greetings);
    ASSERT_TRUE(run.started());
    const std::vector<int> beatFrames = firingFrames(scheduleFor(greetings).beats, sixtieth);
    const int endFrame = handOverFrame(greetings, sixtieth);
    const auto points = firstGreetingOnly();
    ASSERT_GT(points.size(), 200u);

    // Greeting 1 rises for 2 s, holds for 2 s and falls for 1 s from the frame entry 0 fires.
    const int start = beatFrames[0];
    const int held = start + 150;
    const int gone = start + 330;
    std::map<int, Still> grabbed;
    for (int frame = 1; frame <= endFrame; ++frame)
    {
        const bool grab = frame == start || frame == held || frame == gone || frame == endFrame;
        const FrameResult result = run.frame(sixtieth, grab);
        if (grab)
            grabbed[frame] = {run.lastFrame(), layer1Sprite.getTransform()};
        if (frame == endFrame)
        {
            EXPECT_EQ(result.next, scheduleFor(greetings).next);
            break;
        }
        ASSERT_EQ(result.next, greetings) << "frame " << frame;
        if (frame <= 2)
        {
            run.window.setActive(true);
            const float level = frame < start ? 0.f : greetPulseRates.risePerSecond * sixtieth;
            EXPECT_FLOAT_EQ(uniformFloat(greets1Shader, "iTime"), level) << "frame " << frame;
        }
    }
    EXPECT_EQ(start, 2) << "the first greeting starts on the scene's second frame";
    EXPECT_LT(shareShown(grabbed[start], points), 0.1) << "just starting";
    EXPECT_GT(shareShown(grabbed[held], points), 0.8) << "held whole";
    EXPECT_LT(shareShown(grabbed[gone], points), 0.1) << "scattered away";
    EXPECT_LT(meanBrightness(grabbed[endFrame].frame), 1.0) << "the hand-over frame draws nothing";
    EXPECT_EQ(run.errors().find("does not exist"), std::string::npos) << run.errors();
}

// Long frames keep this run short; the hand-overs must still come on the frames the beat
// tables give for that frame time.
TEST(GreetingsScene, RunsToTheBubblesWithAGreetingTheSkyAndTheFingerMissing)
{
    DemoTreeCopy copy({{"textures.json", {"greets3", "morv", "finger"}}, {"sprites.json", {"finger"}}});
    DemoRun run(greetings, copy.path());
    ASSERT_TRUE(run.started());
    const float dt = 0.1f;
    // A field frame that no flash darkens: three frames after one, before the next.
    const std::vector<int> flashes = firingFrames(scheduleFor(8).beats, dt);
    int fieldFrame = 0;
    for (std::size_t i = 0; i + 1 < flashes.size() && fieldFrame == 0; ++i)
        if (flashes[i + 1] - flashes[i] > 3)
            fieldFrame = flashes[i] + 3;
    ASSERT_GT(fieldFrame, 0);
    for (SceneId scene : {65, 7, 8, 9})
    {
        ASSERT_EQ(currentScene, scene);
        const int handOver = handOverFrame(scene, dt);
        for (int frame = 1; frame <= handOver; ++frame)
        {
            const bool grab = scene == 8 && frame == fieldFrame;
            const FrameResult result = run.frame(dt, grab);
            ASSERT_EQ(result.next == scene, frame < handOver) << "scene " << scene << " frame " << frame;
            if (grab)
            {
                // Without its picture the sky still shows the field's own colours.
                EXPECT_GT(brightness(meanColour(run.lastFrame(), 960, 200, 31)), 30.0);
            }
        }
    }
    EXPECT_EQ(currentScene, 10);

    expectReportedOnce(run.errors(), {"TextureManager: Texture with key greets3 does not exist.",
                                      "TextureManager: Texture with key morv does not exist.",
                                      "TextureManager: Texture with key finger does not exist.",
                                      "SpriteManager: Sprite with key finger does not exist."});
}
