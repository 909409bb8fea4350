#pragma once

#include <string>
#include <vector>

class SoundManager;
class MusicManager;

/// One start or stop of a sound that a frame of the demo made.
struct SoundCue
{
    enum class Kind
    {
        effectStart,
        effectStop,
        musicStart
    };
    Kind kind = Kind::effectStart;
    long frame = 0;    ///< the frame that made it, 1 for the first frame rendered
    std::string key;   ///< the registry key
    bool loop = false; ///< music only: the track loops
};

/// Records every effect start and stop and every music start that the registries carry
/// out, stamped with the frame being rendered. Recording begins on construction and ends
/// on destruction; the registries' observers are left empty again.
class SoundLog
{
public:
    /// Starts recording: sets the observers of sounds and music, replacing any they had.
    SoundLog(SoundManager& sounds, MusicManager& music);
    /// Stops recording: leaves both observers empty again.
    ~SoundLog();
    SoundLog(const SoundLog&) = delete;
    SoundLog& operator=(const SoundLog&) = delete;

    /// The frame that later cues belong to (1 for the first frame rendered).
    void setFrame(long frame) { currentFrame = frame; }

    /// Everything recorded so far, in the order it happened.
    const std::vector<SoundCue>& cues() const { return recorded; }

private:
    SoundManager& sounds;
    MusicManager& music;
    long currentFrame = 0;
    std::vector<SoundCue> recorded;
};

/// The sample rate of the offline mix.
constexpr unsigned mixSampleRate = 44100;

/// The loudest sample the mix may hold: 1 dB below full scale, headroom for the AAC encoder.
constexpr float mixCeiling = 0.891f;

/// An offline mix: interleaved stereo samples (-1..1) at mixSampleRate.
struct SoundMix
{
    std::vector<float> samples;
    float rawPeak = 0.f; ///< the loudest sample of the plain sum, before the gain
    float gain = 1.f;    ///< applied to the sum so that no sample passes mixCeiling
};

/// Mixes cues offline into frameCount frames of frameSeconds each. A cue made by frame n
/// starts at the instant frame n is shown, (n - 1) x frameSeconds: the first frame shows at
/// 0; a cue of frame 0 or before started earlier and is heard from where it has got to. Effects play their
/// registered buffer from the start once, cut short by a later start or a stop of the same key (the registry
/// restarts one instance); music is decoded from its file with its volume, plays once or loops from its loop
/// start, and is replaced by the next music start. The sum is scaled down as a whole when it would pass
/// mixCeiling. A key that is not registered or a music file that cannot be read is reported and left out.
SoundMix mixCues(const std::vector<SoundCue>& cues, const SoundManager& sounds, const MusicManager& music,
                 double frameSeconds, long frameCount);

/// Writes mix as a 16-bit stereo WAV file. Returns false (with a message) when it cannot.
bool writeMix(const SoundMix& mix, const std::string& path);
