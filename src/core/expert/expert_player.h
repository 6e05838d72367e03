// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Expert as a player of the game model, and the view of the table the model gives a seat.

#include <cstdint>

#include "core/expert/expert.h"
#include "core/player.h"
#include "core/seat_view.h"

namespace halbeet {

// What seat may know now: its own hand, the bids it has seen, every card played and by whom.
// While bidding, a seat has seen the bids already made by the seats before it in turn order
// (from the seat after the dealer); once the play starts, every bid.
SeatView ViewOf(const GameModel& game, int seat);

// A seed for one decision: the same game position and base seed give the same one, so a hint
// shows what the Expert at that seat would really do.
std::uint64_t DecisionSeed(const GameModel& game, int seat, std::uint64_t base);

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
