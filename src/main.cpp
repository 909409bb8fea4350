// Flumbadoo: plays the demo from its first scene to its last, then exits.
#include "runtime/AudioDevice.hpp"
#include "scenes/Demo.hpp"
#include "runtime/Display.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Startup.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>

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
    if (!startUp(resources, window))
        return 0;
    Demo demo(resources);

    // The demo runs on its own 60 Hz clock: each drawn frame shows the latest step the wall
    // clock has reached, and the steps in between run without drawing, so the pictures keep
    // to the music however fast the machine draws.
    sf::Clock wallClock; // started after loading, which must not count as missed steps
    double droppedSeconds = 0.0;
    long stepsDone = 0;
    while (demo.state.running)
    {
        const StepPlan plan = planSteps(wallClock.getElapsedTime().asSeconds() - droppedSeconds, stepsDone);
        if (plan.steps == 0)
        {
            sf::sleep(sf::seconds(static_cast<float>(plan.waitSeconds)));
            continue;
        }
        droppedSeconds += plan.droppedSeconds;
        for (int step = 1; step < plan.steps && demo.state.running; ++step)
            runFrame(demo, window, stepSeconds, KeyState{}, demoScenes(), {}, FrameDrawing::suppressed);
        if (demo.state.running)
            runFrame(demo, window, stepSeconds, readKeyboard(), demoScenes());
        stepsDone += plan.steps;
    }

    window.close();
    return 0;
}
