// Scene 6, the cute pop-up pictures: the cute shader fills the screen upside down, the
// flower particles are switched on, and twelve pictures pop up one per beat, the first on
// the first frame and the twelfth at 5.57 s; each grows and fades in, then spins, swings
// or drifts across the screen. A two-frame picture flips every quarter second on top of
// everything. At 11.59 s (entry 23) all twelve shrink and fade away; at 11.95 s (entry 24)
// that frame is drawn in full and the scene hands over to the greetings, which keep
// animating the leaving pictures.
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/PopSprite.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <map>
#include <string>

namespace
{
constexpr SceneId thisScene = 6;
constexpr int leaveEntry = 23;

struct PictureSpawn
{
    const char* sprite;
    int mode;
    float x, y;
    float targetX, targetY;
    float baseScale;
};

// Picture k pops up on beat entry k - 1.
const PictureSpawn pictures[12] = {
    {"plimmo1", 0, 79.f, 522.f, 0.f, 0.f, 0.5f},      {"plimmo1", 0, 180.f, 937.f, 0.f, 0.f, 1.0f},
    {"plimmo1", 0, 1917.f, 784.f, 0.f, 0.f, 0.6f},    {"plimmo2", 2, 600.f, 468.f, 0.f, 0.f, 0.75f},
    {"plimmo1", 0, 597.f, 1080.f, 0.f, 0.f, 1.0f},    {"plimmo3", 0, 81.f, 588.f, 0.f, 0.f, 0.38f},
    {"plimmo1", 0, 1654.f, 1053.f, 0.f, 0.f, 1.0f},   {"plimmo3", 0, 1654.f, 1053.f, 0.f, 0.f, 0.5f},
    {"plimmo4", 1, 372.f, 1250.f, 1707.f, 3.f, 0.5f}, {"plimmo5", 2, 1440.f, 500.f, 0.f, 0.f, 1.0f},
    {"plimmo1", 0, 1123.f, 970.f, 0.f, 0.f, 0.6f},    {"plimmo3", 0, 916.f, 783.f, 0.f, 0.f, 0.6f},
};

struct CutePictures
{
    float sceneTime = 0.f;
    BeatTrack beats{scheduleFor(thisScene).beats};
    sf::Sprite* black = nullptr;
    sf::Sprite* frame1 = nullptr;
    sf::Sprite* frame2 = nullptr;
};

CutePictures setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    CutePictures scene;
    scene.black = resources.blackSprite();
    if (scene.black)
    {
        scene.black->setColor(sf::Color(255, 255, 255, 255));
        scene.black->setOrigin(960.f, 540.f);
        scene.black->setPosition(960.f, 540.f);
        scene.black->setScale(1.f, 1.f);
    }
    scene.frame1 = resources.spriteManager.get("frame1");
    scene.frame2 = resources.spriteManager.get("frame2");
    // A key shared by several pictures is looked up once, so a missing one is reported once.
    std::map<std::string, sf::Sprite*> sprites;
    for (int k = 0; k < 12; ++k)
    {
        const PictureSpawn& p = pictures[k];
        auto found = sprites.find(p.sprite);
        if (found == sprites.end())
            found = sprites.emplace(p.sprite, resources.spriteManager.get(p.sprite)).first;
        state.popSprites[k].spawn(p.x, p.y, found->second, p.mode, p.targetX, p.targetY, p.baseScale);
    }
    if (state.flowerParticles)
    {
        state.flowerParticles->emitting = true;
        state.flowerParticles->spawnTimer = 0.f;
    }
    return scene;
}
} // namespace

SceneId cutePicturesUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    stepFrameTimer(state.frameTimer, state.frameToggle, dt);
    CutePictures& scene = state.sceneState<CutePictures>(thisScene, [&] { return setUp(demo); });
    scene.sceneTime += dt;

    SceneId next = thisScene;
    const int beat = scene.beats.poll(dt);
    if (beat >= 0 && beat < 12)
        state.popSprites[beat].visible = true;
    else if (beat == leaveEntry)
        for (PopSprite& picture : state.popSprites)
            picture.leave();
    else if (beat == scene.beats.lastIndex())
        next = nextScene(thisScene); // this last frame is still drawn in full
    state.cuteTime += 4.f * dt;
    state.uniforms.set(resources.cuteShader, "iTime", state.cuteTime);
    state.uniforms.set(resources.rainbowTunnelShader, "iTime", scene.sceneTime * 4.f);
    if (state.flowerParticles)
        state.flowerParticles->update(dt, state.random);
    for (PopSprite& picture : state.popSprites)
        picture.update(dt);
    return next;
}

void cutePicturesDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const DemoState& state = demo.state;
    const CutePictures& scene = state.sceneState<CutePictures>(thisScene);
    // The background upside down, the flowers, the pictures, and the flipping frame on top.
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
}
