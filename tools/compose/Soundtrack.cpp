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

// Four bars over Am F C G: the main hook.
const std::vector<MelodyNote> hookA = {{0, 2, 76},  {2, 1, 72},  {3, 1, 74},  {4, 2, 76},  {6, 2, 79},
                                       {8, 3, 77},  {11, 1, 76}, {12, 4, 72}, {16, 2, 72}, {18, 1, 74},
                                       {19, 1, 76}, {20, 2, 79}, {22, 2, 76}, {24, 6, 74}, {30, 2, 71}};
// Its answer, climbing higher, over the same chords.
const std::vector<MelodyNote> hookB = {{0, 2, 81},  {2, 1, 79},  {3, 1, 76},  {4, 2, 72},  {6, 2, 76},
                                       {8, 2, 77},  {10, 2, 76}, {12, 2, 74}, {14, 2, 72}, {16, 4, 76},
                                       {20, 2, 79}, {22, 2, 84}, {24, 6, 83}, {30, 2, 79}};
// Over F G Em Am, for the bell tune of the pop-up pictures.
const std::vector<MelodyNote> cuteTune = {{0, 2, 72},  {2, 2, 77},  {4, 2, 76},  {6, 2, 72},  {8, 4, 74},
                                          {12, 2, 71}, {14, 2, 74}, {16, 2, 76}, {18, 2, 79}, {20, 2, 83},
                                          {22, 2, 79}, {24, 6, 81}, {30, 2, 76}};
// Long notes over Dm F C G for the greetings.
const std::vector<MelodyNote> greetTune = {{0, 4, 77},  {4, 4, 76},  {8, 8, 72}, {16, 4, 79},
                                           {20, 4, 76}, {24, 6, 74}, {30, 2, 71}};

class Composer
{
public:
    Composer(const DemoSchedule& schedule, std::size_t frames)
        : schedule(schedule), map(schedule, 0.375), dry(frames), reverbSend(frames), echoSend(frames),
          noise(0x5eed1234u)
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
            const double length = i + 1 < hits.size() ? hits[i + 1].time - hits[i].time - 0.015 : 10.0;
            playHit(hits[i], length);
        }

        applyEcho(echoSend, 0.375 * 0.75, 0.35f);
        applyReverb(reverbSend, 0.84f, 0.3f);
        StereoBuffer master(dry.frames());
        for (std::size_t i = 0; i < master.frames(); ++i)
        {
            const double gain = fadeGain(static_cast<double>(i) / sampleRate);
            master.left[i] =
                static_cast<float>(gain * (dry.left[i] + echoSend.left[i] + 0.9f * reverbSend.left[i] +
                                           0.25f * echoSend.left[i]));
            master.right[i] =
                static_cast<float>(gain * (dry.right[i] + echoSend.right[i] + 0.9f * reverbSend.right[i] +
                                           0.25f * echoSend.right[i]));
        }
        return master;
    }

private:
    const DemoSchedule& schedule;
    TempoMap map;
    StereoBuffer dry;
    StereoBuffer reverbSend;
    StereoBuffer echoSend;
    Noise noise;

    double fadeGain(double t) const
    {
        if (schedule.fadeStart < 0.0 || t < schedule.fadeStart)
            return 1.0;
        const double into = (t - schedule.fadeStart) / schedule.fadeSeconds;
        return into >= 1.0 ? 0.0 : 1.0 - into;
    }

    double at(const Section& section, double step) const { return map.time(section.firstStep + step); }

    // ---- drums -------------------------------------------------------------------------

    void kick(double t, float gain, double maxLength)
    {
        const double total = std::min(0.45, maxLength);
        const long start = sampleAt(t);
        double phase = 0.0;
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            phase += (48.0 + 130.0 * std::exp(-tt / 0.035)) / sampleRate;
            const double body = std::sin(twoPi * phase) * std::exp(-tt / 0.13);
            const double click = noise.next() * 0.5 * std::exp(-tt / 0.003);
            const double value = (body + click) * edgeGain(tt, total, 0.0008, 0.008) * gain;
            dry.add(start + i, static_cast<float>(value), 0.0f);
        }
    }

    void snap(double t, float gain, float pan, double maxLength = 1.0)
    {
        const double total = std::min(0.22, maxLength);
        const long start = sampleAt(t);
        StateVariableFilter filter;
        filter.tune(2600.0, 0.9);
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            filter.process(noise.next());
            const double value = (filter.high() * 0.7 + filter.band() * 0.6) * std::exp(-tt / 0.035) *
                                 edgeGain(tt, total, 0.0006, 0.008) * gain;
            dry.add(start + i, static_cast<float>(value), pan);
            reverbSend.add(start + i, static_cast<float>(value * 0.5), pan);
        }
    }

    void clap(double t, float gain, double maxLength)
    {
        const double total = std::min(0.3, maxLength);
        const long start = sampleAt(t);
        StateVariableFilter filter;
        filter.tune(1400.0, 0.6);
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            // Three quick bursts and a tail: the smear of many hands.
            double burst = std::exp(-tt / 0.09) * 0.6;
            for (double offset : {0.0, 0.011, 0.022})
                if (tt >= offset)
                    burst += std::exp(-(tt - offset) / 0.005);
            filter.process(noise.next());
            const double value = filter.band() * burst * edgeGain(tt, total, 0.0006, 0.008) * gain;
            dry.add(start + i, static_cast<float>(value), -0.1f);
            reverbSend.add(start + i, static_cast<float>(value * 0.8), 0.1f);
        }
    }

    void hat(double t, float gain, bool open)
    {
        const double total = open ? 0.35 : 0.07;
        const long start = sampleAt(t);
        StateVariableFilter filter;
        filter.tune(7000.0, 0.7);
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            filter.process(noise.next());
            const double value = filter.high() * std::exp(-tt / (open ? 0.11 : 0.018)) *
                                 edgeGain(tt, total, 0.0008, 0.015) * gain;
            dry.add(start + i, static_cast<float>(value), 0.35f);
        }
    }

    void crash(double t, float gain)
    {
        const double total = 3.6;
        const long start = sampleAt(t);
        StateVariableFilter filterLeft;
        StateVariableFilter filterRight;
        filterLeft.tune(5200.0, 0.5);
        filterRight.tune(6100.0, 0.5);
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            filterLeft.process(noise.next());
            filterRight.process(noise.next());
            const double env = std::exp(-tt / 0.55) * edgeGain(tt, total, 0.001, 0.2) * gain;
            dry.add(start + i, static_cast<float>((filterLeft.high() + 0.4 * filterLeft.band()) * env),
                    -0.6f);
            dry.add(start + i, static_cast<float>((filterRight.high() + 0.4 * filterRight.band()) * env),
                    0.6f);
        }
    }

    void tom(double t, int note, float gain, float pan)
    {
        const double total = 0.3;
        const long start = sampleAt(t);
        const double frequency = noteFrequency(note);
        double phase = 0.0;
        for (long i = 0; i < sampleAt(total); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            phase += frequency * (1.0 + 0.6 * std::exp(-tt / 0.03)) / sampleRate;
            const double value =
                std::sin(twoPi * phase) * std::exp(-tt / 0.11) * edgeGain(tt, total, 0.001, 0.02) * gain;
            dry.add(start + i, static_cast<float>(value), pan);
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

    void pad(double t0, double t1, const Chord& chord, float gain, double cutoff)
    {
        const double length = t1 - t0;
        const double release = 0.5;
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
                        filter.tune(cutoff * (1.0 + 0.35 * std::sin(twoPi * 0.3 * (t0 + tt) + voice)), 0.8);
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

    void lead(double t0, double t1, int note, float gain)
    {
        const double length = t1 - t0;
        const double release = 0.08;
        const long start = sampleAt(t0);
        double phaseA = 0.0;
        double phaseB = 0.0;
        StateVariableFilter filter;
        filter.tune(2600.0, 0.7);
        for (long i = 0; i < sampleAt(length + release); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double vibrato = tt > 0.15 ? 0.12 * std::sin(twoPi * 5.5 * (tt - 0.15)) : 0.0;
            const double dtA = noteFrequency(note + vibrato) / sampleRate;
            const double dtB = noteFrequency(note + vibrato + 0.08) / sampleRate;
            filter.process(pulseWave(phaseA, dtA, 0.5) * 0.5 + pulseWave(phaseB, dtB, 0.3) * 0.5);
            phaseA += dtA;
            phaseA -= std::floor(phaseA);
            phaseB += dtB;
            phaseB -= std::floor(phaseB);
            const double value = filter.low() * noteEnvelope(tt, length, 0.008, 0.1, 0.7, release) * gain;
            dry.add(start + i, static_cast<float>(value), -0.1f);
            echoSend.add(start + i, static_cast<float>(value * 0.6), -0.1f);
            reverbSend.add(start + i, static_cast<float>(value * 0.5), 0.0f);
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

    // Filtered noise rising in pitch and level up to t1, where the next section's hit takes over.
    void riser(double t0, double t1, float gain)
    {
        const double length = t1 - t0;
        if (length <= 0.05)
            return;
        const long start = sampleAt(t0);
        StateVariableFilter filter;
        for (long i = 0; i < sampleAt(length); ++i)
        {
            const double tt = static_cast<double>(i) / sampleRate;
            const double progress = tt / length;
            if (i % 16 == 0)
                filter.tune(350.0 * std::pow(24.0, progress), 0.35);
            filter.process(noise.next());
            const double value =
                filter.band() * progress * progress * edgeGain(tt, length, 0.01, 0.012) * gain;
            dry.add(start + i, static_cast<float>(value),
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
            dry.add(start + i, static_cast<float>(value),
                    static_cast<float>(0.7 * std::cos(twoPi * tt / length)));
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

    void padChords(const Section& section, const std::vector<const Chord*>& progression, int fromBar,
                   int toBar, float gain, double cutoff)
    {
        for (int bar = fromBar; bar < toBar; ++bar)
            pad(at(section, bar * 16), at(section, bar * 16 + 16), chordOf(progression, bar), gain, cutoff);
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
            tom(at(section, steps - 8 + k), toms[k], level, k % 2 == 0 ? -0.3f : 0.3f);
            if (k % 2 == 1)
                snap(at(section, steps - 8 + k), level * 0.35f, 0.2f);
        }
        riser(at(section, std::max(0, steps - 16)), section.end, gain * 0.35f);
    }

    // ---- the arrangement -----------------------------------------------------------------

    void arrange(const Section& section)
    {
        const int bars = section.steps / 16;
        const std::vector<const Chord*> minorLoop = {&chordAm, &chordF, &chordC, &chordG};
        switch (section.scene)
        {
        case 2: // the title words: a swelling chord and one bell per word, climbing
        {
            pad(section.start, section.end, chordAm, 0.05f, 900.0);
            static const int words[] = {57, 60, 64, 69, 72, 76, 81, 84, 88, 93};
            int word = 0;
            for (const Hit& hit : map.hits())
                if (hit.time >= section.start && hit.time < section.end - 1e-9 && word < 10)
                {
                    bell(hit.time, 1.2, words[word], 0.13f, word % 2 == 0 ? -0.4f : 0.4f);
                    ++word;
                }
            riser(at(section, section.steps / 2), section.end, 0.25f);
            break;
        }
        case 3: // the groove starts under the wobbling card
        {
            const std::vector<const Chord*> progression = {&chordAm, &chordF,  &chordC,
                                                           &chordG,  &chordAm, &chordG};
            padChords(section, progression, 0, bars, 0.045f, 1400.0);
            bassLine(section, progression, 0, bars, 0.28f, false);
            hats(section, 4, bars * 4, 0.11f);
            fill(section, 0.35f);
            break;
        }
        case 4: // the title pieces: a fast arpeggio over two bars
        {
            const std::vector<const Chord*> progression = {&chordF, &chordG};
            padChords(section, progression, 0, bars, 0.045f, 1800.0);
            bassLine(section, progression, 0, bars, 0.28f, false);
            arpeggio(section, progression, 0, bars, 1, 12, 0.07f);
            hats(section, 0, bars * 4, 0.11f);
            fill(section, 0.35f);
            break;
        }
        case 5: // circles: the full groove with the arpeggio
            padChords(section, minorLoop, 0, bars, 0.045f, 1600.0);
            bassLine(section, minorLoop, 0, bars, 0.28f, false);
            arpeggio(section, minorLoop, 0, bars, 2, 12, 0.06f);
            hats(section, 0, bars * 4, 0.12f);
            crash(section.start, 0.11f);
            fill(section, 0.35f);
            break;
        case 6: // cute pictures: a bell tune, lighter bass
        {
            const std::vector<const Chord*> progression = {&chordF, &chordG, &chordEm, &chordAm};
            padChords(section, progression, 0, bars, 0.04f, 2000.0);
            bassLine(section, progression, 0, bars, 0.25f, true);
            bellTune(section, cuteTune, 0, 0.1f);
            bellTune(section, cuteTune, 4, 0.1f);
            hats(section, 0, bars * 4, 0.08f);
            crash(section.start, 0.1f);
            fill(section, 0.3f);
            break;
        }
        case 65: // greetings: half time, long lead notes
        {
            const std::vector<const Chord*> progression = {&chordDm, &chordF, &chordC, &chordG};
            padChords(section, progression, 0, bars, 0.055f, 1500.0);
            bassLine(section, progression, 0, bars, 0.27f, true);
            melody(section, greetTune, 0, 0, 0.11f);
            melody(section, greetTune, 4, 0, 0.11f);
            arpeggio(section, progression, 4, bars, 2, 0, 0.045f);
            crash(section.start, 0.1f);
            fill(section, 0.3f);
            break;
        }
        case 7: // flowers: the hook
            padChords(section, minorLoop, 0, bars, 0.045f, 1600.0);
            bassLine(section, minorLoop, 0, bars, 0.28f, false);
            melody(section, hookA, 0, 0, 0.12f);
            melody(section, hookB, 4, 0, 0.12f);
            hats(section, 0, bars * 4, 0.12f);
            crash(section.start, 0.11f);
            fill(section, 0.35f);
            break;
        case 8: // field flight: driving arpeggio, a breath on each image pulse
            padChords(section, minorLoop, 0, bars, 0.045f, 1300.0);
            bassLine(section, minorLoop, 0, bars, 0.3f, false);
            arpeggio(section, minorLoop, 0, bars, 1, 12, 0.055f);
            hats(section, 0, bars * 4, 0.12f);
            for (const ScheduledBeat& beat : schedule.beats)
                if (beat.cue && beat.scene == 8)
                    swell(beat.time, 0.12f);
            crash(section.start, 0.11f);
            fill(section, 0.35f);
            break;
        case 9: // the tunnel: two bars per chord, half time
        {
            const std::vector<const Chord*> progression = {&chordAm, &chordAm, &chordF, &chordF,
                                                           &chordC,  &chordC,  &chordG, &chordG};
            padChords(section, progression, 0, bars, 0.06f, 1100.0);
            bassLine(section, progression, 0, bars, 0.3f, true);
            arpeggio(section, progression, 0, bars, 2, 0, 0.05f);
            for (int beat = 1; beat < bars * 4; beat += 2)
                hat(at(section, beat * 4), 0.1f, beat % 4 == 3);
            crash(section.start, 0.11f);
            fill(section, 0.35f);
            break;
        }
        case 10: // bubbles: a high plucked arpeggio
        {
            const std::vector<const Chord*> progression = {&chordF, &chordG, &chordEm, &chordAm};
            padChords(section, progression, 0, bars, 0.04f, 1800.0);
            bassLine(section, progression, 0, bars, 0.27f, false);
            arpeggio(section, progression, 0, bars, 1, 24, 0.045f);
            hats(section, 0, bars * 4, 0.1f);
            fill(section, 0.35f);
            break;
        }
        case 11: // moire: the hook again, with the arpeggio under it
            padChords(section, minorLoop, 0, bars, 0.045f, 1600.0);
            bassLine(section, minorLoop, 0, bars, 0.28f, false);
            melody(section, hookA, 0, 0, 0.11f);
            melody(section, hookB, 4, 0, 0.11f);
            arpeggio(section, minorLoop, 0, bars, 2, 0, 0.045f);
            hats(section, 0, bars * 4, 0.12f);
            crash(section.start, 0.11f);
            fill(section, 0.35f);
            break;
        case 12:
            arrangeFinale(section);
            break;
        default:
            break;
        }
    }

    // Eight bars of the full groove, then a rest without drums while the picture runs on
    // its own, a riser into the fade's hit, and the last chord dying away with the fade.
    void arrangeFinale(const Section& section)
    {
        const std::vector<const Chord*> minorLoop = {&chordAm, &chordF, &chordC, &chordG};
        const int grooveBars = 8;
        padChords(section, minorLoop, 0, grooveBars, 0.045f, 1700.0);
        bassLine(section, minorLoop, 0, grooveBars, 0.28f, false);
        melody(section, hookB, 0, 0, 0.11f);
        melody(section, hookA, 4, 0, 0.11f);
        arpeggio(section, minorLoop, 0, grooveBars, 1, 12, 0.045f);
        hats(section, 0, grooveBars * 4, 0.12f);
        crash(section.start, 0.11f);

        const double restStart = at(section, grooveBars * 16);
        const double fadeHit = schedule.fadeStart >= 0.0 ? schedule.fadeStart : section.end;
        crash(restStart, 0.1f);
        bass(restStart, restStart + 1.5, chordAm.bass, 0.22f);
        const std::vector<const Chord*> restChords = {&chordAm, &chordF, &chordC, &chordG};
        const double chordSeconds = (fadeHit - restStart) / 4.0;
        for (int k = 0; k < 4; ++k)
            pad(restStart + k * chordSeconds, restStart + (k + 1) * chordSeconds, *restChords[k], 0.06f,
                1000.0);
        riser(fadeHit - 1.5, fadeHit, 0.3f);

        // The fade's own hit comes with the hits; here the chord it opens.
        const double ring = section.end - fadeHit + 0.5;
        pad(fadeHit, fadeHit + ring, chordAm, 0.05f, 1400.0);
        bass(fadeHit, fadeHit + ring, chordAm.bass, 0.25f);
        crash(fadeHit, 0.2f);
        for (int k = 0; k < 3; ++k)
            bell(fadeHit + 0.001 * k, ring, chordAm.notes[k] + 12, 0.08f, -0.4f + 0.4f * k);
    }

    void playHit(const Hit& hit, double length)
    {
        const float weight = hit.grace ? 0.5f : 1.0f;
        kick(hit.time, 0.85f * weight, length);
        snap(hit.time, 0.5f * weight, 0.0f, length);
        if (hit.sectionBeat == 1 || hit.sectionBeat == 3)
            clap(hit.time, 0.3f * weight, length);
    }
};
} // namespace

TempoMap::TempoMap(const DemoSchedule& schedule, double beatSeconds) : stepSeconds(beatSeconds / 4.0)
{
    const double silentFrom =
        schedule.fadeStart >= 0.0 ? schedule.fadeStart + schedule.fadeSeconds - 1e-9 : 1e300;
    for (const ScheduledBeat& beat : schedule.beats)
    {
        // The beat that ends the demo comes when the closing fade has already gone silent.
        if (beat.cue || beat.time >= silentFrom)
            continue;
        if (!hitList.empty() && beat.time - hitList.back().time < hitMergeSeconds)
            continue;
        if (!hitList.empty() && beat.time - hitList.back().time < graceSeconds)
            hitList.back().grace = true;
        Hit hit;
        hit.time = beat.time;
        hit.sectionBeat = -1;
        hitList.push_back(hit);
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
