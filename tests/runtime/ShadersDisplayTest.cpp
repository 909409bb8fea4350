// The shader files under assets/shaders: each compiles with its vertex shader and
// has every uniform the program sets on it (SFML reports a uniform that the compiled program
// lacks on its error stream, every frame it is set).
#include "TestSupport.hpp"
#include "fx/ElasticSprite.hpp"
#include "runtime/Resources.hpp"

#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/System/Err.hpp>
#include <SFML/Window/Context.hpp>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

using namespace testsupport;

namespace
{
// What start-up and the scenes set on each fragment file, as type:name with the types they send
// (a uniform of another type is an OpenGL error, which SFML reports too): f float, i int,
// v vec3, t a texture, c the drawn texture.
const std::pair<std::string, const char*> shaderUniforms[] = {
    {"laser.frag", "f:xOffset f:waveIntensity"},
    {"peephole.frag", "c:currentTexture t:bgTexture f:xOffset f:yOffset f:tilesAcross i:asFromLayer"},
    {"field.frag", "f:iTime t:backgroundImage f:camPos_x f:camPos_y f:camPos_z"},
    {"circles.frag", "f:iTime"},
    {"julia.frag", "v:fractalColor f:fractalState"},
    {"tvstatic.frag", "f:iTime"},
    {"flowers.frag", "f:iTime"},
    {"flowers-orig.frag", "f:iTime"},
    {"rainbowtunnel.frag", "f:iTime f:zoomFactorEx f:effect"},
    {"cute.frag", "f:iTime"},
    {"moire.frag", "f:iTime v:color2"},
    {"scattershot.frag", "t:image f:maxRotation f:scatterStrength f:iTime f:page f:flock"},
    {"perlin.frag", "f:iTime f:r f:b f:originalRed f:originalGreen f:originalBlue"},
    {"tri.frag", "f:iTime f:triSize"},
    {"blob.frag", "f:iTime i:numStars"},
};

const std::string shaderFolder = sourcePath("assets/shaders/");
/// The scatter pictures' tiles, the laser's columns and the blobs have vertex shaders of their
/// own; every other shader shares the one that hands SFML's quad on unchanged.
std::string vertexFileOf(const std::string& fragmentFile)
{
    for (const char* own : {"scattershot", "laser", "blob"})
        if (fragmentFile == std::string(own) + ".frag")
            return std::string(own) + ".vert";
    return "passthrough.vert";
}

/// Runs action with SFML's error stream redirected and returns what it wrote there.
std::string captureSfmlErrors(const std::function<void()>& action)
{
    std::stringstream captured;
    std::streambuf* previous = sf::err().rdbuf(captured.rdbuf());
    action();
    sf::err().rdbuf(previous);
    return captured.str();
}

/// Sets each uniform of a row; returns what SFML complained of.
std::string setUniforms(sf::Shader& shader, const char* uniforms)
{
    static sf::Texture texture;
    texture.create(4, 4);
    using Name = const std::string&;
    const std::map<char, std::function<void(Name)>> setterOfType = {
        {'f', [&](Name name) { shader.setUniform(name, 0.5f); }},
        {'i', [&](Name name) { shader.setUniform(name, 25); }},
        {'v', [&](Name name) { shader.setUniform(name, sf::Glsl::Vec3(0.5f, 0.f, 0.5f)); }},
        {'t', [&](Name name) { shader.setUniform(name, texture); }},
        {'c', [&](Name name) { shader.setUniform(name, sf::Shader::CurrentTexture); }}};
    std::istringstream words(uniforms);
    return captureSfmlErrors(
        [&]
        {
            for (std::string word; words >> word;)
                setterOfType.at(word[0])(word.substr(2));
        });
}
} // namespace

TEST(Shaders, EveryFileCompilesAndHasTheUniformsItIsSentAtStartUpAndByTheScenes)
{
    ASSERT_TRUE(sf::Shader::isAvailable());
    std::set<std::string> listed, present;
    for (const auto& entry : std::filesystem::directory_iterator(shaderFolder))
        if (entry.path().extension() == ".frag")
            present.insert(entry.path().filename().string());
    for (const auto& [file, uniforms] : shaderUniforms)
    {
        listed.insert(file);
        sf::Shader shader;
        const std::string fragment = shaderFolder + file;
        bool loaded = false;
        EXPECT_EQ(captureSfmlErrors(
                      [&] { loaded = shader.loadFromFile(shaderFolder + vertexFileOf(file), fragment); }),
                  "")
            << file;
        ASSERT_TRUE(loaded) << file;
        EXPECT_EQ(setUniforms(shader, uniforms), "") << file;
        // The silence above would prove nothing if the redirection caught no message.
        EXPECT_NE(setUniforms(shader, "f:noSuchUniform").find("noSuchUniform"), std::string::npos) << file;
    }
    EXPECT_EQ(present, listed);

    // Start-up sets its own uniforms while loading the table's files. The textures are missing
    // here, which the texture registry reports on standard error, not on SFML's stream.
    WorkingDirectory inSource(sourcePath(""));
    Resources resources;
    captureStderr([&] { EXPECT_EQ(captureSfmlErrors([&] { EXPECT_TRUE(resources.loadShaders()); }), ""); });
}

// What a tool reloads: every global shader once, with its vertex shader and a file above;
// setting a shader's start-up uniforms again puts back what the scenes changed, and only its own.
TEST(Shaders, GlobalShaderFilesAndTheirStartUniformsCanBeHadAgain)
{
    Resources resources;
    const std::vector<GlobalShaderFiles> files = resources.globalShaderFiles();
    std::set<sf::Shader*> shaders;
    for (const GlobalShaderFiles& row : files)
    {
        shaders.insert(row.shader);
        const std::string name = std::filesystem::path(row.fragmentFile).filename().string();
        // The card's peephole runs on the elastic sprite's perspective stage, built in.
        EXPECT_EQ(row.vertexFile, row.vertexSource ? "" : "assets/shaders/" + vertexFileOf(name));
        EXPECT_TRUE(std::any_of(std::begin(shaderUniforms), std::end(shaderUniforms),
                                [&](const auto& listed) { return listed.first == name; }))
            << row.fragmentFile;
    }
    EXPECT_EQ(shaders.size(), 27u);
    ASSERT_EQ(files.size(), 27u);
    EXPECT_EQ(std::tuple(files[0].shader, files[21].shader, files[21].fragmentFile, files[26].shader,
                         files[26].vertexSource),
              std::tuple(&resources.laserShader, &resources.wsl1Shader,
                         std::string("assets/shaders/scattershot.frag"), &resources.cardShader,
                         ElasticSprite::perspectiveVertexSource));

    WorkingDirectory inSource(sourcePath(""));
    captureStderr([&] { ASSERT_TRUE(resources.loadShaders()); });
    sf::Context context; // the values are read back through OpenGL, which needs one active
    auto uniform = [](sf::Shader& shader, const char* name)
    {
        using GetUniformLocation = GLint (*)(GLuint, const char*);
        using GetUniformfv = void (*)(GLuint, GLint, GLfloat*);
        const auto location =
            reinterpret_cast<GetUniformLocation>(sf::Context::getFunction("glGetUniformLocation"));
        const auto read = reinterpret_cast<GetUniformfv>(sf::Context::getFunction("glGetUniformfv"));
        GLfloat value = -1.f;
        read(shader.getNativeHandle(), location(shader.getNativeHandle(), name), &value);
        return value;
    };
    for (sf::Shader* shader : {&resources.wsl1Shader, &resources.wsl2Shader})
        shader->setUniform("maxRotation", 2.f);
    resources.moireShader.setUniform("iTime", 3.f);
    resources.setStartUniforms(resources.wsl1Shader);
    resources.setStartUniforms(resources.moireShader);
    EXPECT_EQ(std::tuple(uniform(resources.wsl1Shader, "maxRotation"),
                         uniform(resources.wsl1Shader, "scatterStrength"),
                         uniform(resources.wsl2Shader, "maxRotation"),
                         uniform(resources.moireShader, "iTime")),
              std::tuple(0.f, 0.15f, 2.f, 0.f));
    // The greetings are pages, which gather late and close by; the other scatter pictures not.
    EXPECT_EQ(std::tuple(uniform(resources.greets1Shader, "page"), uniform(resources.greets6Shader, "page"),
                         uniform(resources.wsl1Shader, "page"), uniform(resources.fingerShader, "page")),
              std::tuple(1.f, 1.f, 0.f, 0.f));
}
