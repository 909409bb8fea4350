#pragma once

#include <SFML/Graphics/Sprite.hpp>
#include <vector>

// The logos of the bouncing-logos scene, declared here so their physics can be tested alone.

/// One thrown logo: its top-left corner, velocity and the floor hits it has left.
struct Bouncer
{
    float x = 20.f;
    float y = 180.f;
    float vx = 280.f; ///< pixels per second
    float vy = 0.f;   ///< pixels per second, positive downwards
    sf::Sprite* sprite = nullptr;
    int width = 0;  ///< of the sprite's texture, for the wall tests
    int height = 0; ///< of the sprite's texture, for the floor test
    int bouncesLeft = 30;
    bool done = false;

    /// One physics step. Gravity is added per step, not per second, so the fall speed
    /// follows the frame rate (the demo runs at 60). Returns how many floor and wall hits it
    /// made (two at a corner), each of which the scene plays as a "bounce"; done becomes true
    /// on the last floor hit.
    int update(float dt);
};

/// Appends a logo with its throwing position and velocity, sized by its sprite's texture.
/// A missing sprite (already reported by the registry) or one without a texture is left
/// out, so the next logo takes its turn.
void addBouncer(std::vector<Bouncer>& bouncers, sf::Sprite* sprite);
