#include "TestSupport.hpp"
#include "assets/TextureManager.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

using testsupport::captureStderr;
using testsupport::dataPath;
using testsupport::lines;
using testsupport::TempDir;

namespace
{
std::vector<std::string> loadAndReport(TextureManager& textures, const std::string& path, bool& result)
{
    return lines(captureStderr([&] { result = textures.load(path); }));
}
} // namespace

TEST(TextureManager, MissingManifestIsOneLineAndNothingLoaded)
{
    TextureManager textures;
    bool result = true;
    EXPECT_EQ(loadAndReport(textures, "assets/none.json", result),
              std::vector<std::string>{"TextureManager: Unable to open file assets/none.json."});
    EXPECT_FALSE(result);
}

TEST(TextureManager, EmptyManifestReportsParseAndMissingKey)
{
    TempDir dir;
    TextureManager textures;
    bool result = true;
    const auto written = loadAndReport(textures, dir.write("textures.json", ""), result);
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0], "TextureManager: Error while parsing JSON.");
    EXPECT_EQ(written[1].rfind("[json.exception.parse_error.101]", 0), 0u);
    EXPECT_EQ(written[2], "validateJson: Missing prop: textures.");
    EXPECT_EQ(written[3], "TextureManager: Missing properties in texturesfile.");
    EXPECT_FALSE(result);
}

struct TopLevelCase
{
    const char* name;
    const char* text;
    std::vector<std::string> expected; // lines after any parse report
    bool result;
};

std::ostream& operator<<(std::ostream& out, const TopLevelCase& c)
{
    return out << c.name;
}

class TextureManagerTopLevel : public testing::TestWithParam<TopLevelCase>
{
};

TEST_P(TextureManagerTopLevel, RegistersNothing)
{
    const TopLevelCase& c = GetParam();
    TempDir dir;
    TextureManager textures;
    bool result = !c.result;
    auto written = loadAndReport(textures, dir.write("textures.json", c.text), result);
    if (!written.empty() && written[0] == "TextureManager: Error while parsing JSON.")
        written.erase(written.begin(), written.begin() + 2);
    EXPECT_EQ(written, c.expected);
    EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, TextureManagerTopLevel,
    testing::Values(
        TopLevelCase{
            "Array",
            R"([{"textures": {}}])",
            {"validateJson: Missing prop: textures.", "TextureManager: Missing properties in texturesfile."},
            false},
        TopLevelCase{
            "OtherKeyOnly",
            R"({"sprites": {}})",
            {"validateJson: Missing prop: textures.", "TextureManager: Missing properties in texturesfile."},
            false},
        TopLevelCase{
            "CutBeforeTheKeyName",
            R"({"textu)",
            {"validateJson: Missing prop: textures.", "TextureManager: Missing properties in texturesfile."},
            false},
        TopLevelCase{"CutAfterTheKeyName", R"({"textures": )", {}, true},
        TopLevelCase{"EmptyObject", R"({"textures": {}})", {}, true},
        TopLevelCase{
            "EntriesNotAnObject",
            R"({"textures": [{"file": "a.png"}]})",
            {"TextureManager: \"textures\" must be an object of entries, but is array; nothing registered."},
            true},
        // Written out in full, null is a mistake to report, unlike a document that broke off.
        TopLevelCase{
            "EntriesNull",
            R"({"textures": null})",
            {"TextureManager: \"textures\" must be an object of entries, but is null; nothing registered."},
            true}),
    [](const testing::TestParamInfo<TopLevelCase>& info) { return info.param.name; });

TEST(TextureManager, EntriesAreVisitedInAscendingKeyOrder)
{
    TextureManager textures;
    bool result = false;
    EXPECT_EQ(loadAndReport(textures, dataPath("manifests/textures_descending.json"), result),
              (std::vector<std::string>{
                  "TextureManager: Unable to load file tests/data/images/missing-alpha.png.",
                  "TextureManager: Unable to load file tests/data/images/missing-mid.png.",
                  "TextureManager: Unable to load file tests/data/images/missing-zeta.png."}));
    EXPECT_TRUE(result);
    EXPECT_FALSE(textures.exists("alpha"));
}

TEST(TextureManager, BadEntriesAreSkippedAndTheRestLoads)
{
    TextureManager textures;
    bool result = false;
    const auto written = loadAndReport(textures, dataPath("manifests/textures_mixed.json"), result);
    EXPECT_TRUE(result);
    ASSERT_EQ(written.size(), 5u) << testing::PrintToString(written);
    EXPECT_EQ(written[0], "TextureManager: Unable to load file tests/data/images/broken.png.");
    EXPECT_EQ(
        written[1].rfind("TextureManager: Entry [file-is-number] skipped, property file has the wrong type: "
                         "[json.exception.type_error.302] type must be string, but is number",
                         0),
        0u)
        << written[1];
    EXPECT_EQ(written[2], "TextureManager: Missing FILE property for [no-file]");
    EXPECT_EQ(written[3], "TextureManager: Missing FILE property for [not-an-object]");
    EXPECT_EQ(written[4].rfind("TextureManager: Entry [repeated-is-string] skipped, property repeated", 0),
              0u)
        << written[4];

    ASSERT_TRUE(textures.exists("plain"));
    EXPECT_FALSE(textures.get("plain")->isRepeated());
    EXPECT_EQ(textures.get("plain")->getSize(), sf::Vector2u(200, 100));
    EXPECT_FALSE(textures.get("plain")->isSmooth());
    EXPECT_TRUE(textures.get("repeated")->isRepeated());
    // A key written twice keeps the value read last.
    ASSERT_TRUE(textures.exists("twice"));
    EXPECT_EQ(textures.get("twice")->getSize(), sf::Vector2u(201, 101));
    for (const char* skipped : {"broken", "no-file", "not-an-object", "file-is-number", "repeated-is-string"})
        EXPECT_FALSE(textures.exists(skipped)) << skipped;
}

TEST(TextureManager, CutOffManifestKeepsTheCompletedEntries)
{
    TextureManager textures;
    bool result = false;
    const auto written = loadAndReport(textures, dataPath("manifests/textures_cut_off.json"), result);
    EXPECT_TRUE(result);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0], "TextureManager: Error while parsing JSON.");
    EXPECT_EQ(written[2].rfind("TextureManager: Entry [third] skipped, property file has the wrong type", 0),
              0u)
        << written[2];
    EXPECT_TRUE(textures.exists("first"));
    EXPECT_TRUE(textures.exists("second"));
    EXPECT_FALSE(textures.exists("third"));
}

TEST(TextureManager, SecondRegistrationOfAKeyIsRefused)
{
    TempDir dir;
    const std::string first =
        dir.write("a.json", R"({"textures": {"pic": {"file": "tests/data/images/w64h32.png"}}})");
    const std::string second =
        dir.write("b.json", R"({"textures": {"pic": {"file": "tests/data/images/w200h100.png"}}})");
    TextureManager textures;
    bool result = false;
    EXPECT_TRUE(loadAndReport(textures, first, result).empty());
    EXPECT_EQ(loadAndReport(textures, second, result),
              std::vector<std::string>{"TextureManager: Texture with key pic already exists."});
    EXPECT_EQ(textures.get("pic")->getSize(), sf::Vector2u(64, 32));
}

TEST(TextureManager, LookUpsShareOneTextureAndNeverInsert)
{
    TextureManager textures;
    bool result = false;
    loadAndReport(textures, dataPath("manifests/sprites_textures.json"), result);
    std::string err = captureStderr([&] { EXPECT_EQ(textures.get("w64h32"), textures.get("w64h32")); });
    EXPECT_EQ(err, "");
    err = captureStderr([&] { EXPECT_EQ(textures.get("W64H32"), nullptr); });
    EXPECT_EQ(err, "TextureManager: Texture with key W64H32 does not exist.\n");
    EXPECT_FALSE(textures.exists("W64H32"));
}

struct PictureSizeCase
{
    const char* format; // file extension, which picks the encoder
    unsigned int width;
    unsigned int height;
};

std::ostream& operator<<(std::ostream& out, const PictureSizeCase& c)
{
    return out << c.format << " " << c.width << "x" << c.height;
}

class TextureManagerPictureSize : public testing::TestWithParam<PictureSizeCase>
{
};

// Every format is measured, whichever side is too long: a picture one pixel over the limit
// is refused with the usual line, one at the limit loads.
TEST_P(TextureManagerPictureSize, OnePixelOverTheLimitIsRefused)
{
    const PictureSizeCase& c = GetParam();
    TempDir dir;
    const std::string picture = (dir.path() / (std::string("picture.") + c.format)).string();
    sf::Image image;
    image.create(c.width, c.height, sf::Color(10, 200, 30));
    ASSERT_TRUE(image.saveToFile(picture));
    const std::string manifest =
        dir.write("textures.json", R"({"textures": {"picture": {"file": ")" + picture + R"("}}})");

    const bool withinLimit = c.width <= maxPictureSide && c.height <= maxPictureSide;
    TextureManager textures;
    bool result = false;
    const auto written = loadAndReport(textures, manifest, result);
    EXPECT_TRUE(result);
    if (withinLimit)
    {
        EXPECT_TRUE(written.empty()) << testing::PrintToString(written);
        ASSERT_TRUE(textures.exists("picture"));
        EXPECT_EQ(textures.get("picture")->getSize(), sf::Vector2u(c.width, c.height));
    }
    else
    {
        EXPECT_EQ(written, std::vector<std::string>{"TextureManager: Unable to load file " + picture + "."});
        EXPECT_FALSE(textures.exists("picture"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, TextureManagerPictureSize,
    testing::Values(PictureSizeCase{"png", maxPictureSide, 1}, PictureSizeCase{"png", maxPictureSide + 1, 1},
                    PictureSizeCase{"png", 1, maxPictureSide + 1}, PictureSizeCase{"bmp", 1, maxPictureSide},
                    PictureSizeCase{"bmp", maxPictureSide + 1, 1},
                    PictureSizeCase{"bmp", 1, maxPictureSide + 1},
                    PictureSizeCase{"tga", maxPictureSide + 1, 1},
                    PictureSizeCase{"tga", 1, maxPictureSide + 1}, PictureSizeCase{"jpg", maxPictureSide, 8},
                    PictureSizeCase{"jpg", maxPictureSide + 1, 8},
                    PictureSizeCase{"jpg", 8, maxPictureSide + 1}));
