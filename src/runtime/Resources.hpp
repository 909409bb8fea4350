#pragma once

#include "assets/MusicManager.hpp"
#include "assets/ParticleManager.hpp"
#include "assets/SoundManager.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"
#include "fx/ElasticSprite.hpp"
#include "fx/ParticleSystem.hpp"
#include "runtime/LetterText.hpp"
#include "runtime/ShaderUniforms.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/// One global shader with the files it is loaded from, for a tool that reloads them while the
/// demo runs (the maker's player).
struct GlobalShaderFiles
{
    sf::Shader* shader;
    std::string vertexFile;             ///< "assets/shaders/passthrough.vert"; empty with vertexSource
    std::string fragmentFile;           ///< "assets/shaders/<the row's file>"
    const char* vertexSource = nullptr; ///< a vertex stage built into the program, or null
};

/// Everything the demo loads before its first frame and keeps to its end: the five registries,
/// the three layers, the 26 global shaders and the card's peephole, the letter texts with their font and the
/// elastic card's shaders. Each program's main builds one after reading its arguments, and startUp fills it.
/// Its OpenGL objects need a display: constructing it without one ends the process (SFML aborts), so main
/// checks for a display first. Not copyable; members live at fixed addresses, so scenes keep pointers into
/// it.
class Resources
{
    // First, so that SFML's error stream is set up before, and destroyed after, every member
    // whose destructor may report a failure.
    bool sfmlErrorsHeld;

public:
    Resources();
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;

    /// The registries, loaded in this order and destroyed in the reverse one: sprites go
    /// before the textures they point at, particle systems before their sprites.
    TextureManager textureManager;
    SpriteManager spriteManager{textureManager};
    SoundManager soundManager;
    MusicManager musicManager;
    ParticleManager particleManager{spriteManager};

    /// The three full-screen off-screen layers the scenes compose through, each with the
    /// sprite that shows it. They are cleared to transparent black at the start of every frame.
    sf::RenderTexture layer1;
    sf::RenderTexture layer2;
    sf::RenderTexture layer3;
    /// Whether each layer may hold a picture (see clearLayers); all three do at start-up.
    std::array<bool, 3> layersUsed{true, true, true};
    sf::Sprite layer1Sprite;
    sf::Sprite layer2Sprite;
    sf::Sprite layer3Sprite;

    /// The 26 global shaders, each with its vertex stage ("assets/shaders/passthrough.vert"
    /// unless it works per vertex).
    sf::Shader laserShader;
    sf::Shader textShader;
    sf::Shader rainbowShader;
    sf::Shader dotsShader;
    sf::Shader fieldShader;
    sf::Shader circlesShader;
    sf::Shader juliaShader;
    sf::Shader staticShader;
    sf::Shader flowersShader;
    sf::Shader flowersOrigShader;
    sf::Shader rainbowTunnelShader;
    sf::Shader cuteShader;
    sf::Shader moireShader;
    sf::Shader greets1Shader;
    sf::Shader greets2Shader;
    sf::Shader greets3Shader;
    sf::Shader greets4Shader;
    sf::Shader greets5Shader;
    sf::Shader greets6Shader;
    sf::Shader fingerShader;
    sf::Shader perlinShader;
    sf::Shader wsl1Shader;
    sf::Shader wsl2Shader;
    sf::Shader wsl3Shader;
    sf::Shader triShader;
    sf::Shader blobShader;

    /// The presentation card's two shader programs, compiled by the first card made with them.
    ElasticShaders elasticShaders;
    /// The peephole ("peephole.frag") on the elastic sprite's perspective vertex stage, so the
    /// card goes through it straight onto the picture. Loaded, and reloaded, after the 26.
    sf::Shader cardShader;

    /// The three letter scrollers, drawing into layer1; set up by setUpLetterTexts and
    /// switched on by their scenes.
    LetterText transformText{&layer1};
    LetterText shaderText{&layer1};
    LetterText startedEndedText{&layer1};

    /// The particle systems "star_particles" and "flower_particles" of the particle registry,
    /// fetched once at start-up; null when the registry does not hold them. They stay as
    /// loaded: the demo's state plays copies of them.
    ParticleSystem* starParticles = nullptr;
    ParticleSystem* flowerParticles = nullptr;

    /// The "black" sprite, drawn over every frame as the fade overlay; null when missing.
    sf::Sprite* fadeSprite = nullptr;

    /// Creates the three 1920 x 1080 layers and binds each one's texture to its sprite, and
    /// makes the plain sky and the see-through shader. A layer that cannot be created stays
    /// empty, and a shader that cannot be made stays unloaded; nothing is reported.
    void createLayers();

    /// The shader a layer without one of its own is composited through: the layer's colours
    /// times the sprite's, leaving out the see-through pixels (the same picture as a draw
    /// without a shader, cheaper where the layer is empty). Null when the shader could not be
    /// made or the drawing shortcuts are off.
    const sf::Shader* layerShader() const;

    /// Clears layer1, layer2 and layer3, in that order, to (0, 0, 0, 0). With the drawing
    /// shortcuts on, a layer not composited since it was last cleared is left alone: the scenes
    /// composite every layer they draw into in the same frame, so it is still clear.
    void clearLayers();

    /// Draws sprite into target as target.draw(sprite, states) would. With the drawing shortcuts
    /// on, an unshaded sprite whose picture is one flat colour with every channel full or empty
    /// (the "black" picture) goes as an untextured quad with the same corners and the colour the
    /// picture would have given it: the same pixels, without reading the texture at each one.
    void drawSprite(sf::RenderTarget& target, const sf::Sprite& sprite,
                    const sf::RenderStates& states = sf::RenderStates::Default) const;

    /// Notes that layer holds a picture that the next clearLayers must clear (compositeLayer
    /// calls it). Anything else is ignored.
    void markLayerUsed(const sf::RenderTexture& layer);

    /// Loads the 26 global shaders in their fixed order, then the card's, each followed by its start-up
    /// uniforms. A failed load writes that shader's message on standard error and leaves the
    /// shader unloaded (without the program it may have had); for the 14 shaders the demo
    /// cannot do without it returns false, at once when untilEssentialFailure (start-up must
    /// end), else after loading the rest.
    bool loadShaders(bool untilEssentialFailure = true);

    /// The 26 global shaders and the card's in load order, with their files.
    std::vector<GlobalShaderFiles> globalShaderFiles();

    /// Sets shader's start-up uniforms again (its time, peephole or image uniforms and, for the
    /// three field-scene images, their rotation and scatter), as loadShaders did after loading
    /// it. A shader that is not one of the 27 is left alone.
    void setStartUniforms(sf::Shader& shader);

    /// The short name of a global shader ("cute", "greets1", ...), as the bench's breakdown
    /// names the passes drawn through it; "other shader" for any other shader.
    const char* shaderName(const sf::Shader* shader) const;

    /// "layer1", "layer2" or "layer3" for one of the layers; "other layer" for anything else.
    const char* layerName(const sf::RenderTexture& layer) const;

    /// Loads the font of the three letter texts and gives each its size, colours, wave and
    /// message, then lays the alphabet out once to fill the glyph cache (primeGlyphs); with
    /// primeLater that is left to loadNext, which costs start-up nothing (the texts are first
    /// drawn a minute into the demo). A font that fails to load is reported and the texts draw
    /// nothing.
    void setUpLetterTexts(bool primeLater = false);

    /// Does one piece of what start-up left for while the demo plays: puts in the next decoded
    /// picture (TextureManager::uploadNext) or, once every picture is in, fills the next letter
    /// text's glyph cache (LetterText::primeGlyphs). Returns whether anything is still left.
    bool loadNext();

    /// Binds texture to the sampler name of shader (null: the texture of whatever is drawn,
    /// sf::Shader::CurrentTexture) and records it in textureBindings, so that a shader loaded
    /// again (the player's hot reload) can be given its textures back with rebindTextures.
    void bindTexture(sf::Shader& shader, const std::string& name, const sf::Texture* texture);

    /// Binds every texture textureBindings holds for shader again.
    void rebindTextures(sf::Shader& shader);

    /// Every texture bound to a global shader at start-up, by shader and sampler name (what the
    /// scenes bind as they play is in the demo's uniforms). A program loaded again has lost them.
    std::map<const sf::Shader*, std::map<std::string, const sf::Texture*>> textureBindings;

    /// The sprite registry's "black" sprite: the fade overlay, the flash veil and the quad that
    /// full-screen shader passes are drawn on. Looked up on the first call, so a missing one is
    /// reported there once; null when the registry lacks it.
    sf::Sprite* blackSprite();

    /// The picture a frame is composed in for a window that is not 1920 x 1080. Made on first
    /// need, so a window of the right size never pays for it.
    sf::RenderTexture& offScreenPicture();

    /// A 640 x 360 picture, smoothed, for a full-screen pass worked out at a third of the size;
    /// made on first need.
    sf::RenderTexture& smallPicture();

    /// Stands in for a missing sky picture of the field flight, so the field never samples an
    /// unbound texture: a dusk gradient from violet at the top to warm pink at the horizon.
    /// Made with the layers (createLayers).
    const sf::Texture& plainSky() const { return sky; }

    /// Sends the uniforms of uniforms that differ from what this last sent, just before a scene
    /// draws. A uniform sent before that uniforms lacks (a state from before a scene first set
    /// it, as after a seek back) goes back to zero, as a freshly loaded program has it; a
    /// texture stays bound.
    void applyUniforms(const ShaderUniforms& uniforms);

    /// Forgets what applyUniforms sent to shader (null: to every shader), after it was loaded
    /// again, so that the next drawn frame sends all of its uniforms.
    void forgetSentUniforms(const sf::Shader* shader = nullptr);

    /// Where the scenes have put the registry's sprites, the layer sprites and the letter
    /// texts: the part of a moment of the demo that lives in these objects rather than in the
    /// demo's state. A player keeps it beside each state it saves.
    struct Poses
    {
        /// A sprite's place, turn, size and colour; not its picture, which a reload may change.
        struct Sprite
        {
            sf::Vector2f position, origin, scale;
            float rotation = 0.f;
            sf::Color colour;
        };
        /// A letter text's place and wave.
        struct Text
        {
            float x = 0.f, y = 0.f, speed = 0.f, phase = 0.f;
            bool active = false;
        };
        std::vector<std::pair<sf::Sprite*, Sprite>> sprites; ///< the registry's and the layers'
        std::vector<Text> texts;                             ///< transformText, shaderText, startedEndedText
    };

    /// The poses as they are now.
    Poses poses();

    /// Puts poses (from poses()) back.
    void setPoses(const Poses& poses);

    /// Puts back everything a run of the demo changed in these objects, as start-up left it:
    /// the registry's sprites and the layer sprites to their loaded values, the letter texts
    /// to their start, and every sound and the music stopped. The shaders stay as they are
    /// loaded: what scenes give their uniforms is the demo's state (applyUniforms).
    void rewind();

private:
    std::optional<sf::Sprite*> black;                ///< blackSprite(), once looked up
    std::unique_ptr<sf::RenderTexture> offScreen;    ///< offScreenPicture(), once made
    std::unique_ptr<sf::RenderTexture> small;        ///< smallPicture(), once made
    sf::Texture sky;                                 ///< plainSky()
    sf::Shader seeThrough;                           ///< layerShader()
    std::vector<ShaderUniforms::Entry> sentUniforms; ///< what applyUniforms last sent
    std::vector<Poses::Text> startTexts;             ///< the letter texts as setUpLetterTexts left them
    std::vector<LetterText*> unprimed;               ///< the texts whose alphabet loadNext renders
};
