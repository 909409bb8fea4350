#pragma once

#include "TestSupport.hpp"
#include "runtime/MainLoop.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testsupport
{
/// A copy of the demo's config.json and assets/ in a temporary folder, for runs with assets
/// taken away. removeKeys names, per manifest file ("sprites.json"), the entries to drop.
class DemoTreeCopy
{
public:
    explicit DemoTreeCopy(const std::map<std::string, std::vector<std::string>>& removeKeys = {});

    const std::filesystem::path& path() const { return temp.path(); }

private:
    TempDir temp;
};

/// The real demo started in a real window from dir (its config.json and assets/), with the
/// program-wide state set for a run that begins at startScene. Scenes keep their state for
/// the whole process, so one test runs one DemoRun. Frames go through runFrame with the
/// demo's own scene table, exactly as the capture tool drives them.
class DemoRun
{
public:
    explicit DemoRun(SceneId startScene = 0, const std::filesystem::path& dir = FLUMBADOO_SOURCE_DIR);
    ~DemoRun();
    DemoRun(const DemoRun&) = delete;
    DemoRun& operator=(const DemoRun&) = delete;

    /// Start-up went through (every shader that must load did).
    bool started() const { return startedUp; }

    /// Runs one frame of dt seconds. Only a grabbed frame is drawn (and kept for lastFrame());
    /// the others run without making pixels, which leaves the demo in the same state.
    FrameResult frame(float dt, bool grab = false);

    /// Runs frames of dt until the current scene hands over (or maxFrames frames ran) and
    /// returns how many frames ran, the hand-over frame included; 0 if it never handed over.
    int framesUntilHandOver(float dt, int maxFrames);

    /// The last grabbed frame as a viewer sees it: opaque, the right way up.
    const sf::Image& lastFrame() const { return grabbed; }

    /// Everything written on standard error since the run began (start-up included).
    std::string errors();

    sf::RenderWindow window;

private:
    WorkingDirectory directory;
    bool startedUp = false;
    sf::Image grabbed;
};

/// Share of pixels (0..1), sampled on every second row and column, whose colour in a differs from b's by more
/// than tolerance in any channel.
double changedShare(const sf::Image& a, const sf::Image& b, int tolerance = 24);

/// Mean colour of the square of side size centred on (x, y).
sf::Color meanColour(const sf::Image& image, unsigned x, unsigned y, unsigned size = 9);

/// Brightness (0..255) of one colour, (r + g + b) / 3.
double brightness(const sf::Color& colour);

/// Mean brightness (0..255) of the whole image, (r + g + b) / 3 averaged.
double meanBrightness(const sf::Image& image);

/// Expects each of reports to occur exactly once in errors: missing assets are reported
/// when the demo starts, not again on every frame.
void expectReportedOnce(const std::string& errors, const std::vector<std::string>& reports);
} // namespace testsupport
