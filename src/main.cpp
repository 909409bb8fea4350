// Flumbadoo: plays the demo from its first scene to its last, then exits.
#include "runtime/AudioDevice.hpp"
#include "runtime/Display.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Startup.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>

// Built before every other static object, ahead of the program-wide layers and shaders whose
// construction would abort the process without a display. No display is no failure of the
// demo's: it says so and ends with status 0, as on every other path.
static const DisplayGuard displayGuard __attribute__((init_priority(101))) (noDisplayMessage, 0);
// Next, before the registries' music player starts the audio library: a machine without a sound
// card plays the demo silently with one line, not a page of the audio library's complaints.
static const AudioGuard audioGuard __attribute__((init_priority(102))) (noAudioMessage);

int main()
{
    sf::RenderWindow window;
    if (!startUp(window))
        return 0;

    // The demo runs on its own 60 Hz clock: each drawn frame shows the latest step the wall
    // clock has reached, and the steps in between run without drawing, so the pictures keep
    // to the music however fast the machine draws.
    sf::Clock wallClock; // started after loading, which must not count as missed steps
    double droppedSeconds = 0.0;
    long stepsDone = 0;
    while (running)
    {
        const StepPlan plan = planSteps(wallClock.getElapsedTime().asSeconds() - droppedSeconds, stepsDone);
        if (plan.steps == 0)
        {
            sf::sleep(sf::seconds(static_cast<float>(plan.waitSeconds)));
            continue;
        }
        droppedSeconds += plan.droppedSeconds;
        for (int step = 1; step < plan.steps && running; ++step)
            runFrame(window, stepSeconds, KeyState{}, demoScenes(), {}, FrameDrawing::suppressed);
        if (running)
            runFrame(window, stepSeconds, readKeyboard(), demoScenes());
        stepsDone += plan.steps;
    }

    window.close();
    return 0;
}
