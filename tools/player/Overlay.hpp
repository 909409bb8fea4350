#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <deque>
#include <string>

/// What the overlay shows of one frame.
struct OverlayState
{
    long step = 0;         ///< the 60 Hz step on screen
    long lastStep = 0;     ///< the step that ends the demo
    int scene = 0;         ///< the scene on screen
    std::string sceneName; ///< what it shows
    double sceneSeconds = 0.0;
    std::string beat; ///< the last beat entry that fired, as text
    bool paused = false;
    bool ended = false;
    float speed = 1.f;
    std::string message; ///< the last reload message
    std::string loop;    ///< the loop, when one is set
};

/// The maker's overlay: drawn over the finished picture in the window, never into the layers.
/// Text in DejaVu Sans Mono when installed, else in the demo's font; without either only the
/// frame-time graph is drawn.
class Overlay
{
public:
    Overlay();

    /// Adds one drawn frame's time to the rolling graph (the last three seconds at 60 fps).
    void addFrameTime(double milliseconds);

    /// Draws the overlay over whatever target holds, in the target's default view; the target's
    /// own view is put back afterwards.
    void draw(sf::RenderTarget& target, const OverlayState& state) const;

private:
    sf::Font font;
    bool hasFont = false;
    std::deque<double> frameTimes;
};
