#pragma once

/// The demo's own random numbers. One process-wide generator, always started from the
/// same fixed seed and never reseeded from the clock, so every run of the demo draws
/// the same sequence and its particles look the same each time. Nothing outside these
/// functions can disturb the sequence (it does not share std::rand's state).

/// Largest value randomInt() yields.
constexpr int randomIntMax = 32767;

/// One raw draw, uniform over 0..32767 inclusive.
int randomInt();

/// One uniform draw between min and max, both ends included: the raw draw is scaled
/// by 1/32767, then by (max - min), then min is added, in single precision. With
/// min == max the result is exactly min (a draw is still taken); max < min is allowed.
float randomRange(float min, float max);

/// Puts the generator back at the start of its sequence, as at program start.
/// Meant for tests that need to know which values come next.
void resetRandom();
