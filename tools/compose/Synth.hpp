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

/// A second-order filter section (the audio-EQ cookbook's designs), run per sample.
class Biquad
{
public:
    /// A pass-through section.
    Biquad() = default;

    /// Low-pass at cutoff hertz; q 0.707 is Butterworth, flat up to the corner.
    static Biquad lowPass(double cutoff, double q);
    /// High-pass at cutoff hertz; q 0.707 is Butterworth.
    static Biquad highPass(double cutoff, double q);
    /// Band-pass around centre hertz with 0 dB at the centre; a larger q is narrower.
    static Biquad bandPass(double centre, double q);
    /// Bell boost (gainDb > 0) or cut around centre hertz, unity elsewhere.
    static Biquad peaking(double centre, double q, double gainDb);

    /// Filters one sample and returns the output.
    double process(double input)
    {
        const double output = b0 * input + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = input;
        y2 = y1;
        y1 = output;
        return output;
    }

    /// Runs every sample of samples through the section, in place.
    void processInPlace(std::vector<float>& samples);

private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2);

    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double x1 = 0.0;
    double x2 = 0.0;
    double y1 = 0.0;
    double y2 = 0.0;
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
