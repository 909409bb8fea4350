#include "scenes/ShaderBouncer.hpp"

#include "scenes/SceneHelpers.hpp"

#include <SFML/Graphics/Texture.hpp>

namespace
{
constexpr float gravityPerStep = 24.f;
constexpr float floorLine = 1070.f;
constexpr float leftWall = 10.f;
constexpr float rightWall = 1910.f;
constexpr float launchSpeed = -2400.f;
} // namespace

ShaderBouncer::ShaderBouncer(sf::Sprite* sprite, const sf::Shader* shader, bool fromRight, int width,
                             int height)
    : x(fromRight ? 1900.f - static_cast<float>(width) : 20.f), sprite(sprite), shader(shader), width(width),
      height(height)
{
}

void ShaderBouncer::update(float dt)
{
    if (!active)
        return;
    x += vx * dt;
    y += vy * dt;
    // A fixed kick per step rather than per second: the jump heights were tuned at 60 fps.
    vy += gravityPerStep;
    if (heavy)
        vy += gravityPerStep;

    if (y <= 0.f)
    {
        y = 1.f;
        vy = -vy;
    }
    if (static_cast<float>(height) + y > floorLine)
    {
        vy = static_cast<float>(-0.8 * vy);
        // A heavy bubble's second reversal turns the bounce back downwards at a fifth of
        // its strength, which keeps it pressed to the floor.
        if (heavy)
            vy = static_cast<float>(-0.2 * vy);
        y = floorLine - static_cast<float>(height);
    }
    if (static_cast<float>(width) + x > rightWall)
    {
        vx = -vx;
        x = rightWall - static_cast<float>(width);
    }
    else if (x < leftWall)
    {
        x = leftWall;
        vx = -vx;
    }
}

void ShaderBouncer::draw(const Resources& resources, sf::RenderTarget& target) const
{
    if (!active || !sprite)
        return;
    sprite->setPosition(x, y);
    drawIfPresent(resources, target, sprite, sf::RenderStates(shader));
}

void addShaderBouncer(std::vector<ShaderBouncer>& shaderBouncers, sf::Sprite* sprite,
                      const sf::Shader& shader, bool fromRight)
{
    if (!sprite || !sprite->getTexture())
        return;
    const sf::Vector2u size = sprite->getTexture()->getSize();
    shaderBouncers.emplace_back(sprite, &shader, fromRight, static_cast<int>(size.x),
                                static_cast<int>(size.y));
}

void updateShaderBouncers(std::vector<ShaderBouncer>& shaderBouncers, float dt)
{
    for (ShaderBouncer& bubble : shaderBouncers)
        bubble.update(dt);
}

void drawShaderBouncers(const Resources& resources, const std::vector<ShaderBouncer>& shaderBouncers,
                        sf::RenderTarget& target)
{
    for (const ShaderBouncer& bubble : shaderBouncers)
        bubble.draw(resources, target);
}

ShaderBouncer* launchNextBouncer(std::vector<ShaderBouncer>& shaderBouncers, int& nextBouncer)
{
    if (shaderBouncers.empty())
        return nullptr;
    const int count = static_cast<int>(shaderBouncers.size());
    // The cursor wraps at the list's real length, which is shorter than twenty when bubble
    // sprites are missing; the guard keeps a cursor from any other source inside the list.
    if (nextBouncer < 0 || nextBouncer >= count)
        nextBouncer = 0;
    ShaderBouncer& bubble = shaderBouncers[static_cast<std::size_t>(nextBouncer)];
    bubble.vy = launchSpeed;
    bubble.heavy = true;
    bubble.y = floorLine - 1.f - static_cast<float>(bubble.height);
    nextBouncer += 1;
    if (nextBouncer >= count)
        nextBouncer = 0;
    return &bubble;
}
