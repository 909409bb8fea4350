#include "assets/TextureManager.hpp"

#include "assets/Manifest.hpp"

#include <SFML/Graphics/Image.hpp>
#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <optional>

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

/// Width and height of the picture at path as its header gives them, for the formats whose
/// header says so in a fixed place; nothing for other files or a header cut short.
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
    // TGA has no magic number: image types 2, 3, 10 and 11 are the ones the decoder reads.
    if (got >= 18 && (header[2] == 2 || header[2] == 3 || header[2] == 10 || header[2] == 11))
        return sf::Vector2u(littleEndian16(&header[12]), littleEndian16(&header[14]));
    return std::nullopt;
}

bool fitsTexture(sf::Vector2u size)
{
    const unsigned int limit = std::min(maxPictureSide, sf::Texture::getMaximumSize());
    return size.x <= limit && size.y <= limit;
}

/// Loads the picture at path into texture unless it is too large for one: a header that
/// says so stops it before decoding, a picture measured only once decoded before upload.
bool loadPicture(sf::Texture& texture, const std::string& path)
{
    if (!isRegularFile(path))
        return false;
    if (const auto size = pictureSizeFromHeader(path); size && !fitsTexture(*size))
        return false;
    sf::Image image;
    return image.loadFromFile(path) && fitsTexture(image.getSize()) && texture.loadFromImage(image);
}
} // namespace

bool TextureManager::load(const std::string& path)
{
    const ManifestFormat format{"TextureManager", "textures", "file", "FILE",
                                "TextureManager: Missing properties in texturesfile."};
    return loadManifest(path, format,
                        [this](const std::string& key, const nlohmann::json& entry)
                        {
                            const std::string file = readProperty<std::string>(entry, "file", "");
                            const bool repeated = readProperty<bool>(entry, "repeated", false);

                            if (exists(key))
                            {
                                std::cerr << "TextureManager: Texture with key " << key << " already exists."
                                          << std::endl;
                                return;
                            }
                            auto texture = std::make_unique<sf::Texture>();
                            bool loaded = false;
                            {
                                QuietSfmlErrors quiet;
                                loaded = loadPicture(*texture, file);
                            }
                            if (!loaded)
                            {
                                std::cerr << "TextureManager: Unable to load file " << file << "."
                                          << std::endl;
                                return;
                            }
                            texture->setRepeated(repeated);
                            textures.emplace(key, std::move(texture));
                        });
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
