// Scene 11, the moire (about 12 s): a full-screen moire of fine interfering rings that
// shimmers as its two centres drift, flaring bright on each of 35 beats and settling within
// an eighth of a second. The bubbles left by the bubbles scene keep bouncing; on every beat
// the next one in turn is thrown from the floor towards the top of the window as a heavy
// jumper that lands without rebounding and slides on along the floor. The 36th beat, at
// about 12.03 s, hands over to the triangle finale without drawing.
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"
#include "scenes/ShaderBouncer.hpp"

#include <SFML/System/Vector3.hpp>

namespace
{
constexpr SceneId thisScene = 11;

struct Moire
{
    BeatTrack beats{scheduleFor(thisScene).beats};
    float sceneTime = 0.f;
    float colorPulse = 0.f; // 1 on a beat, falling by 8 per second to 0
    sf::Sprite* black = nullptr;
    bool over = false; // handed over on the 36th beat: that step draws nothing
};

Moire setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    Moire scene;
    scene.black = resources.blackSprite();
    centreBlackSprite(resources, 180.f);
    return scene;
}
} // namespace

SceneId moireUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    Moire& scene = state.sceneState<Moire>(thisScene, [&] { return setUp(demo); });

    const int beat = scene.beats.poll(dt);
    if (beat == scheduleFor(thisScene).endEntry)
    {
        scene.over = true;
        return nextScene(thisScene);
    }
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
        launchNextBouncer(state.shaderBouncers, state.nextBouncer);
    }
    scrollPeephole(demo, resources.textShader, 2.f * scene.sceneTime);
    scrollPeephole(demo, resources.rainbowShader, 2.f * scene.sceneTime);
    scene.sceneTime += dt;
    state.uniforms.set(resources.moireShader, "color2",
                       sf::Glsl::Vec3(scene.colorPulse, scene.colorPulse, scene.colorPulse));
    state.uniforms.set(resources.moireShader, "iTime", scene.sceneTime);
    updateShaderBouncers(state.shaderBouncers, dt);
    return thisScene;
}

void moireDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const DemoState& state = demo.state;
    const Moire& scene = state.sceneState<Moire>(thisScene);
    if (scene.over)
        return;
    drawShaderPass(resources, target, resources.moireShader, 1, 180.f);
    drawShaderBouncers(resources, state.shaderBouncers, target);
}
