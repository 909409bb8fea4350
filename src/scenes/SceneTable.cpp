#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    // The first two scenes name their pictures, so that the others can decode while they play.
    const std::vector<std::string> cardPictures = {"gr1", "gr2", "rainbow_texture", "black"};
    const std::vector<std::string> logoPictures = {"quib", "zarn",  "plok", "greets",
                                                   "vesk", "trumo", "glin", "black"};
    // The scenes whose frames begin with a clear or a full-screen pass of their own.
    const bool covers = true;
    static const SceneTable chain = {
        {0, "opening cards", &openingCardsUpdate, &openingCardsDraw, cardPictures},
        {1, "bouncing logos", &bouncingLogosUpdate, &bouncingLogosDraw, logoPictures},
        {2, "title words on the beat", &titleWordsUpdate, &titleWordsDraw, {}, covers},
        {3, "wobbling presentation card", &presentationCardUpdate, &presentationCardDraw, {}, covers},
        {4, "Julia fractal title words", &juliaWordsUpdate, &juliaWordsDraw, {}, covers},
        {5, "circles pulse and logo", &circlesLogoUpdate, &circlesLogoDraw},
        {6, "cute pop-up pictures", &cutePicturesUpdate, &cutePicturesDraw, {}, covers},
        {65, "greetings pulses", &greetingsUpdate, &greetingsDraw, {}, covers},
        {7, "flowers beat scene", &flowersBeatUpdate, &flowersBeatDraw, {}, covers},
        {8, "field flight", &fieldFlightUpdate, &fieldFlightDraw, {}, covers},
        {9, "rainbow tunnel", &rainbowTunnelUpdate, &rainbowTunnelDraw, {}, covers},
        {10, "bubbles", &bubblesUpdate, &bubblesDraw, {}, covers},
        {11, "moire", &moireUpdate, &moireDraw, {}, covers},
        {12, "triangle finale", &triangleFinaleUpdate, &triangleFinaleDraw, {}, covers},
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
