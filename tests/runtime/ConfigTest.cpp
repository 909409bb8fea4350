#include "runtime/Config.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>
#include <optional>
#include <tuple>

using namespace testsupport;

TEST(Config, SetsTheSwitchesItHoldsAndReportsWhatItCannotUse)
{
    const std::string parseFailed = "config.json: Error while parsing JSON.";
    // The library's own message follows; only its start is compared.
    const std::string libraryError = "[json.exception.parse_error.101]";
    const std::vector<std::string> parseError = {parseFailed, libraryError};
    const auto notBoolean = [](const std::string& key, const std::string& type) {
        return "config.json: \"" + key + "\" must be true or false, but is " + type +
               "; keeping the default.";
    };
    const std::vector<std::string> stringAndNull = {notBoolean("sound", "string"),
                                                    notBoolean("show_fps", "null")};
    // The file's text (none: no file), the lines on standard error, fullscreen, vsync, sound.
    const std::tuple<std::optional<std::string>, std::vector<std::string>, bool, bool, bool> cases[] = {
        {std::nullopt, {"Config.json missing."}, false, true, true},
        {"", parseError, false, true, true},
        {"{", parseError, false, true, true},
        // A cut-off file applies none of the keys it did hold.
        {R"({"fullscreen": true, "vsync": fal)", parseError, false, true, true},
        {"{}", {}, false, true, true},
        {R"([{"fullscreen": true}])", {}, false, true, true},
        {"42", {}, false, true, true},
        {R"({"fullscreen": true, "vsync": false, "sound": false, "show_fps": true})", {}, true, false, false},
        {R"({"sound": true})", {}, false, true, true},
        {R"({"Fullscreen": true, "VSYNC": false, "Sound": false})", {}, false, true, true},
        {"{\"fullscreen\": true} and then some words", {}, true, true, true},
        {R"({"fullscreen": 1, "vsync": false})", {notBoolean("fullscreen", "number")}, false, false, true},
        {R"({"sound": "off", "show_fps": null})", stringAndNull, false, true, true},
    };
    for (const auto& [text, expectedLines, expectedFullscreen, expectedVsync, expectedSound] : cases)
    {
        SCOPED_TRACE(text.value_or("no file"));
        TempDir dir;
        if (text)
            dir.write("config.json", *text);
        Config config;
        std::vector<std::string> written =
            lines(captureStderr([&] { config = loadConfig((dir.path() / "config.json").string()); }));
        for (std::string& line : written)
            if (line.rfind(libraryError, 0) == 0)
                line = libraryError;
        EXPECT_EQ(written, expectedLines);
        EXPECT_EQ(std::tuple(config.fullscreen, config.vsync, config.sound),
                  std::tuple(expectedFullscreen, expectedVsync, expectedSound));
    }
}
