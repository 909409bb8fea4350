#pragma once

#include <cstdint>

/// The easing curves a Tween can follow. The values are fixed: the two sine variants
/// that came last keep 111 and 112.
enum EaseType : std::int32_t
{
    Linear = 0,
    SineIn = 1,
    BounceOut = 2,
    BounceIn = 3,
    CubicIn = 4,
    CubicOut = 5,
    CubicInOut = 6,
    BounceInOut = 7,
    BackIn = 8,
    BackOut = 9,
    BackInOut = 10,
    CircIn = 11,
    CircOut = 12,
    CircInOut = 13,
    ExpoIn = 14,
    ExpoOut = 15,
    ExpoInOut = 16,
    SineOut = 111,
    SineInOut = 112
};

/// Moves one float from a start value to an end value over a duration along an easing
/// curve. A default tween is inactive and yields 0. It has no failure paths.
class Tween
{
public:
    EaseType type = Linear; ///< the curve
    float elapsed = 0.f;    ///< seconds advanced so far (after the delay)
    float from = 0.f;       ///< start value
    float to = 0.f;         ///< end value
    float change = 0.f;     ///< to - from
    float duration = 0.f;   ///< seconds from start to end
    bool active = false;    ///< the tween is running
    float value = 0.f;      ///< the last value computed
    float delay = 0.f;      ///< seconds to wait before elapsed starts to grow

    /// Prepares a run from `from` to `to` over duration seconds after delay seconds:
    /// resets elapsed to 0 and value to from. Leaves active as it is.
    void set(float from, float to, float duration, EaseType type, float delay);

    /// Starts (or restarts) the run prepared by set.
    void start();

    /// Advances the tween by dt seconds: first the delay runs out (a frame that ends it
    /// does not carry its remainder into elapsed), then elapsed grows. Does nothing
    /// while inactive; never stops the tween by itself.
    void update(float dt);

    /// While active, evaluates the curve at elapsed; once elapsed has reached duration it
    /// yields exactly `to` and deactivates. While inactive it returns the stored value.
    float getValue();

    /// The value at time t of a curve of this tween's type that starts at b, changes by c
    /// and lasts d seconds. A type outside EaseType yields the linear value.
    float ease(float t, float b, float c, float d) const;
};
