#include "Master.hpp"

#include <algorithm>
#include <cmath>
#include <deque>
#include <ebur128.h>
#include <memory>

namespace
{
constexpr double pi = 3.14159265358979323846;

// Taps either side of the point being interpolated: 16 per point, more than the 12 of the
// true-peak meter in ITU-R BS.1770.
constexpr int halfTaps = 8;
constexpr int oversampling = 4;

// Windowed-sinc coefficients for the points 1/4, 2/4 and 3/4 of the way to the next sample.
struct Interpolator
{
    double taps[oversampling - 1][2 * halfTaps];

    Interpolator()
    {
        for (int phase = 1; phase < oversampling; ++phase)
        {
            double sum = 0.0;
            for (int k = 0; k < 2 * halfTaps; ++k)
            {
                // Distance from the interpolated point to sample (k - halfTaps + 1).
                const double distance = (k - halfTaps + 1) - static_cast<double>(phase) / oversampling;
                const double sinc = std::sin(pi * distance) / (pi * distance);
                const double window = 0.5 + 0.5 * std::cos(pi * distance / (halfTaps + 0.5));
                taps[phase - 1][k] = sinc * window;
                sum += taps[phase - 1][k];
            }
            for (int k = 0; k < 2 * halfTaps; ++k)
                taps[phase - 1][k] /= sum;
        }
    }
};

} // namespace

std::vector<float> oversampledPeaks(const Channels& channels)
{
    static const Interpolator interpolator;
    const std::size_t frames = channels.front()->size();
    std::vector<float> peaks(frames, 0.0f);
    // The channel with zeros either side, so that every interpolation reads the same taps.
    std::vector<float> padded(frames + 2 * halfTaps, 0.0f);
    std::vector<float> value(frames);
    for (const std::vector<float>* channel : channels)
    {
        std::copy(channel->begin(), channel->end(), padded.begin() + (halfTaps - 1));
        for (std::size_t n = 0; n < frames; ++n)
            peaks[n] = std::max(peaks[n], std::fabs((*channel)[n]));
        for (int phase = 0; phase < oversampling - 1; ++phase)
        {
            // Tap by tap over the whole channel: plain multiply-adds the compiler can run
            // several at a time.
            std::fill(value.begin(), value.end(), 0.0f);
            for (int k = 0; k < 2 * halfTaps; ++k)
            {
                const float tap = static_cast<float>(interpolator.taps[phase][k]);
                const float* from = padded.data() + k;
                for (std::size_t n = 0; n < frames; ++n)
                    value[n] += tap * from[n];
            }
            for (std::size_t n = 0; n < frames; ++n)
                peaks[n] = std::max(peaks[n], std::fabs(value[n]));
        }
    }
    return peaks;
}

namespace
{
// The minimum of values over [n - radius, n + radius] for every n (a monotonic queue).
std::vector<double> slidingMinimum(const std::vector<double>& values, std::size_t radius)
{
    const std::size_t count = values.size();
    std::vector<double> result(count);
    std::deque<std::size_t> window;
    std::size_t next = 0;
    for (std::size_t n = 0; n < count; ++n)
    {
        for (; next < count && next <= n + radius; ++next)
        {
            while (!window.empty() && values[window.back()] >= values[next])
                window.pop_back();
            window.push_back(next);
        }
        while (window.front() + radius < n)
            window.pop_front();
        result[n] = values[window.front()];
    }
    return result;
}

// The mean of values over [n - radius, n + radius], the ends padded with 1 (no reduction).
std::vector<double> slidingMean(const std::vector<double>& values, std::size_t radius)
{
    const long count = static_cast<long>(values.size());
    const long r = static_cast<long>(radius);
    auto valueAt = [&](long index) { return index < 0 || index >= count ? 1.0 : values[index]; };
    std::vector<double> result(values.size());
    double sum = 0.0;
    for (long k = -r; k <= r; ++k)
        sum += valueAt(k);
    for (long n = 0; n < count; ++n)
    {
        result[static_cast<std::size_t>(n)] = sum / static_cast<double>(2 * r + 1);
        sum += valueAt(n + r + 1) - valueAt(n - r);
    }
    return result;
}

struct Ebur128Deleter
{
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};
} // namespace

LoudnessReport measureLoudness(const Channels& channels, bool withRange, bool withPeak)
{
    LoudnessReport report;
    const unsigned int channelCount = static_cast<unsigned int>(channels.size());
    int mode = EBUR128_MODE_I;
    if (withRange)
        mode |= EBUR128_MODE_LRA;
    if (withPeak)
        mode |= EBUR128_MODE_TRUE_PEAK;
    std::unique_ptr<ebur128_state, Ebur128Deleter> state(ebur128_init(channelCount, sampleRate, mode));
    // A mono effect plays from both speakers at once.
    if (channelCount == 1)
        ebur128_set_channel(state.get(), 0, EBUR128_DUAL_MONO);

    const std::size_t frames = channels.front()->size();
    // 100 ms blocks, the step of the momentary loudness; trailing silence lets an effect
    // shorter than a block window be heard whole.
    const std::size_t block = sampleRate / 10;
    const std::size_t padded = frames + 4 * block;
    std::vector<float> interleaved(block * channelCount);
    report.loudestMomentary = -HUGE_VAL;
    for (std::size_t from = 0; from < padded; from += block)
    {
        const std::size_t count = std::min(block, padded - from);
        for (std::size_t i = 0; i < count; ++i)
            for (unsigned int c = 0; c < channelCount; ++c)
                interleaved[i * channelCount + c] = from + i < frames ? (*channels[c])[from + i] : 0.0f;
        ebur128_add_frames_float(state.get(), interleaved.data(), count);
        double momentary = -HUGE_VAL;
        if (ebur128_loudness_momentary(state.get(), &momentary) == EBUR128_SUCCESS)
            report.loudestMomentary = std::max(report.loudestMomentary, momentary);
    }
    ebur128_loudness_global(state.get(), &report.integrated);
    if (withRange)
        ebur128_loudness_range(state.get(), &report.range);
    if (withPeak)
    {
        double peak = 0.0;
        for (unsigned int c = 0; c < channelCount; ++c)
        {
            double channelPeak = 0.0;
            ebur128_true_peak(state.get(), c, &channelPeak);
            peak = std::max(peak, channelPeak);
        }
        report.truePeakDb = 20.0 * std::log10(std::max(peak, 1e-10));
    }
    for (const std::vector<float>* channel : channels)
    {
        double sum = 0.0;
        for (float sample : *channel)
            sum += sample;
        const double mean = frames == 0 ? 0.0 : sum / static_cast<double>(frames);
        if (std::fabs(mean) > std::fabs(report.worstDcOffset))
            report.worstDcOffset = mean;
    }
    return report;
}

void highPass(const Channels& channels, double cutoff)
{
    for (std::vector<float>* channel : channels)
        for (int pass = 0; pass < 2; ++pass)
            Biquad::highPass(cutoff, 0.7071).processInPlace(*channel);
}

void compressBus(const Channels& channels, double thresholdDb, double ratio, double attackSeconds,
                 double releaseSeconds)
{
    const double attack = 1.0 - std::exp(-1.0 / (attackSeconds * sampleRate));
    const double release = 1.0 - std::exp(-1.0 / (releaseSeconds * sampleRate));
    // A soft knee 6 dB wide, so that the gain bends into the ratio instead of snapping.
    const double knee = 6.0;
    double envelopeDb = -120.0;
    const std::size_t frames = channels.front()->size();
    for (std::size_t n = 0; n < frames; ++n)
    {
        float peak = 0.0f;
        for (const std::vector<float>* channel : channels)
            peak = std::max(peak, std::fabs((*channel)[n]));
        const double levelDb = 20.0 * std::log10(std::max(static_cast<double>(peak), 1e-6));
        envelopeDb += (levelDb - envelopeDb) * (levelDb > envelopeDb ? attack : release);
        const double over = envelopeDb - thresholdDb;
        double reductionDb = 0.0;
        if (over >= knee / 2.0)
            reductionDb = over * (1.0 - 1.0 / ratio);
        else if (over > -knee / 2.0)
            reductionDb = (1.0 - 1.0 / ratio) * (over + knee / 2.0) * (over + knee / 2.0) / (2.0 * knee);
        const float gain = static_cast<float>(std::pow(10.0, -reductionDb / 20.0));
        for (std::vector<float>* channel : channels)
            (*channel)[n] *= gain;
    }
}

void limitTruePeak(const Channels& channels, double ceilingDb, double releaseSeconds, int passes,
                   std::vector<float> peaks)
{
    const double ceiling = std::pow(10.0, ceilingDb / 20.0);
    // 1.5 ms each side: short enough not to dull the drums, long enough that the gain
    // moves smoothly between the samples the interpolator looks at.
    const std::size_t radius = static_cast<std::size_t>(0.0015 * sampleRate);
    const double recover = 1.0 - std::exp(-1.0 / (releaseSeconds * sampleRate));
    for (int pass = 0; pass < passes; ++pass)
    {
        if (pass > 0 || peaks.empty())
            peaks = oversampledPeaks(channels);
        if (*std::max_element(peaks.begin(), peaks.end()) <= ceiling)
            return;
        std::vector<double> needed(peaks.size());
        for (std::size_t n = 0; n < peaks.size(); ++n)
            needed[n] = peaks[n] > ceiling ? ceiling / peaks[n] : 1.0;
        // Every mean below covers only minima whose windows hold the frame itself, so the
        // smoothed gain never exceeds the gain that frame needs.
        const std::vector<double> smooth = slidingMean(slidingMinimum(needed, radius), radius);
        double gain = 1.0;
        for (std::size_t n = 0; n < smooth.size(); ++n)
        {
            gain = smooth[n] < gain ? smooth[n] : gain + (smooth[n] - gain) * recover;
            for (std::vector<float>* channel : channels)
                (*channel)[n] *= static_cast<float>(gain);
        }
    }
}

void applyGain(const Channels& channels, double gain)
{
    for (std::vector<float>* channel : channels)
        for (float& sample : *channel)
            sample = static_cast<float>(sample * gain);
}
