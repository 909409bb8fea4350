// Data files that used to crash or hang the program: each is reported with its line, the
// load carries on with the rest, and nothing is converted silently.
#include "TestSupport.hpp"
#include "assets/MusicManager.hpp"
#include "assets/ParticleManager.hpp"
#include "assets/SoundManager.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"
#include "fx/ParticleSystem.hpp"
#include "runtime/Config.hpp"

#include <functional>
#include <gtest/gtest.h>

using testsupport::captureStderr;
using testsupport::dataPath;
using testsupport::lines;
using testsupport::TempDir;

namespace
{
// Deep enough to overflow the stack of any loader that recurses per level with a copy.
constexpr int deepLevels = 200000;

std::string deepArray()
{
    return std::string(deepLevels, '[') + std::string(deepLevels, ']');
}

struct FaultCase
{
    const char* name;
    /// Contents of the file the case loads; empty for a fixture file or a folder.
    std::function<std::string()> contents;
    /// Under tests/data/faults/: a fixture file, or "" for the folder itself.
    const char* fixture;
    /// Loads the file at path and checks what the registries kept.
    std::function<void(const std::string& path)> load;
    /// The lines on standard error; "{path}" stands for the loaded path.
    std::vector<std::string> expected;
};

std::string skipped(const std::string& component, const std::string& key, const std::string& property,
                    const std::string& why)
{
    return component + ": Entry [" + key + "] skipped, property " + property + " has the wrong type: " + why;
}

void loadTextures(const std::string& path)
{
    TextureManager textures;
    textures.load(path);
}

void loadParticleDefinition(const std::string& path, bool expectLoaded)
{
    TextureManager textures;
    SpriteManager sprites(textures);
    ParticleSystem system;
    EXPECT_EQ(system.loadFromFile(path, 5, sprites), expectLoaded);
}

const FaultCase faultCases[] = {
    {"DeepTextureManifest",
     deepArray,
     nullptr,
     [](const std::string& path) { loadTextures(path); },
     {"validateJson: Missing prop: textures.", "TextureManager: Missing properties in texturesfile."}},
    {"DeepSpriteManifest",
     deepArray,
     nullptr,
     [](const std::string& path)
     {
         TextureManager textures;
         SpriteManager sprites(textures);
         EXPECT_FALSE(sprites.load(path));
     },
     {"validateJson: Missing prop: sprites.", "SpriteManager: Missing properties in spritesfile."}},
    {"DeepSoundManifest",
     deepArray,
     nullptr,
     [](const std::string& path) { SoundManager().load(path); },
     {"validateJson: Missing prop: sounds.", "SoundManager: Missing properties in soundsfile."}},
    {"DeepMusicManifest",
     deepArray,
     nullptr,
     [](const std::string& path) { MusicManager().load(path); },
     {"validateJson: Missing prop: music.", "MusicManager: Missing properties in musicfile."}},
    {"DeepParticleManifest",
     deepArray,
     nullptr,
     [](const std::string& path)
     {
         TextureManager textures;
         SpriteManager sprites(textures);
         ParticleManager(sprites).load(path);
     },
     {"validateJson: Missing prop: particlesystems.",
      "ParticleManager: Missing properties in particlesfile."}},
    {"DeepParticleDefinition",
     deepArray,
     nullptr,
     [](const std::string& path) { loadParticleDefinition(path, false); },
     {"validateJson: Missing prop: name.", "ParticleSystem: Missing properties in jsonfile."}},
    {"DeepParticleName",
     []
     {
         return R"({"name": )" + deepArray() + R"(, "sprites": [], "min_xs": 0, "max_xs": 0, "min_ys": 0,
         "max_ys": 0, "min_xg": 0, "max_xg": 0, "min_yg": 0, "max_yg": 0, "min_rot": 0, "max_rot": 0,
         "min_rotspeed": 0, "max_rotspeed": 0, "min_scale": 1, "max_scale": 1, "min_scalespeed": 0,
         "max_scalespeed": 0, "fadein": false, "fadeout": false, "min_fadespeed": 1, "max_fadespeed": 1,
         "min_ttl": 1, "max_ttl": 1})";
     },
     nullptr,
     [](const std::string& path) { loadParticleDefinition(path, true); },
     {"ParticleSystem: The sprite list is empty, no particle will be drawn."}},
    {"DeepEntryProperty",
     [] { return R"({"textures": {"deep": {"file": )" + deepArray() + "}}}"; },
     nullptr,
     [](const std::string& path) { loadTextures(path); },
     {skipped("TextureManager", "deep", "file",
              "[json.exception.type_error.302] type must be string, but is array")}},
    {"DeepConfig",
     [] { return R"({"deep": )" + deepArray() + R"(, "fullscreen": true})"; },
     nullptr,
     [](const std::string& path)
     {
         fullscreen = false;
         loadConfig(path);
         EXPECT_TRUE(fullscreen);
         fullscreen = false;
     },
     {}},
    {"FolderAsManifest",
     nullptr,
     "",
     [](const std::string& path) { loadTextures(path); },
     {"TextureManager: Unable to open file {path}."}},
    {"FolderAsConfig",
     nullptr,
     "",
     [](const std::string& path) { loadConfig(path); },
     {"Config.json missing."}},
    {"FolderAsParticleDefinition",
     nullptr,
     "",
     [](const std::string& path) { loadParticleDefinition(path, false); },
     {"ParticleSystem: Unable to open file {path}."}},
    {"Sounds",
     nullptr,
     "sounds.json",
     [](const std::string& path)
     {
         SoundManager sounds;
         EXPECT_TRUE(sounds.load(path));
         EXPECT_FALSE(sounds.exists("folder"));
         ASSERT_TRUE(sounds.exists("many"));
         EXPECT_EQ(sounds.entry("many")->instanceCount, maxSoundInstances);
         EXPECT_EQ(sounds.entry("many")->sounds.size(), static_cast<std::size_t>(maxSoundInstances));
         EXPECT_FALSE(sounds.exists("yes"));
     },
     {"SoundManager: Unable to load file tests/data.",
      "SoundManager: instances of [many] is 255, above the limit of 16; using 16.",
      skipped("SoundManager", "yes", "instances", "type must be number, but is boolean")}},
    {"Sprites",
     nullptr,
     "sprites.json",
     [](const std::string& path)
     {
         TextureManager textures;
         SpriteManager sprites(textures);
         EXPECT_TRUE(sprites.load(path));
     },
     {skipped("SpriteManager", "false_origin", "originX", "type must be number, but is boolean"),
      skipped("SpriteManager", "huge_width", "rectW", "number 10000000000.0 is out of range"),
      skipped("SpriteManager", "unsigned_width", "rectW", "number 3000000000 is out of range")}},
    {"Music",
     nullptr,
     "music.json",
     [](const std::string& path)
     {
         MusicManager music;
         EXPECT_TRUE(music.load(path));
         EXPECT_EQ(music.entry("quiet"), nullptr);
         music.play("folder", false);
         EXPECT_EQ(music.player().getStatus(), sf::SoundSource::Stopped);
     },
     {skipped("MusicManager", "quiet", "volume", "number -1e+30 is out of range"),
      "MusicManager: Unable to load music file tests/data."}},
    {"Particles",
     nullptr,
     "particles.json",
     [](const std::string& path)
     {
         TextureManager textures;
         SpriteManager sprites(textures);
         ParticleManager particles(sprites);
         EXPECT_TRUE(particles.load(path));
         const ParticleSystem* huge = particles.get("huge");
         ASSERT_NE(huge, nullptr);
         EXPECT_EQ(huge->count, maxParticleCount);
         EXPECT_EQ(huge->particles.size(), static_cast<std::size_t>(maxParticleCount));
     },
     {skipped("ParticleManager", "below", "instances", "number -2147483649 is out of range"),
      "ParticleSystem: Unable to open file tests/data.", "SpriteManager: Sprite with key dot does not exist.",
      "ParticleSystem: Particle count 2147483647 is above the limit of 10000, using 10000.",
      skipped("ParticleManager", "yes", "instances", "type must be number, but is boolean")}},
};

void PrintTo(const FaultCase& fault, std::ostream* out)
{
    *out << fault.name;
}

class DataFaults : public testing::TestWithParam<FaultCase>
{
};

TEST_P(DataFaults, AreReportedAndTheLoadCarriesOn)
{
    const FaultCase& fault = GetParam();
    TempDir temp;
    std::string path;
    if (fault.contents)
        path = temp.write("file.json", fault.contents());
    else
        path = fault.fixture[0] ? dataPath(std::string("faults/") + fault.fixture) : dataPath("faults");

    const std::string err = captureStderr([&] { fault.load(path); });

    std::vector<std::string> expected;
    for (std::string line : fault.expected)
    {
        if (const std::size_t at = line.find("{path}"); at != std::string::npos)
            line.replace(at, 6, path);
        expected.push_back(line);
    }
    EXPECT_EQ(lines(err), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, DataFaults, testing::ValuesIn(faultCases),
                         [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });
} // namespace
