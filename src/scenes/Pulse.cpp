#include "scenes/Pulse.hpp"

#include "runtime/PassTiming.hpp"
#include "runtime/Resources.hpp"
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
}

void Pulse::draw(const Resources& resources, sf::RenderTarget& target) const
{
    // At level 0 every tile is far out and invisible.
    if (!active || !worthDrawing(level > 0.f))
        return;
    std::optional<DrawWithin> within;
    if (const std::optional<sf::FloatRect> area = drawnArea())
        within.emplace(target, *area);
    if (shader)
        shader->setUniform("iTime", level);
    drawIfPresent(resources, target, sprite, sf::RenderStates(shader));
}

std::optional<sf::FloatRect> Pulse::drawnArea() const
{
    if (!active || !(level > 0.f) || !sprite)
        return sf::FloatRect();
    if (level < 1.f || !wholePicture)
        return std::nullopt;
    // A few pixels more, for the rounding of the quad's edges.
    const float margin = 4.f;
    const sf::FloatRect area = sprite->getTransform().transformRect(*wholePicture);
    return sf::FloatRect(area.left - margin, area.top - margin, area.width + 2.f * margin,
                         area.height + 2.f * margin);
}

std::optional<sf::FloatRect> pictureOnQuad(const TextureManager& textures, const sf::Sprite* quad,
                                           const std::string& textureKey)
{
    const sf::Texture* picture = textures.exists(textureKey) ? textures.get(textureKey) : nullptr;
    const std::optional<sf::IntRect> opaque = textures.opaqueBounds(textureKey);
    if (!quad || !picture || !opaque)
        return std::nullopt;
    const sf::FloatRect quadArea = quad->getLocalBounds();
    const sf::Vector2f scale(quadArea.width / static_cast<float>(picture->getSize().x),
                             quadArea.height / static_cast<float>(picture->getSize().y));
    return sf::FloatRect(quadArea.left + static_cast<float>(opaque->left) * scale.x,
                         quadArea.top + static_cast<float>(opaque->top) * scale.y,
                         static_cast<float>(opaque->width) * scale.x,
                         static_cast<float>(opaque->height) * scale.y);
}
