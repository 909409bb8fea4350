#pragma once

#include "TestSupport.hpp"
#include "runtime/MainLoop.hpp"
#include "scenes/Demo.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <optional>

namespace testsupport
{
/// The real demo started in a real window from dir (its config.json and assets/) at startScene,
/// run through runFrame with its own scene table. Everything lives in the object, so a test
/// may run several, one after another, and reset() starts one again from its first frame.
class DemoRun
{
public:
    /// With firstPictures, only those pictures are in at start-up (startUp's firstPictures).
    explicit DemoRun(SceneId startScene = 0, const std::filesystem::path& dir = FLUMBADOO_SOURCE_DIR,
                     const std::vector<std::string>& firstPictures = {});
    ~DemoRun();

    bool started() const { return startedUp; } ///< every shader the demo needs loaded
    /// Runs one frame of dt seconds; only a grabbed frame is drawn (and kept for lastFrame()),
    /// the others leave the demo in the same state without making pixels.
    FrameResult frame(float dt, bool grab = false);

    /// Runs frames of dt until the scene hands over; how many ran (0: not within maxFrames).
    int framesUntilHandOver(float dt, int maxFrames);
    const sf::Image& lastFrame() const { return grabbed; } ///< the last grabbed frame
    std::string lastFrameHash() const;                     ///< SHA-256 of the last grabbed frame's pixels
    std::string errors(); ///< all written on standard error since start-up began

    /// Puts the demo back at its first frame (Demo::reset), to start again at startScene.
    void reset(SceneId startScene = 0);

    sf::RenderWindow window;
    Resources resources;      ///< built and loaded in dir
    std::optional<Demo> demo; ///< set once start-up has run
    DemoState& state() { return demo->state; }

private:
    WorkingDirectory directory;
    bool startedUp = false;
    sf::Image grabbed;
    std::string collectedErrors;
};
} // namespace testsupport
