#pragma once

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

/// The largest width or height of a picture the registry loads. The demo's pictures are at most
/// a screen wide; a side of 8192 leaves room and keeps one decoded picture under 256 MiB, where
/// a small file claiming 16384 x 16384 pixels would cost a GiB to decode and another to upload.
constexpr unsigned int maxPictureSide = 8192;

/// The side, in pixels, of the square blocks whose opacity the registry keeps (opaqueCells).
constexpr unsigned int opaqueBlockSide = 4;

/// Width and height of the picture at path as its header gives them, read without decoding, for
/// PNG, JPEG, BMP, GIF and TGA. A header cut short is read as the decoder reads it, with zeros
/// past the end. Nothing for other files and files that cannot be read.
std::optional<sf::Vector2u> pictureSizeFromHeader(const std::string& path);

/// Registry of the demo's images, filled once from "assets/textures.json".
/// Every caller of get() with the same key receives the same texture object.
class TextureManager
{
public:
    /// Loads every entry of the manifest at path (top-level key "textures", required
    /// property "file", optional "repeated"). Entries that fail are reported on standard
    /// error and skipped, among them pictures with a side above maxPictureSide or above what
    /// the renderer can hold; PNG, JPEG, BMP, GIF and TGA files are measured from their header,
    /// before anything is decoded. Returns false when the manifest cannot be opened or has no
    /// "textures" key.
    bool load(const std::string& path);

    /// Like load, but only the pictures of the keys in first are in when it returns (all of them
    /// when first is empty). Every other picture that startDecoding is decoding and whose header
    /// gives a size that fits is registered now, as a texture that is not made yet (pictureSize
    /// gives its size), and comes in later through uploadNext or finishLoading: nothing may draw
    /// or measure the texture before. Pictures it cannot defer load as load loads them, with the
    /// same messages.
    bool load(const std::string& path, const std::vector<std::string>& first);

    /// Starts decoding, on worker threads, every picture that the manifest at path names, those
    /// of the keys in first before the others, so that a later load(path) only creates the
    /// textures (waiting for each picture in turn, in manifest order, with the same messages as
    /// ever). Writes nothing: a manifest or picture that cannot be read is left for load to find
    /// and report. Without it, load decodes on the calling thread.
    void startDecoding(const std::string& path, const std::vector<std::string>& first = {});

    /// Puts in the first deferred picture whose decoding has finished, without waiting for one.
    /// A picture that turned out not to decode is reported as load reports it, and its texture
    /// is made clear at its header's size. Returns whether deferred pictures are still to come.
    bool uploadNext();

    /// Waits for the deferred pictures of the given keys (all of them without keys) and puts
    /// them in, reporting those that do not decode as uploadNext does.
    void finishLoading(const std::vector<std::string>& keys = {});

    /// Whether every picture of the manifest is in (none is still deferred).
    bool allLoaded() const;

    TextureManager() = default;
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;
    /// Waits for decoding still running.
    ~TextureManager();

    /// The size of the picture key: its texture's, or its header's while it is still to come.
    /// Nothing for a key that is not registered; writes nothing.
    std::optional<sf::Vector2u> pictureSize(const std::string& key) const;

    /// The smallest rectangle, in texture pixels, holding every pixel of the picture key that
    /// is not fully transparent (empty for a wholly transparent one); nothing for a key that
    /// is not registered. Found while the picture is decoded, so asking costs no OpenGL call;
    /// for a deferred picture it waits for that picture's decoding.
    std::optional<sf::IntRect> opaqueBounds(const std::string& key) const;

    /// Splits the picture key into columns x rows equal cells and tells, row by row, which may
    /// show something: true for every cell holding a pixel that is not fully transparent,
    /// counting the pixels on its right and bottom edges, and perhaps for a cell with one less
    /// than opaqueBlockSide pixels from it (opacity is kept by blocks of that side). Empty for a
    /// key that is not registered, a picture that did not load and no cells. Waits for a
    /// deferred picture's decoding.
    std::vector<bool> opaqueCells(const std::string& key, unsigned int columns, unsigned int rows) const;

    /// The one colour of every pixel of texture, when it is one of this registry's pictures and
    /// all its pixels are alike; nothing otherwise. Found while the picture is decoded (waiting
    /// for a deferred one's decoding).
    std::optional<sf::Color> flatColour(const sf::Texture* texture) const;

    /// Returns the texture registered under key. If there is none, writes
    /// "TextureManager: Texture with key <key> does not exist." and returns null.
    sf::Texture* get(const std::string& key) const;

    /// Tells whether key is registered; writes nothing.
    bool exists(const std::string& key) const;

    /// A picture decoded ahead of load; empty when it failed.
    struct Decoded
    {
        sf::Image image;
        sf::IntRect opaque;             ///< the image's opaque part, found by the decoding thread
        std::vector<bool> opaqueBlocks; ///< per block of opaqueBlockSide pixels, row by row: any opaque?
        std::optional<sf::Color> flat;  ///< its one colour, when every pixel has it
    };

private:
    /// A picture registered at its header's size whose texture is not made yet.
    struct Deferred
    {
        std::string key;
        std::string file;
        sf::Vector2u size;
        sf::Texture* texture = nullptr;
        std::future<Decoded> decoding;
        std::optional<Decoded> decoded; ///< once its decoding has been waited for
    };

    std::unordered_map<std::string, std::unique_ptr<sf::Texture>> textures;
    // Filled in as deferred pictures finish decoding, which the const lookups may wait for.
    mutable std::unordered_map<std::string, sf::IntRect> opaque;    ///< opaqueBounds, by key
    mutable std::unordered_map<const sf::Texture*, sf::Color> flat; ///< flatColour, by texture
    /// Each picture's size and opaque blocks (Decoded::opaqueBlocks), by key.
    mutable std::unordered_map<std::string, std::pair<sf::Vector2u, std::vector<bool>>> blocks;
    mutable std::vector<Deferred> deferred;                         ///< in manifest order
    std::unordered_map<std::string, std::future<Decoded>> decoding; ///< by file path
    std::vector<std::thread> workers;
    void joinWorkers();
    void settle(Deferred& picture) const;
    /// Keeps what decoding found of the picture key, its texture texture.
    void keepFound(const std::string& key, const sf::Texture* texture, Decoded& decoded) const;
    void upload(Deferred& picture);
    void doneDeferring();
};
