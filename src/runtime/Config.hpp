#pragma once

#include <string>

/// Whether the window is created full screen (style 8) instead of with a title bar (7).
extern bool fullscreen;
/// Whether the window's vertical synchronisation is switched on.
extern bool vsync;

/// Reads the optional user configuration (normally "config.json" in the working
/// directory) and sets fullscreen, vsync and the sound registry's muted switch.
/// A missing file (or a path that is not a regular file) writes "Config.json missing."; a file that is not
/// valid JSON writes "config.json: Error while parsing JSON." and the parser's message. A key whose value is
/// not a boolean is reported by name and keeps its default. Nothing is ever thrown.
void loadConfig(const std::string& path = "config.json");
