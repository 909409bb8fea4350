#include "assets/ParticleManager.hpp"

#include "assets/Manifest.hpp"

#include <iostream>

ParticleManager::ParticleManager(const SpriteManager& sprites) : sprites(sprites) {}

bool ParticleManager::load(const std::string& path)
{
    const ManifestFormat format{"ParticleManager", "particlesystems", "file", "FILE",
                                "ParticleManager: Missing properties in particlesfile."};
    return loadManifest(path, format,
                        [this](const std::string& key, const nlohmann::json& entry)
                        {
                            const std::string file = readProperty<std::string>(entry, "file", "");
                            // A count below 1 is reported by the system itself once its
                            // definition has loaded, so a missing file stays a single line.
                            const int instances = readProperty<int>(entry, "instances", 100);
                            ParticleSystem system;
                            if (!system.loadFromFile(file, instances, sprites))
                                return;
                            systems[key] = std::move(system);
                        });
}

ParticleSystem* ParticleManager::get(const std::string& key)
{
    const auto found = systems.find(key);
    if (found == systems.end())
    {
        std::cerr << "ParticleManager: ParticleSystem with key " << key << " does not exist." << std::endl;
        return nullptr;
    }
    return &found->second;
}
