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
class SpriteManagerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(captureStderr([&] { textures.load(dataPath("manifests/sprites_textures.json")); }), "");
    }

    std::vector<std::string> load(const std::string& path)
    {
        return lines(captureStderr([&] { result = sprites.load(path); }));
    }

    TextureManager textures;
    SpriteManager sprites{textures};
    bool result = false;
};

struct Geometry
{
    const char* key;
    sf::IntRect rect;
    sf::Vector2f origin;
    sf::Vector2f position;
};

std::ostream& operator<<(std::ostream& out, const Geometry& g)
{
    return out << g.key;
}

class SpriteGeometry : public SpriteManagerTest, public testing::WithParamInterface<Geometry>
{
};

TEST_P(SpriteGeometry, FollowsTheManifest)
{
    ASSERT_TRUE(load(dataPath("manifests/sprites_geometry.json")).empty());
    const Geometry& expected = GetParam();
    const sf::Sprite* sprite = sprites.get(expected.key);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getTextureRect(), expected.rect);
    EXPECT_EQ(sprite->getOrigin(), expected.origin);
    EXPECT_EQ(sprite->getPosition(), expected.position);
    EXPECT_EQ(sprite->getColor(), sf::Color::White);
    EXPECT_EQ(sprite->getScale(), sf::Vector2f(1.f, 1.f));
    EXPECT_EQ(sprite->getRotation(), 0.f);
}

INSTANTIATE_TEST_SUITE_P(Entries, SpriteGeometry,
                         testing::Values(Geometry{"plain", {0, 0, 200, 100}, {0, 0}, {0, 0}},
                                         // Odd sizes: the origin is the integer half, not 100.5.
                                         Geometry{"centred", {0, 0, 201, 101}, {100, 50}, {0, 0}},
                                         Geometry{"centred-overrides", {0, 0, 201, 101}, {100, 50}, {0, 0}},
                                         Geometry{"strip", {16, 0, 16, 32}, {0, 0}, {0, 0}},
                                         Geometry{"placed", {0, 0, 64, 32}, {0, 0}, {960, 540}},
                                         Geometry{"zero-width", {0, 0, 0, 32}, {2.5f, 1.25f}, {0, 0}},
                                         Geometry{"fractions", {16, -3, 8, 32}, {0, 0}, {0, 0}},
                                         Geometry{"both", {0, 0, 200, 100}, {100, 50}, {960, 540}}),
                         [](const testing::TestParamInfo<Geometry>& info)
                         {
                             std::string name = info.param.key;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

TEST_F(SpriteManagerTest, FaultyEntriesAreReportedAndSkipped)
{
    const auto written = load(dataPath("manifests/sprites_faults.json"));
    EXPECT_TRUE(result);
    ASSERT_EQ(written.size(), 6u) << testing::PrintToString(written);
    EXPECT_EQ(written[0], "SpriteManager: Missing TEXTURE property for [no-texture]");
    EXPECT_EQ(written[1].rfind(
                  "SpriteManager: Entry [origin-is-string] skipped, property originX has the wrong type: "
                  "[json.exception.type_error.302] type must be number, but is string",
                  0),
              0u)
        << written[1];
    EXPECT_EQ(
        written[2].rfind("SpriteManager: Entry [rect-is-null] skipped, property rectW has the wrong type", 0),
        0u)
        << written[2];
    EXPECT_EQ(written[3].rfind("SpriteManager: Entry [texture-is-array] skipped, property texture", 0), 0u)
        << written[3];
    EXPECT_EQ(written[4], "TextureManager: Texture with key nowhere does not exist.");
    EXPECT_EQ(written[5],
              "SpriteManager: Sprite [unknown-texture] skipped, its texture nowhere is not loaded.");
    EXPECT_TRUE(sprites.exists("fine"));
    for (const char* skipped :
         {"no-texture", "unknown-texture", "origin-is-string", "rect-is-null", "texture-is-array"})
        EXPECT_FALSE(sprites.exists(skipped)) << skipped;
}

TEST_F(SpriteManagerTest, MissingTopLevelKey)
{
    TempDir dir;
    EXPECT_EQ(load(dir.write("sprites.json", R"({"textures": {}})")),
              (std::vector<std::string>{"validateJson: Missing prop: sprites.",
                                        "SpriteManager: Missing properties in spritesfile."}));
    EXPECT_FALSE(result);
}

TEST_F(SpriteManagerTest, SecondRegistrationOfAKeyIsRefused)
{
    TempDir dir;
    ASSERT_TRUE(load(dir.write("a.json", R"({"sprites": {"s": {"texture": "w64h32"}}})")).empty());
    EXPECT_EQ(load(dir.write("b.json", R"({"sprites": {"s": {"texture": "w200h100"}}})")),
              std::vector<std::string>{"SpriteManager: Sprite with key s already exists."});
    EXPECT_EQ(sprites.get("s")->getTexture(), textures.get("w64h32"));
}

TEST_F(SpriteManagerTest, SpritesAreSharedAndReferToTheRegistryTexture)
{
    ASSERT_TRUE(load(dataPath("manifests/sprites_geometry.json")).empty());
    sf::Sprite* first = sprites.get("plain");
    first->setPosition(12.f, 34.f);
    EXPECT_EQ(sprites.get("plain"), first);
    EXPECT_EQ(sprites.get("plain")->getPosition(), sf::Vector2f(12.f, 34.f));
    EXPECT_EQ(first->getTexture(), textures.get("w200h100"));

    const std::string err = captureStderr([&] { EXPECT_EQ(sprites.get("Plain"), nullptr); });
    EXPECT_EQ(err, "SpriteManager: Sprite with key Plain does not exist.\n");
    EXPECT_FALSE(sprites.exists("Plain"));
}
} // namespace
