#pragma once

#include <cstdint>
#include <vector>

/// Sample rate of everything the composer writes.
constexpr int sampleRate = 44100;

/// A stereo buffer of float samples, zero-initialised, that voices are mixed into.
struct StereoBuffer
{
    std::vector<float> left;  ///< left channel, one float per sample frame
    std::vector<float> right; ///< right channel, as long as left

    /// A silent buffer of frames sample frames.
    explicit StereoBuffer(std::size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}

    /// Number of sample frames.
    std::size_t frames() const { return left.size(); }

    /// Adds value at frame with a constant-power pan (-1 left .. 1 right); frames outside
    /// the buffer are dropped.
    void add(long frame, float value, float pan);
};

/// A small deterministic noise source (xorshift), so repeated runs give the same bytes.
class Noise
{
public:
    /// A generator whose sequence is fixed by seed (0 is replaced by a fixed non-zero seed).
    explicit Noise(std::uint32_t seed);

    /// The next value, uniform in [-1, 1).
    float next();

private:
    std::uint32_t state;
};

/// Frequency in hertz of a MIDI note number (69 = A4 = 440 Hz); fractions detune.
double noteFrequency(double note);

/// Band-limited sawtooth at phase (0..1) for a phase step dt per sample (PolyBLEP).
double sawWave(double phase, double dt);

/// Band-limited square with the given pulse width (0..1) at phase (PolyBLEP).
double pulseWave(double phase, double dt, double width);

/// A two-pole state-variable filter, run per sample.
class StateVariableFilter
{
public:
    /// Sets the cut-off in hertz (clamped below a sixth of the sample rate) and the damping (0.1..2).
    void tune(double cutoff, double damping);

    /// Filters one sample; afterwards low(), band() and high() hold the three outputs.
    void process(double input);

    /// Low-pass output of the last process() call.
    double low() const { return lowOut; }
    /// Band-pass output of the last process() call.
    double band() const { return bandOut; }
    /// High-pass output of the last process() call.
    double high() const { return highOut; }

private:
    double f = 0.1;
    double q = 1.0;
    double lowOut = 0.0;
    double bandOut = 0.0;
    double highOut = 0.0;
};

/// An ADSR envelope of straight segments: the gain at time t (seconds from the note's start)
/// of a note held for length seconds. The attack and release ramps keep note edges free of
/// clicks; the result is 0 before 0 and from length + release on.
double noteEnvelope(double t, double length, double attack, double decay, double sustain, double release);

/// A stereo reverb of parallel comb filters and series all-pass filters, applied in place
/// to a send buffer (the output replaces the input: fully wet).
void applyReverb(StereoBuffer& send, float roomSize, float damping);

/// A ping-pong echo applied in place to a send buffer: the output replaces the input with
/// its echoes only (fully wet), each repeat feedback times the previous one.
void applyEcho(StereoBuffer& send, double delaySeconds, float feedback);
