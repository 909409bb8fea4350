#pragma once

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
