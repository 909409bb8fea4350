#pragma once

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

/// The largest width or height of a picture the registry loads. The demo's pictures are at most
/// a screen wide; a side of 8192 leaves room and keeps one decoded picture under 256 MiB, where
/// a small file claiming 16384 x 16384 pixels would cost a GiB to decode and another to upload.
constexpr unsigned int maxPictureSide = 8192;

/// Width and height of the picture at path as its header gives them, read without decoding, for
/// PNG, JPEG, BMP, GIF and TGA. A header cut short is read as the decoder reads it, with zeros
/// past the end. Nothing for other files and files that cannot be read.
std::optional<sf::Vector2u> pictureSizeFromHeader(const std::string& path);

/// Registry of the demo's images, filled once from "assets/textures.json".
/// Every caller of get() with the same key receives the same texture object.
class TextureManager
{
public:
    /// Loads every entry of the manifest at path (top-level key "textures", required
    /// property "file", optional "repeated"). Entries that fail are reported on standard
    /// error and skipped, among them pictures with a side above maxPictureSide or above what
    /// the renderer can hold; PNG, JPEG, BMP, GIF and TGA files are measured from their header,
    /// before anything is decoded. Returns false when the manifest cannot be opened or has no
    /// "textures" key.
    bool load(const std::string& path);

    /// Starts decoding, on worker threads, every picture that the manifest at path names,
    /// so that a later load(path) only creates the textures (waiting for each picture in
    /// turn, in manifest order, with the same messages as ever). Writes nothing: a manifest
    /// or picture that cannot be read is left for load to find and report. Without it, load
    /// decodes on the calling thread.
    void startDecoding(const std::string& path);

    TextureManager() = default;
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;
    /// Waits for decoding still running.
    ~TextureManager();

    /// The smallest rectangle, in texture pixels, holding every pixel of the picture key that
    /// is not fully transparent (empty for a wholly transparent one); nothing for a key that
    /// is not registered. Found while the picture is decoded, so asking costs no OpenGL call.
    std::optional<sf::IntRect> opaqueBounds(const std::string& key) const;

    /// The one colour of every pixel of texture, when it is one of this registry's pictures and
    /// all its pixels are alike; nothing otherwise. Found while the picture is decoded.
    std::optional<sf::Color> flatColour(const sf::Texture* texture) const;

    /// Returns the texture registered under key. If there is none, writes
    /// "TextureManager: Texture with key <key> does not exist." and returns null.
    sf::Texture* get(const std::string& key) const;

    /// Tells whether key is registered; writes nothing.
    bool exists(const std::string& key) const;

    /// A picture decoded ahead of load; empty when it failed.
    struct Decoded
    {
        sf::Image image;
        sf::IntRect opaque;            ///< the image's opaque part, found by the decoding thread
        std::optional<sf::Color> flat; ///< its one colour, when every pixel has it
    };

private:
    std::unordered_map<std::string, std::unique_ptr<sf::Texture>> textures;
    std::unordered_map<std::string, sf::IntRect> opaque;            ///< opaqueBounds, by key
    std::unordered_map<const sf::Texture*, sf::Color> flat;         ///< flatColour, by texture
    std::unordered_map<std::string, std::future<Decoded>> decoding; ///< by file path
    std::vector<std::thread> workers;
    void joinWorkers();
};
