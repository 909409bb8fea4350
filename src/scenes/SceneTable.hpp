#pragma once

#include "runtime/MainLoop.hpp"

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

/// Scene 10: perlin clouds tinted per beat, "baba" and "finger" dropping away and twenty
/// bubbles entering one per beat; hands over to 11 on its 23rd beat (~6 s).
SceneId bubblesScene(sf::RenderTarget& target, float dt);

/// Scene 11: the moire pulsing on the beat while the bubbles take turns jumping; hands over
/// to 12 on its 36th beat (~12 s).
SceneId moireScene(sf::RenderTarget& target, float dt);

/// Scene 12: the triangle lattice and the "2024 1 quad shaders" scroller, then a fade to
/// black; returns 666, the end of the demo, on its 42nd beat (~26.9 s).
SceneId triangleFinaleScene(sf::RenderTarget& target, float dt);
