// Scene 0, the opening title cards: black for 1.5 s, card "gr1" fades in, holds four
// seconds and fades out; card "gr2", seen through the rainbow peephole, does the same;
// one second into its fade-out the scene hands over to the bouncing logos (about 11.5 s).
#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

namespace
{
constexpr SceneId thisScene = 0;

struct OpeningCards
{
    sf::Sprite* card1 = nullptr; // "gr1"
    sf::Sprite* card2 = nullptr; // "gr2", drawn through the rainbow peephole
    float timer = 0.f;           // seconds since the last step of the timeline
    int step = 0;                // position in the timeline below
    bool over = false;           // handed over: its last step draws nothing
};

void startFade(DemoState& state, float from, int mode)
{
    state.fadeAlpha = from;
    state.fadeMode = mode;
    state.fadeSpeed = 1.f;
}

void setAlpha(sf::Sprite* card, sf::Uint8 alpha)
{
    if (card)
        card->setColor(sf::Color(255, 255, 255, alpha));
}

OpeningCards setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    OpeningCards scene;
    scene.card1 = resources.spriteManager.get("gr1");
    scene.card2 = resources.spriteManager.get("gr2");
    for (sf::Sprite* card : {scene.card1, scene.card2})
        if (card)
            card->setPosition(960.f, 540.f);
    // Both cards start transparent; the timeline shows them one at a time.
    setAlpha(scene.card1, 0);
    setAlpha(scene.card2, 0);
    return scene;
}
} // namespace

SceneId openingCardsUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    OpeningCards& scene = state.sceneState<OpeningCards>(thisScene, [&] { return setUp(demo); });

    // Each step waits strictly longer than its time since the previous one, so a single long
    // frame passes at most one step.
    scene.timer += dt;
    scrollPeephole(demo, resources.rainbowShader, scene.timer);
    if (scene.step < 5 && scene.timer > openingCardWaits[scene.step])
    {
        switch (scene.step)
        {
        case 0: // card 1 out of black
            setAlpha(scene.card1, 255);
            startFade(state, 1.f, 2);
            break;
        case 1: // card 1 to black
            startFade(state, 0.f, 1);
            break;
        case 2: // card 2 out of black
            setAlpha(scene.card1, 0);
            setAlpha(scene.card2, 255);
            startFade(state, 1.f, 2);
            break;
        case 3: // card 2 to black
            startFade(state, 0.f, 1);
            break;
        default: // the screen is black again: hand over without drawing
            scene.over = true;
            return nextScene(thisScene);
        }
        scene.timer = 0.f;
        ++scene.step;
    }
    return thisScene;
}

void openingCardsDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const OpeningCards& scene = demo.state.sceneState<OpeningCards>(thisScene);
    if (scene.over)
        return;
    // Card 1 every frame (transparent outside its turn), card 2 from its turn on.
    drawIfPresent(resources, target, scene.card1);
    if (scene.step >= 3)
        drawIfPresent(resources, target, scene.card2, sf::RenderStates(&resources.rainbowShader));
}
