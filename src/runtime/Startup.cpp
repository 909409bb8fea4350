#include "runtime/Startup.hpp"

#include "runtime/Config.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Resources.hpp"

#include <SFML/System/Clock.hpp>
#include <locale>

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

bool startUp(Resources& resources, sf::RenderWindow& window, StartupTimes* times,
             const std::vector<std::string>& firstPictures)
{
    sf::Clock clock;
    // Closes the step that ran since the last call under name.
    auto stepDone = [&](const char* name)
    {
        if (times)
            times->emplace_back(name, clock.restart().asSeconds());
    };

    const Config config = loadConfig();
    const bool fullscreen = config.fullscreen;
    resources.soundManager.muted = !config.sound;
    stepDone("configuration");

    // The pictures decode on worker threads while the window opens and the layers are made,
    // the first ones ahead.
    resources.textureManager.startDecoding("assets/textures.json", firstPictures);
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
    window.setVerticalSyncEnabled(config.vsync);
    window.setActive(true);
    window.setMouseCursorVisible(false);
    // Key presses are read from the events too: a held key must not repeat them.
    window.setKeyRepeatEnabled(false);
    // The screen stays black while the assets load.
    window.clear(sf::Color(0, 0, 0, 255));
    window.display();
    stepDone("window");

    resources.createLayers();
    stepDone("layers");

    resources.textureManager.load("assets/textures.json", firstPictures);
    stepDone("textures");
    resources.spriteManager.load("assets/sprites.json");
    stepDone("sprites");
    resources.soundManager.load("assets/sounds.json");
    stepDone("sounds");
    resources.musicManager.load("assets/music.json");
    stepDone("music");
    resources.particleManager.load("assets/particles.json");
    stepDone("particles");

    resources.starParticles = resources.particleManager.get("star_particles");
    resources.flowerParticles = resources.particleManager.get("flower_particles");
    resources.fadeSprite = resources.spriteManager.get("black");
    // With pictures left for later, the glyph cache is filled later too.
    resources.setUpLetterTexts(!firstPictures.empty());
    stepDone("letter texts");

    const bool shadersLoaded = resources.loadShaders();
    // The presentation card's programs too, so that no step of the demo compiles a shader.
    if (shadersLoaded && sf::Shader::isAvailable())
        resources.elasticShaders.load();
    stepDone("shaders");
    return shadersLoaded;
}
