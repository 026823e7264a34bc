// SPDX-License-Identifier: GPL-3.0-or-later
// CRC-16/ARC by carry-less-multiply folding on x86, chosen at run time: 512-bit registers with
// VPCLMULQDQ (about 33 GB/s here), else PCLMULQDQ (about 10 GB/s); slicing by 8 elsewhere (about
// 2 GB/s) and for the last bytes. A bitwise CRC for the few bytes a frame's protection covers.
//
// Folding: the message is a polynomial M(x) (first byte's bit 0 the highest coefficient, as the
// reflected CRC reads it) and CRC(M) = M(x)·x^16 mod P, so any prefix may be replaced by a
// 16-byte block congruent to it modulo P. Four 16-byte lanes are carried 64 bytes at a time
// (lane·x^512 + next block), then folded into one, and the tables finish that block and the
// tail. The constants are x^n mod P, which has at most 16 bits.
#include "crc16.h"

#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#define PARVEX_CRC_CLMUL 1
#endif

namespace parvex {

namespace {

// P(x) = x^16 + x^15 + x^2 + 1, bit j the coefficient of x^j (0xA001 is its bit reversal).
constexpr unsigned kPoly = 0x18005u;

constexpr std::array<std::uint16_t, 256> makeArcTable()
{
    std::array<std::uint16_t, 256> table {};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

// kSlices[k][i]: the CRC of byte i followed by k zero bytes, so eight bytes fold in at once.
constexpr std::array<std::array<std::uint16_t, 256>, 8> makeSlices()
{
    std::array<std::array<std::uint16_t, 256>, 8> slices {};
    slices[0] = makeArcTable();
    for (std::size_t k = 1; k < slices.size(); ++k) {
        for (std::size_t i = 0; i < 256; ++i) {
            const unsigned previous = slices[k - 1][i];
            slices[k][i]
                = static_cast<std::uint16_t>((previous >> 8) ^ slices[0][previous & 0xFFu]);
        }
    }
    return slices;
}

constexpr auto kSlices = makeSlices();

unsigned mpegUpdate(unsigned crc, std::uint8_t byte)
{
    crc ^= unsigned { byte } << 8;
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 0x8000u) ? (crc << 1) ^ 0x8005u : crc << 1;
    return crc & 0xFFFFu;
}

// Polynomials below in their natural bit order (bit j = coefficient of x^j), reduced mod P.
constexpr unsigned multiplyModP(unsigned a, unsigned b)
{
    unsigned product = 0;
    for (int bit = 15; bit >= 0; --bit) {
        product <<= 1;
        if (product & 0x10000u)
            product ^= kPoly;
        if ((a >> bit) & 1u)
            product ^= b;
    }
    return product;
}

constexpr unsigned reverse16(unsigned value)
{
    unsigned reversed = 0;
    for (int bit = 0; bit < 16; ++bit)
        reversed |= ((value >> bit) & 1u) << (15 - bit);
    return reversed;
}

#ifdef PARVEX_CRC_CLMUL

constexpr unsigned xPowerModP(int n)
{
    unsigned value = 1;
    for (int i = 0; i < n; ++i) {
        value <<= 1;
        if (value & 0x10000u)
            value ^= kPoly;
    }
    return value;
}

// x^n mod P as PCLMULQDQ multiplies a reflected lane: bit j of the polynomial at bit 63 - j.
constexpr long long laneConstant(int n)
{
    const unsigned value = xPowerModP(n);
    std::uint64_t lane = 0;
    for (int bit = 0; bit < 16; ++bit)
        lane |= std::uint64_t { (value >> bit) & 1u } << (63 - bit);
    return static_cast<long long>(lane);
}

// The product of two reflected 64-bit lanes comes out one place low (bit k holds x^(126-k)
// where a block's bit k is x^(127-k)); the constants make up for it with one power less.
// Folding a block `bits` forward: its first 8 bytes by x^(bits+64), its last 8 by x^bits.
struct FoldConstants
{
    long long first;
    long long last;
};
constexpr FoldConstants foldBy(int bits)
{
    return { laneConstant(bits + 63), laneConstant(bits - 1) };
}
constexpr FoldConstants kFold128 = foldBy(128);

__attribute__((target("pclmul,sse2"))) __m128i fold(__m128i block, __m128i constants, __m128i next)
{
    const __m128i first = _mm_clmulepi64_si128(block, constants, 0x00);
    const __m128i last = _mm_clmulepi64_si128(block, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(first, last), next);
}

__m128i load(const std::uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Four lanes keep the multiplier busy: a fold waits for the one before it in its lane (eight
// measured no faster).
constexpr std::size_t kLanes = 4;
constexpr std::size_t kStride = 16 * kLanes;
constexpr FoldConstants kFoldStride = foldBy(8 * kStride);

// Folds the 16-byte blocks from `at` on into `block`, then the tables finish it and the tail.
__attribute__((target("pclmul,sse2"))) std::uint16_t finishFolding(
    __m128i block, const std::uint8_t* data, std::size_t at, std::size_t bytes)
{
    const __m128i by128 = _mm_set_epi64x(kFold128.last, kFold128.first);
    for (; at + 16 <= bytes; at += 16)
        block = fold(block, by128, load(data + at));
    alignas(16) std::array<std::uint8_t, 16> rest {};
    _mm_store_si128(reinterpret_cast<__m128i*>(rest.data()), block);
    return Crc16ArcSliced(data + at, bytes - at, Crc16ArcSliced(rest.data(), rest.size()));
}

// At least kStride bytes.
__attribute__((target("pclmul,sse2"))) std::uint16_t crcFolded(
    const std::uint8_t* data, std::size_t bytes, std::uint16_t crc)
{
    const __m128i byStride = _mm_set_epi64x(kFoldStride.last, kFoldStride.first);
    const __m128i by128 = _mm_set_epi64x(kFold128.last, kFold128.first);
    __m128i lanes[kLanes];
    for (std::size_t i = 0; i < kLanes; ++i)
        lanes[i] = load(data + 16 * i);
    // A running CRC enters as an XOR over the first two bytes.
    lanes[0] = _mm_xor_si128(lanes[0], _mm_cvtsi32_si128(crc));
    std::size_t at = kStride;
    for (; at + kStride <= bytes; at += kStride) {
        for (std::size_t i = 0; i < kLanes; ++i)
            lanes[i] = fold(lanes[i], byStride, load(data + at + 16 * i));
    }
    __m128i block = lanes[0];
    for (std::size_t i = 1; i < kLanes; ++i)
        block = fold(block, by128, lanes[i]);
    return finishFolding(block, data, at, bytes);
}

// The same four lanes of four blocks each in 512-bit registers (VPCLMULQDQ): 256 bytes a round.
constexpr std::size_t kWideStride = 4 * 64;
constexpr FoldConstants kFoldWide = foldBy(8 * kWideStride);
constexpr FoldConstants kFold512 = foldBy(512);

#define PARVEX_CRC_WIDE_TARGET target("avx512f,vpclmulqdq,pclmul,sse2")

__attribute__((PARVEX_CRC_WIDE_TARGET)) __m512i foldWide(
    __m512i blocks, __m512i constants, __m512i next)
{
    const __m512i first = _mm512_clmulepi64_epi128(blocks, constants, 0x00);
    const __m512i last = _mm512_clmulepi64_epi128(blocks, constants, 0x11);
    return _mm512_xor_si512(_mm512_xor_si512(first, last), next);
}

__attribute__((PARVEX_CRC_WIDE_TARGET)) __m512i broadcast(const FoldConstants& constants)
{
    return _mm512_set_epi64(constants.last, constants.first, constants.last, constants.first,
        constants.last, constants.first, constants.last, constants.first);
}

// At least kWideStride bytes.
__attribute__((PARVEX_CRC_WIDE_TARGET)) std::uint16_t crcFoldedWide(
    const std::uint8_t* data, std::size_t bytes, std::uint16_t crc)
{
    const __m512i byStride = broadcast(kFoldWide);
    __m512i lanes[4];
    for (std::size_t i = 0; i < 4; ++i)
        lanes[i] = _mm512_loadu_si512(data + 64 * i);
    lanes[0] = _mm512_xor_si512(lanes[0], _mm512_zextsi128_si512(_mm_cvtsi32_si128(crc)));
    std::size_t at = kWideStride;
    for (; at + kWideStride <= bytes; at += kWideStride) {
        for (std::size_t i = 0; i < 4; ++i)
            lanes[i] = foldWide(lanes[i], byStride, _mm512_loadu_si512(data + at + 64 * i));
    }
    const __m512i by512 = broadcast(kFold512);
    __m512i blocks = lanes[0];
    for (std::size_t i = 1; i < 4; ++i)
        blocks = foldWide(blocks, by512, lanes[i]);
    const __m128i by128 = _mm_set_epi64x(kFold128.last, kFold128.first);
    alignas(64) std::array<std::uint8_t, 64> four {};
    _mm512_store_si512(four.data(), blocks);
    __m128i block = load(four.data());
    for (std::size_t i = 1; i < 4; ++i)
        block = fold(block, by128, load(four.data() + 16 * i));
    return finishFolding(block, data, at, bytes);
}

bool hasClmul()
{
    static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    return has;
}

bool hasWideClmul()
{
    static const bool has
        = hasClmul() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
    return has;
}

#endif

} // namespace

std::uint16_t Crc16ArcSliced(const std::uint8_t* data, std::size_t bytes, std::uint16_t crc)
{
    unsigned value = crc;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        const std::uint8_t* p = data + i;
        value = kSlices[7][(value ^ p[0]) & 0xFFu] ^ kSlices[6][(value >> 8) ^ p[1]]
            ^ kSlices[5][p[2]] ^ kSlices[4][p[3]] ^ kSlices[3][p[4]] ^ kSlices[2][p[5]]
            ^ kSlices[1][p[6]] ^ kSlices[0][p[7]];
    }
    for (; i < bytes; ++i)
        value = (value >> 8) ^ kSlices[0][(value ^ data[i]) & 0xFFu];
    return static_cast<std::uint16_t>(value);
}

std::uint16_t Crc16Arc(const std::uint8_t* data, std::size_t bytes, std::uint16_t crc)
{
#ifdef PARVEX_CRC_CLMUL
    if (bytes >= kWideStride && hasWideClmul())
        return crcFoldedWide(data, bytes, crc);
    if (bytes >= kStride && hasClmul())
        return crcFolded(data, bytes, crc);
#endif
    return Crc16ArcSliced(data, bytes, crc);
}

// CRC(A·x^(8|B|) + B) = CRC(A)·x^(8|B|) + CRC(B) mod P.
std::uint16_t Crc16ArcCombine(std::uint16_t crcA, std::uint16_t crcB, std::int64_t bytesB)
{
    return static_cast<std::uint16_t>(Crc16ArcShift(crcA, Crc16ArcShiftFactor(bytesB)) ^ crcB);
}

// x^(8 x bytes) mod P by squaring, in the natural bit order.
std::uint16_t Crc16ArcShiftFactor(std::int64_t bytes)
{
    unsigned factor = 1;
    unsigned square = 1u << 8; // x^8
    for (auto n = static_cast<std::uint64_t>(bytes); n != 0; n >>= 1) {
        if (n & 1u)
            factor = multiplyModP(factor, square);
        square = multiplyModP(square, square);
    }
    return static_cast<std::uint16_t>(factor);
}

std::uint16_t Crc16ArcShift(std::uint16_t crc, std::uint16_t factor)
{
    return static_cast<std::uint16_t>(reverse16(multiplyModP(reverse16(crc), factor)));
}

std::uint16_t Crc16Mpeg(
    const std::uint8_t* headerBytes23, const std::uint8_t* sideInfo, std::size_t sideInfoBytes)
{
    unsigned crc = 0xFFFF;
    crc = mpegUpdate(crc, headerBytes23[0]);
    crc = mpegUpdate(crc, headerBytes23[1]);
    for (std::size_t i = 0; i < sideInfoBytes; ++i)
        crc = mpegUpdate(crc, sideInfo[i]);
    return static_cast<std::uint16_t>(crc);
}

} // namespace parvex
