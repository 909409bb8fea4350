#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    static const SceneTable table = {
        {0, &openingCardsScene},
        {1, &bouncingLogosScene},
        {2, &titleWordsScene},
        {10, &bubblesScene},
        {11, &moireScene},
        {12, &triangleFinaleScene},
    };
    return table;
}
