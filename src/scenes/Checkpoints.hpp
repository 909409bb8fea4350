#pragma once

#include "runtime/Resources.hpp"
#include "scenes/Demo.hpp"

#include <cstddef>
#include <map>

/// Moments of a demo kept so that a tool can seek to any step quickly: a copy of the demo's
/// state, with the poses its resources hold, every interval steps as the demo reaches them.
/// Seeking restores the nearest kept moment before the target and runs the steps from there.
class Checkpoints
{
public:
    /// Keeps a moment every interval steps (at least 1), from step 0 on.
    explicit Checkpoints(long interval);

    /// Keeps demo as it is after step steps when step is a multiple of the interval and that
    /// moment is not kept yet. A copy that cannot be made (out of memory) is left out with one
    /// line on standard error; a seek then starts from an earlier moment. Returns true when kept.
    bool keep(Demo& demo, long step);

    /// Puts demo back at the latest kept moment at or before step: its state, the poses, and
    /// no sound effect playing (the music is the caller's). Returns that moment's step, or -1
    /// (demo unchanged) when none is kept there.
    long restore(Demo& demo, long step) const;

    /// The step of the latest kept moment at or before step, or -1 when none is.
    long nearest(long step) const;

    /// Forgets every moment, for a demo that was reset or changed under them.
    void clear() { moments.clear(); }

    /// How many moments are kept.
    std::size_t size() const { return moments.size(); }

    /// The steps between two kept moments.
    long interval() const { return every; }

private:
    struct Moment
    {
        DemoState state;
        Resources::Poses poses;
    };
    long every;
    std::map<long, Moment> moments;
};
