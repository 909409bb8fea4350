#include "TestSupport.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"
#include "fx/ParticleSystem.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

using testsupport::captureStderr;
using testsupport::dataPath;

namespace
{
// Particles of the 4 x 4 white "dot" sprite, born still at (10, 20) with scale 2.
nlohmann::json dotDefinition()
{
    return {{"name", "dots"},      {"sprites", {"dot"}},  {"min_x", 10},     {"max_x", 10},
            {"min_y", 20},         {"max_y", 20},         {"min_xs", 0},     {"max_xs", 0},
            {"min_ys", 0},         {"max_ys", 0},         {"min_xg", 0},     {"max_xg", 0},
            {"min_yg", 0},         {"max_yg", 0},         {"min_rot", 0},    {"max_rot", 0},
            {"min_rotspeed", 0},   {"max_rotspeed", 0},   {"min_scale", 2},  {"max_scale", 2},
            {"min_scalespeed", 0}, {"max_scalespeed", 0}, {"fadein", false}, {"fadeout", false},
            {"min_fadespeed", 1},  {"max_fadespeed", 1},  {"min_ttl", 1},    {"max_ttl", 1}};
}

class ParticleSystemDrawing : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(captureStderr(
                      [&]
                      {
                          textures.load(dataPath("particles/textures.json"));
                          sprites.load(dataPath("particles/sprites.json"));
                      }),
                  "");
        ASSERT_TRUE(target.create(32, 32));
        target.clear(sf::Color::Black);
    }

    void load(const nlohmann::json& def)
    {
        captureStderr([&] { ASSERT_TRUE(system.loadFromJson(def, 4, sprites)); });
        system.emitting = true;
    }

    sf::Image drawn()
    {
        system.draw(target);
        target.display();
        return target.getTexture().copyToImage();
    }

    TextureManager textures;
    SpriteManager sprites{textures};
    ParticleSystem system;
    sf::RenderTexture target;
};
} // namespace

TEST_F(ParticleSystemDrawing, DrawsLivingParticlesThroughTheSharedSprite)
{
    load(dotDefinition());
    system.emit();
    system.particles[0].alpha = 0.5f;
    const sf::Image image = drawn();
    EXPECT_NEAR(image.getPixel(10, 20).r, 127, 1); // half alpha over black
    EXPECT_NEAR(image.getPixel(17, 27).r, 127, 1); // scale 2: the 4 x 4 dot covers 8 x 8
    EXPECT_EQ(image.getPixel(18, 28), sf::Color::Black);
    EXPECT_EQ(image.getPixel(9, 20), sf::Color::Black);

    // The sprite keeps what the last particle gave it; other users of the key see it.
    const sf::Sprite* dot = sprites.get("dot");
    EXPECT_EQ(dot->getPosition(), sf::Vector2f(10.f, 20.f));
    EXPECT_EQ(dot->getScale(), sf::Vector2f(2.f, 2.f));
    EXPECT_EQ(dot->getColor(), sf::Color(255, 255, 255, 127));
}

TEST_F(ParticleSystemDrawing, ParticleDyingThisFrameIsNotDrawn)
{
    load(dotDefinition());
    system.emit();
    system.emitting = false;
    system.update(1.f);
    EXPECT_EQ(drawn().getPixel(12, 22), sf::Color::Black);
}

TEST_F(ParticleSystemDrawing, ParticlesWithoutSpriteDrawNothing)
{
    nlohmann::json def = dotDefinition();
    def["sprites"] = {"nowhere"};
    load(def);
    system.emit();
    EXPECT_EQ(drawn().getPixel(12, 22), sf::Color::Black);

    def["sprites"] = nlohmann::json::array();
    load(def);
    system.emit();
    EXPECT_TRUE(system.particles[0].alive);
    EXPECT_EQ(drawn().getPixel(12, 22), sf::Color::Black);
}

TEST_F(ParticleSystemDrawing, AlphaAboveOneDrawsOpaque)
{
    nlohmann::json def = dotDefinition();
    def["fadein"] = true;
    def["min_alpha"] = 1.5;
    load(def);
    system.emit();
    system.emitting = false;
    system.particles[0].ttl = 5.f;
    system.update(1.f);
    EXPECT_EQ(system.particles[0].alpha, 1.5f);
    EXPECT_EQ(drawn().getPixel(12, 22), sf::Color::White);
}
