#include "TestSupport.hpp"
#include "assets/MusicManager.hpp"
#include "assets/SoundManager.hpp"
#include "runtime/BeatSchedule.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ebur128.h>
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

// What the EBU R 128 meter (libebur128) hears in [from, to) seconds of audio (all of it by
// default). A mono effect counts as played from both speakers, as the demo plays it.
struct Loudness
{
    double integrated = -HUGE_VAL;       // LUFS
    double range = 0.0;                  // LU
    double truePeakDb = HUGE_VAL;        // dBTP, the highest channel
    double loudestMomentary = -HUGE_VAL; // LUFS, the loudest 400 ms
};

Loudness measureLoudness(const DecodedAudio& audio, double from = 0.0, double to = HUGE_VAL)
{
    Loudness result;
    if (audio.channels == 0)
        return result;
    ebur128_state* state = ebur128_init(audio.channels, audio.sampleRate,
                                        EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    if (audio.channels == 1)
        ebur128_set_channel(state, 0, EBUR128_DUAL_MONO);
    const std::size_t frames = audio.samples.size() / audio.channels;
    const std::size_t first =
        static_cast<std::size_t>(std::clamp(from * audio.sampleRate, 0.0, double(frames)));
    const std::size_t last = static_cast<std::size_t>(std::clamp(to * audio.sampleRate, 0.0, double(frames)));
    // Blocks of 100 ms, the momentary meter's step, then 400 ms of silence so that an effect
    // shorter than the meter's window is heard whole.
    const std::size_t block = audio.sampleRate / 10;
    std::vector<float> interleaved;
    for (std::size_t frame = first; frame < last + 4 * block; frame += block)
    {
        interleaved.assign(block * audio.channels, 0.0f);
        for (std::size_t i = 0;
             i < block * audio.channels && frame * audio.channels + i < last * audio.channels; ++i)
            interleaved[i] = audio.samples[frame * audio.channels + i] / 32768.0f;
        ebur128_add_frames_float(state, interleaved.data(), block);
        double momentary = -HUGE_VAL;
        ebur128_loudness_momentary(state, &momentary);
        result.loudestMomentary = std::max(result.loudestMomentary, momentary);
    }
    ebur128_loudness_global(state, &result.integrated);
    ebur128_loudness_range(state, &result.range);
    double peak = 0.0;
    for (unsigned int c = 0; c < audio.channels; ++c)
    {
        double channelPeak = 0.0;
        ebur128_true_peak(state, c, &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    result.truePeakDb = 20.0 * std::log10(peak);
    ebur128_destroy(&state);
    return result;
}

// The mean sample of the channel furthest from zero, full scale 1.
double worstDcOffset(const DecodedAudio& audio)
{
    double worst = 0.0;
    for (unsigned int c = 0; c < audio.channels; ++c)
    {
        double sum = 0.0;
        for (std::size_t i = c; i < audio.samples.size(); i += audio.channels)
            sum += audio.samples[i];
        const double mean = sum / 32768.0 / static_cast<double>(audio.samples.size() / audio.channels);
        worst = std::max(worst, std::fabs(mean));
    }
    return worst;
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

TEST_F(Soundtrack, IsMasteredLikeAReleaseWithRoomToBreathe)
{
    ASSERT_FALSE(audio->samples.empty());
    const Loudness loudness = measureLoudness(*audio);
    EXPECT_NEAR(loudness.integrated, -14.0, 1.0) << "integrated loudness in LUFS";
    EXPECT_LE(loudness.truePeakDb, -1.0) << "true peak after decoding, dBTP";
    EXPECT_GE(loudness.range, 6.0) << "loudness range in LU: the breakdowns and drops must differ";
    EXPECT_LT(worstDcOffset(*audio), 0.001) << "DC offset, full scale 1";
}

// A breakdown sits well under the drops around it: the loudness of the whole quiet scene
// against the first six seconds of the loud one, where the drop has to land.
struct Contrast
{
    SceneId quiet;
    SceneId loud;
};

class SoundtrackContrast : public Soundtrack, public testing::WithParamInterface<Contrast>
{
};

TEST_P(SoundtrackContrast, BreakdownIsAtLeastSixLuUnderTheDrop)
{
    ASSERT_FALSE(audio->samples.empty());
    auto sceneOf = [&](SceneId id) -> const ScheduledScene*
    {
        for (const ScheduledScene& scene : schedule->scenes)
            if (scene.scene == id)
                return &scene;
        return nullptr;
    };
    const ScheduledScene* quiet = sceneOf(GetParam().quiet);
    const ScheduledScene* loud = sceneOf(GetParam().loud);
    ASSERT_NE(quiet, nullptr);
    ASSERT_NE(loud, nullptr);
    const double quietLufs =
        measureLoudness(*audio, frameStartTime(quiet->startFrame), frameStartTime(quiet->endFrame))
            .integrated;
    const double loudFrom = frameStartTime(loud->startFrame);
    const double loudLufs = measureLoudness(*audio, loudFrom, loudFrom + 6.0).integrated;
    EXPECT_GE(loudLufs - quietLufs, 6.0)
        << "scene " << GetParam().quiet << " at " << quietLufs << " LUFS, scene " << GetParam().loud << " at "
        << loudLufs << " LUFS";
}

INSTANTIATE_TEST_SUITE_P(BreakdownsAndDrops, SoundtrackContrast,
                         testing::Values(Contrast{6, 5}, Contrast{6, 7}, Contrast{9, 8}, Contrast{9, 11}));

class SoundEffect : public testing::TestWithParam<const char*>
{
};

TEST_P(SoundEffect, IsFreeOfDcAndQuieterThanTheMusic)
{
    const DecodedAudio effect = decode(sourcePath(std::string("assets/sounds/") + GetParam() + ".ogg"));
    const DecodedAudio music = decode(sourcePath(musicFile));
    ASSERT_FALSE(effect.samples.empty());
    ASSERT_FALSE(music.samples.empty());
    EXPECT_LT(worstDcOffset(effect), 0.001) << "DC offset, full scale 1";
    const double musicLufs = measureLoudness(music).integrated;
    const double effectLufs = measureLoudness(effect).loudestMomentary;
    EXPECT_LT(effectLufs, musicLufs - 3.0) << "its loudest 400 ms must sit under the music's loudness";
    EXPECT_GT(effectLufs, musicLufs - 15.0) << "yet still be heard";
}

INSTANTIATE_TEST_SUITE_P(Effects, SoundEffect, testing::Values("bounce", "static"));

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
