#pragma once

#include "assets/MusicManager.hpp"
#include "assets/ParticleManager.hpp"
#include "assets/SoundManager.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"

/// The program-wide registries. They are filled once at start-up, in this order, and
/// own every asset until the program exits.
extern TextureManager textureManager;
extern SpriteManager spriteManager;
extern SoundManager soundManager;
extern MusicManager musicManager;
extern ParticleManager particleManager;
