// Scene 8, the field flight: the camera skims forward over the candy field towards the
// "morv" sky, swaying from side to side and bobbing with a 6.3 s period. Every 1.5 s one
// of the pictures "wsl1", "wsl2", "wsl3" (in turn 1, 2, 3, 1, 2, 3, 1, 2 from 0 s on)
// gathers from scattered tiles, holds and scatters away over 1.5 s. A black veil flashes
// on 41 beats and lifts within 0.25 s; the last flash beat, at 11.97 s, hands over to the
// rainbow tunnel before anything is drawn.
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/Pulse.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/Texture.hpp>
#include <algorithm>
#include <array>
#include <cmath>

namespace
{
constexpr SceneId thisScene = 8;

struct FieldFlight
{
    const SceneSchedule& schedule = scheduleFor(thisScene);
    BeatTrack flashBeats{schedule.beats};
    BeatTrack imageBeats{schedule.cues};
    float sceneTime = 0.f; // drives the camera and the field
    float flash = 0.f;     // veil opacity, 0..255
    int pulseCounter = 0;  // which picture the next image beat brings in
    std::array<Pulse, 3> pictures{Pulse{layerPulseRates}, Pulse{layerPulseRates}, Pulse{layerPulseRates}};
    float camX = 0.f;
    float camY = 1.f;
    float camZ = 0.f;
    sf::Sprite* black = nullptr;
    const sf::Texture* sky = nullptr; // "morv"
    bool over = false;                // handed over on the last flash beat: that step draws nothing
};

FieldFlight setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    FieldFlight scene;
    scene.black = resources.blackSprite();
    scene.sky = resources.textureManager.get("morv");
    demo.state.uniforms.set(resources.fieldShader, "backgroundImage",
                            scene.sky ? scene.sky : &resources.plainSky());

    // A picture whose image is missing (already reported at start-up) stays out: its
    // pulse keeps time but has nothing to draw.
    const std::array<sf::Shader*, 3> shaders{&resources.wsl1Shader, &resources.wsl2Shader,
                                             &resources.wsl3Shader};
    const std::array<const char*, 3> images{"wsl1", "wsl2", "wsl3"};
    for (std::size_t i = 0; i < scene.pictures.size(); ++i)
    {
        scene.pictures[i].sprite = resources.textureManager.exists(images[i]) ? scene.black : nullptr;
        scene.pictures[i].wholePicture =
            pictureOnQuad(resources.textureManager, scene.pictures[i].sprite, images[i]);
        scene.pictures[i].tilesShown = scatterTilesShown(resources.textureManager, images[i]);
        scene.pictures[i].shader = shaders[i];
    }
    // Unturned: the field's pass turns the quad itself, the pictures over it go straight.
    centreBlackSprite(resources, 0.f);
    return scene;
}
} // namespace

SceneId fieldFlightUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    FieldFlight& scene = state.sceneState<FieldFlight>(thisScene, [&] { return setUp(demo); });

    if (scene.flash > 0.f)
        scene.flash = std::max(0.f, scene.flash - dt * 1020.f);
    const int flashBeat = scene.flashBeats.poll(dt);
    // The image beat of the end frame still counts, so the pictures keep their turns.
    if (scene.imageBeats.poll(dt) >= 0)
    {
        scene.pulseCounter += 1;
        scene.pictures[static_cast<std::size_t>(scene.pulseCounter - 1)].start();
        if (scene.pulseCounter == 3)
            scene.pulseCounter = 0;
    }
    if (flashBeat >= 0 && flashBeat == scene.schedule.endEntry)
    {
        scene.over = true;
        return nextScene(thisScene);
    }
    if (flashBeat >= 0)
        scene.flash = 255.f;
    scene.sceneTime += dt;
    scene.camZ += dt * 4.f;
    const float sway = std::sin(scene.sceneTime);
    scene.camY = 0.75f * sway + 0.25f;
    scene.camX = 4.f * sway;
    state.uniforms.set(resources.fieldShader, "iTime", scene.sceneTime);
    state.uniforms.set(resources.fieldShader, "camPos_x", scene.camX);
    state.uniforms.set(resources.fieldShader, "camPos_y", scene.camY);
    state.uniforms.set(resources.fieldShader, "camPos_z", scene.camZ);
    for (Pulse& picture : scene.pictures)
        picture.update(2.f * dt);
    return thisScene;
}

void fieldFlightDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const FieldFlight& scene = demo.state.sceneState<FieldFlight>(thisScene);
    if (scene.over)
        return;
    // The field, the pictures over it, the veil over everything.
    drawShaderPass(resources, target, resources.fieldShader, 1, 180.f);
    for (const Pulse& picture : scene.pictures)
        picture.draw(resources, target);
    drawFlashVeil(resources, target, scene.flash);
}
