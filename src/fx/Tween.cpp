#include "fx/Tween.hpp"

#include <cmath>

namespace
{
constexpr double pi = 3.14159265358979323846;

/// The bounce shape, 0 at x = 0 and 1 at x = 1.
double bounce(double x)
{
    if (x < 1.0 / 2.75)
        return 7.5625 * x * x;
    if (x < 2.0 / 2.75)
    {
        x -= 1.5 / 2.75;
        return 7.5625 * x * x + 0.75;
    }
    if (x < 2.5 / 2.75)
    {
        x -= 2.25 / 2.75;
        return 7.5625 * x * x + 0.9375;
    }
    x -= 2.625 / 2.75;
    return 7.5625 * x * x + 0.984375;
}

/// 2^exponent in double precision. The curves that use it, like the bounce shape, carry the
/// double through the rest of their expression and round to float once, on return.
double pow2(float exponent)
{
    return std::pow(2.0, static_cast<double>(exponent));
}

/// The angles are scaled in double precision and then handed to sin/cos as floats,
/// which is how the curves were tuned.
float halfPiTimes(float p)
{
    return static_cast<float>(p * (pi / 2.0));
}
} // namespace

void Tween::set(float from, float to, float duration, EaseType type, float delay)
{
    this->type = type;
    this->from = from;
    this->to = to;
    change = to - from;
    this->duration = duration;
    this->delay = delay;
    elapsed = 0.f;
    value = from;
}

void Tween::start()
{
    active = true;
}

void Tween::update(float dt)
{
    if (!active)
        return;
    if (delay > 0.f)
    {
        delay -= dt;
        if (delay < 0.f)
            delay = 0.f;
    }
    else
    {
        elapsed += dt;
    }
}

float Tween::getValue()
{
    if (active)
    {
        value = ease(elapsed, from, change, duration);
        if (elapsed >= duration)
        {
            value = to;
            active = false;
        }
    }
    return value;
}

float Tween::ease(float t, float b, float c, float d) const
{
    const float p = t / d;
    switch (type)
    {
    case Linear:
        break;
    case SineIn:
        return c - c * std::cos(halfPiTimes(p)) + b;
    case SineOut:
        return c * std::sin(halfPiTimes(p)) + b;
    case SineInOut:
        return b - (std::cos(static_cast<float>(pi * p)) - 1.f) * (c * 0.5f);
    case CubicIn:
        return c * p * p * p + b;
    case CubicOut:
    {
        const float q = p - 1.f;
        return c * (q * q * q + 1.f) + b;
    }
    case CubicInOut:
    {
        float q = t / (d * 0.5f);
        if (q < 1.f)
            return (c * 0.5f) * q * q * q + b;
        q -= 2.f;
        return (c * 0.5f) * (q * q * q + 2.f) + b;
    }
    case BackIn:
        return c * p * p * (2.70158f * p - 1.70158f) + b;
    case BackOut:
    {
        const float q = p - 1.f;
        return c * (q * q * (2.70158f * q + 1.70158f) + 1.f) + b;
    }
    case BackInOut:
    {
        float q = t / (d * 0.5f);
        if (q < 1.f)
            return (c * 0.5f) * q * q * (3.5949094f * q - 2.5949094f) + b;
        q -= 2.f;
        return (c * 0.5f) * (q * q * (3.5949094f * q + 2.5949094f) + 2.f) + b;
    }
    case CircIn:
        return b - c * (std::sqrt(1.f - p * p) - 1.f);
    case CircOut:
    {
        const float q = p - 1.f;
        return c * std::sqrt(1.f - q * q) + b;
    }
    case CircInOut:
    {
        float q = t / (d * 0.5f);
        if (q < 1.f)
            return b - (c * 0.5f) * (std::sqrt(1.f - q * q) - 1.f);
        q -= 2.f;
        return b + (c * 0.5f) * (std::sqrt(1.f - q * q) + 1.f);
    }
    case ExpoIn:
        if (t == 0.f)
            return b;
        return static_cast<float>(c * pow2(10.f * (p - 1.f)) + b);
    case ExpoOut:
        if (t == d)
            return b + c;
        return static_cast<float>(c * (1.0 - pow2(-10.f * p)) + b);
    case ExpoInOut:
    {
        if (t == 0.f)
            return b;
        if (t == d)
            return b + c;
        const float q = t / (d * 0.5f);
        if (q < 1.f)
            return static_cast<float>((c * 0.5f) * pow2(10.f * (q - 1.f)) + b);
        return static_cast<float>((c * 0.5f) * (2.0 - pow2(-10.f * (q - 1.f))) + b);
    }
    case BounceOut:
        return static_cast<float>(c * bounce(p) + b);
    case BounceIn:
        return static_cast<float>(c - c * bounce((d - t) / d) + b);
    case BounceInOut:
        if (t < d * 0.5f)
            return static_cast<float>((c - c * bounce((d - 2.f * t) / d)) * 0.5f + b);
        return static_cast<float>(c * bounce((2.f * t - d) / d) * 0.5f + c * 0.5f + b);
    }
    // Linear, and any value that names no curve: a tween must never produce garbage.
    return (t * c) / d + b;
}
