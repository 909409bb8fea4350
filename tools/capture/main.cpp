// flumbadoo-capture: runs the demo's own start-up and frames with a fixed time step,
// as fast as the machine renders, and optionally saves stills and the scene timeline,
// exports a video with the demo's sound, or measures every frame's time.
#include "capture/DemoLength.hpp"
#include "capture/FrameTimes.hpp"
#include "capture/Interrupt.hpp"
#include "capture/Progress.hpp"
#include "capture/Sha256.hpp"
#include "capture/SoundLog.hpp"
#include "capture/VideoExport.hpp"
#include "runtime/AudioDevice.hpp"
#include "runtime/Display.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Startup.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/System/Clock.hpp>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
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
Runs the demo from the working directory (config.json, assets/) on its 60 Hz clock, as fast
as the machine renders. Output frame k shows the demo at the last 60 Hz step at or before
(k - 1) / fps seconds; the steps in between run without being drawn.

  --fps N              output frames per second, a whole number from 1 to 60 (default 60)
  --at SECONDS         run the steps before that demo time without drawing them, then
                       output from the first output frame whose demo time reaches it
  --until SECONDS      stop after the first output frame whose demo time (its 60 Hz steps
                       / 60) reaches this (default: the demo's end)
  --stills T1,T2,...   save the output frame as PNG at the first one whose demo time is at
                       least each Ti; needs --out
  --out DIR            folder for the stills (created if missing)
  --timeline           print "<step> <from> <to>" for each scene hand-over and
                       "<step> end" after the last step, in 60 Hz steps whatever --fps is
  --scene ID           start the frame loop at scene ID instead of 0 (its first frame)
  --video FILE         write the output frames and the demo's sound as an H.264/AAC MP4
                       through ffmpeg; output frame k shows at (k - 1) / fps, and each
                       sound starts at its step's time
  --crf N              x264 quality for --video, 0 (lossless) to 51 (default 18)
  --preset NAME        x264 speed preset for --video, ultrafast to veryslow (default medium)
  --bench FILE.csv     finish each output frame's GPU work before taking its time; write
                       "frame,scene,ms" rows to FILE.csv and print a per-scene table, the
                       steps run without drawing per second per scene, and the start-up steps;
                       every other output frame also times each of its passes (GPU work
                       finished around each): their medians go to FILE.passes.csv and are
                       printed, and the table takes the frames in between
  --hashes FILE        write "<step> <sha256>" to FILE for each output frame: the 60 Hz step
                       it shows and the SHA-256 of its RGB pixels, bottom row first, for
                       comparing the pictures of two builds
  --no-shortcuts       draw every pass in full, also those that cannot change a pixel
                       (to check that the shortcuts the demo takes change none)
  --quiet              no progress line and no final line
  --help               show this text
)";

struct Options
{
    int fps = stepsPerSecond;
    std::optional<double> at;
    std::optional<double> until;
    std::vector<double> stills;
    std::string out;
    bool timeline = false;
    SceneId scene = 0;
    std::string video;
    int crf = 18;
    std::string preset = "medium";
    std::string bench;
    std::string hashes;
    bool quiet = false;
    bool shortcuts = true;
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
        else if (arg == "--no-shortcuts")
            options.shortcuts = false;
        else if (arg == "--video" || arg == "--bench" || arg == "--hashes")
        {
            if (!nextValue(value))
                return std::nullopt;
            if (value.empty())
            {
                std::cerr << "flumbadoo-capture: " << arg << " needs a file name" << std::endl;
                return std::nullopt;
            }
            (arg == "--video" ? options.video : arg == "--bench" ? options.bench : options.hashes) = value;
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
            // Every output frame is one of the demo's 60 Hz steps: more would repeat them.
            if (!parseNumber(value, number) || number != std::floor(number) || number < 1.0 ||
                number > stepsPerSecond)
            {
                std::cerr << "flumbadoo-capture: --fps needs a whole number from 1 to 60, not \"" << value
                          << "\"" << std::endl;
                return std::nullopt;
            }
            options.fps = static_cast<int>(number);
        }
        else if (arg == "--until" || arg == "--at")
        {
            if (!nextValue(value))
                return std::nullopt;
            if (!parseNumber(value, number) || !(number >= 0.0) || !std::isfinite(number))
            {
                std::cerr << "flumbadoo-capture: " << arg << " needs a number of seconds, not \"" << value
                          << "\"" << std::endl;
                return std::nullopt;
            }
            (arg == "--at" ? options.at : options.until) = number;
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
    if (options.at && options.until && *options.until < *options.at)
    {
        std::cerr << "flumbadoo-capture: --until must not come before --at" << std::endl;
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

bool saveStill(sf::RenderWindow& window, const std::string& file)
{
    sf::Texture texture;
    if (!texture.create(window.getSize().x, window.getSize().y))
        return false;
    // Activated as a render window, which unbinds a layer's framebuffer that the frame's last
    // drawing may have left bound: the copy would read that layer instead.
    window.setActive(true);
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

/// The SHA-256 of the finished frame's RGB pixels in window, read back before display.
std::string frameHash(sf::RenderWindow& window, std::vector<unsigned char>& pixels)
{
    const sf::Vector2u size = window.getSize();
    pixels.resize(static_cast<std::size_t>(size.x) * size.y * 3);
    window.setActive(true);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(size.x), static_cast<GLsizei>(size.y), GL_RGB, GL_UNSIGNED_BYTE,
                 pixels.data());
    Sha256 sha;
    sha.update(pixels.data(), pixels.size());
    return sha.hexDigest();
}

/// The first output frame whose demo time reaches seconds.
long firstFrameAt(double seconds, int framesPerSecond)
{
    // The first step that reaches it, then the first output frame that shows that step or a
    // later one. Times past any demo are held to a day, which no frame reaches either.
    const double wanted = std::min(seconds, 86400.0) * stepsPerSecond - 1e-7;
    const long step = std::max(1L, static_cast<long>(std::ceil(wanted)));
    return 1 + ((step - 1) * framesPerSecond + stepsPerSecond - 1) / stepsPerSecond;
}

/// Output frames the run will render: the demo's own length from the start scene, from
/// firstFrame on, cut at --until; 0 when the length is unknown.
long plannedFrames(const Options& options, long firstFrame)
{
    const long demoSteps = demoFrameCount(stepSeconds, options.scene);
    if (demoSteps == 0 && !options.until)
        return 0;
    long frames = 0;
    for (long frame = firstFrame;; ++frame)
    {
        const long step = outputFrameStep(frame, options.fps);
        if (demoSteps > 0 && step > demoSteps)
            break;
        ++frames;
        if (options.until && reachesTime(stepDemoTime(step), *options.until))
            break;
    }
    return frames;
}

/// Times of 15 plain full-screen passes (a trivial shader over the whole window), GPU work
/// finished, in milliseconds; their median over the run is the unit of the bench's tables.
std::vector<double> plainPassMilliseconds(sf::RenderWindow& window)
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
    return times;
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

const char* const noDisplayLine =
    "flumbadoo-capture: no X display: DISPLAY is not set or its server cannot be reached. Run it in a "
    "graphical session, or under xvfb-run -a -s \"-screen 0 1920x1080x24 -noreset\".";
} // namespace

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
    // Stopped half-way, the tool removes what it had begun to write, says so and fails.
    catchInterrupts();

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
    if (!options.bench.empty() && (!checkWritable(options.bench, "frame times") ||
                                   !checkWritable(passCsvPath(options.bench), "pass times")))
        return 1;

    std::ofstream hashes;
    if (!options.hashes.empty())
    {
        hashes.open(options.hashes);
        if (!hashes)
        {
            std::cerr << "flumbadoo-capture: cannot write " << options.hashes << std::endl;
            return 1;
        }
    }
    std::vector<unsigned char> hashPixels;

    // Scripts must see the tool fail without a display. It only records sound, so no sound card
    // is opened: the audio library plays into its silent null device.
    if (!checkDisplay(noDisplayLine))
        return 1;
    useSilentAudio();
    StartupTimes startupTimes;
    Resources resources;
    sf::RenderWindow window;
    // A shader the demo cannot run without ends it with 0, as the demo does; a file that was
    // asked for and is not written is a failure all the same.
    if (!startUp(resources, window, &startupTimes, openingPictures(demoScenes())))
        return options.video.empty() && options.bench.empty() ? 0 : 1;
    Demo demo(resources);
    // Frames are stepped by a fixed time, so nothing may wait for the display.
    window.setFramerateLimit(0);
    window.setVerticalSyncEnabled(false);
    demo.state.currentScene = options.scene;
    drawingShortcuts = options.shortcuts;

    const bool benching = !options.bench.empty();
    // Measured at the start and again every 100 output frames, so that the unit follows a
    // machine whose load changes during the run.
    std::vector<double> plainPasses = benching ? plainPassMilliseconds(window) : std::vector<double>();
    if (!options.video.empty() && !video.start(window.getSize()))
        return 1;
    // Only the export listens to the registries; every other run leaves them as the demo has them.
    std::optional<SoundLog> soundLog;
    if (!options.video.empty())
        soundLog.emplace(resources.soundManager, resources.musicManager);

    const long firstFrame = options.at ? firstFrameAt(*options.at, options.fps) : 1;
    const long firstStep = outputFrameStep(firstFrame, options.fps);
    ProgressLine progress(std::cerr, plannedFrames(options, firstFrame), isatty(STDERR_FILENO) != 0,
                          options.quiet);
    std::vector<FrameTime> frameTimes;
    std::vector<FrameTime> stepTimes; // the steps run without drawing
    std::vector<FramePasses> framePasses;
    std::vector<FrameTime> plainFrameTimes; // the output frames whose passes were not timed
    PassClock passClock;
    std::size_t nextStill = 0;
    bool stillFailed = false;
    bool videoFailed = false;
    long frame = firstFrame; // the next output frame
    long framesDrawn = 0;
    long step = 0;
    long picturesInFrame = 0; // the output frame after which the last of it went in
    bool loadingLeft = true;

    while (demo.state.running && !videoFailed && interruptSignal() == 0)
    {
        ++step;
        // The sound track starts with the first output frame; what came before starts earlier.
        if (soundLog)
            soundLog->setFrame(step - firstStep + 1);
        const bool drawThis = step == outputFrameStep(frame, options.fps);
        const double demoTime = stepDemoTime(step);
        const bool saveThisFrame =
            drawThis && nextStill < options.stills.size() && reachesTime(demoTime, options.stills[nextStill]);
        // Every other output frame times its passes, waiting for the GPU around each, which
        // costs time of its own: the per-scene table takes the frames in between. An undrawn
        // step makes no pixels to wait for.
        const bool timePasses = benching && drawThis && frame % 2 == 0;
        passObserver = timePasses ? &passClock : nullptr;
        // Nanoseconds: a step without drawing takes well under one microsecond.
        const auto frameStart = std::chrono::steady_clock::now();
        const FrameResult result = runFrame(
            demo, window, stepSeconds, KeyState{}, demoScenes(),
            [&]
            {
                if (saveThisFrame)
                {
                    std::ostringstream name;
                    name << options.out << "/frame-" << std::setw(6) << std::setfill('0') << frame << ".png";
                    if (!saveStill(window, name.str()))
                    {
                        std::cerr << "flumbadoo-capture: could not save " << name.str() << std::endl;
                        stillFailed = true;
                    }
                }
                if (hashes.is_open())
                    hashes << step << " " << frameHash(window, hashPixels) << "\n";
                if (soundLog && !video.addFrame(window))
                    videoFailed = true;
            },
            drawThis ? FrameDrawing::drawn : FrameDrawing::suppressed);
        if (benching)
        {
            // Drawing calls only queue work; the frame is done when the GPU is. A step without
            // drawing made none.
            if (drawThis)
                glFinish();
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - frameStart)
                    .count();
            (drawThis ? frameTimes : stepTimes).push_back({drawThis ? frame : step, result.scene, ms});
            passObserver = nullptr;
            if (timePasses)
                framePasses.push_back({result.scene, ms, passClock.takePasses()});
            else if (drawThis)
                plainFrameTimes.push_back({frame, result.scene, ms});
        }
        if (options.timeline && result.sceneRan && result.next != result.scene)
            std::cout << step << " " << result.scene << " " << result.next << std::endl;
        if (!drawThis)
            continue;

        ++framesDrawn;
        // What start-up left (the pictures the first scenes do not draw, the letter texts' glyphs)
        // goes in one piece an output frame, outside its time.
        if (loadingLeft && !(loadingLeft = resources.loadNext()))
            picturesInFrame = frame;
        if (benching && framesDrawn % 100 == 0)
        {
            const std::vector<double> more = plainPassMilliseconds(window);
            plainPasses.insert(plainPasses.end(), more.begin(), more.end());
        }
        while (nextStill < options.stills.size() && reachesTime(demoTime, options.stills[nextStill]))
            ++nextStill;
        progress.update(framesDrawn, result.scene);
        ++frame;
        if (options.until && reachesTime(demoTime, *options.until))
            break;
    }
    progress.finish(framesDrawn);
    if (const int signal = interruptSignal())
    {
        hashes.close();
        if (!options.hashes.empty())
            std::filesystem::remove(options.hashes);
        video.abandon();
        const bool unfinished = !options.video.empty() || !options.hashes.empty() || !options.bench.empty();
        std::cerr << "flumbadoo-capture: stopped by " << interruptName(signal) << " after " << framesDrawn
                  << " frames; "
                  << (unfinished               ? "what was being written has been removed"
                      : options.stills.empty() ? "nothing was being written"
                                               : "nothing half-written")
                  << (options.stills.empty() ? "" : ", the stills saved so far are kept") << std::endl;
        return 128 + signal;
    }
    if (hashes.is_open())
    {
        hashes.close();
        if (!hashes)
        {
            std::cerr << "flumbadoo-capture: could not write " << options.hashes << std::endl;
            return 1;
        }
    }
    if (options.timeline)
        std::cout << step << " end" << std::endl;
    window.close();

    if (soundLog)
    {
        if (videoFailed)
            return 1;
        // As long as the picture: the output frames' time in 60 Hz steps.
        const long mixSteps = std::lround(static_cast<double>(framesDrawn) * stepsPerSecond / options.fps);
        const SoundMix mix =
            mixCues(soundLog->cues(), resources.soundManager, resources.musicManager, stepSeconds, mixSteps);
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
        const double plainPassMs = percentile(plainPasses, 0.5);
        const std::vector<ScenePass> passes = summarisePasses(framePasses);
        if (!writeFrameCsv(options.bench, frameTimes) || !writePassCsv(passCsvPath(options.bench), passes))
            return 1;
        printSceneTable(std::cout, summariseScenes(plainFrameTimes), plainPassMs, plainFrameTimes);
        printPassTable(std::cout, passes, plainPassMs);
        if (!stepTimes.empty())
            printStepRates(std::cout, stepTimes);
        printStartup(startupTimes);
        if (picturesInFrame > 0)
            std::cout << "the other pictures and glyphs were in after output frame " << picturesInFrame
                      << std::endl;
    }
    return stillFailed ? 1 : 0;
}
