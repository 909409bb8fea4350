#include "scenes/SceneHelpers.hpp"

#include "runtime/PassTiming.hpp"
#include "scenes/Demo.hpp"

#include <SFML/Graphics/VertexArray.hpp>
#include <algorithm>

void centreBlackSprite(Resources& resources, float rotationDegrees)
{
    sf::Sprite* quad = resources.blackSprite();
    if (!quad)
        return;
    quad->setPosition(960.f, 540.f);
    quad->setOrigin(960.f, 540.f);
    quad->setRotation(rotationDegrees);
}

bool worthDrawing(bool changesPixels)
{
    return changesPixels || !drawingShortcuts;
}

sf::Uint8 truncatedByte(float level)
{
    if (!(level > 0.f))
        return 0;
    if (level >= 255.f)
        return 255;
    return static_cast<sf::Uint8>(static_cast<int>(level));
}

void drawFlashVeil(Resources& resources, sf::RenderTarget& target, float level)
{
    sf::Sprite* veil = resources.blackSprite();
    if (!veil)
        return;
    veil->setColor(sf::Color(0, 0, 0, truncatedByte(level)));
    if (!worthDrawing(truncatedByte(level) > 0))
        return;
    const TimedPass pass("flash veil");
    resources.drawSprite(target, *veil);
}

void drawShaderPass(Resources& resources, sf::RenderTarget& target, const sf::Shader& shader, sf::Uint8 alpha,
                    float rotationDegrees)
{
    sf::Sprite* quad = resources.blackSprite();
    if (!quad)
        return;
    const TimedPass pass(resources.shaderName(&shader));
    const float turnedBefore = quad->getRotation();
    quad->setColor(sf::Color(0, 0, 0, alpha));
    quad->setRotation(rotationDegrees);
    target.draw(*quad, sf::RenderStates(&shader));
    quad->setRotation(turnedBefore);
}

void drawColumnPass(const Resources& resources, sf::RenderTarget& target, const sf::Sprite* quad,
                    const sf::Shader& shader)
{
    if (!quad)
        return;
    const TimedPass pass(resources.shaderName(&shader));
    const sf::FloatRect bounds = quad->getLocalBounds();
    // Each strip costs the renderer a setup of its own: 16 pixels keeps the beams' curves within
    // a twentieth of a level of the per-pixel laser at a quarter less than 8 did.
    const float stripWidth = 16.f;
    sf::VertexArray strips(sf::TriangleStrip);
    for (float x = 0.f;; x = std::min(x + stripWidth, bounds.width))
    {
        const float u = x / bounds.width;
        strips.append(sf::Vertex({bounds.left + x, bounds.top}, quad->getColor(), {u, 0.f}));
        strips.append(sf::Vertex({bounds.left + x, bounds.top + bounds.height}, quad->getColor(), {u, 1.f}));
        if (!(x < bounds.width))
            break;
    }
    sf::RenderStates states(&shader);
    states.transform = quad->getTransform();
    target.draw(strips, states);
}

void scrollPeephole(Demo& demo, sf::Shader& shader, float offset)
{
    demo.state.uniforms.set(shader, "xOffset", offset);
    demo.state.uniforms.set(shader, "yOffset", offset);
}

namespace
{
// Whether key may be handed to the sound registry: a missing key goes through once, so the
// registry writes its line, and is held back on every later call.
bool shouldReachRegistry(Demo& demo, const std::string& key)
{
    if (demo.resources.soundManager.exists(key))
        return true;
    return demo.state.reportedSounds.insert(key).second;
}
} // namespace

void playSound(Demo& demo, const std::string& key)
{
    if (shouldReachRegistry(demo, key))
        demo.resources.soundManager.play(key);
}

void stopSound(Demo& demo, const std::string& key)
{
    if (shouldReachRegistry(demo, key))
        demo.resources.soundManager.stop(key);
}

void drawIfPresent(const Resources& resources, sf::RenderTarget& target, const sf::Sprite* sprite,
                   const sf::RenderStates& states)
{
    if (!sprite)
        return;
    const TimedPass pass(states.shader ? resources.shaderName(states.shader) : "sprites");
    resources.drawSprite(target, *sprite, states);
}

void compositeLayer(Resources& resources, sf::RenderTarget& target, sf::RenderTexture& layer,
                    const sf::Sprite& sprite, const sf::RenderStates& states,
                    std::optional<sf::FloatRect> drawnArea)
{
    resources.markLayerUsed(layer);
    const TimedPass pass(resources.layerName(layer),
                         states.shader ? resources.shaderName(states.shader) : nullptr);
    layer.display();
    sf::RenderStates shown = states;
    if (!shown.shader)
        shown.shader = resources.layerShader();
    if (!drawnArea)
    {
        target.draw(sprite, shown);
        return;
    }
    if (!worthDrawing(drawnArea->width > 0.f && drawnArea->height > 0.f))
        return;
    // A few pixels more than the area, for the rounding of the letters' and the sprite's edges.
    const float margin = 4.f;
    sf::FloatRect area = (states.transform * sprite.getTransform()).transformRect(*drawnArea);
    area = sf::FloatRect(area.left - margin, area.top - margin, area.width + 2.f * margin,
                         area.height + 2.f * margin);
    const DrawWithin within(target, area);
    target.draw(sprite, shown);
}
