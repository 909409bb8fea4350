#pragma once

#include <SFML/Audio/Music.hpp>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

/// One music track as the manifest describes it; the file is opened only when played.
struct MusicEntry
{
    std::string file;
    int volume = 100;
    double loopTo = 0.0;      ///< loop start, milliseconds
    double loopLength = -1.0; ///< always -1: the loop runs from loopTo to the end
};

/// Registry of music tracks and owner of the one streaming player of the demo.
class MusicManager
{
public:
    /// Told of every track that play() has started, with its key and looping, after the
    /// player has started it; a key or file that fails is not told. Empty in the demo; the
    /// capture tool records the demo's music through it.
    std::function<void(const std::string& key, bool loop)> onPlay;

    /// Records every entry of the manifest at path (top-level key "music", required
    /// property "file", optional "volume" (100) and "loopTo" (0 ms)). No audio file is
    /// opened here; a later entry of the same key replaces an earlier one. Returns false
    /// when the manifest cannot be opened or has no "music" key.
    bool load(const std::string& path);

    /// Opens the key's file in the shared player, sets its volume, looping and loop
    /// start, and starts it, replacing whatever was playing. An unregistered key writes
    /// "MusicManager: Song with key <key> does not exist."; a file that cannot be opened
    /// writes "MusicManager: Unable to load music file <file>."; either way nothing starts.
    void play(const std::string& key, bool loop);

    /// Returns the recorded entry, or null without a message (for inspection).
    const MusicEntry* entry(const std::string& key) const;

    /// The shared player, for reading its state.
    const sf::Music& player() const { return musicPlayer; }

    /// The shared player, for a tool that steers playback (the maker's player pauses, seeks and
    /// slows it to follow its own clock). The demo never calls it.
    sf::Music& player() { return musicPlayer; }

private:
    std::unordered_map<std::string, std::unique_ptr<MusicEntry>> entries;
    sf::Music musicPlayer;
};
