#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// SHA-256 (FIPS 180-4), fed in pieces; the hex digest is how the test oracles write hashes.
class Sha256
{
public:
    Sha256();
    void Update(const void* data, size_t length);
    std::array<uint8_t, 32> Finish();
    std::string FinishHex();

    // False forces the portable rounds even where the processor has SHA instructions (for tests).
    static void UseShaInstructions(bool allowed);

private:
    void CompressBlocks(const uint8_t* blocks, size_t count);

    std::array<uint32_t, 8> state;
    std::array<uint8_t, 64> pending;
    size_t pendingLength;
    uint64_t totalLength;
};
