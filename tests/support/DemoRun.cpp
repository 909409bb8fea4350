#include "DemoRun.hpp"

#include "runtime/Startup.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/Texture.hpp>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace testsupport
{
DemoTreeCopy::DemoTreeCopy(const std::map<std::string, std::vector<std::string>>& removeKeys)
{
    namespace fs = std::filesystem;
    const fs::path source = FLUMBADOO_SOURCE_DIR;
    fs::copy(source / "assets", temp.path() / "assets", fs::copy_options::recursive);
    if (fs::exists(source / "config.json"))
        fs::copy_file(source / "config.json", temp.path() / "config.json");
    for (const auto& [file, keys] : removeKeys)
    {
        const fs::path manifest = temp.path() / "assets" / file;
        std::ifstream in(manifest);
        nlohmann::json document = nlohmann::json::parse(in);
        in.close();
        for (auto& [topKey, entries] : document.items())
            for (const std::string& key : keys)
                entries.erase(key);
        std::ofstream(manifest) << document.dump(4);
    }
}

DemoRun::DemoRun(SceneId startScene, const std::filesystem::path& dir) : directory(dir)
{
    testing::internal::CaptureStderr();
    currentScene = startScene;
    running = true;
    fadeAlpha = 0.f;
    fadeSpeed = 0.f;
    fadeMode = 0;
    startedUp = startUp(window);
    window.setFramerateLimit(0);
    window.setVerticalSyncEnabled(false);
}

DemoRun::~DemoRun()
{
    errors();
    window.close();
}

std::string DemoRun::errors()
{
    static std::string collected;
    // gtest's capture can only be read once, so keep what it held and start a new one.
    collected += testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    return collected;
}

FrameResult DemoRun::frame(float dt, bool grab)
{
    if (!grab)
        return runFrame(window, dt, KeyState{}, demoScenes(), {}, FrameDrawing::suppressed);
    return runFrame(window, dt, KeyState{}, demoScenes(),
                    [&]
                    {
                        sf::Texture texture;
                        texture.create(window.getSize().x, window.getSize().y);
                        texture.update(window);
                        grabbed = texture.copyToImage();
                        const sf::Vector2u size = grabbed.getSize();
                        for (unsigned y = 0; y < size.y; ++y)
                            for (unsigned x = 0; x < size.x; ++x)
                            {
                                sf::Color pixel = grabbed.getPixel(x, y);
                                pixel.a = 255;
                                grabbed.setPixel(x, y, pixel);
                            }
                    });
}

int DemoRun::framesUntilHandOver(float dt, int maxFrames)
{
    for (int count = 1; count <= maxFrames; ++count)
    {
        const FrameResult result = frame(dt);
        if (result.sceneRan && result.next != result.scene)
            return count;
    }
    return 0;
}

double changedShare(const sf::Image& a, const sf::Image& b, int tolerance)
{
    const sf::Vector2u size = a.getSize();
    if (size != b.getSize() || size.x == 0 || size.y == 0)
        return 1.0;
    long changed = 0;
    for (unsigned y = 0; y < size.y; y += 2)
        for (unsigned x = 0; x < size.x; x += 2)
        {
            const sf::Color p = a.getPixel(x, y);
            const sf::Color q = b.getPixel(x, y);
            if (std::abs(p.r - q.r) > tolerance || std::abs(p.g - q.g) > tolerance ||
                std::abs(p.b - q.b) > tolerance)
                ++changed;
        }
    return static_cast<double>(changed) / ((size.x / 2) * (size.y / 2));
}

sf::Color meanColour(const sf::Image& image, unsigned x, unsigned y, unsigned size)
{
    long r = 0, g = 0, b = 0, count = 0;
    const sf::Vector2u extent = image.getSize();
    for (unsigned py = y - size / 2; py <= y + size / 2; ++py)
        for (unsigned px = x - size / 2; px <= x + size / 2; ++px)
        {
            if (px >= extent.x || py >= extent.y)
                continue;
            const sf::Color c = image.getPixel(px, py);
            r += c.r;
            g += c.g;
            b += c.b;
            ++count;
        }
    if (count == 0)
        return sf::Color::Black;
    return sf::Color(static_cast<sf::Uint8>(r / count), static_cast<sf::Uint8>(g / count),
                     static_cast<sf::Uint8>(b / count));
}

double brightness(const sf::Color& colour)
{
    return (colour.r + colour.g + colour.b) / 3.0;
}

double meanBrightness(const sf::Image& image)
{
    const sf::Vector2u size = image.getSize();
    double sum = 0;
    long count = 0;
    for (unsigned y = 0; y < size.y; y += 4)
        for (unsigned x = 0; x < size.x; x += 4)
        {
            const sf::Color c = image.getPixel(x, y);
            sum += (c.r + c.g + c.b) / 3.0;
            ++count;
        }
    return count ? sum / count : 0.0;
}

void expectReportedOnce(const std::string& errors, const std::vector<std::string>& reports)
{
    for (const std::string& report : reports)
    {
        std::size_t count = 0;
        for (std::size_t at = errors.find(report); at != std::string::npos; at = errors.find(report, at + 1))
            ++count;
        EXPECT_EQ(count, 1u) << report << "\n" << errors;
    }
}
} // namespace testsupport
