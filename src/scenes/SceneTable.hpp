#pragma once

#include "runtime/MainLoop.hpp"

class ElasticSprite;

/// The demo's scene routines by id, in the order they play:
/// 0, 1, 2, 3, 4, 5, 6, 65, 7, 8, 9, 10, 11, 12, then 666 ends the demo.
/// An id without a routine has no entry, so its frames stay black.
const SceneTable& demoScenes();

// Each routine draws one frame of its scene into target (the window), advancing the scene's
// own clocks by dt, and returns the id to run next frame (its own id to stay). A scene's
// state is created on its first call and kept for the rest of the run.

/// Scene 0: the two opening title cards, faded in and out; hands over to 1 after ~11.5 s.
SceneId openingCardsScene(sf::RenderTarget& target, float dt);

/// Scene 1: a white screen, seven logos thrown in turn, TV static at 15 s; hands over to 2
/// at 16 s or when the last logo has finished.
SceneId bouncingLogosScene(sf::RenderTarget& target, float dt);

/// Scene 2: starts the soundtrack and pops the ten title words in on the beat over a
/// flashing perlin background; hands over to 3 on its eleventh beat.
SceneId titleWordsScene(sf::RenderTarget& target, float dt);

/// Scene 3: the wobbling presentation card over the flaring laser; hands over to 4 on beat 29
/// (about 8.98 s) without drawing that frame.
SceneId presentationCardScene(sf::RenderTarget& target, float dt);

/// Gives the presentation card its shape at sceneTime: rocking rotation, 0.75 scale, the four
/// swinging corner offsets and the whole 1920 x 1080 picture. Scene 3 calls it every frame.
void shapePresentationCard(ElasticSprite& card, float sceneTime);

/// Scene 4: the Julia fractal with the seven title pieces and the magenta beat flash; hands
/// over to 5 on entry 11 (about 3.07 s) without drawing that frame.
SceneId juliaWordsScene(sf::RenderTarget& target, float dt);

/// Scene 5: the circles pulsing on the beat, then the logo and the star particles; hands over
/// to 6 on entry 34 (about 11.87 s) without drawing that frame.
SceneId circlesLogoScene(sf::RenderTarget& target, float dt);

/// Scene 6: the twelve cute pop-up pictures over the upside-down cute shader; draws the frame
/// on which entry 24 fires (about 11.95 s) in full and hands over to 65.
SceneId cutePicturesScene(sf::RenderTarget& target, float dt);

/// Scene 65: the six greetings scattering in and out over the cute background, in a gently
/// rocking layer1; hands over to 7 on its ninth beat (~12 s).
SceneId greetingsScene(sf::RenderTarget& target, float dt);

/// Scene 7: the flowers flashing on the beat, the shrinking inset and "how it started vs how
/// it ended"; hands over to 8 on its 35th beat (~12 s).
SceneId flowersBeatScene(sf::RenderTarget& target, float dt);

/// Scene 8: the flight over the field with the three scattering pictures and the flash
/// veil; hands over to 9 on its 41st flash beat (~12 s).
SceneId fieldFlightScene(sf::RenderTarget& target, float dt);

/// Scene 9: the breathing rainbow tunnel with "translate(); scale(); rotate();" and the
/// bobbing pictures; hands over to 10 on its 18th beat (~12 s).
SceneId rainbowTunnelScene(sf::RenderTarget& target, float dt);

/// Scene 10: perlin clouds tinted per beat, "baba" and "finger" dropping away and twenty
/// bubbles entering one per beat; hands over to 11 on its 23rd beat (~6 s).
SceneId bubblesScene(sf::RenderTarget& target, float dt);

/// Scene 11: the moire pulsing on the beat while the bubbles take turns jumping; hands over
/// to 12 on its 36th beat (~12 s).
SceneId moireScene(sf::RenderTarget& target, float dt);

/// Scene 12: the triangle lattice and the "2024 1 quad shaders" scroller, then a fade to
/// black; returns 666, the end of the demo, on its 42nd beat (~26.9 s).
SceneId triangleFinaleScene(sf::RenderTarget& target, float dt);
