#include "DemoRun.hpp"

#include "capture/Sha256.hpp"
#include "runtime/Startup.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

namespace testsupport
{
DemoRun::DemoRun(SceneId startScene, const std::filesystem::path& dir,
                 const std::vector<std::string>& firstPictures)
    : directory(dir)
{
    testing::internal::CaptureStderr();
    startedUp = startUp(resources, window, nullptr, firstPictures);
    demo.emplace(resources);
    demo->state.currentScene = startScene;
    window.setFramerateLimit(0);
}

DemoRun::~DemoRun()
{
    errors();
    testing::internal::GetCapturedStderr();
    window.close();
}

std::string DemoRun::errors()
{
    // gtest's capture can only be read once, so keep what it held and start a new one.
    collectedErrors += testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    return collectedErrors;
}

void DemoRun::reset(SceneId startScene)
{
    demo->reset();
    demo->state.currentScene = startScene;
}

FrameResult DemoRun::frame(float dt, bool grab)
{
    if (!grab)
        return runFrame(*demo, window, dt, KeyState{}, demoScenes(), {}, FrameDrawing::suppressed);
    return runFrame(*demo, window, dt, KeyState{}, demoScenes(),
                    [&]
                    {
                        sf::Texture texture;
                        texture.create(window.getSize().x, window.getSize().y);
                        window.setActive(true); // unbinds a layer's framebuffer
                        texture.update(window);
                        grabbed = texture.copyToImage();
                    });
}

std::string DemoRun::lastFrameHash() const
{
    Sha256 sha;
    sha.update(grabbed.getPixelsPtr(), std::size_t(grabbed.getSize().x) * grabbed.getSize().y * 4);
    return sha.hexDigest();
}

int DemoRun::framesUntilHandOver(float dt, int maxFrames)
{
    for (int count = 1; count <= maxFrames; ++count)
        if (const FrameResult result = frame(dt); result.sceneRan && result.next != result.scene)
            return count;
    return 0;
}
} // namespace testsupport
