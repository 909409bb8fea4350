#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    // One scene a line, in playing order, so that scenes added side by side merge cleanly.
    // clang-format off
    static const SceneTable table = {
        {0, &openingCardsScene},
        {65, &greetingsScene},
        {7, &flowersBeatScene},
        {8, &fieldFlightScene},
        {9, &rainbowTunnelScene},
    };
    // clang-format on
    return table;
}
