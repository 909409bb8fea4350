#include "DemoRun.hpp"

#include "runtime/Startup.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

namespace testsupport
{
DemoRun::DemoRun(SceneId startScene, const std::filesystem::path& dir) : directory(dir)
{
    testing::internal::CaptureStderr();
    currentScene = startScene;
    startedUp = startUp(window);
    window.setFramerateLimit(0);
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
                    });
}

int DemoRun::framesUntilHandOver(float dt, int maxFrames)
{
    for (int count = 1; count <= maxFrames; ++count)
        if (const FrameResult result = frame(dt); result.sceneRan && result.next != result.scene)
            return count;
    return 0;
}
} // namespace testsupport
