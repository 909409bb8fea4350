// Plays the demo in real time from the flowers beat (scene 7), with the music at its place, and
// stalls the main thread as a slow machine would: "flumbadoo-stall-probe [--wall-clock]
// STEP:SECONDS ...", each at the first frame from that step on, counted from the scene's first. For every
// drawn frame it prints
// "<step> <demo seconds of that step> <music seconds when the frame began>", both counted from
// the music's start, until the scene after next has begun.
#include "runtime/Display.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Startup.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/System/Sleep.hpp>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>

int main(int argc, char** argv)
{
    bool followMusic = true;
    std::map<long, float> stalls;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--wall-clock")
            followMusic = false;
        else if (const auto colon = arg.find(':'); colon != std::string::npos)
            stalls[std::stol(arg.substr(0, colon))] = std::stof(arg.substr(colon + 1));
    }
    if (!checkDisplay("flumbadoo-stall-probe: no display"))
        return 1;
    Resources resources;
    sf::RenderWindow window;
    if (!startUp(resources, window))
        return 1;
    Demo demo(resources);

    // To the flowers beat's first step without drawing; the music starts with scene 2's.
    long step = 0, musicStep = -1;
    resources.musicManager.onPlay = [&](const std::string&, bool) { musicStep = step; };
    while (demo.state.currentScene != 7)
    {
        ++step;
        runFrame(demo, window, stepSeconds, KeyState{}, demoScenes(), {}, FrameDrawing::suppressed);
    }
    sf::Music& music = resources.musicManager.player();
    const double sceneStart = static_cast<double>(step - musicStep) / stepsPerSecond;
    music.setPlayingOffset(sf::seconds(static_cast<float>(sceneStart)));

    double musicAtFrame = 0.0;
    beforeRealTimeFrame = [&](long done)
    {
        // Each stall comes at the first frame that starts at or past its step.
        if (!stalls.empty() && done >= stalls.begin()->first)
        {
            sf::sleep(sf::seconds(stalls.begin()->second));
            stalls.erase(stalls.begin());
        }
        musicAtFrame = music.getPlayingOffset().asSeconds();
        if (demo.state.currentScene == 9)
            demo.state.running = false;
    };
    std::printf("step demo music\n");
    playInRealTime(
        demo, demo.state, resources, window, demoScenes(),
        [&](long done)
        {
            std::printf("%ld %.4f %.4f\n", done, sceneStart + static_cast<double>(done - 1) / stepsPerSecond,
                        musicAtFrame);
        },
        followMusic);
    return 0;
}
