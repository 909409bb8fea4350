#include "runtime/Startup.hpp"

#include "assets/Registries.hpp"
#include "runtime/Config.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/SharedResources.hpp"

#include <SFML/System/Clock.hpp>
#include <locale>

sf::RenderWindow* mainWindow = nullptr;
const std::string windowTitle = "Grumlo vs The Vortle & Trobisk - Flumbadoo";

sf::VideoMode windowMode(bool fullscreen, bool pictureModeOffered, const sf::VideoMode& desktop)
{
    const sf::VideoMode picture(pictureWidth, pictureHeight, 32);
    if (fullscreen)
        return pictureModeOffered ? picture : desktop;
    if (desktop.width >= pictureWidth && desktop.height >= pictureHeight)
        return picture;
    const sf::IntRect fitted = fittedPicture({desktop.width, desktop.height});
    return sf::VideoMode(static_cast<unsigned>(fitted.width), static_cast<unsigned>(fitted.height), 32);
}

bool startUp(sf::RenderWindow& window, StartupTimes* times)
{
    sf::Clock clock;
    // Closes the step that ran since the last call under name.
    auto stepDone = [&](const char* name)
    {
        if (times)
            times->emplace_back(name, clock.restart().asSeconds());
    };

    loadConfig();
    stepDone("configuration");

    // The pictures decode on worker threads while the window opens and the layers are made.
    textureManager.startDecoding("assets/textures.json");
    mainWindow = &window;
    const sf::Uint32 style = fullscreen ? sf::Style::Fullscreen : sf::Style::Default;
    // Asking for a full-screen mode the screen lacks would get a warning and a cropped picture.
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    const sf::VideoMode mode =
        windowMode(fullscreen, sf::VideoMode(pictureWidth, pictureHeight, 32).isValid(), desktop);
    window.create(mode, sf::String(windowTitle, std::locale()), style, sf::ContextSettings());
    // Centred on the desktop ourselves: left to SFML, a window can open partly off the screen.
    if (!fullscreen)
        window.setPosition({(static_cast<int>(desktop.width) - static_cast<int>(mode.width)) / 2,
                            (static_cast<int>(desktop.height) - static_cast<int>(mode.height)) / 2});
    window.setFramerateLimit(60);
    window.setVerticalSyncEnabled(vsync);
    window.setActive(true);
    window.setMouseCursorVisible(false);
    // Key presses are read from the events too: a held key must not repeat them.
    window.setKeyRepeatEnabled(false);
    // The screen stays black while the assets load.
    window.clear(sf::Color(0, 0, 0, 255));
    window.display();
    stepDone("window");

    createLayers();
    stepDone("layers");

    textureManager.load("assets/textures.json");
    stepDone("textures");
    spriteManager.load("assets/sprites.json");
    stepDone("sprites");
    soundManager.load("assets/sounds.json");
    stepDone("sounds");
    musicManager.load("assets/music.json");
    stepDone("music");
    particleManager.load("assets/particles.json");
    stepDone("particles");

    starParticles = particleManager.get("star_particles");
    flowerParticles = particleManager.get("flower_particles");
    fadeSprite = spriteManager.get("black");
    setUpLetterTexts();
    stepDone("letter texts");

    const bool shadersLoaded = loadShaders();
    stepDone("shaders");
    return shadersLoaded;
}
