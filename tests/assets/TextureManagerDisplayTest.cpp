#include "TestSupport.hpp"
#include "assets/TextureManager.hpp"

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
