// Scene 65, the greetings: the upside-down cute background, the flower particles and the
// flipping frame picture carry on from the cute pictures, whose twelve pictures finish
// leaving in the first 0.4 s. Six greeting pictures gather from scattered tiles one after
// another, starting at about 0.03, 1.6, 3.0, 4.6, 6.1 and 7.5 s; each takes 2 s to come
// together, holds for 2 s and scatters away in 1 s, so up to four overlap. They are drawn
// turned as resources.layer1Sprite turns, rocking by up to 8 degrees either way (a 6.3 s swing),
// straight onto the picture. The ninth beat,
// at 12.07 s, hands over to the flowers beat before anything is drawn.
#include "runtime/BeatTables.hpp"
#include "runtime/PassTiming.hpp"
#include "scenes/Demo.hpp"
#include "scenes/PopSprite.hpp"
#include "scenes/Pulse.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <array>
#include <cmath>
#include <optional>

namespace
{
constexpr SceneId thisScene = 65;

struct Greetings
{
    const SceneSchedule& schedule = scheduleFor(thisScene);
    BeatTrack beats{schedule.beats};
    float sceneTime = 0.f; // rocks resources.layer1Sprite, which turns the greetings
    std::array<Pulse, 6> greetings{Pulse{greetPulseRates}, Pulse{greetPulseRates}, Pulse{greetPulseRates},
                                   Pulse{greetPulseRates}, Pulse{greetPulseRates}, Pulse{greetPulseRates}};
    sf::Sprite* black = nullptr;
    sf::Sprite* frame1 = nullptr;
    sf::Sprite* frame2 = nullptr;
    bool over = false; // handed over on the ninth beat: that step draws nothing
};

Greetings setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    Greetings scene;
    scene.black = resources.blackSprite();
    if (scene.black)
        scene.black->setColor(sf::Color(255, 255, 255, 255));
    scene.frame1 = resources.spriteManager.get("frame1");
    scene.frame2 = resources.spriteManager.get("frame2");
    resources.layer1Sprite.setPosition(960.f, 540.f);
    resources.layer1Sprite.setOrigin(960.f, 540.f);

    // A greeting whose picture is missing (already reported at start-up) is left out: its
    // pulse keeps time but has nothing to draw.
    const std::array<sf::Shader*, 6> shaders{&resources.greets1Shader, &resources.greets2Shader,
                                             &resources.greets3Shader, &resources.greets4Shader,
                                             &resources.greets5Shader, &resources.greets6Shader};
    const std::array<const char*, 6> images{"greets1", "greets2", "greets3", "greets4", "greets5", "greets6"};
    for (std::size_t i = 0; i < scene.greetings.size(); ++i)
    {
        scene.greetings[i].shader = shaders[i];
        scene.greetings[i].sprite = resources.textureManager.exists(images[i]) ? scene.black : nullptr;
        scene.greetings[i].wholePicture =
            pictureOnQuad(resources.textureManager, scene.greetings[i].sprite, images[i]);
        scene.greetings[i].tilesShown = scatterTilesShown(resources.textureManager, images[i]);
    }
    return scene;
}
} // namespace

SceneId greetingsUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    stepFrameTimer(state.frameTimer, state.frameToggle, dt);
    Greetings& scene = state.sceneState<Greetings>(thisScene, [&] { return setUp(demo); });
    scene.sceneTime += dt;

    const int beat = scene.beats.poll(dt);
    if (beat >= 0 && beat == scene.schedule.endEntry)
    {
        scene.over = true;
        return nextScene(thisScene);
    }
    if (beat >= 0 && beat < static_cast<int>(scene.greetings.size()))
        scene.greetings[static_cast<std::size_t>(beat)].start();
    state.cuteTime += 4.f * dt;
    state.uniforms.set(resources.cuteShader, "iTime", state.cuteTime);
    for (Pulse& greeting : scene.greetings)
        greeting.update(dt);
    for (PopSprite& picture : state.popSprites)
        picture.update(dt);
    if (state.flowerParticles)
        state.flowerParticles->update(dt, state.random);
    resources.layer1Sprite.setRotation(8.f * std::sin(scene.sceneTime));
    return thisScene;
}

void greetingsDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const DemoState& state = demo.state;
    const Greetings& scene = state.sceneState<Greetings>(thisScene);
    if (scene.over)
        return;
    // The background, the pictures left over from the cute scene, then the greetings on top,
    // rocking.
    if (scene.black)
    {
        scene.black->setRotation(180.f);
        drawIfPresent(resources, target, scene.black, replacing(resources.cuteShader));
        scene.black->setRotation(0.f);
    }
    if (state.flowerParticles)
        state.flowerParticles->draw(target);
    for (const PopSprite& picture : state.popSprites)
        picture.draw(resources, target);
    drawIfPresent(resources, target, state.frameToggle ? scene.frame2 : scene.frame1);
    // Straight onto the picture, turned as the rocking layer1 turns.
    for (const Pulse& greeting : scene.greetings)
        greeting.draw(resources, target, resources.layer1Sprite.getTransform());
}
