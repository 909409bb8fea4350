// Scene 7, the flowers beat: a full-screen meadow of flowers flashes on each of 35 beats
// (the window turns yellow and a black veil falls and lifts within 0.25 s), while the
// flower particles of the scenes before fly out and "how it started   vs   how it ended"
// waves across through the rainbow peephole. A small inset of one big blossom sits in the
// lower right corner until the beat at 5.6 s shrinks it away within a second; from the
// beat at 6.0 s the meadow gives way to the star blobs, whose count jumps by 39 on every
// beat and sinks back one a frame. The last beat, at 11.98 s, hands over to the field
// flight before anything is drawn.
#include "fx/Tween.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/PassTiming.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <algorithm>

namespace
{
constexpr SceneId thisScene = 7;

struct FlowersBeat
{
    const SceneSchedule& schedule = scheduleFor(thisScene);
    BeatTrack beats{schedule.beats};
    float sceneTime = 0.f; // drives the shaders
    float flash = 0.f;     // beat flash, 0..255
    int extraStars = 0;    // stars above the blob shader's base count of 50
    bool useBlob = false;  // the full-screen pass shows the blobs instead of the meadow
    float pipScale = 0.2f; // scale of the inset in resources.layer3
    Tween pipShrink;       // shrinks the inset away from beat 16 on
    sf::Sprite* black = nullptr;
    bool over = false; // handed over on the last beat: that step draws nothing
};

FlowersBeat setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    FlowersBeat scene;
    // The particles already flying keep going; no new ones are born in this scene.
    if (state.flowerParticles)
        state.flowerParticles->emitting = false;
    scene.pipShrink.set(0.2f, 0.f, 1.f, CubicOut, 0.f);
    resources.startedEndedText.x = 1920.f;
    resources.startedEndedText.y = 450.f;
    resources.startedEndedText.active = true;
    scene.black = resources.blackSprite();
    return scene;
}

// Stars drop by at least one a frame, since the cut towards zero follows the subtraction.
int fewerStars(float stars, float dt)
{
    return std::max(0, static_cast<int>(stars - dt * 8.f));
}
} // namespace

SceneId flowersBeatUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    FlowersBeat& scene = state.sceneState<FlowersBeat>(thisScene, [&] { return setUp(demo); });

    if (scene.flash > 0.f)
        scene.flash = std::max(0.f, scene.flash - dt * 1020.f);
    const int beat = scene.beats.poll(dt);
    if (beat >= 0 && beat == scene.schedule.endEntry)
    {
        scene.over = true;
        return nextScene(thisScene);
    }
    if (beat >= 0)
    {
        scene.flash = 255.f;
        scene.extraStars = fewerStars(40.f, dt);
        if (beat == 16)
            scene.pipShrink.start();
        if (beat == 17)
            scene.useBlob = true;
    }
    else if (scene.extraStars > 0)
        scene.extraStars = fewerStars(static_cast<float>(scene.extraStars), dt);
    scene.sceneTime += dt;
    state.uniforms.set(resources.flowersShader, "iTime", scene.sceneTime * 2.f);
    state.uniforms.set(resources.blobShader, "iTime", scene.sceneTime);
    state.uniforms.set(resources.blobShader, "numStars", scene.extraStars + 50);
    state.uniforms.set(resources.flowersOrigShader, "iTime", scene.sceneTime * 0.5f);
    if (scene.pipShrink.active)
    {
        scene.pipShrink.update(dt);
        scene.pipScale = scene.pipShrink.getValue();
    }
    // The inset is the whole of layer3 scaled down about its centre.
    resources.layer3Sprite.setOrigin(960.f, 540.f);
    resources.layer3Sprite.setScale(scene.pipScale, scene.pipScale);
    resources.layer3Sprite.setPosition(1680.f, 935.f);
    scrollPeephole(demo, resources.rainbowShader, scene.sceneTime);
    resources.startedEndedText.update(dt);
    if (state.flowerParticles)
        state.flowerParticles->update(dt, state.random);
    return thisScene;
}

void flowersBeatDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const DemoState& state = demo.state;
    const FlowersBeat& scene = state.sceneState<FlowersBeat>(thisScene);
    if (scene.over)
        return;
    // The window flashes yellow under the pass, and the veil over it is what makes the beat
    // read as a black flash that lifts.
    const sf::Uint8 flashByte = truncatedByte(scene.flash);
    target.clear(sf::Color(flashByte, flashByte, 0, 255));
    drawShaderPass(resources, target, scene.useBlob ? resources.blobShader : resources.flowersShader);
    drawFlashVeil(resources, target, scene.flash);

    // Shrunk away, the inset shows nothing. The blossom covers the whole layer opaquely, so
    // with the shortcuts it is drawn straight at its place on the window instead, the same
    // quad and texture coordinates through the layer sprite's transform, at a twenty-fifth
    // of the full-size layer's pixels; the edges of its rings may round a pixel differently.
    // The blossom shader ignores the quad's colour, which still carries the veil's alpha.
    const bool insetShown = worthDrawing(scene.pipScale > 0.f);
    const bool insetThroughLayer = insetShown && !drawingShortcuts;
    if (insetThroughLayer)
    {
        resources.layer3.clear(sf::Color(255, 255, 255, 255));
        drawIfPresent(resources, resources.layer3, scene.black,
                      sf::RenderStates(&resources.flowersOrigShader));
    }

    resources.startedEndedText.draw();
    compositeLayer(resources, target, resources.layer1, resources.layer1Sprite,
                   sf::RenderStates(&resources.rainbowShader), resources.startedEndedText.drawnLetters);
    if (insetThroughLayer)
        compositeLayer(resources, target, resources.layer3, resources.layer3Sprite);
    else if (insetShown)
    {
        sf::RenderStates inset(&resources.flowersOrigShader);
        inset.transform = resources.layer3Sprite.getTransform();
        drawIfPresent(resources, target, scene.black, inset);
    }

    if (state.flowerParticles)
        state.flowerParticles->draw(target);
}
