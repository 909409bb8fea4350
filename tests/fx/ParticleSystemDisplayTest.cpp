#include "TestSupport.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"
#include "fx/ParticleSystem.hpp"
#include "fx/Random.hpp"
#include "runtime/PassTiming.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
// Particles of the 4 x 4 white "dot" sprite that stand still and live long, anywhere on the
// screen, with changes (a JSON object) merged in.
nlohmann::json definition(const char* changes = "{}")
{
    nlohmann::json def = nlohmann::json::parse(R"({"name": "test", "sprites": ["dot"], "spawn_rate": 0.25,
        "fadein": false, "fadeout": false, "min_xs": 0, "max_xs": 0, "min_ys": 0, "max_ys": 0, "min_xg": 0,
        "max_xg": 0, "min_yg": 0, "max_yg": 0, "min_rot": 0, "max_rot": 0, "min_rotspeed": 0, "max_rotspeed": 0,
        "min_scale": 1, "max_scale": 1, "min_scalespeed": 0, "max_scalespeed": 0, "min_fadespeed": 1,
        "max_fadespeed": 1, "min_ttl": 100, "max_ttl": 100})");
    def.update(nlohmann::json::parse(changes));
    return def;
}

class ParticleSystemTest : public testing::Test
{
protected:
    void SetUp() override
    {
        textures.load(dataPath("particles/textures.json"));
        sprites.load(dataPath("particles/sprites.json"));
    }

    /// Loads def into a fresh system with count slots and starts emitting; returns what it wrote.
    std::string load(const nlohmann::json& def, int count = 10)
    {
        system = ParticleSystem();
        const std::string err = captureStderr([&] { EXPECT_TRUE(system.loadFromJson(def, count, sprites)); });
        system.emitting = true;
        return err;
    }

    /// Loads def and lets one particle be born, with no more births after it.
    Particle& born(const nlohmann::json& def)
    {
        load(def);
        system.emit(random);
        system.emitting = false;
        return system.particles[0];
    }

    int alive() const
    {
        return static_cast<int>(std::count_if(system.particles.begin(), system.particles.end(),
                                              [](const Particle& particle) { return particle.alive; }));
    }

    TextureManager textures;
    SpriteManager sprites{textures};
    ParticleSystem system;
    Random random; ///< what births draw from
};
} // namespace

TEST_F(ParticleSystemTest, SpawnsOnItsIntervalCarryingTheRemainderWhileEmittingWithRoomLeft)
{
    // Spawn rate (none: 0), slots, emitting, frame time, frames; then the living particles and the
    // timer left. A birth into a full pool is lost but uses up its interval, so rates far below the
    // frame time fill the pool and return, even one too small to change the timer when subtracted.
    for (const auto& [rate, slots, emitting, dt, frames, expectedAlive, expectedTimer] :
         {std::tuple{0.25f, 10, true, 0.625f, 1, 2, 0.125f},
          {0.25f, 10, true, 0.625f, 2, 5, 0.f},
          {0.25f, 2, true, 1.f, 1, 2, 0.f},
          {0.25f, 10, false, 1.f, 1, 0, 1.f},
          {0.f, 10, true, 0.5f, 100, 0, 50.f},
          {1e-40f, 7, true, 1.f / 60.f, 2, 7, 0.f},
          {1e-5f, 7, true, 1.f / 60.f, 2, 7, 0.f}})
    {
        nlohmann::json def = definition();
        def["spawn_rate"] = rate;
        if (rate == 0.f)
            def.erase("spawn_rate");
        load(def, slots);
        system.emitting = emitting;
        for (int frame = 0; frame < frames; ++frame)
            system.update(dt, random);
        EXPECT_EQ(alive(), expectedAlive) << "rate " << rate << ", " << frames << " frames";
        EXPECT_NEAR(system.spawnTimer, expectedTimer, 1e-5) << "rate " << rate << ", " << frames << " frames";
    }
}

TEST_F(ParticleSystemTest, BirthIsLostInAFullPoolAndTakesTheLowestDeadSlot)
{
    load(definition(), 3);
    for (int birth = 0; birth < 4; ++birth)
        system.emit(random);
    EXPECT_EQ(alive(), 3);

    system.particles[1].ttl = 0.5f;
    system.update(0.5f, random);
    system.emit(random);
    EXPECT_EQ(std::pair(system.particles[1].alive, system.particles[1].age), std::pair(true, 0.f));
}

TEST_F(ParticleSystemTest, BornWithinItsRangesAndMovesWithThePreviousVelocity)
{
    // Each range is different, so a draw that lands in the wrong property shows.
    const char* order[] = {"x",  "y",  "xs",  "ys",       "fadespeed", "ttl",
                           "xg", "yg", "rot", "rotspeed", "scale",     "scalespeed"};
    nlohmann::json def = definition(R"({"min_alpha": 0.5})");
    std::vector<float> expected;
    Random draws; // the draws the system's own generator is about to make
    for (int i = 0; i < 12; ++i)
    {
        def[std::string("min_") + order[i]] = 10 * (i + 1);
        def[std::string("max_") + order[i]] = 10 * (i + 1) + 5;
        expected.push_back(randomRange(draws, 10.f * (i + 1), 10.f * (i + 1) + 5.f));
    }
    const Particle& p = born(def);
    const auto state = [&]
    {
        return std::vector<float>{p.x,  p.y,  p.xs,  p.ys,       p.fadespeed, p.ttl,
                                  p.xg, p.yg, p.rot, p.rotspeed, p.scale,     p.scalespeed};
    };
    EXPECT_EQ(state(), expected);
    EXPECT_EQ(p.alpha, 1.f) << "born opaque without a fade-in";
    // Position, rotation and scale move with the velocities before these change: x by xs, y by
    // ys, rotation by its speed, scale by its speed, then xs by xg and ys by yg.
    for (const auto& [moved, by] : {std::pair{0, 2}, {1, 3}, {8, 9}, {10, 11}, {2, 6}, {3, 7}})
        expected[moved] += 0.5f * expected[by];
    system.update(0.5f, random);
    EXPECT_EQ(state(), expected);

    load(definition()); // the defaults: anywhere on the screen, opaque
    EXPECT_EQ(std::tuple(system.min_x, system.max_x, system.min_y, system.max_y, system.min_alpha),
              std::tuple(0.f, 1920.f, 0.f, 1080.f, 1.f));
}

TEST_F(ParticleSystemTest, FadesInToExactlyMinAlphaAndOutOverTheEndOfItsLife)
{
    // "max_alpha" is not a key of the format: the target is always "min_alpha".
    const Particle* particle = &born(definition(R"({"fadein": true, "min_alpha": 0.5, "max_alpha": 0.9})"));
    EXPECT_EQ(std::pair(system.max_alpha, particle->alpha), std::pair(0.5f, 0.f));
    system.update(0.5f, random);
    EXPECT_TRUE(particle->alpha > 0.f && particle->alpha < 0.5f) << particle->alpha;
    system.update(0.5f, random);
    EXPECT_EQ(std::pair(particle->alpha, particle->alphaTween.active), std::pair(0.5f, false));

    particle = &born(definition(R"({"fadeout": true, "min_ttl": 3, "max_ttl": 3})"));
    for (int frame = 0; frame < 3; ++frame)
        system.update(0.5f, random);
    EXPECT_EQ(std::pair(particle->fadingOut, particle->alpha), std::pair(0, 1.f));
    system.update(0.5f, random); // age 2 = ttl - fadespeed
    EXPECT_TRUE(particle->fadingOut == 1 && particle->alpha > 0.f && particle->alpha < 1.f)
        << particle->alpha;
    system.update(0.5f, random); // the fade had already advanced by the frame that started it
    EXPECT_EQ(std::tuple(particle->alpha, particle->alphaTween.active, particle->alive),
              std::tuple(0.f, false, true));
    system.update(0.5f, random);
    EXPECT_FALSE(particle->alive);
}

TEST_F(ParticleSystemTest, LoadReportsWhatItCannotUseAndAFaultyDefinitionLeavesTheSystemAlone)
{
    // No slots below a count of one, a system of one at one; particles of an empty sprite list live
    // without a sprite.
    for (const auto& [count, slots, says] : {std::tuple{1, 1, ""},
                                             {0, 0, "ParticleSystem: Particle count 0 is below 1"},
                                             {-5, 0, "ParticleSystem: Particle count -5 is below 1"}})
    {
        const std::string err = load(definition(), count);
        EXPECT_EQ(std::pair(system.count, system.particles.size()), std::pair(slots, std::size_t(slots)))
            << count;
        EXPECT_TRUE(*says ? err.find(says) != std::string::npos : err.empty()) << count << ": " << err;
    }
    system.update(10.f, random);
    EXPECT_EQ(alive(), 0);
    nlohmann::json def = definition();
    def["sprites"] = nlohmann::json::array();
    const std::string noSprites = "ParticleSystem: The sprite list is empty, no particle will be drawn.";
    EXPECT_EQ(lines(load(def, 4)), std::vector<std::string>{noSprites});
    system.emit(random);
    EXPECT_TRUE(system.particles[0].alive && system.particles[0].sprite == nullptr);

    load(definition(), 3);
    const auto failed = [&](const std::function<bool()>& attempt)
    {
        bool loaded = true;
        std::vector<std::string> err = lines(captureStderr([&] { loaded = attempt(); }));
        EXPECT_FALSE(loaded);
        EXPECT_EQ(std::tuple(system.count, system.particles.size(), system.spawn_rate, system.max_ttl),
                  std::tuple(3, std::size_t{3}, 0.25f, 100.f));
        return err;
    };
    const auto fromJson = [&](const nlohmann::json& def)
    { return failed([&] { return system.loadFromJson(def, 7, sprites); }); };
    def = definition();
    def.erase("min_rotspeed");
    const std::string missingProperties = "ParticleSystem: Missing properties in jsonfile.";
    EXPECT_EQ(fromJson(def),
              (std::vector<std::string>{"validateJson: Missing prop: min_rotspeed.", missingProperties}));
    // A value of the wrong type: one line naming the property, with the library's text.
    for (const auto& [key, value, libraryText] :
         {std::tuple{"max_ttl", nlohmann::json("long"), "type must be number, but is string"},
          {"fadeout", 1, "type must be boolean, but is number"},
          {"sprites", "dot", "type must be array, but is string"},
          {"min_scale", true, "type must be number, but is boolean"},
          {"max_ttl", 1e39, "number 1e+39 is out of range"}})
    {
        def = definition(R"({"spawn_rate": 2})");
        def[key] = value;
        const std::vector<std::string> err = fromJson(def);
        ASSERT_EQ(err.size(), 1u) << key;
        EXPECT_EQ(err[0].rfind(std::string("ParticleSystem: Property ") + key, 0), 0u) << err[0];
        EXPECT_NE(err[0].find(libraryText), std::string::npos) << err[0];
    }
    // A file cut off: its first part counts for nothing.
    std::vector<std::string> err =
        failed([&] { return system.loadFromFile(dataPath("particles/broken.json"), 5, sprites); });
    ASSERT_EQ(err.size(), 4u);
    EXPECT_NE(err[1].find("parse_error"), std::string::npos) << err[1];
    err.erase(err.begin() + 1);
    EXPECT_EQ(err, (std::vector<std::string>{"ParticleSystem: Error while parsing JSON.",
                                             "validateJson: Missing prop: name.", missingProperties}));
}

TEST_F(ParticleSystemTest, DrawsLivingParticlesThroughTheSharedSprite)
{
    // Onto a black 32 x 32 frame, read back.
    const auto drawn = [&]
    {
        sf::RenderTexture target;
        EXPECT_TRUE(target.create(32, 32));
        target.clear(sf::Color::Black);
        system.draw(target);
        target.display();
        return target.getTexture().copyToImage();
    };
    // Born still at (10, 20) with scale 2: the 4 x 4 dot covers 8 x 8 pixels.
    Particle& particle =
        born(definition(R"({"min_x": 10, "max_x": 10, "min_y": 20, "max_y": 20, "min_scale": 2,
        "max_scale": 2, "min_ttl": 1, "max_ttl": 1})"));
    particle.alpha = 0.5f;
    const sf::Image image = drawn();
    EXPECT_NEAR(image.getPixel(10, 20).r, 127, 1); // half alpha over black
    EXPECT_NEAR(image.getPixel(17, 27).r, 127, 1);
    EXPECT_EQ(image.getPixel(18, 28), sf::Color::Black);
    EXPECT_EQ(image.getPixel(9, 20), sf::Color::Black);
    particle.alpha = 1.5f;
    EXPECT_EQ(drawn().getPixel(12, 22), sf::Color::White)
        << "an alpha above 1 draws opaque, not wrapped round";
    system.update(1.f, random);
    EXPECT_EQ(drawn().getPixel(12, 22), sf::Color::Black) << "a particle dying this frame is not drawn";
}

TEST_F(ParticleSystemTest, OneVertexArrayDrawsWhatASpritePerParticleDraws)
{
    // Turning, growing, fading, overlapping particles, a few frames on: the batched picture
    // (shortcuts on) and the sprite-per-particle one must agree pixel for pixel, and leave the
    // shared sprite as the last particle set it.
    load(definition(R"({"min_x": 20, "max_x": 100, "min_y": 10, "max_y": 60, "min_xs": -40, "max_xs": 40,
        "min_rot": 0, "max_rot": 360, "min_rotspeed": -90, "max_rotspeed": 90, "min_scale": 1.5, "max_scale": 6,
        "fadein": true, "min_fadespeed": 0.5, "max_fadespeed": 2, "spawn_rate": 0.02})"),
         200);
    const auto drawn = [&](bool batched)
    {
        drawingShortcuts = batched;
        sf::RenderTexture target;
        EXPECT_TRUE(target.create(128, 72));
        target.clear(sf::Color(40, 0, 60));
        system.draw(target);
        target.display();
        drawingShortcuts = true;
        const sf::Sprite& dot = *sprites.get("dot");
        return std::make_pair(target.getTexture().copyToImage(), dot.getTransform().getMatrix()[12]);
    };
    for (int frame = 1; frame <= 3; ++frame)
    {
        system.update(0.35f, random);
        SCOPED_TRACE(frame);
        const auto [batched, batchedX] = drawn(true);
        const auto [single, singleX] = drawn(false);
        ASSERT_GT(alive(), 10);
        EXPECT_TRUE(
            std::equal(batched.getPixelsPtr(), batched.getPixelsPtr() + 128 * 72 * 4, single.getPixelsPtr()));
        EXPECT_EQ(batchedX, singleX);
    }
}
