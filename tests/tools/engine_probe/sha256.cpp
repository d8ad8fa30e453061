#include "engine_probe/sha256.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define SHA256_HAS_X86_PATH 1
#endif

namespace {

constexpr uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr uint32_t RotateRight(uint32_t value, int bits)
{
    return (value >> bits) | (value << (32 - bits));
}

void CompressPortable(std::array<uint32_t, 8>& state, const uint8_t* block)
{
    uint32_t words[64];
    for (int index = 0; index < 16; ++index)
        words[index] = (static_cast<uint32_t>(block[4 * index]) << 24) |
                       (static_cast<uint32_t>(block[4 * index + 1]) << 16) |
                       (static_cast<uint32_t>(block[4 * index + 2]) << 8) | block[4 * index + 3];
    for (int index = 16; index < 64; ++index) {
        const uint32_t s0 =
            RotateRight(words[index - 15], 7) ^ RotateRight(words[index - 15], 18) ^ (words[index - 15] >> 3);
        const uint32_t s1 =
            RotateRight(words[index - 2], 17) ^ RotateRight(words[index - 2], 19) ^ (words[index - 2] >> 10);
        words[index] = words[index - 16] + s0 + words[index - 7] + s1;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int index = 0; index < 64; ++index) {
        const uint32_t s1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
        const uint32_t choice = (e & f) ^ (~e & g);
        const uint32_t t1 = h + s1 + choice + kRoundConstants[index] + words[index];
        const uint32_t s0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
        const uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const uint32_t t2 = s0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

#ifdef SHA256_HAS_X86_PATH
// The same rounds with the processor's SHA extensions: two rounds per instruction, the message schedule
// four words at a time. The state is kept as (A, B, E, F) and (C, D, G, H), as the instructions want it.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressShaInstructions(std::array<uint32_t, 8>& state,
                                                                         const uint8_t* data, size_t count)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bll, 0x0405060700010203ll);
    __m128i abcd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    __m128i efgh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    abcd = _mm_shuffle_epi32(abcd, 0xB1);
    efgh = _mm_shuffle_epi32(efgh, 0x1B);
    __m128i abef = _mm_alignr_epi8(abcd, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, abcd, 0xF0);
    for (size_t block = 0; block < count; ++block, data += 64) {
        const __m128i savedAbef = abef;
        const __m128i savedCdgh = cdgh;
        __m128i words[4];
        for (int group = 0; group < 16; ++group) {
            __m128i& current = words[group % 4];
            if (group < 4) {
                current = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * group)), byteSwap);
            } else {
                const __m128i& minus1 = words[(group + 3) % 4];
                const __m128i& minus2 = words[(group + 2) % 4];
                const __m128i& minus3 = words[(group + 1) % 4];
                current = _mm_sha256msg1_epu32(current, minus3);
                current = _mm_add_epi32(current, _mm_alignr_epi8(minus1, minus2, 4));
                current = _mm_sha256msg2_epu32(current, minus1);
            }
            __m128i message = _mm_add_epi32(
                current, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRoundConstants[4 * group])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
            message = _mm_shuffle_epi32(message, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
        }
        abef = _mm_add_epi32(abef, savedAbef);
        cdgh = _mm_add_epi32(cdgh, savedCdgh);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}

bool ProcessorHasShaInstructions()
{
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const bool ssse3 = (ecx & (1u << 9)) != 0;
    const bool sse41 = (ecx & (1u << 19)) != 0;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return false;
    return ssse3 && sse41 && (ebx & (1u << 29)) != 0;
}
#else
bool ProcessorHasShaInstructions()
{
    return false;
}
#endif

bool& ShaInstructionsAllowed()
{
    static bool allowed = true;
    return allowed;
}

} // namespace

Sha256::Sha256()
    : state{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19},
      pending{}, pendingLength(0), totalLength(0)
{}

void Sha256::UseShaInstructions(bool allowed)
{
    ShaInstructionsAllowed() = allowed;
}

void Sha256::CompressBlocks(const uint8_t* blocks, size_t count)
{
#ifdef SHA256_HAS_X86_PATH
    static const bool available = ProcessorHasShaInstructions();
    if (available && ShaInstructionsAllowed()) {
        CompressShaInstructions(state, blocks, count);
        return;
    }
#endif
    for (size_t block = 0; block < count; ++block)
        CompressPortable(state, blocks + 64 * block);
}

void Sha256::Update(const void* data, size_t length)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    totalLength += length;
    if (pendingLength > 0) {
        const size_t take = std::min(length, pending.size() - pendingLength);
        std::memcpy(pending.data() + pendingLength, bytes, take);
        pendingLength += take;
        bytes += take;
        length -= take;
        if (pendingLength < pending.size())
            return;
        CompressBlocks(pending.data(), 1);
        pendingLength = 0;
    }
    const size_t wholeBlocks = length / 64;
    CompressBlocks(bytes, wholeBlocks);
    bytes += 64 * wholeBlocks;
    length -= 64 * wholeBlocks;
    std::memcpy(pending.data(), bytes, length);
    pendingLength = length;
}

std::array<uint8_t, 32> Sha256::Finish()
{
    const uint64_t bitLength = totalLength * 8;
    const uint8_t marker = 0x80;
    Update(&marker, 1);
    const uint8_t zero = 0;
    while (pendingLength != 56)
        Update(&zero, 1);
    uint8_t lengthBytes[8];
    for (int index = 0; index < 8; ++index)
        lengthBytes[index] = static_cast<uint8_t>(bitLength >> (56 - 8 * index));
    Update(lengthBytes, 8);
    std::array<uint8_t, 32> digest{};
    for (int index = 0; index < 8; ++index)
        for (int byte = 0; byte < 4; ++byte)
            digest[4 * index + byte] = static_cast<uint8_t>(state[index] >> (24 - 8 * byte));
    return digest;
}

std::string Sha256::FinishHex()
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t byte : Finish()) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}
