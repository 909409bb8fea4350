#pragma once

#include "HotReload.hpp"
#include "Options.hpp"
#include "Overlay.hpp"
#include "runtime/BeatSchedule.hpp"
#include "runtime/MainLoop.hpp"
#include "scenes/Checkpoints.hpp"
#include "scenes/Demo.hpp"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Clock.hpp>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

/// The maker's player after start-up: the demo's frames on its 60 Hz clock at the chosen speed,
/// the keys, the music kept at the picture's time, the overlay and the hot reload.
///
/// Steps are counted from 1 (0 s). The player keeps the demo's state every 5 s of demo time as
/// it reaches them (Checkpoints). A seek, forwards or back, starts from the nearest kept moment
/// before the target (or from where the player is, when that is nearer), runs the steps up to
/// the target without drawing them and draws the target, in the same window: the target shows
/// exactly what the demo shows there.
class Player
{
public:
    /// Plays demo, started up in window; both must outlive it.
    Player(Demo& demo, sf::RenderWindow& window, const PlayerOptions& options);

    /// Plays until quit and returns the exit status.
    int run();

private:
    enum class Action
    {
        forward,      ///< amount steps on
        back,         ///< amount steps back
        frameForward, ///< pause, one step on
        frameBack,    ///< pause, one step back
        nextScene,
        sceneStart,
        toStart,
        speed, ///< to amount / 4
        overlay,
        loopIn,    ///< the loop starts at the step on screen
        loopOut,   ///< the loop ends at the step on screen
        loopScene, ///< loop the scene on screen, or end the loop
        quit
    };
    struct Request
    {
        Action action;
        long amount = 0;
    };

    bool takeEvent(const sf::Event& event);
    void drainEvents();
    void performRequests();
    FrameResult runStep(bool drawn);
    /// Runs steps without drawing them until arrived() says the next one is the target, then
    /// draws that one; stops early at the demo's end.
    void advanceTo(const std::function<bool()>& arrived);
    void advanceToStep(long target);
    void advanceToScene(SceneId scene); ///< to the scene's first step

    void jumpTo(long target, bool evenIfHere = false);
    /// Puts the demo back at the nearest kept moment before target (its first frame when none
    /// is kept) and runs it to target, paused where it was paused or at the end.
    void goBackTo(long target);
    /// Starts the sound effects the steps of a seek started and that still sound at the step
    /// about to be drawn, each from its offset.
    void resumeHeldSounds();
    void keepFrame();
    OverlayState overlayState() const;
    void applyPause();
    void syncMusic();
    void pollFiles();
    void showKeptFrame();
    void announce();
    void finishFrame();

    long sceneStart(SceneId scene) const;
    SceneId sceneAt(long step) const;
    std::string beatText() const;

    Demo& demo;
    sf::RenderWindow& window;
    PlayerOptions options;
    Overlay overlay;
    HotReload reload;
    DemoSchedule schedule;
    Checkpoints checkpoints{5 * stepsPerSecond};
    std::map<std::string, long> heldSounds; ///< effects a seek's steps started, by key: the step
    std::optional<long> loopStart, loopEnd; ///< the loop's first and last step, when set
    std::map<SceneId, long> observedStarts; ///< first step of each scene run so far
    std::map<SceneId, long> modelStarts;    ///< first step of each scene as the scenes' timings put it
    long lastStep = 0;                      ///< the step that ends the demo, from its timings

    long step = 0;        ///< steps run; the last is the one on screen
    SceneId onScreen = 0; ///< the scene of that step
    double clock = 0.0;   ///< the step clock at the chosen speed: step n is due at (n - 1) / 60
    bool paused = false;
    bool pauseApplied = false;
    bool ended = false;
    bool replaying = false;
    bool soundMuted = false; ///< the configuration's switch, put back after the steps of a jump
    std::string message;
    std::vector<Reload> awaitingScreen; ///< reloaded, not yet on screen
    std::vector<Request> requests;
    sf::Texture keptFrame; ///< the picture a pause shows
    bool frameKept = false;
    sf::Clock frameClock;
    sf::Clock wall; ///< real time since the step clock was last advanced or set
    sf::Clock repaintClock;
    bool quit = false;
};
