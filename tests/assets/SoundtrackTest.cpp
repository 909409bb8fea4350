#include "TestSupport.hpp"
#include "assets/MusicManager.hpp"
#include "assets/SoundManager.hpp"
#include "runtime/BeatSchedule.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

using testsupport::captureStderr;
using testsupport::sourcePath;
using testsupport::TempDir;

namespace
{
const std::string musicFile = "assets/music/totally_not_trobisk.ogg";

struct DecodedAudio
{
    unsigned int sampleRate = 0;
    unsigned int channels = 0;
    std::vector<sf::Int16> samples; // interleaved
    double seconds() const { return sampleRate == 0 ? 0.0 : samples.size() / double(sampleRate * channels); }
};

DecodedAudio decode(const std::string& path)
{
    DecodedAudio audio;
    sf::InputSoundFile file;
    if (!file.openFromFile(path))
        return audio;
    audio.sampleRate = file.getSampleRate();
    audio.channels = file.getChannelCount();
    audio.samples.resize(static_cast<std::size_t>(file.getSampleCount()));
    audio.samples.resize(static_cast<std::size_t>(file.read(audio.samples.data(), audio.samples.size())));
    return audio;
}

double peakOf(const DecodedAudio& audio)
{
    int peak = 0;
    for (sf::Int16 sample : audio.samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak / 32768.0;
}

// Mean energy per sample frame over [from, from + seconds), all channels together.
double windowEnergy(const DecodedAudio& audio, double from, double seconds)
{
    const long first = std::max(0L, std::lround(from * audio.sampleRate));
    const long last = std::min(static_cast<long>(audio.samples.size() / audio.channels),
                               std::lround((from + seconds) * audio.sampleRate));
    if (last <= first)
        return 0.0;
    double energy = 0.0;
    for (long frame = first; frame < last; ++frame)
        for (unsigned int c = 0; c < audio.channels; ++c)
        {
            const double value = audio.samples[static_cast<std::size_t>(frame) * audio.channels + c];
            energy += value * value;
        }
    return energy / static_cast<double>(last - first);
}

// How sharply the sound rises at time t: the energy of the 10 ms from t against the 20 ms
// before it.
double onsetStrength(const DecodedAudio& audio, double t)
{
    return windowEnergy(audio, t, 0.010) / std::max(1.0, windowEnergy(audio, t - 0.020, 0.020));
}

// Beats that fire within a couple of frames of each other are heard as one hit, so the
// onset for a beat may start up to 40 ms before its own frame, never after it.
double strongestOnsetNear(const DecodedAudio& audio, double t)
{
    double strongest = 0.0;
    for (int ms = -1; ms <= 40; ++ms)
        strongest = std::max(strongest, onsetStrength(audio, t - ms * 0.001));
    return strongest;
}

std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool runComposer(const std::filesystem::path& outputDir)
{
    const std::string command = std::string("\"") + FLUMBADOO_BINARY_DIR + "/flumbadoo-compose\" \"" +
                                outputDir.string() + "\" > /dev/null";
    return std::system(command.c_str()) == 0;
}
} // namespace

class Soundtrack : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        audio = new DecodedAudio(decode(sourcePath(musicFile)));
        schedule = new DemoSchedule(computeDemoSchedule());
    }
    static void TearDownTestSuite()
    {
        delete audio;
        delete schedule;
    }
    static DecodedAudio* audio;
    static DemoSchedule* schedule;
};

DecodedAudio* Soundtrack::audio = nullptr;
DemoSchedule* Soundtrack::schedule = nullptr;

TEST_F(Soundtrack, IsStereoAtCdRateAndCoversTheDemoToItsEnd)
{
    ASSERT_FALSE(audio->samples.empty()) << "cannot decode " << musicFile;
    EXPECT_EQ(audio->sampleRate, 44100u);
    EXPECT_EQ(audio->channels, 2u);
    ASSERT_TRUE(schedule->complete);
    // Music starts on scene 2's first frame and must last through the frame that ends the demo.
    EXPECT_GE(audio->seconds(), frameStartTime(schedule->endFrame + 1));
    EXPECT_LT(audio->seconds(), frameStartTime(schedule->endFrame + 1) + 5.0) << "no long silent tail";
}

TEST_F(Soundtrack, PeakStaysBelowMinusOneDecibel)
{
    ASSERT_FALSE(audio->samples.empty());
    const double peak = peakOf(*audio);
    EXPECT_LT(peak, 0.891);
    EXPECT_GT(peak, 0.5) << "normalised, not left quiet";
}

TEST_F(Soundtrack, EveryBeatLandsOnAnAudibleHit)
{
    ASSERT_FALSE(audio->samples.empty());
    const double silentFrom = schedule->fadeStart + schedule->fadeSeconds;
    int checked = 0;
    for (const ScheduledBeat& beat : schedule->beats)
    {
        // Image cues are swells, not hits; the entry that ends the demo comes after the fade.
        if (beat.cue || beat.time >= silentFrom - 1e-6)
            continue;
        EXPECT_GT(strongestOnsetNear(*audio, beat.time), 3.0)
            << "no onset for scene " << beat.scene << " entry " << beat.index << " at " << beat.time << " s";
        ++checked;
    }
    EXPECT_GT(checked, 300);
}

TEST_F(Soundtrack, BeatlessStretchOfTheFinaleIsARest)
{
    ASSERT_FALSE(audio->samples.empty());
    const ScheduledScene& finale = schedule->scenes.back();
    const double restFrom = frameStartTime(finale.startFrame) + 13.0;
    const double restTo = schedule->fadeStart - 2.0;
    const double rest = windowEnergy(*audio, restFrom, restTo - restFrom);
    const double groove = windowEnergy(*audio, frameStartTime(finale.startFrame), 10.0);
    EXPECT_LT(rest * 10.0, groove) << "the stretch without beats is at least 10 dB quieter";
    EXPECT_GT(rest, 0.0);
    // And the closing fade ends in silence.
    EXPECT_LT(windowEnergy(*audio, schedule->fadeStart + schedule->fadeSeconds, 0.3), 1.0);
}

TEST(SoundEffects, AreShortAndBelowMinusOneDecibel)
{
    const DecodedAudio bounce = decode(sourcePath("assets/sounds/bounce.ogg"));
    const DecodedAudio noise = decode(sourcePath("assets/sounds/static.ogg"));
    ASSERT_FALSE(bounce.samples.empty());
    ASSERT_FALSE(noise.samples.empty());
    EXPECT_EQ(bounce.sampleRate, 44100u);
    EXPECT_LT(bounce.seconds(), 0.6) << "a short hit";
    EXPECT_GT(noise.seconds(), 0.8);
    EXPECT_LT(noise.seconds(), 1.5) << "about a second of noise";
    EXPECT_LT(peakOf(bounce), 0.891);
    EXPECT_LT(peakOf(noise), 0.891);
}

TEST(SoundManifests, LoadCleanlyWithTheDemosKeys)
{
    testsupport::WorkingDirectory inSource(FLUMBADOO_SOURCE_DIR);
    SoundManager sounds;
    MusicManager music;
    bool soundsLoaded = false;
    bool musicLoaded = false;
    const std::string err = captureStderr(
        [&]
        {
            soundsLoaded = sounds.load("assets/sounds.json");
            musicLoaded = music.load("assets/music.json");
        });
    EXPECT_EQ(err, "");
    EXPECT_TRUE(soundsLoaded);
    EXPECT_TRUE(musicLoaded);
    EXPECT_TRUE(sounds.exists("bounce"));
    EXPECT_TRUE(sounds.exists("static"));
    const MusicEntry* track = music.entry("totally_not_trobisk");
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->file, musicFile);
    EXPECT_EQ(track->volume, 100);
    EXPECT_TRUE(std::filesystem::exists(track->file));
}

TEST(Composer, RegeneratesTheCommittedFilesByteForByte)
{
    TempDir first;
    TempDir second;
    ASSERT_TRUE(runComposer(first.path()));
    ASSERT_TRUE(runComposer(second.path()));
    for (const char* name : {"music/totally_not_trobisk.ogg", "sounds/bounce.ogg", "sounds/static.ogg"})
    {
        const std::string once = readBytes(first.path() / name);
        ASSERT_FALSE(once.empty()) << name;
        EXPECT_TRUE(once == readBytes(second.path() / name)) << name << " differs between two runs";
        EXPECT_TRUE(once == readBytes(sourcePath(std::string("assets/") + name)))
            << name << " differs from the committed file: regenerate it with flumbadoo-compose";
    }
}

TEST(Composer, RejectsAnUnknownOptionWithoutWriting)
{
    TempDir dir;
    const std::string command = std::string("\"") + FLUMBADOO_BINARY_DIR + "/flumbadoo-compose\" --bogus \"" +
                                dir.path().string() + "\" > /dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "music"));
}
