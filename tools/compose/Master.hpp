#pragma once

#include "Synth.hpp"

#include <vector>

/// The channels of one piece of audio, each a vector of float samples of the same length.
using Channels = std::vector<std::vector<float>*>;

/// What libebur128 hears in a piece of audio, and its DC offset.
struct LoudnessReport
{
    double integrated = 0.0;       ///< integrated loudness in LUFS (-inf for silence or under 0.4 s)
    double range = 0.0;            ///< loudness range in LU
    double truePeakDb = 0.0;       ///< highest true peak of any channel in dBTP
    double loudestMomentary = 0.0; ///< highest 400 ms loudness in LUFS, trailing silence counted
    double worstDcOffset = 0.0;    ///< mean sample of the channel furthest from zero, full scale 1
};

/// Measures channels (mono or stereo at sampleRate) with libebur128. withRange and withPeak
/// add the slower loudness-range and true-peak measurements; without them those stay 0.
LoudnessReport measureLoudness(const Channels& channels, bool withRange, bool withPeak);

/// Removes DC and rumble: a Butterworth high-pass at cutoff hertz, run twice (24 dB per octave).
void highPass(const Channels& channels, double cutoff);

/// A stereo-linked bus compressor: above thresholdDb (full scale 0 dB) the level rises only
/// 1/ratio as fast; the detector follows peaks with attackSeconds and falls back with
/// releaseSeconds. Gains stay at or below unity: no make-up.
void compressBus(const Channels& channels, double thresholdDb, double ratio, double attackSeconds,
                 double releaseSeconds);

/// The highest absolute value of any channel at each sample frame and at the three points
/// between it and the next (four times oversampled, windowed-sinc interpolation).
std::vector<float> oversampledPeaks(const Channels& channels);

/// A look-ahead true-peak limiter, applied in place: the gain drops smoothly ahead of every
/// stretch whose oversampled peak would pass ceilingDb and recovers over releaseSeconds. The
/// gain is the same on every channel, so the stereo image stays put. Between samples the
/// smoothed gain lags the exact one a little, which leaves overs of hundredths of a dB: each
/// further pass (up to passes) measures again and takes in what is left. peaks may hand in
/// oversampledPeaks() of channels as they are, to spare the first measurement.
void limitTruePeak(const Channels& channels, double ceilingDb, double releaseSeconds, int passes = 3,
                   std::vector<float> peaks = {});

/// Multiplies every sample of channels by the linear gain.
void applyGain(const Channels& channels, double gain);
