// Flumbadoo: plays the demo from its first scene to its last, then exits.
#include "runtime/MainLoop.hpp"
#include "runtime/Startup.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/System/Clock.hpp>

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
