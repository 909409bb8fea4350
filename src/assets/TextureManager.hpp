#pragma once

#include <SFML/Graphics/Texture.hpp>
#include <memory>
#include <string>
#include <unordered_map>

/// The largest width or height of a picture the registry loads. The demo's pictures are at most
/// a screen wide; a side of 8192 leaves room and keeps one decoded picture under 256 MiB, where
/// a small file claiming 16384 x 16384 pixels would cost a GiB to decode and another to upload.
constexpr unsigned int maxPictureSide = 8192;

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

    /// Returns the texture registered under key. If there is none, writes
    /// "TextureManager: Texture with key <key> does not exist." and returns null.
    sf::Texture* get(const std::string& key) const;

    /// Tells whether key is registered; writes nothing.
    bool exists(const std::string& key) const;

private:
    std::unordered_map<std::string, std::unique_ptr<sf::Texture>> textures;
};
