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
