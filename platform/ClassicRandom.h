#pragma once

#include <cstdint>

namespace rt {

// The old runtime's random-number generator, reproduced bit for bit: files scrambled
// with its sequence by earlier versions of the program must read back.

// The next number in [0, 1). A negative argument reseeds from its bits first; zero
// repeats the current number without stepping.
float Rnd(float n = 1.0f);

// Replaces the middle bits of the seed with a hash of the value's upper 32 bits; the
// seed is not stepped.
void Randomize(double value);

// The generator as the program starts (tests run several sequences in one process).
void ResetRnd();
std::uint32_t RndSeed();

} // namespace rt
