#pragma once

#include <SFML/Graphics/RenderWindow.hpp>
#include <string>
#include <utility>
#include <vector>

/// The one window of the demo. Set right after the window object is constructed.
extern sf::RenderWindow* mainWindow;

/// "Grumlo vs The Vortle & Trobisk - Flumbadoo"
extern const std::string windowTitle;

/// Seconds spent in each step of start-up, in the order the steps ran.
using StartupTimes = std::vector<std::pair<std::string, double>>;

/// Everything before the first frame, in its fixed order: reads the configuration, opens
/// window (1920 x 1080 x 32, full screen or with a title bar, 60 fps limit, vertical sync
/// from the configuration, hidden cursor, no key repeat), shows one black frame, creates the layers,
/// loads the registries, the letter texts and the global shaders.
/// times, when given, receives the seconds of each step (the demo passes none).
/// Returns false when a shader the demo cannot run without failed to load; its message
/// has been written and the caller should end the program with status 0.
bool startUp(sf::RenderWindow& window, StartupTimes* times = nullptr);
