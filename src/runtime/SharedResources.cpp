#include "runtime/SharedResources.hpp"

#include "assets/Manifest.hpp"
#include "assets/Registries.hpp"
#include "runtime/PassTiming.hpp"

#include <iostream>

// Built before the shaders and layers below, so destroyed after them (their destructors
// report OpenGL failures there).
static const bool sfmlErrorsOutliveDrawing = holdSfmlErrorStream();

sf::RenderTexture layer1;
sf::RenderTexture layer2;
sf::RenderTexture layer3;
sf::Sprite layer1Sprite;
sf::Sprite layer2Sprite;
sf::Sprite layer3Sprite;

LetterText transformText;
LetterText shaderText;
LetterText startedEndedText;
ParticleSystem* starParticles = nullptr;
ParticleSystem* flowerParticles = nullptr;

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

void createLayers()
{
    for (auto [layer, sprite] : {std::pair{&layer1, &layer1Sprite}, std::pair{&layer2, &layer2Sprite},
                                 std::pair{&layer3, &layer3Sprite}})
    {
        layer->create(1920, 1080);
        sprite->setTexture(layer->getTexture());
    }
}

void clearLayers()
{
    const TimedPass pass("clear layers");
    layer1.clear(sf::Color(0, 0, 0, 0));
    layer2.clear(sf::Color(0, 0, 0, 0));
    layer3.clear(sf::Color(0, 0, 0, 0));
}

namespace
{
enum class OnFailure
{
    EndStartUp,
    Continue
};

/// The uniforms a shader gets right after loading.
enum class StartUniforms
{
    None,
    Peephole, ///< "currentTexture" = the drawn texture, "bgTexture" = the row's texture
    Time,     ///< "iTime" = 0
    Image     ///< "image" = the row's texture
};

struct ShaderRow
{
    const char* name; ///< how the bench's breakdown names its passes
    sf::Shader* shader;
    const char* fragmentFile;
    StartUniforms uniforms;
    const char* texture; ///< texture key for Peephole and Image rows
    const char* failureMessage;
    OnFailure onFailure;
};

// Loaded in this order; the order decides which message is seen first when several fail.
const ShaderRow shaderRows[] = {
    {"laser", &laserShader, "laser.frag", StartUniforms::None, nullptr, "Unable to load the laser shader :(",
     OnFailure::EndStartUp},
    {"text", &textShader, "peephole.frag", StartUniforms::Peephole, "bg-grad",
     "Unable to load the peephole shader :(", OnFailure::EndStartUp},
    {"rainbow", &rainbowShader, "peephole.frag", StartUniforms::Peephole, "rainbow_texture",
     "Unable to load the text shader :(", OnFailure::EndStartUp},
    {"dots", &dotsShader, "peephole.frag", StartUniforms::Peephole, "dots",
     "Unable to load the peephole shader :(", OnFailure::EndStartUp},
    {"field", &fieldShader, "field.frag", StartUniforms::Time, nullptr, "Unable to load the field shader :(",
     OnFailure::EndStartUp},
    {"circles", &circlesShader, "circles.frag", StartUniforms::Time, nullptr,
     "Unable to load the circles shader :(", OnFailure::EndStartUp},
    {"julia", &juliaShader, "julia.frag", StartUniforms::None, nullptr, "Unable to load the julia shader :(",
     OnFailure::EndStartUp},
    {"static", &staticShader, "tvstatic.frag", StartUniforms::Time, nullptr,
     "Unable to load the static shader :(", OnFailure::EndStartUp},
    {"flowers", &flowersShader, "flowers.frag", StartUniforms::Time, nullptr,
     "Unable to load the flowers shader :(", OnFailure::EndStartUp},
    {"flowersOrig", &flowersOrigShader, "flowers-orig.frag", StartUniforms::Time, nullptr,
     "Unable to load the flowers orig shader :(", OnFailure::EndStartUp},
    {"rainbowTunnel", &rainbowTunnelShader, "rainbowtunnel.frag", StartUniforms::Time, nullptr,
     "Unable to load the rainbow tunnel shader :(", OnFailure::EndStartUp},
    {"cute", &cuteShader, "cute.frag", StartUniforms::Time, nullptr, "Unable to load the cute shader :(",
     OnFailure::EndStartUp},
    {"moire", &moireShader, "moire.frag", StartUniforms::Time, nullptr, "Unable to load the moire shader :(",
     OnFailure::EndStartUp},
    {"greets1", &greets1Shader, "scattershot.frag", StartUniforms::Image, "greets1", "greet1shader failed",
     OnFailure::Continue},
    {"greets2", &greets2Shader, "scattershot.frag", StartUniforms::Image, "greets2", "greet2shader failed",
     OnFailure::Continue},
    {"greets3", &greets3Shader, "scattershot.frag", StartUniforms::Image, "greets3", "greet3shader failed",
     OnFailure::Continue},
    {"greets4", &greets4Shader, "scattershot.frag", StartUniforms::Image, "greets4", "greet4shader failed",
     OnFailure::Continue},
    {"greets5", &greets5Shader, "scattershot.frag", StartUniforms::Image, "greets5", "greet5shader failed",
     OnFailure::Continue},
    {"greets6", &greets6Shader, "scattershot.frag", StartUniforms::Image, "greets6", "greet6shader failed",
     OnFailure::Continue},
    {"finger", &fingerShader, "scattershot.frag", StartUniforms::Image, "finger", "finger shader failed",
     OnFailure::Continue},
    {"perlin", &perlinShader, "perlin.frag", StartUniforms::Time, nullptr,
     "Unable to load the perlin shader :(", OnFailure::EndStartUp},
    {"wsl1", &wsl1Shader, "scattershot.frag", StartUniforms::Image, "wsl1", "wsl1 shader failed",
     OnFailure::Continue},
    {"wsl2", &wsl2Shader, "scattershot.frag", StartUniforms::Image, "wsl2", "wsl2 failed",
     OnFailure::Continue},
    {"wsl3", &wsl3Shader, "scattershot.frag", StartUniforms::Image, "wsl3", "wsl3 failed",
     OnFailure::Continue},
    {"tri", &triShader, "tri.frag", StartUniforms::Time, nullptr, "tri shader failed", OnFailure::Continue},
    {"blob", &blobShader, "blob.frag", StartUniforms::Time, nullptr, "blob shader failed",
     OnFailure::Continue},
};

void setRowUniforms(const ShaderRow& row)
{
    switch (row.uniforms)
    {
    case StartUniforms::None:
        break;
    case StartUniforms::Time:
        row.shader->setUniform("iTime", 0.f);
        break;
    case StartUniforms::Peephole:
        row.shader->setUniform("currentTexture", sf::Shader::CurrentTexture);
        if (const sf::Texture* texture = textureManager.get(row.texture))
            row.shader->setUniform("bgTexture", *texture);
        break;
    case StartUniforms::Image:
        if (const sf::Texture* texture = textureManager.get(row.texture))
            row.shader->setUniform("image", *texture);
        break;
    }
}

void setFieldImageUniforms(sf::Shader& shader)
{
    shader.setUniform("maxRotation", 0.f);
    shader.setUniform("scatterStrength", 0.15f);
}

const std::string shaderFolder = "assets/shaders/";
} // namespace

const char* shaderName(const sf::Shader* shader)
{
    for (const ShaderRow& row : shaderRows)
        if (row.shader == shader)
            return row.name;
    return "other shader";
}

const char* layerName(const sf::RenderTexture& layer)
{
    if (&layer == &layer1)
        return "layer1";
    if (&layer == &layer2)
        return "layer2";
    if (&layer == &layer3)
        return "layer3";
    return "other layer";
}

bool loadShaders()
{
    const std::string& folder = shaderFolder;
    for (const ShaderRow& row : shaderRows)
    {
        const std::string vertexFile = folder + "passthrough.vert";
        const std::string fragmentFile = folder + row.fragmentFile;
        // The library takes a folder's size for a file length and fails to allocate it.
        const bool loaded = isRegularFile(vertexFile) && isRegularFile(fragmentFile) &&
                            row.shader->loadFromFile(vertexFile, fragmentFile);
        if (!loaded)
        {
            std::cerr << row.failureMessage << std::endl;
            if (row.onFailure == OnFailure::EndStartUp)
                return false;
        }
        setRowUniforms(row);

        if (row.shader == &wsl3Shader)
        {
            // The three field-scene images start unrotated with a gentle scatter.
            for (sf::Shader* shader : {&wsl1Shader, &wsl2Shader, &wsl3Shader})
                setFieldImageUniforms(*shader);
        }
    }
    return true;
}

std::vector<GlobalShaderFiles> globalShaderFiles()
{
    std::vector<GlobalShaderFiles> files;
    for (const ShaderRow& row : shaderRows)
        files.push_back({row.shader, shaderFolder + "passthrough.vert", shaderFolder + row.fragmentFile});
    return files;
}

void setStartUniforms(sf::Shader& shader)
{
    for (const ShaderRow& row : shaderRows)
        if (row.shader == &shader)
            setRowUniforms(row);
    if (&shader == &wsl1Shader || &shader == &wsl2Shader || &shader == &wsl3Shader)
        setFieldImageUniforms(shader);
}

namespace
{
struct LetterTextSetup
{
    LetterText* text;
    unsigned int characterSize;
    float amplitude;
    float speed;
    std::string content;
};

std::string repeated(const std::string& unit, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += unit;
    return result;
}
} // namespace

void setUpLetterTexts()
{
    const std::string gap(10, ' ');
    const LetterTextSetup setups[] = {
        {&transformText, 100, 200.5f, -640.f, repeated("translate();     scale();     rotate();     ", 4)},
        {&shaderText, 140, 300.5f, -680.f,
         "2024" + gap + "1 quad" + gap + "shaders" + gap + "2024" + gap + "1 quad" + gap +
             "and many shaders" + gap + "2024" + gap + "1 quad" + gap + "and money shaders" + gap + "2024" +
             gap + "1 quad" + gap + "and shaders & shaders & shaders & knuckles"},
        {&startedEndedText, 100, 200.5f, -640.f, "how it started   vs   how it ended"},
    };
    for (const LetterTextSetup& setup : setups)
    {
        setup.text->load("assets/sticky_sugary.ttf", setup.characterSize, sf::Color(255, 0, 255, 255),
                         sf::Color(0, 0, 0, 255), 1920.f, 500.f, 10.f);
        setup.text->amplitude = setup.amplitude;
        setup.text->speed = setup.speed;
        setup.text->setContent(setup.content);
        setup.text->primeGlyphs();
        setup.text->shadow = true;
    }
}
