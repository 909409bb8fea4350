#include "scenes/PopSprite.hpp"

#include "scenes/SceneHelpers.hpp"

#include <SFML/Graphics/Color.hpp>

void PopSprite::spawn(float x, float y, sf::Sprite* sprite, int mode, float targetX, float targetY,
                      float baseScale)
{
    this->x = x;
    this->y = y;
    this->sprite = sprite;
    this->baseScale = baseScale;
    scale = 0.f;
    alpha = 0.f;
    visible = false;
    leaving = 0;

    fade.set(0.f, 1.f, 0.25f, CubicOut, 0.f);
    fade.start();
    grow.set(0.f, baseScale, 2.0f, BackOut, 0.f);
    grow.start();

    switch (mode)
    {
    case 0:
        spin.set(0.f, 360.f, 14.0f, Linear, 0.f);
        spin.start();
        break;
    case 1:
        // A drifter comes in at full size: only its position and swing move.
        grow.active = false;
        moveX.set(x, targetX, 8.0f, Linear, 0.f);
        moveX.start();
        moveY.set(y, targetY, 8.0f, Linear, 0.f);
        moveY.start();
        spin.set(-20.f, 20.f, 10.0f, SineOut, 0.f);
        spin.start();
        break;
    case 2:
        moveY.set(y, y - 200.f, 7.0f, BackOut, 0.f);
        moveY.start();
        spin.set(-20.f, 20.f, 12.0f, SineOut, 0.25f);
        spin.start();
        break;
    default:
        break;
    }
}

void PopSprite::leave()
{
    spin.set(rotation, 0.f, 0.75f, SineOut, 0.f);
    spin.start();
    shrink.set(scale, 0.f, 0.75f, BackIn, 0.f);
    shrink.start();
    fade.set(alpha, 0.f, 0.75f, Linear, 0.f);
    fade.start();
    leaving = 1;
}

void PopSprite::update(float dt)
{
    if (!visible)
        return;

    if (fade.active)
    {
        fade.update(dt);
        alpha = fade.getValue();
    }
    else
    {
        alpha = 1.f;
        if (leaving == 1)
            visible = false;
    }

    if (grow.active)
    {
        grow.update(dt);
        scale = grow.getValue();
    }
    else
    {
        scale = baseScale;
    }
    if (shrink.active)
    {
        shrink.update(dt);
        scale = shrink.getValue();
    }

    if (spin.active)
    {
        spin.update(dt);
        rotation = spin.getValue();
    }
    else
    {
        rotation = 0.f;
    }

    if (moveX.active)
    {
        moveX.update(dt);
        x = moveX.getValue();
    }
    if (moveY.active)
    {
        moveY.update(dt);
        y = moveY.getValue();
    }
}

void PopSprite::draw(const Resources& resources, sf::RenderTarget& target) const
{
    if (!visible || sprite == nullptr)
        return;
    sprite->setPosition(x, y);
    sprite->setRotation(rotation);
    sprite->setScale(scale, scale);
    sprite->setColor(sf::Color(255, 255, 255, truncatedByte(alpha * 255.f)));
    drawIfPresent(resources, target, sprite);
}

void stepFrameTimer(float& frameTimer, bool& frameToggle, float dt)
{
    frameTimer += dt;
    if (frameTimer > 0.25f)
    {
        frameTimer = 0.f;
        frameToggle = !frameToggle;
    }
}
