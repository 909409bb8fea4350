#include "HotReload.hpp"

#include "assets/Manifest.hpp"
#include "runtime/Resources.hpp"
#include "scenes/Demo.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/System/Err.hpp>
#include <SFML/Window/Context.hpp>
#include <array>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/stat.h>

namespace
{
/// The first line of a compiler log that says what is wrong, for the overlay.
std::string firstError(const std::string& log)
{
    std::istringstream lines(log);
    std::string first;
    for (std::string line; std::getline(lines, line);)
    {
        if (line.find("rror") != std::string::npos && line.rfind("Failed to compile", 0) != 0)
            return line;
        if (first.empty() && !line.empty() && line.rfind("Failed to compile", 0) != 0)
            first = line;
    }
    return first;
}

std::string shortened(std::string text, std::size_t most)
{
    if (text.size() > most)
        text = text.substr(0, most - 3) + "...";
    return text;
}
} // namespace

bool HotReload::Signature::operator!=(const Signature& other) const
{
    return exists != other.exists || modified != other.modified || size != other.size || inode != other.inode;
}

HotReload::Signature HotReload::signatureOf(const std::string& file)
{
    Signature signature;
    struct stat status;
    if (stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return signature;
    signature.exists = true;
    signature.modified =
        static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL + status.st_mtim.tv_nsec;
    signature.size = static_cast<long long>(status.st_size);
    signature.inode = static_cast<unsigned long long>(status.st_ino);
    return signature;
}

HotReload::HotReload(Resources& resources) : resources(resources)
{
    for (const GlobalShaderFiles& files : resources.globalShaderFiles())
    {
        for (const std::string& file : {files.vertexFile, files.fragmentFile})
            if (!file.empty()) // a vertex stage built into the program
                signatures.emplace(file, signatureOf(file));
    }

    // The manifests as the registries read them; an entry they refused is not reloaded either.
    auto readManifest = [](const char* path, const char* top)
    {
        std::ifstream stream(path);
        nlohmann::json document = nlohmann::json::parse(stream, nullptr, false);
        nlohmann::json entries = nlohmann::json::object();
        if (document.is_object() && document.contains(top) && document[top].is_object())
            entries = std::move(document[top]);
        return entries;
    };
    const nlohmann::json textures = readManifest("assets/textures.json", "textures");
    for (const auto& [key, entry] : textures.items())
        if (entry.is_object() && entry.contains("file") && entry["file"].is_string() &&
            resources.textureManager.exists(key))
        {
            const std::string file = entry["file"];
            pictureKeys[file].push_back(key);
            signatures.emplace(file, signatureOf(file));
        }
    const nlohmann::json sprites = readManifest("assets/sprites.json", "sprites");
    for (const auto& [key, entry] : sprites.items())
        if (entry.is_object() && entry.contains("texture") && entry["texture"].is_string() &&
            !entry.contains("rectW") && !entry.contains("rectH") && resources.spriteManager.exists(key))
            fullSprites[entry["texture"].get<std::string>()].push_back(key);
}

std::vector<Reload> HotReload::poll()
{
    std::vector<Reload> reloads;
    for (auto& [file, signature] : signatures)
    {
        const Signature now = signatureOf(file);
        if (!(now != signature))
            continue;
        signature = now;
        if (!now.exists) // being replaced: the new file is looked at when it is there
            continue;
        Reload reload = pictureKeys.count(file) ? reloadPicture(file) : reloadShaderFile(file);
        reload.savedAt = std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::nanoseconds(now.modified)));
        reloads.push_back(reload);
    }
    return reloads;
}

std::vector<std::string> HotReload::brokenShaders() const
{
    std::vector<std::string> files;
    for (const auto& [file, broken] : shaderBroken)
        if (broken)
            files.push_back(file);
    return files;
}

Reload HotReload::reloadShaderFile(const std::string& file)
{
    Reload reload;
    reload.file = file;
    const std::string name = std::filesystem::path(file).filename().string();
    std::vector<GlobalShaderFiles> users;
    for (const GlobalShaderFiles& files : resources.globalShaderFiles())
        if (files.vertexFile == file || files.fragmentFile == file)
            users.push_back(files);
    if (users.empty())
    {
        reload.message = name + " changed; no shader of the demo uses it";
        return reload;
    }

    // Every pair of sources the change touches, compiled on its own before any live shader is.
    std::map<std::pair<std::string, std::string>, std::pair<std::string, std::string>> sources;
    for (const GlobalShaderFiles& files : users)
    {
        bool vertexRead = files.vertexSource != nullptr;
        bool fragmentRead = false;
        const std::string vertex = vertexRead ? files.vertexSource : readFile(files.vertexFile, vertexRead);
        const std::string fragment = readFile(files.fragmentFile, fragmentRead);
        if (!vertexRead || !fragmentRead)
        {
            reload.message = name + ": cannot be read, kept the last good program";
            std::cerr << "flumbadoo-player: " << reload.message << std::endl;
            shaderBroken[file] = true;
            return reload;
        }
        sources[{files.vertexFile, files.fragmentFile}] = {vertex, fragment};
    }
    for (const auto& [files, text] : sources)
    {
        std::ostringstream log;
        std::streambuf* const saved = sf::err().rdbuf(log.rdbuf());
        sf::Shader trial;
        const bool compiled = trial.loadFromMemory(text.first, text.second);
        sf::err().rdbuf(saved);
        if (!compiled)
        {
            reload.message = shortened(
                name + ": compile error, kept the last good program: " + firstError(log.str()), 150);
            std::cerr << "flumbadoo-player: " << reload.message << std::endl << log.str() << std::flush;
            shaderBroken[file] = true;
            return reload;
        }
    }

    for (const GlobalShaderFiles& files : users)
    {
        sf::Shader& shader = *files.shader;
        const auto& [vertex, fragment] = sources[{files.vertexFile, files.fragmentFile}];
        shader.loadFromMemory(vertex, fragment);
        resources.setStartUniforms(shader);
        // SFML forgets its texture bindings on a load; the scenes' uniforms are all sent again
        // with the next drawn frame.
        resources.rebindTextures(shader);
        resources.forgetSentUniforms(&shader);
    }
    shaderBroken[file] = false;
    reload.loaded = true;
    reload.message = "reloaded " + name;
    return reload;
}

Reload HotReload::reloadPicture(const std::string& file)
{
    Reload reload;
    reload.file = file;
    const std::string name = std::filesystem::path(file).filename().string();
    sf::Image image;
    std::ostringstream log;
    std::streambuf* const saved = sf::err().rdbuf(log.rdbuf());
    const bool decoded = image.loadFromFile(file);
    sf::err().rdbuf(saved);
    const sf::Vector2u size = image.getSize();
    const unsigned int most = std::min(maxPictureSide, sf::Texture::getMaximumSize());
    if (!decoded || size.x == 0 || size.y == 0 || size.x > most || size.y > most)
    {
        reload.message = name + ": does not load, kept the last good picture";
        std::cerr << "flumbadoo-player: " << reload.message << std::endl;
        return reload;
    }
    for (const std::string& key : pictureKeys[file])
    {
        sf::Texture* texture = resources.textureManager.get(key);
        if (!texture)
            continue;
        if (texture->getSize() == size)
        {
            texture->update(image);
            continue;
        }
        texture->loadFromImage(image);
        resizedPictures.insert(key);
        for (const std::string& spriteKey : fullSprites[key])
            if (sf::Sprite* sprite = resources.spriteManager.get(spriteKey))
                sprite->setTextureRect({0, 0, static_cast<int>(size.x), static_cast<int>(size.y)});
    }
    reload.loaded = true;
    reload.message = "reloaded " + name;
    return reload;
}

void HotReload::resetDemo(Demo& demo)
{
    demo.reset();
    // The sprites are back as the manifest made them, at the size their pictures had then.
    for (const std::string& key : resizedPictures)
    {
        const sf::Texture* texture = resources.textureManager.get(key);
        if (!texture)
            continue;
        const sf::Vector2u size = texture->getSize();
        for (const std::string& spriteKey : fullSprites[key])
            if (sf::Sprite* sprite = resources.spriteManager.get(spriteKey))
                sprite->setTextureRect({0, 0, static_cast<int>(size.x), static_cast<int>(size.y)});
    }
}
