#include "assets/Manifest.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

using testsupport::captureStderr;
using testsupport::dataPath;
using testsupport::lines;
using testsupport::TempDir;

TEST(ValidateJson, NamesOnlyTheFirstMissingKeyOfAnObject)
{
    const std::vector<std::string> two = {"name", "sprites"};
    const struct
    {
        const char* document;
        std::vector<std::string> keys;
        bool valid;
        const char* err;
    } cases[] = {{"null", {}, true, ""},
                 {"[]", {}, true, ""},
                 {"42", {}, true, ""},
                 {"{}", two, false, "validateJson: Missing prop: name.\n"},
                 {R"({"name": null, "sprites": []})", two, true, ""}, // a null member is present
                 {R"({"name": 1})", two, false, "validateJson: Missing prop: sprites.\n"},
                 // non-objects have no keys
                 {R"(["textures"])", {"textures"}, false, "validateJson: Missing prop: textures.\n"},
                 {R"("textures")", {"textures"}, false, "validateJson: Missing prop: textures.\n"}};
    for (const auto& c : cases)
    {
        bool valid = !c.valid;
        const std::string err =
            captureStderr([&] { valid = validateJson(nlohmann::json::parse(c.document), c.keys); });
        EXPECT_EQ(valid, c.valid) << c.document;
        EXPECT_EQ(err, c.err) << c.document;
    }
}

TEST(ReadJsonFile, MissingFileIsOneLine)
{
    bool opened = true;
    const std::string err =
        captureStderr([&] { EXPECT_TRUE(readJsonFile("no/such.json", "Thing", opened).is_null()); });
    EXPECT_FALSE(opened);
    EXPECT_EQ(err, "Thing: Unable to open file no/such.json.\n");
}

// The registries rely on the JSON library keeping what it parsed before an error.
TEST(ReadJsonFile, CutOffDocumentKeepsCompletedMembers)
{
    bool opened = false;
    nlohmann::json document;
    const std::string err = captureStderr(
        [&]
        { document = readJsonFile(dataPath("manifests/textures_cut_off.json"), "TextureManager", opened); });
    EXPECT_TRUE(opened);
    const std::vector<std::string> written = lines(err);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], "TextureManager: Error while parsing JSON.");
    EXPECT_EQ(written[1].rfind("[json.exception.parse_error.101]", 0), 0u) << written[1];

    const nlohmann::json& textures = document.at("textures");
    EXPECT_EQ(textures.at("first").at("file"), "tests/data/images/w200h100.png");
    EXPECT_EQ(textures.at("second").at("repeated"), true);
    // The member being read when the text ended is there, its value unfinished.
    EXPECT_TRUE(textures.at("third").at("file").is_null());
}

TEST(ReadJsonFile, TextAfterTheFirstValueIsIgnored)
{
    TempDir dir;
    const std::string path = dir.write("trailing.json", R"({"a": 1} {"b": 2} and words)");
    bool opened = false;
    nlohmann::json document;
    const std::string err = captureStderr([&] { document = readJsonFile(path, "Thing", opened); });
    EXPECT_EQ(err, "");
    EXPECT_EQ(document, nlohmann::json::parse(R"({"a": 1})"));
}

TEST(ReadProperty, ConvertsOrRaisesWithThePropertyName)
{
    const nlohmann::json entry = nlohmann::json::parse(R"({"w": 16.9, "n": null, "s": "x", "b": true})");
    EXPECT_EQ(readProperty<int>(entry, "w", -1), 16);
    EXPECT_EQ(readProperty<int>(entry, "absent", -1), -1);
    EXPECT_THROW(readProperty<float>(entry, "b", 0.f), PropertyTypeError);
    try
    {
        readProperty<bool>(entry, "s", false);
        FAIL() << "a string is not a boolean";
    }
    catch (const PropertyTypeError& error)
    {
        EXPECT_EQ(error.property, "s");
        EXPECT_NE(error.message.find("type must be boolean, but is string"), std::string::npos)
            << error.message;
    }
    EXPECT_THROW(readProperty<int>(entry, "n", 0), PropertyTypeError);
}

TEST(ReadProperty, NumbersMustFitTheirType)
{
    const struct
    {
        const char* value;
        bool fitsInt;
        bool fitsFloat;
    } cases[] = {
        {"2147483647", true, true},    {"2147483648", false, true},    {"-2147483648", true, true},
        {"-2147483649", false, true},  {"2147483647.9", true, true},   {"2147483648.0", false, true},
        {"-2147483648.9", true, true}, {"-2147483649.0", false, true}, {"18446744073709551615", false, true},
        {"3.4e38", false, true},       {"3.5e38", false, false},       {"-1e39", false, false}};
    for (const auto& number : cases)
    {
        const nlohmann::json entry = nlohmann::json::parse(std::string(R"({"v": )") + number.value + "}");
        if (number.fitsInt)
            EXPECT_EQ(readProperty<int>(entry, "v", 0), static_cast<int>(entry["v"].get<double>()))
                << number.value;
        else
            EXPECT_THROW(readProperty<int>(entry, "v", 0), PropertyTypeError) << number.value;
        if (number.fitsFloat)
            EXPECT_NO_THROW(readProperty<float>(entry, "v", 0.f)) << number.value;
        else
            EXPECT_THROW(readProperty<float>(entry, "v", 0.f), PropertyTypeError) << number.value;
        EXPECT_NO_THROW(readProperty<double>(entry, "v", 0.0)) << number.value;
    }
}
