// Flumbadoo: plays the demo from its first scene to its last, then exits.
#include "runtime/Display.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Startup.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/System/Clock.hpp>

// Built before every other static object, ahead of the program-wide layers and shaders whose
// construction would abort the process without a display. No display is no failure of the
// demo's: it says so and ends with status 0, as on every other path.
static const DisplayGuard displayGuard __attribute__((init_priority(101))) (noDisplayMessage, 0);

int main()
{
    sf::RenderWindow window;
    if (!startUp(window))
        return 0;

    sf::Clock frameClock;
    frameClock.restart(); // loading time must not count as the first frame's step
    while (running)
    {
        const float frameSeconds = frameClock.restart().asSeconds();
        runFrame(window, frameSeconds, readKeyboard(), demoScenes());
    }

    window.close();
    return 0;
}
