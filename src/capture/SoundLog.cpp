#include "capture/SoundLog.hpp"

#include "assets/MusicManager.hpp"
#include "assets/SoundManager.hpp"
#include "capture/VideoExport.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/OutputSoundFile.hpp>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>

SoundLog::SoundLog(SoundManager& soundRegistry, MusicManager& musicRegistry)
    : sounds(soundRegistry), music(musicRegistry)
{
    sounds.onPlayback = [this](const std::string& key, bool started)
    {
        recorded.push_back(
            {started ? SoundCue::Kind::effectStart : SoundCue::Kind::effectStop, currentFrame, key, false});
    };
    music.onPlay = [this](const std::string& key, bool loop) {
        recorded.push_back({SoundCue::Kind::musicStart, currentFrame, key, loop});
    };
}

SoundLog::~SoundLog()
{
    sounds.onPlayback = nullptr;
    music.onPlay = nullptr;
}

namespace
{
/// Decoded sound as stereo floats at the mix rate.
using StereoSamples = std::vector<float>;

StereoSamples toStereo(const sf::Int16* samples, std::size_t count, unsigned channels, unsigned rate,
                       float volume)
{
    StereoSamples out;
    if (channels == 0 || rate == 0 || count < channels)
        return out;
    const std::size_t frames = count / channels;
    const double step = static_cast<double>(rate) / mixSampleRate;
    const auto outFrames = static_cast<std::size_t>(std::floor(static_cast<double>(frames - 1) / step)) + 1;
    out.resize(outFrames * 2);
    const float scale = volume / 32768.f;
    auto at = [&](std::size_t frame, unsigned channel)
    { return static_cast<float>(samples[frame * channels + std::min(channel, channels - 1)]); };
    for (std::size_t i = 0; i < outFrames; ++i)
    {
        // Linear interpolation between neighbouring source frames; exact when the rates match.
        const double position = static_cast<double>(i) * step;
        const auto before = static_cast<std::size_t>(position);
        const std::size_t after = std::min(before + 1, frames - 1);
        const auto weight = static_cast<float>(position - static_cast<double>(before));
        for (unsigned channel = 0; channel < 2; ++channel)
            out[i * 2 + channel] =
                scale * (at(before, channel) * (1.f - weight) + at(after, channel) * weight);
    }
    return out;
}

bool decodeFile(const std::string& file, float volume, StereoSamples& out)
{
    sf::InputSoundFile input;
    if (!input.openFromFile(file))
        return false;
    std::vector<sf::Int16> samples(static_cast<std::size_t>(input.getSampleCount()));
    samples.resize(static_cast<std::size_t>(input.read(samples.data(), samples.size())));
    out = toStereo(samples.data(), samples.size(), input.getChannelCount(), input.getSampleRate(), volume);
    return true;
}

/// One sound playing in the mix from sample start (a stereo frame index) up to end.
struct Voice
{
    const StereoSamples* source = nullptr;
    long start = 0;
    long end = 0;
    bool loop = false;
    long loopFrom = 0; ///< stereo frame the loop goes back to
    std::string key;
    bool music = false;
};
} // namespace

SoundMix mixCues(const std::vector<SoundCue>& cues, const SoundManager& sounds, const MusicManager& music,
                 double frameSeconds, long frameCount)
{
    SoundMix mix;
    const auto totalFrames =
        static_cast<long>(std::llround(static_cast<double>(frameCount) * frameSeconds * mixSampleRate));
    if (totalFrames <= 0)
        return mix;
    mix.samples.assign(static_cast<std::size_t>(totalFrames) * 2, 0.f);

    // Decoded once per key, effects and music apart; map nodes stay put, so voices keep pointers.
    std::map<std::string, StereoSamples> decoded;

    std::vector<Voice> voices;
    auto cut = [&](bool musicVoice, const std::string& key, long at)
    {
        for (Voice& voice : voices)
            if (voice.music == musicVoice && (musicVoice || voice.key == key) && voice.end > at)
                voice.end = at;
    };
    for (const SoundCue& cue : cues)
    {
        const long at = std::llround(static_cast<double>(cue.frame - 1) * frameSeconds * mixSampleRate);
        const bool isMusic = cue.kind == SoundCue::Kind::musicStart;
        cut(isMusic, cue.key, at);
        if (cue.kind == SoundCue::Kind::effectStop)
            continue;

        const std::string name = (isMusic ? "music:" : "sound:") + cue.key;
        long loopFrom = 0;
        if (decoded.count(name) == 0)
        {
            StereoSamples fresh;
            if (isMusic)
            {
                const MusicEntry* track = music.entry(cue.key);
                if (!track || !decodeFile(track->file, static_cast<float>(track->volume) / 100.f, fresh))
                {
                    std::cerr << "SoundLog: cannot decode the music of " << cue.key << "; it is left out."
                              << std::endl;
                }
            }
            else
            {
                const SoundEntry* entry = sounds.entry(cue.key);
                if (!entry)
                    std::cerr << "SoundLog: no sound " << cue.key << "; it is left out." << std::endl;
                else
                    fresh = toStereo(entry->buffer.getSamples(),
                                     static_cast<std::size_t>(entry->buffer.getSampleCount()),
                                     entry->buffer.getChannelCount(), entry->buffer.getSampleRate(), 1.f);
            }
            // A source that failed stays empty, so it is reported once and mixes as silence.
            decoded.emplace(name, std::move(fresh));
        }
        if (isMusic)
        {
            // The player's loop points are whole milliseconds, truncated like the player's own.
            if (const MusicEntry* track = music.entry(cue.key))
                loopFrom =
                    static_cast<long>(std::trunc(track->loopTo)) * static_cast<long>(mixSampleRate) / 1000;
        }
        Voice voice;
        voice.source = &decoded[name];
        voice.start = at;
        voice.end = totalFrames;
        voice.loop = cue.loop;
        voice.loopFrom = loopFrom;
        voice.key = cue.key;
        voice.music = isMusic;
        voices.push_back(voice);
    }

    for (const Voice& voice : voices)
    {
        const auto length = static_cast<long>(voice.source->size() / 2);
        if (length == 0)
            continue;
        const long loopFrom = std::clamp(voice.loopFrom, 0L, length - 1);
        // A sound started before the mix begins (a capture from the middle of the demo) is
        // picked up where it has got to by then.
        long position = std::max(0L, -voice.start);
        if (position >= length)
        {
            if (!voice.loop)
                continue;
            position = loopFrom + (position - length) % (length - loopFrom);
        }
        for (long frame = std::max(voice.start, 0L); frame < voice.end && frame < totalFrames; ++frame)
        {
            if (position >= length)
            {
                if (!voice.loop)
                    break;
                position = loopFrom;
            }
            mix.samples[static_cast<std::size_t>(frame) * 2] +=
                (*voice.source)[static_cast<std::size_t>(position) * 2];
            mix.samples[static_cast<std::size_t>(frame) * 2 + 1] +=
                (*voice.source)[static_cast<std::size_t>(position) * 2 + 1];
            ++position;
        }
    }

    for (float sample : mix.samples)
        mix.rawPeak = std::max(mix.rawPeak, std::fabs(sample));
    // One gain for the whole track keeps the balance between music and effects; a limiter
    // working sample by sample would pump on every bounce.
    if (mix.rawPeak > mixCeiling)
    {
        mix.gain = mixCeiling / mix.rawPeak;
        for (float& sample : mix.samples)
            sample *= mix.gain;
    }
    return mix;
}

bool writeMix(const SoundMix& mix, const std::string& path)
{
    std::vector<sf::Int16> samples(mix.samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<sf::Int16>(std::lround(std::clamp(mix.samples[i], -1.f, 1.f) * 32767.f));
    {
        sf::OutputSoundFile output;
        if (!output.openFromFile(path, mixSampleRate, 2))
        {
            std::cerr << "SoundLog: cannot write the sound track " << path << "." << std::endl;
            return false;
        }
        output.write(samples.data(), samples.size());
    } // closed here, which writes the rest
    // The sound file writer reports no failed write: a short file tells.
    std::error_code error;
    const std::uintmax_t wanted = samples.size() * sizeof(sf::Int16);
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size < wanted)
    {
        std::cerr << "SoundLog: cannot write the sound track " << path << ": "
                  << (diskFullAt(path, wanted) ? "the disk is full" : "it came out short") << "."
                  << std::endl;
        return false;
    }
    return true;
}
