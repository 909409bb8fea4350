#include "fx/ParticleSystem.hpp"

#include "TestSupport.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"
#include "fx/Random.hpp"

#include <gtest/gtest.h>

using testsupport::captureStderr;
using testsupport::dataPath;
using testsupport::lines;

namespace
{
// A definition whose particles stand still and live long, to be adjusted per test.
// Its sprite key is not registered, so these tests need no textures: particles are
// born and animated but never drawn.
nlohmann::json definition()
{
    return {{"name", "test"},      {"sprites", {"unregistered"}},
            {"min_xs", 0},         {"max_xs", 0},
            {"min_ys", 0},         {"max_ys", 0},
            {"min_xg", 0},         {"max_xg", 0},
            {"min_yg", 0},         {"max_yg", 0},
            {"min_rot", 0},        {"max_rot", 0},
            {"min_rotspeed", 0},   {"max_rotspeed", 0},
            {"min_scale", 1},      {"max_scale", 1},
            {"min_scalespeed", 0}, {"max_scalespeed", 0},
            {"fadein", false},     {"fadeout", false},
            {"min_fadespeed", 1},  {"max_fadespeed", 1},
            {"min_ttl", 100},      {"max_ttl", 100},
            {"spawn_rate", 0.25}};
}

int aliveCount(const ParticleSystem& system)
{
    int alive = 0;
    for (const Particle& particle : system.particles)
        alive += particle.alive ? 1 : 0;
    return alive;
}

class ParticleSystemTest : public testing::Test
{
protected:
    TextureManager textures;
    SpriteManager sprites{textures};
    ParticleSystem system;

    /// Loads def with count slots; the unregistered sprite's message is swallowed.
    void load(const nlohmann::json& def, int count = 10)
    {
        bool loaded = false;
        captureStderr([&] { loaded = system.loadFromJson(def, count, sprites); });
        ASSERT_TRUE(loaded);
        system.emitting = true;
    }
};
} // namespace

TEST_F(ParticleSystemTest, SpawnsOnItsIntervalAndCarriesTheRemainder)
{
    load(definition());
    system.update(0.625f);
    EXPECT_EQ(aliveCount(system), 2);
    EXPECT_FLOAT_EQ(system.spawnTimer, 0.125f);
    system.update(0.625f);
    EXPECT_EQ(aliveCount(system), 5);
    EXPECT_FLOAT_EQ(system.spawnTimer, 0.f);
}

// Rates far below the frame time: one update fills every slot and returns, with less than
// one interval left over. The smallest is too small to change the timer when subtracted.
class ParticleSystemTinyRate : public ParticleSystemTest, public testing::WithParamInterface<float>
{
};

TEST_P(ParticleSystemTinyRate, FillsThePoolAndReturns)
{
    nlohmann::json def = definition();
    def["spawn_rate"] = GetParam();
    load(def, 7);
    system.update(1.f / 60.f);
    EXPECT_EQ(aliveCount(system), 7);
    EXPECT_GE(system.spawnTimer, 0.f);
    EXPECT_LT(system.spawnTimer, GetParam());
    system.update(1.f / 60.f);
    EXPECT_EQ(aliveCount(system), 7);
}

INSTANTIATE_TEST_SUITE_P(Rates, ParticleSystemTinyRate, testing::Values(1e-40f, 1e-9f, 1e-5f));

TEST_F(ParticleSystemTest, NothingIsBornWhileNotEmittingButTheTimerRuns)
{
    load(definition());
    system.emitting = false;
    system.update(1.f);
    EXPECT_EQ(aliveCount(system), 0);
    EXPECT_FLOAT_EQ(system.spawnTimer, 1.f);
}

TEST_F(ParticleSystemTest, WithoutSpawnRateNothingIsEverBorn)
{
    nlohmann::json def = definition();
    def.erase("spawn_rate");
    load(def);
    EXPECT_EQ(system.spawn_rate, 0.f);
    for (int frame = 0; frame < 100; ++frame)
        system.update(0.5f);
    EXPECT_EQ(aliveCount(system), 0);
}

TEST_F(ParticleSystemTest, FullPoolLosesBirthsWithoutDrawingNumbers)
{
    load(definition(), 2);
    resetRandom();
    for (int draw = 0; draw < 2 * 14; ++draw)
        randomInt();
    const int nextAfterTwoBirths = randomInt();

    resetRandom();
    system.emit();
    system.emit();
    system.emit(); // pool full
    EXPECT_EQ(aliveCount(system), 2);
    EXPECT_EQ(randomInt(), nextAfterTwoBirths);

    // A lost birth still uses up its interval.
    system.update(1.f);
    EXPECT_EQ(aliveCount(system), 2);
    EXPECT_FLOAT_EQ(system.spawnTimer, 0.f);
}

TEST_F(ParticleSystemTest, BirthReusesTheLowestDeadSlot)
{
    load(definition(), 3);
    system.emit();
    system.emit();
    system.emit();
    system.particles[1].ttl = 0.5f;
    system.emitting = false;
    system.update(0.5f);
    EXPECT_FALSE(system.particles[1].alive);
    system.emitting = true;
    system.emit();
    EXPECT_TRUE(system.particles[1].alive);
    EXPECT_EQ(system.particles[1].age, 0.f);
}

TEST_F(ParticleSystemTest, DrawsPropertiesInTheirFixedOrder)
{
    // Each range is different, so a swapped draw lands a value outside its range.
    const char* order[] = {"x",  "y",  "xs",  "ys",       "fadespeed", "ttl",
                           "xg", "yg", "rot", "rotspeed", "scale",     "scalespeed"};
    nlohmann::json def = definition();
    for (int i = 0; i < 12; ++i)
    {
        def[std::string("min_") + order[i]] = 100 * (i + 1);
        def[std::string("max_") + order[i]] = 100 * (i + 1) + 50;
    }
    load(def);
    resetRandom();
    std::vector<float> expected;
    for (int i = 0; i < 12; ++i)
        expected.push_back(randomRange(100.f * (i + 1), 100.f * (i + 1) + 50.f));
    resetRandom();
    system.emit();
    const Particle& p = system.particles[0];
    const float drawn[] = {p.x,  p.y,  p.xs,  p.ys,       p.fadespeed, p.ttl,
                           p.xg, p.yg, p.rot, p.rotspeed, p.scale,     p.scalespeed};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(drawn[i], expected[static_cast<std::size_t>(i)]) << order[i];
}

TEST_F(ParticleSystemTest, WithoutRectangleOrFadeInParticlesAreBornOpaqueAnywhere)
{
    nlohmann::json def = definition();
    def["min_alpha"] = 0.5;
    load(def);
    EXPECT_EQ(system.min_x, 0.f);
    EXPECT_EQ(system.max_x, 1920.f);
    EXPECT_EQ(system.min_y, 0.f);
    EXPECT_EQ(system.max_y, 1080.f);
    system.emit();
    EXPECT_EQ(system.particles[0].alpha, 1.f);
}

TEST_F(ParticleSystemTest, FadesInToExactlyMinAlphaWhichIsReadTwice)
{
    nlohmann::json def = definition();
    def["fadein"] = true;
    def["min_alpha"] = 0.5;
    def["max_alpha"] = 0.9; // not a key of the format: the target is always "min_alpha"
    load(def);
    EXPECT_EQ(system.max_alpha, 0.5f);
    system.emit();
    const Particle& particle = system.particles[0];
    EXPECT_EQ(particle.alpha, 0.f);
    system.emitting = false;
    system.update(0.5f);
    EXPECT_GT(particle.alpha, 0.f);
    EXPECT_LT(particle.alpha, 0.5f);
    system.update(0.5f);
    EXPECT_EQ(particle.alpha, 0.5f);
    EXPECT_FALSE(particle.alphaTween.active);
}

TEST_F(ParticleSystemTest, FadesOutOverTheEndOfItsLife)
{
    nlohmann::json def = definition();
    def["fadeout"] = true;
    def["min_ttl"] = 3;
    def["max_ttl"] = 3;
    load(def);
    system.emit();
    system.emitting = false;
    const Particle& particle = system.particles[0];
    for (int frame = 0; frame < 3; ++frame)
        system.update(0.5f);
    EXPECT_EQ(particle.fadingOut, 0);
    EXPECT_EQ(particle.alpha, 1.f);
    system.update(0.5f); // age 2 = ttl - fadespeed
    EXPECT_EQ(particle.fadingOut, 1);
    EXPECT_LT(particle.alpha, 1.f);
    EXPECT_GT(particle.alpha, 0.f);
    system.update(0.5f); // the fade had already advanced by the frame that started it
    EXPECT_EQ(particle.alpha, 0.f);
    EXPECT_FALSE(particle.alphaTween.active);
    EXPECT_TRUE(particle.alive);
    system.update(0.5f);
    EXPECT_FALSE(particle.alive);
}

TEST_F(ParticleSystemTest, ShortLifeStartsFadingOutAtOnce)
{
    nlohmann::json def = definition();
    def["fadeout"] = true;
    def["min_ttl"] = 0.5;
    def["max_ttl"] = 0.5;
    load(def);
    system.emit();
    system.emitting = false;
    system.update(0.01f);
    EXPECT_EQ(system.particles[0].fadingOut, 1);
}

TEST_F(ParticleSystemTest, MovesWithThePreviousVelocity)
{
    nlohmann::json def = definition();
    def["min_xs"] = def["max_xs"] = 10;
    def["min_xg"] = def["max_xg"] = 4;
    def["min_scalespeed"] = def["max_scalespeed"] = 2;
    load(def);
    system.emit();
    system.emitting = false;
    const float startX = system.particles[0].x;
    system.update(0.5f);
    EXPECT_FLOAT_EQ(system.particles[0].x, startX + 5.f);
    EXPECT_FLOAT_EQ(system.particles[0].xs, 12.f);
    EXPECT_FLOAT_EQ(system.particles[0].scale, 2.f);
}

TEST_F(ParticleSystemTest, CountBelowOneLoadsWithoutSlots)
{
    bool loaded = false;
    const std::string err = captureStderr([&] { loaded = system.loadFromJson(definition(), -5, sprites); });
    EXPECT_TRUE(loaded);
    EXPECT_NE(err.find("ParticleSystem: Particle count -5 is below 1"), std::string::npos) << err;
    EXPECT_EQ(system.count, 0);
    EXPECT_TRUE(system.particles.empty());
    system.emitting = true;
    system.update(10.f);
    EXPECT_EQ(aliveCount(system), 0);
}

TEST_F(ParticleSystemTest, EmptySpriteListLoadsAndDrawsNothing)
{
    nlohmann::json def = definition();
    def["sprites"] = nlohmann::json::array();
    bool loaded = false;
    const std::string err = captureStderr([&] { loaded = system.loadFromJson(def, 4, sprites); });
    EXPECT_TRUE(loaded);
    EXPECT_EQ(lines(err), std::vector<std::string>{
                              "ParticleSystem: The sprite list is empty, no particle will be drawn."});
    system.emitting = true;
    system.emit();
    EXPECT_TRUE(system.particles[0].alive);
    EXPECT_EQ(system.particles[0].sprite, nullptr);
}

TEST_F(ParticleSystemTest, UnknownSpriteKeyLeavesAnEmptyEntry)
{
    nlohmann::json def = definition();
    def["sprites"] = {"nowhere"};
    const std::string err = captureStderr([&] { EXPECT_TRUE(system.loadFromJson(def, 4, sprites)); });
    EXPECT_EQ(lines(err), std::vector<std::string>{"SpriteManager: Sprite with key nowhere does not exist."});
    ASSERT_EQ(system.sprites.size(), 1u);
    EXPECT_EQ(system.sprites[0], nullptr);
}

TEST_F(ParticleSystemTest, MissingKeyFailsAndLeavesTheSystemAlone)
{
    load(definition(), 3);
    nlohmann::json def = definition();
    def.erase("min_rotspeed");
    def.erase("fadein");
    bool loaded = true;
    const std::string err = captureStderr([&] { loaded = system.loadFromJson(def, 7, sprites); });
    EXPECT_FALSE(loaded);
    EXPECT_EQ(lines(err), (std::vector<std::string>{"validateJson: Missing prop: min_rotspeed.",
                                                    "ParticleSystem: Missing properties in jsonfile."}));
    EXPECT_EQ(system.count, 3);
    EXPECT_EQ(system.particles.size(), 3u);
}

TEST_F(ParticleSystemTest, WronglyTypedKeyFailsAndLeavesTheSystemAlone)
{
    load(definition(), 3);
    const struct
    {
        const char* key;
        nlohmann::json value;
        const char* libraryText;
    } cases[] = {{"max_ttl", "long", "type must be number, but is string"},
                 {"fadeout", 1, "type must be boolean, but is number"},
                 {"sprites", {1, 2}, "type must be string, but is number"},
                 {"sprites", "dot", "type must be array, but is string"},
                 {"spawn_rate", nullptr, "type must be number, but is null"},
                 {"min_scale", true, "type must be number, but is boolean"},
                 {"max_ttl", 1e39, "number 1e+39 is out of range"}};
    for (const auto& fault : cases)
    {
        nlohmann::json def = definition();
        def["spawn_rate"] = 2.0;
        def[fault.key] = fault.value;
        bool loaded = true;
        const std::string err = captureStderr([&] { loaded = system.loadFromJson(def, 7, sprites); });
        EXPECT_FALSE(loaded) << fault.key;
        const std::vector<std::string> errLines = lines(err);
        ASSERT_EQ(errLines.size(), 1u) << err;
        EXPECT_EQ(errLines[0].rfind(std::string("ParticleSystem: Property ") + fault.key, 0), 0u) << err;
        EXPECT_NE(errLines[0].find(fault.libraryText), std::string::npos) << err;
        EXPECT_EQ(system.count, 3);
        EXPECT_EQ(system.spawn_rate, 0.25f);
        EXPECT_EQ(system.max_ttl, 100.f);
    }
}

TEST_F(ParticleSystemTest, FileFailures)
{
    const std::string missing = dataPath("particles/none.json");
    std::string err = captureStderr([&] { EXPECT_FALSE(system.loadFromFile(missing, 5, sprites)); });
    EXPECT_EQ(lines(err), std::vector<std::string>{"ParticleSystem: Unable to open file " + missing + "."});

    err = captureStderr(
        [&] { EXPECT_FALSE(system.loadFromFile(dataPath("particles/broken.json"), 5, sprites)); });
    const std::vector<std::string> errLines = lines(err);
    ASSERT_EQ(errLines.size(), 4u) << err;
    EXPECT_EQ(errLines[0], "ParticleSystem: Error while parsing JSON.");
    EXPECT_NE(errLines[1].find("parse_error"), std::string::npos);
    EXPECT_EQ(errLines[2], "validateJson: Missing prop: name.");
    EXPECT_EQ(errLines[3], "ParticleSystem: Missing properties in jsonfile.");
    EXPECT_TRUE(system.particles.empty());
}

TEST_F(ParticleSystemTest, LoadsFromFile)
{
    captureStderr([&] { EXPECT_TRUE(system.loadFromFile(dataPath("particles/sparks.json"), 6, sprites)); });
    EXPECT_EQ(system.particles.size(), 6u);
    EXPECT_EQ(system.spawn_rate, 0.5f);
    EXPECT_EQ(system.min_x, 10.f);
    EXPECT_EQ(system.max_y, 40.f);
    EXPECT_EQ(system.min_ttl, 2.f);
    EXPECT_EQ(system.min_alpha, 1.f);
    EXPECT_FALSE(system.emitting);
}
