// flumbadoo-capture: runs the demo's own start-up and frames with a fixed time step,
// as fast as the machine renders, and optionally saves stills and the scene timeline.
#include "runtime/Display.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Startup.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
const char* const usage = R"(Usage: flumbadoo-capture [options]
Runs the demo from the working directory (config.json, assets/) with a fixed time step.

  --fps N              frame time is 1/N seconds (default 60)
  --until SECONDS      stop once that much demo time has run (default: the demo's end)
  --stills T1,T2,...   save the finished frame as PNG at the first frame whose demo time
                       (frame count x frame time) is at least each Ti; needs --out
  --out DIR            folder for the stills (created if missing)
  --timeline           print "<frame> <from> <to>" for each scene hand-over and
                       "<frame> end" after the last frame
  --help               show this text
)";

struct Options
{
    float fps = 60.f;
    std::optional<double> until;
    std::vector<double> stills;
    std::string out;
    bool timeline = false;
};

bool parseNumber(const std::string& text, double& value)
{
    std::istringstream stream(text);
    stream >> value;
    return stream && stream.peek() == std::char_traits<char>::eof();
}

/// Parses the command line; on a bad option writes why and returns nothing.
std::optional<Options> parseOptions(int argc, char** argv, bool& helpWanted)
{
    Options options;
    bool stillsGiven = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        auto nextValue = [&](std::string& value)
        {
            if (i + 1 >= argc)
            {
                std::cerr << "flumbadoo-capture: " << arg << " needs a value" << std::endl;
                return false;
            }
            value = argv[++i];
            return true;
        };
        std::string value;
        double number = 0.0;
        if (arg == "--help" || arg == "-h")
        {
            helpWanted = true;
            return options;
        }
        else if (arg == "--timeline")
            options.timeline = true;
        else if (arg == "--fps")
        {
            if (!nextValue(value))
                return std::nullopt;
            // A rate so small that 1/N overflows a float would make every frame infinitely long.
            if (!parseNumber(value, number) || !(number > 0.0) ||
                !std::isfinite(1.f / static_cast<float>(number)))
            {
                std::cerr << "flumbadoo-capture: --fps needs a positive number, not \"" << value << "\""
                          << std::endl;
                return std::nullopt;
            }
            options.fps = static_cast<float>(number);
        }
        else if (arg == "--until")
        {
            if (!nextValue(value))
                return std::nullopt;
            if (!parseNumber(value, number) || number < 0.0)
            {
                std::cerr << "flumbadoo-capture: --until needs a number of seconds, not \"" << value << "\""
                          << std::endl;
                return std::nullopt;
            }
            options.until = number;
        }
        else if (arg == "--stills")
        {
            if (!nextValue(value))
                return std::nullopt;
            stillsGiven = true;
            std::istringstream list(value);
            for (std::string item; std::getline(list, item, ',');)
            {
                if (!parseNumber(item, number) || number < 0.0)
                {
                    std::cerr
                        << "flumbadoo-capture: --stills needs times in seconds separated by commas, not \""
                        << value << "\"" << std::endl;
                    return std::nullopt;
                }
                options.stills.push_back(number);
            }
        }
        else if (arg == "--out")
        {
            if (!nextValue(options.out))
                return std::nullopt;
        }
        else
        {
            std::cerr << "flumbadoo-capture: unknown option \"" << arg << "\" (try --help)" << std::endl;
            return std::nullopt;
        }
    }
    if (stillsGiven && options.stills.empty())
    {
        std::cerr << "flumbadoo-capture: --stills needs at least one time" << std::endl;
        return std::nullopt;
    }
    if (!options.stills.empty() && options.out.empty())
    {
        std::cerr << "flumbadoo-capture: --stills needs --out DIR" << std::endl;
        return std::nullopt;
    }
    std::sort(options.stills.begin(), options.stills.end());
    return options;
}

bool saveStill(const sf::RenderWindow& window, const std::string& file)
{
    sf::Texture texture;
    if (!texture.create(window.getSize().x, window.getSize().y))
        return false;
    texture.update(window);
    // The window's alpha never reaches the screen (frames start cleared to transparent
    // black), so the still is made opaque to show what a viewer sees.
    sf::Image image = texture.copyToImage();
    for (unsigned y = 0; y < image.getSize().y; ++y)
        for (unsigned x = 0; x < image.getSize().x; ++x)
        {
            sf::Color pixel = image.getPixel(x, y);
            pixel.a = 255;
            image.setPixel(x, y, pixel);
        }
    return image.saveToFile(file);
}
} // namespace

// Built before every other static object, ahead of the program-wide layers and shaders whose
// construction would abort the process without a display. Scripts must see the tool fail.
static const DisplayGuard displayGuard __attribute__((init_priority(101))) (
    "flumbadoo-capture: no X display: DISPLAY is not set or its server cannot be reached. Run it in a "
    "graphical session, or under xvfb-run -a -s \"-screen 0 1920x1080x24 -noreset\".",
    1);

int main(int argc, char** argv)
{
    bool helpWanted = false;
    const std::optional<Options> parsed = parseOptions(argc, argv, helpWanted);
    if (helpWanted)
    {
        std::cout << usage;
        return 0;
    }
    if (!parsed)
        return 2;
    const Options& options = *parsed;

    if (!options.out.empty())
    {
        std::error_code error;
        std::filesystem::create_directories(options.out, error);
        if (error)
        {
            std::cerr << "flumbadoo-capture: cannot create " << options.out << ": " << error.message()
                      << std::endl;
            return 1;
        }
    }

    sf::RenderWindow window;
    if (!startUp(window))
        return 0;
    // Frames are stepped by a fixed time, so nothing may wait for the display.
    window.setFramerateLimit(0);
    window.setVerticalSyncEnabled(false);

    const float frameSeconds = 1.f / options.fps;
    const bool progress = isatty(STDERR_FILENO) != 0;
    std::size_t nextStill = 0;
    bool stillFailed = false;
    long frame = 0;

    while (running)
    {
        ++frame;
        const double demoTime = static_cast<double>(frame) * frameSeconds;
        const bool saveThisFrame = nextStill < options.stills.size() && demoTime >= options.stills[nextStill];
        const FrameResult result = runFrame(window, frameSeconds, KeyState{}, demoScenes(),
                                            [&]
                                            {
                                                if (!saveThisFrame)
                                                    return;
                                                std::ostringstream name;
                                                name << options.out << "/frame-" << std::setw(6)
                                                     << std::setfill('0') << frame << ".png";
                                                if (!saveStill(window, name.str()))
                                                {
                                                    std::cerr << "flumbadoo-capture: could not save "
                                                              << name.str() << std::endl;
                                                    stillFailed = true;
                                                }
                                            });
        while (nextStill < options.stills.size() && demoTime >= options.stills[nextStill])
            ++nextStill;

        if (options.timeline && result.sceneRan && result.next != result.scene)
            std::cout << frame << " " << result.scene << " " << result.next << std::endl;
        if (progress && frame % 10 == 0)
        {
            std::ostringstream line;
            line << "\rframe " << frame << "  demo time " << std::fixed << std::setprecision(2) << demoTime
                 << " s  scene " << currentScene << "   ";
            std::cerr << line.str() << std::flush;
        }
        if (options.until && demoTime >= *options.until)
            break;
    }
    if (progress)
        std::cerr << std::endl;
    if (options.timeline)
        std::cout << frame << " end" << std::endl;

    window.close();
    return stillFailed ? 1 : 0;
}
