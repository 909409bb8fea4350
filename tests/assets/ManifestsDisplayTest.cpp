// The manifests and pictures that ship in assets/, loaded the way the demo loads them.

#include "TestSupport.hpp"
#include "assets/ParticleManager.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"

#include <SFML/Graphics.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <vector>

using testsupport::captureStderr;

namespace
{
/// The shipped registries, loaded once for the whole suite (tens of full-screen textures).
struct ShippedAssets
{
    TextureManager textures;
    SpriteManager sprites{textures};
    ParticleManager particles{sprites};
    bool texturesLoaded = false;
    bool spritesLoaded = false;
    bool particlesLoaded = false;
    std::string diagnostics;
};

ShippedAssets& shipped()
{
    static std::unique_ptr<ShippedAssets> assets;
    if (!assets)
    {
        assets = std::make_unique<ShippedAssets>();
        ShippedAssets& a = *assets;
        a.diagnostics = captureStderr(
            [&a]
            {
                a.texturesLoaded = a.textures.load("assets/textures.json");
                a.spritesLoaded = a.sprites.load("assets/sprites.json");
                a.particlesLoaded = a.particles.load("assets/particles.json");
            });
    }
    return *assets;
}

/// Where a sprite lands in the 1920 x 1080 frame when it stands at (960, 540).
sf::FloatRect boundsAtCentre(const sf::Sprite& sprite)
{
    sf::Sprite copy = sprite;
    copy.setPosition(960.f, 540.f);
    copy.setScale(1.f, 1.f);
    copy.setRotation(0.f);
    return copy.getGlobalBounds();
}

bool insideFrame(const sf::FloatRect& r)
{
    return r.left >= 0.f && r.top >= 0.f && r.left + r.width <= 1920.f && r.top + r.height <= 1080.f;
}
} // namespace

TEST(ShippedManifests, LoadWithoutAnyDiagnosticLine)
{
    ShippedAssets& assets = shipped();
    EXPECT_TRUE(assets.texturesLoaded);
    EXPECT_TRUE(assets.spritesLoaded);
    EXPECT_TRUE(assets.particlesLoaded);
    EXPECT_EQ(assets.diagnostics, "");
}

// Every key that the start-up code and the scenes look up, once, by registry.
enum class Registry
{
    Texture,
    Sprite,
    Particles
};

struct NamedKey
{
    Registry registry;
    const char* key;
};

std::ostream& operator<<(std::ostream& out, const NamedKey& k)
{
    return out << (k.registry == Registry::Texture  ? "texture "
                   : k.registry == Registry::Sprite ? "sprite "
                                                    : "particles ")
               << k.key;
}

class ShippedKeys : public testing::TestWithParam<NamedKey>
{
};

TEST_P(ShippedKeys, Resolves)
{
    ShippedAssets& assets = shipped();
    const NamedKey named = GetParam();
    std::string err = captureStderr(
        [&]
        {
            switch (named.registry)
            {
            case Registry::Texture:
                EXPECT_NE(assets.textures.get(named.key), nullptr);
                break;
            case Registry::Sprite:
                EXPECT_NE(assets.sprites.get(named.key), nullptr);
                break;
            case Registry::Particles:
                EXPECT_NE(assets.particles.get(named.key), nullptr);
                break;
            }
        });
    EXPECT_EQ(err, "");
}

std::vector<NamedKey> shippedKeys()
{
    std::vector<NamedKey> keys;
    for (const char* key : {"bg-grad", "rainbow_texture", "dots", "greets1", "greets2", "greets3", "greets4",
                            "greets5", "greets6", "finger", "wsl1", "wsl2", "wsl3", "presentado", "morv"})
        keys.push_back({Registry::Texture, key});
    for (const char* key :
         {"black",   "gr1",     "gr2",     "quib",    "zarn",    "plok",    "greets",  "vesk",
          "trumo",   "glin",    "grumlo1", "grumlo2", "grumlo3", "grumlo4", "vs",      "the",
          "vortle1", "vortle2", "and",     "trobisk", "flum",    "ba",      "doo",     "zin",
          "gel",     "pop",     "tik",     "vortle",  "plimmo1", "plimmo2", "plimmo3", "plimmo4",
          "plimmo5", "frame1",  "frame2",  "baba",    "finger",  "bubble1", "bubble2", "bubble3",
          "bubble4", "bubble5", "bubble6", "bubble7", "bubble8", "bubble9"})
        keys.push_back({Registry::Sprite, key});
    for (const char* key : {"star_particles", "flower_particles"})
        keys.push_back({Registry::Particles, key});
    return keys;
}

INSTANTIATE_TEST_SUITE_P(EveryKey, ShippedKeys, testing::ValuesIn(shippedKeys()));

TEST(ShippedSprites, BlackCoversTheFrameOpaquely)
{
    const sf::Sprite* black = shipped().sprites.get("black");
    ASSERT_NE(black, nullptr);
    EXPECT_EQ(black->getTextureRect(), sf::IntRect(0, 0, 1920, 1080));
    EXPECT_EQ(black->getOrigin(), sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(black->getPosition(), sf::Vector2f(0.f, 0.f));
    ASSERT_NE(black->getTexture(), nullptr);
    EXPECT_EQ(black->getTexture()->getSize(), sf::Vector2u(1920, 1080));
    // The fade overlay tints it white and relies on the picture itself being black.
    const sf::Image image = black->getTexture()->copyToImage();
    unsigned wrong = 0;
    for (unsigned y = 0; y < 1080; ++y)
        for (unsigned x = 0; x < 1920; ++x)
            wrong += image.getPixel(x, y) != sf::Color::Black;
    EXPECT_EQ(wrong, 0u);
}

TEST(ShippedSprites, CentredPicturesHaveTheirOriginInTheMiddle)
{
    for (const char* key : {"gr1", "gr2", "plimmo1", "plimmo2", "plimmo3", "plimmo4", "plimmo5"})
    {
        SCOPED_TRACE(key);
        const sf::Sprite* sprite = shipped().sprites.get(key);
        ASSERT_NE(sprite, nullptr);
        const sf::IntRect rect = sprite->getTextureRect();
        EXPECT_EQ(sprite->getOrigin(),
                  sf::Vector2f(static_cast<float>(rect.width / 2), static_cast<float>(rect.height / 2)));
    }
    // The opening cards stand at the frame centre and fill it.
    for (const char* key : {"gr1", "gr2"})
        EXPECT_EQ(boundsAtCentre(*shipped().sprites.get(key)), sf::FloatRect(0.f, 0.f, 1920.f, 1080.f))
            << key;
}

TEST(ShippedSprites, GroupLogoIsAFullFramePicture)
{
    // The scene gives it origin (960, 540) itself, so only a full-frame picture with
    // the logo in its middle lines up.
    const sf::Sprite* logo = shipped().sprites.get("vortle");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->getTextureRect(), sf::IntRect(0, 0, 1920, 1080));
    const sf::Image image = logo->getTexture()->copyToImage();
    EXPECT_GT(image.getPixel(960, 540).a, 200) << "the logo covers the centre";
    EXPECT_EQ(image.getPixel(20, 20).a, 0) << "the corners are clear";
}

TEST(ShippedSprites, TitleWordsReadInOrderAtTheirManifestPlaces)
{
    // The title scene sets only their scale, so the registry's placement is final.
    const char* words[] = {"grumlo1", "grumlo2", "grumlo3", "grumlo4", "vs",
                           "the",     "vortle1", "vortle2", "and",     "trobisk"};
    sf::FloatRect previous;
    for (std::size_t i = 0; i < std::size(words); ++i)
    {
        SCOPED_TRACE(words[i]);
        const sf::Sprite* word = shipped().sprites.get(words[i]);
        ASSERT_NE(word, nullptr);
        EXPECT_EQ(word->getPosition(), sf::Vector2f(960.f, 540.f));
        const sf::FloatRect bounds = word->getGlobalBounds();
        EXPECT_TRUE(insideFrame(bounds));
        if (i > 0)
        {
            const float previousMiddle = previous.top + previous.height / 2.f;
            const float middle = bounds.top + bounds.height / 2.f;
            const bool sameLine = std::abs(middle - previousMiddle) < previous.height / 2.f;
            if (sameLine)
                EXPECT_GT(bounds.left + bounds.width / 2.f, previous.left + previous.width);
            else
                EXPECT_GT(middle, previous.top + previous.height);
        }
        previous = bounds;
    }
}

TEST(ShippedSprites, TitlePiecesLineUpAtTheFrameCentre)
{
    // The fractal scene puts each piece at (960, 540); the origin alone decides where
    // it shows. Pieces of one line must sit side by side without covering each other.
    const char* pieces[] = {"flum", "ba", "doo", "zin", "gel", "pop", "tik"};
    std::vector<sf::FloatRect> placed;
    for (const char* key : pieces)
    {
        SCOPED_TRACE(key);
        const sf::Sprite* piece = shipped().sprites.get(key);
        ASSERT_NE(piece, nullptr);
        placed.push_back(boundsAtCentre(*piece));
        EXPECT_TRUE(insideFrame(placed.back()));
    }
    for (std::size_t i = 1; i < placed.size(); ++i)
    {
        const bool sameLine = std::abs(placed[i].top - placed[i - 1].top) < placed[i - 1].height / 2.f;
        if (sameLine)
            EXPECT_GT(placed[i].left, placed[i - 1].left + placed[i - 1].width / 2.f) << pieces[i];
        else
            EXPECT_GT(placed[i].top, placed[i - 1].top) << pieces[i];
    }
}

TEST(ShippedSprites, BouncingPicturesFitTheirWalls)
{
    // The bouncing scenes take width and height from the whole texture, so each of
    // these sprites must show its whole texture.
    for (const char* key : {"quib", "zarn", "plok", "greets", "vesk", "trumo", "glin", "bubble1", "bubble2",
                            "bubble3", "bubble4", "bubble5", "bubble6", "bubble7", "bubble8", "bubble9"})
    {
        SCOPED_TRACE(key);
        const sf::Sprite* sprite = shipped().sprites.get(key);
        ASSERT_NE(sprite, nullptr);
        const sf::Vector2u size = sprite->getTexture()->getSize();
        EXPECT_EQ(sprite->getTextureRect(),
                  sf::IntRect(0, 0, static_cast<int>(size.x), static_cast<int>(size.y)));
        EXPECT_EQ(sprite->getOrigin(), sf::Vector2f(0.f, 0.f));
        EXPECT_LT(size.x, 1900u);
        EXPECT_LT(size.y, 890u) << "room between the start height and the floor";
        if (std::string(key).rfind("bubble", 0) == 0)
        {
            EXPECT_LE(size.y, 300u);
        }
    }
}

TEST(ShippedSprites, SpinningPicturesTurnAboutTheirMiddle)
{
    // Particles rotate and scale about the sprite origin.
    for (const char* key : {"star1", "star2", "star3", "flower1", "flower2", "flower3"})
    {
        SCOPED_TRACE(key);
        const sf::Sprite* sprite = shipped().sprites.get(key);
        ASSERT_NE(sprite, nullptr);
        const sf::IntRect rect = sprite->getTextureRect();
        EXPECT_EQ(sprite->getOrigin(), sf::Vector2f(rect.width / 2.f, rect.height / 2.f));
    }
}

TEST(ShippedSprites, FlipFramesMatchAndStayOnScreen)
{
    const sf::Sprite* first = shipped().sprites.get("frame1");
    const sf::Sprite* second = shipped().sprites.get("frame2");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->getGlobalBounds(), second->getGlobalBounds());
    EXPECT_NE(first->getTextureRect(), second->getTextureRect());
    EXPECT_TRUE(insideFrame(first->getGlobalBounds()));
}

TEST(ShippedTextures, ShaderPicturesHaveTheSizeTheShadersAssume)
{
    ShippedAssets& assets = shipped();
    // Scrolled backgrounds repeat; the full-frame pictures are drawn over the whole
    // frame (the card with an explicit 1920 x 1080 rectangle).
    for (const char* key : {"bg-grad", "rainbow_texture", "dots", "morv"})
    {
        const sf::Texture* texture = assets.textures.get(key);
        ASSERT_NE(texture, nullptr) << key;
        EXPECT_TRUE(texture->isRepeated()) << key;
    }
    for (const char* key : {"presentado", "greets1", "greets2", "greets3", "greets4", "greets5", "greets6",
                            "wsl1", "wsl2", "wsl3"})
    {
        const sf::Texture* texture = assets.textures.get(key);
        ASSERT_NE(texture, nullptr) << key;
        EXPECT_EQ(texture->getSize(), sf::Vector2u(1920, 1080)) << key;
    }
}

TEST(ShippedParticles, SystemsDrawOnlyRegisteredSprites)
{
    ShippedAssets& assets = shipped();
    for (const char* key : {"star_particles", "flower_particles"})
    {
        SCOPED_TRACE(key);
        ParticleSystem* system = assets.particles.get(key);
        ASSERT_NE(system, nullptr);
        EXPECT_FALSE(system->sprites.empty());
        // Without a spawn interval, or with a fade to nothing, a system never shows.
        EXPECT_GT(system->spawn_rate, 0.f);
        EXPECT_GT(system->count, 0);
        EXPECT_GT(system->min_alpha, 0.f);
        EXPECT_LE(system->min_ttl, system->max_ttl);
        for (const sf::Sprite* sprite : system->sprites)
            EXPECT_NE(sprite, nullptr);
    }
}
