#include "scenes/Demo.hpp"

DemoState firstState(const Resources& resources)
{
    DemoState state;
    if (resources.starParticles)
        state.starParticles = *resources.starParticles;
    if (resources.flowerParticles)
        state.flowerParticles = *resources.flowerParticles;
    return state;
}

Demo::Demo(Resources& resources) : resources(resources), state(firstState(resources)) {}

void Demo::reset()
{
    resources.rewind();
    state = firstState(resources);
}
