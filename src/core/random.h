// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The dealing generator: a 32-bit linear congruential generator whose seed comes from an
// injected source (the clock in the program, a fixed sequence in tests and the simulator).

#include <cstdint>
#include <functional>

namespace halbeet {

using SeedSource = std::function<std::uint32_t()>;

class TRandom {
public:
    explicit TRandom(SeedSource seedSource);

    // s <- s * 134775813 + 1 (mod 2^32), then the high 32 bits of s * n: a value in 0..n-1.
    std::uint32_t Below(std::uint32_t n);
    // s <- the next reading of the seed source.
    void Reseed();

    std::uint32_t state() const { return m_state; }
    void setState(std::uint32_t s) { m_state = s; }

private:
    SeedSource m_seedSource;
    std::uint32_t m_state = 0;
};

// Low 32 bits of a monotonic nanosecond counter: the program's seed source.
std::uint32_t ClockSeed();

} // namespace halbeet
