// Flumbadoo: plays the demo from its first scene to its last, then exits.
#include "runtime/AudioDevice.hpp"
#include "runtime/Display.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Startup.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneTable.hpp"

int main()
{
    // No display is no failure of the demo's: it says so and ends with status 0, as on every
    // other path. A machine without a sound card plays the demo silently with one line, not a
    // page of the audio library's complaints; both checks come before anything is built.
    if (!checkDisplay(noDisplayMessage))
        return 0;
    checkAudioDevice(noAudioMessage);

    Resources resources;
    sf::RenderWindow window;
    // Only the opening scenes' pictures are in before the first frame; the rest follow as they play.
    if (!startUp(resources, window, nullptr, openingPictures(demoScenes())))
        return 0;
    Demo demo(resources);

    // The demo runs on its own 60 Hz clock, kept to the music while it plays: each drawn frame
    // shows the latest step due, and the steps in between run without drawing, so the pictures
    // keep to the music however fast the machine draws.
    playInRealTime(demo, demo.state, resources, window, demoScenes());

    window.close();
    return 0;
}
