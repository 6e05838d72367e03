// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whole deals with four computer seats, driven through the same game model as the program:
// the same deck handling and dealer rotation, all four bids from the seats' players, thirteen
// tricks, scoring and the end of a game. The simulator and the benchmark drive it; the
// checker watches it.

#include <cstdint>
#include <string>

#include "core/game.h"
#include "core/player.h"
#include "core/random.h"
#include "core/state.h"

namespace halbeet {

// What happened in one deal, kept for the trace and for reporting a broken invariant.
struct DealRecord {
    std::int64_t deal = 0; // counted from 1 over the run, passed deals included
    std::int64_t game = 0; // counted from 1
    int dealer = 0;
    std::int32_t trump = 0;
    TCardFace cut{};
    PerSeat<THand> hands{}; // at the start of play, seat 1 sorted as the game shows it
    PerSeat<std::int32_t> bids{};
    bool passed = false;
    std::array<TTrickCard, 53> plays{}; // 1..playCount in play order
    int playCount = 0;
    std::array<int, 14> takers{}; // 1..takerCount, the seat that took each trick
    int takerCount = 0;
    PerSeat<std::int32_t> tricks{};
    PerSeat<std::int32_t> scores{}; // after the deal; a won game resets them only afterwards
    std::int32_t winner = 0;
};

// Hooks into a running deal. Every hook returns false to stop the run at once.
class PlayObserver {
public:
    virtual ~PlayObserver() = default;
    // The seat has chosen card; nothing has recorded it yet.
    virtual bool beforeCard(const TGameState&, int /*seat*/, TCardFace /*card*/, const DealRecord&)
    {
        return true;
    }
    // The card is recorded in the state and in the deal record.
    virtual bool afterCard(const TGameState&, int /*seat*/, TCardFace /*card*/, const DealRecord&)
    {
        return true;
    }
    // The trick is complete and still on the table; winner is what the deal will count.
    virtual bool afterTrick(const TGameState&, const TTrickCard& /*winner*/, const DealRecord&)
    {
        return true;
    }
    // The deal is over: scored, or passed.
    virtual bool afterDeal(const TGameState&, const DealRecord&) { return true; }
};

enum class DealOutcome { Played, Passed, Stopped };

class SelfPlay {
public:
    // Puts the deck into its initial order; every clock reading comes from seedSource. Every
    // seat plays Classic until setPlayer says otherwise.
    explicit SelfPlay(SeedSource seedSource);

    // The player of a seat (1..4); the caller keeps it alive. nullptr: Classic again.
    void setPlayer(int seat, Player* player);

    // Deals, bids, and plays and scores unless the bids pass. A won game resets the scores
    // before the next deal; the dealer rotation carries on regardless.
    DealOutcome playDeal(PlayObserver* observer = nullptr);

    const GameModel& game() const { return m_game; }
    const TGameState& state() const { return m_game.state(); }
    const DealRecord& lastDeal() const { return m_record; }

private:
    bool playTricks(PlayObserver* observer);
    Player& playerOf(int seat) { return *m_players[static_cast<std::size_t>(seat)]; }

    GameModel m_game;
    ClassicPlayer m_classic;
    PerSeat<Player*> m_players{};
    DealRecord m_record;
    std::int64_t m_deals = 0;
    std::int64_t m_gameNumber = 1;
};

// Appends the deal as one JSON object and a newline, in the simulator's trace format.
void AppendDealJson(std::string& out, const DealRecord& record);

} // namespace halbeet
