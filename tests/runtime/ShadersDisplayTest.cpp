// The shader files under assets/shaders: each compiles with the shared vertex shader,
// accepts every uniform the program sends it (SFML reports a uniform that the compiled
// program lacks on its error stream, every frame), and draws a real picture.
#include "TestSupport.hpp"
#include "runtime/SharedResources.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Err.hpp>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace testsupport;

namespace
{
enum class UniformType
{
    Float,
    Int,
    Vec3,
    Texture,
    CurrentTexture
};

struct Uniform
{
    const char* name;
    UniformType type;
};

struct ShaderUniforms
{
    const char* file;
    std::vector<Uniform> uniforms;
};

std::ostream& operator<<(std::ostream& stream, const ShaderUniforms& shader)
{
    return stream << shader.file;
}

// What start-up and the scenes set on each fragment file, with the types they send.
const std::vector<ShaderUniforms> shaderUniforms = {
    {"laser.frag", {{"xOffset", UniformType::Float}, {"waveIntensity", UniformType::Float}}},
    {"peephole.frag",
     {{"currentTexture", UniformType::CurrentTexture},
      {"bgTexture", UniformType::Texture},
      {"xOffset", UniformType::Float},
      {"yOffset", UniformType::Float},
      {"tilesAcross", UniformType::Float}}},
    {"field.frag",
     {{"iTime", UniformType::Float},
      {"backgroundImage", UniformType::Texture},
      {"camPos_x", UniformType::Float},
      {"camPos_y", UniformType::Float},
      {"camPos_z", UniformType::Float}}},
    {"circles.frag", {{"iTime", UniformType::Float}}},
    {"julia.frag", {{"fractalColor", UniformType::Vec3}, {"fractalState", UniformType::Float}}},
    {"tvstatic.frag", {{"iTime", UniformType::Float}}},
    {"flowers.frag", {{"iTime", UniformType::Float}}},
    {"flowers-orig.frag", {{"iTime", UniformType::Float}}},
    {"rainbowtunnel.frag",
     {{"iTime", UniformType::Float}, {"zoomFactorEx", UniformType::Float}, {"effect", UniformType::Float}}},
    {"cute.frag", {{"iTime", UniformType::Float}}},
    {"moire.frag", {{"iTime", UniformType::Float}, {"color2", UniformType::Vec3}}},
    {"scattershot.frag",
     {{"image", UniformType::Texture},
      {"maxRotation", UniformType::Float},
      {"scatterStrength", UniformType::Float},
      {"iTime", UniformType::Float}}},
    {"perlin.frag",
     {{"iTime", UniformType::Float},
      {"r", UniformType::Float},
      {"b", UniformType::Float},
      {"originalRed", UniformType::Float},
      {"originalGreen", UniformType::Float},
      {"originalBlue", UniformType::Float}}},
    {"tri.frag", {{"iTime", UniformType::Float}, {"triSize", UniformType::Float}}},
    {"blob.frag", {{"iTime", UniformType::Float}, {"numStars", UniformType::Int}}},
};

const std::string shaderFolder = sourcePath("assets/shaders/");

/// Runs action with SFML's error stream redirected and returns what it wrote there.
std::string captureSfmlErrors(const std::function<void()>& action)
{
    std::stringstream captured;
    std::streambuf* previous = sf::err().rdbuf(captured.rdbuf());
    action();
    sf::err().rdbuf(previous);
    return captured.str();
}

bool loadShader(sf::Shader& shader, const std::string& fragmentFile)
{
    return shader.loadFromFile(shaderFolder + "passthrough.vert", shaderFolder + fragmentFile);
}

/// A small picture with something in every channel, for texture uniforms.
const sf::Texture& sampleTexture()
{
    static sf::Texture texture;
    if (texture.getSize().x == 0)
    {
        sf::Image image;
        image.create(64, 36);
        for (unsigned y = 0; y < 36; ++y)
            for (unsigned x = 0; x < 64; ++x)
                image.setPixel(x, y, sf::Color(x * 4, y * 7, 255 - x * 2, x < 8 ? 0 : 255));
        texture.loadFromImage(image);
    }
    return texture;
}

sf::Texture solidTexture(sf::Color colour, unsigned width = 4, unsigned height = 4)
{
    sf::Image image;
    image.create(width, height, colour);
    sf::Texture texture;
    texture.loadFromImage(image);
    return texture;
}

void setUniform(sf::Shader& shader, const Uniform& uniform, float value)
{
    switch (uniform.type)
    {
    case UniformType::Float:
        shader.setUniform(uniform.name, value);
        break;
    case UniformType::Int:
        shader.setUniform(uniform.name, static_cast<int>(value * 50));
        break;
    case UniformType::Vec3:
        shader.setUniform(uniform.name, sf::Glsl::Vec3(value, 0.f, value));
        break;
    case UniformType::Texture:
        shader.setUniform(uniform.name, sampleTexture());
        break;
    case UniformType::CurrentTexture:
        shader.setUniform(uniform.name, sf::Shader::CurrentTexture);
        break;
    }
}

constexpr unsigned frameWidth = 192;
constexpr unsigned frameHeight = 108;

/// Draws drawn (or, without one, a plain quad like the demo's "black" sprite) over the
/// whole small frame through shader, on a transparent frame, and reads the frame back.
sf::Image render(const sf::Shader& shader, sf::Color vertexColour, const sf::Texture* drawn = nullptr)
{
    static const sf::Texture quadTexture = solidTexture(sf::Color::Black);
    const sf::Texture& texture = drawn ? *drawn : quadTexture;
    sf::RenderTexture frame;
    frame.create(frameWidth, frameHeight);
    frame.clear(sf::Color::Transparent);
    sf::Sprite sprite(texture);
    sprite.setScale(float(frameWidth) / texture.getSize().x, float(frameHeight) / texture.getSize().y);
    sprite.setColor(vertexColour);
    frame.draw(sprite, &shader);
    frame.display();
    return frame.getTexture().copyToImage();
}

std::set<sf::Uint32> distinctColours(const sf::Image& image)
{
    std::set<sf::Uint32> colours;
    for (unsigned y = 0; y < image.getSize().y; ++y)
        for (unsigned x = 0; x < image.getSize().x; ++x)
            colours.insert(image.getPixel(x, y).toInteger());
    return colours;
}

bool sameImage(const sf::Image& a, const sf::Image& b)
{
    const sf::Uint8* first = a.getPixelsPtr();
    return std::equal(first, first + a.getSize().x * a.getSize().y * 4, b.getPixelsPtr());
}

/// A test name from a fragment file name: "flowers-orig.frag" becomes "flowersorig".
std::string nameOf(std::string file)
{
    file = file.substr(0, file.find('.'));
    file.erase(std::remove(file.begin(), file.end(), '-'), file.end());
    return file;
}

class ShaderFileTest : public testing::TestWithParam<ShaderUniforms>
{
};
} // namespace

TEST(ShaderTable, ListsEveryFragmentFileInTheShaderFolder)
{
    std::set<std::string> listed;
    for (const ShaderUniforms& shader : shaderUniforms)
        listed.insert(shader.file);

    std::set<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(shaderFolder))
        if (entry.path().extension() == ".frag")
            present.insert(entry.path().filename().string());

    EXPECT_EQ(present, listed);
    EXPECT_TRUE(std::filesystem::exists(shaderFolder + "passthrough.vert"));
}

TEST_P(ShaderFileTest, CompilesAndAcceptsEveryUniformTheProgramSends)
{
    ASSERT_TRUE(sf::Shader::isAvailable());
    sf::Shader shader;
    bool loaded = false;
    const std::string errors = captureSfmlErrors([&] { loaded = loadShader(shader, GetParam().file); });
    ASSERT_TRUE(loaded) << errors;
    EXPECT_EQ(errors, "");
    for (const Uniform& uniform : GetParam().uniforms)
        EXPECT_EQ(captureSfmlErrors([&] { setUniform(shader, uniform, 0.5f); }), "") << uniform.name;
}

TEST_P(ShaderFileTest, DrawsAPictureThatIsNeitherEmptyNorFlat)
{
    sf::Shader shader;
    ASSERT_TRUE(loadShader(shader, GetParam().file));
    for (const Uniform& uniform : GetParam().uniforms)
        setUniform(shader, uniform, 1.f);

    const sf::Texture picture = solidTexture(sf::Color(255, 120, 255), 48, 27);
    const sf::Image image = render(shader, sf::Color::White, &picture);
    EXPECT_GE(distinctColours(image).size(), 20u);
    unsigned visible = 0;
    for (unsigned y = 0; y < frameHeight; ++y)
        for (unsigned x = 0; x < frameWidth; ++x)
            visible += image.getPixel(x, y).a > 0 ? 1 : 0;
    EXPECT_GT(visible, frameWidth * frameHeight / 2);
}

INSTANTIATE_TEST_SUITE_P(AllShaders, ShaderFileTest, testing::ValuesIn(shaderUniforms),
                         [](const testing::TestParamInfo<ShaderUniforms>& info)
                         { return nameOf(info.param.file); });

TEST(ShaderErrorCapture, SeesTheMessageForAUniformTheShaderLacks)
{
    // Guards the checks above: if the redirection caught nothing they would pass vacuously.
    sf::Shader shader;
    ASSERT_TRUE(loadShader(shader, "circles.frag"));
    EXPECT_NE(captureSfmlErrors([&] { shader.setUniform("noSuchUniform", 1.f); }).find("noSuchUniform"),
              std::string::npos);
}

TEST(ShaderStartUp, LoadsAllShadersAndSetsTheirStartUniformsSilently)
{
    // Start-up sets its own uniforms (and the wsl extras) while loading; the textures are
    // missing here, which the texture registry reports on standard error, not SFML's stream.
    WorkingDirectory inSource(sourcePath(""));
    bool loaded = false;
    std::string sfmlErrors;
    captureStderr([&] { sfmlErrors = captureSfmlErrors([&] { loaded = loadShaders(); }); });
    EXPECT_TRUE(loaded);
    EXPECT_EQ(sfmlErrors, "");
}

// The full-screen passes are drawn through the shared "black" sprite, whose colour the
// scenes leave anywhere from (0, 0, 0, 0) to opaque white, so none may depend on it. Only
// the peephole, which fades with its sprite, and the static, drawn over a picture, are not.
class FullScreenShaderTest : public testing::TestWithParam<ShaderUniforms>
{
};

TEST_P(FullScreenShaderTest, IgnoresTheVertexColour)
{
    sf::Shader shader;
    ASSERT_TRUE(loadShader(shader, GetParam().file));
    for (const Uniform& uniform : GetParam().uniforms)
        setUniform(shader, uniform, 1.f);

    const sf::Image nearlyInvisible = render(shader, sf::Color(0, 0, 0, 0));
    const sf::Image white = render(shader, sf::Color::White);
    EXPECT_TRUE(sameImage(nearlyInvisible, white));
    EXPECT_GE(distinctColours(white).size(), 20u);
}

INSTANTIATE_TEST_SUITE_P(FullScreenPasses, FullScreenShaderTest,
                         testing::ValuesIn(
                             []
                             {
                                 std::vector<ShaderUniforms> passes;
                                 for (const ShaderUniforms& entry : shaderUniforms)
                                     if (entry.file != std::string("peephole.frag") &&
                                         entry.file != std::string("tvstatic.frag"))
                                         passes.push_back(entry);
                                 return passes;
                             }()),
                         [](const testing::TestParamInfo<ShaderUniforms>& info)
                         { return nameOf(info.param.file); });

TEST(PeepholeShader, ShowsTheBackgroundOnlyWhereThePictureIsOpaqueAndFades)
{
    sf::Shader shader;
    ASSERT_TRUE(loadShader(shader, "peephole.frag"));
    const sf::Texture background = solidTexture(sf::Color(0, 255, 255));
    shader.setUniform("currentTexture", sf::Shader::CurrentTexture);
    shader.setUniform("bgTexture", background);
    shader.setUniform("xOffset", 0.3f);
    shader.setUniform("yOffset", 0.7f);

    // a white picture whose right half is fully transparent
    sf::Image mask;
    mask.create(32, 18, sf::Color::White);
    for (unsigned y = 0; y < 18; ++y)
        for (unsigned x = 16; x < 32; ++x)
            mask.setPixel(x, y, sf::Color(255, 255, 255, 0));
    sf::Texture picture;
    picture.loadFromImage(mask);

    const sf::Image image = render(shader, sf::Color::White, &picture);
    const sf::Color opaque = image.getPixel(frameWidth / 4, frameHeight / 2);
    const sf::Color hole = image.getPixel(frameWidth * 3 / 4, frameHeight / 2);
    EXPECT_EQ(opaque.a, 255);
    // the white picture is recoloured by the cyan background, not shown as it is
    EXPECT_LT(opaque.r, opaque.g / 2);
    EXPECT_EQ(hole.a, 0);
    // and it fades with the sprite colour, over the opaque part too
    EXPECT_EQ(
        render(shader, sf::Color(255, 255, 255, 0), &picture).getPixel(frameWidth / 4, frameHeight / 2).a, 0);
}

TEST(ScatterShader, AssemblesThePictureAsITimeGoesFromZeroToOne)
{
    sf::Shader shader;
    ASSERT_TRUE(loadShader(shader, "scattershot.frag"));
    shader.setUniform("image", sampleTexture());
    shader.setUniform("maxRotation", 30.f);
    shader.setUniform("scatterStrength", 0.15f);

    shader.setUniform("iTime", 0.f);
    const sf::Image scattered = render(shader, sf::Color(0, 0, 0, 1));
    shader.setUniform("iTime", 0.5f);
    const sf::Image halfway = render(shader, sf::Color(0, 0, 0, 1));
    shader.setUniform("iTime", 1.f);
    const sf::Image whole = render(shader, sf::Color(0, 0, 0, 1));

    EXPECT_EQ(distinctColours(scattered), std::set<sf::Uint32>{sf::Color::Transparent.toInteger()});
    EXPECT_FALSE(sameImage(halfway, whole));
    EXPECT_FALSE(sameImage(halfway, scattered));

    // fully assembled, each pixel shows the picture where it belongs
    sf::RenderTexture reference;
    reference.create(frameWidth, frameHeight);
    reference.clear(sf::Color::Transparent);
    sf::Sprite plain(sampleTexture());
    plain.setScale(float(frameWidth) / 64, float(frameHeight) / 36);
    reference.draw(plain);
    reference.display();
    const sf::Image expected = reference.getTexture().copyToImage();
    for (unsigned y = 2; y < frameHeight; y += 9)
        for (unsigned x = 2; x < frameWidth; x += 9)
        {
            const sf::Color got = whole.getPixel(x, y);
            const sf::Color want = expected.getPixel(x, y);
            EXPECT_NEAR(got.g, want.g, 12) << x << "," << y;
            EXPECT_NEAR(got.a, want.a, 12) << x << "," << y;
        }
}

TEST(ScatterShader, ScattersWithItsDefaultSpreadWhenNoStrengthIsSet)
{
    // The greetings instances never receive "scatterStrength" or "maxRotation".
    sf::Shader shader;
    ASSERT_TRUE(loadShader(shader, "scattershot.frag"));
    shader.setUniform("image", sampleTexture());
    shader.setUniform("iTime", 0.6f);
    const sf::Image partly = render(shader, sf::Color::White);
    shader.setUniform("iTime", 1.f);
    const sf::Image whole = render(shader, sf::Color::White);
    EXPECT_FALSE(sameImage(partly, whole));
}

TEST(TimeDrivenShaders, ChangeTheirPictureWithITime)
{
    for (const ShaderUniforms& entry : shaderUniforms)
    {
        bool timed = false;
        for (const Uniform& uniform : entry.uniforms)
            timed = timed || uniform.name == std::string("iTime");
        if (!timed || entry.file == std::string("scattershot.frag"))
            continue;
        sf::Shader shader;
        ASSERT_TRUE(loadShader(shader, entry.file)) << entry.file;
        for (const Uniform& uniform : entry.uniforms)
            setUniform(shader, uniform, 0.5f);
        shader.setUniform("iTime", 1.f);
        const sf::Image early = render(shader, sf::Color::White);
        shader.setUniform("iTime", 9.f);
        const sf::Image later = render(shader, sf::Color::White);
        EXPECT_FALSE(sameImage(early, later)) << entry.file;
    }
}
