// flumbadoo-compose: synthesises the demo's soundtrack and sound effects and writes them as
// Ogg Vorbis files. Everything is computed from the beat tables with fixed seeds, so running
// it again gives the same bytes.

#include "Soundtrack.hpp"
#include "runtime/BeatSchedule.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/OutputSoundFile.hpp>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace
{
// Where the peak is put before encoding; Vorbis adds a little overshoot on the way.
constexpr double targetPeakDb = -1.5;
// A decoded peak above this is pulled down and the file encoded again.
constexpr double acceptedPeakDb = -1.15;

void printUsage(std::ostream& out)
{
    out << "Usage: flumbadoo-compose [--schedule] [OUTPUT_DIR]\n"
           "Synthesises music/totally_not_trobisk.ogg, sounds/bounce.ogg and sounds/static.ogg\n"
           "under OUTPUT_DIR (default: assets in the working directory).\n"
           "  --schedule  also print every beat of the scene chain (frame, seconds, scene, index)\n"
           "  --help      show this text"
        << std::endl;
}

std::vector<sf::Int16> quantise(const std::vector<const std::vector<float>*>& channels, double gain)
{
    const std::size_t frames = channels.front()->size();
    std::vector<sf::Int16> samples;
    samples.reserve(frames * channels.size());
    for (std::size_t frame = 0; frame < frames; ++frame)
        for (const std::vector<float>* channel : channels)
        {
            const double value = std::clamp((*channel)[frame] * gain, -1.0, 1.0) * 32767.0;
            samples.push_back(static_cast<sf::Int16>(std::lround(value)));
        }
    return samples;
}

double peakOf(const std::vector<const std::vector<float>*>& channels)
{
    double peak = 0.0;
    for (const std::vector<float>* channel : channels)
        for (float sample : *channel)
            peak = std::max(peak, static_cast<double>(std::fabs(sample)));
    return peak;
}

bool encode(const std::string& path, const std::vector<sf::Int16>& samples, unsigned int channelCount)
{
    // The Ogg writer draws its stream serial number from std::rand: seeding it here makes
    // the bytes repeatable.
    std::srand(20240101u);
    sf::OutputSoundFile file;
    if (!file.openFromFile(path, sampleRate, channelCount))
    {
        std::cerr << "flumbadoo-compose: Unable to write " << path << "." << std::endl;
        return false;
    }
    file.write(samples.data(), samples.size());
    return true;
}

// Peak of the decoded file in dBFS, or +inf when it cannot be read back.
double decodedPeakDb(const std::string& path)
{
    sf::InputSoundFile file;
    if (!file.openFromFile(path))
        return INFINITY;
    std::vector<sf::Int16> block(65536);
    int peak = 0;
    for (sf::Uint64 read = 0; (read = file.read(block.data(), block.size())) > 0;)
        for (sf::Uint64 i = 0; i < read; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(block[i])));
    return 20.0 * std::log10(std::max(1, peak) / 32768.0);
}

// Normalises, encodes, reads back and, if the codec pushed the peak too high, lowers the
// gain by the overshoot and encodes again.
bool writeNormalised(const std::string& path, const std::vector<const std::vector<float>*>& channels,
                     double peakDb)
{
    const double peak = peakOf(channels);
    if (peak <= 0.0)
    {
        std::cerr << "flumbadoo-compose: " << path << " would be silent." << std::endl;
        return false;
    }
    double gainDb = peakDb - 20.0 * std::log10(peak);
    for (int attempt = 0; attempt < 4; ++attempt)
    {
        if (!encode(path, quantise(channels, std::pow(10.0, gainDb / 20.0)),
                    static_cast<unsigned int>(channels.size())))
            return false;
        const double decoded = decodedPeakDb(path);
        if (decoded <= acceptedPeakDb)
        {
            std::cout << "wrote " << path << " (" << std::filesystem::file_size(path)
                      << " bytes, decoded peak " << decoded << " dBFS)" << std::endl;
            return true;
        }
        gainDb -= decoded - peakDb;
    }
    std::cerr << "flumbadoo-compose: " << path << " keeps peaking above " << acceptedPeakDb << " dBFS."
              << std::endl;
    return false;
}

void printSchedule(const DemoSchedule& schedule)
{
    for (const ScheduledBeat& beat : schedule.beats)
        std::cout << beat.frame << ' ' << beat.time << " scene " << beat.scene
                  << (beat.cue ? " cue " : " beat ") << beat.index << '\n';
    std::cout << "end frame " << schedule.endFrame << std::endl;
}
} // namespace

int main(int argc, char** argv)
{
    std::filesystem::path outputDir = "assets";
    bool showSchedule = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            printUsage(std::cout);
            return 0;
        }
        if (argument == "--schedule")
            showSchedule = true;
        else if (!argument.empty() && argument[0] == '-')
        {
            std::cerr << "flumbadoo-compose: Unknown option " << argument << "." << std::endl;
            printUsage(std::cerr);
            return 2;
        }
        else
            outputDir = argument;
    }

    const auto started = std::chrono::steady_clock::now();
    const DemoSchedule schedule = computeDemoSchedule();
    if (!schedule.complete)
    {
        std::cerr << "flumbadoo-compose: The scene chain does not end; nothing written." << std::endl;
        return 1;
    }
    if (showSchedule)
        printSchedule(schedule);

    std::error_code error;
    std::filesystem::create_directories(outputDir / "music", error);
    std::filesystem::create_directories(outputDir / "sounds", error);
    if (error)
    {
        std::cerr << "flumbadoo-compose: Unable to create " << outputDir.string() << ": " << error.message()
                  << "." << std::endl;
        return 1;
    }

    const StereoBuffer music = composeSoundtrack(schedule, 0.6);
    const std::vector<float> bounce = composeBounce();
    const std::vector<float> noise = composeStatic();
    bool ok = writeNormalised((outputDir / "music" / "totally_not_trobisk.ogg").string(),
                              {&music.left, &music.right}, targetPeakDb);
    ok = writeNormalised((outputDir / "sounds" / "bounce.ogg").string(), {&bounce}, -3.0) && ok;
    ok = writeNormalised((outputDir / "sounds" / "static.ogg").string(), {&noise}, -6.0) && ok;

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "composed in " << seconds << " s" << std::endl;
    return ok ? 0 : 1;
}
