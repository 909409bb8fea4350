#include "Soundtrack.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
constexpr double twoPi = 6.28318530717958647692;

// Gain of a percussive voice rendered for total seconds: a short ramp in and out so that
// neither edge of the rendered span steps.
double edgeGain(double t, double total, double attack, double release)
{
    return std::max(0.0, std::min({1.0, t / attack, (total - t) / release}));
}

long sampleAt(double seconds)
{
    return std::lround(seconds * sampleRate);
}

struct Chord
{
    int bass;
    int notes[3];
};

const Chord chordAm{45, {57, 60, 64}};
const Chord chordF{41, {57, 60, 65}};
const Chord chordC{48, {55, 60, 64}};
const Chord chordG{43, {55, 59, 62}};
const Chord chordEm{40, {55, 59, 64}};
const Chord chordDm{38, {57, 62, 65}};

// One melody note: start and length in eighth notes from the phrase start, and the pitch.
struct MelodyNote
{
    int start;
    int length;
    int note;
};

// The hook, four bars over Am F C G: one motif stated, bent down, stated again and lifted,
// so that the second half answers the first.
const std::vector<MelodyNote> hookA = {{0, 1, 76},  {1, 1, 76},  {2, 1, 74},  {3, 2, 76},  {5, 1, 81},
                                       {6, 2, 79},  {8, 1, 77},  {9, 1, 76},  {10, 1, 74}, {11, 3, 72},
                                       {14, 2, 69}, {16, 1, 76}, {17, 1, 76}, {18, 1, 74}, {19, 2, 76},
                                       {21, 1, 79}, {22, 2, 84}, {24, 3, 83}, {27, 1, 79}, {28, 4, 74}};
// The same motif coming home to A over the last bar.
const std::vector<MelodyNote> hookB = {{0, 1, 76},  {1, 1, 76},  {2, 1, 74},  {3, 2, 76},  {5, 1, 81},
                                       {6, 2, 79},  {8, 1, 77},  {9, 1, 76},  {10, 1, 74}, {11, 3, 72},
                                       {14, 2, 69}, {16, 1, 76}, {17, 1, 76}, {18, 1, 74}, {19, 2, 76},
                                       {21, 1, 79}, {22, 2, 84}, {24, 2, 83}, {26, 2, 79}, {28, 4, 81}};
// Over F G Em Am, for the bell tune of the pop-up pictures.
const std::vector<MelodyNote> cuteTune = {{0, 2, 72},  {2, 2, 77},  {4, 2, 76},  {6, 2, 72},  {8, 4, 74},
                                          {12, 2, 71}, {14, 2, 74}, {16, 2, 76}, {18, 2, 79}, {20, 2, 83},
                                          {22, 2, 79}, {24, 6, 81}, {30, 2, 76}};
// Long notes over Dm F C G for the greetings and the flight.
const std::vector<MelodyNote> greetTune = {{0, 4, 77},  {4, 4, 76},  {8, 8, 72}, {16, 4, 79},
                                           {20, 4, 76}, {24, 6, 74}, {30, 2, 71}};

// How the beat hits of a scene sound: the full kit in the drops, a lighter kick without the
// snare under the title words, in the intro and in the builds, and a rim with a soft kick where the
// arrangement breaks down, so that every beat stays audible while the floor rises and falls.
enum class HitStyle
{
    full,
    building,
    light
};

HitStyle hitStyleOf(SceneId scene)
{
    switch (scene)
    {
    case 6:
    case 9:
        return HitStyle::light;
    case 2:
    case 3:
    case 4:
    case 65:
    case 10:
        return HitStyle::building;
    default:
        return HitStyle::full;
    }
}

class Composer
{
public:
    Composer(const DemoSchedule& schedule, std::size_t frames)
        : schedule(schedule), map(schedule, 0.375), drums(frames), hitBus(frames), dry(frames),
          reverbSend(frames), echoSend(frames), duck(frames, 1.0f), gap(frames, 1.0f), noise(0x5eed1234u)
    {
    }

    StereoBuffer render()
    {
        for (const Section& section : map.sections())
            arrange(section);
        const std::vector<Hit>& hits = map.hits();
        for (std::size_t i = 0; i < hits.size(); ++i)
        {
            // The hit voice is monophonic, like a drum machine's: the next hit chokes the
            // tail of this one shortly before it, so that every hit stands out clearly.
            const double length = i + 1 < hits.size() ? hits[i + 1].time - hits[i].time - 0.022 : 10.0;
            kit = &hitBus;
            playHit(hits[i], length);
            kit = &drums;
            clearTheWay(hits[i].time);
        }

        applyEcho(echoSend, 0.375 * 0.75, 0.35f);
        applyReverb(reverbSend, 0.84f, 0.3f);
        for (std::size_t i = 0; i < drums.frames(); ++i)
        {
            drums.left[i] = hitBus.left[i] + gap[i] * drums.left[i];
            drums.right[i] = hitBus.right[i] + gap[i] * drums.right[i];
        }
        // The drum noise stops short of the top octave, where it would only hiss.
        for (std::vector<float>* channel : {&drums.left, &drums.right})
            for (int pass = 0; pass < 2; ++pass)
                Biquad::lowPass(12000.0, 0.5412 + pass * 0.7654).processInPlace(*channel);
        StereoBuffer master(dry.frames());
        for (std::size_t i = 0; i < master.frames(); ++i)
        {
            const double gain = fadeGain(static_cast<double>(i) / sampleRate);
            // The tonal voices and their returns breathe under the kick.
            const double music = duck[i] * gap[i];
            master.left[i] = static_cast<float>(
                gain *
                (drums.left[i] + music * (dry.left[i] + echoSend.left[i] + 0.9f * reverbSend.left[i])));
            master.right[i] = static_cast<float>(
                gain *
                (drums.right[i] + music * (dry.right[i] + echoSend.right[i] + 0.9f * reverbSend.right[i])));
        }
        return master;
    }

private:
    const DemoSchedule& schedule;
    TempoMap map;
    StereoBuffer drums;
    StereoBuffer hitBus; // the hits on the beats, which nothing ducks
    // Where the kit's voices (kick, snare, rim, clap, tom) go: the drums, or the hits' own bus
    // while the hits on the beats are played.
    StereoBuffer* kit = &drums;
    StereoBuffer dry;
    StereoBuffer reverbSend;
    StereoBuffer echoSend;
    std::vector<float> duck;
    std::vector<float> gap; // everything but the hits, dipped just before each hit
    Noise noise;

    double fadeGain(double t) const
    {
        if (schedule.fadeStart < 0.0 || t < schedule.fadeStart)
            return 1.0;
        const double into = (t - schedule.fadeStart) / schedule.fadeSeconds;
        return into >= 1.0 ? 0.0 : 1.0 - into;
    }

    double at(const Section& section, double step) const { return map.time(section.firstStep + step); }

    // Pulls the tonal voices down by depth at t and lets them back over a quarter of a second.
    void pump(double t, double depth)
    {
        const long start = sampleAt(t);
        const long length = sampleAt(0.25);
        for (long i = 0; i < length; ++i)
        {
            const long frame = start + i;
            if (frame < 0 || static_cast<std::size_t>(frame) >= duck.size())
                continue;
            const double tt = static_cast<double>(i) / sampleRate;
            // A 4 ms slope down, so the duck itself does not click.
            const double shape = std::min(1.0, tt / 0.004) * (1.0 - tt / 0.25) * (1.0 - tt / 0.25);
            const float gain = static_cast<float>(1.0 - depth * shape);
            duck[static_cast<std::size_t>(frame)] = std::min(duck[static_cast<std::size_t>(frame)], gain);
        }
    }

    // Dips everything but the hits by 6 dB over the 20 ms before a hit at t and lets it back as
    // the hit sounds: the hit's attack rises out of a short gap, so it is heard on its frame
    // even in the busiest drop. Too short to be heard as a gap itself.
    void clearTheWay(double t)
    {
        const double lead = 0.032;
        const double slope = 0.010;
        const double back = 0.006;
        const float depth = 0.5f;
        for (long frame = sampleAt(t - lead); frame < sampleAt(t + back); ++frame)
        {
            if (frame < 0 || static_cast<std::size_t>(frame) >= gap.size())
                continue;
            const double s = static_cast<double>(frame) / sampleRate;
            const double shape = s < t ? std::min(1.0, (s - (t - lead)) / slope) : 1.0 - (s - t) / back;
            const float gain = static_cast<float>(1.0 - depth * std::clamp(shape, 0.0, 1.0));
            gap[static_cast<std::size_t>(frame)] = std::min(gap[static_cast<std::size_t>(frame)], gain);
        }
    }

    // ---- drums -------------------------------------------------------------------------

    // A sine dropping from about 160 Hz to 50 Hz with a band-passed click on top.
    void kick(double t, float gain, double maxLength)
    {
        const double total = std::min(0.45, maxLength);
        const long start = sampleAt(t);
        // Starting on the crest rather than the zero crossing puts the beater's full weight
        // into the first fraction of a millisecond.
        double phase = 0.25;
        Biquad click = Biquad::bandPass(3200.0, 0.9);
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            phase += (50.0 + 110.0 * std::exp(-tt / 0.03)) / sampleRate;
            const double body = std::tanh(1.6 * std::sin(twoPi * phase)) * std::exp(-tt / 0.16);
            const double snap = click.process(noise.next()) * 1.4 * std::exp(-tt / 0.004);
            const double value = (body + snap) * edgeGain(tt, total, 0.0001, 0.008) * gain;
            kit->add(start + i, static_cast<float>(value), 0.0f);
        }
    }

    // Two pitched body modes under noise band-passed around 3 kHz, the wires.
    void snare(double t, float gain, double maxLength)
    {
        const double total = std::min(0.3, maxLength);
        const long start = sampleAt(t);
        Biquad wires = Biquad::bandPass(3300.0, 0.7);
        Biquad low = Biquad::highPass(1200.0, 0.7);
        double phaseA = 0.0;
        double phaseB = 0.0;
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double drop = 1.0 + 0.25 * std::exp(-tt / 0.02);
            phaseA += 185.0 * drop / sampleRate;
            phaseB += 330.0 * drop / sampleRate;
            const double body =
                (std::sin(twoPi * phaseA) * 0.7 + std::sin(twoPi * phaseB) * 0.4) * std::exp(-tt / 0.05);
            const double buzz = low.process(wires.process(noise.next())) * 2.2 * std::exp(-tt / 0.085);
            const double value = (body + buzz) * edgeGain(tt, total, 0.0006, 0.01) * gain;
            kit->add(start + i, static_cast<float>(value), 0.05f);
            reverbSend.add(start + i, static_cast<float>(value * 0.35), 0.0f);
        }
    }

    // A short woody knock: a damped 1.1 kHz tone with a narrow burst of noise.
    void rim(double t, float gain, float pan, double maxLength)
    {
        const double total = std::min(0.12, maxLength);
        const long start = sampleAt(t);
        Biquad crack = Biquad::bandPass(2400.0, 1.5);
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double tone = std::sin(twoPi * 1100.0 * tt) * std::exp(-tt / 0.018);
            const double burst = crack.process(noise.next()) * 2.0 * std::exp(-tt / 0.006);
            const double value = (tone + burst) * edgeGain(tt, total, 0.0005, 0.01) * gain;
            kit->add(start + i, static_cast<float>(value), pan);
            reverbSend.add(start + i, static_cast<float>(value * 0.6), pan);
        }
    }

    void clap(double t, float gain, double maxLength)
    {
        const double total = std::min(0.3, maxLength);
        const long start = sampleAt(t);
        Biquad filter = Biquad::bandPass(1500.0, 1.1);
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            // Three quick bursts and a tail: the smear of many hands.
            double burst = std::exp(-tt / 0.09) * 0.6;
            for (double offset : {0.0, 0.011, 0.022})
                if (tt >= offset)
                    burst += std::exp(-(tt - offset) / 0.005);
            const double value =
                filter.process(noise.next()) * 1.5 * burst * edgeGain(tt, total, 0.0006, 0.008) * gain;
            kit->add(start + i, static_cast<float>(value), -0.1f);
            reverbSend.add(start + i, static_cast<float>(value * 0.7), 0.1f);
        }
    }

    // Noise band-passed around 9 kHz: a metallic tick, not a hiss across the whole band.
    void hat(double t, float gain, bool open)
    {
        const double total = open ? 0.3 : 0.06;
        const long start = sampleAt(t);
        Biquad band = Biquad::bandPass(8800.0, 1.2);
        Biquad low = Biquad::highPass(6000.0, 0.7);
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double value = low.process(band.process(noise.next())) * 2.0 *
                                 std::exp(-tt / (open ? 0.09 : 0.016)) * edgeGain(tt, total, 0.0008, 0.015) *
                                 gain;
            drums.add(start + i, static_cast<float>(value), 0.35f);
        }
    }

    // Noise band-passed around 5 to 6 kHz, spread wide; decay is the time it takes to fall to a
    // third (a splash rather than a crash where it is short).
    void crash(double t, float gain, double decay = 0.5)
    {
        const double total = std::min(3.0, decay * 6.0);
        const long start = sampleAt(t);
        Biquad left = Biquad::bandPass(5200.0, 0.6);
        Biquad right = Biquad::bandPass(6100.0, 0.6);
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double env = std::exp(-tt / decay) * edgeGain(tt, total, 0.001, 0.2) * gain;
            drums.add(start + i, static_cast<float>(left.process(noise.next()) * 1.6 * env), -0.6f);
            drums.add(start + i, static_cast<float>(right.process(noise.next()) * 1.6 * env), 0.6f);
        }
    }

    void tom(double t, int note, float gain, float pan, double maxLength = 0.3)
    {
        const double total = std::min(0.3, maxLength);
        const long start = sampleAt(t);
        const double frequency = noteFrequency(note);
        double phase = 0.0;
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            phase += frequency * (1.0 + 0.6 * std::exp(-tt / 0.03)) / sampleRate;
            const double value = std::sin(twoPi * phase) * std::exp(-tt / 0.11) *
                                 edgeGain(tt, total, 0.001, std::min(0.02, total / 2.0)) * gain;
            kit->add(start + i, static_cast<float>(value), pan);
            reverbSend.add(start + i, static_cast<float>(value * 0.4), pan);
        }
    }

    // ---- tonal voices ------------------------------------------------------------------

    void bass(double t0, double t1, int note, float gain)
    {
        const double length = t1 - t0;
        const double release = 0.015;
        const long start = sampleAt(t0);
        const double frequency = noteFrequency(note);
        const double dt = frequency / sampleRate;
        double phase = 0.0;
        double subPhase = 0.0;
        StateVariableFilter filter;
        for (long i = 0; i < sampleAt(length + release); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            filter.tune(220.0 + 1400.0 * std::exp(-tt / 0.07), 0.55);
            filter.process(sawWave(phase, dt) * 0.7 + pulseWave(subPhase, dt / 2.0, 0.5) * 0.5);
            phase += dt;
            phase -= std::floor(phase);
            subPhase += dt / 2.0;
            subPhase -= std::floor(subPhase);
            const double value = filter.low() * noteEnvelope(tt, length, 0.003, 0.12, 0.75, release) * gain;
            dry.add(start + i, static_cast<float>(value), 0.0f);
        }
    }

    // A chord of detuned saws; the filter opens from cutoff to cutoffEnd over the chord, which
    // is how the builds brighten.
    void pad(double t0, double t1, const Chord& chord, float gain, double cutoff, double cutoffEnd = -1.0)
    {
        const double length = t1 - t0;
        const double release = 0.5;
        if (cutoffEnd < 0.0)
            cutoffEnd = cutoff;
        const long start = sampleAt(t0);
        int voice = 0;
        for (int note : chord.notes)
        {
            for (double detune : {-0.09, 0.09})
            {
                const double dt = noteFrequency(note + detune) / sampleRate;
                const float pan = static_cast<float>(detune > 0 ? 0.55 : -0.55);
                double phase = 0.13 * voice;
                StateVariableFilter filter;
                for (long i = 0; i < sampleAt(length + release); ++i)
                {
                    const double tt = static_cast<double>(i) / sampleRate;
                    // A slow filter breath keeps long chords moving.
                    if (i % 32 == 0)
                    {
                        const double sweep = cutoff + (cutoffEnd - cutoff) * std::min(1.0, tt / length);
                        filter.tune(sweep * (1.0 + 0.35 * std::sin(twoPi * 0.3 * (t0 + tt) + voice)), 0.8);
                    }
                    filter.process(sawWave(phase, dt));
                    phase += dt;
                    phase -= std::floor(phase);
                    const double value =
                        filter.low() * noteEnvelope(tt, length, 0.25, 0.3, 0.85, release) * gain;
                    dry.add(start + i, static_cast<float>(value), pan);
                    reverbSend.add(start + i, static_cast<float>(value * 0.6), pan);
                }
                ++voice;
            }
        }
    }

    void pluck(double t, double length, int note, float gain, float pan)
    {
        const double release = 0.02;
        const long start = sampleAt(t);
        const double dt = noteFrequency(note) / sampleRate;
        double phase = 0.0;
        StateVariableFilter filter;
        for (long i = 0; i < sampleAt(length + release); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            if (i % 16 == 0)
                filter.tune(700.0 + 5200.0 * std::exp(-tt / 0.06), 0.6);
            filter.process(pulseWave(phase, dt, 0.25));
            phase += dt;
            phase -= std::floor(phase);
            const double value = filter.low() * std::exp(-tt / 0.14) *
                                 noteEnvelope(tt, length, 0.002, 0.0, 1.0, release) * gain;
            dry.add(start + i, static_cast<float>(value), pan);
            echoSend.add(start + i, static_cast<float>(value * 0.3), pan);
        }
    }

    // The singing voice of the hook: two detuned saws and a square, thinned below 350 Hz,
    // pushed around 3 kHz and rounded off above 6.5 kHz, so it speaks in the middle of the
    // spectrum, over the pads and under the hats.
    void lead(double t0, double t1, int note, float gain)
    {
        const double length = t1 - t0;
        const double release = 0.07;
        const long start = sampleAt(t0);
        double phaseA = 0.0;
        double phaseB = 0.3;
        double phaseC = 0.6;
        Biquad thin = Biquad::highPass(350.0, 0.7);
        Biquad presence = Biquad::peaking(3000.0, 0.8, 8.0);
        Biquad round = Biquad::lowPass(6500.0, 0.7);
        for (long i = 0; i < sampleAt(length + release); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double vibrato = tt > 0.18 ? 0.13 * std::sin(twoPi * 5.5 * (tt - 0.18)) : 0.0;
            // A quick scoop up into the note, as a singer would.
            const double scoop = -0.3 * std::exp(-tt / 0.02);
            const double dtA = noteFrequency(note + vibrato + scoop) / sampleRate;
            const double dtB = noteFrequency(note + vibrato + scoop + 0.1) / sampleRate;
            const double dtC = noteFrequency(note + vibrato + scoop - 0.06) / sampleRate;
            const double source =
                sawWave(phaseA, dtA) * 0.45 + sawWave(phaseB, dtB) * 0.45 + pulseWave(phaseC, dtC, 0.5) * 0.3;
            const double shaped = round.process(presence.process(thin.process(source)));
            phaseA += dtA;
            phaseA -= std::floor(phaseA);
            phaseB += dtB;
            phaseB -= std::floor(phaseB);
            phaseC += dtC;
            phaseC -= std::floor(phaseC);
            const double value = shaped * noteEnvelope(tt, length, 0.006, 0.15, 0.8, release) * gain;
            dry.add(start + i, static_cast<float>(value), -0.05f);
            echoSend.add(start + i, static_cast<float>(value * 0.4), -0.05f);
            reverbSend.add(start + i, static_cast<float>(value * 0.35), 0.0f);
        }
    }

    void bell(double t, double length, int note, float gain, float pan)
    {
        const long start = sampleAt(t);
        const double frequency = noteFrequency(note);
        for (long i = 0; i < sampleAt(length); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double index = 2.2 * std::exp(-tt / 0.25);
            const double value =
                std::sin(twoPi * frequency * tt + index * std::sin(twoPi * 3.5 * frequency * tt)) *
                std::exp(-tt / 0.6) * edgeGain(tt, length, 0.002, 0.04) * gain;
            dry.add(start + i, static_cast<float>(value), pan);
            reverbSend.add(start + i, static_cast<float>(value * 0.7), pan);
            echoSend.add(start + i, static_cast<float>(value * 0.25), pan);
        }
    }

    // Filtered noise rising in pitch and level up to t1: the next section's hit, or in the
    // builds the beat of air before the drop. It peaks and stops a breath before t1, so that
    // a hit there rises out of quiet.
    void riser(double t0, double t1, float gain)
    {
        const double length = t1 - breathSeconds - t0;
        if (length <= 0.05)
            return;
        const long start = sampleAt(t0);
        StateVariableFilter filter;
        for (long i = 0; i < sampleAt(length); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double progress = tt / length;
            if (i % 16 == 0)
                filter.tune(350.0 * std::pow(16.0, progress), 0.35);
            filter.process(noise.next());
            const double value =
                filter.band() * progress * progress * edgeGain(tt, length, 0.01, 0.012) * gain;
            drums.add(start + i, static_cast<float>(value),
                      static_cast<float>(0.6 * std::sin(twoPi * progress)));
            reverbSend.add(start + i, static_cast<float>(value * 0.5), 0.0f);
        }
    }

    // A soft breath of noise that rises as an image pulse scatters in and ebbs away.
    void swell(double t, float gain)
    {
        const double length = 1.2;
        const long start = sampleAt(t);
        StateVariableFilter filter;
        for (long i = 0; i < sampleAt(length); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double shape = tt < 0.45 ? tt / 0.45 : std::max(0.0, 1.0 - (tt - 0.45) / 0.75);
            if (i % 16 == 0)
                filter.tune(1200.0 + 2600.0 * shape, 0.4);
            filter.process(noise.next());
            const double value = filter.band() * shape * shape * gain;
            drums.add(start + i, static_cast<float>(value),
                      static_cast<float>(0.7 * std::cos(twoPi * tt / length)));
        }
    }

    // A cymbal played backwards: bright noise swelling from nothing over t0..t1 and cut a
    // breath before t1, so that the hit on t1 lands in the gap it leaves.
    void reverseCymbal(double t0, double t1, float gain)
    {
        const double length = t1 - breathSeconds - t0;
        if (length <= 0.05)
            return;
        const long start = sampleAt(t0);
        Biquad left = Biquad::bandPass(5600.0, 0.5);
        Biquad right = Biquad::bandPass(6400.0, 0.5);
        for (long i = 0; i < sampleAt(length); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            // The crash's decay run backwards, ending at its loudest.
            const double env = std::exp(-(length - tt) / 0.12) * edgeGain(tt, length, 0.005, 0.004) * gain;
            const double l = left.process(noise.next()) * 1.6 * env;
            const double r = right.process(noise.next()) * 1.6 * env;
            drums.add(start + i, static_cast<float>(l), -0.5f);
            drums.add(start + i, static_cast<float>(r), 0.5f);
            reverbSend.add(start + i, static_cast<float>((l + r) * 0.3), 0.0f);
        }
    }

    // ---- patterns on the grid ------------------------------------------------------------

    const Chord& chordOf(const std::vector<const Chord*>& progression, int bar) const
    {
        return *progression[static_cast<std::size_t>(bar) % progression.size()];
    }

    void hats(const Section& section, int fromBeat, int toBeat, float gain)
    {
        for (int eighth = fromBeat * 2; eighth < toBeat * 2; ++eighth)
        {
            const bool open = eighth % 8 == 7;
            hat(at(section, eighth * 2), gain * (open ? 1.2f : (eighth % 2 == 1 ? 1.0f : 0.55f)), open);
        }
    }

    // Sixteenth snares growing from quiet to loud over the last bars of a build, stopping a
    // beat short of the drop: the gap makes the drop land.
    void snareRoll(const Section& section, int fromStep, float gain)
    {
        const int steps = section.steps - 4 - fromStep;
        for (int k = 0; k < steps; ++k)
        {
            const double progress = static_cast<double>(k + 1) / steps;
            const double t = at(section, fromStep + k);
            snare(t, static_cast<float>(gain * (0.15 + 0.85 * progress * progress)),
                  at(section, fromStep + k + 1) - t);
        }
    }

    void padChords(const Section& section, const std::vector<const Chord*>& progression, int fromBar,
                   int toBar, float gain, double cutoff, double cutoffEnd = -1.0)
    {
        if (cutoffEnd < 0.0)
            cutoffEnd = cutoff;
        for (int bar = fromBar; bar < toBar; ++bar)
        {
            const double from =
                cutoff + (cutoffEnd - cutoff) * (bar - fromBar) / std::max(1, toBar - fromBar);
            const double to =
                cutoff + (cutoffEnd - cutoff) * (bar + 1 - fromBar) / std::max(1, toBar - fromBar);
            pad(at(section, bar * 16), at(section, bar * 16 + 16), chordOf(progression, bar), gain, from, to);
        }
    }

    // Synth-pop octave bass in eighths; halfTime plays one long note per half bar instead.
    void bassLine(const Section& section, const std::vector<const Chord*>& progression, int fromBar,
                  int toBar, float gain, bool halfTime)
    {
        for (int bar = fromBar; bar < toBar; ++bar)
        {
            const int root = chordOf(progression, bar).bass;
            if (halfTime)
            {
                for (int half = 0; half < 2; ++half)
                    bass(at(section, bar * 16 + half * 8), at(section, bar * 16 + half * 8 + 7.5), root,
                         gain);
                continue;
            }
            for (int eighth = 0; eighth < 8; ++eighth)
            {
                const int step = bar * 16 + eighth * 2;
                const int note = root + (eighth % 2 == 1 ? 12 : 0);
                bass(at(section, step), at(section, step + 1.7), note, gain);
            }
        }
    }

    void arpeggio(const Section& section, const std::vector<const Chord*>& progression, int fromBar,
                  int toBar, int stepsPerNote, int octave, float gain)
    {
        static const int order[] = {0, 1, 2, 3, 2, 1};
        int count = 0;
        for (int step = fromBar * 16; step < toBar * 16; step += stepsPerNote, ++count)
        {
            const Chord& chord = chordOf(progression, step / 16);
            const int slot = order[count % 6];
            const int note = (slot == 3 ? chord.notes[0] + 12 : chord.notes[slot]) + octave;
            const float pan = (count % 2 == 0) ? -0.4f : 0.4f;
            pluck(at(section, step), at(section, step + stepsPerNote) - at(section, step), note, gain, pan);
        }
    }

    void melody(const Section& section, const std::vector<MelodyNote>& tune, int fromBar, int transpose,
                float gain)
    {
        for (const MelodyNote& note : tune)
        {
            const int step = fromBar * 16 + note.start * 2;
            if (step >= section.steps)
                continue;
            const int endStep = std::min(section.steps, step + note.length * 2);
            lead(at(section, step), at(section, endStep - 0.3), note.note + transpose, gain);
        }
    }

    void bellTune(const Section& section, const std::vector<MelodyNote>& tune, int fromBar, float gain)
    {
        for (const MelodyNote& note : tune)
        {
            const int step = fromBar * 16 + note.start * 2;
            if (step >= section.steps)
                continue;
            bell(at(section, step),
                 std::max(0.6, at(section, step + note.length * 2) - at(section, step) + 0.4), note.note + 12,
                 gain, note.start % 4 == 0 ? -0.3f : 0.3f);
        }
    }

    // A tom run over the last two beats and a riser over the last bar lead into the next scene.
    void fill(const Section& section, float gain)
    {
        const int steps = section.steps;
        static const int toms[] = {55, 55, 52, 52, 48, 48, 45, 43};
        for (int k = 0; k < 8; ++k)
        {
            const float level = gain * (0.45f + 0.07f * static_cast<float>(k));
            const double t = at(section, steps - 8 + k);
            // Each tom stops at the next, the last a breath before the scene change's accent.
            const double next = k < 7 ? at(section, steps - 7 + k) : section.end - breathSeconds;
            tom(t, toms[k], level, k % 2 == 0 ? -0.3f : 0.3f, next - t);
            if (k % 2 == 1)
                snare(at(section, steps - 8 + k), level * 0.3f, 0.2);
        }
        riser(at(section, std::max(0, steps - 16)), section.end, gain * 0.35f);
    }

    // ---- the builds -----------------------------------------------------------------------

    // The step from which a build's snare roll runs, growing, until a beat short of the drop;
    // -1 for a scene that is no build.
    int rollStep(const Section& section) const
    {
        switch (section.scene)
        {
        case 4:
        case 10:
            return section.steps / 2;
        case 65:
            return std::max(0, section.steps - 32);
        default:
            return -1;
        }
    }

    // The build's beat of air, where the roll and the riser have stopped: a cymbal played
    // backwards swells through it into the first hit there (a flash in the air, or else the
    // drop's accent).
    void air(const Section& section, float gain)
    {
        const double from = at(section, section.steps - 4);
        for (const Hit& hit : map.hits())
            if (hit.time >= from + 0.1)
            {
                reverseCymbal(from, hit.time, gain);
                return;
            }
    }

    // ---- the arrangement -----------------------------------------------------------------

    // The energy follows the pictures: an intro that grows under the card, a short build into
    // the first drop at the circles, a breakdown under the cute pictures, a twelve-second build
    // through the greetings into the second drop at the flowers, the flight carried on that
    // drive, a breakdown in the tunnel, the bubbles' build into the last and biggest drop at
    // the moire, the finale's groove and its rest.
    void arrange(const Section& section)
    {
        const int bars = section.steps / 16;
        const std::vector<const Chord*> minorLoop = {&chordAm, &chordF, &chordC, &chordG};
        switch (section.scene)
        {
        case 2: // the title words: a swelling chord and one bell per word, climbing
        {
            pad(section.start, section.end, chordAm, 0.03f, 700.0, 1500.0);
            static const int words[] = {57, 60, 64, 69, 72, 76, 81, 84, 88, 93};
            int word = 0;
            for (const Hit& hit : map.hits())
                if (hit.time >= section.start && hit.time < section.end - 1e-9 && word < 10)
                {
                    bell(hit.time, 1.2, words[word], 0.06f, word % 2 == 0 ? -0.4f : 0.4f);
                    ++word;
                }
            riser(at(section, section.steps / 2), section.end, 0.12f);
            break;
        }
        case 3: // the groove starts under the wobbling card, without the hook yet
        {
            const std::vector<const Chord*> progression = {&chordAm, &chordF,  &chordC,
                                                           &chordG,  &chordAm, &chordG};
            padChords(section, progression, 0, bars, 0.035f, 900.0, 1600.0);
            bassLine(section, progression, 0, bars, 0.16f, true);
            hats(section, 8, bars * 4, 0.05f);
            fill(section, 0.25f);
            break;
        }
        case 4: // the title pieces: a rising arpeggio and a snare roll; the bass waits for the drop
        {
            const std::vector<const Chord*> progression = {&chordF, &chordG};
            padChords(section, progression, 0, bars, 0.035f, 1200.0, 3000.0);
            arpeggio(section, progression, 0, bars, 1, 12, 0.05f);
            snareRoll(section, rollStep(section), 0.3f);
            riser(section.start, at(section, section.steps - 4), 0.25f);
            air(section, 0.16f);
            break;
        }
        case 5: // circles: the first drop, the hook over the full groove
            dropGroove(section, minorLoop, bars);
            melody(section, hookA, 0, 0, 0.15f);
            melody(section, hookB, 4, 0, 0.15f);
            arpeggio(section, minorLoop, 0, bars, 2, 12, 0.04f);
            fill(section, 0.35f);
            break;
        case 6: // cute pictures: the breakdown, a bell tune over a soft chord, no bass
        {
            const std::vector<const Chord*> progression = {&chordF, &chordG, &chordEm, &chordAm};
            padChords(section, progression, 0, bars, 0.03f, 1100.0);
            bellTune(section, cuteTune, 0, 0.075f);
            bellTune(section, cuteTune, 4, 0.075f);
            break;
        }
        case 65: // greetings: half time, long lead notes, building toward the second drop
        {
            const std::vector<const Chord*> progression = {&chordDm, &chordF, &chordC, &chordG};
            padChords(section, progression, 0, bars, 0.04f, 800.0, 3200.0);
            bassLine(section, progression, 0, bars, 0.2f, true);
            melody(section, greetTune, 0, 0, 0.08f);
            melody(section, greetTune, 4, 0, 0.1f);
            arpeggio(section, progression, 4, bars, 2, 0, 0.04f);
            hats(section, 16, bars * 4, 0.07f);
            snareRoll(section, rollStep(section), 0.32f);
            riser(at(section, rollStep(section)), at(section, section.steps - 4), 0.3f);
            air(section, 0.18f);
            break;
        }
        case 7: // flowers: the second drop, the hook
            dropGroove(section, minorLoop, bars);
            melody(section, hookA, 0, 0, 0.15f);
            melody(section, hookB, 4, 0, 0.15f);
            fill(section, 0.35f);
            break;
        case 8: // field flight: driving arpeggio under long lead notes, a breath on each image pulse
            dropGroove(section, minorLoop, bars);
            arpeggio(section, minorLoop, 0, bars, 1, 12, 0.05f);
            melody(section, greetTune, 0, 0, 0.11f);
            melody(section, greetTune, 4, 0, 0.11f);
            for (const ScheduledBeat& beat : schedule.beats)
                if (beat.cue && beat.scene == 8)
                    swell(beat.time, 0.1f);
            fill(section, 0.35f);
            break;
        case 9: // the tunnel: the second breakdown, the hook on bells over two bars per chord
        {
            const std::vector<const Chord*> progression = {&chordAm, &chordAm, &chordF, &chordF,
                                                           &chordC,  &chordC,  &chordG, &chordG};
            padChords(section, progression, 0, bars, 0.035f, 1000.0);
            arpeggio(section, progression, 0, bars, 2, 0, 0.03f);
            bellTune(section, hookA, 0, 0.06f);
            break;
        }
        case 10: // bubbles: the last build, a high arpeggio, a snare roll and a riser, no bass
        {
            const std::vector<const Chord*> progression = {&chordF, &chordG, &chordEm, &chordAm};
            padChords(section, progression, 0, bars, 0.035f, 1000.0, 3500.0);
            arpeggio(section, progression, 0, bars, 1, 24, 0.035f);
            snareRoll(section, rollStep(section), 0.3f);
            riser(section.start, at(section, section.steps - 4), 0.28f);
            air(section, 0.2f);
            break;
        }
        case 11: // moire: the last drop, the hook with the arpeggio under it
            dropGroove(section, minorLoop, bars);
            melody(section, hookA, 0, 0, 0.16f);
            melody(section, hookB, 4, 0, 0.16f);
            arpeggio(section, minorLoop, 0, bars, 2, 12, 0.045f);
            fill(section, 0.35f);
            break;
        case 12:
            arrangeFinale(section);
            break;
        default:
            break;
        }
    }

    // What every drop has: the chords open, the octave bass and the hats; its crash on the one
    // comes with the scene change's accent.
    void dropGroove(const Section& section, const std::vector<const Chord*>& progression, int bars)
    {
        padChords(section, progression, 0, bars, 0.04f, 1700.0);
        bassLine(section, progression, 0, bars, 0.3f, false);
        hats(section, 0, bars * 4, 0.09f);
    }

    // Eight bars of the full groove, then a rest without drums while the picture runs on
    // its own, a riser into the fade's hit, and the last chord dying away with the fade.
    void arrangeFinale(const Section& section)
    {
        const std::vector<const Chord*> minorLoop = {&chordAm, &chordF, &chordC, &chordG};
        const int grooveBars = 8;
        dropGroove(section, minorLoop, grooveBars);
        melody(section, hookA, 0, 0, 0.15f);
        melody(section, hookB, 4, 0, 0.15f);
        arpeggio(section, minorLoop, 0, grooveBars, 1, 12, 0.04f);

        const double restStart = at(section, grooveBars * 16);
        const double fadeHit = schedule.fadeStart >= 0.0 ? schedule.fadeStart : section.end;
        crash(restStart, 0.08f);
        bass(restStart, restStart + 1.5, chordAm.bass, 0.2f);
        const std::vector<const Chord*> restChords = {&chordAm, &chordF, &chordC, &chordG};
        const double chordSeconds = (fadeHit - restStart) / 4.0;
        for (int k = 0; k < 4; ++k)
            pad(restStart + k * chordSeconds, restStart + (k + 1) * chordSeconds, *restChords[k], 0.04f,
                900.0);
        riser(fadeHit - 1.5, fadeHit, 0.25f);

        // The fade's own hit, an accent with its crash, comes with the hits; here the chord it opens.
        const double ring = section.end - fadeHit + 0.5;
        pad(fadeHit, fadeHit + ring, chordAm, 0.05f, 1400.0);
        bass(fadeHit, fadeHit + ring, chordAm.bass, 0.25f);
        for (int k = 0; k < 3; ++k)
            bell(fadeHit + 0.001 * k, ring, chordAm.notes[k] + 12, 0.08f, -0.4f + 0.4f * k);
    }

    const Section* sectionAt(double t) const
    {
        for (const Section& section : map.sections())
            if (t >= section.start - 1e-9 && t < section.end - 1e-9)
                return &section;
        return map.sections().empty() ? nullptr : &map.sections().back();
    }

    void playHit(const Hit& hit, double length)
    {
        const Section* section = sectionAt(hit.time);
        const SceneId scene = section ? section->scene : -1;
        // The closing fade's hit lands like a scene change.
        if (hit.accent || std::fabs(hit.time - schedule.fadeStart) < 1e-6)
        {
            playAccent(hit.time, scene, length);
            return;
        }
        const int roll = section ? rollStep(*section) : -1;
        if (roll >= 0 && hit.time >= at(*section, roll) - 1e-9)
        {
            playBuildHit(hit, *section, length);
            return;
        }
        const float weight = hit.grace ? 0.5f : 1.0f;
        const bool backbeat = hit.sectionBeat == 1 || hit.sectionBeat == 3;
        switch (hitStyleOf(scene))
        {
        case HitStyle::light:
            kick(hit.time, 0.35f * weight, length);
            rim(hit.time, 0.3f * weight, backbeat ? 0.25f : -0.25f, length);
            break;
        case HitStyle::building:
            kick(hit.time, 0.6f * weight, length);
            pump(hit.time, 0.25 * weight);
            rim(hit.time, (backbeat ? 0.3f : 0.18f) * weight, backbeat ? 0.25f : -0.25f, length);
            break;
        case HitStyle::full:
            kick(hit.time, 0.9f * weight, length);
            pump(hit.time, 0.45 * weight);
            if (backbeat)
            {
                snare(hit.time, 0.55f * weight, length);
                clap(hit.time, 0.25f * weight, length);
            }
            else
                rim(hit.time, 0.2f * weight, 0.2f, length);
            break;
        }
    }

    // A scene change: the kick at full weight with a crash, and in the drops the snare and clap
    // on top, louder than any beat of the scenes either side; into a breakdown a lighter kick
    // and a short splash, so that the quiet scene stays quiet.
    void playAccent(double t, SceneId scene, double length)
    {
        switch (hitStyleOf(scene))
        {
        case HitStyle::light:
            kick(t, 0.75f, length);
            rim(t, 0.35f, 0.0f, length);
            crash(t, 0.1f, 0.3);
            pump(t, 0.3);
            break;
        case HitStyle::building:
            kick(t, 0.95f, length);
            snare(t, 0.45f, length);
            clap(t, 0.5f, length);
            crash(t, 0.4f, 0.35);
            pump(t, 0.35);
            break;
        case HitStyle::full:
            kick(t, 1.0f, length);
            tom(t, 36, 0.5f, 0.0f, length);
            snare(t, 0.6f, length);
            clap(t, 0.45f, length);
            crash(t, 0.45f, 0.8);
            pump(t, 0.45);
            break;
        }
    }

    // In a build's last bars the hits give up the kick's weight and join the snare roll: a
    // snare over it and a tom that climbs an octave with it, a short fill on every flash. In
    // the beat of air after the roll a high tom and snare answer the reverse cymbal.
    void playBuildHit(const Hit& hit, const Section& section, double length)
    {
        const double from = at(section, rollStep(section));
        const double air = at(section, section.steps - 4);
        const float weight = hit.grace ? 0.7f : 1.0f;
        if (hit.time >= air - 1e-9)
        {
            tom(hit.time, 60, 0.6f * weight, 0.2f, length);
            snare(hit.time, 0.45f * weight, length);
            return;
        }
        const double progress = std::clamp((hit.time - from) / std::max(0.1, air - from), 0.0, 1.0);
        const float rising = static_cast<float>(progress);
        tom(hit.time, 45 + static_cast<int>(std::lround(12.0 * progress)), (0.4f + 0.2f * rising) * weight,
            rising > 0.5f ? 0.3f : -0.3f, length);
        snare(hit.time, (0.3f + 0.2f * rising) * weight, length);
        kick(hit.time, 0.35f * weight, length);
    }
};
} // namespace

TempoMap::TempoMap(const DemoSchedule& schedule, double beatSeconds) : stepSeconds(beatSeconds / 4.0)
{
    const double silentFrom =
        schedule.fadeStart >= 0.0 ? schedule.fadeStart + schedule.fadeSeconds - 1e-9 : 1e300;
    // Beats on consecutive frames share a hit two thirds of the way from the first to the second,
    // within a frame of both and nearer the second: that is where the picture changes, since a
    // scene's last frame hands over without being drawn. Every scene's first beat
    // opens a scene change, whose accent goes on the first hit from there that no other hit
    // follows closely (beats two or three frames apart are a flam: grace note, then the accent).
    const double frameSeconds = frameStartTime(1);
    std::vector<bool> opensScene;
    double clusterStart = 0.0;
    SceneId previousScene = -1;
    for (const ScheduledBeat& beat : schedule.beats)
    {
        // The beat that ends the demo comes when the closing fade has already gone silent.
        if (beat.cue || beat.time >= silentFrom)
            continue;
        const bool opens = beat.scene != previousScene;
        previousScene = beat.scene;
        if (!hitList.empty() && beat.time - clusterStart < 1.5 * frameSeconds)
        {
            hitList.back().time = clusterStart + (beat.time - clusterStart) * 2.0 / 3.0;
            opensScene.back() = opensScene.back() || opens;
            continue;
        }
        clusterStart = beat.time;
        Hit hit;
        hit.time = beat.time;
        hit.sectionBeat = -1;
        hitList.push_back(hit);
        opensScene.push_back(opens);
    }
    for (std::size_t i = 0; i + 1 < hitList.size(); ++i)
        hitList[i].grace = hitList[i + 1].time - hitList[i].time < graceSeconds;
    for (std::size_t i = 0; i < hitList.size(); ++i)
        if (opensScene[i])
        {
            std::size_t landing = i;
            while (hitList[landing].grace && landing + 1 < hitList.size())
                ++landing;
            hitList[landing].accent = true;
        }

    double start = 0.0;
    int step = 0;
    for (const ScheduledScene& scene : schedule.scenes)
    {
        const double end = frameStartTime(scene.endFrame);
        const int beats = std::max(1, static_cast<int>(std::lround((end - start) / beatSeconds)));
        const int steps = beats * 4;
        sectionList.push_back({scene.scene, start, end, step, steps});
        anchors.push_back({static_cast<double>(step), start});
        const double localStep = (end - start) / steps;
        int lastPosition = 0;
        for (Hit& hit : hitList)
        {
            if (hit.time < start - 1e-9 || hit.time >= end - 1e-9)
                continue;
            const int position = static_cast<int>(std::lround((hit.time - start) / localStep));
            if (position % 4 == 0)
                hit.sectionBeat = (position / 4) % 4;
            if (position > lastPosition && position < steps)
            {
                anchors.push_back({static_cast<double>(step + position), hit.time});
                lastPosition = position;
            }
        }
        step += steps;
        start = end;
    }
    anchors.push_back({static_cast<double>(step), start});
}

double TempoMap::time(double step) const
{
    if (anchors.empty())
        return step * stepSeconds;
    if (step <= anchors.front().step)
        return anchors.front().time + (step - anchors.front().step) * stepSeconds;
    if (step >= anchors.back().step)
        return anchors.back().time + (step - anchors.back().step) * stepSeconds;
    const auto after =
        std::upper_bound(anchors.begin(), anchors.end(), step,
                         [](double value, const Anchor& anchor) { return value < anchor.step; });
    const Anchor& right = *after;
    const Anchor& left = *(after - 1);
    return left.time + (right.time - left.time) * (step - left.step) / (right.step - left.step);
}

StereoBuffer composeSoundtrack(const DemoSchedule& schedule, double tailSeconds)
{
    // The last frame (the one that stops the loop) still shows for a frame step.
    const double seconds = frameStartTime(schedule.endFrame + 1) + tailSeconds;
    Composer composer(schedule, static_cast<std::size_t>(std::ceil(seconds * sampleRate)));
    return composer.render();
}

std::vector<float> composeBounce()
{
    const double length = 0.38;
    std::vector<float> samples(static_cast<std::size_t>(length * sampleRate), 0.0f);
    double phase = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i)
    {
        const double tt = static_cast<double>(i) / sampleRate;
        // A drop in pitch with a fast decaying wobble: the spring after the impact.
        const double wobble = 1.0 + 0.18 * std::sin(twoPi * 16.0 * tt) * std::exp(-tt / 0.12);
        const double frequency = (190.0 + 260.0 * std::exp(-tt / 0.025)) * wobble;
        phase += frequency / sampleRate;
        const double tone = std::sin(twoPi * phase) + 0.25 * std::sin(2.0 * twoPi * phase);
        samples[i] = static_cast<float>(tone * std::exp(-tt / 0.1) * edgeGain(tt, length, 0.001, 0.03));
    }
    return samples;
}

std::vector<float> composeStatic()
{
    const double length = 1.1;
    std::vector<float> samples(static_cast<std::size_t>(length * sampleRate), 0.0f);
    Noise noise(0x57a71c00u);
    StateVariableFilter hiss;
    hiss.tune(5500.0, 0.9);
    double crackle = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i)
    {
        const double tt = static_cast<double>(i) / sampleRate;
        hiss.process(noise.next());
        // Rare sharp pops over the hiss, and the 50 Hz buzz of the set.
        if (noise.next() > 0.9993f)
            crackle = 1.0;
        crackle *= 0.985;
        const double buzz = 0.12 * pulseWave(std::fmod(50.0 * tt, 1.0), 50.0 / sampleRate, 0.1);
        const double flutter = 0.8 + 0.2 * std::sin(twoPi * 7.0 * tt);
        const double value =
            (hiss.high() * 0.5 + hiss.band() * 0.3 + noise.next() * crackle * 0.5 + buzz) * flutter;
        samples[i] = static_cast<float>(value * edgeGain(tt, length, 0.01, 0.04));
    }
    return samples;
}
