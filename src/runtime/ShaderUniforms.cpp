#include "runtime/ShaderUniforms.hpp"

void ShaderUniforms::set(sf::Shader& shader, const std::string& name, UniformValue value)
{
    for (Entry& entry : values)
        if (entry.shader == &shader && entry.name == name)
        {
            entry.value = value;
            return;
        }
    values.push_back({&shader, name, value});
}

const UniformValue* ShaderUniforms::find(const sf::Shader& shader, const std::string& name) const
{
    for (const Entry& entry : values)
        if (entry.shader == &shader && entry.name == name)
            return &entry.value;
    return nullptr;
}
