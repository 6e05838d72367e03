// SPDX-License-Identifier: GPL-3.0-or-later
// The Expert player on the game model.

#include "core/expert/expert_player.h"

namespace halbeet {

std::uint64_t DecisionSeed(const GameModel& game, int seat, std::uint64_t base)
{
    return DecisionSeed(game.dealsDealt(), static_cast<int>(game.plays().size()), seat, base);
}

std::uint64_t DecisionSeed(std::int64_t dealsDealt, int cardsPlayed, int seat, std::uint64_t base)
{
    std::uint64_t h = base * 0x9E3779B97F4A7C15ULL;
    h ^= static_cast<std::uint64_t>(dealsDealt) * 0xBF58476D1CE4E5B9ULL;
    h ^= (static_cast<std::uint64_t>(cardsPlayed) * 4 + static_cast<std::uint64_t>(seat)) *
         0x94D049BB133111EBULL;
    return h;
}

std::int32_t ExpertPlayer::chooseBid(const GameModel& game, int seat)
{
    const ExpertBid choice =
        ExpertChooseBid(ViewOf(game, seat), DecisionSeed(game, seat, m_seed), m_budget);
    m_lastReason = choice.why;
    return choice.bid;
}

TCardFace ExpertPlayer::chooseCard(const GameModel& game, int seat)
{
    const ExpertCard choice =
        ExpertChooseCard(ViewOf(game, seat), DecisionSeed(game, seat, m_seed), m_budget);
    m_lastReason = choice.why;
    return choice.card;
}

} // namespace halbeet
