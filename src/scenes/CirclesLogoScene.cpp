// Scene 5, the circles pulse and logo: the full-screen circles shader flashes into view on
// every beat from 0.05 s on and fades out within a quarter second. The star particles of
// the previous scenes stand still and hidden until 10.31 s (entry 28), when they come back
// together with the group logo "vortle" seen through the dots peephole; the logo swells on
// every beat and is knocked to a new tilt at 10.58, 10.87, 11.16, 11.46 and 11.67 s.
// At 11.87 s (entry 34) the scene hands over to the cute pictures without drawing that frame.
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

namespace
{
constexpr SceneId thisScene = 5;
constexpr int logoEntry = 28;      // the logo and the particles come into view
constexpr int firstTiltEntry = 29; // entries 29..33 tilt the logo
constexpr float tilts[] = {-8.f, 4.f, -4.f, 8.f, 10.f};

struct CirclesLogo
{
    float sceneTime = 0.f;
    BeatTrack beats{scheduleFor(thisScene).beats};
    float circlesAlpha = 0.f; // circles layer opacity: 1 on a beat, falling at 4 per second
    float logoScale = 1.f;    // 1.5 on a beat, falling back to 1 at 4 per second
    bool logoShown = false;
    sf::Sprite* logo = nullptr;
    sf::Sprite* black = nullptr;
    bool over = false; // handed over on entry 34: that step draws nothing
};

CirclesLogo setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    CirclesLogo scene;
    scene.logo = resources.spriteManager.get("vortle");
    if (scene.logo)
    {
        scene.logo->setPosition(960.f, 540.f);
        scene.logo->setOrigin(960.f, 540.f);
    }
    scene.black = resources.blackSprite();
    demo.state.uniforms.set(resources.dotsShader, "tilesAcross", dotsTilesAcross);
    if (scene.black)
    {
        scene.black->setOrigin(960.f, 540.f);
        scene.black->setPosition(960.f, 540.f);
        scene.black->setScale(1.f, 1.f);
    }
    return scene;
}
} // namespace

SceneId circlesLogoUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    CirclesLogo& scene = state.sceneState<CirclesLogo>(thisScene, [&] { return setUp(demo); });

    scene.sceneTime += dt;
    state.uniforms.set(resources.circlesShader, "iTime", scene.sceneTime);
    if (scene.circlesAlpha > 0.f)
    {
        scene.circlesAlpha -= dt * 4.f;
        if (scene.circlesAlpha < 0.f)
            scene.circlesAlpha = 0.f;
    }
    if (scene.logoScale > 1.f)
    {
        scene.logoScale -= dt * 4.f;
        if (scene.logoScale < 1.f)
            scene.logoScale = 1.f;
    }
    const int beat = scene.beats.poll(dt);
    if (beat >= 0)
    {
        if (beat == logoEntry)
            scene.logoShown = true;
        if (beat >= firstTiltEntry && beat < firstTiltEntry + 5 && scene.logo)
            scene.logo->setRotation(tilts[beat - firstTiltEntry]);
        if (beat == scene.beats.lastIndex())
        {
            scene.over = true;
            return nextScene(thisScene);
        }
        scene.circlesAlpha = 1.f;
        scene.logoScale = 1.5f;
    }
    if (scene.logo)
        scene.logo->setScale(scene.logoScale, scene.logoScale);
    // The circles' fade, which their pass is drawn with.
    resources.layer2Sprite.setColor(sf::Color(255, 255, 255, truncatedByte(scene.circlesAlpha * 255.f)));
    state.uniforms.set(resources.dotsShader, "xOffset", scene.sceneTime / 5.f);
    state.uniforms.set(resources.dotsShader, "yOffset", scene.sceneTime * 0.125f);
    // Until the logo comes in, the particles born in the earlier scenes stay frozen and hidden.
    if (scene.logoShown && state.starParticles)
        state.starParticles->update(dt, state.random);
    return thisScene;
}

void circlesLogoDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const DemoState& state = demo.state;
    const CirclesLogo& scene = state.sceneState<CirclesLogo>(thisScene);
    if (scene.over)
        return;
    const sf::Uint8 circlesAlpha = resources.layer2Sprite.getColor().a;
    if (scene.black && worthDrawing(circlesAlpha > 0))
    {
        // One opaque quad fades as one picture: straight onto the cleared frame, through its alpha.
        sf::Sprite circles = *scene.black;
        circles.setColor(sf::Color(0, 0, 0, circlesAlpha));
        drawIfPresent(resources, target, &circles, sf::RenderStates(&resources.circlesShader));
    }
    if (scene.logoShown && state.starParticles)
        state.starParticles->draw(target);
    if (worthDrawing(scene.logoShown))
    {
        drawIfPresent(resources, resources.layer3, scene.logo, sf::RenderStates(&resources.dotsShader));
        if (scene.logoShown)
            compositeLayer(resources, target, resources.layer3, resources.layer3Sprite);
    }
}
