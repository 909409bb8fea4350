#include "scenes/SceneTable.hpp"

const SceneTable& demoScenes()
{
    // Each scene file adds its routine here as it is written.
    static const SceneTable table = {};
    return table;
}
