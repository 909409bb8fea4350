// Scene 3, the wobbling presentation card: the picture "presentado" on an elastic card in
// perspective, its four corners swinging every 1.26 s while the whole card rocks 50 degrees
// either way every 3.14 s, over the laser shader. The laser flares on every beat, the first
// on the first frame, the last at 8.77 s; the star particles are switched on here and fly
// between laser and card, which is drawn straight through the peephole. At 8.98 s (beat 29) the scene hands
// over to the Julia words without drawing that frame.
#include "fx/ElasticSprite.hpp"
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <cmath>

namespace
{
constexpr SceneId thisScene = 3;

struct PresentationCard
{
    float sceneTime = 0.f;
    BeatTrack beats{scheduleFor(thisScene).beats};
    float waveIntensity = 0.f; // laser flare: 2.5 on a beat, falling at 16 per second
    ElasticSprite card;
    bool cardShown = false; // false when "presentado" is missing: the card is left out
    sf::Sprite* black = nullptr;
    bool over = false; // handed over on beat 29: that step draws nothing
};

PresentationCard setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    PresentationCard scene;
    scene.card = ElasticSprite(&resources.elasticShaders);
    scene.black = resources.blackSprite();
    if (const sf::Texture* picture = resources.textureManager.get("presentado"))
    {
        scene.card.setTexture(*picture, false);
        scene.cardShown = true;
    }
    scene.card.enableShader(true);
    scene.card.enablePerspective(true);
    scene.card.setPerspectiveProgram(&resources.cardShader);
    scene.card.setOrigin(960.f, 540.f);
    scene.card.setPosition(960.f, 540.f);
    if (state.starParticles)
    {
        state.starParticles->emitting = true;
        state.starParticles->spawnTimer = 0.f;
    }
    return scene;
}
} // namespace

void shapePresentationCard(ElasticSprite& card, float sceneTime)
{
    const float s = std::sin(5.f * sceneTime);
    const float c = std::cos(5.f * sceneTime);
    card.setRotation(50.f * std::sin(2.f * sceneTime));
    card.setScale(0.75f, 0.75f);
    card.setCornerOffset(0, {350.f * s - 350.f, 100.f * c - 100.f});
    card.setCornerOffset(1, {350.f * c - 350.f, 100.f * s + 100.f});
    card.setCornerOffset(2, {350.f * s + 350.f, 100.f * c + 100.f});
    card.setCornerOffset(3, {350.f * c + 350.f, 100.f * s - 100.f});
    card.setTextureRect({0.f, 0.f, 1920.f, 1080.f});
}

SceneId presentationCardUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    PresentationCard& scene = state.sceneState<PresentationCard>(thisScene, [&] { return setUp(demo); });
    scene.sceneTime += dt;

    shapePresentationCard(scene.card, scene.sceneTime);
    if (scene.waveIntensity > 0.f)
    {
        scene.waveIntensity -= dt * 16.f;
        if (scene.waveIntensity < 0.f)
            scene.waveIntensity = 0.f;
    }
    const int beat = scene.beats.poll(dt);
    if (beat == scene.beats.lastIndex())
    {
        scene.over = true;
        return nextScene(thisScene);
    }
    if (beat >= 0)
        scene.waveIntensity = 2.5f;

    state.uniforms.set(resources.laserShader, "xOffset", -scene.sceneTime);
    state.uniforms.set(resources.laserShader, "waveIntensity", scene.waveIntensity);
    // The card scrolls the peephole's backdrop; the text peephole is left scrolled as far for
    // the scenes after.
    for (sf::Shader* peephole : {&resources.cardShader, &resources.textShader})
    {
        state.uniforms.set(*peephole, "xOffset", scene.sceneTime);
        state.uniforms.set(*peephole, "yOffset", scene.sceneTime * 0.5f);
    }
    if (state.starParticles)
        state.starParticles->update(dt, state.random);
    return thisScene;
}

void presentationCardDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const DemoState& state = demo.state;
    const PresentationCard& scene = state.sceneState<PresentationCard>(thisScene);
    if (scene.over)
        return;
    // The laser, the particles between laser and card, then the card through the peephole.
    drawColumnPass(resources, target, scene.black, resources.laserShader);
    if (state.starParticles)
        state.starParticles->draw(target);
    if (scene.cardShown)
        target.draw(scene.card);
}
