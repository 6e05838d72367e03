// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Expert as a player of the game model, and the view of the table the model gives a seat.

#include <cstdint>

#include "core/expert/expert.h"
#include "core/player.h"
#include "core/seat_view.h"

namespace halbeet {


// A seed for one decision: the same game position and base seed give the same one, so a hint
// shows what the Expert at that seat would really do.
std::uint64_t DecisionSeed(const GameModel& game, int seat, std::uint64_t base);
// The same from what the seat itself knows: the deals dealt and the cards played so far.
std::uint64_t DecisionSeed(std::int64_t dealsDealt, int cardsPlayed, int seat, std::uint64_t base);

// The Expert level for a computer seat: it decides from ViewOf and nothing else.
class ExpertPlayer final : public Player {
  public:
    explicit ExpertPlayer(std::uint64_t seed = 0, ExpertBudget budget = {})
        : m_seed(seed), m_budget(budget)
    {
    }

    std::int32_t chooseBid(const GameModel& game, int seat) override;
    TCardFace chooseCard(const GameModel& game, int seat) override;

    // Why the last card or bid was chosen.
    ExpertReason lastReason() const { return m_lastReason; }

  private:
    std::uint64_t m_seed;
    ExpertBudget m_budget;
    ExpertReason m_lastReason = ExpertReason::OnlyCard;
};

} // namespace halbeet
