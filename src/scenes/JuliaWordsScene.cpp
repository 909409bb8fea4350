// Scene 4, the Julia fractal title words: a full-screen Julia set drifting through its
// shapes, tinted magenta and green on alternate beats, with the window flashing magenta
// behind it on every beat and the star particles still flying. The seven title pieces pop
// up over it: "ba" on the first frame, "flum" at 0.05 s, "doo" 0.25 s, "zin" 1.01 s,
// "gel" 1.21 s, "pop" 1.48 s, "tik" 1.75 s, each growing to full size in 0.35 s with an
// overshoot. The last flash is at 2.31 s; at 3.07 s (entry 11) the scene hands over to
// the circles without drawing that frame.
#include "fx/Tween.hpp"
#include "runtime/BeatTables.hpp"
#include "scenes/Demo.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"

#include <array>
#include <cmath>

namespace
{
constexpr SceneId thisScene = 4;
constexpr int pieceCount = 7;

const char* const pieceKeys[pieceCount] = {"flum", "ba", "doo", "zin", "gel", "pop", "tik"};

// Each piece's shader: the rainbow and dots peepholes alternate in pairs.
sf::Shader Resources::*const pieceShaders[pieceCount] = {
    &Resources::rainbowShader, &Resources::rainbowShader, &Resources::dotsShader, &Resources::dotsShader,
    &Resources::rainbowShader, &Resources::rainbowShader, &Resources::dotsShader};

// The piece whose pop each beat entry starts; -1: the entry only flashes.
constexpr int pieceOfEntry[] = {0, 1, 2, -1, -1, 3, 4, 5, 6, -1, -1};

struct JuliaWords
{
    float sceneTime = 0.f;
    BeatTrack beats{scheduleFor(thisScene).beats};
    float flash = 0.f;    // magenta window flash, 0..255
    int colourToggle = 0; // 1 after a magenta tint is turned into -1, so beats alternate
    std::array<sf::Sprite*, pieceCount> pieces{};
    std::array<Tween, pieceCount> wordPops;
    sf::Sprite* black = nullptr;
    bool over = false; // handed over on entry 11: that step draws nothing
};

JuliaWords setUp(Demo& demo)
{
    Resources& resources = demo.resources;
    JuliaWords scene;
    scene.black = resources.blackSprite();
    demo.state.uniforms.set(resources.dotsShader, "tilesAcross", dotsTilesAcross);
    for (int i = 0; i < pieceCount; ++i)
    {
        scene.pieces[i] = resources.spriteManager.get(pieceKeys[i]);
        if (scene.pieces[i])
        {
            scene.pieces[i]->setScale(0.f, 0.f);
            scene.pieces[i]->setPosition(960.f, 540.f);
        }
        scene.wordPops[i].set(0.f, 1.f, 0.35f, BackOut, 0.f);
    }
    return scene;
}
} // namespace

SceneId juliaWordsUpdate(Demo& demo, float dt)
{
    Resources& resources = demo.resources;
    DemoState& state = demo.state;
    JuliaWords& scene = state.sceneState<JuliaWords>(thisScene, [&] { return setUp(demo); });

    // The pops advance before the beat, so a pop started on a beat frame still shows scale 0
    // on that frame.
    for (int i = 0; i < pieceCount; ++i)
    {
        scene.wordPops[i].update(dt);
        const float v = scene.wordPops[i].getValue();
        if (scene.pieces[i])
            scene.pieces[i]->setScale(v, v);
    }
    scene.sceneTime += dt;
    if (scene.flash > 0.f)
    {
        scene.flash -= dt * 1020.f;
        if (scene.flash < 0.f)
            scene.flash = 0.f;
    }
    const int beat = scene.beats.poll(dt);
    if (beat == scene.beats.lastIndex())
    {
        scene.over = true;
        return nextScene(thisScene);
    }
    if (beat >= 0)
    {
        scene.flash = 255.f;
        scene.colourToggle += 1;
        if (scene.colourToggle == 1)
        {
            state.uniforms.set(resources.juliaShader, "fractalColor", sf::Glsl::Vec3(1.f, 0.f, 1.f));
            scene.colourToggle = -1;
        }
        else if (scene.colourToggle == 0)
        {
            state.uniforms.set(resources.juliaShader, "fractalColor", sf::Glsl::Vec3(0.f, 1.f, 0.f));
        }
        const int entries = static_cast<int>(sizeof(pieceOfEntry) / sizeof(pieceOfEntry[0]));
        if (beat < entries && pieceOfEntry[beat] >= 0)
            scene.wordPops[pieceOfEntry[beat]].start();
    }

    state.uniforms.set(resources.dotsShader, "xOffset", -scene.sceneTime * 0.125f);
    state.uniforms.set(resources.dotsShader, "yOffset", -scene.sceneTime * 0.25f);
    state.uniforms.set(resources.rainbowShader, "xOffset", -scene.sceneTime * 0.125f);
    state.uniforms.set(resources.rainbowShader, "yOffset", -scene.sceneTime * 0.25f);
    state.uniforms.set(resources.juliaShader, "fractalState", std::sin(scene.sceneTime / 3.f) * 0.5f + 0.5f);
    if (state.starParticles)
        state.starParticles->update(dt, state.random);
    return thisScene;
}

void juliaWordsDraw(const Demo& demo, sf::RenderTarget& target)
{
    Resources& resources = demo.resources;
    const DemoState& state = demo.state;
    const JuliaWords& scene = state.sceneState<JuliaWords>(thisScene);
    if (scene.over)
        return;
    // The magenta flash is the window's clear colour, showing through the fractal's
    // see-through outside.
    const sf::Uint8 flash = truncatedByte(scene.flash);
    target.clear(sf::Color(flash, 0, flash, 255));
    drawIfPresent(resources, target, scene.black, sf::RenderStates(&resources.juliaShader));
    if (state.starParticles)
        state.starParticles->draw(target);
    for (int i = 0; i < pieceCount; ++i)
        drawIfPresent(resources, target, scene.pieces[i], sf::RenderStates(&(resources.*pieceShaders[i])));
}
