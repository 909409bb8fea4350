// flumbadoo-paint: paints every picture of the demo and writes the texture, sprite and
// particle manifests that go with them.

#include "ContactSheet.hpp"
#include "Manifests.hpp"
#include "Pictures.hpp"
#include "assets/Manifest.hpp"
#include "runtime/Display.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/System/Clock.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace
{
const char* const usage =
    "Usage: flumbadoo-paint [--out DIR] [--font FILE] [--contact-sheet FILE]\n"
    "\n"
    "Paints every picture of the demo into DIR/images/ and writes DIR/textures.json,\n"
    "DIR/sprites.json, DIR/particles.json and DIR/particles/*.json.\n"
    "\n"
    "  --out DIR             output folder (default: assets)\n"
    "  --font FILE           lettering font (default: assets/sticky_sugary.ttf)\n"
    "  --contact-sheet FILE  also write one PNG showing every picture with its name\n"
    "  --help                show this text\n"
    "\n"
    "Needs an OpenGL context: on a machine without a display run it under xvfb-run.\n"
    "The pictures are painted with fixed seeds, so running it again gives the same files.\n";

bool writeJson(const std::filesystem::path& path, const nlohmann::json& document)
{
    std::ofstream file(path, std::ios::binary);
    file << document.dump(4) << "\n";
    if (!file)
    {
        std::cerr << "flumbadoo-paint: Unable to write " << path.string() << "." << std::endl;
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    std::filesystem::path outDir = "assets";
    std::string fontPath = "assets/sticky_sugary.ttf";
    std::string contactSheet;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--help" || argument == "-h")
        {
            std::cout << usage;
            return 0;
        }
        if (argument == "--out" && hasValue)
            outDir = argv[++i];
        else if (argument == "--font" && hasValue)
            fontPath = argv[++i];
        else if (argument == "--contact-sheet" && hasValue)
            contactSheet = argv[++i];
        else
        {
            std::cerr << "flumbadoo-paint: Unknown or incomplete option " << argument << "." << std::endl
                      << usage;
            return 2;
        }
    }

    // Scripts must see the tool fail: SFML aborts the process when the first picture is made
    // without a display.
    if (!checkDisplay(
            "flumbadoo-paint: no X display: DISPLAY is not set or its server cannot be reached. Run "
            "it in a graphical session, or under xvfb-run -a -s \"-screen 0 1920x1080x24 -noreset\"."))
        return 1;

    sf::Font font;
    bool fontLoaded = false;
    {
        // One line of our own says it; SFML's longer message would only repeat it.
        QuietSfmlErrors quiet;
        fontLoaded = font.loadFromFile(fontPath);
    }
    if (!fontLoaded)
    {
        std::cerr << "flumbadoo-paint: Unable to load the font " << fontPath << "." << std::endl;
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(outDir / "images", error);
    std::filesystem::create_directories(outDir / "particles", error);
    if (error)
    {
        std::cerr << "flumbadoo-paint: Unable to create " << outDir.string() << ": " << error.message() << "."
                  << std::endl;
        return 1;
    }

    sf::Clock clock;
    std::vector<PaintedPicture> painted;
    bool ok = true;
    for (const Picture& picture : allPictures())
    {
        PaintedPicture result{picture.name, picture.repeated, picture.paint(font)};
        const std::filesystem::path file = outDir / "images" / (picture.name + ".png");
        if (!result.painted.image.saveToFile(file.string()))
        {
            std::cerr << "flumbadoo-paint: Unable to save " << file.string() << "." << std::endl;
            ok = false;
        }
        painted.push_back(std::move(result));
    }

    ok = writeJson(outDir / "textures.json", textureManifest(painted)) && ok;
    ok = writeJson(outDir / "sprites.json", spriteManifest(painted)) && ok;
    ok = writeJson(outDir / "particles.json", particleManifest()) && ok;
    for (const auto& [name, definition] : particleDefinitions())
        ok = writeJson(outDir / "particles" / name, definition) && ok;
    std::cout << "Painted " << painted.size() << " pictures in " << clock.getElapsedTime().asSeconds()
              << " s." << std::endl;

    if (!contactSheet.empty())
        ok = writeContactSheet(painted, font, contactSheet) && ok;
    return ok ? 0 : 1;
}
