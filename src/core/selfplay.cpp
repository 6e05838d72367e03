// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/selfplay.h"

#include <charconv>
#include <utility>

namespace halbeet {

SelfPlay::SelfPlay(SeedSource seedSource) : m_game(std::move(seedSource))
{
    for (int seat = 1; seat <= 4; ++seat)
        setPlayer(seat, nullptr);
}

void SelfPlay::setPlayer(int seat, Player* player)
{
    if (seat >= 1 && seat <= 4)
        m_players[static_cast<std::size_t>(seat)] = player ? player : &m_classic;
}

bool SelfPlay::playTricks(PlayObserver* observer)
{
    GameModel& game = m_game;
    DealRecord& rec = m_record;
    while (game.phase() == Phase::Playing) {
        const int seat = game.toAct();
        const TCardFace card = playerOf(seat).chooseCard(game, seat);
        if (observer && !observer->beforeCard(game.state(), seat, card, rec))
            return false;
        if (!game.play(card)) {
            // A player that names a card it may not play breaks the run like a broken rule.
            return false;
        }
        rec.plays[++rec.playCount] = TTrickCard{card.Suite, card.Number, seat};
        if (observer && !observer->afterCard(game.state(), seat, card, rec))
            return false;
        if (game.phase() != Phase::TrickComplete)
            continue;
        const TTrickCard winner = game.state().WinningCard;
        rec.takers[++rec.takerCount] = winner.Seat;
        if (observer && !observer->afterTrick(game.state(), winner, rec))
            return false;
        game.takeTrick();
    }
    return game.phase() == Phase::DealOver;
}

DealOutcome SelfPlay::playDeal(PlayObserver* observer)
{
    GameModel& game = m_game;
    DealRecord& rec = m_record;
    game.startDeal();
    while (game.phase() == Phase::Bidding) {
        const int seat = game.toAct();
        if (!game.bid(playerOf(seat).chooseBid(game, seat)))
            return DealOutcome::Stopped;
    }
    const TGameState& st = game.state();

    rec.deal = ++m_deals;
    rec.game = m_gameNumber;
    rec.dealer = game.dealer();
    rec.trump = st.Trump;
    rec.cut = st.CutCard;
    rec.hands = game.dealtHands();
    rec.bids = st.Bids;
    rec.playCount = 0;
    rec.takerCount = 0;
    rec.tricks = PerSeat<std::int32_t>{};
    rec.winner = 0;
    rec.passed = game.dealPassed();
    if (rec.passed) {
        rec.scores = st.Scores;
        return observer && !observer->afterDeal(st, rec) ? DealOutcome::Stopped : DealOutcome::Passed;
    }

    if (!playTricks(observer))
        return DealOutcome::Stopped;

    game.scoreDeal();
    rec.tricks = st.TricksWon;
    rec.scores = st.Scores;
    rec.winner = st.GameWinner;
    const bool keepGoing = !observer || observer->afterDeal(st, rec);
    if (game.phase() == Phase::GameOver) {
        game.newGame();
        ++m_gameNumber;
    }
    return keepGoing ? DealOutcome::Played : DealOutcome::Stopped;
}

namespace {

void AppendInt(std::string& out, std::int64_t value)
{
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

void AppendCard(std::string& out, std::int32_t suit, std::int32_t number)
{
    out += '[';
    AppendInt(out, suit);
    out += ',';
    AppendInt(out, number);
    out += ']';
}

void AppendSeats(std::string& out, const PerSeat<std::int32_t>& values)
{
    out += '[';
    for (int s = 1; s <= 4; ++s) {
        if (s > 1)
            out += ',';
        AppendInt(out, values[s]);
    }
    out += ']';
}

} // namespace

void AppendDealJson(std::string& out, const DealRecord& r)
{
    out += "{\"deal\":";
    AppendInt(out, r.deal);
    out += ",\"game\":";
    AppendInt(out, r.game);
    out += ",\"dealer\":";
    AppendInt(out, r.dealer);
    out += ",\"trump\":";
    AppendInt(out, r.trump);
    out += ",\"cut\":";
    AppendCard(out, r.cut.Suite, r.cut.Number);
    out += ",\"hands\":[";
    for (int s = 1; s <= 4; ++s) {
        if (s > 1)
            out += ',';
        out += '[';
        for (int k = 1; k <= 13; ++k) {
            if (k > 1)
                out += ',';
            AppendCard(out, r.hands[s][k].Suite, r.hands[s][k].Number);
        }
        out += ']';
    }
    out += "],\"bids\":";
    AppendSeats(out, r.bids);
    out += r.passed ? ",\"passed\":true,\"plays\":[" : ",\"passed\":false,\"plays\":[";
    for (int i = 1; i <= r.playCount; ++i) {
        if (i > 1)
            out += ',';
        out += '[';
        AppendInt(out, r.plays[i].Seat);
        out += ',';
        AppendInt(out, r.plays[i].Suite);
        out += ',';
        AppendInt(out, r.plays[i].Number);
        out += ']';
    }
    out += "],\"takers\":[";
    for (int i = 1; i <= r.takerCount; ++i) {
        if (i > 1)
            out += ',';
        AppendInt(out, r.takers[i]);
    }
    out += "],\"tricks\":";
    AppendSeats(out, r.tricks);
    out += ",\"scores\":";
    AppendSeats(out, r.scores);
    out += ",\"winner\":";
    AppendInt(out, r.winner);
    out += "}\n";
}

} // namespace halbeet
