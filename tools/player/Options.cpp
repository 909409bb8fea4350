#include "Options.hpp"

#include "scenes/SceneTable.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

const char* const playerUsage = R"(Usage: flumbadoo-player [options]
Plays the demo from the working directory (config.json, assets/) in a window, in real time on
its 60 Hz clock with its music, for the people who make it: start anywhere with the exact
state, pause, step and seek, and see shaders and pictures reloaded as they are saved.

  --at SECONDS      start at that demo time (step ceil(SECONDS x 60)), reached exactly
  --step N          start at 60 Hz step N (step 1 shows 0 s)
  --scene ID        start at the first frame of scene ID in the chain
  --paused          start paused
  --speed S         1, 0.5 or 0.25 (default 1); music and effects follow
  --no-overlay      start with the overlay hidden
  --position X,Y    put the window's top left corner there
  --help            show this text

Keys:
  Space             pause / play
  . (period)        one frame forward (pauses)
  , (comma)         one frame back (pauses)
  Right / Left      1 s forward / back
  Up / Down         10 s forward / back (Shift with Right / Left too)
  N / P             next scene's start / this scene's start (the previous one's
                    within the first second of a scene)
  R                 back to the start
  1 / 2 / 4         full, half, quarter speed
  [ / ]             the loop starts / ends at the step on screen
  L                 loop this scene; with a loop set, end it
  O                 overlay on / off
  Escape / Q        quit

The demo's state is kept every 5 s of demo time as the player reaches it; a seek, forwards or
back, starts from the nearest kept moment before the target and runs the steps from there
without drawing them (well under a microsecond a step). Shaders
under assets/shaders/ and the pictures that assets/textures.json names are reloaded in place
when they change.
)";

namespace
{
bool parseNumber(const std::string& text, double& value)
{
    std::istringstream stream(text);
    stream >> value;
    return stream && stream.peek() == std::char_traits<char>::eof();
}

bool inChain(SceneId scene)
{
    const SceneTable& chain = demoScenes();
    return std::any_of(chain.begin(), chain.end(),
                       [scene](const SceneEntry& entry) { return entry.id == scene; });
}

std::nullopt_t refuse(const std::string& what)
{
    std::cerr << "flumbadoo-player: " << what << std::endl;
    return std::nullopt;
}
} // namespace

std::optional<PlayerOptions> parsePlayerOptions(int argc, char** argv, bool& helpWanted)
{
    PlayerOptions options;
    int starts = 0;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        std::string value;
        auto nextValue = [&]
        {
            if (i + 1 >= argc)
            {
                refuse(arg + " needs a value");
                return false;
            }
            value = argv[++i];
            return true;
        };
        double number = 0.0;
        if (arg == "--help" || arg == "-h")
        {
            helpWanted = true;
            return options;
        }
        else if (arg == "--paused")
            options.paused = true;
        else if (arg == "--no-overlay")
            options.overlay = false;
        else if (arg == "--at")
        {
            if (!nextValue())
                return std::nullopt;
            if (!parseNumber(value, number) || !(number >= 0.0) || !std::isfinite(number))
                return refuse("--at needs a number of seconds, not \"" + value + "\"");
            options.at = number;
            ++starts;
        }
        else if (arg == "--step")
        {
            if (!nextValue())
                return std::nullopt;
            if (!parseNumber(value, number) || number != std::floor(number) || number < 1.0 || number > 1e7)
                return refuse("--step needs a step number from 1, not \"" + value + "\"");
            options.step = static_cast<long>(number);
            ++starts;
        }
        else if (arg == "--scene")
        {
            if (!nextValue())
                return std::nullopt;
            if (!parseNumber(value, number) || number != std::floor(number) || std::fabs(number) > 1e6 ||
                !inChain(static_cast<SceneId>(number)))
                return refuse("--scene needs the id of a scene of the demo, not \"" + value + "\"");
            options.scene = static_cast<SceneId>(number);
            ++starts;
        }
        else if (arg == "--speed")
        {
            if (!nextValue())
                return std::nullopt;
            if (!parseNumber(value, number) || (number != 1.0 && number != 0.5 && number != 0.25))
                return refuse("--speed needs 1, 0.5 or 0.25, not \"" + value + "\"");
            options.speed = static_cast<float>(number);
        }
        else if (arg == "--position")
        {
            if (!nextValue())
                return std::nullopt;
            std::istringstream stream(value);
            int x = 0;
            int y = 0;
            char comma = 0;
            if (!(stream >> x >> comma >> y) || comma != ',' ||
                stream.peek() != std::char_traits<char>::eof())
                return refuse("--position needs X,Y in pixels, not \"" + value + "\"");
            options.position = std::pair(x, y);
        }
        else
            return refuse("unknown option \"" + arg + "\" (try --help)");
    }
    if (starts > 1)
        return refuse("--at, --step and --scene do not go together");
    return options;
}
