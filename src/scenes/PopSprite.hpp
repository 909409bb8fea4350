#pragma once

#include "fx/Tween.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>

class Resources;

/// A picture that pops up (grows and fades in), then spins, swings or drifts, and can be
/// sent away (shrinks and fades out). The cute pictures scene spawns twelve of them and the
/// greetings scene that follows keeps animating them until they have left.
struct PopSprite
{
    float x = 0.f;                ///< position, pixels
    float y = 0.f;                ///< position, pixels
    float scale = 0.f;            ///< uniform scale
    float alpha = 0.f;            ///< opacity, 0..1
    float rotation = 0.f;         ///< degrees
    float baseScale = 0.f;        ///< the scale the picture grows to
    bool visible = false;         ///< updated and drawn only while true
    int leaving = 0;              ///< 1 once leave was called
    sf::Sprite* sprite = nullptr; ///< registry sprite, possibly shared; null: nothing is drawn
    Tween spin;                   ///< drives rotation
    Tween grow;                   ///< drives scale while the picture comes in
    Tween shrink;                 ///< drives scale while the picture leaves
    Tween fade;                   ///< drives alpha
    Tween moveX;                  ///< drives x
    Tween moveY;                  ///< drives y

    /// Prepares the picture at (x, y) with sprite (may be null) and leaves it invisible.
    /// mode 0 spins once in 14 s; mode 1 drifts to (targetX, targetY) in 8 s at full
    /// baseScale from the start; mode 2 rises 200 pixels while swinging; any other mode
    /// only grows and fades in.
    void spawn(float x, float y, sf::Sprite* sprite, int mode, float targetX, float targetY, float baseScale);

    /// Starts the exit: turns back to 0 degrees, shrinks to 0 and fades out over 0.75 s.
    /// Once the fade has ended the picture hides itself for good.
    void leave();

    /// Advances the tweens by dt and takes their values; does nothing while invisible.
    void update(float dt);

    /// Draws the sprite at the picture's position, rotation, scale and opacity into target
    /// with the default render states; nothing while invisible or when the sprite is null.
    void draw(const Resources& resources, sf::RenderTarget& target) const;
};

/// The frame picture's clock step, done once per call by each scene that shows it: adds dt
/// to frameTimer, and once it exceeds 0.25 s sets it back to 0 and flips frameToggle, so a
/// long frame flips the picture only once.
void stepFrameTimer(float& frameTimer, bool& frameToggle, float dt);
