#pragma once

#include "fx/Random.hpp"
#include "fx/Tween.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

class SpriteManager;

/// One slot of a particle pool.
struct Particle
{
    float x = 0.f, y = 0.f;       ///< position, pixels
    float xs = 0.f, ys = 0.f;     ///< velocity, pixels per second
    float xg = 0.f, yg = 0.f;     ///< acceleration, pixels per second squared
    float rot = 0.f;              ///< rotation, degrees
    float rotspeed = 0.f;         ///< degrees per second
    float scale = 1.f;            ///< uniform scale factor
    float scalespeed = 0.f;       ///< scale change per second
    sf::Sprite* sprite = nullptr; ///< what is drawn; null draws nothing
    bool alive = false;           ///< the slot holds a living particle
    bool fadeout = false;         ///< fades out before its death
    bool fadein = false;          ///< fades in after its birth
    float fadespeed = 0.f;        ///< length of the fade-in and of the fade-out, seconds
    float ttl = 0.f;              ///< life time, seconds
    float age = 0.f;              ///< seconds since birth
    std::int32_t fadingOut = 0;   ///< 1 once the fade-out has begun
    float alpha = 0.f;            ///< opacity used for drawing, 0..1
    Tween alphaTween;             ///< animates alpha
};

/// The most slots one particle system gets. Every living particle is a draw call of its
/// own, so a frame could never show more than a few thousand; a larger count only costs
/// memory and time in the slot searches (and 2^31 slots cannot be allocated at all).
constexpr int maxParticleCount = 10000;

/// A fixed pool of sprite particles that an emitter fills at a steady rate. Every
/// particle property is drawn from a range of the JSON definition; particles move by
/// Euler steps, may fade in and out, and free their slot when their life time is over.
/// The sprites are not owned: they belong to the sprite registry and are shared with
/// every other user of the same key.
class ParticleSystem
{
public:
    std::vector<sf::Sprite*> sprites; ///< one per definition sprite key, in order; null for unknown keys
    std::vector<Particle> particles;  ///< the pool, allocated once by a successful load
    bool emitting = false;            ///< births happen only while true; scenes switch it
    float spawn_rate = 0.25f;         ///< seconds between two births; 0 or less means none
    std::int32_t count = 0;           ///< number of slots
    float spawnTimer = 0.f;           ///< seconds gathered towards the next birth

    float min_x = 0.f, max_x = 0.f;                   ///< birth rectangle, horizontal
    float min_y = 0.f, max_y = 0.f;                   ///< birth rectangle, vertical
    float min_xs = 0.f, max_xs = 0.f;                 ///< horizontal velocity
    float min_ys = 0.f, max_ys = 0.f;                 ///< vertical velocity
    float min_xg = 0.f, max_xg = 0.f;                 ///< horizontal acceleration
    float min_yg = 0.f, max_yg = 0.f;                 ///< vertical acceleration
    float min_rot = 0.f, max_rot = 0.f;               ///< initial rotation, degrees
    float min_rotspeed = 0.f, max_rotspeed = 0.f;     ///< spin, degrees per second
    float min_fadespeed = 0.f, max_fadespeed = 0.f;   ///< fade duration, seconds
    float min_scale = 1.f, max_scale = 1.f;           ///< initial scale
    float min_scalespeed = 0.f, max_scalespeed = 0.f; ///< scale change per second
    float min_alpha = 1.f, max_alpha = 1.f;           ///< fade-in target opacity
    float min_ttl = 5.f, max_ttl = 5.f;               ///< life time, seconds
    bool fadein = false;                              ///< particles fade in after birth
    bool fadeout = false;                             ///< particles fade out before death

    /// Reads the definition file at path and loads it with loadFromJson. A file that
    /// cannot be opened writes "ParticleSystem: Unable to open file <path>." and returns
    /// false; a parse error writes "ParticleSystem: Error while parsing JSON." and the
    /// parser's message, and the load goes on with a null definition (which fails).
    bool loadFromFile(const std::string& path, int count, const SpriteManager& spriteRegistry);

    /// Loads a definition: checks its 24 required keys, resolves its sprite keys in
    /// spriteRegistry, allocates count slots and takes over its ranges, flags and
    /// "spawn_rate". A missing key writes the validateJson line and "ParticleSystem:
    /// Missing properties in jsonfile."; a value of the wrong JSON type writes one line
    /// naming the key and the JSON library's message. In both cases false is returned and
    /// the system is left exactly as it was. An empty sprite list or a count below 1 is
    /// reported but loads (its particles are never drawn, or it has no slots); a count above
    /// maxParticleCount is reported and lowered to it.
    bool loadFromJson(const nlohmann::json& definition, int count, const SpriteManager& spriteRegistry);

    /// One birth attempt: while emitting, revives the lowest dead slot with freshly drawn
    /// properties drawn from random. With every slot alive the birth is lost and no random
    /// number is drawn.
    void emit(Random& random);

    /// Advances the emitter (births every spawn_rate seconds while emitting, several per
    /// call if dt is long, but no more tries than there are slots) and then every living
    /// particle by dt seconds. Births draw their properties from random.
    void update(float dt, Random& random);

    /// Draws every living particle with a sprite onto target, in slot order, by setting
    /// the shared sprite's position, rotation, colour and scale. With the drawing shortcuts
    /// on (runtime/PassTiming.hpp) the particles go out as one vertex array per run of
    /// particles that share a texture, the same triangles a draw per sprite makes; the
    /// shared sprites are left as the last particle set them either way.
    void draw(sf::RenderTarget& target) const;

private:
    mutable sf::VertexArray batch{sf::Triangles}; ///< the particles of one texture, reused by draw

    void updateParticle(Particle& particle, float dt);
};
