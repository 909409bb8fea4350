// flumbadoo-media-fuzz: a libFuzzer target that writes one input as each kind of media file the
// demo loads, in turn a picture, a sound effect, the music and the letters' font, and loads it
// through the demo's own registries and letter text, then draws or plays it once. The loaders are
// the demo's own, compiled from the same sources; the decoders behind them are SFML's.
#include "assets/MusicManager.hpp"
#include "assets/SoundManager.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"
#include "runtime/LetterText.hpp"

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{
const char* const mediaName = "m";
std::unique_ptr<sf::RenderTexture> target;

void write(const std::string& name, const std::string& text)
{
    std::ofstream(name, std::ios::binary | std::ios::trunc) << text;
}
} // namespace

/// Moves into a private folder and writes the manifests, each naming the input file, once.
/// The folder change comes before the fuzzer reads its arguments, so they must be absolute.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static char folder[] = "/tmp/flumbadoo-media-fuzz-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0)
        std::abort();
    std::atexit([] { std::filesystem::remove_all(folder); });
    write("textures.json", R"({"textures": {"picture": {"file": "m"}}})");
    write("sprites.json", R"({"sprites": {"picture": {"texture": "picture", "autocenter_place": true}}})");
    write("sounds.json", R"({"sounds": {"effect": {"file": "m", "instances": 1}}})");
    write("music.json", R"({"music": {"tune": {"file": "m", "volume": 100}}})");
    // Made once: the OpenGL context and the audio device stay for the whole run, and the driver's
    // few bytes of them are not taken for a leak of the first input.
    target = std::make_unique<sf::RenderTexture>();
    if (!target->create(64, 64))
        std::abort();
    static const sf::SoundBuffer audioDevice;
    return 0;
}

/// One input as every kind of media file; the registries are fresh each time.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    write(mediaName, std::string(reinterpret_cast<const char*>(data), size));
    target->clear();

    TextureManager textures;
    textures.load("textures.json");
    SpriteManager sprites(textures);
    sprites.load("sprites.json");
    if (sprites.exists("picture"))
        target->draw(*sprites.get("picture"));

    SoundManager sounds;
    sounds.load("sounds.json");
    sounds.play("effect");
    sounds.stopAll();

    MusicManager music;
    music.load("music.json");
    music.play("tune", false);
    music.player().stop();

    LetterText letters(target.get());
    letters.load(mediaName, 24, sf::Color::White, sf::Color::Black, 0.f, 32.f, 2.f);
    letters.setContent("Ab1-");
    letters.active = true;
    letters.draw();
    target->display();
    return 0;
}
