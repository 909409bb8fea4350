#include "runtime/MainLoop.hpp"

#include "runtime/PassTiming.hpp"
#include "runtime/Resources.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <optional>

KeyState readKeyboard()
{
    KeyState keys;
    keys.escape = sf::Keyboard::isKeyPressed(sf::Keyboard::Escape);
    keys.space = sf::Keyboard::isKeyPressed(sf::Keyboard::Space);
    return keys;
}

void addKeyPress(const sf::Event& event, KeyState& keys)
{
    if (event.type != sf::Event::KeyPressed)
        return;
    if (event.key.code == sf::Keyboard::Escape)
        keys.escape = true;
    else if (event.key.code == sf::Keyboard::Space)
        keys.space = true;
}

void applyWindowEvent(FrameState& state, const sf::Event& event, KeyState& keys, const EventFilter& takeEvent)
{
    if (takeEvent && takeEvent(event))
        return;
    if (event.type == sf::Event::Closed)
        state.running = false;
    addKeyPress(event, keys);
}

void handleKeys(FrameState& state, KeyState keys, std::ostream& out)
{
    if (keys.escape)
        state.running = false;
    if (keys.space && !state.spaceHeld)
    {
        // The marker clock starts after the first line is written, so that line reads "@0".
        out << "@" << state.markerTime << std::endl;
        state.markerActive = true;
        state.spaceHeld = true;
    }
    if (!keys.space)
        state.spaceHeld = false;
}

void advanceFade(FrameState& state, float frameSeconds)
{
    if (state.fadeMode == 1)
    {
        state.fadeAlpha += frameSeconds * state.fadeSpeed;
        if (state.fadeAlpha >= 1.f)
        {
            state.fadeAlpha = 1.f;
            state.fadeMode = 0;
        }
    }
    else if (state.fadeMode == 2)
    {
        state.fadeAlpha -= frameSeconds * state.fadeSpeed;
        if (state.fadeAlpha <= 0.f)
        {
            state.fadeAlpha = 0.f;
            state.fadeMode = 0;
        }
    }
}

sf::Uint8 fadeOverlayAlpha(float fadeAlpha)
{
    // Scenes write fadeAlpha directly; a value past either end must not wrap round to a
    // half-transparent veil (1.5 would otherwise come out as 126), and NaN shows nothing.
    if (!(fadeAlpha > 0.f))
        return 0;
    if (fadeAlpha >= 1.f)
        return 255;
    return static_cast<sf::Uint8>(static_cast<int>(fadeAlpha * 255.f));
}

const SceneEntry* dispatchScene(Demo& demo, FrameState& state, const SceneTable& table, float frameSeconds)
{
    if (state.currentScene == endOfDemo)
    {
        state.running = false;
        return nullptr;
    }
    for (const SceneEntry& entry : table)
        if (entry.id == state.currentScene)
        {
            if (!entry.update)
                return nullptr;
            state.currentScene = entry.update(demo, frameSeconds);
            return &entry;
        }
    return nullptr;
}

StepPlan planSteps(double wallSeconds, long stepsDone, long maxSteps)
{
    StepPlan plan;
    const long due = static_cast<long>(std::floor(wallSeconds * stepsPerSecond + 0.5)) + 1;
    const long behind = due - stepsDone;
    if (behind <= 0)
    {
        // The next step falls due half a step before its time, as the rounding has it.
        plan.waitSeconds = (static_cast<double>(stepsDone) - 0.5) / stepsPerSecond - wallSeconds;
        return plan;
    }
    plan.steps = static_cast<int>(std::min<long>(behind, std::max(1L, maxSteps)));
    plan.droppedSeconds = static_cast<double>(behind - plan.steps) / stepsPerSecond;
    return plan;
}

sf::IntRect fittedPicture(sf::Vector2u windowSize)
{
    const double scale = std::min(static_cast<double>(windowSize.x) / pictureWidth,
                                  static_cast<double>(windowSize.y) / pictureHeight);
    const int width = static_cast<int>(std::lround(pictureWidth * scale));
    const int height = static_cast<int>(std::lround(pictureHeight * scale));
    return {(static_cast<int>(windowSize.x) - width) / 2, (static_cast<int>(windowSize.y) - height) / 2,
            width, height};
}

namespace
{
void drawFadeOverlay(const FrameState& frame, Resources& resources, sf::RenderTarget& target)
{
    sf::Sprite* fadeSprite = resources.fadeSprite;
    const sf::Uint8 alpha = fadeOverlayAlpha(frame.fadeAlpha);
    if (!fadeSprite)
        return;
    // Only the alpha a scene gave the shared sprite survives: red, green and blue come
    // back as white.
    const sf::Uint8 rememberedAlpha = fadeSprite->getColor().a;
    // Without a fade running the overlay is fully transparent and changes no pixel.
    if (alpha > 0 || !drawingShortcuts)
    {
        const TimedPass pass("fade overlay");
        fadeSprite->setColor(sf::Color(255, 255, 255, alpha));
        resources.drawSprite(target, *fadeSprite);
    }
    fadeSprite->setColor(sf::Color(255, 255, 255, rememberedAlpha));
}

/// Draws the finished off-screen picture into the window, scaled to fit, on black.
void showFitted(sf::RenderWindow& window, sf::RenderTexture& picture)
{
    picture.display();
    const sf::Vector2u size = window.getSize();
    window.setView(sf::View(sf::FloatRect(0.f, 0.f, static_cast<float>(size.x), static_cast<float>(size.y))));
    window.clear(sf::Color::Black);
    const sf::IntRect area = fittedPicture(size);
    sf::Sprite sprite(picture.getTexture());
    sprite.setPosition(static_cast<float>(area.left), static_cast<float>(area.top));
    sprite.setScale(static_cast<float>(area.width) / pictureWidth,
                    static_cast<float>(area.height) / pictureHeight);
    // The colours as composed: on the window the picture's alpha never showed either.
    window.draw(sprite, sf::BlendNone);
}
} // namespace

FrameResult runFrame(Demo& demo, FrameState& frame, Resources& resources, sf::RenderWindow& window,
                     float frameSeconds, KeyState keys, const SceneTable& scenes,
                     const std::function<void()>& beforeDisplay, FrameDrawing drawing,
                     const EventFilter& takeEvent)
{
    FrameState& state = frame;
    FrameResult result;
    result.scene = state.currentScene;
    // The scene's pictures are in before its step, which may measure them and draw them; a
    // scene that names none may use any.
    for (const SceneEntry& entry : scenes)
        if (entry.id == state.currentScene)
            resources.textureManager.finishLoading(entry.pictures);
    if (drawing == FrameDrawing::suppressed)
    {
        // Keys and events belong to the frames a person sees: a suppressed step leaves them
        // waiting for the next drawn frame (and a held Space still prints once).
        if (state.markerActive)
            state.markerTime += frameSeconds;
        advanceFade(state, frameSeconds);
        result.sceneRan = dispatchScene(demo, state, scenes, frameSeconds) != nullptr;
        result.next = state.currentScene;
        return result;
    }

    resources.clearLayers();
    if (state.markerActive)
        state.markerTime += frameSeconds;
    // Events first: a press they hold counts like a key that is down, once, even when the key
    // was let go again before the real-time state was read.
    sf::Event event;
    while (window.pollEvent(event))
        applyWindowEvent(state, event, keys, takeEvent);
    handleKeys(state, keys, std::cout);

    advanceFade(state, frameSeconds);
    // Read after the events, so a resize is followed in the frame that reports it.
    const bool fitted = window.getSize() != sf::Vector2u(pictureWidth, pictureHeight);
    sf::RenderTarget& target = fitted ? static_cast<sf::RenderTarget&>(resources.offScreenPicture()) : window;
    if (!fitted) // the view a fitted frame or a resize left behind
        window.setView(sf::View(sf::FloatRect(0.f, 0.f, pictureWidth, pictureHeight)));

    const SceneEntry* ran = dispatchScene(demo, state, scenes, frameSeconds);
    result.sceneRan = ran != nullptr;
    result.next = state.currentScene;
    // Clearing costs a quarter of a full-screen pass; a scene that covers the picture first
    // leaves nothing of the last frame showing. The frame it hands over on may draw nothing.
    const bool covered = drawingShortcuts && ran && ran->coversPicture && result.next == result.scene &&
                         resources.blackSprite();
    if (!covered)
        target.clear(sf::Color(0, 0, 0, 0));
    if (ran && ran->draw)
    {
        resources.applyUniforms(state.uniforms);
        ran->draw(demo, target);
    }

    drawFadeOverlay(state, resources, target);
    if (fitted)
        showFitted(window, resources.offScreenPicture());
    if (beforeDisplay)
        beforeDisplay();
    window.display();
    return result;
}

std::vector<std::string> openingPictures(const SceneTable& scenes)
{
    std::vector<std::string> pictures;
    for (const SceneEntry& scene : scenes)
    {
        if (scene.pictures.empty())
            break;
        for (const std::string& key : scene.pictures)
            if (std::find(pictures.begin(), pictures.end(), key) == pictures.end())
                pictures.push_back(key);
    }
    return pictures;
}

StepPlan DemoClock::plan(double wallSeconds, std::optional<double> musicSeconds, long stepsDone)
{
    if (!musicSeconds)
    {
        const StepPlan plan = planSteps(wallSeconds + offset, stepsDone);
        offset -= plan.droppedSeconds;
        return plan;
    }
    const double difference = *musicSeconds - (wallSeconds + offset);
    // A stall jumps at once; the music's own jitter is eased out, a tenth a frame.
    offset += std::abs(difference) > jumpSeconds ? difference : 0.1 * difference;
    return planSteps(wallSeconds + offset, stepsDone, std::numeric_limits<int>::max());
}

std::function<void(long stepsDone)> beforeRealTimeFrame;

void playInRealTime(Demo& demo, FrameState& frame, Resources& resources, sf::RenderWindow& window,
                    const SceneTable& scenes, const std::function<void(long stepsDone)>& afterDrawn,
                    bool followMusic)
{
    sf::Music& music = resources.musicManager.player();
    long stepsDone = 0;
    // The music starts in the update of some step: at that step's time of the demo.
    std::optional<double> musicStart;
    if (music.getStatus() == sf::SoundSource::Playing)
        musicStart = -static_cast<double>(music.getPlayingOffset().asSeconds());
    resources.musicManager.onPlay = [&](const std::string&, bool)
    { musicStart = static_cast<double>(stepsDone) / stepsPerSecond; };

    DemoClock clock;
    sf::Clock wallClock; // started after loading, which must not count as missed steps
    while (frame.running)
    {
        if (beforeRealTimeFrame)
            beforeRealTimeFrame(stepsDone);
        std::optional<double> musicSeconds;
        if (followMusic && musicStart && music.getStatus() == sf::SoundSource::Playing)
            musicSeconds = *musicStart + music.getPlayingOffset().asSeconds();
        const StepPlan plan = clock.plan(wallClock.getElapsedTime().asSeconds(), musicSeconds, stepsDone);
        if (plan.steps == 0)
        {
            sf::sleep(sf::seconds(static_cast<float>(plan.waitSeconds)));
            continue;
        }
        for (int step = 1; step < plan.steps && frame.running; ++step)
        {
            runFrame(demo, frame, resources, window, stepSeconds, KeyState{}, scenes, {},
                     FrameDrawing::suppressed);
            ++stepsDone;
        }
        if (frame.running)
        {
            runFrame(demo, frame, resources, window, stepSeconds, readKeyboard(), scenes);
            ++stepsDone;
            // What start-up left goes in one piece a frame, so that no frame waits for it all.
            resources.loadNext();
            if (afterDrawn)
                afterDrawn(stepsDone);
        }
    }
    resources.musicManager.onPlay = nullptr;
}
