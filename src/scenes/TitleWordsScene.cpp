// Scene 2, the title words on the beat: the first frame starts the soundtrack; on each of
// the first ten beats of its opening (0 to 2.58 s) one word of "Grumlo vs The Vortle &
// Trobisk" pops in with an overshoot while the perlin background flashes; the eleventh
// beat (2.9215 s) hands over to the presentation card before anything is drawn.
#include "fx/Tween.hpp"
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <array>

namespace
{
constexpr SceneId thisScene = 2;
constexpr int wordCount = 10;

struct TitleWords
{
    float timer = 0.f; // scene clock; drives the shaders
    BeatTrack beats{scheduleFor(thisScene).beats};
    int currentBeat = -1; // beat fired this frame, -1 for none
    float flash = 0.f;    // 1 on a beat, back to 0 within a quarter second
    std::array<sf::Sprite*, wordCount> wordSprites{};
    std::array<bool, wordCount> wordVisible{};
    std::array<Tween, wordCount> wordTweens;
    sf::Sprite* black = nullptr;
    bool over = false; // handed over on the eleventh beat: that step draws nothing
};

// Word i shows from beat i on, through the shader next to it (null: no shader).
struct Word
{
    const char* key;
    sf::Shader Resources::*shader;
};
const std::array<Word, wordCount> words = {{{"grumlo1", &Resources::rainbowShader},
                                            {"grumlo2", &Resources::rainbowShader},
                                            {"grumlo3", &Resources::rainbowShader},
                                            {"grumlo4", &Resources::rainbowShader},
                                            {"vs", nullptr},
                                            {"the", nullptr},
                                            {"vortle1", &Resources::textShader},
                                            {"vortle2", &Resources::textShader},
                                            {"and", nullptr},
                                            {"trobisk", nullptr}}};

TitleWords setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    TitleWords scene;
    scene.black = resources.blackSprite();
    for (int i = 0; i < wordCount; ++i)
    {
        scene.wordSprites[i] = resources.spriteManager.get(words[i].key);
        if (scene.wordSprites[i])
            scene.wordSprites[i]->setScale(0.f, 0.f);
        scene.wordTweens[i].set(0.f, 1.f, 0.25f, EaseType::BackOut, 0.f);
    }
    resources.musicManager.play("totally_not_trobisk", false);
    return scene;
}
} // namespace

SceneId titleWordsUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    TitleWords& scene = state.sceneState<TitleWords>(thisScene, [&] { return setUp(demo); });

    // The peepholes scroll by the time before this step: the scene's first frame shows them
    // where the opening cards left them.
    if (scene.timer > 0.f)
    {
        scrollPeephole(demo, resources.textShader, scene.timer);
        scrollPeephole(demo, resources.rainbowShader, scene.timer);
    }
    scene.timer += dt;
    if (scene.flash > 0.f)
    {
        scene.flash -= dt * 4.f;
        if (scene.flash < 0.f)
            scene.flash = 0.f;
    }
    scene.currentBeat = scene.beats.poll(dt);
    if (scene.currentBeat >= 0 && scene.currentBeat < wordCount)
    {
        scene.wordVisible[scene.currentBeat] = true;
        scene.wordTweens[scene.currentBeat].start();
    }
    for (Tween& tween : scene.wordTweens)
        tween.update(dt);
    for (int i = 0; i < wordCount; ++i)
        if (scene.wordSprites[i])
        {
            const float s = scene.wordTweens[i].getValue();
            scene.wordSprites[i]->setScale(s, s);
        }
    if (scene.currentBeat == wordCount)
    {
        scene.over = true;
        return nextScene(thisScene);
    }
    if (scene.currentBeat >= 0)
        scene.flash = 1.f;

    // The background runs four times faster than the scene and flashes red and blue.
    state.uniforms.set(resources.perlinShader, "iTime", scene.timer * 4.f);
    state.uniforms.set(resources.perlinShader, "r", scene.flash);
    state.uniforms.set(resources.perlinShader, "b", scene.flash);
    return thisScene;
}

void titleWordsDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const TitleWords& scene = demo.state.sceneState<TitleWords>(thisScene);
    if (scene.over)
        return;
    drawStretchedPass(resources, target, scene.black, resources.perlinShader);
    for (int i = 0; i < wordCount; ++i)
    {
        if (!scene.wordVisible[i])
            continue;
        if (words[i].shader)
            drawIfPresent(resources, target, scene.wordSprites[i],
                          sf::RenderStates(&(resources.*words[i].shader)));
        else
            drawIfPresent(resources, target, scene.wordSprites[i]);
    }
}
