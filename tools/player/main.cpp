// flumbadoo-player: the demo in a window for the people who make it. Starts at any second with
// the exact state, pauses, steps and seeks, and reloads shaders and pictures as they are saved.
#include "Options.hpp"
#include "Player.hpp"
#include "runtime/AudioDevice.hpp"
#include "runtime/Display.hpp"
#include "runtime/Startup.hpp"
#include "scenes/Demo.hpp"

#include <iostream>

int main(int argc, char** argv)
{
    // The arguments first: --help and a refused option need neither a display nor the audio.
    bool helpWanted = false;
    const std::optional<PlayerOptions> options = parsePlayerOptions(argc, argv, helpWanted);
    if (helpWanted)
    {
        std::cout << playerUsage;
        return 0;
    }
    if (!options)
        return 2;

    // Before the resources: SFML aborts the process when their first texture or shader is built
    // without a display, and their music player starts the audio library.
    if (!checkDisplay(
            "flumbadoo-player: no X display: DISPLAY is not set or its server cannot be reached. Run "
            "it in a graphical session, or under xvfb-run -a -s \"-screen 0 1920x1080x24 -noreset\"."))
        return 1;
    checkAudioDevice(noAudioMessage);

    Resources resources;
    sf::RenderWindow window;
    // A shader the demo cannot run without ends it with 0, as the demo does.
    if (!startUp(resources, window))
        return 0;
    Demo demo(resources);
    if (options->position)
        window.setPosition({options->position->first, options->position->second});
    window.setMouseCursorVisible(true);
    Player player(demo, window, *options);
    return player.run();
}
