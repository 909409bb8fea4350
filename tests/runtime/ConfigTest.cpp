#include "runtime/Config.hpp"

#include "TestSupport.hpp"
#include "assets/Registries.hpp"

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
    // The file's text (none: no file), the lines on standard error, fullscreen, vsync, muted.
    const std::tuple<std::optional<std::string>, std::vector<std::string>, bool, bool, bool> cases[] = {
        {std::nullopt, {"Config.json missing."}, false, true, false},
        {"", parseError, false, true, false},
        {"{", parseError, false, true, false},
        // A cut-off file applies none of the keys it did hold.
        {R"({"fullscreen": true, "vsync": fal)", parseError, false, true, false},
        {"{}", {}, false, true, false},
        {R"([{"fullscreen": true}])", {}, false, true, false},
        {"42", {}, false, true, false},
        {R"({"fullscreen": true, "vsync": false, "sound": false, "show_fps": true})", {}, true, false, true},
        {R"({"sound": true})", {}, false, true, false},
        {R"({"Fullscreen": true, "VSYNC": false, "Sound": false})", {}, false, true, false},
        {"{\"fullscreen\": true} and then some words", {}, true, true, false},
        {R"({"fullscreen": 1, "vsync": false})", {notBoolean("fullscreen", "number")}, false, false, false},
        {R"({"sound": "off", "show_fps": null})", stringAndNull, false, true, false},
    };
    for (const auto& [text, expectedLines, expectedFullscreen, expectedVsync, expectedMuted] : cases)
    {
        SCOPED_TRACE(text.value_or("no file"));
        fullscreen = false;
        vsync = true;
        soundManager.muted = false;
        TempDir dir;
        if (text)
            dir.write("config.json", *text);
        std::vector<std::string> written =
            lines(captureStderr([&] { loadConfig((dir.path() / "config.json").string()); }));
        for (std::string& line : written)
            if (line.rfind(libraryError, 0) == 0)
                line = libraryError;
        EXPECT_EQ(written, expectedLines);
        EXPECT_EQ(std::tuple(fullscreen, vsync, soundManager.muted),
                  std::tuple(expectedFullscreen, expectedVsync, expectedMuted));
    }
}
