// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The computer seats of a table, and the one way the Expert thinks away from the event loop:
// on Qt's thread pool, from a copy of one seat's view.

#include <QFuture>

#include <vector>

#include "core/expert/expert.h"
#include "core/player.h"
#include "table/seat.h"

namespace halbeet {

// The seed of one Expert decision at that view: the same position gives the same decision, so
// a hint shows what the Expert in that seat would really do.
std::uint64_t ExpertDecisionSeed(const TableView& view);

// The Expert's bid or card for the seat of the view, worked out on the thread pool.
QFuture<ExpertBid> ThinkExpertBid(const TableView& view);
QFuture<ExpertCard> ThinkExpertCard(const TableView& view);

// The Expert level: it decides from its seat's view alone, away from the event loop.
class ExpertSeat final : public Seat {
public:
    ExpertSeat() = default;
    // Answers within act(), once the pool has worked the decision out: for a table that runs
    // without time (tests), where nothing may be left to the event loop.
    explicit ExpertSeat(bool answerInCall) : m_answerInCall(answerInCall) {}
    // A decision still being worked out is waited for: its answer may reach nobody after this.
    ~ExpertSeat() override;
    ExpertSeat(const ExpertSeat&) = delete;
    ExpertSeat& operator=(const ExpertSeat&) = delete;

    void act(const TableView& view, SeatAnswer answer) override;
    bool isComputer() const override { return true; }

private:
    // Decisions not yet finished, a withdrawn one among them.
    std::vector<QFuture<void>> m_thinking;
    bool m_answerInCall = false;
};

// The described rule set. It reads what its rules read, the partner's hand by suit among it, so
// it can only sit at a table whose whole game is on this computer; it answers at once.
class ClassicSeat final : public Seat {
public:
    explicit ClassicSeat(const GameModel& game) : m_game(game) {}
    void act(const TableView& view, SeatAnswer answer) override;
    bool isComputer() const override { return true; }

private:
    const GameModel& m_game;
    ClassicPlayer m_rules;
};

} // namespace halbeet
