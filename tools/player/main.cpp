// flumbadoo-player: the demo in a window for the people who make it. Starts at any second with
// the exact state, pauses, steps and seeks, and reloads shaders and pictures as they are saved.
#include "Options.hpp"
#include "Player.hpp"
#include "runtime/AudioDevice.hpp"
#include "runtime/Display.hpp"
#include "runtime/Startup.hpp"

#include <iostream>

// Built before every other static object, ahead of the program-wide layers and shaders whose
// construction would abort the process without a display.
static const DisplayGuard displayGuard __attribute__((init_priority(101))) (
    "flumbadoo-player: no X display: DISPLAY is not set or its server cannot be reached. Run it in a "
    "graphical session, or under xvfb-run -a -s \"-screen 0 1920x1080x24 -noreset\".",
    1);
// Before the music player starts the audio library: without a device, one line and silence.
static const AudioGuard audioGuard __attribute__((init_priority(102))) (noAudioMessage);

int main(int argc, char** argv)
{
    bool helpWanted = false;
    const std::optional<PlayerOptions> options = parsePlayerOptions(argc, argv, helpWanted);
    if (helpWanted)
    {
        std::cout << playerUsage;
        return 0;
    }
    if (!options)
        return 2;

    sf::RenderWindow window;
    // A shader the demo cannot run without ends it with 0, as the demo does.
    if (!startUp(window))
        return 0;
    if (options->position)
        window.setPosition({options->position->first, options->position->second});
    window.setMouseCursorVisible(true);
    Player player(window, *options);
    return player.run();
}
