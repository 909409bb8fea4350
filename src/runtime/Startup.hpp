#pragma once

#include <SFML/Graphics/RenderWindow.hpp>

class Resources;
#include <string>
#include <utility>
#include <vector>

/// "Grumlo vs The Vortle & Trobisk - Flumbadoo"
extern const std::string windowTitle;

/// The video mode the window opens in. Full screen: the picture's own 1920 x 1080 x 32 where
/// the screen offers it (pictureModeOffered), else the desktop's own mode, into which each frame
/// is scaled to fit. Windowed: 1920 x 1080 x 32 on a desktop at least that large, else the
/// largest window of the picture's shape that the desktop holds.
sf::VideoMode windowMode(bool fullscreen, bool pictureModeOffered, const sf::VideoMode& desktop);

/// Seconds spent in each step of start-up, in the order the steps ran.
using StartupTimes = std::vector<std::pair<std::string, double>>;

/// Everything before the first frame, in its fixed order: reads the configuration, opens
/// window (windowMode: full screen or with a title bar, 60 fps limit, vertical sync
/// from the configuration, hidden cursor, no key repeat), shows one black frame, creates the layers,
/// loads the registries, the letter texts and the global shaders into resources.
/// times, when given, receives the seconds of each step (the demo passes none).
/// With firstPictures (openingPictures of the scene table), only those pictures are in when it
/// returns and the others decode on worker threads, to be put in as the frames need them or
/// by Resources::loadNext, which also fills the letter texts' glyph cache; without, every
/// picture and glyph cache is in.
/// Returns false when a shader the demo cannot run without failed to load; its message
/// has been written and the caller should end the program with status 0.
bool startUp(Resources& resources, sf::RenderWindow& window, StartupTimes* times = nullptr,
             const std::vector<std::string>& firstPictures = {});
