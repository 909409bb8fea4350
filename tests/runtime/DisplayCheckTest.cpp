#include "runtime/Display.hpp"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

TEST(DisplayReachable, NeedsAServerForALocalDisplay)
{
    // A local display number that no server listens on.
    int number = 4242;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)))
        ++number;
    const std::string unused = ":" + std::to_string(number);
    EXPECT_FALSE(displayReachable(nullptr));
    for (const std::string& name : {std::string(), std::string("no-colon"), std::string(":"),
                                    std::string(":x"), unused, "unix" + unused})
        EXPECT_FALSE(displayReachable(name.c_str())) << "\"" << name << "\"";
    // Not probed: a connection over the network could hang.
    std::vector<std::string> reachable = {"remote.example:10.0"};
    if (const char* display = std::getenv("DISPLAY"))
        reachable.insert(reachable.end(), {display, std::string(display) + ".0"});
    for (const std::string& name : reachable)
        EXPECT_TRUE(displayReachable(name.c_str())) << name;
}
