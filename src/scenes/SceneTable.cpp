#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    static const SceneTable table = {
        {0, &openingCardsScene}, {3, &presentationCardScene}, {4, &juliaWordsScene},
        {5, &circlesLogoScene},  {6, &cutePicturesScene},
    };
    return table;
}
