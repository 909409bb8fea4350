// flumbadoo-paint run as a program: its output must be reproducible and must be what
// the repository ships.

#include "TestSupport.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace
{
const std::string paintTool = FLUMBADOO_BINARY_DIR "/flumbadoo-paint";

/// Runs the tool with arguments (from the repository root, which holds the font),
/// writing its standard error to errorFile; returns its exit status.
int runPaint(const std::string& arguments, const fs::path& errorFile)
{
    const std::string command = "cd '" FLUMBADOO_SOURCE_DIR "' && '" + paintTool + "' " + arguments +
                                " >/dev/null 2>'" + errorFile.string() + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

/// Every regular file below root, as paths relative to it.
std::set<std::string> filesBelow(const fs::path& root)
{
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files.insert(fs::relative(entry.path(), root).generic_string());
    return files;
}
} // namespace

TEST(PaintTool, PaintsTheSameFilesTwiceAndTheyAreTheShippedOnes)
{
    TempDir first;
    TempDir second;
    ASSERT_EQ(runPaint("--out '" + (first.path() / "out").string() + "'", first.path() / "err"), 0)
        << readAll(first.path() / "err");
    ASSERT_EQ(runPaint("--out '" + (second.path() / "out").string() + "'", second.path() / "err"), 0)
        << readAll(second.path() / "err");
    EXPECT_EQ(readAll(first.path() / "err"), "");

    const std::set<std::string> painted = filesBelow(first.path() / "out");
    ASSERT_EQ(painted, filesBelow(second.path() / "out"));
    EXPECT_GT(painted.size(), 60u);

    // The shipped assets folder also holds files of other tools; but every picture in
    // assets/images must be one that the tool paints, or it is left over.
    const fs::path shipped = fs::path(FLUMBADOO_SOURCE_DIR) / "assets";
    for (const std::string& image : filesBelow(shipped / "images"))
        EXPECT_EQ(painted.count("images/" + image), 1u) << "assets/images/" << image << " is not painted";

    for (const std::string& file : painted)
    {
        SCOPED_TRACE(file);
        const std::string bytes = readAll(first.path() / "out" / file);
        EXPECT_FALSE(bytes.empty());
        EXPECT_TRUE(bytes == readAll(second.path() / "out" / file)) << "differs between two runs";
        EXPECT_TRUE(bytes == readAll(shipped / file)) << "differs from the shipped file; repaint the assets";
    }
}

TEST(PaintTool, RefusesUnknownOptionsAndMissingFonts)
{
    TempDir dir;
    EXPECT_EQ(runPaint("--colourful", dir.path() / "err"), 2);
    EXPECT_NE(readAll(dir.path() / "err").find("flumbadoo-paint: Unknown or incomplete option --colourful."),
              std::string::npos);

    EXPECT_EQ(runPaint("--out", dir.path() / "err"), 2) << "an option without its value";

    EXPECT_EQ(runPaint("--font '" + (dir.path() / "none.ttf").string() + "' --out '" +
                           (dir.path() / "out").string() + "'",
                       dir.path() / "err"),
              1);
    EXPECT_EQ(readAll(dir.path() / "err"),
              "flumbadoo-paint: Unable to load the font " + (dir.path() / "none.ttf").string() + ".\n");
    EXPECT_FALSE(fs::exists(dir.path() / "out")) << "nothing is written without the font";
}

TEST(PaintTool, HelpSaysHowToRun)
{
    TempDir dir;
    const std::string command = "'" + paintTool + "' --help >'" + (dir.path() / "out").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string help = readAll(dir.path() / "out");
    for (const char* option : {"--out", "--font", "--contact-sheet", "xvfb-run"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}
