// What the shared resources do for every frame: which layers a frame clears, and the flat
// pictures drawn without their texture.
#include "SceneFrames.hpp"
#include "runtime/PassTiming.hpp"
#include "runtime/Resources.hpp"
#include "scenes/SceneHelpers.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

using namespace testsupport;

namespace
{
sf::Color centreOf(sf::RenderTexture& layer)
{
    layer.display();
    return layer.getTexture().copyToImage().getPixel(960, 540);
}

void paint(sf::RenderTexture& layer, sf::Color colour)
{
    sf::RectangleShape all(sf::Vector2f(1920.f, 1080.f));
    all.setFillColor(colour);
    layer.draw(all);
}
} // namespace

// A layer that was composited is clear again in the next frame; one that was not composited is
// still clear and is left as it is, and without the shortcuts every layer is cleared.
TEST(Resources, ClearsEveryLayerThatWasCompositedSinceItsLastClear)
{
    Resources resources;
    resources.createLayers();
    ScreenQuad screen;
    ASSERT_TRUE(screen.create());
    const sf::Color clear(0, 0, 0, 0), red(255, 0, 0, 255), green(0, 255, 0, 255);

    resources.clearLayers(); // the letter texts' start-up drawing in layer1 goes
    EXPECT_EQ(centreOf(resources.layer1), clear);
    paint(resources.layer1, red);
    paint(resources.layer3, green); // drawn without being composited, as no scene does
    EXPECT_EQ(
        screen
            .drawn([&]
                   { compositeLayer(resources, screen.target, resources.layer1, resources.layer1Sprite); })
            .getPixel(960, 540),
        red);
    resources.clearLayers();
    EXPECT_EQ(centreOf(resources.layer1), clear);
    EXPECT_EQ(centreOf(resources.layer3), green) << "left alone: no scene showed it";

    // No pieces composite nothing, but the layer still counts as shown.
    paint(resources.layer2, red);
    compositeLayer(resources, screen.target, resources.layer2, resources.layer2Sprite,
                   sf::RenderStates::Default, std::vector<sf::FloatRect>());
    resources.clearLayers();
    EXPECT_EQ(centreOf(resources.layer2), clear);

    drawingShortcuts = false;
    resources.clearLayers();
    drawingShortcuts = true;
    EXPECT_EQ(centreOf(resources.layer3), clear);

    // The composite leaves out only what is wholly see-through: a faint layer still tints.
    paint(resources.layer1, sf::Color(255, 0, 0, 64));
    const sf::Color faint =
        screen
            .drawn([&] { compositeLayer(resources, screen.target, resources.layer1, resources.layer1Sprite); },
                   green)
            .getPixel(960, 540);
    EXPECT_TRUE(faint.r > 0 && faint.g < 255) << int(faint.r) << " " << int(faint.g);
}

// A sprite of a flat picture drawn without its texture leaves exactly the pixels the textured
// draw leaves, turned, scaled, cut to part of its picture and tinted; pictures of other colours,
// or not quite flat, are drawn textured.
TEST(Resources, DrawsAFlatPictureAsTheTexturedSpriteWould)
{
    Resources resources;
    ASSERT_TRUE(resources.textureManager.load(dataPath("manifests/textures_flat.json")));
    ScreenQuad screen;
    ASSERT_TRUE(screen.create());
    struct Case
    {
        const char* key;
        bool flat;
    };
    for (const auto& [key, flat] :
         {Case{"black", true}, Case{"magenta", true}, Case{"grey", true}, Case{"almost", false}})
    {
        const sf::Texture* texture = resources.textureManager.get(key);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(resources.textureManager.flatColour(texture).has_value(), flat) << key;
        for (const sf::Color tint : {sf::Color::White, sf::Color(200, 90, 30, 77), sf::Color(0, 0, 0, 128)})
        {
            SCOPED_TRACE(std::string(key) + " tinted " + std::to_string(tint.toInteger()));
            sf::Sprite sprite(*texture, sf::IntRect(2, 1, 20, 10));
            sprite.setColor(tint);
            sprite.setOrigin(10.f, 5.f);
            sprite.setPosition(700.f, 400.f);
            sprite.setScale(31.3f, 17.9f);
            sprite.setRotation(23.f);
            const sf::Color ground(40, 200, 160, 255);
            const sf::Image textured = screen.drawn([&] { screen.target.draw(sprite); }, ground);
            const sf::Image shortcut =
                screen.drawn([&] { resources.drawSprite(screen.target, sprite); }, ground);
            EXPECT_EQ(meanDifference(textured, shortcut), 0.0);
            EXPECT_NE(textured.getPixel(700, 400), ground) << "the sprite shows";
        }
    }
    EXPECT_FALSE(resources.textureManager.flatColour(nullptr));
}
