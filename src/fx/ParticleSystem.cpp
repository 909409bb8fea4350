#include "fx/ParticleSystem.hpp"

#include "assets/Manifest.hpp"
#include "assets/SpriteManager.hpp"
#include "fx/Random.hpp"
#include "runtime/PassTiming.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace
{
const std::vector<std::string> requiredKeys = {
    "name",         "sprites",      "min_xs",        "max_xs",        "min_ys",         "max_ys",
    "min_xg",       "max_xg",       "min_yg",        "max_yg",        "min_rot",        "max_rot",
    "min_rotspeed", "max_rotspeed", "min_scale",     "max_scale",     "min_scalespeed", "max_scalespeed",
    "fadein",       "fadeout",      "min_fadespeed", "max_fadespeed", "min_ttl",        "max_ttl"};
} // namespace

bool ParticleSystem::loadFromFile(const std::string& path, int count, const SpriteManager& spriteRegistry)
{
    bool opened = false;
    bool complete = false;
    nlohmann::json definition = readJsonFile(path, "ParticleSystem", opened, &complete);
    if (!opened)
        return false;
    if (!complete)
        definition = nullptr; // half a definition is no definition
    return loadFromJson(definition, count, spriteRegistry);
}

bool ParticleSystem::loadFromJson(const nlohmann::json& definition, int count,
                                  const SpriteManager& spriteRegistry)
{
    if (!validateJson(definition, requiredKeys))
    {
        std::cerr << "ParticleSystem: Missing properties in jsonfile." << std::endl;
        return false;
    }

    // Everything is read into a copy first, so that a value of the wrong type leaves this
    // system untouched instead of half loaded.
    ParticleSystem loaded = *this;
    std::vector<std::string> spriteKeys;
    try
    {
        // "name" is required but unused. It is not read: a copy of a deeply nested value
        // would overflow the stack.
        spriteKeys = readProperty<std::vector<std::string>>(definition, "sprites", {});
        loaded.min_x = readProperty<float>(definition, "min_x", 0.f);
        loaded.max_x = readProperty<float>(definition, "max_x", 1920.f);
        loaded.min_y = readProperty<float>(definition, "min_y", 0.f);
        loaded.max_y = readProperty<float>(definition, "max_y", 1080.f);
        loaded.min_xs = readProperty<float>(definition, "min_xs", 0.f);
        loaded.max_xs = readProperty<float>(definition, "max_xs", 0.f);
        loaded.min_ys = readProperty<float>(definition, "min_ys", 0.f);
        loaded.max_ys = readProperty<float>(definition, "max_ys", 0.f);
        loaded.min_xg = readProperty<float>(definition, "min_xg", 0.f);
        loaded.max_xg = readProperty<float>(definition, "max_xg", 0.f);
        loaded.min_yg = readProperty<float>(definition, "min_yg", 0.f);
        loaded.max_yg = readProperty<float>(definition, "max_yg", 0.f);
        loaded.min_rot = readProperty<float>(definition, "min_rot", 0.f);
        loaded.max_rot = readProperty<float>(definition, "max_rot", 0.f);
        loaded.min_rotspeed = readProperty<float>(definition, "min_rotspeed", 0.f);
        loaded.max_rotspeed = readProperty<float>(definition, "max_rotspeed", 0.f);
        loaded.min_scale = readProperty<float>(definition, "min_scale", 1.f);
        loaded.max_scale = readProperty<float>(definition, "max_scale", 1.f);
        loaded.min_scalespeed = readProperty<float>(definition, "min_scalespeed", 0.f);
        loaded.max_scalespeed = readProperty<float>(definition, "max_scalespeed", 0.f);
        loaded.fadein = readProperty<bool>(definition, "fadein", false);
        loaded.fadeout = readProperty<bool>(definition, "fadeout", false);
        loaded.min_fadespeed = readProperty<float>(definition, "min_fadespeed", 0.f);
        loaded.max_fadespeed = readProperty<float>(definition, "max_fadespeed", 0.f);
        loaded.min_ttl = readProperty<float>(definition, "min_ttl", 5.f);
        loaded.max_ttl = readProperty<float>(definition, "max_ttl", 5.f);
        // The file has a single alpha key: the fade-in target is always exactly "min_alpha".
        loaded.min_alpha = readProperty<float>(definition, "min_alpha", 1.f);
        loaded.max_alpha = readProperty<float>(definition, "min_alpha", 1.f);
        loaded.spawn_rate = readProperty<float>(definition, "spawn_rate", 0.f);
    }
    catch (const PropertyTypeError& error)
    {
        std::cerr << "ParticleSystem: Property " << error.property
                  << " has the wrong type, definition not loaded: " << error.message << std::endl;
        return false;
    }

    loaded.sprites.clear();
    for (const std::string& key : spriteKeys)
        loaded.sprites.push_back(spriteRegistry.get(key));
    if (loaded.sprites.empty())
        std::cerr << "ParticleSystem: The sprite list is empty, no particle will be drawn." << std::endl;

    if (count < 1)
    {
        std::cerr << "ParticleSystem: Particle count " << count << " is below 1, the system has no slots."
                  << std::endl;
        count = 0;
    }
    else if (count > maxParticleCount)
    {
        std::cerr << "ParticleSystem: Particle count " << count << " is above the limit of "
                  << maxParticleCount << ", using " << maxParticleCount << "." << std::endl;
        count = maxParticleCount;
    }
    loaded.count = count;
    loaded.particles.assign(static_cast<std::size_t>(count), Particle());

    *this = std::move(loaded);
    return true;
}

void ParticleSystem::emit(Random& random)
{
    if (!emitting)
        return;
    const auto slot =
        std::find_if(particles.begin(), particles.end(), [](const Particle& p) { return !p.alive; });
    if (slot == particles.end())
        return;
    Particle& particle = *slot;

    // The order of the draws is fixed: it decides which particle gets which values.
    particle.x = randomRange(random, min_x, max_x);
    particle.y = randomRange(random, min_y, max_y);
    particle.xs = randomRange(random, min_xs, max_xs);
    particle.ys = randomRange(random, min_ys, max_ys);
    particle.fadespeed = randomRange(random, min_fadespeed, max_fadespeed);
    particle.ttl = randomRange(random, min_ttl, max_ttl);
    particle.xg = randomRange(random, min_xg, max_xg);
    particle.yg = randomRange(random, min_yg, max_yg);
    particle.rot = randomRange(random, min_rot, max_rot);
    particle.rotspeed = randomRange(random, min_rotspeed, max_rotspeed);
    particle.scale = randomRange(random, min_scale, max_scale);
    particle.scalespeed = randomRange(random, min_scalespeed, max_scalespeed);
    const float targetAlpha = randomRange(random, min_alpha, max_alpha);
    const int pick = randomInt(random);
    particle.sprite = sprites.empty() ? nullptr : sprites[static_cast<std::size_t>(pick) % sprites.size()];

    particle.fadein = fadein;
    particle.fadeout = fadeout;
    particle.age = 0.f;
    particle.fadingOut = 0;
    if (fadein)
    {
        particle.alphaTween.set(0.f, targetAlpha, particle.fadespeed, SineOut, 0.f);
        particle.alphaTween.start();
        particle.alpha = 0.f;
    }
    else
    {
        particle.alpha = 1.f;
    }
    particle.alive = true;
}

void ParticleSystem::update(float dt, Random& random)
{
    spawnTimer += dt;
    if (emitting && spawn_rate > 0.f && spawnTimer >= spawn_rate)
    {
        // A lost birth (pool full) still uses up its interval, so a full pool does not
        // build up a burst for later. Once as many births as there are slots have been tried,
        // every slot is alive and the rest of them would be lost: the intervals left are used
        // up at once. A rate far below the frame time would otherwise loop for ages, and for
        // ever once subtracting it no longer changes the timer.
        std::size_t births = 0;
        do
        {
            if (births == particles.size())
            {
                spawnTimer = std::fmod(spawnTimer, spawn_rate);
                break;
            }
            emit(random);
            ++births;
            spawnTimer -= spawn_rate;
        } while (spawnTimer >= spawn_rate);
    }
    for (Particle& particle : particles)
        updateParticle(particle, dt);
}

void ParticleSystem::updateParticle(Particle& particle, float dt)
{
    if (!particle.alive)
        return;
    particle.age += dt;

    if (particle.fadeout && particle.fadingOut != 1 && particle.age >= particle.ttl - particle.fadespeed)
    {
        particle.alphaTween.set(particle.alpha, 0.f, particle.fadespeed, SineOut, 0.f);
        particle.alphaTween.start();
        particle.fadingOut = 1;
    }

    const bool tweening = particle.alphaTween.active;
    particle.alphaTween.update(dt);

    // The position moves with the velocity of the previous step.
    particle.x += particle.xs * dt;
    particle.y += particle.ys * dt;
    particle.rot += particle.rotspeed * dt;
    if (tweening)
        particle.alpha = particle.alphaTween.getValue();
    particle.xs += particle.xg * dt;
    particle.ys += particle.yg * dt;
    particle.scale += particle.scalespeed * dt;

    if (particle.age >= particle.ttl)
    {
        particle.alphaTween.active = false;
        particle.alive = false;
    }
}

void ParticleSystem::draw(sf::RenderTarget& target) const
{
    const TimedPass pass("particles");
    const sf::Texture* batchTexture = nullptr;
    const auto flush = [&]
    {
        if (batch.getVertexCount() > 0)
            target.draw(batch, sf::RenderStates(batchTexture));
        batch.clear();
    };
    for (const Particle& particle : particles)
    {
        if (!particle.alive || !particle.sprite)
            continue;
        // A "min_alpha" above 1 in a definition must not wrap round to a faint particle.
        const float alpha = std::clamp(particle.alpha * 255.f, 0.f, 255.f);
        sf::Sprite& sprite = *particle.sprite;
        sprite.setPosition(particle.x, particle.y);
        sprite.setRotation(particle.rot);
        sprite.setColor(sf::Color(255, 255, 255, static_cast<sf::Uint8>(alpha)));
        sprite.setScale(particle.scale, particle.scale);
        if (!drawingShortcuts || !sprite.getTexture())
        {
            flush();
            target.draw(sprite);
            continue;
        }
        if (sprite.getTexture() != batchTexture)
            flush();
        batchTexture = sprite.getTexture();
        // The sprite's own four corners, moved as the renderer moves a sprite's (on the
        // processor, by the same transform), and its strip's two triangles in its order.
        const sf::Transform& transform = sprite.getTransform();
        const sf::FloatRect bounds = sprite.getLocalBounds();
        const sf::IntRect rect = sprite.getTextureRect();
        const float left = static_cast<float>(rect.left);
        const float top = static_cast<float>(rect.top);
        const float right = left + static_cast<float>(rect.width);
        const float bottom = top + static_cast<float>(rect.height);
        const sf::Vertex corners[4] = {
            {transform.transformPoint(0.f, 0.f), sprite.getColor(), {left, top}},
            {transform.transformPoint(0.f, bounds.height), sprite.getColor(), {left, bottom}},
            {transform.transformPoint(bounds.width, 0.f), sprite.getColor(), {right, top}},
            {transform.transformPoint(bounds.width, bounds.height), sprite.getColor(), {right, bottom}}};
        for (const int corner : {0, 1, 2, 2, 1, 3})
            batch.append(corners[corner]);
    }
    flush();
}
