#pragma once

#include <SFML/Graphics/Sprite.hpp>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TextureManager;

/// Registry of ready-made sprites, filled once from "assets/sprites.json".
/// Each sprite refers to a texture of the texture registry given at construction.
/// Sprites are shared: a position or colour one user sets is seen by every other user.
class SpriteManager
{
public:
    /// The registry builds its sprites on textures looked up in textures, which must
    /// outlive it.
    explicit SpriteManager(const TextureManager& textures);

    /// Loads every entry of the manifest at path (top-level key "sprites", required
    /// property "texture"; optional originX, originY, rectX, rectY, rectW, rectH,
    /// autocenter and autocenter_place). An entry whose texture is not registered, or
    /// whose properties have the wrong type, is reported and skipped. Returns false when
    /// the manifest cannot be opened or has no "sprites" key.
    bool load(const std::string& path);

    /// Returns the sprite registered under key. If there is none, writes
    /// "SpriteManager: Sprite with key <key> does not exist." and returns null.
    sf::Sprite* get(const std::string& key) const;

    /// Tells whether key is registered; writes nothing.
    bool exists(const std::string& key) const;

    /// Gives every sprite back the position, origin, rectangle, scale, rotation and colour it
    /// was loaded with, at the same address.
    void restoreLoaded();

    /// Every sprite of the registry, in no particular order; they live as long as it does.
    std::vector<sf::Sprite*> all() const;

private:
    const TextureManager& textures;
    std::unordered_map<std::string, std::unique_ptr<sf::Sprite>> sprites;
    std::unordered_map<std::string, sf::Sprite> loaded; ///< each sprite as the manifest made it
};
