#include "capture/Progress.hpp"

#include <SFML/System/Sleep.hpp>
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

// A first frame, a second one 0.3 s later and then a run of quick frames: on a terminal the line is
// rewritten a few times a second, not on every frame, and the last frame always shows; elsewhere only the
// final line comes, and a quiet run writes nothing.
TEST(ProgressLine, RewritesItsLineAFewTimesASecondOnATerminalOnly)
{
    for (const auto& [what, terminal, quiet, rewrites, finalLine] :
         {std::tuple{"terminal", true, false, 3, true},
          {"not a terminal", false, false, 0, true},
          {"quiet", true, true, 0, false}})
    {
        std::ostringstream out;
        ProgressLine progress(out, 100, terminal, quiet);
        progress.update(1, 0);
        sf::sleep(sf::milliseconds(300));
        for (long frame = 2; frame <= 100; ++frame)
            progress.update(frame, 3);
        const std::string shown = out.str();
        progress.finish(100);
        const std::string text = out.str();
        EXPECT_EQ(std::count(shown.begin(), shown.end(), '\r'), rewrites) << what << ": " << shown;
        EXPECT_EQ(shown.find("frame 100/100 (100%)") != std::string::npos, terminal && !quiet) << what;
        EXPECT_EQ(text.find("flumbadoo-capture: 100 frames in") != std::string::npos, finalLine) << what;
    }
}
