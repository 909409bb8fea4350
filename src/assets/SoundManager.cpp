#include "assets/SoundManager.hpp"

#include "assets/Manifest.hpp"

#include <iostream>

bool SoundManager::load(const std::string& path)
{
    const ManifestFormat format{"SoundManager", "sounds", "file", "FILE",
                                "SoundManager: Missing properties in soundsfile."};
    return loadManifest(
        path, format,
        [this](const std::string& key, const nlohmann::json& entry)
        {
            const std::string file = readProperty<std::string>(entry, "file", "");
            int instances = readProperty<int>(entry, "instances", 1);

            if (exists(key))
            {
                std::cerr << "SoundManager: Sound with key " << key << " already exists." << std::endl;
                return;
            }
            if (instances < 1)
            {
                // play() always starts instance 0, so every entry needs at least that one.
                std::cerr << "SoundManager: instances of [" << key << "] is " << instances << ", using 1."
                          << std::endl;
                instances = 1;
            }
            else if (instances > maxSoundInstances)
            {
                std::cerr << "SoundManager: instances of [" << key << "] is " << instances
                          << ", above the limit of " << maxSoundInstances << "; using " << maxSoundInstances
                          << "." << std::endl;
                instances = maxSoundInstances;
            }
            auto sound = std::make_unique<SoundEntry>();
            bool loaded = false;
            {
                QuietSfmlErrors quiet;
                // The decoders' format probing never returns from a folder.
                loaded = isRegularFile(file) && plausibleSoundFile(file) && sound->buffer.loadFromFile(file);
            }
            if (!loaded)
            {
                std::cerr << "SoundManager: Unable to load file " << file << "." << std::endl;
                return;
            }
            sound->instanceCount = instances;
            sound->sounds.resize(static_cast<std::size_t>(instances));
            for (sf::Sound& instance : sound->sounds)
            {
                instance.setBuffer(sound->buffer);
                instance.setPitch(pitch);
            }
            entries.emplace(key, std::move(sound));
        });
}

SoundEntry* SoundManager::find(const std::string& key)
{
    const auto found = entries.find(key);
    if (found == entries.end())
    {
        std::cerr << "SoundManager: Sound with key " << key << " does not exist." << std::endl;
        return nullptr;
    }
    return found->second.get();
}

void SoundManager::play(const std::string& key)
{
    SoundEntry* sound = find(key);
    if (sound && muted && onMutedPlayback)
        onMutedPlayback(key, true);
    if (!sound || muted)
        return;
    sound->sounds[0].stop();
    sound->sounds[0].play();
    if (onPlayback)
        onPlayback(key, true);
}

void SoundManager::playFrom(const std::string& key, sf::Time offset)
{
    SoundEntry* sound = find(key);
    if (!sound || muted || offset >= sound->buffer.getDuration())
        return;
    sound->sounds[0].stop();
    sound->sounds[0].play();
    sound->sounds[0].setPlayingOffset(offset);
    if (onPlayback)
        onPlayback(key, true);
}

void SoundManager::stop(const std::string& key)
{
    SoundEntry* sound = find(key);
    if (sound && muted && onMutedPlayback)
        onMutedPlayback(key, false);
    if (!sound || muted)
        return;
    for (sf::Sound& instance : sound->sounds)
        instance.stop();
    if (onPlayback)
        onPlayback(key, false);
}

void SoundManager::setPitch(float newPitch)
{
    pitch = newPitch;
    for (auto& [key, entry] : entries)
        for (sf::Sound& instance : entry->sounds)
            instance.setPitch(pitch);
}

void SoundManager::stopAll()
{
    for (auto& [key, entry] : entries)
        for (sf::Sound& instance : entry->sounds)
            instance.stop();
}

bool SoundManager::exists(const std::string& key) const
{
    return entries.count(key) != 0;
}

const SoundEntry* SoundManager::entry(const std::string& key) const
{
    const auto found = entries.find(key);
    return found == entries.end() ? nullptr : found->second.get();
}
