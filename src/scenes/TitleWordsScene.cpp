// Scene 2, the title words on the beat: the first frame starts the soundtrack; on each of
// the first ten beats of its opening (0 to 2.58 s) one word of "Grumlo vs The Vortle &
// Trobisk" pops in with an overshoot while the perlin background flashes; the eleventh
// beat (2.9215 s) hands over to the presentation card before anything is drawn.
#include "assets/Registries.hpp"
#include "fx/Tween.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/SharedResources.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <array>

namespace
{
constexpr int wordCount = 10;

struct TitleWords
{
    float timer = 0.f; // scene clock; drives the shaders
    BeatTrack beats{scheduleFor(2).beats};
    int currentBeat = -1; // beat fired this frame, -1 for none
    float flash = 0.f;    // 1 on a beat, back to 0 within a quarter second
    std::array<sf::Sprite*, wordCount> wordSprites{};
    std::array<bool, wordCount> wordVisible{};
    std::array<Tween, wordCount> wordTweens;
};

// Word i shows from beat i on, through the shader next to it (null: no shader).
struct Word
{
    const char* key;
    sf::Shader* shader;
};
const std::array<Word, wordCount> words = {{{"grumlo1", &rainbowShader},
                                            {"grumlo2", &rainbowShader},
                                            {"grumlo3", &rainbowShader},
                                            {"grumlo4", &rainbowShader},
                                            {"vs", nullptr},
                                            {"the", nullptr},
                                            {"vortle1", &textShader},
                                            {"vortle2", &textShader},
                                            {"and", nullptr},
                                            {"trobisk", nullptr}}};

TitleWords setUp()
{
    TitleWords scene;
    for (int i = 0; i < wordCount; ++i)
    {
        scene.wordSprites[i] = spriteManager.get(words[i].key);
        if (scene.wordSprites[i])
            scene.wordSprites[i]->setScale(0.f, 0.f);
        scene.wordTweens[i].set(0.f, 1.f, 0.25f, EaseType::BackOut, 0.f);
    }
    musicManager.play("totally_not_trobisk", false);
    return scene;
}
} // namespace

SceneId titleWordsScene(sf::RenderTarget& target, float dt)
{
    static TitleWords scene = setUp();

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
        return 3;
    if (scene.currentBeat >= 0)
        scene.flash = 1.f;

    // The background runs four times faster than the scene and flashes red and blue.
    perlinShader.setUniform("iTime", scene.timer * 4.f);
    perlinShader.setUniform("r", scene.flash);
    perlinShader.setUniform("b", scene.flash);
    drawIfPresent(target, blackSprite(), sf::RenderStates(&perlinShader));
    for (int i = 0; i < wordCount; ++i)
    {
        if (!scene.wordVisible[i])
            continue;
        if (words[i].shader)
            drawIfPresent(target, scene.wordSprites[i], sf::RenderStates(words[i].shader));
        else
            drawIfPresent(target, scene.wordSprites[i]);
    }
    // The peepholes scroll for the next frame's drawing.
    scrollPeephole(textShader, scene.timer);
    scrollPeephole(rainbowShader, scene.timer);
    return 2;
}
