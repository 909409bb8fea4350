#include "scenes/Pulse.hpp"

#include "scenes/SceneHelpers.hpp"

void Pulse::start()
{
    active = true;
    stage = 0;
    level = 0.f;
    holdTime = 0.f;
}

void Pulse::update(float dt)
{
    if (!active)
        return;
    switch (stage)
    {
    case 0:
        level += rates.risePerSecond * dt;
        if (level > 1.f)
        {
            level = 1.f;
            stage = 1;
        }
        break;
    case 1:
        holdTime += dt;
        if (holdTime > rates.holdSeconds)
            stage = 2;
        break;
    case 2:
        level -= dt;
        if (level < 0.f)
        {
            level = 0.f;
            active = false;
        }
        break;
    default:
        break;
    }
    if (shader)
        shader->setUniform("iTime", level);
}

void Pulse::draw(sf::RenderTarget& target) const
{
    // At level 0 every tile is far out and invisible.
    if (active && worthDrawing(level > 0.f))
        drawIfPresent(target, sprite, sf::RenderStates(shader));
}
