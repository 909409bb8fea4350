#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    static const SceneTable table = {
        {0, &openingCardsScene},
        {1, &bouncingLogosScene},
        {2, &titleWordsScene},
    };
    return table;
}
