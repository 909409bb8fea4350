#include "scenes/SceneHelpers.hpp"

#include "runtime/PassTiming.hpp"
#include "scenes/Demo.hpp"

#include <SFML/Graphics/VertexArray.hpp>
#include <algorithm>
#include <cmath>

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

sf::RenderStates replacing(const sf::Shader& shader)
{
    return sf::RenderStates(sf::BlendNone, sf::Transform::Identity, nullptr, &shader);
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
    target.draw(*quad, replacing(shader));
    quad->setRotation(turnedBefore);
}

void drawStretchedPass(Resources& resources, sf::RenderTarget& target, const sf::Sprite* quad,
                       const sf::Shader& shader)
{
    if (!quad)
        return;
    const TimedPass pass(resources.shaderName(&shader));
    sf::RenderTexture& small = resources.smallPicture();
    small.setView(sf::View(sf::FloatRect(0.f, 0.f, 1920.f, 1080.f)));
    small.clear(sf::Color::Transparent);
    resources.drawSprite(small, *quad, sf::RenderStates(&shader));
    small.display();
    sf::Sprite stretched(small.getTexture());
    stretched.setScale(3.f, 3.f);
    // Blending would cost a third more; what the frame held under an opaque pass does not show.
    target.draw(stretched, sf::BlendNone);
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
    sf::RenderStates states = replacing(shader);
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

namespace
{
/// Marks layer used and finishes it; the states it is shown with: states, through the shader
/// that leaves its see-through pixels out when they name none.
sf::RenderStates finishedLayer(Resources& resources, sf::RenderTexture& layer, const sf::RenderStates& states)
{
    resources.markLayerUsed(layer);
    layer.display();
    sf::RenderStates shown = states;
    if (!shown.shader)
        shown.shader = resources.layerShader();
    return shown;
}

/// Shows layer through states where shape (layer pixels) lies, the layer's sprite placing it,
/// as drawing the whole sprite would show it there.
void compositeLayerShape(Resources& resources, sf::RenderTarget& target, sf::RenderTexture& layer,
                         const sf::Sprite& sprite, const sf::RenderStates& states,
                         const sf::VertexArray& shape)
{
    const TimedPass pass(resources.layerName(layer),
                         states.shader ? resources.shaderName(states.shader) : nullptr);
    sf::RenderStates shown = finishedLayer(resources, layer, states);
    shown.transform *= sprite.getTransform();
    shown.texture = &layer.getTexture();
    target.draw(shape, shown);
}

/// A vertex of a shape showing a layer: its texture coordinates are its place in the layer.
sf::Vertex layerVertex(sf::Vector2f point, const sf::Sprite& sprite)
{
    return sf::Vertex(point, sprite.getColor(), point);
}
} // namespace

void compositeLayer(Resources& resources, sf::RenderTarget& target, sf::RenderTexture& layer,
                    const sf::Sprite& sprite, const sf::RenderStates& states)
{
    const TimedPass pass(resources.layerName(layer),
                         states.shader ? resources.shaderName(states.shader) : nullptr);
    target.draw(sprite, finishedLayer(resources, layer, states));
}

void compositeLayer(Resources& resources, sf::RenderTarget& target, sf::RenderTexture& layer,
                    const sf::Sprite& sprite, const sf::RenderStates& states,
                    const std::vector<sf::FloatRect>& pieces)
{
    // Not a shortcut: along the columns' edges the renderer may sample a letter edge's pixel
    // from the neighbouring texel, so the pieces are how the letters are shown, in every run.
    // Columns of the layer, each holding the spans of the pieces that reach into it, merged
    // where they meet: rectangles that cover every piece and none another.
    const float margin = 4.f, columnWidth = 16.f;
    const sf::Vector2u size = layer.getSize();
    const int columns = static_cast<int>(std::ceil(static_cast<float>(size.x) / columnWidth));
    std::vector<std::vector<std::pair<float, float>>> spans(static_cast<std::size_t>(columns));
    for (const sf::FloatRect& piece : pieces)
    {
        const int first = std::max(0, static_cast<int>(std::floor((piece.left - margin) / columnWidth)));
        const int last = std::min(
            columns - 1, static_cast<int>(std::floor((piece.left + piece.width + margin) / columnWidth)));
        const float top = std::max(0.f, piece.top - margin);
        const float bottom = std::min(static_cast<float>(size.y), piece.top + piece.height + margin);
        for (int column = first; column <= last && top < bottom; ++column)
            spans[static_cast<std::size_t>(column)].emplace_back(top, bottom);
    }
    sf::VertexArray cover(sf::Triangles);
    for (std::size_t column = 0; column < spans.size(); ++column)
    {
        std::vector<std::pair<float, float>>& inColumn = spans[column];
        std::sort(inColumn.begin(), inColumn.end());
        const float left = static_cast<float>(column) * columnWidth;
        const float right = std::min(left + columnWidth, static_cast<float>(size.x));
        for (std::size_t i = 0; i < inColumn.size();)
        {
            float top = inColumn[i].first, bottom = inColumn[i].second;
            for (++i; i < inColumn.size() && inColumn[i].first <= bottom; ++i)
                bottom = std::max(bottom, inColumn[i].second);
            for (const sf::Vector2f corner :
                 {sf::Vector2f(left, top), sf::Vector2f(right, top), sf::Vector2f(right, bottom),
                  sf::Vector2f(left, top), sf::Vector2f(right, bottom), sf::Vector2f(left, bottom)})
                cover.append(layerVertex(corner, sprite));
        }
    }
    compositeLayerShape(resources, target, layer, sprite, states, cover);
}
