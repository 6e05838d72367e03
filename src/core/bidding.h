// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Classic computer bid: the points each suit of a hand is worth, and the bid they make.

#include "core/state.h"

namespace halbeet {

std::int32_t SuitBidPoints(const TCardList& list, std::int32_t trump, std::int32_t count);
void ComputerBid(THand hand, std::int32_t trump, std::int32_t& bid, std::int32_t score);

} // namespace halbeet
