#include "fx/ElasticSprite.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

namespace
{
// A 64 x 64 picture with one colour per quadrant, the lowest quarter in colours of its own,
// to see where each part lands.
using Colour = sf::Color;
const Colour topLeft = Colour::Red, topRight = Colour::Green, bottomLeft = Colour::Blue,
             bottomRight = Colour::Yellow, lowestLeft = Colour::Cyan, lowestRight = Colour::Magenta,
             black = Colour::Black;

using Points = std::vector<sf::Vector2f>;

class ElasticSpriteTest : public testing::Test
{
protected:
    void SetUp() override
    {
        sf::Image image;
        image.create(64, 64);
        for (unsigned y = 0; y < 64; ++y)
            for (unsigned x = 0; x < 64; ++x)
                image.setPixel(x, y,
                               y < 32   ? (x < 32 ? topLeft : topRight)
                               : y < 48 ? (x < 32 ? bottomLeft : bottomRight)
                                        : (x < 32 ? lowestLeft : lowestRight));
        ASSERT_TRUE(texture.loadFromImage(image));
        ASSERT_TRUE(target.create(256, 256));
    }

    /// Draws the sprite and returns the corners' positions (or texture coordinates), in vertex order.
    Points corners(bool texCoords = false)
    {
        target.draw(sprite);
        Points points;
        for (const sf::Vertex& vertex : sprite.getVertices())
            points.push_back(texCoords ? vertex.texCoords : vertex.position);
        return points;
    }

    /// Draws the sprite and compares the pixel at each x, y pair of points with the colour for it.
    void expectColours(const char* path, std::vector<unsigned> points, std::vector<sf::Color> colours)
    {
        target.clear(black);
        target.draw(sprite);
        target.display();
        const sf::Image image = target.getTexture().copyToImage();
        for (std::size_t i = 0; i < colours.size(); ++i)
            EXPECT_EQ(image.getPixel(points[2 * i], points[2 * i + 1]), colours[i])
                << path << " at (" << points[2 * i] << ", " << points[2 * i + 1] << ")";
    }

    sf::Texture texture;
    sf::RenderTexture target;
    ElasticShaders shaders;
    ElasticSprite sprite{&shaders};
};
} // namespace

TEST_F(ElasticSpriteTest, CornersFollowTheTextureRectTheOffsetsAndTheTransformAndWeighTheirTexture)
{
    // Resetting with the texture drops the offsets and takes the whole picture; indices outside
    // the four corners are ignored.
    sprite.setTexture(texture);
    sprite.setTextureRect(sf::FloatRect(0.f, 0.f, 10.f, 10.f));
    sprite.setCornerOffset(2, sf::Vector2f(5.f, 7.f));
    sprite.setTexture(texture, true);
    sprite.setCornerOffset(-1, sf::Vector2f(5.f, 5.f));
    sprite.setCornerOffset(4, sf::Vector2f(5.f, 5.f));
    EXPECT_EQ(sprite.getCornerOffset(4), sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(corners(), (Points{{0.f, 0.f}, {0.f, 64.f}, {64.f, 64.f}, {64.f, 0.f}}));

    sprite.setCornerOffset(2, sf::Vector2f(6.f, -4.f));
    // A move alone, without a setter, is picked up by the next draw as well.
    sprite.setPosition(10.f, 20.f);
    EXPECT_EQ(corners(), (Points{{10.f, 20.f}, {10.f, 84.f}, {80.f, 80.f}, {74.f, 20.f}}));

    // Undistorted, the perspective weighs every corner 2 and leaves the vertex colours alone.
    ASSERT_TRUE(sf::Shader::isAvailable());
    EXPECT_TRUE(sprite.areShadersLoaded());
    ElasticSprite withoutShaders;
    withoutShaders.enableShader(true);
    EXPECT_FALSE(withoutShaders.isShaderEnabled()) << "a sprite without shaders is drawn plainly";
    sprite.setCornerOffset(2, sf::Vector2f(0.f, 0.f));
    sprite.setTextureRect(sf::FloatRect(16.f, 0.f, 32.f, 64.f));
    sprite.enablePerspective(true);
    EXPECT_EQ(corners(true), (Points{{0.5f, 0.f}, {0.5f, 2.f}, {1.5f, 2.f}, {1.5f, 0.f}}));
    EXPECT_EQ(sprite.getCornerWeights(), std::vector<float>(4, 2.f));
    for (const sf::Vertex& vertex : sprite.getVertices())
        EXPECT_EQ(vertex.color, sf::Color::White);
}

TEST_F(ElasticSpriteTest, BothShaderPathsMapThePictureOntoTheCard)
{
    // The card of the shader paths: the picture scaled to 192 x 192 at (32, 32), its top edge
    // pulled in by 48 pixels on each side, as if tilted away from the viewer. A bilinear mapping
    // spreads the picture's rows evenly down the card (row v, 0..1, lies 192 v pixels below the
    // top); a perspective mapping puts it 192 v / (2 - v) down, so the middle row lies 64 pixels
    // down, where the diagonals cross, and the three-quarter row 115 pixels down instead of 144.
    sprite.setTexture(texture, true);
    sprite.setPosition(32.f, 32.f);
    sprite.setScale(3.f, 3.f);
    sprite.setCornerOffset(0, sf::Vector2f(16.f, 0.f));
    sprite.setCornerOffset(3, sf::Vector2f(-16.f, 0.f));
    // Rows near the top and the bottom agree in both mappings, and outside the card stays black;
    // then probes 80, 105 and 125 pixels below the card's top, about a quarter of the way across.
    for (const bool perspective : {true, false})
    {
        sprite.enablePerspective(perspective);
        expectColours(perspective ? "perspective" : "bilinear",
                      {92, 61, 162, 61, 72, 202, 182, 202, 40, 40, 128, 240, 90, 112, 90, 137, 90, 157},
                      {topLeft, topRight, lowestLeft, lowestRight, black, black,
                       perspective ? bottomLeft : topLeft, bottomLeft,
                       perspective ? lowestLeft : bottomLeft});
    }
    // Without shaders an untilted card is drawn as a plain textured quad.
    sprite.setCornerOffset(0, sf::Vector2f());
    sprite.setCornerOffset(3, sf::Vector2f());
    sprite.enableShader(false);
    expectColours("plain", {60, 60, 200, 60, 60, 150, 200, 150, 40, 40, 128, 240},
                  {topLeft, topRight, bottomLeft, bottomRight, topLeft, black});
}
