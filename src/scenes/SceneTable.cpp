#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    static const SceneTable table = {
        {0, &openingCardsScene},
    };
    return table;
}
