// The shared drawing helpers and passes whose pictures a shader rewrite must keep.
#include "SceneFrames.hpp"
#include "fx/ElasticSprite.hpp"
#include "runtime/Resources.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <utility>

using namespace testsupport;

// The laser drawn in strips, its beams found per column on the vertex side, shows what the
// full-screen pass that found them at every pixel showed (kept in tests/data/shaders): within a
// tenth of a level per channel on average, calm and at full flare, scrolled, on a quad turned
// and moved as a scene may leave it.
TEST(ColumnPass, DrawsWhatTheFullScreenLaserDrew)
{
    const Resources resources; // names the pass only
    ScreenQuad screen;
    ASSERT_TRUE(screen.create());
    sf::Sprite& quad = screen.quad;
    sf::Shader columns, fullScreen;
    ASSERT_TRUE(columns.loadFromFile("assets/shaders/laser.vert", "assets/shaders/laser.frag"));
    ASSERT_TRUE(fullScreen.loadFromFile("assets/shaders/passthrough.vert",
                                        dataPath("shaders/laser-fullscreen.frag")));
    const std::pair<float, float> moments[] = {{0.f, 0.f}, {-3.7f, 1.f}, {-11.2f, 4.f}, {-20.f, 9.f}};
    for (const float turn : {0.f, 180.f})
    {
        quad.setOrigin(960.f, 540.f);
        quad.setPosition(960.f, 540.f);
        quad.setRotation(turn);
        for (const auto& [offset, flare] : moments)
        {
            SCOPED_TRACE(std::to_string(offset) + ", flare " + std::to_string(flare) + ", turned " +
                         std::to_string(turn));
            for (sf::Shader* shader : {&columns, &fullScreen})
            {
                shader->setUniform("xOffset", offset);
                shader->setUniform("waveIntensity", flare);
            }
            const sf::Image before = screen.drawn([&] { screen.target.draw(quad, &fullScreen); });
            const sf::Image after =
                screen.drawn([&] { drawColumnPass(resources, screen.target, &quad, columns); });
            EXPECT_GT(meanBrightness(before), 20.0) << "the sky and its beams are drawn";
            EXPECT_LE(meanDifference(before, after), 0.1);
        }
    }
}

// The blobs, their centres and colours found once a frame on the vertex side, show what the pass
// that found them at every pixel showed (kept in tests/data/shaders), as the night fills with
// stars.
TEST(ShaderPass, DrawsTheBlobsTheFullScreenPassDrew)
{
    ScreenQuad screen;
    ASSERT_TRUE(screen.create());
    sf::Shader frameSide, fullScreen;
    ASSERT_TRUE(frameSide.loadFromFile("assets/shaders/blob.vert", "assets/shaders/blob.frag"));
    ASSERT_TRUE(
        fullScreen.loadFromFile("assets/shaders/passthrough.vert", dataPath("shaders/blob-fullscreen.frag")));
    const auto drawn = [&](const sf::Shader& shader)
    { return screen.drawn([&] { screen.target.draw(screen.quad, &shader); }); };
    for (const auto& [time, stars] : {std::pair{0.f, 50}, {3.3f, 80}, {11.9f, 144}})
    {
        SCOPED_TRACE(std::to_string(time) + " s, " + std::to_string(stars) + " stars");
        for (sf::Shader* shader : {&frameSide, &fullScreen})
        {
            shader->setUniform("iTime", time);
            shader->setUniform("numStars", stars);
        }
        const sf::Image before = drawn(fullScreen);
        EXPECT_GT(meanBrightness(before), 20.0) << "the night and its blobs are drawn";
        EXPECT_LE(meanDifference(before, drawn(frameSide)), 0.1);
    }
}

// The perlin clouds worked out at a third of the size and stretched show what the whole pass
// showed, within a fifth of a level, calm, flashing and tinted; and replace what was under them.
TEST(ShaderPass, StretchedFromAThirdShowsWhatTheWholeCloudsShowed)
{
    Resources resources;
    ScreenQuad screen;
    ASSERT_TRUE(screen.create());
    sf::Shader clouds;
    ASSERT_TRUE(clouds.loadFromFile("assets/shaders/passthrough.vert", "assets/shaders/perlin.frag"));
    const std::tuple<float, float, float> moments[] = {{3.f, 0.f, 0.f}, {41.f, 0.8f, 0.25f}};
    for (const auto& [time, flash, tint] : moments)
    {
        SCOPED_TRACE(time);
        clouds.setUniform("iTime", time);
        clouds.setUniform("r", flash);
        clouds.setUniform("b", flash);
        clouds.setUniform("originalGreen", tint);
        const sf::Image whole = screen.drawn([&] { screen.target.draw(screen.quad, &clouds); });
        const sf::Image stretched = screen.drawn(
            [&] { drawStretchedPass(resources, screen.target, &screen.quad, clouds); }, sf::Color::White);
        EXPECT_GT(meanBrightness(whole), 20.0) << "the clouds are drawn";
        EXPECT_LE(meanDifference(whole, stretched), 0.2);
    }
}

// A layer composited in part, where all that was drawn into it lies, shows what the whole
// layer showed, through the peephole as the scenes show their letters; and a card drawn
// straight through it shows what its layer showed.
class LayerComposite : public testing::Test
{
protected:
    void SetUp() override
    {
        resources.createLayers();
        ASSERT_TRUE(screen.create());
        ASSERT_TRUE(peephole.loadFromFile("assets/shaders/peephole.frag", sf::Shader::Fragment));
        peephole.setUniform("currentTexture", sf::Shader::CurrentTexture);
    }

    // draw fills layer and returns the part that compositeLayer then composites.
    template <typename Draw>
    void expectSame(sf::RenderTexture& layer, const sf::Sprite& sprite, const sf::Shader* shader, Draw draw,
                    double most)
    {
        const sf::Color ground(40, 20, 60);
        const auto composite = [&](bool inPart)
        {
            return screen.drawn(
                [&]
                {
                    layer.clear(sf::Color::Transparent);
                    const auto part = draw();
                    if (inPart)
                        compositeLayer(resources, screen.target, layer, sprite, sf::RenderStates(shader),
                                       part);
                    else
                        compositeLayer(resources, screen.target, layer, sprite, sf::RenderStates(shader));
                },
                ground);
        };
        const sf::Image whole = composite(false), inPart = composite(true);
        EXPECT_GT(meanDifference(whole, screen.drawn([] {}, ground)), 1.0) << "the layer shows";
        EXPECT_LE(meanDifference(whole, inPart), most);
    }

    Resources resources;
    ScreenQuad screen;
    sf::Shader peephole;
};

// The card drawn straight through the card's peephole shows what it showed drawn into a layer
// and composited through the peephole, shaped as scene 3 shapes it. (A layer's edge rounds a few
// pixels the other way; only there do they differ by more than a level. A card folded over
// itself, which the scene never shapes, would show its overlap shaded twice.)
TEST_F(LayerComposite, ACardStraightThroughThePeepholeShowsWhatItsLayerShowed)
{
    sf::Texture picture, gradient;
    ASSERT_TRUE(picture.loadFromFile("assets/images/presentado.png"));
    ASSERT_TRUE(gradient.loadFromFile("assets/images/bg-grad.png"));
    captureStderr([&] { ASSERT_TRUE(resources.loadShaders()); }); // the pictures are not loaded
    for (sf::Shader* shader : {&peephole, &resources.cardShader})
    {
        shader->setUniform("bgTexture", gradient);
        shader->setUniform("xOffset", 1.3f);
        shader->setUniform("yOffset", 0.65f);
    }
    ElasticShaders shaders;
    ElasticSprite card(&shaders);
    card.setTexture(picture, true);
    card.enablePerspective(true);
    card.setOrigin(960.f, 540.f);
    card.setPosition(960.f, 540.f);
    const sf::Color ground(40, 20, 60);
    for (const float sceneTime : {0.f, 0.4f, 2.2f, 7.9f})
    {
        SCOPED_TRACE(sceneTime);
        shapePresentationCard(card, sceneTime);
        card.setPerspectiveProgram(nullptr);
        const sf::Image layered = screen.drawn(
            [&]
            {
                resources.layer2.clear(sf::Color::Transparent);
                resources.layer2.draw(card);
                compositeLayer(resources, screen.target, resources.layer2, resources.layer2Sprite,
                               sf::RenderStates(&peephole));
            },
            ground);
        card.setPerspectiveProgram(&resources.cardShader);
        const sf::Image straight = screen.drawn([&] { screen.target.draw(card); }, ground);
        EXPECT_GT(meanDifference(layered, screen.drawn([] {}, ground)), 10.0) << "the card shows";
        EXPECT_LE(meanDifference(layered, straight), 0.05);
    }
}

// Inside pieces, each pixel once: a half see-through picture under overlapping pieces, one
// reaching off the layer, and scrolling letters through the rainbow. (Along the pieces' edges
// the renderer samples a few letter edges from the neighbouring texel: a ten-thousandth of a level.)
TEST_F(LayerComposite, InsidePiecesShowsWhatTheWholeLayerShowed)
{
    sf::RectangleShape patch({500.f, 300.f});
    patch.setPosition(-100.f, 400.f);
    patch.setFillColor(sf::Color(250, 120, 40, 128));
    const std::vector<sf::FloatRect> overlapping = {{-100.f, 400.f, 300.f, 300.f},
                                                    {150.f, 400.f, 250.f, 300.f}};
    expectSame(
        resources.layer1, resources.layer1Sprite, nullptr,
        [&]
        {
            resources.layer1.draw(patch);
            return overlapping;
        },
        0.001);

    sf::Texture rainbow;
    ASSERT_TRUE(rainbow.loadFromFile("assets/images/rainbow_texture.png"));
    peephole.setUniform("bgTexture", rainbow);
    resources.setUpLetterTexts();
    LetterText& letters = resources.transformText;
    letters.active = true;
    for (const float x : {300.f, -900.f})
    {
        letters.x = x;
        letters.phase = -x / 450.f;
        expectSame(
            resources.layer1, resources.layer1Sprite, &peephole,
            [&]
            {
                letters.draw();
                return letters.drawnLetters;
            },
            0.001);
    }
}
