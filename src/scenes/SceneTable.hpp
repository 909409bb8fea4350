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
