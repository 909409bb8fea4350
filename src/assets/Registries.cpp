#include "assets/Registries.hpp"

#include "assets/Manifest.hpp"

// SFML's error stream is built on first use. Building it here, before the registries,
// has it destroyed after them: sounds whose OpenAL source failed report it again when
// they are destroyed at exit.
static const bool sfmlErrorsOutliveRegistries = holdSfmlErrorStream();

// Defined in one translation unit so that they are built in this order and destroyed in
// the reverse one: sprites go before the textures they point at.
TextureManager textureManager;
SpriteManager spriteManager(textureManager);
SoundManager soundManager;
MusicManager musicManager;
ParticleManager particleManager(spriteManager);
