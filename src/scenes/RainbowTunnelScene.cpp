// Scene 9, the rainbow tunnel: a flight down a rainbow tunnel that breathes in and out
// over 12.6 s and jolts on each of 18 beats (the jolt dies away within half a second).
// "translate();     scale();     rotate();" waves in from the right through the rainbow
// peephole; at the left edge "baba" and the scattered "finger" bob up and down a quarter
// period apart, the finger shaking itself apart a little on every beat. The last beat, at
// 11.97 s, hands over to the bubbles before anything is drawn.
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/Pulse.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <algorithm>
#include <cmath>

namespace
{
constexpr SceneId thisScene = 9;

struct RainbowTunnel
{
    const SceneSchedule& schedule = scheduleFor(thisScene);
    BeatTrack beats{schedule.beats};
    float sceneTime = 0.f;
    float effectLevel = 0.f; // beat jolt, 1 on a beat, gone half a second later
    sf::Sprite* black = nullptr;
    sf::Sprite* baba = nullptr;
    sf::Sprite* finger = nullptr;
    bool fingerImage = false;      // resources.fingerShader has its picture to scatter
    std::vector<bool> fingerTiles; // those of its tiles that show something
    bool over = false;             // handed over on the last beat: that step draws nothing
};

RainbowTunnel setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    RainbowTunnel scene;
    resources.transformText.x = 1920.f;
    resources.transformText.y = 450.f;
    resources.transformText.active = true;
    scene.black = resources.blackSprite();
    scene.baba = resources.spriteManager.get("baba");
    scene.finger = resources.spriteManager.get("finger");
    scene.fingerImage = resources.textureManager.exists("finger");
    scene.fingerTiles = scatterTilesShown(resources.textureManager, "finger");
    centreBlackSprite(resources, 180.f);
    return scene;
}
} // namespace

SceneId rainbowTunnelUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    RainbowTunnel& scene = state.sceneState<RainbowTunnel>(thisScene, [&] { return setUp(demo); });

    if (scene.effectLevel > 0.f)
        scene.effectLevel = std::max(0.f, scene.effectLevel - 2.f * dt);
    const int beat = scene.beats.poll(dt);
    if (beat >= 0 && beat == scene.schedule.endEntry)
    {
        scene.over = true;
        return nextScene(thisScene);
    }
    if (beat >= 0)
        scene.effectLevel = 1.f;
    scene.sceneTime += dt;
    state.uniforms.set(resources.rainbowTunnelShader, "iTime", scene.sceneTime);
    state.uniforms.set(resources.rainbowTunnelShader, "zoomFactorEx",
                       50.f * std::sin(0.5f * scene.sceneTime) + 50.f);
    state.uniforms.set(resources.rainbowTunnelShader, "effect", scene.effectLevel);
    // The quad stays turned by 180 degrees for the whole scene; its alpha tells the tunnel a
    // beat frame (1) from any other (0).
    if (scene.black)
        scene.black->setColor(sf::Color(0, 0, 0, truncatedByte(scene.effectLevel)));
    if (scene.baba)
        scene.baba->setPosition(0.f, 20.f * std::sin(8.f * scene.sceneTime) + 20.f);
    if (scene.finger)
        scene.finger->setPosition(0.f, 20.f * std::cos(8.f * scene.sceneTime) + 20.f);
    scrollPeephole(demo, resources.rainbowShader, scene.sceneTime);
    resources.transformText.update(dt);
    state.uniforms.set(resources.fingerShader, "iTime", 1.f - 0.25f * scene.effectLevel);
    return thisScene;
}

void rainbowTunnelDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const RainbowTunnel& scene = demo.state.sceneState<RainbowTunnel>(thisScene);
    if (scene.over)
        return;
    drawIfPresent(resources, target, scene.black, replacing(resources.rainbowTunnelShader));
    resources.transformText.draw();
    compositeLayer(resources, target, resources.layer1, resources.layer1Sprite,
                   sf::RenderStates(&resources.rainbowShader), resources.transformText.drawnLetters);
    drawIfPresent(resources, target, scene.baba);
    // Without its picture the scatter shader would sample nothing; the plain finger
    // sprite is the sensible stand-in.
    if (scene.finger && scene.fingerImage)
        drawScatterTiles(resources, target, *scene.finger, resources.fingerShader, scene.effectLevel <= 0.f,
                         scene.fingerTiles);
    else
        drawIfPresent(resources, target, scene.finger);
}
