#pragma once

#include "runtime/MainLoop.hpp"

class ElasticSprite;

/// The demo's scenes in the order they play, each with its name and routine: the one place
/// the chain is written. After the last one, 666 ends the demo. An id without a routine has
/// no entry, so its frames stay black.
const SceneTable& demoScenes();

/// The scene that follows id in demoScenes(): endOfDemo after the last one, and id itself
/// for an id that is not in the chain.
SceneId nextScene(SceneId id);

/// The name of scene id in demoScenes(); "" for an id that is not in it.
const char* sceneName(SceneId id);

// Each scene is two functions. Its update advances it by dt in demo's state, with no OpenGL
// call, and returns the id to run next step: its own to stay, nextScene of its own to hand
// over. Its draw makes the pictures of that state in target (the window) and changes nothing
// an update reads. A scene's state is made on its first update and kept in demo's state.

/// The opening cards' timeline: each wait, in seconds, passes one step (card 1 out of black,
/// to black, card 2 out of black, to black, hand over); each restarts the scene's clock.
constexpr float openingCardWaits[] = {1.5f, 4.f, 1.f, 4.f, 1.f};

/// The bouncing logos hand over once their clock has passed this many seconds (sooner when
/// the last logo has finished).
constexpr float bouncingLogosSeconds = 16.f;

/// Scene 0: the two opening title cards, faded in and out; hands over to 1 after ~11.5 s.
SceneId openingCardsUpdate(Demo& demo, float dt);
void openingCardsDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 1: a white screen, seven logos thrown in turn, TV static at 15 s; hands over to 2
/// at 16 s or when the last logo has finished.
SceneId bouncingLogosUpdate(Demo& demo, float dt);
void bouncingLogosDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 2: starts the soundtrack and pops the ten title words in on the beat over a
/// flashing perlin background; hands over to 3 on its eleventh beat.
SceneId titleWordsUpdate(Demo& demo, float dt);
void titleWordsDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 3: the wobbling presentation card over the flaring laser; hands over to 4 on beat 29
/// (about 8.98 s) without drawing that frame.
SceneId presentationCardUpdate(Demo& demo, float dt);
void presentationCardDraw(const Demo& demo, sf::RenderTarget& target);

/// Gives the presentation card its shape at sceneTime: rocking rotation, 0.75 scale, the four
/// swinging corner offsets and the whole 1920 x 1080 picture. Scene 3 calls it every frame.
void shapePresentationCard(ElasticSprite& card, float sceneTime);

/// Scene 4: the Julia fractal with the seven title pieces and the magenta beat flash; hands
/// over to 5 on entry 11 (about 3.07 s) without drawing that frame.
SceneId juliaWordsUpdate(Demo& demo, float dt);
void juliaWordsDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 5: the circles pulsing on the beat, then the logo and the star particles; hands over
/// to 6 on entry 34 (about 11.87 s) without drawing that frame.
SceneId circlesLogoUpdate(Demo& demo, float dt);
void circlesLogoDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 6: the twelve cute pop-up pictures over the upside-down cute shader; draws the frame
/// on which entry 24 fires (about 11.95 s) in full and hands over to 65.
SceneId cutePicturesUpdate(Demo& demo, float dt);
void cutePicturesDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 65: the six greetings scattering in and out over the cute background, in a gently
/// rocking turn (layer1Sprite's); hands over to 7 on its ninth beat (~12 s).
SceneId greetingsUpdate(Demo& demo, float dt);
void greetingsDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 7: the flowers flashing on the beat, the shrinking inset and "how it started vs how
/// it ended"; hands over to 8 on its 35th beat (~12 s).
SceneId flowersBeatUpdate(Demo& demo, float dt);
void flowersBeatDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 8: the flight over the field with the three scattering pictures and the flash
/// veil; hands over to 9 on its 41st flash beat (~12 s).
SceneId fieldFlightUpdate(Demo& demo, float dt);
void fieldFlightDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 9: the breathing rainbow tunnel with "translate(); scale(); rotate();" and the
/// bobbing pictures; hands over to 10 on its 18th beat (~12 s).
SceneId rainbowTunnelUpdate(Demo& demo, float dt);
void rainbowTunnelDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 10: perlin clouds tinted per beat, "baba" and "finger" dropping away and twenty
/// bubbles entering one per beat; hands over to 11 on its 23rd beat (~6 s).
SceneId bubblesUpdate(Demo& demo, float dt);
void bubblesDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 11: the moire pulsing on the beat while the bubbles take turns jumping; hands over
/// to 12 on its 36th beat (~12 s).
SceneId moireUpdate(Demo& demo, float dt);
void moireDraw(const Demo& demo, sf::RenderTarget& target);

/// Scene 12: the triangle lattice and the "2024 1 quad shaders" scroller, then a fade to
/// black; returns 666, the end of the demo, on its 42nd beat (~26.9 s).
SceneId triangleFinaleUpdate(Demo& demo, float dt);
void triangleFinaleDraw(const Demo& demo, sf::RenderTarget& target);
