#include "scenes/Pulse.hpp"

#include "runtime/PassTiming.hpp"
#include "runtime/Resources.hpp"
#include "scenes/SceneHelpers.hpp"

#include <SFML/Graphics/VertexArray.hpp>

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

void Pulse::draw(const Resources& resources, sf::RenderTarget& target, const sf::Transform& placed) const
{
    // At level 0 every tile is far out and invisible.
    if (!active || !worthDrawing(level > 0.f))
        return;
    std::optional<DrawWithin> within;
    if (const std::optional<sf::FloatRect> area = drawnArea())
        within.emplace(target, placed.transformRect(*area));
    if (!shader)
    {
        drawIfPresent(resources, target, sprite, sf::RenderStates(placed));
        return;
    }
    shader->setUniform("iTime", level);
    if (sprite)
        drawScatterTiles(resources, target, *sprite, *shader, level >= 1.f, tilesShown, placed);
}

namespace
{
const sf::Vector2u scatterTiles(32, 18); // across and down
} // namespace

void drawScatterTiles(const Resources& resources, sf::RenderTarget& target, const sf::Sprite& quad,
                      sf::Shader& shader, bool home, const std::vector<bool>& shown,
                      const sf::Transform& placed)
{
    // Every corner of every tile at home, in the picture's units: the shader finds its tile and
    // corner from the texture coordinates (cell + 0.5 + corner, in tiles) and the colour (the
    // corner), and moves it. The colour's alpha is 0, so nothing shows without the shader.
    static const sf::VertexArray tiles = []
    {
        const sf::Vector2f count(scatterTiles);
        sf::VertexArray vertices(sf::Quads);
        for (float y = 0.f; y < count.y; ++y)
            for (float x = 0.f; x < count.x; ++x)
                for (const sf::Vector2f corner : {sf::Vector2f(0.f, 0.f), sf::Vector2f(1.f, 0.f),
                                                  sf::Vector2f(1.f, 1.f), sf::Vector2f(0.f, 1.f)})
                {
                    const sf::Vector2f home(x + corner.x, y + corner.y);
                    vertices.append(sf::Vertex(sf::Vector2f(home.x / count.x, home.y / count.y),
                                               sf::Color(static_cast<sf::Uint8>(255.f * corner.x),
                                                         static_cast<sf::Uint8>(255.f * corner.y), 0, 0),
                                               home));
                }
        return vertices;
    }();
    if (shader.getNativeHandle() == 0)
        return;
    const TimedPass pass(resources.shaderName(&shader));
    const bool someOnly = shown.size() == tiles.getVertexCount() / 4;
    sf::VertexArray someTiles(sf::Quads);
    for (std::size_t tile = 0; someOnly && tile < shown.size(); ++tile)
        for (std::size_t corner = 0; shown[tile] && corner < 4; ++corner)
            someTiles.append(tiles[tile * 4 + corner]);
    const sf::VertexArray& drawn = someOnly ? someTiles : tiles;
    const sf::FloatRect bounds = quad.getLocalBounds();
    sf::RenderStates states(&shader);
    states.transform = placed * quad.getTransform();
    states.transform.translate(bounds.left, bounds.top).scale(bounds.width, bounds.height);
    // In flight, a flock at a time from the last to the first; home, all at once (flock -1).
    const int lastFlock = home ? -1 : 5, firstFlock = home ? -1 : 0;
    for (int flock = lastFlock; flock >= firstFlock; --flock)
    {
        shader.setUniform("flock", static_cast<float>(flock));
        target.draw(drawn, states);
    }
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

std::vector<bool> scatterTilesShown(const TextureManager& textures, const std::string& textureKey)
{
    return textures.opaqueCells(textureKey, scatterTiles.x, scatterTiles.y);
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
