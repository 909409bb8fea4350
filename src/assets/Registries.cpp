#include "assets/Registries.hpp"

// Defined in one translation unit so that they are built in this order and destroyed in
// the reverse one: sprites go before the textures they point at.
TextureManager textureManager;
SpriteManager spriteManager(textureManager);
SoundManager soundManager;
MusicManager musicManager;
ParticleManager particleManager(spriteManager);
