#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    static const SceneTable table = {
        {0, &openingCardsScene},
        {10, &bubblesScene},
        {11, &moireScene},
        {12, &triangleFinaleScene},
    };
    return table;
}
