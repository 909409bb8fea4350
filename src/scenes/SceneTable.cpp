#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    static const SceneTable table = {
        {0, &openingCardsScene}, {65, &greetingsScene},    {7, &flowersBeatScene},
        {8, &fieldFlightScene},  {9, &rainbowTunnelScene},
    };
    return table;
}
