// flumbadoo-compose: synthesises the demo's soundtrack and sound effects and writes them as
// Ogg Vorbis files. Everything is computed from the beat tables with fixed seeds, so running
// it again gives the same bytes.

#include "Master.hpp"
#include "Soundtrack.hpp"
#include "runtime/BeatSchedule.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/OutputSoundFile.hpp>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace
{
// Where streaming services play music: releases are mastered close to it.
constexpr double musicLufs = -14.0;
// The level the compressor works at, whatever the raw mix came out as.
constexpr double compressorInputLufs = -20.0;
// Where the limiter puts the true peak before encoding; Vorbis adds a little on the way.
constexpr double firstCeilingDb = -1.7;
// A decoded true peak above this lowers the ceiling and the track is encoded again.
constexpr double acceptedPeakDb = -1.2;
// The effects' loudest 400 ms: well under the music, so that they sit in it, not on it.
constexpr double effectLufs = -21.0;
// Sub-audible rumble and DC go; the kick's fundamental (about 50 Hz) stays.
constexpr double dcCutoffHz = 22.0;

void printUsage(std::ostream& out)
{
    out << "Usage: flumbadoo-compose [--schedule] [OUTPUT_DIR]\n"
           "Synthesises music/totally_not_trobisk.ogg, sounds/bounce.ogg and sounds/static.ogg\n"
           "under OUTPUT_DIR (default: assets in the working directory).\n"
           "  --schedule  also print every beat of the scene chain (frame, seconds, scene, index)\n"
           "  --help      show this text"
        << std::endl;
}

std::vector<sf::Int16> quantise(const Channels& channels)
{
    const std::size_t frames = channels.front()->size();
    std::vector<sf::Int16> samples;
    samples.reserve(frames * channels.size());
    for (std::size_t frame = 0; frame < frames; ++frame)
        for (const std::vector<float>* channel : channels)
        {
            const double value = std::clamp(static_cast<double>((*channel)[frame]), -1.0, 1.0) * 32767.0;
            samples.push_back(static_cast<sf::Int16>(std::lround(value)));
        }
    return samples;
}

bool encode(const std::string& path, const Channels& channels)
{
    // The Ogg writer draws its stream serial number from std::rand: seeding it here makes
    // the bytes repeatable.
    std::srand(20240101u);
    sf::OutputSoundFile file;
    if (!file.openFromFile(path, sampleRate, static_cast<unsigned int>(channels.size())))
    {
        std::cerr << "flumbadoo-compose: Unable to write " << path << "." << std::endl;
        return false;
    }
    const std::vector<sf::Int16> samples = quantise(channels);
    file.write(samples.data(), samples.size());
    return true;
}

// The file as a player decodes it, one vector per channel; none when it cannot be read.
std::vector<std::vector<float>> decodeFile(const std::string& path)
{
    sf::InputSoundFile file;
    if (!file.openFromFile(path) || file.getChannelCount() == 0)
        return {};
    const unsigned int channelCount = file.getChannelCount();
    std::vector<sf::Int16> interleaved(static_cast<std::size_t>(file.getSampleCount()));
    interleaved.resize(static_cast<std::size_t>(file.read(interleaved.data(), interleaved.size())));
    std::vector<std::vector<float>> decoded(channelCount,
                                            std::vector<float>(interleaved.size() / channelCount));
    for (std::size_t i = 0; i < decoded.front().size() * channelCount; ++i)
        decoded[i % channelCount][i / channelCount] = interleaved[i] / 32768.0f;
    return decoded;
}

Channels channelsOf(std::vector<std::vector<float>>& decoded)
{
    Channels channels;
    for (std::vector<float>& channel : decoded)
        channels.push_back(&channel);
    return channels;
}

// What a player hears: the written file decoded and measured. An unreadable file reports a
// true peak of +inf.
LoudnessReport measureDecoded(const std::string& path)
{
    std::vector<std::vector<float>> decoded = decodeFile(path);
    if (decoded.empty())
    {
        LoudnessReport failed;
        failed.truePeakDb = INFINITY;
        return failed;
    }
    return measureLoudness(channelsOf(decoded), true, true);
}

// The loudness of every scene of the written soundtrack: the shape of the arrangement.
void printSceneLoudness(const std::string& path, const DemoSchedule& schedule)
{
    std::vector<std::vector<float>> decoded = decodeFile(path);
    if (decoded.empty())
        return;
    for (const ScheduledScene& scene : schedule.scenes)
    {
        const double from = frameStartTime(scene.startFrame);
        const double to = frameStartTime(scene.endFrame + 1);
        std::vector<std::vector<float>> part;
        for (const std::vector<float>& channel : decoded)
        {
            const auto first = channel.begin() + std::min<long>(std::lround(from * sampleRate),
                                                                static_cast<long>(channel.size()));
            const auto last = channel.begin() +
                              std::min<long>(std::lround(to * sampleRate), static_cast<long>(channel.size()));
            part.emplace_back(first, last);
        }
        std::cout << "  scene " << scene.scene << ", " << from << " s to " << to
                  << " s: " << measureLoudness(channelsOf(part), false, false).integrated << " LUFS"
                  << std::endl;
    }
}

void printReport(const std::string& path, const LoudnessReport& report)
{
    std::cout << "wrote " << path << " (" << std::filesystem::file_size(path) << " bytes): integrated "
              << report.integrated << " LUFS, loudest 400 ms " << report.loudestMomentary << " LUFS, range "
              << report.range << " LU, true peak " << report.truePeakDb << " dBTP, DC "
              << report.worstDcOffset * 100.0 << " %" << std::endl;
}

// Turns channels up or down until, after the limiter, they measure targetLufs.
void levelBehindLimiter(const Channels& channels, double targetLufs, double ceilingDb)
{
    std::vector<std::vector<float>> original;
    for (const std::vector<float>* channel : channels)
        original.push_back(*channel);
    // Peaks scale with the gain: the unlimited track's are worked out once.
    const std::vector<float> peaks = oversampledPeaks(channels);
    double gainDb = targetLufs - measureLoudness(channels, false, false).integrated;
    for (int attempt = 0; attempt < 6; ++attempt)
    {
        for (std::size_t c = 0; c < channels.size(); ++c)
            *channels[c] = original[c];
        const double gain = std::pow(10.0, gainDb / 20.0);
        applyGain(channels, gain);
        std::vector<float> scaled = peaks;
        for (float& peak : scaled)
            peak = static_cast<float>(peak * gain);
        // One pass is enough to find the gain; the last few hundredths of a dB come after.
        limitTruePeak(channels, ceilingDb, 0.08, 1, std::move(scaled));
        const double missed = targetLufs - measureLoudness(channels, false, false).integrated;
        if (std::fabs(missed) < 0.05)
            break;
        // The limiter takes back part of every step up, so aim a little past the miss.
        gainDb += missed * 1.3;
    }
    limitTruePeak(channels, ceilingDb, 0.08);
}

// Masters the soundtrack: DC and rumble out, bus compression, then levelled to the release
// loudness behind the true-peak limiter; encoded, decoded and, if the codec pushed the true
// peak over the line, limited lower and encoded again. Reports the loudness of each scene.
bool writeMusic(const std::string& path, StereoBuffer music, const DemoSchedule& schedule)
{
    const Channels channels = {&music.left, &music.right};
    highPass(channels, dcCutoffHz);
    const LoudnessReport raw = measureLoudness(channels, false, false);
    if (!std::isfinite(raw.integrated))
    {
        std::cerr << "flumbadoo-compose: " << path << " would be silent." << std::endl;
        return false;
    }
    applyGain(channels, std::pow(10.0, (compressorInputLufs - raw.integrated) / 20.0));
    compressBus(channels, -17.0, 2.0, 0.025, 0.2);
    const StereoBuffer compressed = music;

    double ceilingDb = firstCeilingDb;
    for (int attempt = 0; attempt < 4; ++attempt)
    {
        music = compressed;
        levelBehindLimiter(channels, musicLufs, ceilingDb);
        if (!encode(path, channels))
            return false;
        const LoudnessReport decoded = measureDecoded(path);
        if (decoded.truePeakDb <= acceptedPeakDb)
        {
            printReport(path, decoded);
            printSceneLoudness(path, schedule);
            return true;
        }
        ceilingDb -= decoded.truePeakDb - acceptedPeakDb + 0.05;
    }
    std::cerr << "flumbadoo-compose: " << path << " keeps peaking above " << acceptedPeakDb << " dBTP."
              << std::endl;
    return false;
}

// An effect: DC out, its loudest moment set to effectLufs, its true peak kept under -3 dBTP.
bool writeEffect(const std::string& path, std::vector<float> samples)
{
    const Channels channels = {&samples};
    highPass(channels, dcCutoffHz);
    const double loudest = measureLoudness(channels, false, false).loudestMomentary;
    if (!std::isfinite(loudest))
    {
        std::cerr << "flumbadoo-compose: " << path << " would be silent." << std::endl;
        return false;
    }
    applyGain(channels, std::pow(10.0, (effectLufs - loudest) / 20.0));
    limitTruePeak(channels, -3.0, 0.05);
    if (!encode(path, channels))
        return false;
    printReport(path, measureDecoded(path));
    return true;
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
    const DemoSchedule schedule = computeDemoSchedule(demoScenes());
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

    bool ok = writeMusic((outputDir / "music" / "totally_not_trobisk.ogg").string(),
                         composeSoundtrack(schedule, 0.6), schedule);
    ok = writeEffect((outputDir / "sounds" / "bounce.ogg").string(), composeBounce()) && ok;
    ok = writeEffect((outputDir / "sounds" / "static.ogg").string(), composeStatic()) && ok;

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "composed in " << seconds << " s" << std::endl;
    return ok ? 0 : 1;
}
