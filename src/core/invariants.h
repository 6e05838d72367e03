// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A watcher for self-play that re-derives, after every card, what the engine's bookkeeping
// claims, by plain means of its own, and stops the run at the first disagreement.

#include <string>

#include "core/selfplay.h"

namespace halbeet {

class InvariantChecker : public PlayObserver {
public:
    bool beforeCard(const TGameState& state, int seat, TCardFace card, const DealRecord& record) override;
    bool afterCard(const TGameState& state, int seat, TCardFace card, const DealRecord& record) override;
    bool afterTrick(const TGameState& state, const TTrickCard& winner, const DealRecord& record) override;
    bool afterDeal(const TGameState& state, const DealRecord& record) override;

    // Empty while every check has held; otherwise what broke.
    const std::string& violation() const { return m_violation; }
    // Whether seat plays by the fixed rules (the default), so that its card must be theirs. A
    // seat of another level is held to the rules of the game only.
    void setClassicSeat(int seat, bool classic) { m_classic[static_cast<std::size_t>(seat)] = classic; }

private:
    bool fail(std::string message);

    std::string m_violation;
    PerSeat<bool> m_classic{false, true, true, true, true};
    bool m_haveScores = false;
    PerSeat<std::int32_t> m_scoresBefore{}; // at the start of the current deal
};

// The taker of the cards lying in trick (positions with Suite 0 skipped), found by giving
// every card a strength: trumps above the led suit, other suits nothing.
TTrickCard PlainTrickWinner(const TTrick& trick, std::int32_t trump);

} // namespace halbeet
