#include "assets/MusicManager.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

using testsupport::captureStderr;
using testsupport::dataPath;
using testsupport::lines;
using testsupport::TempDir;

namespace
{
class MusicManagerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        written = lines(captureStderr([&] { result = music.load(dataPath("manifests/music.json")); }));
    }

    MusicManager music;
    bool result = false;
    std::vector<std::string> written;
};

TEST_F(MusicManagerTest, RecordsEntriesWithoutOpeningFiles)
{
    EXPECT_TRUE(result);
    // The missing file of "nowhere" is not noticed until it is played.
    ASSERT_EQ(written.size(), 1u) << testing::PrintToString(written);
    EXPECT_EQ(
        written[0].rfind("MusicManager: Entry [loud-is-text] skipped, property volume has the wrong type", 0),
        0u);

    const MusicEntry* plain = music.entry("plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->volume, 100);
    EXPECT_EQ(plain->loopTo, 0.0);
    EXPECT_EQ(plain->loopLength, -1.0);
    const MusicEntry* tuned = music.entry("tuned");
    EXPECT_EQ(tuned->volume, 40); // read as an integer
    EXPECT_EQ(tuned->loopTo, 12.75);
    EXPECT_NE(music.entry("nowhere"), nullptr);
    EXPECT_EQ(music.entry("loud-is-text"), nullptr);
}

TEST_F(MusicManagerTest, PlayStartsOrReplacesTheTrackOfTheSharedPlayer)
{
    const std::string err = captureStderr([&] { music.play("tuned", true); });
    EXPECT_EQ(err, "");
    EXPECT_EQ(music.player().getStatus(), sf::Music::Playing);
    EXPECT_FLOAT_EQ(music.player().getVolume(), 40.f);
    EXPECT_TRUE(music.player().getLoop());
    // The player keeps loop points in whole samples, so allow one sample of 22.05 kHz.
    const sf::Music::TimeSpan loop = music.player().getLoopPoints();
    EXPECT_NEAR(loop.offset.asMicroseconds(), 12000, 100) << "12.75 ms is cut to 12 ms";
    // A length of -1 ms runs the loop to the end of the track.
    EXPECT_NEAR((loop.offset + loop.length).asMicroseconds(), music.player().getDuration().asMicroseconds(),
                100);

    // A second track replaces the first; an unknown key leaves it playing.
    music.play("plain", false);
    EXPECT_EQ(music.player().getStatus(), sf::Music::Playing);
    EXPECT_FLOAT_EQ(music.player().getVolume(), 100.f);
    EXPECT_FALSE(music.player().getLoop());
    EXPECT_EQ(captureStderr([&] { music.play("Plain", false); }),
              "MusicManager: Song with key Plain does not exist.\n");
    EXPECT_EQ(music.player().getStatus(), sf::Music::Playing);
}

// Loop starts that no 32-bit count of milliseconds holds: play clamps them (the sanitizer
// build catches an unclamped conversion) and the player, refusing a start outside the track,
// loops all of it.
class MusicManagerFarLoopStart : public testing::TestWithParam<const char*>
{
};

TEST_P(MusicManagerFarLoopStart, PlaysAndLoopsTheWholeTrack)
{
    TempDir dir;
    MusicManager music;
    const std::string manifest =
        dir.write("music.json", std::string(R"({"music": {"far": {"file": ")") + dataPath("sounds/beep.wav") +
                                    R"(", "loopTo": )" + GetParam() + "}}}");
    EXPECT_EQ(captureStderr([&] { music.load(manifest); }), "");
    captureStderr([&] { music.play("far", true); });
    EXPECT_EQ(music.player().getStatus(), sf::Music::Playing);
    const sf::Music::TimeSpan loop = music.player().getLoopPoints();
    EXPECT_EQ(loop.offset, sf::Time::Zero);
    EXPECT_EQ(loop.length, music.player().getDuration());
}

INSTANTIATE_TEST_SUITE_P(Starts, MusicManagerFarLoopStart, testing::Values("1e12", "-1e12", "1e300"));

TEST_F(MusicManagerTest, MissingFileIsReportedByPlay)
{
    const std::string err = captureStderr([&] { music.play("nowhere", false); });
    EXPECT_EQ(err, "MusicManager: Unable to load music file tests/data/sounds/missing.ogg.\n");
    EXPECT_EQ(music.player().getStatus(), sf::Music::Stopped);
}

TEST(MusicManager, LaterEntryReplacesEarlierOne)
{
    TempDir dir;
    MusicManager music;
    const std::string err = captureStderr(
        [&]
        {
            music.load(dir.write("a.json", R"({"music": {"song": {"file": "a.ogg", "volume": 10}}})"));
            music.load(dir.write("b.json", R"({"music": {"song": {"file": "b.ogg"}}})"));
        });
    EXPECT_EQ(err, "");
    EXPECT_EQ(music.entry("song")->file, "b.ogg");
    EXPECT_EQ(music.entry("song")->volume, 100);
}

TEST(MusicManager, MissingTopLevelKeyNamesTheManifest)
{
    TempDir dir;
    MusicManager music;
    bool result = true;
    const std::string err =
        captureStderr([&] { result = music.load(dir.write("m.json", R"({"songs": {}})")); });
    EXPECT_FALSE(result);
    EXPECT_EQ(lines(err), (std::vector<std::string>{"validateJson: Missing prop: music.",
                                                    "MusicManager: Missing properties in musicfile."}));
}
} // namespace
