#pragma once

#include "fx/ParticleSystem.hpp"
#include "runtime/LetterText.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <string>
#include <vector>

/// The three full-screen off-screen layers the scenes compose through, each with the
/// sprite that shows it. They are cleared to transparent black at the start of every frame.
extern sf::RenderTexture layer1;
extern sf::RenderTexture layer2;
extern sf::RenderTexture layer3;
extern sf::Sprite layer1Sprite;
extern sf::Sprite layer2Sprite;
extern sf::Sprite layer3Sprite;

/// The 26 global shaders, all drawn with "assets/shaders/passthrough.vert".
extern sf::Shader laserShader;
extern sf::Shader textShader;
extern sf::Shader rainbowShader;
extern sf::Shader dotsShader;
extern sf::Shader fieldShader;
extern sf::Shader circlesShader;
extern sf::Shader juliaShader;
extern sf::Shader staticShader;
extern sf::Shader flowersShader;
extern sf::Shader flowersOrigShader;
extern sf::Shader rainbowTunnelShader;
extern sf::Shader cuteShader;
extern sf::Shader moireShader;
extern sf::Shader greets1Shader;
extern sf::Shader greets2Shader;
extern sf::Shader greets3Shader;
extern sf::Shader greets4Shader;
extern sf::Shader greets5Shader;
extern sf::Shader greets6Shader;
extern sf::Shader fingerShader;
extern sf::Shader perlinShader;
extern sf::Shader wsl1Shader;
extern sf::Shader wsl2Shader;
extern sf::Shader wsl3Shader;
extern sf::Shader triShader;
extern sf::Shader blobShader;

/// The three letter scrollers, set up by setUpLetterTexts and switched on by their scenes.
extern LetterText transformText;
extern LetterText shaderText;
extern LetterText startedEndedText;

/// The particle systems "star_particles" and "flower_particles" of the particle registry,
/// fetched once at start-up; null when the registry does not hold them.
extern ParticleSystem* starParticles;
extern ParticleSystem* flowerParticles;

/// Creates the three 1920 x 1080 layers and binds each one's texture to its sprite.
/// A layer that cannot be created stays empty; nothing is reported.
void createLayers();

/// Clears layer1, layer2 and layer3, in that order, to (0, 0, 0, 0).
void clearLayers();

/// Loads the 26 global shaders in their fixed order, each followed by its start-up
/// uniforms. A failed load writes that shader's message on standard error; for the 14
/// shaders the demo cannot do without it returns false at once (start-up must end),
/// for the others it goes on and the shader stays unloaded.
bool loadShaders();

/// One global shader with the files it is loaded from, for a tool that reloads them while the
/// demo runs (the maker's player).
struct GlobalShaderFiles
{
    sf::Shader* shader;
    std::string vertexFile;   ///< "assets/shaders/passthrough.vert"
    std::string fragmentFile; ///< "assets/shaders/<the row's file>"
};

/// The 26 global shaders in load order, with their files.
std::vector<GlobalShaderFiles> globalShaderFiles();

/// Sets shader's start-up uniforms again (its time, peephole or image uniforms and, for the three
/// field-scene images, their rotation and scatter), as loadShaders did after loading it. A
/// shader that is not one of the 26 is left alone.
void setStartUniforms(sf::Shader& shader);

/// The short name of a global shader ("cute", "greets1", ...), as the bench's breakdown
/// names the passes drawn through it; "other shader" for any other shader.
const char* shaderName(const sf::Shader* shader);

/// "layer1", "layer2" or "layer3" for one of the layers; "other layer" for anything else.
const char* layerName(const sf::RenderTexture& layer);

/// Loads the font of the three letter texts and gives each its size, colours, wave and
/// message, then renders the alphabet once into layer1 to fill the glyph cache. Needs
/// the layers. A font that fails to load is reported and the texts draw nothing.
void setUpLetterTexts();
