// flumbadoo-capture: runs the demo's own start-up and frames with a fixed time step,
// as fast as the machine renders, and optionally saves stills and the scene timeline,
// exports a video with the demo's sound, or measures every frame's time.
#include "assets/Registries.hpp"
#include "capture/DemoLength.hpp"
#include "capture/FrameTimes.hpp"
#include "capture/Progress.hpp"
#include "capture/SoundLog.hpp"
#include "capture/VideoExport.hpp"
#include "runtime/Display.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Startup.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/System/Clock.hpp>
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
  --scene ID           start the frame loop at scene ID instead of 0 (its first frame)
  --video FILE         write the frames and the demo's sound as an H.264/AAC MP4 through
                       ffmpeg; frame n (from 1) shows at (n - 1) / fps and its sounds start then
  --crf N              x264 quality for --video, 0 (lossless) to 51 (default 18)
  --preset NAME        x264 speed preset for --video, ultrafast to veryslow (default medium)
  --bench FILE.csv     finish each frame's GPU work before taking its time; write
                       "frame,scene,ms" rows to FILE.csv and print a per-scene table and
                       the start-up steps
  --quiet              no progress line and no final line
  --help               show this text
)";

struct Options
{
    float fps = 60.f;
    std::optional<double> until;
    std::vector<double> stills;
    std::string out;
    bool timeline = false;
    SceneId scene = 0;
    std::string video;
    int crf = 18;
    std::string preset = "medium";
    std::string bench;
    bool quiet = false;
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
        else if (arg == "--quiet")
            options.quiet = true;
        else if (arg == "--video" || arg == "--bench")
        {
            if (!nextValue(value))
                return std::nullopt;
            if (value.empty())
            {
                std::cerr << "flumbadoo-capture: " << arg << " needs a file name" << std::endl;
                return std::nullopt;
            }
            (arg == "--video" ? options.video : options.bench) = value;
        }
        else if (arg == "--scene" || arg == "--crf")
        {
            if (!nextValue(value))
                return std::nullopt;
            const bool isCrf = arg == "--crf";
            if (!parseNumber(value, number) || number != std::floor(number) || number < 0.0 ||
                number > (isCrf ? 51.0 : 100000.0))
            {
                std::cerr << "flumbadoo-capture: " << arg << " needs "
                          << (isCrf ? "a whole number from 0 to 51" : "a scene id") << ", not \"" << value
                          << "\"" << std::endl;
                return std::nullopt;
            }
            (isCrf ? options.crf : options.scene) = static_cast<int>(number);
        }
        else if (arg == "--preset")
        {
            if (!nextValue(options.preset))
                return std::nullopt;
            const std::set<std::string> presets = {"ultrafast", "superfast", "veryfast", "faster",  "fast",
                                                   "medium",    "slow",      "slower",   "veryslow"};
            if (presets.count(options.preset) == 0)
            {
                std::cerr
                    << "flumbadoo-capture: --preset needs one of ultrafast, superfast, veryfast, faster, "
                       "fast, medium, slow, slower, veryslow, not \""
                    << options.preset << "\"" << std::endl;
                return std::nullopt;
            }
        }
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
    if (!options.video.empty() && !options.bench.empty())
    {
        // The readback and encoding would be counted in every frame's time.
        std::cerr << "flumbadoo-capture: --video and --bench cannot run together" << std::endl;
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

/// Frames the run will render: the demo's own length from the start scene, cut at --until.
long plannedFrames(const Options& options, float frameSeconds)
{
    const long demoFrames = demoFrameCount(frameSeconds, options.scene);
    if (!options.until)
        return demoFrames;
    // The same test as the loop's: the first frame whose demo time reaches --until is the last.
    long untilFrames = std::max(1L, static_cast<long>(std::floor(*options.until / frameSeconds)) - 1);
    while (static_cast<double>(untilFrames) * frameSeconds < *options.until)
        ++untilFrames;
    return demoFrames > 0 ? std::min(demoFrames, untilFrames) : untilFrames;
}

/// Median time of one plain full-screen pass (a trivial shader over the whole window),
/// GPU work finished, in milliseconds: the unit the bench table's medians are given in.
double plainPassMilliseconds(sf::RenderWindow& window)
{
    sf::Shader shader;
    const bool shaded = shader.loadFromMemory(
        "uniform vec2 size; void main() { gl_FragColor = vec4(gl_FragCoord.xy / size, 0.5, 1.0); }",
        sf::Shader::Fragment);
    if (shaded)
        shader.setUniform("size", sf::Glsl::Vec2(window.getSize()));
    sf::RectangleShape quad(sf::Vector2f(window.getSize()));
    std::vector<double> times;
    for (int i = 0; i < 15; ++i)
    {
        window.clear();
        glFinish();
        sf::Clock clock;
        window.draw(quad, shaded ? sf::RenderStates(&shader) : sf::RenderStates::Default);
        glFinish();
        times.push_back(clock.getElapsedTime().asMicroseconds() / 1000.0);
    }
    window.clear();
    return percentile(times, 0.5);
}

void printStartup(const StartupTimes& times)
{
    double total = 0.0;
    std::cout << "start-up step        ms" << std::endl;
    for (const auto& [step, seconds] : times)
    {
        std::cout << std::left << std::setw(16) << step << std::right << std::fixed << std::setprecision(1)
                  << std::setw(10) << seconds * 1000.0 << std::endl;
        total += seconds;
    }
    std::cout << std::left << std::setw(16) << "total" << std::right << std::setw(10) << total * 1000.0
              << std::endl;
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

    VideoExport video;
    if (!options.video.empty() &&
        !video.prepare({options.video, static_cast<double>(options.fps), options.crf, options.preset}))
        return 1;
    if (!options.bench.empty() && !checkWritable(options.bench, "frame times"))
        return 1;

    StartupTimes startupTimes;
    sf::RenderWindow window;
    // A shader the demo cannot run without ends it with 0, as the demo does; a file that was
    // asked for and is not written is a failure all the same.
    if (!startUp(window, &startupTimes))
        return options.video.empty() && options.bench.empty() ? 0 : 1;
    // Frames are stepped by a fixed time, so nothing may wait for the display.
    window.setFramerateLimit(0);
    window.setVerticalSyncEnabled(false);
    currentScene = options.scene;

    const bool benching = !options.bench.empty();
    const double plainPassMs = benching ? plainPassMilliseconds(window) : 0.0;
    if (!options.video.empty() && !video.start(window.getSize()))
        return 1;
    // Only the export listens to the registries; every other run leaves them as the demo has them.
    std::optional<SoundLog> soundLog;
    if (!options.video.empty())
        soundLog.emplace(soundManager, musicManager);

    const float frameSeconds = 1.f / options.fps;
    ProgressLine progress(std::cerr, plannedFrames(options, frameSeconds), isatty(STDERR_FILENO) != 0,
                          options.quiet);
    std::vector<FrameTime> frameTimes;
    std::size_t nextStill = 0;
    bool stillFailed = false;
    bool videoFailed = false;
    long frame = 0;

    while (running && !videoFailed)
    {
        ++frame;
        if (soundLog)
            soundLog->setFrame(frame);
        const double demoTime = static_cast<double>(frame) * frameSeconds;
        const bool saveThisFrame = nextStill < options.stills.size() && demoTime >= options.stills[nextStill];
        sf::Clock frameClock;
        const FrameResult result = runFrame(window, frameSeconds, KeyState{}, demoScenes(),
                                            [&]
                                            {
                                                if (saveThisFrame)
                                                {
                                                    std::ostringstream name;
                                                    name << options.out << "/frame-" << std::setw(6)
                                                         << std::setfill('0') << frame << ".png";
                                                    if (!saveStill(window, name.str()))
                                                    {
                                                        std::cerr << "flumbadoo-capture: could not save "
                                                                  << name.str() << std::endl;
                                                        stillFailed = true;
                                                    }
                                                }
                                                if (soundLog && !video.addFrame(window))
                                                    videoFailed = true;
                                            });
        if (benching)
        {
            // Drawing calls only queue work; the frame is done when the GPU is.
            glFinish();
            frameTimes.push_back(
                {frame, result.scene, frameClock.getElapsedTime().asMicroseconds() / 1000.0});
        }
        while (nextStill < options.stills.size() && demoTime >= options.stills[nextStill])
            ++nextStill;

        if (options.timeline && result.sceneRan && result.next != result.scene)
            std::cout << frame << " " << result.scene << " " << result.next << std::endl;
        progress.update(frame, result.scene);
        if (options.until && demoTime >= *options.until)
            break;
    }
    progress.finish(frame);
    if (options.timeline)
        std::cout << frame << " end" << std::endl;
    window.close();

    if (soundLog)
    {
        if (videoFailed)
            return 1;
        const SoundMix mix = mixCues(soundLog->cues(), soundManager, musicManager, 1.0 / options.fps, frame);
        soundLog.reset();
        if (!writeMix(mix, video.soundPath()) || !video.finish())
            return 1;
        if (!options.quiet)
            std::cerr << "flumbadoo-capture: wrote " << options.video << "; readback " << std::fixed
                      << std::setprecision(2)
                      << 1000.0 * video.readbackSeconds / std::max(1L, video.framesSent)
                      << " ms a frame (after "
                      << 1000.0 * video.renderWaitSeconds / std::max(1L, video.framesSent)
                      << " ms waiting for the frame to finish rendering), handing to ffmpeg "
                      << 1000.0 * video.pipeSeconds / std::max(1L, video.framesSent)
                      << " ms a frame; sound peak " << mix.rawPeak << " scaled by " << mix.gain << std::endl;
    }
    if (benching)
    {
        if (!writeFrameCsv(options.bench, frameTimes))
            return 1;
        printSceneTable(std::cout, summariseScenes(frameTimes), plainPassMs);
        printStartup(startupTimes);
    }
    return stillFailed ? 1 : 0;
}
