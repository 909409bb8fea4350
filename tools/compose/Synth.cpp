#include "Synth.hpp"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double pi = 3.14159265358979323846;

double polyBlep(double t, double dt)
{
    if (t < dt)
    {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt)
    {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// A feedback comb with a one-pole low-pass in the loop, the building block of the reverb.
class Comb
{
public:
    explicit Comb(std::size_t length) : line(length, 0.0f) {}
    float process(float input, float feedback, float damp)
    {
        const float out = line[index];
        store = out * (1.0f - damp) + store * damp;
        line[index] = input + store * feedback;
        index = (index + 1) % line.size();
        return out;
    }

private:
    std::vector<float> line;
    std::size_t index = 0;
    float store = 0.0f;
};

class AllPass
{
public:
    explicit AllPass(std::size_t length) : line(length, 0.0f) {}
    float process(float input)
    {
        const float delayed = line[index];
        const float out = delayed - input;
        line[index] = input + delayed * 0.5f;
        index = (index + 1) % line.size();
        return out;
    }

private:
    std::vector<float> line;
    std::size_t index = 0;
};
} // namespace

void StereoBuffer::add(long frame, float value, float pan)
{
    if (frame < 0 || static_cast<std::size_t>(frame) >= left.size())
        return;
    const double angle = (static_cast<double>(pan) + 1.0) * pi / 4.0;
    left[static_cast<std::size_t>(frame)] += value * static_cast<float>(std::cos(angle));
    right[static_cast<std::size_t>(frame)] += value * static_cast<float>(std::sin(angle));
}

Noise::Noise(std::uint32_t seed) : state(seed != 0 ? seed : 0x9e3779b9u) {}

float Noise::next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
}

double noteFrequency(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

double sawWave(double phase, double dt)
{
    return 2.0 * phase - 1.0 - polyBlep(phase, dt);
}

double pulseWave(double phase, double dt, double width)
{
    double shifted = phase + (1.0 - width);
    shifted -= std::floor(shifted);
    const double naive = phase < width ? 1.0 : -1.0;
    return naive + polyBlep(phase, dt) - polyBlep(shifted, dt);
}

void StateVariableFilter::tune(double cutoff, double damping)
{
    cutoff = std::clamp(cutoff, 20.0, sampleRate / 6.0);
    f = 2.0 * std::sin(pi * cutoff / sampleRate);
    q = std::clamp(damping, 0.1, 2.0);
}

void StateVariableFilter::process(double input)
{
    lowOut += f * bandOut;
    highOut = input - lowOut - q * bandOut;
    bandOut += f * highOut;
}

Biquad::Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0(b0 / a0), b1(b1 / a0), b2(b2 / a0), a1(a1 / a0), a2(a2 / a0)
{
}

namespace
{
struct Corner
{
    double cosine;
    double alpha;
};

Corner cornerOf(double frequency, double q)
{
    const double omega = 2.0 * pi * std::clamp(frequency, 5.0, sampleRate * 0.45) / sampleRate;
    return {std::cos(omega), std::sin(omega) / (2.0 * q)};
}
} // namespace

Biquad Biquad::lowPass(double cutoff, double q)
{
    const Corner c = cornerOf(cutoff, q);
    return Biquad((1.0 - c.cosine) / 2.0, 1.0 - c.cosine, (1.0 - c.cosine) / 2.0, 1.0 + c.alpha,
                  -2.0 * c.cosine, 1.0 - c.alpha);
}

Biquad Biquad::highPass(double cutoff, double q)
{
    const Corner c = cornerOf(cutoff, q);
    return Biquad((1.0 + c.cosine) / 2.0, -(1.0 + c.cosine), (1.0 + c.cosine) / 2.0, 1.0 + c.alpha,
                  -2.0 * c.cosine, 1.0 - c.alpha);
}

Biquad Biquad::bandPass(double centre, double q)
{
    const Corner c = cornerOf(centre, q);
    return Biquad(c.alpha, 0.0, -c.alpha, 1.0 + c.alpha, -2.0 * c.cosine, 1.0 - c.alpha);
}

Biquad Biquad::peaking(double centre, double q, double gainDb)
{
    const Corner c = cornerOf(centre, q);
    const double amplitude = std::pow(10.0, gainDb / 40.0);
    return Biquad(1.0 + c.alpha * amplitude, -2.0 * c.cosine, 1.0 - c.alpha * amplitude,
                  1.0 + c.alpha / amplitude, -2.0 * c.cosine, 1.0 - c.alpha / amplitude);
}

void Biquad::processInPlace(std::vector<float>& samples)
{
    for (float& sample : samples)
        sample = static_cast<float>(process(sample));
}

double noteEnvelope(double t, double length, double attack, double decay, double sustain, double release)
{
    if (t < 0.0 || t >= length + release)
        return 0.0;
    auto held = [&](double at)
    {
        if (at < attack)
            return at / attack;
        if (at < attack + decay)
            return 1.0 - (1.0 - sustain) * (at - attack) / decay;
        return sustain;
    };
    if (t < length)
        return held(t);
    return held(length) * (1.0 - (t - length) / release);
}

void applyReverb(StereoBuffer& send, float roomSize, float damping)
{
    // Comb lengths of the classic Schroeder/Moorer design, offset on the right for width.
    static const std::size_t combLengths[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const std::size_t allPassLengths[] = {556, 441, 341, 225};
    const std::size_t spread = 23;
    for (int channel = 0; channel < 2; ++channel)
    {
        std::vector<float>& samples = channel == 0 ? send.left : send.right;
        std::vector<Comb> combs;
        std::vector<AllPass> allPasses;
        for (std::size_t length : combLengths)
            combs.emplace_back(length + (channel == 1 ? spread : 0));
        for (std::size_t length : allPassLengths)
            allPasses.emplace_back(length + (channel == 1 ? spread : 0));
        for (float& sample : samples)
        {
            const float input = sample * 0.015f;
            float out = 0.0f;
            for (Comb& comb : combs)
                out += comb.process(input, roomSize, damping);
            for (AllPass& allPass : allPasses)
                out = allPass.process(out);
            sample = out;
        }
    }
}

void applyEcho(StereoBuffer& send, double delaySeconds, float feedback)
{
    const std::size_t delay = static_cast<std::size_t>(delaySeconds * sampleRate);
    if (delay == 0)
        return;
    // Each echo crosses to the other side, which spreads a voice panned near the middle.
    std::vector<float> lineLeft(delay, 0.0f);
    std::vector<float> lineRight(delay, 0.0f);
    std::size_t index = 0;
    for (std::size_t frame = 0; frame < send.frames(); ++frame)
    {
        const float echoLeft = lineLeft[index];
        const float echoRight = lineRight[index];
        lineLeft[index] = (send.left[frame] + send.right[frame]) * 0.5f + echoRight * feedback;
        lineRight[index] = echoLeft * feedback;
        send.left[frame] = echoLeft;
        send.right[frame] = echoRight;
        index = (index + 1) % delay;
    }
}
