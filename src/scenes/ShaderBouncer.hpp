#pragma once

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <vector>

class Resources;

/// One bouncing bubble of the bubbles and moire scenes: a registry sprite drawn through a
/// peephole shader, thrown around the window by gravity and the four edges. Several bubbles
/// may share one sprite, since each sets the sprite's position just before drawing it.
struct ShaderBouncer
{
    float x = 20.f;                     ///< left edge, pixels
    float y = 180.f;                    ///< top edge, pixels
    float vx = 380.f;                   ///< pixels per second, positive rightwards
    float vy = 0.f;                     ///< pixels per second, positive downwards
    sf::Sprite* sprite = nullptr;       ///< the picture (non-owning); null draws nothing
    const sf::Shader* shader = nullptr; ///< what the picture is drawn through
    int width = 0;                      ///< pixels, for the wall test
    int height = 0;                     ///< pixels, for the floor test
    bool active = false;                ///< inactive bubbles neither move nor draw
    bool heavy = false;                 ///< double gravity, lands without rebounding

    /// A resting bubble of the given size at the upper left corner, or at the upper right
    /// (x = 1900 - width) when fromRight; either way it first moves rightwards.
    ShaderBouncer(sf::Sprite* sprite, const sf::Shader* shader, bool fromRight, int width, int height);

    /// One physics step while active: move, then gravity (a fixed 24 per step, twice for a
    /// heavy bubble, not scaled by dt), then the ceiling, floor and walls. Nothing when inactive.
    void update(float dt);

    /// Draws the sprite at (x, y) through shader into target while active; nothing otherwise.
    void draw(const Resources& resources, sf::RenderTarget& target) const;
};

// The bubbles are kept in the demo's state (shaderBouncers, in the order they enter, fewer than
// twenty when bubble sprites are missing) and its cursor nextBouncer; these act on them.

/// Appends to bubbles a resting bubble for sprite, sized by the sprite's whole texture. A null
/// sprite (a key the registry lacks, already reported there) or one without a texture adds nothing.
void addShaderBouncer(std::vector<ShaderBouncer>& bubbles, sf::Sprite* sprite, const sf::Shader& shader,
                      bool fromRight);

/// One physics step of every active bubble, in list order.
void updateShaderBouncers(std::vector<ShaderBouncer>& bubbles, float dt);

/// Draws every bubble, in list order, into target (inactive ones draw nothing).
void drawShaderBouncers(const Resources& resources, const std::vector<ShaderBouncer>& bubbles,
                        sf::RenderTarget& target);

/// Throws the bubble at nextBouncer upwards as a heavy jumper, from one pixel above its
/// floor position, and moves the cursor on, wrapping round at the end of the list.
/// Returns the bubble, or null (and changes nothing) when the list is empty.
ShaderBouncer* launchNextBouncer(std::vector<ShaderBouncer>& bubbles, int& nextBouncer);
