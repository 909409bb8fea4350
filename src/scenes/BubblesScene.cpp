// Scene 10, the bubbles (about 6 s): a full-screen perlin-cloud background whose tint steps
// through red, green, blue, magenta and cyan, one step per beat, with a magenta glow on each
// beat that fades within a quarter of a second. "baba" and "finger" drop out of the bottom of
// the window from where the rainbow tunnel left them (gone after 3 s). On each of the first
// twenty beats one more bubble enters at an upper corner, seen through the rainbow peephole
// (the first ten) or the gradient peephole (the last ten), and bounces round the window.
// The 23rd beat, at about 6.03 s, hands over to the moire scene without drawing.
#include "fx/Tween.hpp"
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"
#include "scenes/ShaderBouncer.hpp"

#include <map>
#include <string>

namespace
{
constexpr SceneId thisScene = 10;

struct Bubbles
{
    BeatTrack beats{scheduleFor(thisScene).beats};
    float sceneTime = 0.f;
    float glow = 0.f;   // 1 on a beat, falling by 4 per second (may dip just below 0)
    int colourStep = 0; // tint steps taken: 1..4, back to 0 once the fifth has been applied
    Tween babaDrop;
    Tween fingerDrop;
    sf::Sprite* black = nullptr;
    sf::Sprite* baba = nullptr;
    sf::Sprite* finger = nullptr;
    bool over = false; // handed over on the 23rd beat: that step draws nothing
};

struct BubbleRow
{
    const char* sprite;
    bool rainbow; // through the rainbow peephole, else the gradient one
    bool fromRight;
};

// The twenty bubbles in the order they enter; bubble2, bubble7 and bubble9 serve several.
constexpr BubbleRow bubbleRows[] = {
    {"bubble1", true, false},  {"bubble2", true, false}, {"bubble3", true, true},   {"bubble4", true, true},
    {"bubble5", true, false},  {"bubble6", true, false}, {"bubble2", true, false},  {"bubble7", true, false},
    {"bubble8", true, true},   {"bubble7", true, true},  {"bubble9", false, false}, {"bubble9", false, true},
    {"bubble9", false, false}, {"bubble9", false, true}, {"bubble9", false, false}, {"bubble9", false, true},
    {"bubble9", false, false}, {"bubble9", false, true}, {"bubble9", false, false}, {"bubble9", false, true},
};

// The tint of each step of the cycle, as "originalRed", "originalGreen", "originalBlue".
constexpr float tints[5][3] = {
    {0.25f, 0.f, 0.f}, {0.f, 0.25f, 0.f}, {0.f, 0.f, 0.25f}, {0.25f, 0.f, 0.25f}, {0.f, 0.25f, 0.25f},
};

// Starts a drop from wherever the sprite is now to just below the window. A missing sprite
// still gets its tween, so the scene's timing does not depend on its pictures.
void startDrop(Tween& drop, const sf::Sprite* sprite)
{
    drop.set(sprite ? sprite->getPosition().y : 0.f, 1080.f, 3.0f, CubicOut, 0.f);
    drop.start();
}

Bubbles setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    Bubbles scene;
    // Several bubbles share a sprite: each key is looked up once, so a missing one is
    // reported once however many bubbles it would have served.
    std::map<std::string, sf::Sprite*> sprites;
    for (const BubbleRow& row : bubbleRows)
    {
        auto found = sprites.find(row.sprite);
        if (found == sprites.end())
            found = sprites.emplace(row.sprite, resources.spriteManager.get(row.sprite)).first;
        addShaderBouncer(state.shaderBouncers, found->second,
                         row.rainbow ? resources.rainbowShader : resources.textShader, row.fromRight);
    }
    scene.black = resources.blackSprite();
    scene.baba = resources.spriteManager.get("baba");
    scene.finger = resources.spriteManager.get("finger");
    startDrop(scene.babaDrop, scene.baba);
    startDrop(scene.fingerDrop, scene.finger);
    return scene;
}

void setTint(Demo& demo, int step)
{
    const float* tint = tints[step - 1];
    sf::Shader& perlin = demo.resources.perlinShader;
    demo.state.uniforms.set(perlin, "originalRed", tint[0]);
    demo.state.uniforms.set(perlin, "originalGreen", tint[1]);
    demo.state.uniforms.set(perlin, "originalBlue", tint[2]);
}

void dropTo(Tween& drop, sf::Sprite* sprite, float dt)
{
    drop.update(dt);
    const float y = drop.getValue();
    if (sprite)
        sprite->setPosition(0.f, y);
}
} // namespace

SceneId bubblesUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    Bubbles& scene = state.sceneState<Bubbles>(thisScene, [&] { return setUp(demo); });

    // The bubbles' peepholes scroll by the time before this frame.
    scrollPeephole(demo, resources.textShader, 2.f * scene.sceneTime);
    scrollPeephole(demo, resources.rainbowShader, 2.f * scene.sceneTime);
    scene.sceneTime += dt;
    const int beat = scene.beats.poll(dt);
    if (scene.glow > 0.f)
        scene.glow -= 4.f * dt;
    if (beat >= 0)
    {
        scene.glow = 1.f;
        for (ShaderBouncer& bubble : state.shaderBouncers)
            if (!bubble.active)
            {
                bubble.active = true;
                break;
            }
        scene.colourStep += 1;
        setTint(demo, scene.colourStep);
        if (scene.colourStep == 5)
            scene.colourStep = 0;
    }
    // The last beat still moves the tint on, so the moire scene inherits the next step.
    if (beat == scheduleFor(thisScene).endEntry)
    {
        scene.over = true;
        return nextScene(thisScene);
    }

    dropTo(scene.babaDrop, scene.baba, dt);
    dropTo(scene.fingerDrop, scene.finger, dt);
    state.uniforms.set(resources.perlinShader, "iTime", 4.f * scene.sceneTime);
    state.uniforms.set(resources.perlinShader, "r", scene.glow);
    state.uniforms.set(resources.perlinShader, "b", scene.glow);
    updateShaderBouncers(state.shaderBouncers, dt);
    return thisScene;
}

void bubblesDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const DemoState& state = demo.state;
    const Bubbles& scene = state.sceneState<Bubbles>(thisScene);
    if (scene.over)
        return;
    // The background keeps the colour and the half turn the tunnel scene gave the quad.
    drawStretchedPass(resources, target, scene.black, resources.perlinShader);
    drawIfPresent(resources, target, scene.baba);
    drawIfPresent(resources, target, scene.finger);
    drawShaderBouncers(resources, state.shaderBouncers, target);
}
