#pragma once

#include <SFML/Graphics/Shader.hpp>
#include <SFML/Window/Context.hpp>
#include <limits>

namespace testsupport
{
// Reads back what a shader program really holds, through the GL 2.0 entry points that
// SFML resolves for the current context, so a test sees the values a scene sent rather
// than what it meant to send. Needs an active context (a window or sf::Context).
namespace uniformprobe
{
using GetLocation = int (*)(unsigned int program, const char* name);
using GetFloat = void (*)(unsigned int program, int location, float* value);
using GetInt = void (*)(unsigned int program, int location, int* value);

inline int location(const sf::Shader& shader, const char* name)
{
    const auto find = reinterpret_cast<GetLocation>(sf::Context::getFunction("glGetUniformLocation"));
    return find ? find(shader.getNativeHandle(), name) : -1;
}
} // namespace uniformprobe

/// The float uniform name of shader as the GL program holds it; NaN when the program has
/// no such uniform.
inline float uniformFloat(const sf::Shader& shader, const char* name)
{
    const int where = uniformprobe::location(shader, name);
    const auto get = reinterpret_cast<uniformprobe::GetFloat>(sf::Context::getFunction("glGetUniformfv"));
    float value = std::numeric_limits<float>::quiet_NaN();
    if (where >= 0 && get)
        get(shader.getNativeHandle(), where, &value);
    return value;
}

/// The int uniform name of shader as the GL program holds it; -1 when the program has no
/// such uniform.
inline int uniformInt(const sf::Shader& shader, const char* name)
{
    const int where = uniformprobe::location(shader, name);
    const auto get = reinterpret_cast<uniformprobe::GetInt>(sf::Context::getFunction("glGetUniformiv"));
    int value = -1;
    if (where >= 0 && get)
        get(shader.getNativeHandle(), where, &value);
    return value;
}
} // namespace testsupport
