#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTarget.hpp>

/// The benchmark's view of a frame, pass by pass. The shared drawing helpers (a full-screen
/// shader pass, a sprite, a layer finished and composited, the particles, the letters, the
/// flash veil, the fade overlay) each open a TimedPass around what they draw. Only
/// `flumbadoo-capture --bench` sets an observer; everywhere else passObserver stays null and
/// a TimedPass is one pointer test.
class PassObserver
{
public:
    virtual ~PassObserver() = default;
    /// A pass is about to draw.
    virtual void passBegins() = 0;
    /// The pass that began last has queued its drawing. name and detail (which may be null)
    /// are static strings, such as "layer1" and "rainbow".
    virtual void passEnds(const char* name, const char* detail) = 0;
};

/// The observer of every TimedPass; null (the default) times nothing.
extern PassObserver* passObserver;

/// Tells the observer, if any, about the drawing done while it lives. A pass opened inside
/// another one belongs to the outer pass and is not reported on its own.
class TimedPass
{
public:
    explicit TimedPass(const char* name, const char* detail = nullptr);
    ~TimedPass();
    TimedPass(const TimedPass&) = delete;
    TimedPass& operator=(const TimedPass&) = delete;

private:
    const char* name;
    const char* detail;
    bool reported;
};

/// The smallest rectangle holding a and b; a rectangle without area holds nothing.
sf::FloatRect boundsUnion(const sf::FloatRect& a, const sf::FloatRect& b);

/// Whether the drawing helpers take their shortcuts: a pass that cannot change a pixel (a
/// fully transparent overlay, a layer whose sprite shows nothing) is left out, and a pass
/// whose visible part is known is drawn only there. On by default; off draws every pass in
/// full, which is how the shortcuts are checked to leave every pixel as it was.
extern bool drawingShortcuts;

/// While it lives, drawing into target reaches only the pixels of box (target pixels, from
/// the top left; widened to whole pixels and clipped to the target). Changes nothing when
/// the shortcuts are off or when drawing is already limited (a step run without drawing
/// keeps its empty box), so the draws inside must not change pixels outside box.
class DrawWithin
{
public:
    DrawWithin(sf::RenderTarget& target, const sf::FloatRect& box);
    ~DrawWithin();
    DrawWithin(const DrawWithin&) = delete;
    DrawWithin& operator=(const DrawWithin&) = delete;

private:
    sf::RenderTarget* limited = nullptr; ///< the target whose drawing was limited, if any
};
