#include "assets/MusicManager.hpp"

#include "assets/Manifest.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>

bool MusicManager::load(const std::string& path)
{
    const ManifestFormat format{"MusicManager", "music", "file", "FILE",
                                "MusicManager: Missing properties in musicfile."};
    return loadManifest(path, format,
                        [this](const std::string& key, const nlohmann::json& entry)
                        {
                            auto track = std::make_unique<MusicEntry>();
                            track->file = readProperty<std::string>(entry, "file", "");
                            track->volume = readProperty<int>(entry, "volume", 100);
                            track->loopTo = readProperty<double>(entry, "loopTo", 0.0);
                            entries[key] = std::move(track);
                        });
}

void MusicManager::play(const std::string& key, bool loop)
{
    const auto found = entries.find(key);
    if (found == entries.end())
    {
        std::cerr << "MusicManager: Song with key " << key << " does not exist." << std::endl;
        return;
    }
    const MusicEntry& track = *found->second;
    bool opened = false;
    {
        QuietSfmlErrors quiet;
        // The decoders' format probing never returns from a folder.
        opened = isRegularFile(track.file) && plausibleSoundFile(track.file) &&
                 musicPlayer.openFromFile(track.file);
    }
    if (!opened)
    {
        std::cerr << "MusicManager: Unable to load music file " << track.file << "." << std::endl;
        return;
    }
    musicPlayer.setVolume(static_cast<float>(track.volume));
    musicPlayer.setLoop(loop);
    // Whole milliseconds in the library's 32-bit count: a manifest may hold any finite number,
    // and converting one outside that range is undefined, so it is clamped first (the player
    // then refuses a start beyond the track and loops all of it).
    const auto wholeMilliseconds = [](double value)
    {
        return sf::milliseconds(static_cast<sf::Int32>(
            std::clamp(std::trunc(value), static_cast<double>(std::numeric_limits<sf::Int32>::min()),
                       static_cast<double>(std::numeric_limits<sf::Int32>::max()))));
    };
    musicPlayer.setLoopPoints(
        sf::Music::TimeSpan(wholeMilliseconds(track.loopTo), wholeMilliseconds(track.loopLength)));
    musicPlayer.play();
    if (onPlay)
        onPlay(key, loop);
}

const MusicEntry* MusicManager::entry(const std::string& key) const
{
    const auto found = entries.find(key);
    return found == entries.end() ? nullptr : found->second.get();
}
