#pragma once

#include <string>

/// The user's settings, as "config.json" gives them.
struct Config
{
    bool fullscreen = false; ///< the window is full screen instead of having a title bar
    bool vsync = true;       ///< the window's vertical synchronisation is on
    bool sound = true;       ///< false mutes the sound effects (the music still plays)
};

/// Reads the optional user configuration (normally "config.json" in the working
/// directory) and returns it, with the defaults for whatever it does not set.
/// A missing file (or a path that is not a regular file) writes "Config.json missing."; a file that is not
/// valid JSON writes "config.json: Error while parsing JSON." and the parser's message. A key whose value is
/// not a boolean is reported by name and keeps its default. Nothing is ever thrown.
Config loadConfig(const std::string& path = "config.json");
