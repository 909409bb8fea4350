#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

/// SHA-256 of a byte stream, fed in pieces: for frame and sample hashes that two builds can
/// compare line by line.
class Sha256
{
public:
    Sha256();

    /// Adds size bytes at data to the message.
    void update(const void* data, std::size_t size);

    /// Ends the message and returns its digest as 64 lowercase hexadecimal digits. The object
    /// starts a new message afterwards.
    std::string hexDigest();

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state;
    std::array<std::uint8_t, 64> buffer;
    std::size_t buffered = 0;
    std::uint64_t totalBytes = 0;
};
