// Scene 12, the triangle finale (about 26.9 s): a full-screen lattice of candy triangles
// turning at eight times the scene's pace, the triangles swelling on each of 40 beats in the
// first 11.7 s and shrinking back within a quarter of a second; the wavy "2024 1 quad
// shaders ..." text scrolls across through the rainbow peephole the whole time. From about
// 11.9 s to 22.9 s nothing beats and the triangles rest at their own size. At 22.928 s the
// last swell starts a four-second fade to black, and at 26.928 s the scene ends the demo
// without drawing.
#include "assets/Registries.hpp"
#include "fx/Tween.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/SharedResources.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

namespace
{
constexpr SceneId ownId = 12;

struct TriangleFinale
{
    BeatTrack beats{scheduleFor(ownId).beats};
    float sceneTime = 0.f;
    float triPulse = 0.f; // 1 on a beat, falling by 4 per second to 0
    Tween fadeOut;        // opacity of the closing overlay
    sf::Sprite* black = nullptr;
};

TriangleFinale setUp()
{
    TriangleFinale scene;
    scene.fadeOut.set(0.f, 1.f, scheduleFor(ownId).fadeSeconds, Linear, 0.f);
    shaderText.x = 1920.f;
    shaderText.y = 450.f;
    shaderText.active = true;
    scene.black = blackSprite();
    centreBlackSprite(0.f);
    return scene;
}
} // namespace

SceneId triangleFinaleScene(sf::RenderTarget& target, float dt)
{
    static TriangleFinale scene = setUp();
    const SceneSchedule& schedule = scheduleFor(ownId);

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
        return schedule.next;
    scene.sceneTime += dt;

    triShader.setUniform("iTime", 8.f * scene.sceneTime);
    triShader.setUniform("triSize", 0.2f * scene.triPulse);
    drawShaderPass(target, triShader, 1);

    scrollPeephole(rainbowShader, scene.sceneTime);
    shaderText.update(dt);
    shaderText.draw();
    compositeLayer(target, layer1, layer1Sprite, sf::RenderStates(&rainbowShader), shaderText.drawnArea);

    // The overlay is this scene's own fade: the main loop's fade stays untouched, and the
    // frame on which the tween ends is drawn fully black.
    if (scene.fadeOut.active)
    {
        scene.fadeOut.update(dt);
        const float v = scene.fadeOut.getValue();
        if (scene.black)
        {
            scene.black->setColor(sf::Color(255, 255, 255, truncatedByte(v * 255.f)));
            drawIfPresent(target, scene.black);
        }
    }
    return ownId;
}
