#pragma once

#include <SFML/Graphics/Shader.hpp>
#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class Resources;
struct Demo;

/// One file the watcher reloaded, or tried to.
struct Reload
{
    std::string file;                              ///< as the demo names it ("assets/shaders/laser.frag")
    bool loaded = false;                           ///< false: it did not load and the last good version stays
    std::string message;                           ///< one line for the overlay
    std::chrono::system_clock::time_point savedAt; ///< the file's modification time
};

/// Watches the files under assets/shaders/ and the pictures that assets/textures.json names,
/// and reloads a changed one into the objects the demo already uses, so every pointer to a
/// shader or texture stays valid.
///
/// A shader is compiled on its own first; only when that works is the live shader loaded
/// again, with its start-up uniforms and textures put back; the uniforms the scenes set are in
/// the demo's state and go to it with the next drawn frame (Resources::forgetSentUniforms). One that does not
/// compile keeps its program; the compiler's log goes to standard error. A picture that does not load keeps
/// the texture as it was; one of a new size has the full-picture sprites of assets/sprites.json set to the
/// new size.
///
/// It can also put the demo back at its first frame (resetDemo) so that what it reloaded stays:
/// the sprites of a picture of a new size keep their new size.
class HotReload
{
public:
    /// Reads the list of files and their state now: what changes after this is reloaded.
    /// resources must outlive it.
    explicit HotReload(Resources& resources);

    /// Reloads every file that changed since the last look. Cheap enough for every frame.
    std::vector<Reload> poll();

    /// The shader files whose saved version did not compile (the live program is older).
    std::vector<std::string> brokenShaders() const;

    /// Demo::reset on demo (over the resources given at construction), then puts back what the
    /// reset undid of the reloads: the size of the full-picture sprites of a picture of a new size.
    void resetDemo(Demo& demo);

private:
    struct Signature
    {
        bool exists = false;
        long long modified = 0; ///< nanoseconds
        long long size = 0;
        unsigned long long inode = 0;
        bool operator!=(const Signature& other) const;
    };
    static Signature signatureOf(const std::string& file);

    Reload reloadShaderFile(const std::string& file);
    Reload reloadPicture(const std::string& file);

    Resources& resources;
    std::map<std::string, Signature> signatures;
    std::map<std::string, std::vector<std::string>> pictureKeys; ///< file -> texture keys
    std::map<std::string, std::vector<std::string>>
        fullSprites; ///< texture key -> sprites without a rectangle
    std::map<std::string, bool> shaderBroken;
    std::set<std::string> resizedPictures; ///< texture keys reloaded at a size of their own
};
