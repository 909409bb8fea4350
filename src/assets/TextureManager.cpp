#include "assets/TextureManager.hpp"

#include "assets/Manifest.hpp"

#include <SFML/Graphics/Image.hpp>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <optional>
#include <vector>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace
{
unsigned int bigEndian16(const unsigned char* bytes)
{
    return static_cast<unsigned int>(bytes[0]) << 8 | bytes[1];
}

unsigned int bigEndian32(const unsigned char* bytes)
{
    return bigEndian16(bytes) << 16 | bigEndian16(bytes + 2);
}

unsigned int littleEndian16(const unsigned char* bytes)
{
    return static_cast<unsigned int>(bytes[1]) << 8 | bytes[0];
}

unsigned int littleEndian32(const unsigned char* bytes)
{
    return littleEndian16(bytes + 2) << 16 | littleEndian16(bytes);
}

/// The frame size of a JPEG, from its first start-of-frame segment.
std::optional<sf::Vector2u> jpegSize(std::ifstream& file)
{
    file.seekg(2);
    std::array<unsigned char, 9> segment{};
    while (file.read(reinterpret_cast<char*>(segment.data()), 4))
    {
        if (segment[0] != 0xFF)
            return std::nullopt;
        const unsigned char marker = segment[1];
        const unsigned int length = bigEndian16(&segment[2]);
        // SOF0 to SOF15, except DHT (C4), JPG (C8) and DAC (CC), which share the range.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
        {
            if (!file.read(reinterpret_cast<char*>(segment.data()), 5))
                return std::nullopt;
            return sf::Vector2u(bigEndian16(&segment[3]), bigEndian16(&segment[1]));
        }
        if (length < 2)
            return std::nullopt;
        file.seekg(length - 2, std::ios::cur);
    }
    return std::nullopt;
}

} // namespace

std::optional<sf::Vector2u> pictureSizeFromHeader(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::array<unsigned char, 26> header{};
    file.read(reinterpret_cast<char*>(header.data()), header.size());
    const auto got = static_cast<std::size_t>(file.gcount());
    file.clear();
    const auto startsWith = [&](const char* magic, std::size_t size)
    { return got >= size && std::equal(magic, magic + size, reinterpret_cast<const char*>(header.data())); };

    if (startsWith("\x89PNG\r\n\x1a\n", 8) && got >= 24)
        return sf::Vector2u(bigEndian32(&header[16]), bigEndian32(&header[20]));
    if ((startsWith("GIF87a", 6) || startsWith("GIF89a", 6)) && got >= 10)
        return sf::Vector2u(littleEndian16(&header[6]), littleEndian16(&header[8]));
    if (startsWith("BM", 2) && got >= 26)
    {
        // Height is negative for pictures stored top row first.
        const auto height = static_cast<std::int32_t>(littleEndian32(&header[22]));
        return sf::Vector2u(
            littleEndian32(&header[18]),
            static_cast<unsigned int>(height < 0 ? -static_cast<std::int64_t>(height) : height));
    }
    if (startsWith("\xFF\xD8", 2))
        return jpegSize(file);
    // TGA has no magic number: image types 2, 3, 10 and 11 are the ones the decoder reads. It
    // reads bytes past the end of a cut header as zeros, as the zeroed array here does.
    if (got >= 3 && (header[2] == 2 || header[2] == 3 || header[2] == 10 || header[2] == 11))
        return sf::Vector2u(littleEndian16(&header[12]), littleEndian16(&header[14]));
    return std::nullopt;
}

namespace
{
/// The CRC-32 that PNG chunks carry (ISO 3309), of size bytes at data.
std::uint32_t crc32(const unsigned char* data, std::size_t size)
{
    static const std::array<std::uint32_t, 256> table = []
    {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n)
        {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

/// For a PNG: whether every chunk up to IEND is whole and carries its right checksum. The
/// decoder checks none of them, and some damaged files keep it busy for good (a 119-byte one in
/// tests/data/images); a file that is not a PNG passes.
bool pngChunksIntact(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff fileSize = file.tellg();
    file.seekg(0);
    std::array<char, 8> signature{};
    if (!file.read(signature.data(), 8) || std::string(signature.data(), 8) != "\x89PNG\r\n\x1a\n")
        return true;
    std::vector<unsigned char> chunk;
    std::array<unsigned char, 8> head{};
    while (file.read(reinterpret_cast<char*>(head.data()), 8))
    {
        const std::uint32_t length = bigEndian32(head.data());
        // A length past the file's end is a cut or damaged file, found before anything is allocated.
        if (static_cast<std::streamoff>(length) + 4 > fileSize - file.tellg())
            return false;
        chunk.assign(head.begin() + 4, head.end());
        chunk.resize(4 + std::size_t{length} + 4);
        if (!file.read(reinterpret_cast<char*>(chunk.data() + 4), static_cast<std::streamsize>(length) + 4))
            return false;
        if (crc32(chunk.data(), 4 + std::size_t{length}) != bigEndian32(chunk.data() + 4 + length))
            return false;
        if (std::equal(head.begin() + 4, head.end(), "IEND"))
            return true;
    }
    return false;
}

bool fitsTexture(sf::Vector2u size)
{
    const unsigned int limit = std::min(maxPictureSide, sf::Texture::getMaximumSize());
    return size.x <= limit && size.y <= limit;
}

/// Where image is not fully transparent: the smallest rectangle holding those pixels, and
/// which blocks of opaqueBlockSide x opaqueBlockSide pixels (row by row) hold any.
void findOpaquePart(const sf::Image& image, TextureManager::Decoded& decoded)
{
    const sf::Vector2u size = image.getSize();
    const sf::Uint8* pixels = image.getPixelsPtr();
    const unsigned int blocksAcross = (size.x + opaqueBlockSide - 1) / opaqueBlockSide;
    const unsigned int blocksDown = (size.y + opaqueBlockSide - 1) / opaqueBlockSide;
    decoded.opaqueBlocks.assign(static_cast<std::size_t>(blocksAcross) * blocksDown, false);
    unsigned int left = size.x, top = size.y, right = 0, bottom = 0;
    for (unsigned int y = 0; y < size.y; ++y)
        for (unsigned int x = 0; x < size.x; ++x)
            if (pixels[(static_cast<std::size_t>(y) * size.x + x) * 4 + 3] != 0)
            {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
                decoded.opaqueBlocks[static_cast<std::size_t>(y / opaqueBlockSide) * blocksAcross +
                                     x / opaqueBlockSide] = true;
            }
    if (right > left)
        decoded.opaque = sf::IntRect(static_cast<int>(left), static_cast<int>(top),
                                     static_cast<int>(right - left), static_cast<int>(bottom - top));
}

/// The colour of every pixel of image, when they are all alike.
std::optional<sf::Color> flatPart(const sf::Image& image)
{
    const sf::Vector2u size = image.getSize();
    const std::size_t count = static_cast<std::size_t>(size.x) * size.y;
    if (count == 0)
        return std::nullopt;
    const sf::Uint8* pixels = image.getPixelsPtr();
    for (std::size_t i = 1; i < count; ++i)
        if (std::memcmp(pixels + i * 4, pixels, 4) != 0)
            return std::nullopt;
    return sf::Color(pixels[0], pixels[1], pixels[2], pixels[3]);
}

/// Decodes the picture at path unless it is no file or its header says it is too large;
/// the image stays empty when it fails.
TextureManager::Decoded decodePicture(const std::string& path)
{
    TextureManager::Decoded decoded;
    if (!isRegularFile(path))
        return decoded;
    if (const auto size = pictureSizeFromHeader(path); size && !fitsTexture(*size))
        return decoded;
    if (!pngChunksIntact(path))
        return decoded;
    if (!decoded.image.loadFromFile(path))
        decoded.image = sf::Image();
    findOpaquePart(decoded.image, decoded);
    decoded.flat = flatPart(decoded.image);
    return decoded;
}

/// Lowers the calling thread's priority as far as it goes, so that it only runs on time no
/// other thread of the machine wants; true when it did.
bool givePriorityAway()
{
#ifdef __linux__
    return setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19) == 0;
#else
    return false;
#endif
}

/// Loads decoded into texture unless it failed or is too large for one.
bool uploadPicture(sf::Texture& texture, const TextureManager::Decoded& decoded)
{
    const sf::Vector2u size = decoded.image.getSize();
    return size.x > 0 && size.y > 0 && fitsTexture(size) && texture.loadFromImage(decoded.image);
}
} // namespace

bool TextureManager::load(const std::string& path)
{
    return load(path, {});
}

bool TextureManager::load(const std::string& path, const std::vector<std::string>& first)
{
    const ManifestFormat format{"TextureManager", "textures", "file", "FILE",
                                "TextureManager: Missing properties in texturesfile."};
    const bool manifestLoaded = loadManifest(
        path, format,
        [this, &first](const std::string& key, const nlohmann::json& entry)
        {
            const std::string file = readProperty<std::string>(entry, "file", "");
            const bool repeated = readProperty<bool>(entry, "repeated", false);

            if (exists(key))
            {
                std::cerr << "TextureManager: Texture with key " << key << " already exists." << std::endl;
                return;
            }
            auto texture = std::make_unique<sf::Texture>();
            // Deferred: registered now, made when its pixels come in. Making it now would cost
            // what putting them in costs, as the renderer clears every texture it makes.
            const auto ahead = decoding.find(file);
            if (!first.empty() && std::find(first.begin(), first.end(), key) == first.end() &&
                ahead != decoding.end() && ahead->second.valid() && isRegularFile(file))
                if (const auto size = pictureSizeFromHeader(file);
                    size && size->x > 0 && size->y > 0 && fitsTexture(*size))
                {
                    texture->setRepeated(repeated);
                    deferred.push_back({key, file, *size, texture.get(), std::move(ahead->second), {}});
                    textures.emplace(key, std::move(texture));
                    return;
                }
            bool loaded = false;
            Decoded decoded;
            {
                QuietSfmlErrors quiet;
                // Decoded ahead if startDecoding saw it, else here and now.
                if (ahead != decoding.end() && ahead->second.valid())
                    decoded = ahead->second.get();
                else
                    decoded = decodePicture(file);
                loaded = uploadPicture(*texture, decoded);
            }
            if (!loaded)
            {
                std::cerr << "TextureManager: Unable to load file " << file << "." << std::endl;
                return;
            }
            texture->setRepeated(repeated);
            keepFound(key, texture.get(), decoded);
            textures.emplace(key, std::move(texture));
        });
    if (deferred.empty())
        doneDeferring();
    return manifestLoaded;
}

void TextureManager::settle(Deferred& picture) const
{
    if (picture.decoded)
        return;
    picture.decoded = picture.decoding.get();
    keepFound(picture.key, picture.texture, *picture.decoded);
}

void TextureManager::keepFound(const std::string& key, const sf::Texture* texture, Decoded& decoded) const
{
    opaque[key] = decoded.opaque;
    blocks[key] = {decoded.image.getSize(), std::move(decoded.opaqueBlocks)};
    if (decoded.flat)
        flat[texture] = *decoded.flat;
}

void TextureManager::upload(Deferred& picture)
{
    settle(picture);
    const sf::Image& image = picture.decoded->image;
    if (image.getSize() == picture.size && picture.texture->loadFromImage(image))
        return;
    // Left clear at the size its sprites were given.
    std::cerr << "TextureManager: Unable to load file " << picture.file << "." << std::endl;
    const sf::Vector2u size = picture.size;
    std::vector<sf::Uint8> clear(static_cast<std::size_t>(size.x) * size.y * 4, 0);
    if (picture.texture->create(size.x, size.y))
        picture.texture->update(clear.data());
}

bool TextureManager::uploadNext()
{
    const auto ready =
        std::find_if(deferred.begin(), deferred.end(),
                     [](const Deferred& picture)
                     {
                         return picture.decoded || picture.decoding.wait_for(std::chrono::seconds(0)) ==
                                                       std::future_status::ready;
                     });
    if (ready != deferred.end())
    {
        upload(*ready);
        deferred.erase(ready);
        if (deferred.empty())
            doneDeferring();
    }
    return !deferred.empty();
}

void TextureManager::finishLoading(const std::vector<std::string>& keys)
{
    if (deferred.empty())
        return;
    const auto wanted = [&keys](const Deferred& picture)
    { return keys.empty() || std::find(keys.begin(), keys.end(), picture.key) != keys.end(); };
    for (Deferred& picture : deferred)
        if (wanted(picture))
            upload(picture);
    deferred.erase(std::remove_if(deferred.begin(), deferred.end(), wanted), deferred.end());
    if (deferred.empty())
        doneDeferring();
}

bool TextureManager::allLoaded() const
{
    return deferred.empty();
}

void TextureManager::doneDeferring()
{
    joinWorkers();
    decoding.clear();
}

void TextureManager::startDecoding(const std::string& path, const std::vector<std::string>& first)
{
    // Worker threads may only write to SFML's error stream (a picture that fails to
    // decode) when it can silence them alone.
    if (!workers.empty() || !sfmlErrorsThreadSafe() || !isRegularFile(path))
        return;
    std::ifstream file(path);
    const nlohmann::json manifest = nlohmann::json::parse(file, nullptr, false);
    if (manifest.is_discarded() || !manifest.is_object() || !manifest.contains("textures") ||
        !manifest.at("textures").is_object())
        return;

    // The jobs in manifest order, those of first ahead, each file once; every job's result
    // arrives by its future.
    auto jobs = std::make_shared<std::vector<std::pair<std::string, std::promise<Decoded>>>>();
    std::size_t firstJobs = std::numeric_limits<std::size_t>::max(); // all when none come first
    for (const bool firstPass : {true, false})
    {
        if (!firstPass && !first.empty())
            firstJobs = jobs->size();
        for (const auto& [key, entry] : manifest.at("textures").items())
        {
            if (!entry.is_object() || !entry.contains("file") || !entry.at("file").is_string())
                continue;
            if (firstPass == (std::find(first.begin(), first.end(), key) == first.end()))
                continue;
            const std::string picture = entry.at("file").get<std::string>();
            if (decoding.count(picture) != 0)
                continue;
            jobs->emplace_back(picture, std::promise<Decoded>());
            decoding.emplace(picture, jobs->back().second.get_future());
        }
    }
    auto next = std::make_shared<std::atomic<std::size_t>>(0);
    const unsigned int threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    for (unsigned int i = 0; i < threads && i < jobs->size(); ++i)
        workers.emplace_back(
            [jobs, next, firstJobs]
            {
                const QuietSfmlErrors quiet;
                bool yielding = false;
                for (std::size_t job = (*next)++; job < jobs->size(); job = (*next)++)
                {
                    // The pictures awaited before the first frame are decoded at full speed; the
                    // rest give way to the thread that loads and draws.
                    if (job >= firstJobs && !yielding)
                        yielding = givePriorityAway();
                    (*jobs)[job].second.set_value(decodePicture((*jobs)[job].first));
                }
            });
}

void TextureManager::joinWorkers()
{
    for (std::thread& worker : workers)
        worker.join();
    workers.clear();
}

TextureManager::~TextureManager()
{
    joinWorkers();
}

std::optional<sf::Vector2u> TextureManager::pictureSize(const std::string& key) const
{
    for (const Deferred& picture : deferred)
        if (picture.key == key)
            return picture.size;
    const auto texture = textures.find(key);
    if (texture == textures.end())
        return std::nullopt;
    return texture->second->getSize();
}

std::optional<sf::IntRect> TextureManager::opaqueBounds(const std::string& key) const
{
    const auto texture = textures.find(key);
    if (texture == textures.end())
        return std::nullopt;
    for (Deferred& picture : deferred)
        if (picture.key == key)
            settle(picture);
    const auto found = opaque.find(key);
    return found == opaque.end() ? sf::IntRect() : found->second;
}

std::vector<bool> TextureManager::opaqueCells(const std::string& key, unsigned int columns,
                                              unsigned int rows) const
{
    if (!opaqueBounds(key) || columns == 0 || rows == 0)
        return {};
    const auto found = blocks.find(key);
    if (found == blocks.end() || found->second.first.x == 0 || found->second.first.y == 0)
        return {};
    const auto& [size, opaqueBlocks] = found->second;
    const unsigned int blocksAcross = (size.x + opaqueBlockSide - 1) / opaqueBlockSide;
    // The cell of pixel p of a side of n pixels split into count cells; a cell also takes the
    // pixel on its far edge, which its last fragments may sample.
    const auto cellOf = [](unsigned int p, unsigned int n, unsigned int count)
    { return std::min(count - 1, static_cast<unsigned int>(std::uint64_t{p} * count / n)); };
    const auto firstCellOf = [&](unsigned int p, unsigned int n, unsigned int count)
    {
        const unsigned int cell = cellOf(p, n, count);
        return cell > 0 && std::uint64_t{cell} * n == std::uint64_t{p} * count ? cell - 1 : cell;
    };
    std::vector<bool> cells(static_cast<std::size_t>(columns) * rows, false);
    for (std::size_t block = 0; block < opaqueBlocks.size(); ++block)
    {
        if (!opaqueBlocks[block])
            continue;
        const unsigned int left = static_cast<unsigned int>(block % blocksAcross) * opaqueBlockSide;
        const unsigned int top = static_cast<unsigned int>(block / blocksAcross) * opaqueBlockSide;
        const unsigned int right = std::min(size.x, left + opaqueBlockSide) - 1;
        const unsigned int bottom = std::min(size.y, top + opaqueBlockSide) - 1;
        for (unsigned int row = firstCellOf(top, size.y, rows); row <= cellOf(bottom, size.y, rows); ++row)
            for (unsigned int column = firstCellOf(left, size.x, columns);
                 column <= cellOf(right, size.x, columns); ++column)
                cells[static_cast<std::size_t>(row) * columns + column] = true;
    }
    return cells;
}

std::optional<sf::Color> TextureManager::flatColour(const sf::Texture* texture) const
{
    for (Deferred& picture : deferred)
        if (picture.texture == texture)
            settle(picture);
    const auto found = flat.find(texture);
    if (found == flat.end())
        return std::nullopt;
    return found->second;
}

sf::Texture* TextureManager::get(const std::string& key) const
{
    const auto found = textures.find(key);
    if (found == textures.end())
    {
        std::cerr << "TextureManager: Texture with key " << key << " does not exist." << std::endl;
        return nullptr;
    }
    return found->second.get();
}

bool TextureManager::exists(const std::string& key) const
{
    return textures.count(key) != 0;
}
