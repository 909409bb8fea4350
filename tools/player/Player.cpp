#include "Player.hpp"

#include "capture/DemoLength.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/System/Sleep.hpp>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace
{
std::string seconds(long step)
{
    std::ostringstream text;
    text << std::fixed << std::setprecision(3) << stepDemoTime(step) << " s (step " << step << ")";
    return text.str();
}
} // namespace

Player::Player(Demo& demo, sf::RenderWindow& window, const PlayerOptions& options)
    : demo(demo), window(window), options(options), reload(demo.resources),
      schedule(computeDemoSchedule(demoScenes())), lastStep(demoFrameCount(stepSeconds, 0)),
      paused(options.paused), pauseApplied(options.paused), soundMuted(demo.resources.soundManager.muted)
{
    observedStarts[0] = 1;
    for (const SceneEntry& scene : demoScenes())
        modelStarts[scene.id] = lastStep - demoFrameCount(stepSeconds, scene.id) + 1;
    // A scene started while steps run without drawing starts its music at once: it waits, paused,
    // until the target is reached and the music can be put at the picture's time.
    MusicManager& music = demo.resources.musicManager;
    music.onPlay = [this, &music](const std::string&, bool)
    {
        if (replaying)
            music.player().pause();
        music.player().setPitch(this->options.speed);
    };
    // The effects follow the speed keys as the music does.
    demo.resources.soundManager.setPitch(this->options.speed);
    // What the steps of a seek start is noted, to be heard from its offset at the target.
    demo.resources.soundManager.onMutedPlayback = [this](const std::string& key, bool started)
    {
        if (!replaying)
            return;
        if (started)
            heldSounds[key] = step;
        else
            heldSounds.erase(key);
    };
    checkpoints.keep(demo, 0);
}

long Player::sceneStart(SceneId scene) const
{
    if (const auto found = observedStarts.find(scene); found != observedStarts.end())
        return found->second;
    // Not reached yet: where the scenes' own timings put it.
    const auto modelled = modelStarts.find(scene);
    return modelled != modelStarts.end() ? modelled->second : lastStep + 1;
}

SceneId Player::sceneAt(long at) const
{
    SceneId found = 0;
    for (const SceneEntry& scene : demoScenes())
        if (sceneStart(scene.id) <= at)
            found = scene.id;
    return found;
}

std::string Player::beatText() const
{
    // The beat tables laid out from scene 2's first step, which is where the scenes poll them.
    const long frame = step - sceneStart(2);
    auto last = std::upper_bound(schedule.beats.begin(), schedule.beats.end(), frame,
                                 [](long f, const ScheduledBeat& beat) { return f < beat.frame; });
    if (frame < 0 || last == schedule.beats.begin())
        return "beat: none yet";
    --last;
    std::ostringstream text;
    text << "beat: scene " << last->scene << (last->cue ? " cue " : " entry ") << last->index << " at "
         << std::fixed << std::setprecision(3) << stepDemoTime(sceneStart(2) + last->frame) << " s";
    return text.str();
}

bool Player::takeEvent(const sf::Event& event)
{
    if (event.type == sf::Event::Closed)
    {
        requests.push_back({Action::quit});
        return true;
    }
    if (event.type != sf::Event::KeyPressed)
        return false;
    const bool shift = event.key.shift;
    switch (event.key.code)
    {
    case sf::Keyboard::Space:
        paused = !paused;
        break;
    case sf::Keyboard::Period:
        requests.push_back({Action::frameForward});
        break;
    case sf::Keyboard::Comma:
        requests.push_back({Action::frameBack});
        break;
    case sf::Keyboard::Right:
        requests.push_back({Action::forward, shift ? 600 : 60});
        break;
    case sf::Keyboard::Left:
        requests.push_back({Action::back, shift ? 600 : 60});
        break;
    case sf::Keyboard::Up:
        requests.push_back({Action::forward, 600});
        break;
    case sf::Keyboard::Down:
        requests.push_back({Action::back, 600});
        break;
    case sf::Keyboard::N:
        requests.push_back({Action::nextScene});
        break;
    case sf::Keyboard::P:
        requests.push_back({Action::sceneStart});
        break;
    case sf::Keyboard::R:
    case sf::Keyboard::Home:
        requests.push_back({Action::toStart});
        break;
    case sf::Keyboard::Num1:
        requests.push_back({Action::speed, 4});
        break;
    case sf::Keyboard::Num2:
        requests.push_back({Action::speed, 2});
        break;
    case sf::Keyboard::Num4:
        requests.push_back({Action::speed, 1});
        break;
    case sf::Keyboard::O:
        requests.push_back({Action::overlay});
        break;
    case sf::Keyboard::LBracket:
        requests.push_back({Action::loopIn});
        break;
    case sf::Keyboard::RBracket:
        requests.push_back({Action::loopOut});
        break;
    case sf::Keyboard::L:
        requests.push_back({Action::loopScene});
        break;
    case sf::Keyboard::Escape:
    case sf::Keyboard::Q:
        requests.push_back({Action::quit});
        break;
    default:
        break;
    }
    return true;
}

void Player::drainEvents()
{
    sf::Event event;
    while (window.pollEvent(event))
        takeEvent(event);
}

FrameResult Player::runStep(bool drawn)
{
    ++step;
    onScreen = demo.state.currentScene;
    const FrameResult result = runFrame(
        demo, window, stepSeconds, KeyState{}, demoScenes(),
        [this]
        {
            if (options.overlay)
            {
                // The frame's time includes the work it queued for the GPU.
                glFinish();
                overlay.addFrameTime(frameClock.getElapsedTime().asMicroseconds() / 1000.0);
            }
            if (paused || !demo.state.running)
                keepFrame();
            if (options.overlay)
                overlay.draw(window, overlayState());
        },
        drawn ? FrameDrawing::drawn : FrameDrawing::suppressed,
        [this](const sf::Event& e) { return takeEvent(e); });
    if (result.sceneRan && result.next != result.scene && result.next != endOfDemo)
        observedStarts.emplace(result.next, step + 1);
    if (!demo.state.running)
        ended = true;
    else
        checkpoints.keep(demo, step);
    return result;
}

void Player::keepFrame()
{
    if (keptFrame.getSize() != window.getSize())
        keptFrame.create(window.getSize().x, window.getSize().y);
    window.setActive(true); // not a layer's framebuffer that the frame may have left bound
    keptFrame.update(window);
    frameKept = true;
}

OverlayState Player::overlayState() const
{
    OverlayState state;
    state.step = step;
    state.lastStep = lastStep;
    state.scene = onScreen;
    state.sceneName = onScreen == endOfDemo ? "end" : sceneName(onScreen);
    state.sceneSeconds = stepDemoTime(step - sceneStart(onScreen) + 1);
    state.beat = beatText();
    state.paused = paused;
    state.ended = ended;
    state.speed = options.speed;
    state.message = message;
    if (loopStart || loopEnd)
        state.loop = "loop " + (loopStart ? seconds(*loopStart) : std::string("from the start")) + " to " +
                     (loopEnd ? seconds(*loopEnd) : std::string("the end"));
    return state;
}

void Player::advanceTo(const std::function<bool()>& arrived)
{
    // Nothing the steps before the target start is heard; the music is put at its time after.
    SoundManager& sounds = demo.resources.soundManager;
    replaying = true;
    heldSounds.clear();
    sounds.muted = true;
    while (demo.state.running && !arrived())
        runStep(false);
    sounds.muted = soundMuted;
    replaying = false;
    if (demo.state.running)
    {
        resumeHeldSounds();
        frameClock.restart();
        runStep(true);
    }
    clock = stepDemoTime(step - 1);
    wall.restart(); // the time the steps took is not the demo's
    syncMusic();
    announce();
}

void Player::advanceToStep(long target)
{
    advanceTo([this, target] { return step >= target - 1; });
}

void Player::advanceToScene(SceneId scene)
{
    advanceTo([this, scene] { return demo.state.currentScene == scene; });
}

void Player::resumeHeldSounds()
{
    if (paused || soundMuted)
        return;
    // Each was started by the update of its step, at that step's time; the next is drawn.
    for (const auto& [key, started] : heldSounds)
        demo.resources.soundManager.playFrom(
            key, sf::seconds(static_cast<float>(step + 1 - started) / stepsPerSecond));
    heldSounds.clear();
}

void Player::jumpTo(long target, bool evenIfHere)
{
    target = std::clamp(target, 1L, std::max(1L, lastStep - 1));
    // Forward from here unless a kept moment is nearer the target.
    const bool fromHere = target > step && !ended && checkpoints.nearest(target - 1) <= step;
    if (fromHere)
        advanceToStep(target);
    else if (target != step || evenIfHere)
        goBackTo(target);
}

void Player::goBackTo(long target)
{
    std::cout << "going to " << seconds(target) << std::endl;
    const long from = checkpoints.restore(demo, target - 1);
    if (from < 0)
    {
        // No moment kept (out of memory): from the first frame. A shader that does not compile
        // now keeps its last good program through the reset.
        reload.resetDemo(demo);
        checkpoints.clear();
        step = 0;
        observedStarts = {{demo.state.currentScene, 1}};
    }
    else
        step = from;
    onScreen = demo.state.currentScene;
    // Before the soundtrack's first step it has not started yet; from there on, syncMusic puts it
    // at the picture's time.
    if (step < sceneStart(2))
        demo.resources.musicManager.player().stop();
    // Back from the end the picture is held, as it was there.
    paused = pauseApplied = paused || ended;
    ended = false;
    frameKept = false;
    advanceToStep(target);
}

void Player::performRequests()
{
    // A request may run frames, whose events add requests of their own: take them one by one.
    applyPause();
    while (!requests.empty() && !quit)
    {
        const Request request = requests.front();
        requests.erase(requests.begin());
        switch (request.action)
        {
        case Action::forward:
            jumpTo(step + request.amount);
            break;
        case Action::back:
            jumpTo(step - request.amount);
            break;
        case Action::frameForward:
            paused = true;
            applyPause();
            jumpTo(step + 1);
            break;
        case Action::frameBack:
            paused = true;
            applyPause();
            jumpTo(step - 1);
            break;
        case Action::nextScene:
            // The step after the current scene hands over; one that has handed over already is there.
            if (!ended)
                advanceToScene(demo.state.currentScene == onScreen ? nextScene(onScreen)
                                                                   : demo.state.currentScene);
            break;
        case Action::sceneStart:
        {
            // Within the first second of a scene, to the one before.
            const long start = sceneStart(onScreen);
            const SceneTable& chain = demoScenes();
            const SceneId here = sceneAt(step);
            const auto entry = std::find_if(chain.begin(), chain.end(),
                                            [here](const SceneEntry& scene) { return scene.id == here; });
            jumpTo(step - start >= stepsPerSecond || entry == chain.begin() || entry == chain.end()
                       ? start
                       : sceneStart((entry - 1)->id));
            break;
        }
        case Action::toStart:
            jumpTo(1);
            break;
        case Action::speed:
            options.speed = static_cast<float>(request.amount) / 4.f;
            demo.resources.musicManager.player().setPitch(options.speed);
            demo.resources.soundManager.setPitch(options.speed);
            std::cout << "speed " << options.speed << std::endl;
            break;
        case Action::overlay:
            options.overlay = !options.overlay;
            break;
        case Action::loopIn:
            loopStart = step;
            if (loopEnd && *loopEnd <= step)
                loopEnd.reset();
            break;
        case Action::loopOut:
            loopEnd = step;
            if (loopStart && *loopStart >= step)
                loopStart.reset();
            break;
        case Action::loopScene:
            if (loopStart || loopEnd)
                loopStart = loopEnd = std::nullopt;
            else
            {
                loopStart = sceneStart(onScreen);
                // The scene's last step is the one before the next scene's first.
                const SceneId next = nextScene(onScreen);
                loopEnd = (next == endOfDemo ? lastStep + 1 : sceneStart(next)) - 1;
            }
            break;
        case Action::quit:
            quit = true;
            break;
        }
        applyPause();
    }
}

void Player::applyPause()
{
    if (paused == pauseApplied)
        return;
    pauseApplied = paused;
    if (paused)
        demo.resources.musicManager.player().pause();
    else
    {
        // From the step on screen, so the music and the pictures go on together.
        clock = stepDemoTime(step - 1);
        wall.restart();
        syncMusic();
    }
    announce();
}

void Player::syncMusic()
{
    sf::Music& music = demo.resources.musicManager.player();
    music.setPitch(options.speed);
    if (music.getStatus() == sf::SoundSource::Stopped)
        return;
    // The music starts with scene 2's first step, as the soundtrack is composed.
    const double offset = clock - stepDemoTime(sceneStart(2) - 1);
    music.setPlayingOffset(sf::seconds(static_cast<float>(std::max(0.0, offset))));
    if (paused || ended)
        music.pause();
    else
        music.play();
}

void Player::pollFiles()
{
    for (Reload& done : reload.poll())
    {
        message = done.message;
        if (done.loaded)
            std::cout << done.message << std::endl;
        if (!done.loaded)
            continue;
        if (paused || ended)
        {
            // The picture on screen was drawn before the change: draw that step again.
            message = done.message + ", shown at the paused step";
            jumpTo(step, true);
        }
        else
            awaitingScreen.push_back(done);
    }
}

void Player::showKeptFrame()
{
    window.clear();
    if (frameKept)
    {
        // Copied as it is, alpha included, so the paused picture is the drawn one to the bit.
        sf::Sprite picture(keptFrame);
        window.draw(picture, sf::BlendNone);
    }
    if (options.overlay)
        overlay.draw(window, overlayState());
    window.display();
}

void Player::announce()
{
    if (ended)
        std::cout << "end of the demo at " << seconds(step) << std::endl;
    else
        std::cout << (paused ? "paused at " : "playing from ") << seconds(step) << std::endl;
}

void Player::finishFrame()
{
    // A reload is on screen from the first frame displayed after it.
    const auto now = std::chrono::system_clock::now();
    for (const Reload& done : awaitingScreen)
    {
        const double seconds = std::chrono::duration<double>(now - done.savedAt).count();
        std::ostringstream text;
        text << std::fixed << std::setprecision(3) << done.message << ": on screen " << seconds
             << " s after the save";
        message = text.str();
        std::cout << message << std::endl;
    }
    awaitingScreen.clear();
}

int Player::run()
{
    if (options.scene)
        advanceToScene(*options.scene);
    else
    {
        long target = options.step.value_or(1);
        if (options.at)
            target = static_cast<long>(std::ceil(std::min(*options.at, 86400.0) * stepsPerSecond - 1e-7));
        advanceToStep(std::clamp(target, 1L, std::max(1L, lastStep - 1)));
    }

    wall.restart();
    while (!quit)
    {
        const double elapsed = wall.restart().asSeconds();
        pollFiles();
        if (paused || ended)
        {
            drainEvents();
            performRequests();
            if (repaintClock.getElapsedTime() > sf::milliseconds(50))
            {
                repaintClock.restart();
                showKeptFrame();
            }
            sf::sleep(sf::milliseconds(10));
            continue;
        }
        clock += elapsed * options.speed;
        const StepPlan plan = planSteps(clock, step);
        if (plan.steps == 0)
        {
            drainEvents();
            // A pause between two frames lands on the next one, whose picture is kept to show.
            if (paused && !pauseApplied && demo.state.running)
            {
                frameClock.restart();
                runStep(true);
                finishFrame();
            }
            performRequests();
            sf::sleep(sf::seconds(static_cast<float>(std::min(plan.waitSeconds / options.speed, 0.005))));
            continue;
        }
        clock -= plan.droppedSeconds;
        for (int i = 1; i < plan.steps && demo.state.running; ++i)
            runStep(false);
        if (demo.state.running)
        {
            frameClock.restart();
            runStep(true);
        }
        if (ended)
        {
            demo.resources.musicManager.player().pause();
            announce();
        }
        finishFrame();
        // At the end of the loop (or of the demo, inside one), back to its start.
        if (loopStart || loopEnd)
        {
            const long end = loopEnd.value_or(lastStep - 1);
            if ((step >= end || ended) && !paused)
            {
                // Playing on: a loop through the demo's end is no stop at its end.
                ended = false;
                jumpTo(loopStart.value_or(1), true);
            }
        }
        performRequests();
        applyPause();
    }
    window.close();
    return 0;
}
