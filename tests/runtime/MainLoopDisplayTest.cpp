// A frame run without drawing runs its scene like a drawn one and leaves every pixel as it was.
#include "runtime/MainLoop.hpp"
#include "runtime/SharedResources.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <gtest/gtest.h>

namespace
{
sf::Color paint = sf::Color::Blue;
int calls = 0;

// Fills layer1 and the window with paint, as a scene draws through a layer.
SceneId paintingScene(sf::RenderTarget& target, float)
{
    ++calls;
    sf::RectangleShape fill(sf::Vector2f(1920.f, 1080.f));
    fill.setFillColor(paint);
    layer1.draw(fill);
    layer1.display();
    target.draw(fill);
    return 3;
}

TEST(UndrawnFrame, RunsTheSceneAndLeavesTheLayersAsTheyWere)
{
    createLayers();
    sf::RenderWindow window(sf::VideoMode(64, 64), "undrawn");
    const SceneTable scenes = {{3, &paintingScene}, {4, &paintingScene}};
    currentScene = 3;
    runFrame(window, stepSeconds, KeyState{}, scenes);
    ASSERT_EQ(layer1.getTexture().copyToImage().getPixel(10, 10), sf::Color::Blue);

    // Neither the layers' clearing nor the scene's drawing reaches a pixel; the scene still runs.
    paint = sf::Color::Red;
    currentScene = 4;
    const FrameResult result =
        runFrame(window, stepSeconds, KeyState{}, scenes, {}, FrameDrawing::suppressed);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(result.next, 3);
    EXPECT_EQ(layer1.getTexture().copyToImage().getPixel(10, 10), sf::Color::Blue);

    // And a drawn frame after it draws as ever.
    runFrame(window, stepSeconds, KeyState{}, scenes);
    EXPECT_EQ(layer1.getTexture().copyToImage().getPixel(10, 10), sf::Color::Red);
}
} // namespace
