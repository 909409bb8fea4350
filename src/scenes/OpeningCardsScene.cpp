// Scene 0, the opening title cards: black for 1.5 s, card "gr1" fades in, holds four
// seconds and fades out; card "gr2", seen through the rainbow peephole, does the same;
// one second into its fade-out the scene hands over to the bouncing logos (about 11.5 s).
#include "assets/Registries.hpp"
#include "runtime/SharedResources.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

namespace
{
struct OpeningCards
{
    sf::Sprite* card1 = nullptr; // "gr1"
    sf::Sprite* card2 = nullptr; // "gr2", drawn through the rainbow peephole
    float timer = 0.f;           // seconds since the last step of the timeline
    int step = 0;                // position in the timeline below
};

void startFade(float from, int mode)
{
    fadeAlpha = from;
    fadeMode = mode;
    fadeSpeed = 1.f;
}

void setAlpha(sf::Sprite* card, sf::Uint8 alpha)
{
    if (card)
        card->setColor(sf::Color(255, 255, 255, alpha));
}

OpeningCards setUp()
{
    OpeningCards scene;
    scene.card1 = spriteManager.get("gr1");
    scene.card2 = spriteManager.get("gr2");
    for (sf::Sprite* card : {scene.card1, scene.card2})
        if (card)
            card->setPosition(960.f, 540.f);
    // Both cards start transparent; the timeline shows them one at a time.
    setAlpha(scene.card1, 0);
    setAlpha(scene.card2, 0);
    return scene;
}
} // namespace

SceneId openingCardsScene(sf::RenderTarget& target, float dt)
{
    static OpeningCards scene = setUp();

    // Update: each step waits strictly longer than its time since the previous one, so a
    // single long frame passes at most one step.
    scene.timer += dt;
    scrollPeephole(rainbowShader, scene.timer);
    const float waits[] = {1.5f, 4.f, 1.f, 4.f, 1.f};
    if (scene.step < 5 && scene.timer > waits[scene.step])
    {
        switch (scene.step)
        {
        case 0: // card 1 out of black
            setAlpha(scene.card1, 255);
            startFade(1.f, 2);
            break;
        case 1: // card 1 to black
            startFade(0.f, 1);
            break;
        case 2: // card 2 out of black
            setAlpha(scene.card1, 0);
            setAlpha(scene.card2, 255);
            startFade(1.f, 2);
            break;
        case 3: // card 2 to black
            startFade(0.f, 1);
            break;
        default: // the screen is black again: hand over without drawing
            return 1;
        }
        scene.timer = 0.f;
        ++scene.step;
    }

    // Draw: card 1 every frame (transparent outside its turn), card 2 from its turn on.
    drawIfPresent(target, scene.card1);
    if (scene.step >= 3)
        drawIfPresent(target, scene.card2, sf::RenderStates(&rainbowShader));
    return 0;
}
