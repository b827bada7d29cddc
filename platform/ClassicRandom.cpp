#include "platform/ClassicRandom.h"

#include <bit>

namespace rt {

namespace {

constexpr std::uint32_t startSeed = 0x50000;
constexpr std::uint32_t mask24 = 0xFFFFFF;

std::uint32_t& seed() {
    static std::uint32_t value = startSeed;
    return value;
}

void step() {
    seed() = (seed() * 0x43FD43FDu + 0xC39EC3u) & mask24;
}

} // namespace

float Rnd(float n) {
    if (n < 0.0f) {
        const std::uint32_t b = std::bit_cast<std::uint32_t>(n);
        seed() = (b + (b >> 24)) & mask24;
    }
    if (n != 0.0f)
        step();
    // 24 bits fit a float's mantissa: the quotient is exact.
    return static_cast<float>(seed()) / 16777216.0f;
}

void Randomize(double value) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const std::uint32_t hi = static_cast<std::uint32_t>(bits >> 32);
    const std::uint32_t h = (hi ^ (hi >> 16)) & 0xFFFF;
    seed() = (seed() & 0xFF0000FFu) | (h << 8);
}

void ResetRnd() {
    seed() = startSeed;
}

std::uint32_t RndSeed() {
    return seed();
}

} // namespace rt
