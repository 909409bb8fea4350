#pragma once

#include "fx/ParticleSystem.hpp"

#include <string>
#include <unordered_map>

class SpriteManager;

/// Registry of particle systems, filled once from "assets/particles.json". Each entry
/// names a definition file and a slot count; the registry builds one system per entry
/// and keeps it, at a fixed address, until the program exits. Every caller of get()
/// with the same key shares that one system.
class ParticleManager
{
public:
    /// The systems take their sprites from sprites, which must be loaded first and
    /// outlive the registry.
    explicit ParticleManager(const SpriteManager& sprites);

    /// Loads every entry of the manifest at path (top-level key "particlesystems",
    /// required property "file", optional "instances", 100 when absent). An entry whose
    /// definition fails to load is left unregistered (the particle system reports why).
    /// An "instances" below 1 is reported and the system is registered without slots, so
    /// that its users still find it; one above maxParticleCount is reported and lowered to
    /// it. Returns false when the manifest cannot be opened or
    /// has no "particlesystems" key.
    bool load(const std::string& path);

    /// Returns the system registered under key. If there is none, writes
    /// "ParticleManager: ParticleSystem with key <key> does not exist." and returns null.
    ParticleSystem* get(const std::string& key);

private:
    const SpriteManager& sprites;
    std::unordered_map<std::string, ParticleSystem> systems;
};
