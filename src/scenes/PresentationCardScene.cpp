// Scene 3, the wobbling presentation card: the picture "presentado" on an elastic card in
// perspective, its four corners swinging every 1.26 s while the whole card rocks 50 degrees
// either way every 3.14 s, over the laser shader. The laser flares on every beat, the first
// on the first frame, the last at 8.77 s; the star particles are switched on here and fly
// between laser and card. At 8.98 s (beat 29) the scene hands over to the Julia words
// without drawing that frame.
#include "assets/Registries.hpp"
#include "fx/ElasticSprite.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/SharedResources.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <cmath>

namespace
{
constexpr SceneId thisScene = 3;
constexpr SceneId nextScene = 4;

struct PresentationCard
{
    float sceneTime = 0.f;
    BeatTrack beats{scheduleFor(thisScene).beats};
    float waveIntensity = 0.f; // laser flare: 2.5 on a beat, falling at 16 per second
    ElasticSprite card;
    bool cardShown = false; // false when "presentado" is missing: the card is left out
    sf::Sprite* black = nullptr;
};

PresentationCard setUp()
{
    PresentationCard scene;
    scene.black = blackSprite();
    if (const sf::Texture* picture = textureManager.get("presentado"))
    {
        scene.card.setTexture(*picture, false);
        scene.cardShown = true;
    }
    scene.card.enableShader(true);
    scene.card.enablePerspective(true);
    scene.card.setOrigin(960.f, 540.f);
    scene.card.setPosition(960.f, 540.f);
    if (starParticles)
    {
        starParticles->emitting = true;
        starParticles->spawnTimer = 0.f;
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

SceneId presentationCardScene(sf::RenderTarget& target, float dt)
{
    static PresentationCard scene = setUp();
    scene.sceneTime += dt;

    // Update.
    shapePresentationCard(scene.card, scene.sceneTime);
    if (scene.waveIntensity > 0.f)
    {
        scene.waveIntensity -= dt * 16.f;
        if (scene.waveIntensity < 0.f)
            scene.waveIntensity = 0.f;
    }
    const int beat = scene.beats.poll(dt);
    if (beat == scene.beats.lastIndex())
        return nextScene; // nothing of this scene on its last frame
    if (beat >= 0)
        scene.waveIntensity = 2.5f;

    laserShader.setUniform("xOffset", -scene.sceneTime);
    laserShader.setUniform("waveIntensity", scene.waveIntensity);
    textShader.setUniform("xOffset", scene.sceneTime);
    textShader.setUniform("yOffset", scene.sceneTime * 0.5f);
    if (starParticles)
        starParticles->update(dt);

    // Draw: laser, particles between laser and card, then the card through the peephole.
    drawIfPresent(target, scene.black, sf::RenderStates(&laserShader));
    if (starParticles)
        starParticles->draw(target);
    if (scene.cardShown)
        layer2.draw(scene.card);
    compositeLayer(target, layer2, layer2Sprite, sf::RenderStates(&textShader),
                   scene.cardShown ? scene.card.getDrawnBounds() : sf::FloatRect());
    return thisScene;
}
