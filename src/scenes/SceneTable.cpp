#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    static const SceneTable chain = {
        {0, "opening cards", &openingCardsScene},
        {1, "bouncing logos", &bouncingLogosScene},
        {2, "title words on the beat", &titleWordsScene},
        {3, "wobbling presentation card", &presentationCardScene},
        {4, "Julia fractal title words", &juliaWordsScene},
        {5, "circles pulse and logo", &circlesLogoScene},
        {6, "cute pop-up pictures", &cutePicturesScene},
        {65, "greetings pulses", &greetingsScene},
        {7, "flowers beat scene", &flowersBeatScene},
        {8, "field flight", &fieldFlightScene},
        {9, "rainbow tunnel", &rainbowTunnelScene},
        {10, "bubbles", &bubblesScene},
        {11, "moire", &moireScene},
        {12, "triangle finale", &triangleFinaleScene},
    };
    return chain;
}

SceneId nextScene(SceneId id)
{
    const SceneTable& chain = demoScenes();
    for (std::size_t i = 0; i < chain.size(); ++i)
        if (chain[i].id == id)
            return i + 1 < chain.size() ? chain[i + 1].id : endOfDemo;
    return id;
}

const char* sceneName(SceneId id)
{
    for (const SceneEntry& entry : demoScenes())
        if (entry.id == id)
            return entry.name;
    return "";
}
