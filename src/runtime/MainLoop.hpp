#pragma once

#include "runtime/ShaderUniforms.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Window/Event.hpp>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

/// Names a scene: 0 to 12 and 65 have routines, 666 ends the demo, anything else calls nothing.
using SceneId = std::int32_t;

/// The id a scene returns to end the demo.
constexpr SceneId endOfDemo = 666;

class Resources;
struct Demo;

/// What the frame loop itself keeps from frame to frame: the scene to run, whether to go on,
/// the marker clock and the global fade. The demo's whole state (scenes/Demo.hpp) extends it.
struct FrameState
{
    SceneId currentScene = 0;  ///< scene routine to call this frame; starts at 0
    bool running = true;       ///< the frame loop runs while true
    float markerTime = 0.f;    ///< seconds since the first Space press
    bool markerActive = false; ///< set by the first Space press, never cleared
    bool spaceHeld = false;    ///< Space was down at the last look, so a held key prints once

    float fadeAlpha = 0.f; ///< opacity of the fade overlay, 0 invisible to 1 opaque
    float fadeSpeed = 0.f; ///< change of fadeAlpha per second while a fade runs
    int fadeMode = 0;      ///< 0 none, 1 rise towards 1 (to black), 2 fall towards 0 (from black)

    /// What the scenes have given their shaders' uniforms, sent before each drawn frame.
    ShaderUniforms uniforms;
};

/// One step of a scene: advances it by frameSeconds in demo's state (its clocks, beats,
/// sounds, uniforms and poses) without any OpenGL call, and returns the scene to run next
/// step (its own id to stay).
using SceneUpdate = SceneId (*)(Demo& demo, float frameSeconds);

/// The pictures of a scene's state after its update, drawn into target (the window, or the
/// picture composed for it). It changes nothing a later update reads.
using SceneDraw = void (*)(const Demo& demo, sf::RenderTarget& target);

/// One scene of the chain: its id, what it shows, and its update and drawing.
struct SceneEntry
{
    SceneId id = 0;
    const char* name = "";
    SceneUpdate update = nullptr;
    SceneDraw draw = nullptr;
    /// The texture keys of every picture its steps measure or draw, when it may run before the
    /// rest are in; a scene without them waits for every picture before its first step.
    std::vector<std::string> pictures = {};
    /// Whether every frame it draws, but the one it hands over on, begins by covering the whole
    /// picture: with a clear of its own, or with the black sprite through an opaque shader
    /// replacing what was there. The main loop then leaves the last frame's picture under it
    /// instead of clearing it first (a drawing shortcut, and only while the black sprite exists).
    bool coversPicture = false;
};

/// The scenes in the order they play; the demo's own is demoScenes() (scenes/SceneTable.hpp).
using SceneTable = std::vector<SceneEntry>;

/// The pictures of the scenes that open the table and name theirs: what must be in before the
/// first frame, while the others decode as those scenes play. Empty when the first names none.
std::vector<std::string> openingPictures(const SceneTable& scenes);

/// The two keys the demo reacts to, as they are at the start of a frame.
struct KeyState
{
    bool escape = false;
    bool space = false;
};

/// Reads Escape and Space from the real-time keyboard state.
KeyState readKeyboard();

/// Adds a press of Escape or Space that event reports to keys. A tap shorter than a frame
/// is over before the next real-time read, but its press still waits in the event queue.
/// Any other event leaves keys as they are.
void addKeyPress(const sf::Event& event, KeyState& keys);

/// Takes a window event before the frame looks at it: returns true when the caller has handled
/// the event itself, which the frame then ignores. The demo passes none; the player takes every
/// key press and the window's closing, since its keys are not the demo's.
using EventFilter = std::function<bool(const sf::Event&)>;

/// What a drawn frame does with one window event: nothing when takeEvent (if given) takes it;
/// otherwise Closed stops the loop (state.running) and a press of Escape or Space is added to keys.
void applyWindowEvent(FrameState& state, const sf::Event& event, KeyState& keys,
                      const EventFilter& takeEvent = {});

/// Applies one frame's keys: Escape stops the loop; a new press of Space writes
/// "@" and the marker time on out and starts the marker clock. Holding Space writes once.
void handleKeys(FrameState& state, KeyState keys, std::ostream& out);

/// Advances the global fade by frameSeconds; a fade that reaches its end value stops there
/// exactly and sets fadeMode back to 0.
void advanceFade(FrameState& state, float frameSeconds);

/// The fade overlay's alpha for fadeAlpha, truncated towards zero.
/// Values below 0 (or NaN) give 0 and values above 1 give 255.
sf::Uint8 fadeOverlayAlpha(float fadeAlpha);

/// Runs the update of frame's currentScene from table on demo (the demo frame belongs to) and
/// stores its result in currentScene. For 666 it sets running to false instead; an id without
/// an update does nothing. Returns the entry whose update ran, or null.
const SceneEntry* dispatchScene(Demo& demo, FrameState& frame, const SceneTable& table, float frameSeconds);

/// The demo's clock: every frame of the demo is one step of this many seconds, whatever the
/// display's rate, so the pictures keep to the schedule the soundtrack was composed on.
constexpr int stepsPerSecond = 60;
constexpr float stepSeconds = 1.f / stepsPerSecond;

/// The most steps one drawn frame catches up. A longer stall is taken as a pause of the whole
/// process (a debugger, a suspended machine), in which the music stopped too: the rest of it
/// is dropped from the clock rather than run.
constexpr int maxCatchUpSteps = stepsPerSecond;

/// What the real-time loop does next.
struct StepPlan
{
    int steps = 0;              ///< steps to run now, the last one drawn; 0: wait for the clock
    double waitSeconds = 0.;    ///< with no step to run: how long until the next is due
    double droppedSeconds = 0.; ///< stall beyond maxCatchUpSteps, to take off the wall clock
};

/// Decides, from the wall-clock seconds since the first frame (less what was dropped before)
/// and the steps run so far, how many steps the next frame runs. Step n is due at
/// (n - 1) / stepsPerSecond, rounded to the nearest step, so that a frame drawn a
/// millisecond early or late at a steady 60 frames per second still runs exactly one step;
/// a frame that comes before its step is due waits for it instead of running none.
StepPlan planSteps(double wallSeconds, long stepsDone, long maxSteps = maxCatchUpSteps);

/// The real-time loop's clock: the demo's seconds by the wall clock, kept to the music while it
/// plays. The music streams on a thread of its own, so a stall of the main thread (a swapping
/// machine, a slow disk, a driver compiling a shader) does not stop it: the next frame then
/// runs every step up to where the music is, however many, and draws the last. Small
/// differences (the music's position moves in mixing periods) are eased out over a few frames.
/// Without music, a stall beyond maxCatchUpSteps is dropped as planSteps does; a pause of the
/// whole process (a debugger, a suspended machine) stops the music too, so it stops both.
class DemoClock
{
public:
    /// A difference from the music beyond this many seconds is a stall: the clock jumps to it.
    static constexpr double jumpSeconds = 2.0 / stepsPerSecond;

    /// The plan for the frame about to run, from the wall clock's seconds since the first frame,
    /// where the music is in demo seconds when it plays, and the steps run so far.
    StepPlan plan(double wallSeconds, std::optional<double> musicSeconds, long stepsDone);

private:
    double offset = 0.0; ///< demo seconds = wall seconds + offset
};

/// Called by playInRealTime before each frame with the steps run so far; empty in the demo.
/// Tests set it to stall the loop as a slow machine would.
extern std::function<void(long stepsDone)> beforeRealTimeFrame;

/// Plays demo (its frame state frame, its resources) in window on its 60 Hz clock (DemoClock),
/// reading the keyboard on drawn frames, until it ends or the window is closed. Music already
/// playing when it starts is kept to from where it is. afterDrawn, when given, runs after each
/// drawn frame with the steps run so far; followMusic false keeps to the wall clock alone (to
/// compare the two).
void playInRealTime(Demo& demo, FrameState& frame, Resources& resources, sf::RenderWindow& window,
                    const SceneTable& scenes, const std::function<void(long stepsDone)>& afterDrawn = {},
                    bool followMusic = true);

/// Whether a frame's pixels are made. A suppressed frame is the scene's update alone: the
/// same clocks, beats, sounds, fade and hand-overs as a drawn one, and no OpenGL call at all.
enum class FrameDrawing
{
    drawn,
    suppressed
};

/// The size every frame of the demo is composed at, whatever the window's size.
constexpr unsigned pictureWidth = 1920;
constexpr unsigned pictureHeight = 1080;

/// Where the picture goes in a window of windowSize pixels: the largest rectangle of the
/// picture's shape that fits, centred, in window pixels, leaving black bars on the two spare
/// sides. A window of no pixels gets an empty rectangle.
sf::IntRect fittedPicture(sf::Vector2u windowSize);

/// What one frame did, for tools that follow the scene chain.
struct FrameResult
{
    SceneId scene = 0;     ///< currentScene when the frame was dispatched
    SceneId next = 0;      ///< currentScene after the frame
    bool sceneRan = false; ///< a routine was called
};

/// One whole frame of demo after its time step is known, on its frame state frame and its
/// resources (scenes/Demo.hpp has the form that takes the demo alone): clears the layers, drains
/// window events (Closed stops the loop), applies the keys (the real-time state in keys
/// together with the key presses found among the events), advances the fade, clears the
/// window, runs the current scene's update from scenes (the caller hands in the demo's table,
/// so the runtime knows no scene) once the pictures it names are in (every picture for a
/// scene that names none, TextureManager::finishLoading), sends the uniforms, runs that
/// scene's drawing, draws the fade overlay and displays the window. In a window of any size
/// but the picture's, the scene and the overlay draw into an off-screen picture instead, which
/// is then drawn into the window scaled to fit (fittedPicture). beforeDisplay, when given, runs
/// just before the window is displayed, when the finished frame can still be read back. A
/// suppressed frame advances the marker clock and the fade and runs the scene's update, its
/// pictures put in first as ever, nothing else: no keys or events (keys is ignored), no other
/// OpenGL call, no beforeDisplay, no display. takeEvent, when given, sees each window event
/// first (applyWindowEvent).
FrameResult runFrame(Demo& demo, FrameState& frame, Resources& resources, sf::RenderWindow& window,
                     float frameSeconds, KeyState keys, const SceneTable& scenes,
                     const std::function<void()>& beforeDisplay = {},
                     FrameDrawing drawing = FrameDrawing::drawn, const EventFilter& takeEvent = {});
