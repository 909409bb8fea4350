#pragma once

#include <cstdint>

/// Largest value randomInt() yields.
constexpr int randomIntMax = 32767;

/// The demo's own random numbers: a generator that always starts from the same fixed seed and
/// is never reseeded from the clock, so every run of the demo draws the same sequence and its
/// particles look the same each time. It is a plain value: the demo's state holds one, and a
/// copy goes on from where the original was.
class Random
{
public:
    /// One raw draw, uniform over 0..32767 inclusive.
    int nextInt();

    /// Puts the generator back at the start of its sequence.
    void reset() { state = seed; }

private:
    static constexpr std::uint32_t seed = 0x2024u;
    std::uint32_t state = seed;
};

/// One raw draw of random, uniform over 0..32767 inclusive.
inline int randomInt(Random& random)
{
    return random.nextInt();
}

/// One uniform draw of random between min and max, both ends included: the raw draw is scaled
/// by 1/32767, then by (max - min), then min is added, in single precision. With min == max the
/// result is exactly min (a draw is still taken); max < min is allowed.
float randomRange(Random& random, float min, float max);
