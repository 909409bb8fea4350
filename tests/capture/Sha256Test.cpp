#include "capture/Sha256.hpp"

#include <gtest/gtest.h>
#include <string>

// The standard's own examples, and a message fed in odd pieces across block boundaries.
TEST(Sha256Test, KnownDigests)
{
    struct Case
    {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
    };
    for (const Case& c : cases)
    {
        Sha256 whole;
        whole.update(c.message.data(), c.message.size());
        EXPECT_EQ(whole.hexDigest(), c.digest) << c.message.size() << " bytes";

        Sha256 pieces;
        for (std::size_t at = 0, piece = 1; at < c.message.size(); at += piece, piece = piece % 70 + 7)
            pieces.update(c.message.data() + at, std::min(piece, c.message.size() - at));
        EXPECT_EQ(pieces.hexDigest(), c.digest) << c.message.size() << " bytes in pieces";
    }
}

TEST(Sha256Test, StartsAfreshAfterADigest)
{
    Sha256 sha;
    sha.update("xyz", 3);
    sha.hexDigest();
    sha.update("abc", 3);
    EXPECT_EQ(sha.hexDigest(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}
