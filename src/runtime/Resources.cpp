#include "runtime/Resources.hpp"

#include "assets/Manifest.hpp"
#include "runtime/PassTiming.hpp"

#include <algorithm>
#include <iostream>

Resources::Resources() : sfmlErrorsHeld(holdSfmlErrorStream()) {}

void Resources::createLayers()
{
    for (auto [layer, sprite] : {std::pair{&layer1, &layer1Sprite}, std::pair{&layer2, &layer2Sprite},
                                 std::pair{&layer3, &layer3Sprite}})
    {
        layer->create(1920, 1080);
        sprite->setTexture(layer->getTexture());
    }
    sf::Image image;
    image.create(1, 64);
    for (unsigned y = 0; y < 64; ++y)
    {
        const float t = static_cast<float>(y) / 63.f;
        image.setPixel(0, y,
                       sf::Color(static_cast<sf::Uint8>(120 + 135 * t), static_cast<sf::Uint8>(70 + 60 * t),
                                 static_cast<sf::Uint8>(230 - 90 * t)));
    }
    sky.loadFromImage(image);
    sky.setSmooth(true);

    // The layer sprite's own colours, as a draw without a shader gives them; where they are
    // see-through the pixel is left out, so the renderer skips blending whole blocks of them.
    const QuietSfmlErrors quiet;
    if (seeThrough.loadFromMemory("uniform sampler2D texture;\n"
                                  "void main()\n"
                                  "{\n"
                                  "    vec4 colour = texture2D(texture, gl_TexCoord[0].xy) * gl_Color;\n"
                                  "    if (colour.a == 0.0)\n"
                                  "        discard;\n"
                                  "    gl_FragColor = colour;\n"
                                  "}\n",
                                  sf::Shader::Fragment))
        seeThrough.setUniform("texture", sf::Shader::CurrentTexture);
}

const sf::Shader* Resources::layerShader() const
{
    return drawingShortcuts && seeThrough.getNativeHandle() != 0 ? &seeThrough : nullptr;
}

void Resources::clearLayers()
{
    const TimedPass pass("clear layers");
    const std::array<sf::RenderTexture*, 3> layers{&layer1, &layer2, &layer3};
    for (std::size_t i = 0; i < layers.size(); ++i)
    {
        if (!layersUsed[i] && drawingShortcuts)
            continue;
        layers[i]->clear(sf::Color(0, 0, 0, 0));
        layersUsed[i] = false;
    }
}

void Resources::drawSprite(sf::RenderTarget& target, const sf::Sprite& sprite,
                           const sf::RenderStates& states) const
{
    const std::optional<sf::Color> flat = drawingShortcuts && !states.shader && sprite.getTexture()
                                              ? textureManager.flatColour(sprite.getTexture())
                                              : std::nullopt;
    const auto fullOrEmpty = [](sf::Uint8 channel) { return channel == 0 || channel == 255; };
    if (!flat || !fullOrEmpty(flat->r) || !fullOrEmpty(flat->g) || !fullOrEmpty(flat->b) ||
        !fullOrEmpty(flat->a))
    {
        target.draw(sprite, states);
        return;
    }
    // A full channel of the picture passes the sprite's colour on unchanged, an empty one gives 0,
    // exactly as the texture's modulation would.
    const sf::Color tint = sprite.getColor();
    const auto times = [](sf::Uint8 picture, sf::Uint8 colour)
    { return picture == 0 ? sf::Uint8(0) : colour; };
    const sf::Color colour(times(flat->r, tint.r), times(flat->g, tint.g), times(flat->b, tint.b),
                           times(flat->a, tint.a));
    const sf::FloatRect bounds = sprite.getLocalBounds();
    // The corners in sf::Sprite's order, so the two triangles split the quad as the sprite's do.
    const sf::Vertex quad[] = {{{0.f, 0.f}, colour},
                               {{0.f, bounds.height}, colour},
                               {{bounds.width, 0.f}, colour},
                               {{bounds.width, bounds.height}, colour}};
    sf::RenderStates untextured(states.blendMode, states.transform * sprite.getTransform(), nullptr, nullptr);
    target.draw(quad, 4, sf::TriangleStrip, untextured);
}

void Resources::markLayerUsed(const sf::RenderTexture& layer)
{
    const std::array<const sf::RenderTexture*, 3> layers{&layer1, &layer2, &layer3};
    for (std::size_t i = 0; i < layers.size(); ++i)
        if (layers[i] == &layer)
            layersUsed[i] = true;
}

namespace
{
void sendUniform(sf::Shader& shader, const std::string& name, float value)
{
    shader.setUniform(name, value);
}
void sendUniform(sf::Shader& shader, const std::string& name, int value)
{
    shader.setUniform(name, value);
}
void sendUniform(sf::Shader& shader, const std::string& name, const sf::Glsl::Vec3& value)
{
    shader.setUniform(name, value);
}
void sendUniform(sf::Shader& shader, const std::string& name, const sf::Texture* texture)
{
    if (texture)
        shader.setUniform(name, *texture);
}
template <class Value> void sendZero(sf::Shader& shader, const std::string& name, const Value&)
{
    if constexpr (!std::is_pointer_v<Value>)
        sendUniform(shader, name, Value());
}

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
    Backdrop, ///< "bgTexture" = the row's texture, "asFromLayer" = true; the card drawn sets
              ///< "currentTexture" itself
    Time,     ///< "iTime" = 0
    Image,    ///< "image" = the row's texture (a scatter picture drawn as its tiles)
    Page      ///< as Image, and "page" = 1: a greeting page, gathering late and close by
};

struct ShaderRow
{
    const char* name; ///< how the bench's breakdown names its passes
    sf::Shader Resources::*shader;
    const char* fragmentFile;
    StartUniforms uniforms;
    const char* texture; ///< texture key for Peephole, Backdrop and Image rows
    const char* failureMessage;
    OnFailure onFailure;
    /// The scatter pictures' tiles, the laser's columns and the blobs' frame constants are
    /// worked out per vertex; every other shader hands SFML's quad on unchanged.
    const char* vertexFile = "passthrough.vert";
    /// A vertex stage built into the program instead of a file (vertexFile is then empty).
    const char* vertexSource = nullptr;
};

// Loaded in this order; the order decides which message is seen first when several fail.
const ShaderRow shaderRows[] = {
    {"laser", &Resources::laserShader, "laser.frag", StartUniforms::None, nullptr,
     "Unable to load the laser shader :(", OnFailure::EndStartUp, "laser.vert"},
    {"text", &Resources::textShader, "peephole.frag", StartUniforms::Peephole, "bg-grad",
     "Unable to load the peephole shader :(", OnFailure::EndStartUp},
    {"rainbow", &Resources::rainbowShader, "peephole.frag", StartUniforms::Peephole, "rainbow_texture",
     "Unable to load the text shader :(", OnFailure::EndStartUp},
    {"dots", &Resources::dotsShader, "peephole.frag", StartUniforms::Peephole, "dots",
     "Unable to load the peephole shader :(", OnFailure::EndStartUp},
    {"field", &Resources::fieldShader, "field.frag", StartUniforms::Time, nullptr,
     "Unable to load the field shader :(", OnFailure::EndStartUp},
    {"circles", &Resources::circlesShader, "circles.frag", StartUniforms::Time, nullptr,
     "Unable to load the circles shader :(", OnFailure::EndStartUp},
    {"julia", &Resources::juliaShader, "julia.frag", StartUniforms::None, nullptr,
     "Unable to load the julia shader :(", OnFailure::EndStartUp},
    {"static", &Resources::staticShader, "tvstatic.frag", StartUniforms::Time, nullptr,
     "Unable to load the static shader :(", OnFailure::EndStartUp},
    {"flowers", &Resources::flowersShader, "flowers.frag", StartUniforms::Time, nullptr,
     "Unable to load the flowers shader :(", OnFailure::EndStartUp},
    {"flowersOrig", &Resources::flowersOrigShader, "flowers-orig.frag", StartUniforms::Time, nullptr,
     "Unable to load the flowers orig shader :(", OnFailure::EndStartUp},
    {"rainbowTunnel", &Resources::rainbowTunnelShader, "rainbowtunnel.frag", StartUniforms::Time, nullptr,
     "Unable to load the rainbow tunnel shader :(", OnFailure::EndStartUp},
    {"cute", &Resources::cuteShader, "cute.frag", StartUniforms::Time, nullptr,
     "Unable to load the cute shader :(", OnFailure::EndStartUp},
    {"moire", &Resources::moireShader, "moire.frag", StartUniforms::Time, nullptr,
     "Unable to load the moire shader :(", OnFailure::EndStartUp},
    {"greets1", &Resources::greets1Shader, "scattershot.frag", StartUniforms::Page, "greets1",
     "greet1shader failed", OnFailure::Continue, "scattershot.vert"},
    {"greets2", &Resources::greets2Shader, "scattershot.frag", StartUniforms::Page, "greets2",
     "greet2shader failed", OnFailure::Continue, "scattershot.vert"},
    {"greets3", &Resources::greets3Shader, "scattershot.frag", StartUniforms::Page, "greets3",
     "greet3shader failed", OnFailure::Continue, "scattershot.vert"},
    {"greets4", &Resources::greets4Shader, "scattershot.frag", StartUniforms::Page, "greets4",
     "greet4shader failed", OnFailure::Continue, "scattershot.vert"},
    {"greets5", &Resources::greets5Shader, "scattershot.frag", StartUniforms::Page, "greets5",
     "greet5shader failed", OnFailure::Continue, "scattershot.vert"},
    {"greets6", &Resources::greets6Shader, "scattershot.frag", StartUniforms::Page, "greets6",
     "greet6shader failed", OnFailure::Continue, "scattershot.vert"},
    {"finger", &Resources::fingerShader, "scattershot.frag", StartUniforms::Image, "finger",
     "finger shader failed", OnFailure::Continue, "scattershot.vert"},
    {"perlin", &Resources::perlinShader, "perlin.frag", StartUniforms::Time, nullptr,
     "Unable to load the perlin shader :(", OnFailure::EndStartUp},
    {"wsl1", &Resources::wsl1Shader, "scattershot.frag", StartUniforms::Image, "wsl1", "wsl1 shader failed",
     OnFailure::Continue, "scattershot.vert"},
    {"wsl2", &Resources::wsl2Shader, "scattershot.frag", StartUniforms::Image, "wsl2", "wsl2 failed",
     OnFailure::Continue, "scattershot.vert"},
    {"wsl3", &Resources::wsl3Shader, "scattershot.frag", StartUniforms::Image, "wsl3", "wsl3 failed",
     OnFailure::Continue, "scattershot.vert"},
    {"tri", &Resources::triShader, "tri.frag", StartUniforms::Time, nullptr, "tri shader failed",
     OnFailure::Continue},
    {"blob", &Resources::blobShader, "blob.frag", StartUniforms::Time, nullptr, "blob shader failed",
     OnFailure::Continue, "blob.vert"},
    // The presentation card goes through the peephole on its way to the picture; without this
    // program it is drawn as it is.
    {"card", &Resources::cardShader, "peephole.frag", StartUniforms::Backdrop, "bg-grad",
     "Unable to load the card's peephole shader :(", OnFailure::Continue, "",
     ElasticSprite::perspectiveVertexSource},
};

void setRowUniforms(Resources& resources, const ShaderRow& row)
{
    sf::Shader& shader = resources.*row.shader;
    switch (row.uniforms)
    {
    case StartUniforms::None:
        break;
    case StartUniforms::Time:
        shader.setUniform("iTime", 0.f);
        break;
    case StartUniforms::Peephole:
    case StartUniforms::Backdrop:
        // The card sets its picture as "currentTexture" itself; the drawn texture would override it.
        if (row.uniforms == StartUniforms::Peephole)
            resources.bindTexture(shader, "currentTexture", nullptr);
        else
            shader.setUniform("asFromLayer", true);
        if (const sf::Texture* texture = resources.textureManager.get(row.texture))
            resources.bindTexture(shader, "bgTexture", texture);
        break;
    case StartUniforms::Image:
    case StartUniforms::Page:
        if (const sf::Texture* texture = resources.textureManager.get(row.texture))
            resources.bindTexture(shader, "image", texture);
        shader.setUniform("page", row.uniforms == StartUniforms::Page ? 1.f : 0.f);
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

const char* Resources::shaderName(const sf::Shader* shader) const
{
    for (const ShaderRow& row : shaderRows)
        if (&(this->*row.shader) == shader)
            return row.name;
    return "other shader";
}

const char* Resources::layerName(const sf::RenderTexture& layer) const
{
    if (&layer == &layer1)
        return "layer1";
    if (&layer == &layer2)
        return "layer2";
    if (&layer == &layer3)
        return "layer3";
    return "other layer";
}

bool Resources::loadShaders(bool untilEssentialFailure)
{
    forgetSentUniforms();
    const std::string& folder = shaderFolder;
    bool complete = true;
    for (const ShaderRow& row : shaderRows)
    {
        const std::string vertexFile = row.vertexSource ? "" : folder + row.vertexFile;
        const std::string fragmentFile = folder + row.fragmentFile;
        sf::Shader& shader = this->*row.shader;
        // The library takes a folder's size for a file length and fails to allocate it.
        bool loaded = isRegularFile(fragmentFile);
        if (loaded && row.vertexSource)
        {
            const std::string fragment = readFile(fragmentFile, loaded);
            loaded = loaded && shader.loadFromMemory(row.vertexSource, fragment);
        }
        else if (loaded)
        {
            loaded = isRegularFile(vertexFile) && shader.loadFromFile(vertexFile, fragmentFile);
        }
        if (!loaded)
        {
            std::cerr << row.failureMessage << std::endl;
            if (row.onFailure == OnFailure::EndStartUp)
            {
                complete = false;
                if (untilEssentialFailure)
                    return false;
            }
            // A file that could not be read leaves a loaded shader's old program in place; a
            // program that cannot compile goes, so the shader is unloaded as at start-up.
            const QuietSfmlErrors quiet;
            shader.loadFromMemory("", sf::Shader::Fragment);
        }
        setRowUniforms(*this, row);

        if (row.shader == &Resources::wsl3Shader)
        {
            // The three field-scene images start unrotated with a gentle scatter.
            for (sf::Shader* shader : {&wsl1Shader, &wsl2Shader, &wsl3Shader})
                setFieldImageUniforms(*shader);
        }
    }
    return complete;
}

std::vector<GlobalShaderFiles> Resources::globalShaderFiles()
{
    std::vector<GlobalShaderFiles> files;
    for (const ShaderRow& row : shaderRows)
        files.push_back({&(this->*row.shader), row.vertexSource ? "" : shaderFolder + row.vertexFile,
                         shaderFolder + row.fragmentFile, row.vertexSource});
    return files;
}

void Resources::setStartUniforms(sf::Shader& shader)
{
    for (const ShaderRow& row : shaderRows)
        if (&(this->*row.shader) == &shader)
            setRowUniforms(*this, row);
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

void Resources::setUpLetterTexts(bool primeLater)
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
        setup.text->shadow = true;
        unprimed.push_back(setup.text);
    }
    if (primeLater)
        return;
    for (LetterText* text : unprimed)
        text->primeGlyphs();
    unprimed.clear();

    startTexts = poses().texts;
}

bool Resources::loadNext()
{
    if (textureManager.uploadNext())
        return true;
    if (!unprimed.empty())
    {
        // A text drawn already has it.
        if (!unprimed.front()->primed)
            unprimed.front()->primeGlyphs();
        unprimed.erase(unprimed.begin());
    }
    return !unprimed.empty();
}

void Resources::bindTexture(sf::Shader& shader, const std::string& name, const sf::Texture* texture)
{
    textureBindings[&shader][name] = texture;
    if (texture)
        shader.setUniform(name, *texture);
    else
        shader.setUniform(name, sf::Shader::CurrentTexture);
}

void Resources::rebindTextures(sf::Shader& shader)
{
    for (const auto& [name, texture] : textureBindings[&shader])
        bindTexture(shader, name, texture);
}

sf::Sprite* Resources::blackSprite()
{
    if (!black)
        black = spriteManager.get("black");
    return *black;
}

namespace
{
sf::RenderTexture& madeOnce(std::unique_ptr<sf::RenderTexture>& picture, unsigned width, unsigned height)
{
    if (!picture)
    {
        picture = std::make_unique<sf::RenderTexture>();
        if (picture->create(width, height))
            picture->setSmooth(true);
    }
    return *picture;
}
} // namespace

sf::RenderTexture& Resources::offScreenPicture()
{
    return madeOnce(offScreen, 1920, 1080);
}

sf::RenderTexture& Resources::smallPicture()
{
    return madeOnce(small, 640, 360);
}

void Resources::applyUniforms(const ShaderUniforms& uniforms)
{
    for (const ShaderUniforms::Entry& entry : uniforms.entries())
    {
        auto sent = std::find_if(sentUniforms.begin(), sentUniforms.end(),
                                 [&](const ShaderUniforms::Entry& old)
                                 { return old.shader == entry.shader && old.name == entry.name; });
        if (sent != sentUniforms.end() && sent->value == entry.value)
            continue;
        std::visit([&](const auto& value) { sendUniform(*entry.shader, entry.name, value); }, entry.value);
        if (sent == sentUniforms.end())
            sentUniforms.push_back(entry);
        else
            sent->value = entry.value;
    }
    // Uniforms the state has not reached yet go back to their start.
    for (auto sent = sentUniforms.begin(); sent != sentUniforms.end();)
    {
        if (uniforms.find(*sent->shader, sent->name))
        {
            ++sent;
            continue;
        }
        std::visit([&](const auto& value) { sendZero(*sent->shader, sent->name, value); }, sent->value);
        sent = sentUniforms.erase(sent);
    }
}

void Resources::forgetSentUniforms(const sf::Shader* shader)
{
    sentUniforms.erase(std::remove_if(sentUniforms.begin(), sentUniforms.end(),
                                      [&](const ShaderUniforms::Entry& sent)
                                      { return !shader || sent.shader == shader; }),
                       sentUniforms.end());
}

Resources::Poses Resources::poses()
{
    Poses poses;
    std::vector<sf::Sprite*> sprites = spriteManager.all();
    sprites.insert(sprites.end(), {&layer1Sprite, &layer2Sprite, &layer3Sprite});
    for (sf::Sprite* sprite : sprites)
        poses.sprites.push_back({sprite,
                                 {sprite->getPosition(), sprite->getOrigin(), sprite->getScale(),
                                  sprite->getRotation(), sprite->getColor()}});
    for (const LetterText* text : {&transformText, &shaderText, &startedEndedText})
        poses.texts.push_back({text->x, text->y, text->speed, text->phase, text->active});
    return poses;
}

void Resources::setPoses(const Poses& poses)
{
    for (const auto& [sprite, pose] : poses.sprites)
    {
        sprite->setPosition(pose.position);
        sprite->setOrigin(pose.origin);
        sprite->setScale(pose.scale);
        sprite->setRotation(pose.rotation);
        sprite->setColor(pose.colour);
    }
    LetterText* texts[] = {&transformText, &shaderText, &startedEndedText};
    for (std::size_t i = 0; i < poses.texts.size() && i < 3; ++i)
    {
        texts[i]->x = poses.texts[i].x;
        texts[i]->y = poses.texts[i].y;
        texts[i]->speed = poses.texts[i].speed;
        texts[i]->phase = poses.texts[i].phase;
        texts[i]->active = poses.texts[i].active;
    }
}

void Resources::rewind()
{
    soundManager.stopAll();
    musicManager.player().stop();
    spriteManager.restoreLoaded();
    // As createLayers left them: bound to their layers, with no other change.
    for (sf::Sprite* sprite : {&layer1Sprite, &layer2Sprite, &layer3Sprite})
    {
        const sf::Texture* texture = sprite->getTexture();
        *sprite = sf::Sprite();
        if (texture)
            sprite->setTexture(*texture);
    }
    // The shaders stay loaded: the values scenes give their uniforms are the demo's state, and
    // applyUniforms puts those of a new state back to their start.
    LetterText* texts[] = {&transformText, &shaderText, &startedEndedText};
    for (std::size_t i = 0; i < startTexts.size() && i < 3; ++i)
    {
        texts[i]->x = startTexts[i].x;
        texts[i]->y = startTexts[i].y;
        texts[i]->speed = startTexts[i].speed;
        texts[i]->phase = startTexts[i].phase;
        texts[i]->active = startTexts[i].active;
        texts[i]->drawnLetters.clear();
    }
}
