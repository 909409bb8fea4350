#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    // In the order they play.
    static const SceneTable table = {
        {0, &openingCardsScene},
        {1, &bouncingLogosScene},
        {2, &titleWordsScene},
        {3, &presentationCardScene},
        {4, &juliaWordsScene},
        {5, &circlesLogoScene},
        {6, &cutePicturesScene},
        {65, &greetingsScene},
        {7, &flowersBeatScene},
        {8, &fieldFlightScene},
        {9, &rainbowTunnelScene},
        {10, &bubblesScene},
        {11, &moireScene},
        {12, &triangleFinaleScene},
    };
    return table;
}
