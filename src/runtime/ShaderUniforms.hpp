#pragma once

#include <SFML/Graphics/Glsl.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <string>
#include <variant>
#include <vector>

/// One value a scene gives a shader's uniform.
using UniformValue = std::variant<float, int, sf::Glsl::Vec3, const sf::Texture*>;

/// The values the scenes give their shaders' uniforms, kept as part of the demo's state rather
/// than in the shader programs: a step advanced without drawing sets them here without any
/// OpenGL call, a copy of the state carries them, and a drawn frame sends them all
/// (Resources::applyUniforms) just before its scene draws.
class ShaderUniforms
{
public:
    struct Entry
    {
        sf::Shader* shader = nullptr;
        std::string name;
        UniformValue value;
    };

    /// Gives shader's uniform name value from the next drawn frame on, until it is set again.
    void set(sf::Shader& shader, const std::string& name, UniformValue value);

    /// The value set for shader's uniform name, or null when none was set.
    const UniformValue* find(const sf::Shader& shader, const std::string& name) const;

    /// Every value set so far, in the order each uniform was first set.
    const std::vector<Entry>& entries() const { return values; }

private:
    std::vector<Entry> values;
};
