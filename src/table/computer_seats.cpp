// SPDX-License-Identifier: GPL-3.0-or-later
// The computer seats: the Expert on the thread pool, the Classic rules on the whole game.

#include "table/computer_seats.h"

#include "core/expert/expert_player.h"

#include <QtConcurrent/QtConcurrentRun>

namespace halbeet {

std::uint64_t ExpertDecisionSeed(const TableView& view)
{
    return DecisionSeed(view.dealsDealt, view.seat.PlayCount, view.seat.Seat, 0);
}

QFuture<ExpertBid> ThinkExpertBid(const TableView& view)
{
    return QtConcurrent::run([seat = view.seat, seed = ExpertDecisionSeed(view)] {
        return ExpertChooseBid(seat, seed);
    });
}

QFuture<ExpertCard> ThinkExpertCard(const TableView& view)
{
    return QtConcurrent::run([seat = view.seat, seed = ExpertDecisionSeed(view)] {
        return ExpertChooseCard(seat, seed);
    });
}

ExpertSeat::~ExpertSeat()
{
    for (QFuture<void>& thinking : m_thinking)
        thinking.waitForFinished();
}

void ExpertSeat::act(const TableView& view, SeatAnswer answer)
{
    std::erase_if(m_thinking, [](const QFuture<void>& thinking) { return thinking.isFinished(); });
    if (m_answerInCall) {
        // Still worked out on the pool, from the same copy of the view; only the wait is here.
        if (view.phase == Phase::Bidding)
            answer(SeatAction::ofBid(ThinkExpertBid(view).result().bid));
        else
            answer(SeatAction::ofCard(ThinkExpertCard(view).result().card));
        return;
    }
    // The answer is handed on from the worker thread; SeatAnswer takes it to the controller's.
    if (view.phase == Phase::Bidding) {
        m_thinking.push_back(ThinkExpertBid(view).then([answer](const ExpertBid& choice) {
            answer(SeatAction::ofBid(choice.bid));
        }));
    } else {
        m_thinking.push_back(ThinkExpertCard(view).then([answer](const ExpertCard& choice) {
            answer(SeatAction::ofCard(choice.card));
        }));
    }
}

void ClassicSeat::act(const TableView& view, SeatAnswer answer)
{
    const int seat = view.seat.Seat;
    if (view.phase == Phase::Bidding)
        answer(SeatAction::ofBid(m_rules.chooseBid(m_game, seat)));
    else
        answer(SeatAction::ofCard(m_rules.chooseCard(m_game, seat)));
}

} // namespace halbeet
