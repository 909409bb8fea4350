#include "assets/ParticleManager.hpp"

#include "TestSupport.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"

#include <gtest/gtest.h>

using testsupport::captureStderr;
using testsupport::dataPath;
using testsupport::lines;
using testsupport::TempDir;

namespace
{
// The registry is given an empty sprite registry: the definitions' sprite keys then
// resolve to nothing, which loads (and reports) but needs no textures.
class ParticleManagerTest : public testing::Test
{
protected:
    TextureManager textures;
    SpriteManager sprites{textures};
    ParticleManager particles{sprites};
    TempDir dir;

    /// Loads a manifest whose "particlesystems" object is entries; returns standard error.
    std::string load(const std::string& entries, bool expected = true)
    {
        const std::string path = dir.write("particles.json", "{\"particlesystems\": {" + entries + "}}");
        return captureStderr([&] { EXPECT_EQ(particles.load(path), expected); });
    }

    static std::string definitionFile() { return dataPath("particles/sparks.json"); }
};
} // namespace

TEST_F(ParticleManagerTest, EntryWithoutInstancesGetsAHundredSlots)
{
    load("\"stars\": {\"file\": \"" + definitionFile() + "\"}, \"few\": {\"file\": \"" + definitionFile() +
         "\", \"instances\": 7}");
    ParticleSystem* stars = nullptr;
    ParticleSystem* few = nullptr;
    const std::string err = captureStderr(
        [&]
        {
            stars = particles.get("stars");
            few = particles.get("few");
        });
    EXPECT_EQ(err, "");
    ASSERT_NE(stars, nullptr);
    ASSERT_NE(few, nullptr);
    EXPECT_EQ(stars->particles.size(), 100u);
    EXPECT_EQ(stars->count, 100);
    EXPECT_EQ(few->particles.size(), 7u);
    EXPECT_EQ(stars->spawn_rate, 0.5f);
    // Every caller shares the one system.
    stars->emitting = true;
    EXPECT_EQ(particles.get("stars"), stars);
    EXPECT_TRUE(particles.get("stars")->emitting);
}

TEST_F(ParticleManagerTest, MissingDefinitionFileRegistersNothing)
{
    const std::string missing = dataPath("particles/none.json");
    const std::string err = load("\"lost\": {\"file\": \"" + missing + "\", \"instances\": 0}");
    EXPECT_EQ(lines(err), std::vector<std::string>{"ParticleSystem: Unable to open file " + missing + "."});
    // A look-up of the unknown key is reported every time: it inserts nothing.
    const std::string lookup = captureStderr(
        [&]
        {
            EXPECT_EQ(particles.get("lost"), nullptr);
            EXPECT_EQ(particles.get("lost"), nullptr);
        });
    EXPECT_EQ(lines(lookup),
              std::vector<std::string>(2, "ParticleManager: ParticleSystem with key lost does not exist."));
}

TEST_F(ParticleManagerTest, ManifestFailures)
{
    const std::string missing = (dir.path() / "absent.json").string();
    std::string err = captureStderr([&] { EXPECT_FALSE(particles.load(missing)); });
    EXPECT_EQ(lines(err), std::vector<std::string>{"ParticleManager: Unable to open file " + missing + "."});

    const std::string other = dir.write("other.json", "{\"sprites\": {}}");
    err = captureStderr([&] { EXPECT_FALSE(particles.load(other)); });
    EXPECT_EQ(lines(err),
              (std::vector<std::string>{"validateJson: Missing prop: particlesystems.",
                                        "ParticleManager: Missing properties in particlesfile."}));

    err = load("\"nofile\": {\"instances\": 3}");
    EXPECT_EQ(lines(err), std::vector<std::string>{"ParticleManager: Missing FILE property for [nofile]"});
}

TEST_F(ParticleManagerTest, WronglyTypedPropertySkipsTheEntry)
{
    const std::string err =
        load("\"odd\": {\"file\": \"" + definitionFile() + "\", \"instances\": \"many\"}");
    EXPECT_NE(err.find("ParticleManager: Entry [odd] skipped, property instances has the wrong type"),
              std::string::npos)
        << err;
    captureStderr([&] { EXPECT_EQ(particles.get("odd"), nullptr); });
}

TEST_F(ParticleManagerTest, InstancesBelowOneRegistersAnEmptySystem)
{
    const std::string err = load("\"none\": {\"file\": \"" + definitionFile() + "\", \"instances\": 0}");
    // Reported once, by the system (the fixture leaves the sprite "dot" unregistered, hence its line).
    EXPECT_EQ(lines(err), (std::vector<std::string>{"SpriteManager: Sprite with key dot does not exist.",
                                                    "ParticleSystem: Particle count 0 is below 1, the system "
                                                    "has no slots."}));
    ParticleSystem* none = particles.get("none");
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->particles.empty());
}
