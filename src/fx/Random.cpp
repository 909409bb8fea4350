#include "fx/Random.hpp"

int Random::nextInt()
{
    // A full-period 32-bit linear congruential step; the low bits of an LCG are weak,
    // so the draw is taken from bits 16..30.
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

float randomRange(Random& random, float min, float max)
{
    const float unit = static_cast<float>(random.nextInt()) / static_cast<float>(randomIntMax);
    return unit * (max - min) + min;
}
