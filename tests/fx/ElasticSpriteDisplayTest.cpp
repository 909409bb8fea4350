#include "fx/ElasticSprite.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>
#include <string>

namespace
{
const sf::Color topLeft = sf::Color::Red;
const sf::Color topRight = sf::Color::Green;
const sf::Color bottomLeft = sf::Color::Blue;
const sf::Color bottomRight = sf::Color::Yellow;
const sf::Color lowestLeft = sf::Color::Cyan;
const sf::Color lowestRight = sf::Color::Magenta;

class ElasticSpriteTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // A 64 x 64 picture with one colour per quadrant, the lowest quarter in colours of
        // its own, to see where each part lands.
        sf::Image image;
        image.create(64, 64);
        for (unsigned y = 0; y < 64; ++y)
            for (unsigned x = 0; x < 64; ++x)
            {
                const bool left = x < 32;
                const sf::Color bottom =
                    y < 48 ? (left ? bottomLeft : bottomRight) : (left ? lowestLeft : lowestRight);
                image.setPixel(x, y, y < 32 ? (left ? topLeft : topRight) : bottom);
            }
        ASSERT_TRUE(texture.loadFromImage(image));
        ASSERT_TRUE(target.create(256, 256));
        target.clear(sf::Color::Black);
    }

    sf::Image render()
    {
        target.draw(sprite);
        target.display();
        return target.getTexture().copyToImage();
    }

    void expectRectangle(sf::Vector2f topLeftCorner, sf::Vector2f size)
    {
        const std::array<sf::Vertex, 4>& v = sprite.getVertices();
        EXPECT_EQ(v[0].position, topLeftCorner);
        EXPECT_EQ(v[1].position, topLeftCorner + sf::Vector2f(0.f, size.y));
        EXPECT_EQ(v[2].position, topLeftCorner + size);
        EXPECT_EQ(v[3].position, topLeftCorner + sf::Vector2f(size.x, 0.f));
    }

    sf::Texture texture;
    sf::RenderTexture target;
    ElasticSprite sprite;
};

// The card of the rendered checks: the 64 x 64 picture scaled to 192 x 192 at (32, 32),
// its top edge pulled in by 48 pixels on each side, as if tilted away from the viewer.
// A bilinear mapping spreads the picture's rows evenly down the card (row v, 0..1, lies
// 192 v pixels below the top); a perspective mapping puts it 192 v / (2 - v) down, so
// the middle row lies 64 pixels down, where the diagonals cross, and the three-quarter
// row 115 pixels down instead of 144.
void makeTrapezoid(ElasticSprite& sprite, const sf::Texture& texture)
{
    sprite.setTexture(texture, true);
    sprite.setPosition(32.f, 32.f);
    sprite.setScale(3.f, 3.f);
    sprite.setCornerOffset(0, sf::Vector2f(16.f, 0.f));
    sprite.setCornerOffset(3, sf::Vector2f(-16.f, 0.f));
}

struct Probe
{
    unsigned x, y;
    sf::Color colour;
};

void expectColours(const sf::Image& image, std::initializer_list<Probe> probes, const std::string& path)
{
    for (const Probe& probe : probes)
        EXPECT_EQ(image.getPixel(probe.x, probe.y), probe.colour)
            << path << " at (" << probe.x << ", " << probe.y << ")";
}
} // namespace

TEST_F(ElasticSpriteTest, ShadersAreWrittenForGlsl110)
{
    for (const char* source : {ElasticSprite::bilinearFragmentSource, ElasticSprite::perspectiveVertexSource,
                               ElasticSprite::perspectiveFragmentSource})
    {
        EXPECT_EQ(std::string(source).rfind("#version 110\n", 0), 0u);
    }
    if (sf::Shader::isAvailable())
    {
        EXPECT_TRUE(ElasticSprite::areShadersLoaded());
    }
}

TEST_F(ElasticSpriteTest, RectangleVerticesAfterSetTextureRect)
{
    sprite.setTexture(texture);
    sprite.setTextureRect(sf::FloatRect(0.f, 0.f, 200.f, 100.f));
    render();
    expectRectangle(sf::Vector2f(0.f, 0.f), sf::Vector2f(200.f, 100.f));
    const std::array<sf::Vertex, 4>& v = sprite.getVertices();
    EXPECT_EQ(v[1].texCoords, sf::Vector2f(0.f, 100.f));
    EXPECT_EQ(v[3].texCoords, sf::Vector2f(200.f, 0.f));
}

TEST_F(ElasticSpriteTest, UndistortedPerspectiveWeightsAreTwo)
{
    if (!sf::Shader::isAvailable())
        GTEST_SKIP() << "no shader support";
    sprite.setTexture(texture);
    sprite.setTextureRect(sf::FloatRect(16.f, 0.f, 32.f, 64.f));
    sprite.enablePerspective(true);
    render();
    ASSERT_EQ(sprite.getCornerWeights().size(), 4u);
    for (float weight : sprite.getCornerWeights())
        EXPECT_FLOAT_EQ(weight, 2.f);
    const std::array<sf::Vertex, 4>& v = sprite.getVertices();
    EXPECT_EQ(v[0].texCoords, sf::Vector2f(0.5f, 0.f));
    EXPECT_EQ(v[2].texCoords, sf::Vector2f(1.5f, 2.f));
}

TEST_F(ElasticSpriteTest, PerspectiveDrawLeavesTheVertexColours)
{
    makeTrapezoid(sprite, texture);
    sprite.enablePerspective(true);
    render();
    for (const sf::Vertex& vertex : sprite.getVertices())
        EXPECT_EQ(vertex.color, sf::Color::White);
}

TEST_F(ElasticSpriteTest, ResetOrStrayOffsetsLeaveThePlainRectangle)
{
    sprite.setTexture(texture);
    sprite.setTextureRect(sf::FloatRect(0.f, 0.f, 10.f, 10.f));
    sprite.setCornerOffset(2, sf::Vector2f(5.f, 7.f));
    sprite.setTexture(texture, true);
    EXPECT_EQ(sprite.getCornerOffset(2), sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(sprite.getTextureRect(), sf::FloatRect(0.f, 0.f, 64.f, 64.f));
    // Indices outside the four corners are ignored.
    sprite.setCornerOffset(-1, sf::Vector2f(5.f, 5.f));
    sprite.setCornerOffset(4, sf::Vector2f(5.f, 5.f));
    EXPECT_EQ(sprite.getCornerOffset(4), sf::Vector2f(0.f, 0.f));
    render();
    expectRectangle(sf::Vector2f(0.f, 0.f), sf::Vector2f(64.f, 64.f));
}

TEST_F(ElasticSpriteTest, OffsetsAndTransformsMoveTheCorners)
{
    sprite.setTexture(texture, true);
    sprite.setCornerOffset(2, sf::Vector2f(6.f, -4.f));
    render();
    EXPECT_EQ(sprite.getVertices()[2].position, sf::Vector2f(70.f, 60.f));

    // A move alone, without a setter, is picked up by the next draw as well.
    sprite.setPosition(10.f, 20.f);
    render();
    EXPECT_EQ(sprite.getVertices()[0].position, sf::Vector2f(10.f, 20.f));
    EXPECT_EQ(sprite.getVertices()[2].position, sf::Vector2f(80.f, 80.f));
}

TEST_F(ElasticSpriteTest, PlainPathShowsTheTexture)
{
    sprite.enableShader(false);
    sprite.setTexture(texture, true);
    sprite.setPosition(32.f, 32.f);
    sprite.setScale(2.f, 2.f);
    expectColours(render(),
                  {{40, 40, topLeft},
                   {150, 40, topRight},
                   {40, 120, bottomLeft},
                   {150, 120, bottomRight},
                   {40, 150, lowestLeft},
                   {150, 150, lowestRight},
                   {20, 20, sf::Color::Black},
                   {170, 170, sf::Color::Black}},
                  "plain");
}

TEST_F(ElasticSpriteTest, ShaderPathsMapThePictureOntoTheCard)
{
    if (!sf::Shader::isAvailable())
        GTEST_SKIP() << "no shader support";
    makeTrapezoid(sprite, texture);

    // Rows near the top and the bottom agree in both mappings; outside the card stays black.
    const std::initializer_list<Probe> common = {{92, 61, topLeft},          {162, 61, topRight},
                                                 {72, 202, lowestLeft},      {182, 202, lowestRight},
                                                 {40, 40, sf::Color::Black}, {128, 240, sf::Color::Black}};
    // Probes 80, 105 and 125 pixels below the card's top, about a quarter of the way across.
    const unsigned x = 90;
    const unsigned y80 = 32 + 80;
    const unsigned y105 = 32 + 105;
    const unsigned y125 = 32 + 125;

    sprite.enablePerspective(true);
    const sf::Image perspective = render();
    expectColours(perspective, common, "perspective");
    expectColours(perspective, {{x, y80, bottomLeft}, {x, y105, bottomLeft}, {x, y125, lowestLeft}},
                  "perspective");

    target.clear(sf::Color::Black);
    sprite.enablePerspective(false);
    const sf::Image bilinear = render();
    expectColours(bilinear, common, "bilinear");
    expectColours(bilinear, {{x, y80, topLeft}, {x, y105, bottomLeft}, {x, y125, bottomLeft}}, "bilinear");
}
