// The probe's SHA-256: published test vectors, and the same digests with and without the processor's
// SHA instructions for inputs fed in uneven pieces.
#include <string>

#include <gtest/gtest.h>

#include "engine_probe/sha256.h"

namespace {

std::string Digest(const std::string& text, size_t piece)
{
    Sha256 hash;
    for (size_t offset = 0; offset < text.size(); offset += piece)
        hash.Update(text.data() + offset, std::min(piece, text.size() - offset));
    return hash.FinishHex();
}

} // namespace

TEST(Sha256, PublishedVectors)
{
    struct Case
    {
        std::string text;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (bool instructions : {true, false}) {
        Sha256::UseShaInstructions(instructions);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text.substr(0, 10));
            EXPECT_EQ(Digest(c.text, 1 << 20), c.digest);
            EXPECT_EQ(Digest(c.text, 63), c.digest);
        }
    }
    Sha256::UseShaInstructions(true);
}

TEST(Sha256, BothRoundImplementationsAgree)
{
    std::string text;
    uint32_t seed = 1;
    for (int index = 0; index < 300000; ++index) {
        seed = seed * 1664525 + 1013904223;
        text += static_cast<char>(seed >> 24);
    }
    for (size_t length : {0, 1, 55, 56, 63, 64, 65, 127, 128, 1000, 300000}) {
        SCOPED_TRACE(length);
        const std::string part = text.substr(0, length);
        Sha256::UseShaInstructions(false);
        const std::string portable = Digest(part, 17);
        Sha256::UseShaInstructions(true);
        EXPECT_EQ(Digest(part, 4096), portable);
    }
}
