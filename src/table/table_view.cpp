// SPDX-License-Identifier: GPL-3.0-or-later
// Builds one seat's view of a table from the whole game.

#include "table/table_view.h"

#include "core/seat_view.h"

namespace halbeet {

std::vector<TTrickCard> TableView::cardsOnTable() const
{
    const int lying = phase == Phase::TrickComplete ? 4 : seat.PlayCount % 4;
    return {seat.Plays.begin() + (seat.PlayCount - lying), seat.Plays.begin() + seat.PlayCount};
}

std::vector<TTrickCard> TableView::lastTrick() const
{
    const auto taken = static_cast<int>(takers.size());
    if (taken == 0 || taken * 4 > seat.PlayCount)
        return {};
    return {seat.Plays.begin() + (taken - 1) * 4, seat.Plays.begin() + taken * 4};
}

TableView TableViewOf(const GameModel& game, int seat)
{
    TableView v;
    v.seat = ViewOf(game, seat);
    v.phase = game.phase();
    v.toAct = game.toAct();
    v.dealerCounter = game.state().DealerCounter;
    for (int s = 1; s <= 4; ++s) {
        const auto i = static_cast<std::size_t>(s);
        v.bidMade[i] = game.bidMade(s);
        v.handCounts[i] = game.dealInProgress() || game.phase() == Phase::DealOver ? game.state().HandCount[i] : 0;
    }
    if (seat >= 1 && seat <= 4)
        v.ownDealtHand = game.dealtHands()[static_cast<std::size_t>(seat)];
    v.takers.assign(game.takers().begin(), game.takers().end());
    v.scoreRows = game.scoreRows();
    v.passed = game.dealPassed();
    v.scored = game.dealScored();
    v.winner = game.state().GameWinner;
    v.dealsDealt = game.dealsDealt();
    if (v.toAct == seat) {
        if (v.phase == Phase::Bidding)
            v.legalBids = game.legalBids(seat);
        else if (v.phase == Phase::Playing)
            v.legalCards = game.legalCards();
    }
    return v;
}

} // namespace halbeet
