// Scene 12, the triangle finale (about 26.9 s): a full-screen lattice of candy triangles
// turning at eight times the scene's pace, the triangles swelling on each of 40 beats in the
// first 11.7 s and shrinking back within a quarter of a second; the wavy "2024 1 quad
// shaders ..." text scrolls across through the rainbow peephole the whole time. From about
// 11.9 s to 22.9 s nothing beats and the triangles rest at their own size. At 22.928 s the
// last swell starts a four-second fade to black, and at 26.928 s the scene ends the demo
// without drawing.
#include "fx/Tween.hpp"
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

namespace
{
constexpr SceneId thisScene = 12;

struct TriangleFinale
{
    BeatTrack beats{scheduleFor(thisScene).beats};
    float sceneTime = 0.f;
    float triPulse = 0.f;      // 1 on a beat, falling by 4 per second to 0
    Tween fadeOut;             // opacity of the closing overlay
    bool overlayShown = false; // the closing overlay is drawn this step, at overlay
    float overlay = 0.f;
    sf::Sprite* black = nullptr;
    bool over = false; // the demo ends: that step draws nothing
};

TriangleFinale setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    TriangleFinale scene;
    scene.fadeOut.set(0.f, 1.f, scheduleFor(thisScene).fadeSeconds, Linear, 0.f);
    resources.shaderText.x = 1920.f;
    resources.shaderText.y = 450.f;
    resources.shaderText.active = true;
    scene.black = resources.blackSprite();
    centreBlackSprite(resources, 0.f);
    return scene;
}
} // namespace

SceneId triangleFinaleUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    TriangleFinale& scene = state.sceneState<TriangleFinale>(thisScene, [&] { return setUp(demo); });
    const SceneSchedule& schedule = scheduleFor(thisScene);

    const int beat = scene.beats.poll(dt);
    if (scene.triPulse >= 0.f)
    {
        scene.triPulse -= 4.f * dt;
        if (scene.triPulse < 0.f)
            scene.triPulse = 0.f;
    }
    if (beat >= 0)
        scene.triPulse = 1.f;
    if (beat == schedule.fadeEntry)
        scene.fadeOut.start();
    if (beat == schedule.endEntry)
    {
        scene.over = true;
        return nextScene(thisScene);
    }
    scene.sceneTime += dt;
    state.uniforms.set(resources.triShader, "iTime", 8.f * scene.sceneTime);
    state.uniforms.set(resources.triShader, "triSize", 0.2f * scene.triPulse);
    scrollPeephole(demo, resources.rainbowShader, scene.sceneTime);
    resources.shaderText.update(dt);
    // The overlay is this scene's own fade: the main loop's fade stays untouched, and the
    // frame on which the tween ends is drawn fully black.
    scene.overlayShown = scene.fadeOut.active;
    if (scene.fadeOut.active)
    {
        scene.fadeOut.update(dt);
        scene.overlay = scene.fadeOut.getValue();
    }
    return thisScene;
}

void triangleFinaleDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const TriangleFinale& scene = demo.state.sceneState<TriangleFinale>(thisScene);
    if (scene.over)
        return;
    drawShaderPass(resources, target, resources.triShader, 1);
    resources.shaderText.draw();
    compositeLayer(resources, target, resources.layer1, resources.layer1Sprite,
                   sf::RenderStates(&resources.rainbowShader), resources.shaderText.drawnLetters);
    if (scene.overlayShown && scene.black)
    {
        scene.black->setColor(sf::Color(255, 255, 255, truncatedByte(scene.overlay * 255.f)));
        drawIfPresent(resources, target, scene.black);
    }
}
