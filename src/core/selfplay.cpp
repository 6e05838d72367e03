#include "core/selfplay.h"

#include <charconv>
#include <utility>

#include "core/analysis.h"
#include "core/bidding.h"
#include "core/computer_play.h"
#include "core/deal_cycle.h"
#include "core/scoring.h"
#include "core/suits.h"

namespace halbeet {

SelfPlay::SelfPlay(SeedSource seedSource) : m_random(std::move(seedSource))
{
    InitDeck(m_state.Deck);
}

void SelfPlay::deal()
{
    TGameState& st = m_state;
    DealNewDeal(st, m_random);
    st.TricksWon = {};
    st.GameWinner = 0;
    for (const int seat : {2, 3, 4, 1})
        ComputerBid(st.Hands[seat], st.Trump, st.Bids[seat], st.Scores[seat]);
    SortHumanHand(st.Hands[1]);
}

bool SelfPlay::playTricks(PlayObserver* observer)
{
    TGameState& st = m_state;
    DealRecord& rec = m_record;
    int leader = FirstSeat(st.DealerCounter);
    for (int trick = 1; trick <= 13; ++trick) {
        int seat = leader;
        for (int n = 0; n < 4; ++n, seat = NextSeat(seat)) {
            const TCardFace card = ChooseComputerCard(st, ProfileOf(seat));
            if (observer && !observer->beforeCard(st, seat, card, rec))
                return false;
            CommitCard(st, seat, card);
            rec.plays[++rec.playCount] = TTrickCard{card.Suite, card.Number, seat};
            if (observer && !observer->afterCard(st, seat, card, rec))
                return false;
        }
        const TTrickCard winner = TrickWinner(st.Trick, st.Trump);
        rec.takers[++rec.takerCount] = winner.Seat;
        if (observer && !observer->afterTrick(st, winner, rec))
            return false;
        st.WinningCard = winner;
        st.Trick.fill(TTrickCard{});
        st.TrickPos = 1;
        ++st.TricksWon[winner.Seat];
        leader = winner.Seat;
    }
    return true;
}

DealOutcome SelfPlay::playDeal(PlayObserver* observer)
{
    TGameState& st = m_state;
    DealRecord& rec = m_record;
    deal();

    rec.deal = ++m_deals;
    rec.game = m_game;
    rec.dealer = DealerSeat(st.DealerCounter);
    rec.trump = st.Trump;
    rec.cut = st.CutCard;
    rec.hands = st.Hands;
    rec.bids = st.Bids;
    rec.playCount = 0;
    rec.takerCount = 0;
    rec.tricks = PerSeat<std::int32_t>{};
    rec.winner = 0;

    const std::int32_t total = st.Bids[1] + st.Bids[2] + st.Bids[3] + st.Bids[4];
    rec.passed = total < 11;
    if (rec.passed) {
        rec.scores = st.Scores;
        return observer && !observer->afterDeal(st, rec) ? DealOutcome::Stopped : DealOutcome::Passed;
    }

    if (!playTricks(observer))
        return DealOutcome::Stopped;

    ScoreDeal(st.Scores, st.Bids, st.TricksWon);
    st.GameWinner = FindGameWinner(st.Scores);
    rec.tricks = st.TricksWon;
    rec.scores = st.Scores;
    rec.winner = st.GameWinner;
    const bool keepGoing = !observer || observer->afterDeal(st, rec);
    if (st.GameWinner != 0) {
        st.Scores = PerSeat<std::int32_t>{};
        ++m_game;
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
