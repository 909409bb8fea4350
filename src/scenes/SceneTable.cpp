#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    // The first two scenes name their pictures, so that the others can decode while they play.
    const std::vector<std::string> cardPictures = {"gr1", "gr2", "rainbow_texture", "black"};
    const std::vector<std::string> logoPictures = {"quib", "zarn",  "plok", "greets",
                                                   "vesk", "trumo", "glin", "black"};
    static const SceneTable chain = {
        {0, "opening cards", &openingCardsUpdate, &openingCardsDraw, cardPictures},
        {1, "bouncing logos", &bouncingLogosUpdate, &bouncingLogosDraw, logoPictures},
        {2, "title words on the beat", &titleWordsUpdate, &titleWordsDraw},
        {3, "wobbling presentation card", &presentationCardUpdate, &presentationCardDraw},
        {4, "Julia fractal title words", &juliaWordsUpdate, &juliaWordsDraw},
        {5, "circles pulse and logo", &circlesLogoUpdate, &circlesLogoDraw},
        {6, "cute pop-up pictures", &cutePicturesUpdate, &cutePicturesDraw},
        {65, "greetings pulses", &greetingsUpdate, &greetingsDraw},
        {7, "flowers beat scene", &flowersBeatUpdate, &flowersBeatDraw},
        {8, "field flight", &fieldFlightUpdate, &fieldFlightDraw},
        {9, "rainbow tunnel", &rainbowTunnelUpdate, &rainbowTunnelDraw},
        {10, "bubbles", &bubblesUpdate, &bubblesDraw},
        {11, "moire", &moireUpdate, &moireDraw},
        {12, "triangle finale", &triangleFinaleUpdate, &triangleFinaleDraw},
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
