// Scene 8, the field flight: the camera skims forward over the candy field towards the
// "morv" sky, swaying from side to side and bobbing with a 6.3 s period. Every 1.5 s one
// of the pictures "wsl1", "wsl2", "wsl3" (in turn 1, 2, 3, 1, 2, 3, 1, 2 from 0 s on)
// gathers from scattered tiles, holds and scatters away over 1.5 s. A black veil flashes
// on 41 beats and lifts within 0.25 s; the last flash beat, at 11.97 s, hands over to the
// rainbow tunnel before anything is drawn.
#include "assets/Registries.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/SharedResources.hpp"
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
};

// Stands in for a missing sky picture, so the field never samples an unbound texture: a
// dusk gradient from violet at the top to warm pink at the horizon.
const sf::Texture& plainSky()
{
    static const sf::Texture texture = []
    {
        sf::Image image;
        image.create(1, 64);
        for (unsigned y = 0; y < 64; ++y)
        {
            const float t = static_cast<float>(y) / 63.f;
            image.setPixel(0, y,
                           sf::Color(static_cast<sf::Uint8>(120 + 135 * t),
                                     static_cast<sf::Uint8>(70 + 60 * t),
                                     static_cast<sf::Uint8>(230 - 90 * t)));
        }
        sf::Texture result;
        result.loadFromImage(image);
        result.setSmooth(true);
        return result;
    }();
    return texture;
}

FieldFlight setUp()
{
    FieldFlight scene;
    scene.black = blackSprite();
    scene.sky = textureManager.get("morv");
    fieldShader.setUniform("backgroundImage", scene.sky ? *scene.sky : plainSky());

    // A picture whose image is missing (already reported at start-up) stays out: its
    // pulse keeps time but has nothing to draw.
    const std::array<sf::Shader*, 3> shaders{&wsl1Shader, &wsl2Shader, &wsl3Shader};
    const std::array<const char*, 3> images{"wsl1", "wsl2", "wsl3"};
    for (std::size_t i = 0; i < scene.pictures.size(); ++i)
    {
        scene.pictures[i].sprite = textureManager.exists(images[i]) ? scene.black : nullptr;
        scene.pictures[i].wholePicture = pictureOnQuad(scene.pictures[i].sprite, images[i]);
        scene.pictures[i].shader = shaders[i];
    }
    centreBlackSprite(180.f);
    return scene;
}
} // namespace

SceneId fieldFlightScene(sf::RenderTarget& target, float dt)
{
    static FieldFlight scene = setUp();

    // Update.
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
        return scene.schedule.next;
    if (flashBeat >= 0)
        scene.flash = 255.f;
    scene.sceneTime += dt;
    scene.camZ += dt * 4.f;
    const float sway = std::sin(scene.sceneTime);
    scene.camY = 0.75f * sway + 0.25f;
    scene.camX = 4.f * sway;
    fieldShader.setUniform("iTime", scene.sceneTime);
    fieldShader.setUniform("camPos_x", scene.camX);
    fieldShader.setUniform("camPos_y", scene.camY);
    fieldShader.setUniform("camPos_z", scene.camZ);

    // Draw: field, pictures over it, veil over everything.
    drawShaderPass(target, fieldShader, 1, 180.f);
    for (Pulse& picture : scene.pictures)
        picture.update(2.f * dt);
    for (const Pulse& picture : scene.pictures)
        picture.draw(target);
    drawFlashVeil(target, scene.flash);
    return thisScene;
}
