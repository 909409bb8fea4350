#pragma once

#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

/// The most instances one sound key gets. Every instance holds an OpenAL source for the
/// whole run, and the driver has few of them for everything together (OpenAL Soft: 256,
/// shared with the music and every other key); past that the creation fails, and each
/// failed source is reported again when it is destroyed. play() only ever starts the
/// first instance, so 16 leaves room for many keys and costs nothing the demo uses.
constexpr int maxSoundInstances = 16;

/// One registered sound effect: its decoded samples and the sounds that play them.
struct SoundEntry
{
    sf::SoundBuffer buffer;
    std::vector<sf::Sound> sounds;
    int instanceCount = 0;
};

/// Registry of short sound effects, filled once from "assets/sounds.json".
class SoundManager
{
public:
    /// While true, play() and stop() of registered keys do nothing. Start-up sets it from
    /// the configuration's "sound" switch before the registries load.
    bool muted = false;

    /// Told of every start (started true) and stop that play() and stop() carry out, after
    /// the sound itself; keys that are not registered and calls while muted are not told.
    /// Empty in the demo; the capture tool records the demo's sounds through it.
    std::function<void(const std::string& key, bool started)> onPlayback;

    /// Told, in the same way, of every start and stop of a registered key that muted holds
    /// back. The maker's player notes what the steps of a seek would have started, so that it
    /// can start those sounds at their offsets once it is there.
    std::function<void(const std::string& key, bool started)> onMutedPlayback;

    /// Loads every entry of the manifest at path (top-level key "sounds", required
    /// property "file", optional "instances", default 1). An "instances" value below 1 is
    /// reported and raised to 1, one above maxSoundInstances reported and lowered to it. Entries that fail
    /// are reported and skipped. Returns false when the manifest cannot be opened or has no "sounds" key.
    bool load(const std::string& path);

    /// Restarts the key's first instance from the beginning. An unregistered key writes
    /// "SoundManager: Sound with key <key> does not exist." and does nothing else.
    void play(const std::string& key);

    /// Starts the key's first instance offset into the sound, as play() would have left it
    /// that long ago: nothing when the offset is past its end. Muted and unregistered keys as
    /// play().
    void playFrom(const std::string& key, sf::Time offset);

    /// Stops every instance of the key; an unregistered key is reported as by play().
    void stop(const std::string& key);

    /// Stops every instance of every key, quietly (no onPlayback), muted or not.
    void stopAll();

    /// Plays every instance of every key at pitch (1 as recorded, 0.5 an octave lower and at
    /// half the speed), those playing now and those started later; the maker's player slows
    /// the effects with the music.
    void setPitch(float pitch);

    /// Tells whether key is registered; writes nothing.
    bool exists(const std::string& key) const;

    /// Returns the registered entry, or null without a message (for inspection).
    const SoundEntry* entry(const std::string& key) const;

private:
    SoundEntry* find(const std::string& key);

    std::unordered_map<std::string, std::unique_ptr<SoundEntry>> entries;
    float pitch = 1.f;
};
