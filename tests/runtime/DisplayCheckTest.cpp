#include "runtime/Display.hpp"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace
{
/// A local display number that no server listens on.
std::string unusedDisplay()
{
    for (int number = 4242;; ++number)
        if (!std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)))
            return ":" + std::to_string(number);
}

TEST(DisplayReachable, NeedsAServerForALocalDisplay)
{
    const std::string unused = unusedDisplay();
    const std::string unusedUnix = "unix" + unused;
    const struct
    {
        const char* name;
        bool reachable;
    } cases[] = {{nullptr, false},
                 {"", false},
                 {"no-colon", false},
                 {":", false},
                 {":x", false},
                 {unused.c_str(), false},
                 {unusedUnix.c_str(), false},
                 // Not probed: a connection over the network could hang.
                 {"remote.example:10.0", true}};
    for (const auto& display : cases)
        EXPECT_EQ(displayReachable(display.name), display.reachable)
            << (display.name ? display.name : "null");
}

TEST(DisplayReachable, FindsTheDisplayTheTestsRunOn)
{
    const char* display = std::getenv("DISPLAY");
    if (!display)
        GTEST_SKIP() << "no DISPLAY to look for";
    EXPECT_TRUE(displayReachable(display)) << display;
    const std::string withScreen = std::string(display) + ".0";
    EXPECT_TRUE(displayReachable(withScreen.c_str())) << withScreen;
}
} // namespace
