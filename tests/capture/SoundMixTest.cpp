// The offline mix of the sounds the demo starts and stops: what the log records, where each
// sound lands, what cuts it, the configuration's mute, and no clipping where sounds add up.
#include "TestSupport.hpp"
#include "assets/MusicManager.hpp"
#include "assets/SoundManager.hpp"
#include "capture/SoundLog.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace
{
constexpr long samplesPerFrame = 1470; // 44100 / 30

/// The shipped registries recorded by a log, as the capture tool has them.
struct Recording
{
    SoundManager sounds;
    MusicManager music;
    SoundLog log{sounds, music};
    bool loaded = sounds.load(testsupport::sourcePath("assets/sounds.json")) &&
                  music.load(testsupport::sourcePath("assets/music.json"));

    /// The log's frame set for what follows.
    Recording& at(long frame) { return log.setFrame(frame), *this; }
    SoundMix mix(long frames) const { return mixCues(log.cues(), sounds, music, 1.0 / 30.0, frames); }
};
} // namespace

// The registry's own samples (44.1 kHz mono) land on both sides from the first sample of the frame
// that started them up to the frame that cut them (0: their own end). Muted ("sound": false), none.
TEST(SoundMix, EachEffectStartsOnItsFrameAndEndsWhereItIsCut)
{
    using Actions = std::vector<std::pair<long, bool>>; // frame, start (or stop)
    using Heard = std::vector<std::pair<long, long>>;   // frame started, frame cut
    const std::tuple<const char*, bool, Actions, Heard> cases[] = {
        {"one start plays the whole sound", false, {{4, true}}, {{4, 0}}},
        {"a restart cuts the first copy", false, {{4, true}, {7, true}}, {{4, 7}, {7, 0}}},
        {"a stop cuts it", false, {{4, true}, {6, false}}, {{4, 6}}},
        {"a stop before any start changes nothing", false, {{2, false}, {4, true}}, {{4, 0}}},
        {"the end of the mix cuts it", false, {{29, true}}, {{29, 0}}},
        {"one started before the mix is heard from where it has got to", false, {{-2, true}}, {{-2, 0}}},
        {"muted, nothing starts", true, {{4, true}, {6, false}}, {}},
    };
    for (const auto& [name, muted, actions, heard] : cases)
    {
        SCOPED_TRACE(name);
        Recording recording;
        recording.sounds.muted = muted;
        for (const auto& [frame, start] : actions)
            start ? recording.at(frame).sounds.play("bounce") : recording.at(frame).sounds.stop("bounce");
        const SoundMix mix = recording.mix(30);
        const sf::SoundBuffer& buffer = recording.sounds.entry("bounce")->buffer;
        ASSERT_TRUE(recording.loaded && buffer.getSampleRate() == 44100 && buffer.getChannelCount() == 1);
        ASSERT_EQ(mix.samples.size(), std::size_t(30 * samplesPerFrame * 2));
        std::vector<float> expected(mix.samples.size() / 2, 0.f);
        for (const auto& [frame, cutAt] : heard)
        {
            const long from = (frame - 1) * samplesPerFrame;
            const long to = cutAt ? (cutAt - 1) * samplesPerFrame : from + long(buffer.getSampleCount());
            for (long i = std::max(from, 0L); i < std::min(to, long(expected.size())); ++i)
                expected[std::size_t(i)] += buffer.getSamples()[i - from] / 32768.f;
        }
        long wrong = 0;
        for (std::size_t i = 0; i < mix.samples.size(); ++i)
            wrong += std::fabs(mix.samples[i] / mix.gain - expected[i / 2]) > 1e-5f;
        EXPECT_EQ(wrong, 0);
    }
}

// Effects on top of the loudest music add up past full scale; the written track must not clip. The
// effects sit well under the music: it takes the first drop (15 s to 27 s in) and many bounces.
TEST(SoundMix, EffectsOverTheMusicDoNotClip)
{
    Recording recording;
    recording.at(1).music.play("totally_not_trobisk", false);
    recording.sounds.play("static");
    for (long frame = 1; frame <= 27 * 60; frame += 3)
        recording.at(frame).sounds.play("bounce");
    const SoundMix mix = recording.mix(27 * 60);
    ASSERT_GT(mix.rawPeak, 1.f) << "the case must overload the plain sum to test anything";
    testsupport::TempDir temp;
    sf::InputSoundFile file;
    ASSERT_TRUE(writeMix(mix, (temp.path() / "mix.wav").string()) &&
                file.openFromFile((temp.path() / "mix.wav").string()));
    EXPECT_TRUE(file.getSampleRate() == mixSampleRate && file.getChannelCount() == 2);
    std::vector<sf::Int16> samples(file.getSampleCount());
    ASSERT_EQ(file.read(samples.data(), samples.size()), samples.size());
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    const int peak = std::max(-*low, int(*high));
    EXPECT_LT(peak, 32767) << "the track reaches full scale";
    EXPECT_GT(peak, 16384) << "the track was turned down further than needed";
}

// The log hears what the registries carry out, not what is asked of them; a key that is not
// registered or a music file that is gone is reported and mixes as silence.
TEST(SoundMix, OnlyWhatIsCarriedOutIsRecordedAndMissingSoundsMixAsSilence)
{
    Recording recording;
    testsupport::TempDir temp;
    const std::string gone =
        R"({"music": {"gone": {"file": ")" + (temp.path() / "gone.ogg").string() + R"("}}})";
    testsupport::captureStderr(
        [&]
        {
            recording.music.load(temp.write("music.json", gone));
            recording.at(1).sounds.play("no-such-sound");
            recording.at(2).sounds.stop("no-such-sound");
            recording.at(3).music.play("no-such-track", false);
            recording.music.play("gone", false);
        });
    EXPECT_TRUE(recording.log.cues().empty());

    const std::vector<SoundCue> cues = {{SoundCue::Kind::musicStart, 1, "gone", false},
                                        {SoundCue::Kind::effectStart, 2, "nothing", false}};
    SoundMix mix;
    const std::string errors = testsupport::captureStderr(
        [&] { mix = mixCues(cues, recording.sounds, recording.music, 1.0 / 30.0, 10); });
    EXPECT_NE(errors.find("gone"), std::string::npos) << errors;
    EXPECT_NE(errors.find("nothing"), std::string::npos) << errors;
    EXPECT_EQ(std::count(mix.samples.begin(), mix.samples.end(), 0.f), 10 * samplesPerFrame * 2) << "silence";
}
