// flumbadoo-paint run as a program: it paints exactly the files the repository ships, and
// refuses what it cannot do.

#include "TestSupport.hpp"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <tuple>

namespace fs = std::filesystem;

namespace
{
std::string readAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

/// Runs the tool from the repository root, which holds the font; returns its exit status and
/// sets output to everything it wrote.
int runPaint(const std::string& arguments, const testsupport::TempDir& dir, std::string& output)
{
    const std::string command = "cd '" FLUMBADOO_SOURCE_DIR "' && '" FLUMBADOO_BINARY_DIR
                                "/flumbadoo-paint' " +
                                arguments + " >'" + (dir.path() / "output").string() + "' 2>&1";
    const int status = std::system(command.c_str());
    output = readAll(dir.path() / "output");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

// The pictures are painted with fixed seeds, so one run must give the shipped bytes again; and
// every picture in assets/images must be one that the tool paints, or it is left over.
TEST(PaintTool, PaintsTheShippedFilesAndRefusesWhatItCannotDo)
{
    testsupport::TempDir dir;
    const fs::path out = dir.path() / "out", shipped = fs::path(FLUMBADOO_SOURCE_DIR) / "assets";
    std::string output;
    ASSERT_EQ(runPaint("--out '" + out.string() + "'", dir, output), 0) << output;
    EXPECT_EQ(testsupport::lines(output).size(), 1u) << "one line of summary, no complaint: " << output;
    for (const auto& picture : fs::directory_iterator(shipped / "images"))
        EXPECT_TRUE(fs::exists(out / "images" / picture.path().filename())) << picture.path();
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(out))
        if (entry.is_regular_file())
        {
            ++files;
            const std::string bytes = readAll(entry.path());
            EXPECT_TRUE(!bytes.empty() && bytes == readAll(shipped / fs::relative(entry.path(), out)))
                << entry.path() << " differs from the shipped file; repaint the assets";
        }
    EXPECT_GT(files, 60);

    // Each refusal is our one line, first: the font library's own message would only repeat it.
    const std::string font = (dir.path() / "none.ttf").string();
    const std::tuple<std::string, int, std::string> refusals[] = {
        {"--colourful", 2, "flumbadoo-paint: Unknown or incomplete option --colourful.\nUsage:"},
        {"--out", 2, "flumbadoo-paint: Unknown or incomplete option --out.\n"}, // no value
        {"--font '" + font + "' --out '" + (dir.path() / "none").string() + "'", 1,
         "flumbadoo-paint: Unable to load the font " + font + ".\n"}};
    for (const auto& [arguments, status, says] : refusals)
    {
        EXPECT_EQ(runPaint(arguments, dir, output), status) << arguments;
        EXPECT_EQ(output.rfind(says, 0), 0u) << output;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "none")) << "nothing is written without the font";
    EXPECT_EQ(runPaint("--help", dir, output), 0);
    for (const char* text : {"--out", "--font", "--contact-sheet", "xvfb-run"})
        EXPECT_NE(output.find(text), std::string::npos) << text;
}
