#pragma once

#include "runtime/MainLoop.hpp"

#include <SFML/System/Clock.hpp>
#include <ostream>

/// The capture's progress report. On a terminal, one line rewritten in place (frames done
/// of total, the scene rendering, frames per second, elapsed and estimated time left);
/// elsewhere only the final line. A quiet report writes nothing at all.
class ProgressLine
{
public:
    /// totalFrames is what the run will render; 0 when unknown (no estimate is shown).
    ProgressLine(std::ostream& out, long totalFrames, bool onTerminal, bool quiet);

    /// Reports that frame (counted from 1) of scene is done; rewrites the line at most
    /// a few times a second.
    void update(long frame, SceneId scene);

    /// Ends the report with one line: frames rendered, time taken and frames per second.
    void finish(long frames);

private:
    std::ostream& out;
    long total;
    bool live;
    bool silent;
    sf::Clock elapsed;
    float lastShown = -1.f;
    std::size_t lastWidth = 0;
};

/// Seconds as "m:ss" (or "h:mm:ss" from an hour on).
std::string clockText(double seconds);
