// Scene 9, the rainbow tunnel: a flight down a rainbow tunnel that breathes in and out
// over 12.6 s and jolts on each of 18 beats (the jolt dies away within half a second).
// "translate();     scale();     rotate();" waves in from the right through the rainbow
// peephole; at the left edge "baba" and the scattered "finger" bob up and down a quarter
// period apart, the finger shaking itself apart a little on every beat. The last beat, at
// 11.97 s, hands over to the bubbles before anything is drawn.
#include "assets/Registries.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/SharedResources.hpp"
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
    bool fingerImage = false; // fingerShader has its picture to scatter
};

RainbowTunnel setUp()
{
    RainbowTunnel scene;
    transformText.x = 1920.f;
    transformText.y = 450.f;
    transformText.active = true;
    scene.black = blackSprite();
    scene.baba = spriteManager.get("baba");
    scene.finger = spriteManager.get("finger");
    scene.fingerImage = textureManager.exists("finger");
    centreBlackSprite(180.f);
    return scene;
}
} // namespace

SceneId rainbowTunnelScene(sf::RenderTarget& target, float dt)
{
    static RainbowTunnel scene = setUp();

    // Update.
    if (scene.effectLevel > 0.f)
        scene.effectLevel = std::max(0.f, scene.effectLevel - 2.f * dt);
    const int beat = scene.beats.poll(dt);
    if (beat >= 0 && beat == scene.schedule.endEntry)
        return scene.schedule.next;
    if (beat >= 0)
        scene.effectLevel = 1.f;
    scene.sceneTime += dt;
    rainbowTunnelShader.setUniform("iTime", scene.sceneTime);
    rainbowTunnelShader.setUniform("zoomFactorEx", 50.f * std::sin(0.5f * scene.sceneTime) + 50.f);
    rainbowTunnelShader.setUniform("effect", scene.effectLevel);

    // Draw. The quad stays turned by 180 degrees for the whole scene; its alpha tells the
    // tunnel a beat frame (1) from any other (0).
    if (scene.black)
    {
        scene.black->setColor(sf::Color(0, 0, 0, truncatedByte(scene.effectLevel)));
        drawIfPresent(target, scene.black, sf::RenderStates(&rainbowTunnelShader));
    }
    if (scene.baba)
        scene.baba->setPosition(0.f, 20.f * std::sin(8.f * scene.sceneTime) + 20.f);
    if (scene.finger)
        scene.finger->setPosition(0.f, 20.f * std::cos(8.f * scene.sceneTime) + 20.f);
    scrollPeephole(rainbowShader, scene.sceneTime);
    transformText.update(dt);
    transformText.draw();
    fingerShader.setUniform("iTime", 1.f - 0.25f * scene.effectLevel);

    compositeLayer(target, layer1, layer1Sprite, sf::RenderStates(&rainbowShader), transformText.drawnArea);
    drawIfPresent(target, scene.baba);
    // Without its picture the scatter shader would sample nothing; the plain finger
    // sprite is the sensible stand-in.
    drawIfPresent(target, scene.finger,
                  scene.fingerImage ? sf::RenderStates(&fingerShader) : sf::RenderStates::Default);
    return thisScene;
}
