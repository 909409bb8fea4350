#include "assets/TextureManager.hpp"

#include "assets/Manifest.hpp"

#include <iostream>

bool TextureManager::load(const std::string& path)
{
    const ManifestFormat format{"TextureManager", "textures", "file", "FILE",
                                "TextureManager: Missing properties in texturesfile."};
    return loadManifest(path, format,
                        [this](const std::string& key, const nlohmann::json& entry)
                        {
                            const std::string file = readProperty<std::string>(entry, "file", "");
                            const bool repeated = readProperty<bool>(entry, "repeated", false);

                            if (exists(key))
                            {
                                std::cerr << "TextureManager: Texture with key " << key << " already exists."
                                          << std::endl;
                                return;
                            }
                            auto texture = std::make_unique<sf::Texture>();
                            bool loaded = false;
                            {
                                QuietSfmlErrors quiet;
                                loaded = isRegularFile(file) && texture->loadFromFile(file);
                            }
                            if (!loaded)
                            {
                                std::cerr << "TextureManager: Unable to load file " << file << "."
                                          << std::endl;
                                return;
                            }
                            texture->setRepeated(repeated);
                            textures.emplace(key, std::move(texture));
                        });
}

sf::Texture* TextureManager::get(const std::string& key) const
{
    const auto found = textures.find(key);
    if (found == textures.end())
    {
        std::cerr << "TextureManager: Texture with key " << key << " does not exist." << std::endl;
        return nullptr;
    }
    return found->second.get();
}

bool TextureManager::exists(const std::string& key) const
{
    return textures.count(key) != 0;
}
