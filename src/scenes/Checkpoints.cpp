#include "scenes/Checkpoints.hpp"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <new>

Checkpoints::Checkpoints(long interval) : every(std::max(1L, interval)) {}

bool Checkpoints::keep(Demo& demo, long step)
{
    if (step < 0 || step % every != 0 || moments.count(step) != 0)
        return false;
    try
    {
        moments.emplace(step, Moment{demo.state, demo.resources.poses()});
        return true;
    }
    catch (const std::bad_alloc&)
    {
        std::cerr << "No memory to keep the demo at step " << step
                  << "; seeking there runs from an earlier moment." << std::endl;
        return false;
    }
}

long Checkpoints::restore(Demo& demo, long step) const
{
    auto found = moments.upper_bound(step);
    if (found == moments.begin())
        return -1;
    --found;
    demo.state = found->second.state;
    demo.resources.setPoses(found->second.poses);
    demo.resources.soundManager.stopAll();
    return found->first;
}

long Checkpoints::nearest(long step) const
{
    auto found = moments.upper_bound(step);
    return found == moments.begin() ? -1 : std::prev(found)->first;
}
