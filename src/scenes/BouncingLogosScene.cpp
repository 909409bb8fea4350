// Scene 1, the bouncing logos: a white screen fades in over two seconds; from 4 s the
// seven logos are thrown in from the upper left one at a time, each bouncing ("bounce" on
// every floor and wall hit) until it has hit the floor 30 times; at 15 s the picture turns
// to TV static with its "static" sound, and at 16 s (or as soon as the last logo finishes)
// the scene hands over to the title words.
#include "scenes/BouncingLogosScene.hpp"

#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

namespace
{
constexpr SceneId thisScene = 1;

struct BouncingLogos
{
    float timer = 0.f; // seconds since the scene's first frame
    std::vector<Bouncer> bouncers;
    int currentBouncer = -1; // logo in flight; -1 before the first and after the last
    bool bouncersFinished = false;
    bool bouncingStarted = false;
    bool staticOn = false;
    bool over = false; // handed over at 16 s: that step draws nothing
};
} // namespace

int Bouncer::update(float dt)
{
    int hits = 0;
    x += vx * dt;
    y += vy * dt;
    vy += 24.f;
    if (static_cast<float>(height) + y > 1070.f)
    {
        ++hits;
        vy = static_cast<float>(-0.8 * static_cast<double>(vy));
        bouncesLeft -= 1;
        y = 1070.f - static_cast<float>(height);
        if (bouncesLeft <= 0)
            done = true;
    }
    if (static_cast<float>(width) + x > 1910.f)
    {
        ++hits;
        vx = -vx;
        x = 1910.f - static_cast<float>(width);
    }
    else if (x < 10.f)
    {
        ++hits;
        x = 10.f;
        vx = -vx;
    }
    return hits;
}

void addBouncer(std::vector<Bouncer>& bouncers, sf::Sprite* sprite)
{
    if (!sprite || !sprite->getTexture())
        return;
    Bouncer bouncer;
    bouncer.sprite = sprite;
    bouncer.width = static_cast<int>(sprite->getTexture()->getSize().x);
    bouncer.height = static_cast<int>(sprite->getTexture()->getSize().y);
    bouncers.push_back(bouncer);
}

namespace
{
void nextLogo(BouncingLogos& scene)
{
    scene.currentBouncer += 1;
    if (scene.currentBouncer >= static_cast<int>(scene.bouncers.size()))
    {
        scene.currentBouncer = -1;
        scene.bouncersFinished = true;
    }
}

BouncingLogos setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    // Out of the opening cards' black over two seconds.
    state.fadeAlpha = 1.f;
    state.fadeMode = 2;
    state.fadeSpeed = 0.5f;
    BouncingLogos scene;
    for (const char* key : {"quib", "zarn", "plok", "greets", "vesk", "trumo", "glin"})
        addBouncer(scene.bouncers, resources.spriteManager.get(key));
    return scene;
}
} // namespace

SceneId bouncingLogosUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    BouncingLogos& scene = state.sceneState<BouncingLogos>(thisScene, [&] { return setUp(demo); });

    scene.timer += dt;
    if (scene.timer > bouncingLogosSeconds)
    {
        stopSound(demo, "static");
        scene.over = true;
        return nextScene(thisScene);
    }
    if (scene.timer > 15.f && !scene.staticOn)
    {
        scene.staticOn = true;
        playSound(demo, "static");
    }
    if (!scene.bouncingStarted && scene.timer > 4.f)
    {
        nextLogo(scene);
        scene.bouncingStarted = true;
    }
    if (scene.bouncingStarted && scene.currentBouncer >= 0)
    {
        Bouncer& logo = scene.bouncers[static_cast<std::size_t>(scene.currentBouncer)];
        for (int hits = logo.update(dt); hits > 0; --hits)
            playSound(demo, "bounce");
        if (logo.done)
            nextLogo(scene);
    }
    if (scene.bouncingStarted && scene.currentBouncer >= 0)
    {
        // A logo that has just become current shows once at its start before it moves.
        Bouncer& logo = scene.bouncers[static_cast<std::size_t>(scene.currentBouncer)];
        logo.sprite->setPosition(logo.x, logo.y);
    }
    state.uniforms.set(resources.staticShader, "iTime", scene.timer);
    // The step that finishes the last logo is still drawn.
    return scene.bouncersFinished ? nextScene(thisScene) : thisScene;
}

void bouncingLogosDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const BouncingLogos& scene = demo.state.sceneState<BouncingLogos>(thisScene);
    if (scene.over)
        return;
    // The white stage; the logos fly over it from 4 s on.
    resources.layer2.clear(sf::Color(255, 255, 255, 255));
    if (scene.bouncingStarted && scene.currentBouncer >= 0)
        drawIfPresent(resources, resources.layer2,
                      scene.bouncers[static_cast<std::size_t>(scene.currentBouncer)].sprite);
    compositeLayer(resources, target, resources.layer2, resources.layer2Sprite,
                   scene.staticOn ? sf::RenderStates(&resources.staticShader) : sf::RenderStates::Default);
}
