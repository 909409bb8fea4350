// The offline mix of the sounds the demo starts and stops: where each lands, what cuts it,
// the configuration's mute, and no clipping where effects and music add up.
#include "TestSupport.hpp"
#include "assets/MusicManager.hpp"
#include "assets/SoundManager.hpp"
#include "capture/SoundLog.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace
{
constexpr double fps = 30.0;
constexpr long samplesPerFrame = 1470; // 44100 / 30

/// The shipped sound and music registries, recorded by a log, as the capture tool has them.
struct Recording
{
    SoundManager sounds;
    MusicManager music;
    SoundLog log{sounds, music};

    Recording()
    {
        sounds.load(testsupport::sourcePath("assets/sounds.json"));
        music.load(testsupport::sourcePath("assets/music.json"));
    }
    void play(long frame, const std::string& key)
    {
        log.setFrame(frame);
        sounds.play(key);
    }
    void stop(long frame, const std::string& key)
    {
        log.setFrame(frame);
        sounds.stop(key);
    }
    void playMusic(long frame)
    {
        log.setFrame(frame);
        music.play("totally_not_trobisk", false);
    }
    SoundMix mix(long frames) const { return mixCues(log.cues(), sounds, music, 1.0 / fps, frames); }
};

struct Action
{
    long frame;
    bool start;
};
struct Segment
{
    long frame; // frame whose sound starts here
    long cutAt; // frame whose start cuts it; 0: plays to its own end
};
struct EffectCase
{
    const char* name;
    std::vector<Action> actions;
    std::vector<Segment> heard;
};

// gtest prints the case by its name instead of its bytes.
void PrintTo(const EffectCase& c, std::ostream* out)
{
    *out << c.name;
}

class EffectPlacement : public testing::TestWithParam<EffectCase>
{
};

TEST_P(EffectPlacement, EachSoundStartsOnItsFrameAndEndsWhereItIsCut)
{
    const EffectCase& c = GetParam();
    Recording recording;
    for (const Action& action : c.actions)
        action.start ? recording.play(action.frame, "bounce") : recording.stop(action.frame, "bounce");
    const long frames = 30;
    const SoundMix mix = recording.mix(frames);
    ASSERT_EQ(mix.samples.size(), static_cast<std::size_t>(frames * samplesPerFrame * 2));

    // The reference: the registry's own samples (44.1 kHz mono), copied to both sides from
    // the first sample of the frame that started them, up to the frame that cut them.
    const sf::SoundBuffer& buffer = recording.sounds.entry("bounce")->buffer;
    ASSERT_EQ(buffer.getSampleRate(), 44100u);
    ASSERT_EQ(buffer.getChannelCount(), 1u);
    std::vector<float> expected(mix.samples.size() / 2, 0.f);
    for (const Segment& segment : c.heard)
    {
        const long from = (segment.frame - 1) * samplesPerFrame;
        long to = segment.cutAt ? (segment.cutAt - 1) * samplesPerFrame
                                : from + static_cast<long>(buffer.getSampleCount());
        to = std::min(to, static_cast<long>(expected.size()));
        for (long i = std::max(from, 0L); i < to; ++i)
            expected[static_cast<std::size_t>(i)] += buffer.getSamples()[i - from] / 32768.f;
    }
    long wrong = 0;
    for (std::size_t i = 0; i < expected.size(); ++i)
        for (int side = 0; side < 2; ++side)
            if (std::fabs(mix.samples[i * 2 + side] / mix.gain - expected[i]) > 1e-5f)
                ++wrong;
    EXPECT_EQ(wrong, 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cues, EffectPlacement,
    testing::Values(
        EffectCase{"one start plays the whole sound", {{4, true}}, {{4, 0}}},
        EffectCase{"a restart cuts the first copy", {{4, true}, {7, true}}, {{4, 7}, {7, 0}}},
        EffectCase{"a stop cuts it", {{4, true}, {6, false}}, {{4, 6}}},
        EffectCase{"a stop before any start changes nothing", {{2, false}, {4, true}}, {{4, 0}}},
        EffectCase{"the end of the mix cuts it", {{29, true}}, {{29, 0}}},
        EffectCase{"one started before the mix is heard from where it has got to", {{-2, true}}, {{-2, 0}}}),
    [](const testing::TestParamInfo<EffectCase>& info) { return "case" + std::to_string(info.index); });

class MutedMix : public testing::TestWithParam<bool>
{
};

// "sound": false reaches the registry as muted: the bounce never starts, the music does.
TEST_P(MutedMix, MutingDropsTheEffectsAndKeepsTheMusic)
{
    const bool muted = GetParam();
    Recording recording;
    recording.sounds.muted = muted;
    recording.playMusic(1);
    recording.play(10, "bounce");
    const SoundMix mix = recording.mix(30);

    Recording musicOnly;
    musicOnly.playMusic(1);
    const SoundMix reference = musicOnly.mix(30);

    double musicEnergy = 0.0;
    for (long i = 0; i < 9 * samplesPerFrame * 2; ++i)
        musicEnergy += mix.samples[static_cast<std::size_t>(i)] * mix.samples[static_cast<std::size_t>(i)];
    EXPECT_GT(std::sqrt(musicEnergy / (9 * samplesPerFrame * 2)), 0.01) << "the music is missing";

    double bounceDifference = 0.0;
    for (long i = 9 * samplesPerFrame * 2; i < 12 * samplesPerFrame * 2; ++i)
        bounceDifference += std::fabs(mix.samples[static_cast<std::size_t>(i)] / mix.gain -
                                      reference.samples[static_cast<std::size_t>(i)] / reference.gain);
    if (muted)
        EXPECT_EQ(bounceDifference, 0.0) << "a bounce is in the muted mix";
    else
        EXPECT_GT(bounceDifference, 1.0) << "the bounce is missing";
}

INSTANTIATE_TEST_SUITE_P(Configuration, MutedMix, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info)
                         { return info.param ? "muted" : "sound"; });

// Effects on top of the loudest music add up past full scale; the written track must not clip.
// The effects sit well under the music, so it takes the first drop's peaks (15 s to 27 s in)
// under a bounce every three frames to pass full scale.
TEST(SoundMix, EffectsOverTheMusicDoNotClip)
{
    const long lastFrame = 27 * 60;
    Recording recording;
    recording.playMusic(1);
    recording.play(1, "static");
    for (long frame = 1; frame <= lastFrame; frame += 3)
        recording.play(frame, "bounce");
    const SoundMix mix = recording.mix(lastFrame);
    ASSERT_GT(mix.rawPeak, 1.f) << "the case must overload the plain sum to test anything";

    testsupport::TempDir temp;
    const std::string wav = (temp.path() / "mix.wav").string();
    ASSERT_TRUE(writeMix(mix, wav));
    sf::InputSoundFile file;
    ASSERT_TRUE(file.openFromFile(wav));
    EXPECT_EQ(file.getSampleRate(), mixSampleRate);
    EXPECT_EQ(file.getChannelCount(), 2u);
    std::vector<sf::Int16> samples(static_cast<std::size_t>(file.getSampleCount()));
    ASSERT_EQ(file.read(samples.data(), samples.size()), samples.size());
    int peak = 0;
    for (sf::Int16 sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    EXPECT_LT(peak, 32767) << "the track reaches full scale";
    EXPECT_GT(peak, 16384) << "the track was turned down further than needed";
}

// The log hears what the registries carry out, not what the scenes ask for.
TEST(SoundLog, KeysTheRegistriesRefuseAreNotRecorded)
{
    Recording recording;
    testsupport::captureStderr(
        [&]
        {
            recording.play(1, "no-such-sound");
            recording.stop(2, "no-such-sound");
            recording.log.setFrame(3);
            recording.music.play("no-such-track", false);
        });
    EXPECT_TRUE(recording.log.cues().empty());
    recording.play(4, "bounce");
    recording.stop(5, "bounce");
    ASSERT_EQ(recording.log.cues().size(), 2u);
    EXPECT_EQ(recording.log.cues()[0].kind, SoundCue::Kind::effectStart);
    EXPECT_EQ(recording.log.cues()[0].frame, 4);
    EXPECT_EQ(recording.log.cues()[1].kind, SoundCue::Kind::effectStop);
    EXPECT_EQ(recording.log.cues()[1].frame, 5);
}

// A key the registry refuses or a music file that is gone is reported and mixes as silence.
TEST(SoundMix, AMissingMusicFileIsReportedAndSilent)
{
    testsupport::TempDir temp;
    const std::string manifest = temp.write(
        "music.json", R"({"music": {"gone": {"file": ")" + (temp.path() / "gone.ogg").string() + R"("}}})");
    SoundManager sounds;
    MusicManager music;
    music.load(manifest);
    const std::vector<SoundCue> cues = {{SoundCue::Kind::musicStart, 1, "gone", false},
                                        {SoundCue::Kind::effectStart, 2, "nothing", false}};
    SoundMix mix;
    const std::string errors =
        testsupport::captureStderr([&] { mix = mixCues(cues, sounds, music, 1.0 / fps, 10); });
    EXPECT_NE(errors.find("gone"), std::string::npos) << errors;
    EXPECT_NE(errors.find("nothing"), std::string::npos) << errors;
    ASSERT_EQ(mix.samples.size(), static_cast<std::size_t>(10 * samplesPerFrame * 2));
    EXPECT_TRUE(std::all_of(mix.samples.begin(), mix.samples.end(), [](float s) { return s == 0.f; }));
}
} // namespace
