#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    static const SceneTable table = {
        {0, &openingCardsScene},     {1, &bouncingLogosScene}, {2, &titleWordsScene},
        {3, &presentationCardScene}, {4, &juliaWordsScene},    {5, &circlesLogoScene},
        {6, &cutePicturesScene},
    };
    return table;
}
