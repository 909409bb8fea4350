// The registries that need no display. Every fault of a manifest or data file is reported with
// its line, the load carries on with the rest, and nothing is converted silently (some of these
// files used to crash or hang the program); and the sounds and music play as their entries say.
#include "RegistryChecks.hpp"
#include "assets/Manifest.hpp"
#include "assets/MusicManager.hpp"
#include "assets/SoundManager.hpp"
#include "assets/TextureManager.hpp"
#include "runtime/Config.hpp"

#include <tuple>

using namespace registrychecks;

namespace
{
Lines missing(const std::string& component, const std::string& key, const char* file)
{
    return {"validateJson: Missing prop: " + key + ".",
            component + ": Missing properties in " + file + "file."};
}

void loadDefinition(const std::string& path, bool expectLoaded)
{
    RegistryChain chain;
    ParticleSystem system;
    EXPECT_EQ(system.loadFromFile(path, 5, chain.sprites), expectLoaded);
}

// No entry is reached, so no texture is made and no display is needed.
const auto texturesRefused = [](const std::string& p) { EXPECT_FALSE(TextureManager().load(p)); };
const auto texturesAccepted = [](const std::string& p) { EXPECT_TRUE(TextureManager().load(p)); };
const Lines noTextures = missing("TextureManager", "textures", "textures");
const std::string parseError = "TextureManager: Error while parsing JSON.";
const std::string noDot = "SpriteManager: Sprite with key dot does not exist."; // the registry is left empty
const std::string faults = testsupport::dataPath("faults");
} // namespace

TEST(ManifestLoads, FaultsOfTheWholeFileRegisterNothing)
{
    checkLoads({
        {"Empty", "", texturesRefused,
         Lines{parseError, "[json.exception.parse_error.101]", noTextures[0], noTextures[1]}},
        {"CutBeforeTheKeyName", R"({"textu)", texturesRefused,
         Lines{parseError, "[json", noTextures[0], noTextures[1]}},
        {"CutAfterTheKeyName", R"({"textures": )", texturesAccepted, Lines{parseError, "[json"}},
        {"NoEntries", R"({"textures": {}})", texturesAccepted, Lines{}},
        // Written out in full, null is a mistake to report, unlike a document that broke off.
        {"EntriesNull", R"({"textures": null})", texturesAccepted,
         Lines{
             "TextureManager: \"textures\" must be an object of entries, but is null; nothing registered."}},
        {"Folder", "@faults", texturesRefused, Lines{"TextureManager: Unable to open file " + faults + "."}},
        {"FolderAsConfig", "@faults", [](auto& p) { loadConfig(p); }, Lines{"Config.json missing."}},
        {"FolderAsParticleDefinition", "@faults", [](auto& p) { loadDefinition(p, false); },
         Lines{"ParticleSystem: Unable to open file " + faults + "."}},
        // Only the first missing key is named; a null member is there.
        {"DefinitionWithoutKeys", "{}", [](auto& p) { loadDefinition(p, false); },
         missing("ParticleSystem", "name", "json")},
        {"DefinitionWithANullName", R"({"name": null})", [](auto& p) { loadDefinition(p, false); },
         missing("ParticleSystem", "sprites", "json")},
    });
}

// Deep enough to overflow the stack of any loader that recurses per level with a copy.
TEST(ManifestLoads, DeepNestingIsReportedNotFollowed)
{
    const std::string deep = std::string(200000, '[') + std::string(200000, ']');
    checkLoads({
        {"Textures", deep, texturesRefused, noTextures},
        {"Sprites", deep, [](auto& p) { EXPECT_FALSE(RegistryChain().sprites.load(p)); },
         missing("SpriteManager", "sprites", "sprites")},
        {"Sounds", deep, [](auto& p) { EXPECT_FALSE(SoundManager().load(p)); },
         missing("SoundManager", "sounds", "sounds")},
        {"Music", deep, [](auto& p) { EXPECT_FALSE(MusicManager().load(p)); },
         missing("MusicManager", "music", "music")},
        {"Particles", deep, [](auto& p) { EXPECT_FALSE(RegistryChain().particles.load(p)); },
         missing("ParticleManager", "particlesystems", "particles")},
        {"ParticleDefinition", deep, [](auto& p) { loadDefinition(p, false); },
         missing("ParticleSystem", "name", "json")},
        {"EntryProperty", R"({"textures": {"deep": {"file": )" + deep + "}}}",
         [](auto& p) { TextureManager().load(p); },
         Lines{skipped("TextureManager", "deep", "file",
                       "[json.exception.type_error.302] type must be string, but is array")}},
        {"Config", R"({"deep": )" + deep + R"(, "fullscreen": true})",
         [](auto& p) { EXPECT_TRUE(loadConfig(p).fullscreen); }, Lines{}},
    });
}

TEST(ManifestLoads, FaultyEntriesAreReportedAndTheRestLoads)
{
    const std::string sparks = testsupport::dataPath("particles/sparks.json");
    checkLoads({
        {"Sounds", "@faults/sounds.json",
         [](auto& p)
         {
             SoundManager sounds;
             EXPECT_TRUE(sounds.load(p));
             EXPECT_FALSE(sounds.exists("folder") || sounds.exists("yes"));
             EXPECT_EQ(sounds.entry("many")->instanceCount, maxSoundInstances);
             EXPECT_EQ(sounds.entry("many")->sounds.size(), std::size_t(maxSoundInstances));
         },
         Lines{"SoundManager: Unable to load file tests/data.",
               "SoundManager: instances of [many] is 255, above the limit of 16; using 16.",
               skipped("SoundManager", "yes", "instances", "type must be number, but is boolean")}},
        {"Music", "@faults/music.json",
         [](auto& p)
         {
             MusicManager music;
             EXPECT_TRUE(music.load(p) && !music.entry("quiet"));
             music.play("folder", false);
             EXPECT_EQ(music.player().getStatus(), sf::SoundSource::Stopped);
         },
         Lines{skipped("MusicManager", "quiet", "volume", "number -1e+30 is out of range"),
               "MusicManager: Unable to load music file tests/data."}},
        {"Particles", "@faults/particles.json",
         [](auto& p)
         {
             RegistryChain chain;
             EXPECT_TRUE(chain.particles.load(p));
             EXPECT_EQ(chain.particles.get("huge")->count, maxParticleCount);
             EXPECT_EQ(chain.particles.get("huge")->particles.size(), std::size_t(maxParticleCount));
         },
         Lines{skipped("ParticleManager", "below", "instances", "number -2147483649 is out of range"),
               "ParticleSystem: Unable to open file tests/data.", noDot,
               "ParticleSystem: Particle count 2147483647 is above the limit of 10000, using 10000.",
               skipped("ParticleManager", "yes", "instances", "type must be number, but is boolean")}},
        // Entries in key order; an unknown key is reported at every look-up.
        {"ParticleEntries",
         R"({"particlesystems": {"few": {"file": ")" + sparks + R"(", "instances": 7},
             "lost": {"file": "tests/data/particles/none.json", "instances": 0}, "nofile": {"instances": 3},
             "none": {"file": ")" +
             sparks + R"(", "instances": 0}, "odd": {"file": ")" + sparks +
             R"(", "instances": "many"}, "stars": {"file": ")" + sparks + R"("}}})",
         [](auto& p)
         {
             RegistryChain chain;
             EXPECT_TRUE(chain.particles.load(p));
             ParticleSystem* stars = chain.particles.get("stars");
             EXPECT_TRUE(stars->count == 100 && stars->particles.size() == 100u)
                 << "no \"instances\": a hundred";
             EXPECT_EQ(stars->spawn_rate, 0.5f);
             EXPECT_EQ(chain.particles.get("few")->particles.size(), 7u);
             EXPECT_TRUE(chain.particles.get("none")->particles.empty());
             EXPECT_FALSE(chain.particles.get("lost") || chain.particles.get("lost") ||
                          chain.particles.get("odd"));
         },
         Lines{noDot, "ParticleSystem: Unable to open file tests/data/particles/none.json.",
               "ParticleManager: Missing FILE property for [nofile]", noDot,
               "ParticleSystem: Particle count 0 is below 1, the system has no slots.",
               skipped("ParticleManager", "odd", "instances"), noDot,
               "ParticleManager: ParticleSystem with key lost does not exist.",
               "ParticleManager: ParticleSystem with key lost does not exist.",
               "ParticleManager: ParticleSystem with key odd does not exist."}},
    });
}

TEST(ReadProperty, NumbersMustFitTheirType)
{
    const std::tuple<const char*, bool, bool> cases[] = {
        // fits an int, fits a float
        {"2147483647", true, true},    {"2147483648", false, true},    {"-2147483648", true, true},
        {"-2147483649", false, true},  {"2147483647.9", true, true},   {"2147483648.0", false, true},
        {"-2147483648.9", true, true}, {"-2147483649.0", false, true}, {"18446744073709551615", false, true},
        {"3.4e38", false, true},       {"3.5e38", false, false},       {"-1e39", false, false}};
    for (const auto& [value, fitsInt, fitsFloat] : cases)
    {
        const nlohmann::json entry = nlohmann::json::parse(std::string(R"({"v": )") + value + "}");
        if (fitsInt)
            EXPECT_EQ(readProperty<int>(entry, "v", 0), static_cast<int>(entry["v"].get<double>())) << value;
        else
            EXPECT_THROW(readProperty<int>(entry, "v", 0), PropertyTypeError) << value;
        if (fitsFloat)
            EXPECT_NO_THROW(readProperty<float>(entry, "v", 0.f)) << value;
        else
            EXPECT_THROW(readProperty<float>(entry, "v", 0.f), PropertyTypeError) << value;
        EXPECT_NO_THROW(readProperty<double>(entry, "v", 0.0)) << value;
    }
}

// The size a picture's header gives is what the registry refuses a picture by before the decoder
// allocates it. The TGA cut after 17 bytes (a media fuzzer find) is read as the decoder reads it,
// with zeros past the end: a height of 8192 and a width of 26122.
TEST(TextureManager, ReadsThePictureSizeFromTheHeaderAsTheDecoderWould)
{
    const std::tuple<const char*, std::optional<sf::Vector2u>> cases[] = {
        {"images/w200h100.png", sf::Vector2u(200, 100)},
        {"images/w40h24.jpg", sf::Vector2u(40, 24)}, // JFIF and quantisation segments before the frame's
        {"images/cut-header.tga", sf::Vector2u(26122, 8192)},
        {"manifests/sounds.json", std::nullopt},
        {"images/missing.png", std::nullopt}};
    for (const auto& [file, size] : cases)
        EXPECT_EQ(pictureSizeFromHeader(testsupport::dataPath(file)), size) << file;
}

TEST(SoundManager, LoadsTheManifestThenPlaysAndStopsItsKeys)
{
    SoundManager sounds;
    bool loaded = false;
    expectLines(errorLines([&] { loaded = sounds.load(testsupport::dataPath("manifests/sounds.json")); }),
                {// A header promising 4 GB of samples in a 4 KB file: refused before the decoder
                 // allocates them.
                 // Its "data" chunk before any "fmt " chunk: the reader divided by a sample
                 // size of zero while opening it.
                 "SoundManager: Unable to load file tests/data/sounds/data-before-format.wav.",
                 "SoundManager: Unable to load file tests/data/sounds/huge-header.wav.",
                 "SoundManager: Unable to load file tests/data/sounds/missing.wav.",
                 skipped("SoundManager", "many-is-text", "instances"),
                 "SoundManager: instances of [none] is 0, using 1."});
    EXPECT_TRUE(loaded && !sounds.exists("lost") && !sounds.exists("huge") && !sounds.exists("data-first") &&
                !sounds.exists("many-is-text"));
    EXPECT_TRUE(sounds.entry("beep")->instanceCount == 1 && sounds.entry("none")->instanceCount == 1);

    // The instances of one entry share one buffer; play restarts the first only, stop stops all
    // however each was started.
    SoundEntry& triple = *const_cast<SoundEntry*>(sounds.entry("triple"));
    ASSERT_TRUE(triple.instanceCount == 3 && triple.sounds.size() == 3 && triple.buffer.getSampleCount() > 0);
    for (const sf::Sound& sound : triple.sounds)
        EXPECT_EQ(sound.getBuffer(), &triple.buffer);
    sounds.play("triple");
    sounds.play("triple");
    EXPECT_TRUE(triple.sounds[0].getStatus() == sf::Sound::Playing &&
                triple.sounds[1].getStatus() == sf::Sound::Stopped &&
                triple.sounds[2].getStatus() == sf::Sound::Stopped);
    for (sf::Sound& sound : triple.sounds)
        sound.play();
    sounds.stop("triple");
    for (const sf::Sound& sound : triple.sounds)
        EXPECT_EQ(sound.getStatus(), sf::Sound::Stopped);

    // The player's speed reaches every instance, also of a registry loaded after it was set.
    SoundManager later;
    later.setPitch(0.5f);
    errorLines([&] { later.load(testsupport::dataPath("manifests/sounds.json")); });
    sounds.setPitch(0.25f);
    for (const char* key : {"triple", "beep"})
    {
        for (const sf::Sound& sound : sounds.entry(key)->sounds)
            EXPECT_EQ(sound.getPitch(), 0.25f) << key;
        for (const sf::Sound& sound : later.entry(key)->sounds)
            EXPECT_EQ(sound.getPitch(), 0.5f) << key;
    }
    sounds.setPitch(1.f);

    sf::Sound& beep = const_cast<SoundEntry*>(sounds.entry("beep"))->sounds[0];
    for (bool muted : {false, true})
    {
        SCOPED_TRACE(muted ? "muted" : "sound on");
        sounds.muted = muted;
        EXPECT_TRUE(errorLines([&] { sounds.play("beep"); }).empty());
        EXPECT_EQ(beep.getStatus(), muted ? sf::Sound::Stopped : sf::Sound::Playing);
        beep.play(); // started behind the registry's back: only an unmuted stop ends it
        EXPECT_TRUE(errorLines([&] { sounds.stop("beep"); }).empty());
        EXPECT_EQ(beep.getStatus(), muted ? sf::Sound::Playing : sf::Sound::Stopped);
        beep.stop();
        expectLines(errorLines([&] { sounds.play("lost"); }),
                    {"SoundManager: Sound with key lost does not exist."});
        expectLines(errorLines([&] { sounds.stop("Beep"); }),
                    {"SoundManager: Sound with key Beep does not exist."});
    }
}

// Files are not opened until played: the missing file of "nowhere" is not noticed before.
TEST(MusicManager, LoadsTheManifestThenStartsOrReplacesTheTrackOrSaysWhyNot)
{
    MusicManager music;
    bool loaded = false;
    expectLines(errorLines([&] { loaded = music.load(testsupport::dataPath("manifests/music.json")); }),
                {skipped("MusicManager", "loud-is-text", "volume")});
    EXPECT_TRUE(loaded && !music.entry("loud-is-text"));
    // Damaged headers the media fuzzer found: a 6-byte FLAC frame that opens with no channels
    // (seeking it then divided by zero), a WAV of 65281 channels at 4 GHz (the stream asked for
    // 8 GB) and a WAV with no "fmt " chunk before its data (opening it divided by zero); and a
    // WAV of no channels at a sound rate. Each is refused like a missing file, and the stopped
    // player can still be moved.
    for (const auto& [key, file] : {std::pair{"nowhere", "missing.ogg"},
                                    {"no-channels", "no-channels.flac"},
                                    {"wav-no-channels", "silent-no-channels.wav"},
                                    {"many-channels", "many-channels.wav"},
                                    {"huge", "huge-header.wav"},
                                    {"data-first", "data-before-format.wav"}})
    {
        expectLines(errorLines([&] { music.play(key, false); }),
                    {std::string("MusicManager: Unable to load music file tests/data/sounds/") + file + "."});
        EXPECT_EQ(music.player().getStatus(), sf::Music::Stopped) << key;
        music.player().setPlayingOffset(sf::seconds(1.f));
        music.player().stop();
    }

    EXPECT_TRUE(errorLines([&] { music.play("tuned", true); }).empty());
    EXPECT_EQ(music.player().getStatus(), sf::Music::Playing);
    EXPECT_FLOAT_EQ(music.player().getVolume(), 40.f) << "40.9 is read as an integer";
    EXPECT_TRUE(music.player().getLoop());
    // The player keeps loop points in whole samples, so allow one sample of 22.05 kHz. 12.75 ms is
    // cut to 12 ms; without a length the loop runs to the end of the track.
    const sf::Music::TimeSpan loop = music.player().getLoopPoints();
    EXPECT_NEAR(loop.offset.asMicroseconds(), 12000, 100);
    EXPECT_NEAR((loop.offset + loop.length).asMicroseconds(), music.player().getDuration().asMicroseconds(),
                100);

    music.play("plain", false);
    EXPECT_EQ(music.player().getStatus(), sf::Music::Playing);
    EXPECT_FLOAT_EQ(music.player().getVolume(), 100.f);
    EXPECT_FALSE(music.player().getLoop());
    EXPECT_EQ(music.entry("plain")->loopTo, 0.0);
    expectLines(errorLines([&] { music.play("Plain", false); }),
                {"MusicManager: Song with key Plain does not exist."});
    EXPECT_EQ(music.player().getStatus(), sf::Music::Playing) << "an unknown key leaves the track playing";
}

// Loop starts that no 32-bit count of milliseconds holds: play clamps them (the sanitizer build
// catches an unclamped conversion) and the player, refusing a start outside the track, loops all
// of it. A later entry of a key replaces the earlier one.
TEST(MusicManager, FarLoopStartsLoopTheWholeTrack)
{
    testsupport::TempDir dir;
    MusicManager music;
    for (const char* start : {"1e12", "-1e12", "1e300"})
    {
        SCOPED_TRACE(start);
        const std::string manifest = R"({"music": {"far": {"file": ")" +
                                     testsupport::dataPath("sounds/beep.wav") + R"(", "loopTo": )" + start +
                                     "}}}";
        EXPECT_TRUE(loadsQuietly(music, dir.write("music.json", manifest)));
        EXPECT_EQ(music.entry("far")->loopTo, std::stod(start));
        testsupport::captureStderr([&] { music.play("far", true); });
        EXPECT_EQ(music.player().getStatus(), sf::Music::Playing);
        EXPECT_EQ(music.player().getLoopPoints().offset, sf::Time::Zero);
        EXPECT_EQ(music.player().getLoopPoints().length, music.player().getDuration());
    }
}
