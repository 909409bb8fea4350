#include "runtime/Config.hpp"

#include "TestSupport.hpp"
#include "assets/Registries.hpp"

#include <gtest/gtest.h>
#include <optional>

using testsupport::captureStderr;
using testsupport::lines;
using testsupport::TempDir;

namespace
{
/// The three switches config.json sets.
struct Switches
{
    bool fullscreen;
    bool vsync;
    bool muted;
};

/// What a file that sets nothing leaves.
constexpr Switches defaults{false, true, false};

struct ConfigCase
{
    const char* name;
    std::optional<std::string> fileText;    ///< no value: the file does not exist
    std::vector<std::string> expectedLines; ///< exact lines, or a prefix when it ends in '*'
    Switches expected;
};

std::ostream& operator<<(std::ostream& out, const ConfigCase& c)
{
    return out << c.name;
}

class ConfigLoading : public testing::TestWithParam<ConfigCase>
{
protected:
    void SetUp() override
    {
        fullscreen = false;
        vsync = true;
        soundManager.muted = false;
    }
};

const std::string parseFailed = "config.json: Error while parsing JSON.";

const ConfigCase configCases[] = {
    {"Missing", std::nullopt, {"Config.json missing."}, defaults},
    {"EmptyFile", "", {parseFailed, "[json.exception.parse_error.101]*"}, defaults},
    {"OnlyOpeningBrace", "{", {parseFailed, "[json.exception.parse_error.101]*"}, defaults},
    // A cut-off file applies none of the keys it did hold.
    {"CutOff",
     R"({"fullscreen": true, "vsync": fal)",
     {parseFailed, "[json.exception.parse_error.101]*"},
     defaults},
    {"EmptyObject", "{}", {}, defaults},
    {"ArrayAtTop", R"([{"fullscreen": true}])", {}, defaults},
    {"NumberAtTop", "42", {}, defaults},
    {"AllSet",
     R"({"fullscreen": true, "vsync": false, "sound": false, "show_fps": true})",
     {},
     {true, false, true}},
    {"SoundTrueKeepsSound", R"({"sound": true})", {}, defaults},
    {"KeysAreCaseSensitive", R"({"Fullscreen": true, "VSYNC": false, "Sound": false})", {}, defaults},
    {"TextAfterObjectIgnored", "{\"fullscreen\": true} and then some words", {}, {true, true, false}},
    {"NumberIsNotBoolean",
     R"({"fullscreen": 1, "vsync": false})",
     {"config.json: \"fullscreen\" must be true or false, but is number; keeping the default."},
     {false, false, false}},
    {"StringIsNotBoolean",
     R"({"sound": "off", "show_fps": null})",
     {"config.json: \"sound\" must be true or false, but is string; keeping the default.",
      "config.json: \"show_fps\" must be true or false, but is null; keeping the default."},
     defaults},
};

TEST_P(ConfigLoading, SetsSwitchesAndReports)
{
    const ConfigCase& c = GetParam();
    TempDir dir;
    const std::string path = (dir.path() / "config.json").string();
    if (c.fileText)
        dir.write("config.json", *c.fileText);

    const std::vector<std::string> written = lines(captureStderr([&] { loadConfig(path); }));

    ASSERT_EQ(written.size(), c.expectedLines.size()) << testing::PrintToString(written);
    for (std::size_t i = 0; i < written.size(); ++i)
    {
        const std::string& expected = c.expectedLines[i];
        if (!expected.empty() && expected.back() == '*')
            EXPECT_EQ(written[i].rfind(expected.substr(0, expected.size() - 1), 0), 0u) << written[i];
        else
            EXPECT_EQ(written[i], expected);
    }
    EXPECT_EQ(fullscreen, c.expected.fullscreen);
    EXPECT_EQ(vsync, c.expected.vsync);
    EXPECT_EQ(soundManager.muted, c.expected.muted);
}

INSTANTIATE_TEST_SUITE_P(Files, ConfigLoading, testing::ValuesIn(configCases),
                         [](const testing::TestParamInfo<ConfigCase>& info) { return info.param.name; });
} // namespace
