// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/random.h"

#include <chrono>
#include <utility>

namespace halbeet {

TRandom::TRandom(SeedSource seedSource) : m_seedSource(std::move(seedSource)) {}

std::uint32_t TRandom::Below(std::uint32_t n)
{
    m_state = m_state * 134775813u + 1u; // unsigned arithmetic wraps mod 2^32
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(m_state) * n) >> 32);
}

void TRandom::Reseed()
{
    m_state = m_seedSource();
}

std::uint32_t ClockSeed()
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ns.count()));
}

} // namespace halbeet
