#include "assets/SoundManager.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

using testsupport::captureStderr;
using testsupport::dataPath;
using testsupport::lines;

namespace
{
class SoundManagerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        written = lines(captureStderr([&] { result = sounds.load(dataPath("manifests/sounds.json")); }));
    }

    SoundManager sounds;
    bool result = false;
    std::vector<std::string> written;
};

TEST_F(SoundManagerTest, LoadsEntriesAndReportsTheRest)
{
    EXPECT_TRUE(result);
    ASSERT_EQ(written.size(), 3u) << testing::PrintToString(written);
    EXPECT_EQ(written[0], "SoundManager: Unable to load file tests/data/sounds/missing.wav.");
    EXPECT_EQ(written[1].rfind(
                  "SoundManager: Entry [many-is-text] skipped, property instances has the wrong type", 0),
              0u)
        << written[1];
    EXPECT_EQ(written[2], "SoundManager: instances of [none] is 0, using 1.");
    EXPECT_FALSE(sounds.exists("lost"));
    EXPECT_FALSE(sounds.exists("many-is-text"));

    // The instances of one entry share one buffer.
    const SoundEntry* triple = sounds.entry("triple");
    ASSERT_NE(triple, nullptr);
    EXPECT_EQ(triple->instanceCount, 3);
    ASSERT_EQ(triple->sounds.size(), 3u);
    for (const sf::Sound& sound : triple->sounds)
        EXPECT_EQ(sound.getBuffer(), &triple->buffer);
    EXPECT_GT(triple->buffer.getSampleCount(), 0u);

    EXPECT_EQ(sounds.entry("beep")->instanceCount, 1);
    EXPECT_EQ(sounds.entry("none")->instanceCount, 1);
}

TEST_F(SoundManagerTest, PlayRestartsTheFirstInstanceOnlyAndStopStopsAll)
{
    const SoundEntry* triple = sounds.entry("triple");
    const std::string err = captureStderr(
        [&]
        {
            sounds.play("triple");
            sounds.play("triple");
        });
    EXPECT_EQ(err, "");
    EXPECT_EQ(triple->sounds[0].getStatus(), sf::Sound::Playing);
    EXPECT_EQ(triple->sounds[1].getStatus(), sf::Sound::Stopped);
    EXPECT_EQ(triple->sounds[2].getStatus(), sf::Sound::Stopped);
    // Stop stops every instance, however each was started.
    for (sf::Sound& sound : const_cast<SoundEntry*>(triple)->sounds)
        sound.play();
    sounds.stop("triple");
    for (const sf::Sound& sound : triple->sounds)
        EXPECT_EQ(sound.getStatus(), sf::Sound::Stopped);
}

TEST_F(SoundManagerTest, MutedIsSilentForRegisteredKeys)
{
    sounds.muted = true;
    SoundEntry* beep = const_cast<SoundEntry*>(sounds.entry("beep"));
    std::string err = captureStderr([&] { sounds.play("beep"); });
    EXPECT_EQ(err, "");
    EXPECT_EQ(beep->sounds[0].getStatus(), sf::Sound::Stopped);

    beep->sounds[0].play(); // started behind the registry's back: muted stop leaves it alone
    err = captureStderr([&] { sounds.stop("beep"); });
    EXPECT_EQ(err, "");
    EXPECT_EQ(beep->sounds[0].getStatus(), sf::Sound::Playing);
    beep->sounds[0].stop();
}

TEST_F(SoundManagerTest, UnknownKeysAreReportedEvenWhenMuted)
{
    for (bool muted : {false, true})
    {
        sounds.muted = muted;
        const std::string err = captureStderr(
            [&]
            {
                sounds.play("lost");
                sounds.stop("Beep");
            });
        EXPECT_EQ(lines(err),
                  (std::vector<std::string>{"SoundManager: Sound with key lost does not exist.",
                                            "SoundManager: Sound with key Beep does not exist."}));
        EXPECT_FALSE(sounds.exists("lost"));
    }
}
} // namespace
