#pragma once

#include "runtime/MainLoop.hpp"

#include <optional>
#include <string>

/// The player's command line.
struct PlayerOptions
{
    std::optional<double> at;                    ///< --at SECONDS
    std::optional<long> step;                    ///< --step N
    std::optional<SceneId> scene;                ///< --scene ID
    bool paused = false;                         ///< --paused
    float speed = 1.f;                           ///< --speed 1, 0.5 or 0.25
    bool overlay = true;                         ///< --no-overlay clears it
    std::optional<std::pair<int, int>> position; ///< --position X,Y: where the window goes
};

/// The text --help prints.
extern const char* const playerUsage;

/// Parses argv. On a bad option writes "flumbadoo-player: ..." on standard error and returns
/// nothing; --help sets helpWanted and returns the defaults.
std::optional<PlayerOptions> parsePlayerOptions(int argc, char** argv, bool& helpWanted);
