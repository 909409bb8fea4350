#include "assets/SpriteManager.hpp"

#include "assets/Manifest.hpp"
#include "assets/TextureManager.hpp"

#include <iostream>

SpriteManager::SpriteManager(const TextureManager& textures) : textures(textures) {}

bool SpriteManager::load(const std::string& path)
{
    const ManifestFormat format{"SpriteManager", "sprites", "texture", "TEXTURE",
                                "SpriteManager: Missing properties in spritesfile."};
    return loadManifest(
        path, format,
        [this](const std::string& key, const nlohmann::json& entry)
        {
            // One statement per property: the order of the reads decides which wrongly typed
            // property a message names, and function arguments have no fixed order.
            sf::Vector2f origin;
            origin.x = readProperty<float>(entry, "originX", 0.f);
            origin.y = readProperty<float>(entry, "originY", 0.f);
            sf::IntRect rect;
            rect.left = readProperty<int>(entry, "rectX", 0);
            rect.top = readProperty<int>(entry, "rectY", 0);
            rect.width = readProperty<int>(entry, "rectW", -1);
            rect.height = readProperty<int>(entry, "rectH", -1);
            const bool autocenter = readProperty<bool>(entry, "autocenter", false);
            const bool autocenterPlace = readProperty<bool>(entry, "autocenter_place", false);
            const std::string textureKey = readProperty<std::string>(entry, "texture", "");

            const sf::Texture* texture = textures.get(textureKey);
            if (!texture)
            {
                std::cerr << "SpriteManager: Sprite [" << key << "] skipped, its texture " << textureKey
                          << " is not loaded." << std::endl;
                return;
            }

            // A picture still to come has no texture size yet.
            const sf::Vector2u size = textures.pictureSize(textureKey).value_or(sf::Vector2u());
            if (autocenter)
            {
                // Integer halves of the unsigned size: an odd width puts the origin on the
                // pixel to the left of the true centre.
                origin = sf::Vector2f(static_cast<float>(size.x / 2), static_cast<float>(size.y / 2));
                rect = sf::IntRect(0, 0, static_cast<int>(size.x), static_cast<int>(size.y));
            }
            const sf::Vector2f position =
                autocenterPlace ? sf::Vector2f(960.f, 540.f) : sf::Vector2f(0.f, 0.f);
            if (rect.width == -1)
                rect.width = static_cast<int>(size.x);
            if (rect.height == -1)
                rect.height = static_cast<int>(size.y);

            if (exists(key))
            {
                std::cerr << "SpriteManager: Sprite with key " << key << " already exists." << std::endl;
                return;
            }
            auto sprite = std::make_unique<sf::Sprite>();
            sprite->setTexture(*texture, true);
            sprite->setTextureRect(rect);
            sprite->setOrigin(origin);
            sprite->setPosition(position);
            loaded.emplace(key, *sprite);
            sprites.emplace(key, std::move(sprite));
        });
}

void SpriteManager::restoreLoaded()
{
    for (auto& [key, sprite] : sprites)
        *sprite = loaded.at(key);
}

std::vector<sf::Sprite*> SpriteManager::all() const
{
    std::vector<sf::Sprite*> all;
    for (const auto& entry : sprites)
        all.push_back(entry.second.get());
    return all;
}

sf::Sprite* SpriteManager::get(const std::string& key) const
{
    const auto found = sprites.find(key);
    if (found == sprites.end())
    {
        std::cerr << "SpriteManager: Sprite with key " << key << " does not exist." << std::endl;
        return nullptr;
    }
    return found->second.get();
}

bool SpriteManager::exists(const std::string& key) const
{
    return sprites.count(key) != 0;
}
