// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The questions the Classic player asks of cards.

#include "core/state.h"

namespace halbeet {

TCardFace HighestInList(const TCardList& list, std::int32_t count);
TCardFace HighestOfSuit(std::int32_t suit, const TSuitSplit& split);
TCardFace LowestInList(const TCardList& list, std::int32_t count);
TCardFace LowestOfSuit(std::int32_t suit, const TSuitSplit& split);
bool HasAce(std::int32_t suit, const TSuitSplit& split);
std::int32_t SuitCount(std::int32_t suit, const std::array<std::int32_t, 5>& counts);
bool IsMasterInList(TCardFace card, const TCardList& list, std::int32_t count);
bool IsMaster(TCardFace card, const TSuitSplit& split);
TCardFace CheapestWinnerInList(TCardFace reference, const TCardList& list, std::int32_t count);
TCardFace CheapestWinner(const TTrickCard& reference, const TSuitSplit& split);
std::int32_t ChooseLeadSuit(std::int32_t trump, const std::array<std::int32_t, 5>& myCounts,
                            const std::array<std::int32_t, 5>& playedCounts);
std::array<std::int32_t, 5> PartnerLeadSuits(std::int32_t trump, const TSuitSplit& partner,
                                             const TSuitSplit& played,
                                             const std::array<std::int32_t, 5>& myCounts,
                                             const std::array<std::int32_t, 5>& nextCounts);

} // namespace halbeet
