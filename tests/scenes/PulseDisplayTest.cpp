// The pulse in both its configurations at 1/60 s, its "iTime" read back from a real shader program.
#include "SceneFrames.hpp"
#include "assets/TextureManager.hpp"
#include "runtime/PassTiming.hpp"
#include "runtime/Resources.hpp"
#include "scenes/Pulse.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

using namespace testsupport;

TEST(Pulse, RisesHoldsFallsAndRestartsForItsConfiguredTimes)
{
    const float sixtieth = 1.f / 60.f, untouched = 0.4242f; // a level no pulse sends
    const Resources resources;
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(8, 8) && target.setActive(true)) << "uniforms are read in its context";
    sf::Shader shader;
    ASSERT_TRUE(shader.loadFromMemory(
        "uniform float iTime; void main() { gl_FragColor = vec4(1.0, iTime, 0.0, 1.0); }",
        sf::Shader::Fragment));
    sf::Texture texture; // what it holds does not matter: the shader paints every pixel
    texture.create(8, 8);
    sf::Sprite quad(texture);
    for (const PulseRates rates : {greetPulseRates, layerPulseRates})
    {
        SCOPED_TRACE(rates.risePerSecond);
        Pulse pulse{rates, &quad, &shader};
        const auto draws = [&]
        {
            target.clear(sf::Color::Transparent);
            pulse.draw(resources, target);
            target.display();
            return target.getTexture().copyToImage().getPixel(4, 4).a != 0;
        };
        // Updates while the pulse stays in stage (and above floor): an update sends nothing, the
        // draw after it sends the level.
        const auto framesIn = [&](int stage, float floor = -1.f)
        {
            int frames = 0;
            for (; pulse.active && pulse.stage == stage && pulse.level > floor && frames < 1000; ++frames)
            {
                shader.setUniform("iTime", untouched);
                pulse.update(sixtieth);
                EXPECT_FLOAT_EQ(uniformFloat(shader, "iTime"), untouched);
                draws();
                EXPECT_FLOAT_EQ(uniformFloat(shader, "iTime"), pulse.level);
            }
            return frames;
        };
        EXPECT_FALSE(draws()) << "a pulse that never started";
        pulse.start();
        EXPECT_FALSE(draws()) << "at level 0 every tile is out of sight: the pass is left out";
        drawingShortcuts = false;
        EXPECT_TRUE(draws()) << "drawn in full without the shortcuts";
        drawingShortcuts = true;
        EXPECT_NEAR(framesIn(0), std::lround(60.f / rates.risePerSecond), 1);
        EXPECT_EQ(pulse.level, 1.f);
        const int hold = framesIn(1);
        EXPECT_NEAR(hold, std::lround(60.f * rates.holdSeconds), 1);
        EXPECT_GT(pulse.holdTime, rates.holdSeconds) << "the hold ends only once its time has passed";

        // Started again while falling, it begins anew with a full hold.
        for (int frame = 0; frame < 10; ++frame)
            pulse.update(sixtieth);
        ASSERT_EQ(pulse.stage, 2);
        pulse.start();
        EXPECT_TRUE(pulse.level == 0.f && pulse.stage == 0 && pulse.holdTime == 0.f);
        framesIn(0);
        EXPECT_EQ(framesIn(1), hold);

        // A second's fall; its last update ends the pulse, which draws and sends nothing after.
        EXPECT_NEAR(framesIn(2, sixtieth) + 1, 60, 1);
        ASSERT_TRUE(pulse.active && draws()) << "still falling";
        shader.setUniform("iTime", untouched);
        pulse.update(sixtieth);
        EXPECT_TRUE(!pulse.active && pulse.level == 0.f);
        EXPECT_FALSE(draws());
        EXPECT_FLOAT_EQ(uniformFloat(shader, "iTime"), untouched) << "an ended pulse sends nothing";
    }
}

// The tiles drawn as geometry show what the full-screen scatter pass showed (that shader, which
// searched the six flocks at every pixel, is kept in tests/data/shaders): within one level per
// channel on average (in fact far closer), for a greeting page and for a plain picture, plain and turned,
// while they gather, hold and scatter. Leaving out the tiles with nothing to show changes no pixel.
TEST(ScatterTiles, DrawWhatTheFullScreenPassDrew)
{
    const Resources resources; // names the pass only
    ScreenQuad screen;
    ASSERT_TRUE(screen.create());
    sf::Shader tiles, fullScreen;
    ASSERT_TRUE(tiles.loadFromFile("assets/shaders/scattershot.vert", "assets/shaders/scattershot.frag"));
    ASSERT_TRUE(fullScreen.loadFromFile("assets/shaders/passthrough.vert",
                                        dataPath("shaders/scatter-fullscreen.frag")));
    const auto drawn = [&](const std::function<void()>& draw)
    { return screen.drawn(draw, sf::Color(40, 20, 60)); };

    TempDir dir;
    TextureManager registry; // the pictures' opaque tiles
    registry.load(dir.write("t.json", R"({"textures": {"greets1": {"file": "assets/images/greets1.png"},
        "greets4": {"file": "assets/images/greets4.png"}, "wsl1": {"file": "assets/images/wsl1.png"},
        "finger": {"file": "assets/images/finger.png"}}})"));
    const std::tuple<const char*, bool, float, float, std::vector<float>> cases[] = {
        {"greets1", true, 0.f, 0.f, {0.82f, 0.9f, 1.f}}, // a page gathers in the last quarter
        {"greets4", true, 0.f, 0.f, {0.8f, 0.95f}},
        {"wsl1", false, 0.f, 0.15f, {0.3f, 0.7f, 1.f}},     // the field's pictures
        {"finger", false, 25.f, 0.f, {0.45f, 0.75f, 0.9f}}, // turned, from the default spread
    };
    for (const auto& [picture, page, rotation, strength, times] : cases)
    {
        sf::Texture image;
        ASSERT_TRUE(image.loadFromFile(std::string("assets/images/") + picture + ".png"));
        for (sf::Shader* shader : {&tiles, &fullScreen})
        {
            shader->setUniform("image", image);
            shader->setUniform("maxRotation", rotation);
            shader->setUniform("scatterStrength", strength);
        }
        for (sf::Shader* shader : {&tiles, &fullScreen})
            shader->setUniform("page", page ? 1.f : 0.f);
        const std::vector<bool> shown = scatterTilesShown(registry, picture);
        ASSERT_EQ(shown.size(), 32u * 18u);
        EXPECT_LT(std::count(shown.begin(), shown.end(), true), 32 * 18 * 3 / 4) << "most have nothing";
        for (const float time : times)
        {
            SCOPED_TRACE(std::string(picture) + " at " + std::to_string(time));
            tiles.setUniform("iTime", time);
            fullScreen.setUniform("iTime", time);
            const sf::Image before = drawn([&] { screen.target.draw(screen.quad, &fullScreen); });
            const sf::Image after =
                drawn([&] { drawScatterTiles(resources, screen.target, screen.quad, tiles, time >= 1.f); });
            const sf::Image empty = drawn([] {});
            EXPECT_GT(meanDifference(before, empty), 0.1) << "the picture shows";
            // They agree to a hundredth of a level where they were measured; a tenth is the bar.
            EXPECT_LE(meanDifference(before, after), 0.1);
            const sf::Image some = drawn(
                [&] { drawScatterTiles(resources, screen.target, screen.quad, tiles, time >= 1.f, shown); });
            EXPECT_EQ(meanDifference(some, after), 0.0);
        }
    }
}

// Drawn straight onto the picture through a layer's turn, the tiles show what drawing them into
// that layer and turning the layer showed: within one level per channel (0.1 to 0.6 where the
// greetings were measured: the edges are sampled once instead of twice; 23 unturned).
TEST(ScatterTiles, DrawnThroughATurnShowWhatATurnedLayerShowed)
{
    const Resources resources; // names the pass only
    ScreenQuad screen;
    ASSERT_TRUE(screen.create());
    sf::RenderTexture layer;
    ASSERT_TRUE(layer.create(1920, 1080));
    sf::Sprite layerSprite(layer.getTexture());
    layerSprite.setOrigin(960.f, 540.f);
    layerSprite.setPosition(960.f, 540.f);
    layerSprite.setRotation(-7.f);
    sf::Shader tiles;
    ASSERT_TRUE(tiles.loadFromFile("assets/shaders/scattershot.vert", "assets/shaders/scattershot.frag"));
    sf::Texture image;
    ASSERT_TRUE(image.loadFromFile("assets/images/greets2.png"));
    tiles.setUniform("image", image);
    tiles.setUniform("page", 1.f);
    for (const float time : {0.9f, 1.f})
    {
        SCOPED_TRACE(time);
        tiles.setUniform("iTime", time);
        const auto drawn = [&](const std::function<void()>& draw)
        { return screen.drawn(draw, sf::Color(40, 20, 60)); };
        const sf::Image throughLayer = drawn(
            [&]
            {
                layer.clear(sf::Color::Transparent);
                drawScatterTiles(resources, layer, screen.quad, tiles, time >= 1.f);
                layer.display();
                screen.target.draw(layerSprite);
            });
        const sf::Transform turn = layerSprite.getTransform();
        const sf::Image turned = drawn(
            [&] { drawScatterTiles(resources, screen.target, screen.quad, tiles, time >= 1.f, {}, turn); });
        EXPECT_LE(meanDifference(throughLayer, turned), 1.0);
    }
}
