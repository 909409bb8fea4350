// flumbadoo-fuzz: a libFuzzer target that hands one input, as a file, to every reader of
// the demo's data files: the configuration, the five manifests and the particle
// definitions. The readers are the demo's own, compiled from the same sources.
#include "assets/Manifest.hpp"
#include "assets/MusicManager.hpp"
#include "assets/ParticleManager.hpp"
#include "assets/SoundManager.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"
#include "fx/ParticleSystem.hpp"
#include "runtime/Config.hpp"

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace
{
// Relative and short, so that a manifest the fuzzer writes can name the input itself as
// its particle definition or asset file (the dictionary holds this name).
const char* const inputName = "d.json";
} // namespace

/// Moves into a private empty folder: asset paths in the inputs then only ever reach the
/// input itself, never the shipped pictures or sounds, which would make every run slow.
/// The folder change comes before the fuzzer reads its arguments, so they must be absolute.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static char folder[] = "/tmp/flumbadoo-fuzz-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0)
        std::abort();
    std::atexit([] { std::filesystem::remove_all(folder); });
    // The first texture creates SFML's shared OpenGL context, and the driver keeps a few bytes
    // of it until exit; made here, they are not taken for a leak of the first input.
    static const sf::Texture openGlContext;
    // SFML opens the audio device with its first audio object and closes it with its last;
    // without one held here, every input would open and close the device again.
    static const sf::SoundBuffer audioDevice;
    return 0;
}

/// One input through every reader; the registries are fresh each time, so no input depends
/// on the ones before it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream file(inputName, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    loadConfig(inputName);

    TextureManager textures;
    textures.load(inputName);
    SpriteManager sprites(textures);
    sprites.load(inputName);
    SoundManager sounds;
    sounds.load(inputName);
    MusicManager music;
    music.load(inputName);
    ParticleManager particles(sprites);
    particles.load(inputName);

    // A definition's ranges and rates only show what they do once particles are born, so a
    // loaded system also runs a few frames, as the scenes run it.
    ParticleSystem system;
    if (system.loadFromFile(inputName, 100, sprites))
    {
        system.emitting = true;
        Random random;
        for (int frame = 0; frame < 4; ++frame)
            system.update(1.f / 60.f, random);
    }
    return 0;
}
