// Scene dispatch, and a frame run without drawing, which runs its scene's update like a drawn
// one and nothing of its drawing.
#include "TestSupport.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/PassTiming.hpp"
#include "scenes/Demo.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <gtest/gtest.h>
#include <tuple>

using namespace testsupport;

namespace
{
sf::Color paint = sf::Color::Blue;
int calls = 0;
int draws = 0;

SceneId handOverToThree(Demo&, float)
{
    ++calls;
    return 3;
}

// Fills layer1 and the window with paint, as a scene draws through a layer.
void paintAll(const Demo& demo, sf::RenderTarget& target)
{
    ++draws;
    sf::RectangleShape fill(sf::Vector2f(1920.f, 1080.f));
    fill.setFillColor(paint);
    demo.resources.layer1.draw(fill);
    demo.resources.layer1.display();
    target.draw(fill);
}

SceneId stay(Demo& demo, float)
{
    return demo.state.currentScene;
}

void drawNothing(const Demo&, sf::RenderTarget&) {}

SceneId sceneSeven(Demo&, float)
{
    ++calls;
    return 8;
}

TEST(MainLoop, DispatchRunsTheCurrentSceneAndStoresItsResult)
{
    // The end of the demo stops without calling anything, even when listed; an unknown id stays,
    // and so does a listed one without a routine.
    Resources resources;
    for (const auto& [listed, routine, current, dispatched, after, stillRunning, expectedCalls] :
         {std::tuple{7, &sceneSeven, 7, true, 8, true, 1},
          {endOfDemo, &sceneSeven, endOfDemo, false, endOfDemo, false, 0},
          {7, &sceneSeven, 14, false, 14, true, 0},
          {7, SceneUpdate{}, 7, false, 7, true, 0}})
    {
        Demo demo(resources);
        calls = 0;
        demo.state.currentScene = current;
        const bool ran = dispatchScene(demo, demo.state, {{listed, "listed", routine, nullptr}}, 0.016f);
        EXPECT_EQ(std::tuple(ran, demo.state.currentScene, demo.state.running, calls),
                  std::tuple(dispatched, after, stillRunning, expectedCalls))
            << "scene " << current;
    }
}

TEST(UndrawnFrame, RunsTheSceneAndLeavesTheLayersAsTheyWere)
{
    Resources resources;
    resources.createLayers();
    Demo demo(resources);
    calls = draws = 0;
    paint = sf::Color::Blue;
    sf::RenderWindow window(sf::VideoMode(64, 64), "undrawn");
    const SceneTable scenes = {{3, "three", &handOverToThree, &paintAll},
                               {4, "four", &handOverToThree, &paintAll}};
    demo.state.currentScene = 3;
    runFrame(demo, window, stepSeconds, KeyState{}, scenes);
    ASSERT_EQ(resources.layer1.getTexture().copyToImage().getPixel(10, 10), sf::Color::Blue);

    // Neither the layers' clearing nor the scene's drawing runs; the scene's update still does.
    paint = sf::Color::Red;
    demo.state.currentScene = 4;
    const FrameResult result =
        runFrame(demo, window, stepSeconds, KeyState{}, scenes, {}, FrameDrawing::suppressed);
    EXPECT_EQ(std::pair(calls, draws), std::pair(2, 1));
    EXPECT_EQ(result.next, 3);
    EXPECT_EQ(resources.layer1.getTexture().copyToImage().getPixel(10, 10), sf::Color::Blue);

    // And a drawn frame after it draws as ever.
    runFrame(demo, window, stepSeconds, KeyState{}, scenes);
    EXPECT_EQ(resources.layer1.getTexture().copyToImage().getPixel(10, 10), sf::Color::Red);
}

// A scene that covers the picture is drawn over the last frame's picture, not a cleared one: what
// its draw leaves out still shows. Cleared all the same: the frame it hands over on, and every
// frame without the drawing shortcuts or without the black sprite.
TEST(CoveredFrame, IsClearedUnlessTheSceneCoversIt)
{
    sf::RenderWindow window(sf::VideoMode(64, 64), "covered"); // drawn off screen, then fitted
    const SceneTable scenes = {{3, "paints", &stay, &paintAll, {}, true},
                               {5, "leaves out", &stay, &drawNothing, {}, true},
                               {6, "hands over", &handOverToThree, &drawNothing, {}, true}};
    paint = sf::Color::Blue;
    const sf::Color cleared = sf::Color::Transparent;
    TempDir dir;
    const std::string sprites = dir.write("sprites.json", R"({"sprites": {"black": {"texture": "black"}}})");
    for (const bool black : {true, false})
    {
        Resources resources;
        resources.createLayers();
        ASSERT_TRUE(resources.textureManager.load(dataPath("manifests/textures_flat.json")));
        if (black)
        {
            ASSERT_TRUE(resources.spriteManager.load(sprites));
        }
        Demo demo(resources);
        const auto frameOf = [&](SceneId scene, bool shortcuts)
        {
            drawingShortcuts = shortcuts;
            demo.state.currentScene = scene;
            runFrame(demo, window, stepSeconds, KeyState{}, scenes);
            drawingShortcuts = true;
            return resources.offScreenPicture().getTexture().copyToImage().getPixel(10, 10);
        };
        for (const auto& [scene, shortcuts, shown] :
             {std::tuple{5, true, black ? paint : cleared}, {6, true, cleared}, {5, false, cleared}})
        {
            ASSERT_EQ(frameOf(3, true), paint);
            EXPECT_EQ(frameOf(scene, shortcuts), shown)
                << "scene " << scene << (shortcuts ? "" : ", no shortcuts") << (black ? "" : ", no black sprite");
        }
    }
}
} // namespace
