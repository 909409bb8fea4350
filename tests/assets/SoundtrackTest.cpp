// The committed soundtrack and effects: mastered like a release, hits on every beat of the
// schedule, and exactly what the composer writes.
#include "RegistryChecks.hpp"
#include "assets/MusicManager.hpp"
#include "assets/SoundManager.hpp"
#include "runtime/BeatSchedule.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Audio/SoundBuffer.hpp>
#include <algorithm>
#include <cmath>
#include <ebur128.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <map>

using testsupport::sourcePath;

namespace
{
/// A decoded file, its samples interleaved, as its channels, rate and frames (one sample a channel).
struct Audio : sf::SoundBuffer
{
    explicit Audio(const std::string& path) : loaded(loadFromFile(path)) {}
    /// Stereo samples at 44.1 kHz, interleaved.
    explicit Audio(const std::vector<sf::Int16>& stereo)
        : loaded(loadFromSamples(stereo.data(), stereo.size(), 2, 44100))
    {
    }
    const bool loaded;
    const sf::Int16* const samples = getSamples();
    const unsigned int channels = getChannelCount(), rate = getSampleRate();
    const std::size_t frames = channels == 0 ? 0 : getSampleCount() / channels;
    double seconds() const { return getDuration().asSeconds(); }
};

// Mean energy per sample frame over [from, from + seconds), all channels together; before the
// start and after the end of the file count as silence.
double energy(const Audio& audio, double from, double seconds)
{
    const long begin = std::lround(from * audio.rate), end = std::lround((from + seconds) * audio.rate);
    const auto first = static_cast<std::size_t>(std::clamp(begin, 0L, static_cast<long>(audio.frames)));
    const auto last = static_cast<std::size_t>(std::clamp(end, 0L, static_cast<long>(audio.frames)));
    double sum = 0.0;
    for (std::size_t i = first * audio.channels; i < last * audio.channels; ++i)
        sum += static_cast<double>(audio.samples[i]) * audio.samples[i];
    return end > begin ? sum / static_cast<double>(end - begin) : 0.0;
}

// What the EBU R 128 meter hears in [from, to) seconds: integrated loudness (LUFS), loudness range
// (LU), true peak of the highest channel (dBTP), the loudest 400 ms (LUFS); and the mean sample of
// the channel furthest from zero (full scale 1). A mono effect counts as played from both speakers.
struct Loudness
{
    double integrated = -HUGE_VAL, range = 0, truePeakDb = -HUGE_VAL, loudestMomentary = -HUGE_VAL,
           dcOffset = 0;
};

Loudness measure(const Audio& audio, double from = 0.0, double to = HUGE_VAL)
{
    Loudness result;
    ebur128_state* state =
        ebur128_init(audio.channels, audio.rate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    ebur128_set_channel(state, 0, audio.channels == 1 ? EBUR128_DUAL_MONO : EBUR128_LEFT);
    const auto first = static_cast<std::size_t>(std::clamp(from * audio.rate, 0.0, double(audio.frames)));
    const auto last = static_cast<std::size_t>(std::clamp(to * audio.rate, 0.0, double(audio.frames)));
    // Blocks of 100 ms, the momentary meter's step, then 400 ms of silence so that an effect
    // shorter than the meter's window is heard whole.
    const std::size_t block = audio.rate / 10;
    std::vector<float> interleaved;
    std::vector<double> sums(audio.channels, 0.0);
    for (std::size_t frame = first; frame < last + 4 * block; frame += block)
    {
        interleaved.assign(block * audio.channels, 0.0f);
        for (std::size_t i = 0; i < block * audio.channels && frame + i / audio.channels < last; ++i)
            sums[i % audio.channels] += interleaved[i] = audio.samples[frame * audio.channels + i] / 32768.0f;
        ebur128_add_frames_float(state, interleaved.data(), block);
        double momentary = -HUGE_VAL;
        ebur128_loudness_momentary(state, &momentary);
        result.loudestMomentary = std::max(result.loudestMomentary, momentary);
    }
    ebur128_loudness_global(state, &result.integrated);
    ebur128_loudness_range(state, &result.range);
    for (unsigned int c = 0; c < audio.channels; ++c)
    {
        double peak = 0.0;
        ebur128_true_peak(state, c, &peak);
        result.truePeakDb = std::max(result.truePeakDb, 20.0 * std::log10(peak));
        result.dcOffset = std::max(result.dcOffset, std::fabs(sums[c]) / static_cast<double>(last - first));
    }
    ebur128_destroy(&state);
    return result;
}

// How sharply the sound rises at t: the energy of the 10 ms from t against that of the 20 ms
// before, as tests/e2e/onsets.py measures it.
double rise(const Audio& audio, double t)
{
    return energy(audio, t, 0.010) / std::max(1.0, energy(audio, t - 0.020, 0.020));
}

// An attack, as onsets.py's attacks() counts one: the sound rises more than six times over, to at
// least a hundredth of the track's loudest 10 ms.
constexpr double attackRise = 6.0;
constexpr double attackFloor = 0.01;

double loudestTenMilliseconds(const Audio& audio)
{
    double loudest = 0.0;
    for (double t = 0.0; t < audio.seconds(); t += 0.005)
        loudest = std::max(loudest, energy(audio, t, 0.010));
    return loudest;
}

// Whether an attack starts within one 60 Hz frame of t, either side (1 ms steps), over floor.
bool attackWithinAFrame(const Audio& audio, double t, double floor)
{
    const double frame = 1.0 / scheduleFramesPerSecond;
    for (double at = t - frame; at <= t + frame + 1e-9; at += 0.001)
        if (rise(audio, at) > attackRise && energy(audio, at, 0.010) > floor)
            return true;
    return false;
}

const Audio& committedTrack()
{
    static const Audio track(sourcePath("assets/music/totally_not_trobisk.ogg"));
    return track;
}

// The momentary loudness (LUFS) of the 400 ms from 10 ms before t: what a beat at t sounds like.
double momentary(const Audio& audio, double t)
{
    return measure(audio, t - 0.010, t + 0.390).integrated;
}

std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int runComposer(const std::string& arguments)
{
    return std::system(
        ("\"" FLUMBADOO_BINARY_DIR "/flumbadoo-compose\" " + arguments + " >/dev/null 2>&1").c_str());
}

} // namespace

TEST(Soundtrack, IsMasteredLikeAReleaseFollowsTheBeatScheduleAndCarriesTheEffects)
{
    MusicManager music;
    ASSERT_TRUE(registrychecks::loadsQuietly(music, sourcePath("assets/music.json")));
    const MusicEntry* track = music.entry("totally_not_trobisk");
    ASSERT_TRUE(track && track->file == "assets/music/totally_not_trobisk.ogg" && track->volume == 100);
    const Audio audio(sourcePath(track->file));
    const DemoSchedule schedule = computeDemoSchedule(demoScenes());
    ASSERT_TRUE(audio.loaded && schedule.complete);
    EXPECT_TRUE(audio.rate == 44100 && audio.channels == 2) << "stereo at the CD rate";
    // Music starts on scene 2's first frame and must last through the frame that ends the demo.
    EXPECT_GE(audio.seconds(), frameStartTime(schedule.endFrame + 1));
    EXPECT_LT(audio.seconds(), frameStartTime(schedule.endFrame + 1) + 5.0) << "no long silent tail";
    const Loudness loudness = measure(audio);
    EXPECT_NEAR(loudness.integrated, -14.0, 1.0) << "integrated loudness in LUFS";
    EXPECT_LE(loudness.truePeakDb, -1.0) << "true peak after decoding, dBTP";
    EXPECT_GT(loudness.truePeakDb, -6.0) << "normalised, not left quiet";
    EXPECT_GE(loudness.range, 6.0) << "loudness range in LU: the breakdowns and drops must differ";
    EXPECT_LT(loudness.dcOffset, 0.001);

    // Every flash has its attack: the next test.
    const double silentFrom = schedule.fadeStart + schedule.fadeSeconds;

    // The finale's stretch without beats is at least 10 dB under its groove; the fade ends in silence.
    const double finale = frameStartTime(schedule.scenes.back().startFrame);
    const double rest = energy(audio, finale + 13.0, schedule.fadeStart - 2.0 - finale - 13.0);
    EXPECT_TRUE(rest > 0.0 && rest * 10.0 < energy(audio, finale, 10.0));
    EXPECT_LT(energy(audio, silentFrom, 0.3), 1.0);

    // A breakdown sits at least 6 LU under the drop on either side: the whole quiet scene against
    // the first six seconds of the loud one.
    std::map<SceneId, ScheduledScene> scene;
    for (const ScheduledScene& each : schedule.scenes)
        scene[each.scene] = each;
    for (const auto& [quiet, loud] : {std::pair{6, 5}, {6, 7}, {9, 8}, {9, 11}})
    {
        const double quietLufs =
            measure(audio, frameStartTime(scene[quiet].startFrame), frameStartTime(scene[quiet].endFrame))
                .integrated;
        const double loudFrom = frameStartTime(scene[loud].startFrame);
        EXPECT_GE(measure(audio, loudFrom, loudFrom + 6.0).integrated - quietLufs, 6.0)
            << quiet << " against " << loud;
    }

    // The effects: a short hit and about a second of noise, their loudest 400 ms under the
    // music's loudness, yet heard.
    SoundManager sounds;
    ASSERT_TRUE(registrychecks::loadsQuietly(sounds, sourcePath("assets/sounds.json")));
    for (const auto& [key, shortest, longest] : {std::tuple{"bounce", 0.0, 0.6}, {"static", 0.8, 1.5}})
    {
        const Audio effect(sourcePath(std::string("assets/sounds/") + key + ".ogg"));
        ASSERT_TRUE(sounds.exists(key) && effect.loaded) << key;
        const Loudness heard = measure(effect);
        EXPECT_EQ(effect.rate, 44100u) << key;
        EXPECT_TRUE(effect.seconds() > shortest && effect.seconds() < longest) << key << effect.seconds();
        EXPECT_TRUE(heard.truePeakDb <= -1.0 && heard.dcOffset < 0.001) << key;
        EXPECT_TRUE(heard.loudestMomentary < loudness.integrated - 3.0 &&
                    heard.loudestMomentary > loudness.integrated - 15.0)
            << key << " " << heard.loudestMomentary;
    }
}

// Every beat on which a scene of 2 to 12 flashes, pulses or pops something, from the beat tables
// through the schedule the scenes run, has an attack within one 60 Hz frame of it, early or late:
// beats a frame or two apart (a scene change) may share one. Image cues are swells, not flashes,
// and the entry that ends the demo comes after the fade. The times halfway between two flashes at
// least 100 ms apart are the control: at most a quarter of them may have an attack within a frame,
// so a track with attacks everywhere fails. And each scene change is an accent.
TEST(Soundtrack, HasAnAttackWithinAFrameOfEveryFlashAndFarFewerBetweenThem)
{
    // The check itself: a 5 ms burst every 30 ms has an attack within a frame of any time, a steady
    // tone as loud has none.
    std::vector<sf::Int16> bursts(2 * 44100), tone(2 * 44100);
    for (std::size_t i = 0; i < 44100; ++i)
    {
        const double wave = 8000.0 * std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(i) / 44100.0);
        bursts[2 * i] = bursts[2 * i + 1] = static_cast<sf::Int16>(i % 1323 < 221 ? wave : 0.0);
        tone[2 * i] = tone[2 * i + 1] = static_cast<sf::Int16>(wave * 0.4);
    }
    const Audio everywhere(bursts), steady(tone);
    ASSERT_TRUE(everywhere.loaded && steady.loaded);
    for (double t = 0.1; t < 0.9; t += 0.0173)
        EXPECT_TRUE(attackWithinAFrame(everywhere, t, 0.01 * loudestTenMilliseconds(everywhere)) &&
                    !attackWithinAFrame(steady, t, 0.01 * loudestTenMilliseconds(steady)))
            << t;

    const Audio& audio = committedTrack();
    const DemoSchedule schedule = computeDemoSchedule(demoScenes());
    ASSERT_TRUE(audio.loaded && schedule.complete);
    const double floor = attackFloor * loudestTenMilliseconds(audio);
    const double silentFrom = schedule.fadeStart + schedule.fadeSeconds;
    std::vector<double> flashes;
    std::string missed;
    for (const ScheduledBeat& beat : schedule.beats)
    {
        if (beat.cue || beat.time >= silentFrom - 1e-6)
            continue;
        flashes.push_back(beat.time);
        if (!attackWithinAFrame(audio, beat.time, floor))
            missed += " scene " + std::to_string(beat.scene) + " entry " + std::to_string(beat.index) +
                      " at " + std::to_string(beat.time) + " s;";
    }
    int controls = 0, controlAttacks = 0;
    for (std::size_t i = 0; i + 1 < flashes.size(); ++i)
        if (flashes[i + 1] - flashes[i] >= 0.1)
        {
            ++controls;
            controlAttacks += attackWithinAFrame(audio, (flashes[i] + flashes[i + 1]) / 2.0, floor);
        }
    std::cout << "attacks within a frame: " << flashes.size() - std::count(missed.begin(), missed.end(), ';')
              << " of " << flashes.size() << " flashes, " << controlAttacks << " of " << controls
              << " control times" << std::endl;
    EXPECT_GT(flashes.size(), 300u);
    EXPECT_TRUE(missed.empty()) << "no attack within a frame of" << missed;
    EXPECT_GT(controls, 200);
    EXPECT_LE(controlAttacks * 4, controls) << controlAttacks << " of " << controls << " control times";

    // A scene change is heard above the beats of the scene it opens: the 400 ms from its first beat
    // at least 1 LU louder than those from the median one of the scene's other beats.
    std::map<SceneId, std::vector<double>> beatsOf;
    for (const ScheduledBeat& beat : schedule.beats)
        if (!beat.cue && beat.time < silentFrom - 1e-6)
            beatsOf[beat.scene].push_back(beat.time);
    for (const ScheduledScene& scene : schedule.scenes)
    {
        const std::vector<double>& times = beatsOf[scene.scene];
        ASSERT_GT(times.size(), 2u) << scene.scene;
        std::vector<double> beats;
        for (std::size_t i = 1; i < times.size(); ++i)
            beats.push_back(momentary(audio, times[i]));
        std::nth_element(beats.begin(), beats.begin() + beats.size() / 2, beats.end());
        EXPECT_GE(momentary(audio, times.front()), beats[beats.size() / 2] + 1.0)
            << "the change into scene " << scene.scene << " at " << times.front() << " s";
    }
}

TEST(Composer, RegeneratesTheCommittedFilesByteForByte)
{
    // The committed files came from an earlier run: equal bytes now make this the second run
    // that repeats the first exactly.
    testsupport::TempDir first;
    ASSERT_EQ(runComposer("\"" + first.path().string() + "\""), 0);
    for (const char* name : {"music/totally_not_trobisk.ogg", "sounds/bounce.ogg", "sounds/static.ogg"})
    {
        const std::string once = readBytes(first.path() / name);
        ASSERT_FALSE(once.empty()) << name;
        EXPECT_TRUE(once == readBytes(sourcePath(std::string("assets/") + name)))
            << name << " differs from the committed file: regenerate it with flumbadoo-compose";
    }
    EXPECT_NE(runComposer("--bogus \"" + (first.path() / "other").string() + "\""), 0);
    EXPECT_FALSE(std::filesystem::exists(first.path() / "other")) << "an unknown option writes nothing";
}
