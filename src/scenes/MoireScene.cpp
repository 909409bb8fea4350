// Scene 11, the moire (about 12 s): a full-screen moire of fine interfering rings that
// shimmers as its two centres drift, flaring bright on each of 35 beats and settling within
// an eighth of a second. The bubbles left by the bubbles scene keep bouncing; on every beat
// the next one in turn is thrown from the floor towards the top of the window as a heavy
// jumper that lands without rebounding and slides on along the floor. The 36th beat, at
// about 12.03 s, hands over to the triangle finale without drawing.
#include "assets/Registries.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/SharedResources.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"
#include "scenes/ShaderBouncer.hpp"

#include <SFML/System/Vector3.hpp>

namespace
{
constexpr SceneId ownId = 11;

struct Moire
{
    BeatTrack beats{scheduleFor(ownId).beats};
    float sceneTime = 0.f;
    float colorPulse = 0.f; // 1 on a beat, falling by 8 per second to 0
    sf::Sprite* black = nullptr;
};

Moire setUp()
{
    Moire scene;
    scene.black = blackSprite();
    if (scene.black)
    {
        scene.black->setPosition(960.f, 540.f);
        scene.black->setOrigin(960.f, 540.f);
        scene.black->setRotation(180.f);
    }
    return scene;
}
} // namespace

SceneId moireScene(sf::RenderTarget& target, float dt)
{
    static Moire scene = setUp();

    const int beat = scene.beats.poll(dt);
    if (beat == scheduleFor(ownId).endEntry)
        return scheduleFor(ownId).next;
    if (scene.colorPulse > 0.f)
    {
        scene.colorPulse -= 8.f * dt;
        if (scene.colorPulse < 0.f)
            scene.colorPulse = 0.f;
    }
    if (beat >= 0)
    {
        scene.colorPulse = 1.f;
        // With no bubbles (their sprites missing) the beat launches nothing.
        launchNextBouncer();
    }
    scrollPeephole(textShader, 2.f * scene.sceneTime);
    scrollPeephole(rainbowShader, 2.f * scene.sceneTime);
    scene.sceneTime += dt;

    moireShader.setUniform("color2", sf::Glsl::Vec3(scene.colorPulse, scene.colorPulse, scene.colorPulse));
    moireShader.setUniform("iTime", scene.sceneTime);
    drawShaderPass(target, moireShader, 1, 180.f);
    updateShaderBouncers(dt);
    drawShaderBouncers(target);
    return ownId;
}
