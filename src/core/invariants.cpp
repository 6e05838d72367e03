// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/invariants.h"

#include <bit>
#include <cstdint>
#include <utility>

#include "core/bids.h"
#include "core/computer_play.h"
#include "core/trick.h"

namespace halbeet {

namespace {

bool IsCard(TCardFace c)
{
    return c.Suite >= 1 && c.Suite <= 4 && c.Number >= 1 && c.Number <= 13;
}

std::uint64_t Bit(TCardFace c)
{
    return std::uint64_t{1} << ((c.Suite - 1) * 13 + (c.Number - 1));
}

std::string CardText(std::int32_t suit, std::int32_t number)
{
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a chain of operator+
    // that starts with a short literal.
    std::string text(1, '(');
    text += std::to_string(suit);
    text += ',';
    text += std::to_string(number);
    text += ')';
    return text;
}

std::string CardText(TCardFace c) { return CardText(c.Suite, c.Number); }

// Collects a set of cards, noting anything that is not a card or comes twice.
struct CardSet {
    std::uint64_t bits = 0;
    int size = 0;
    bool bad = false;

    void add(TCardFace c)
    {
        if (!IsCard(c) || (bits & Bit(c)) != 0) {
            bad = true;
            return;
        }
        bits |= Bit(c);
        ++size;
    }
};

// The cards of a split, or bad when a list holds a card of another suit.
CardSet SplitCards(const TSuitSplit& split)
{
    CardSet set;
    for (std::int32_t s = 1; s <= 4; ++s) {
        if (split.Counts[s] < 0 || split.Counts[s] > 13) {
            set.bad = true;
            continue;
        }
        for (std::int32_t k = 1; k <= split.Counts[s]; ++k) {
            if (split.Lists[s][k].Suite != s)
                set.bad = true;
            set.add(split.Lists[s][k]);
        }
    }
    return set;
}

} // namespace

TTrickCard PlainTrickWinner(const TTrick& trick, std::int32_t trump)
{
    const std::int32_t led = trick[1].Suite;
    TTrickCard best{};
    int bestStrength = -1;
    for (int p = 1; p <= 4; ++p) {
        const TTrickCard& c = trick[p];
        if (c.Suite == 0)
            continue;
        const int rank = c.Number == 1 ? 14 : c.Number;
        const int strength = c.Suite == trump ? 100 + rank : c.Suite == led ? rank : 0;
        if (strength > bestStrength) {
            bestStrength = strength;
            best = c;
        }
    }
    return best;
}

bool InvariantChecker::fail(std::string message)
{
    m_violation = std::move(message);
    return false;
}

bool InvariantChecker::beforeCard(const TGameState& st, int seat, TCardFace card, const DealRecord&)
{
    const std::string who = "seat " + std::to_string(seat);
    if (!IsHeldCard(st, seat, card))
        return fail(who + " plays " + CardText(card) + ", which it does not hold");
    if (st.TrickPos > 1 && seat != NextSeat(st.Trick[st.TrickPos - 1].Seat))
        return fail(who + " plays out of turn");

    const std::int32_t led = st.Trick[1].Suite;
    if (led != 0 && card.Suite != led) {
        for (std::int32_t k = 1; k <= st.HandCount[seat]; ++k) {
            if (st.Hands[seat][k].Suite == led)
                return fail(who + " plays " + CardText(card) + " while holding " +
                            CardText(st.Hands[seat][k]) + " of the led suit");
        }
    }
    if (!m_classic[static_cast<std::size_t>(seat)])
        return true;
    const TCardFace byRules = ChooseByRules(st, ProfileOf(seat));
    if (byRules != card)
        return fail(who + ": the rules named " + CardText(byRules) +
                    ", not a card of its hand, and it fell back to " + CardText(card));
    return true;
}

bool InvariantChecker::afterCard(const TGameState& st, int, TCardFace, const DealRecord& rec)
{
    CardSet all;
    for (int seat = 1; seat <= 4; ++seat) {
        const std::string who = "seat " + std::to_string(seat);
        const std::int32_t count = st.HandCount[seat];
        if (count < 0 || count > 13)
            return fail(who + " has a hand count of " + std::to_string(count));
        CardSet hand;
        for (int k = 1; k <= 13; ++k) {
            const TCardFace c = st.Hands[seat][k];
            if (k <= count) {
                hand.add(c);
                all.add(c);
            } else if (c != NoCard) {
                return fail(who + " holds " + CardText(c) + " in slot " + std::to_string(k) +
                            " beyond its count " + std::to_string(count));
            }
        }
        if (hand.bad)
            return fail(who + "'s hand holds an empty slot or a card twice");
        const CardSet split = SplitCards(st.Splits[seat]);
        if (split.bad || split.size != count || split.bits != hand.bits)
            return fail(who + "'s split disagrees with its hand");
    }

    CardSet plays;
    for (int i = 1; i <= rec.playCount; ++i)
        plays.add(TCardFace{rec.plays[i].Suite, rec.plays[i].Number});
    const CardSet played = SplitCards(st.PlayedCards);
    if (plays.bad || played.bad || played.bits != plays.bits || played.size != rec.playCount)
        return fail("PlayedCards disagrees with the cards played");
    if (st.CardsPlayed != rec.playCount)
        return fail("CardsPlayed is " + std::to_string(st.CardsPlayed) + " after " +
                    std::to_string(rec.playCount) + " cards");

    for (int i = 1; i <= rec.playCount; ++i)
        all.add(TCardFace{rec.plays[i].Suite, rec.plays[i].Number});
    if (all.bad || all.size != 52)
        return fail("the hands and the cards played do not hold 52 distinct cards");

    // The trick on the table is the tail of the plays.
    const int inTrick = (rec.playCount - 1) % 4 + 1;
    for (int p = 1; p <= 4; ++p) {
        const TTrickCard expected = p <= inTrick ? rec.plays[rec.playCount - inTrick + p] : TTrickCard{};
        if (st.Trick[p] != expected)
            return fail("trick position " + std::to_string(p) + " disagrees with the plays");
    }
    if (st.TrickPos != inTrick % 4 + 1)
        return fail("TrickPos is " + std::to_string(st.TrickPos) + " with " + std::to_string(inTrick) +
                    " cards in the trick");

    const TTrickCard engine = TrickWinner(st.Trick, st.Trump);
    if (engine != PlainTrickWinner(st.Trick, st.Trump))
        return fail("TrickWinner names seat " + std::to_string(engine.Seat) + " with " +
                    CardText(engine.Suite, engine.Number) + ", a plain count disagrees");
    return true;
}

bool InvariantChecker::afterTrick(const TGameState& st, const TTrickCard& winner, const DealRecord&)
{
    if (winner != PlainTrickWinner(st.Trick, st.Trump))
        return fail("the trick was given to seat " + std::to_string(winner.Seat) +
                    ", a plain count disagrees");
    return true;
}

bool InvariantChecker::afterDeal(const TGameState& st, const DealRecord& rec)
{
    // Scores carry over between deals of a game, so the checker keeps what it saw last; a run
    // starts from nothing.
    if (rec.deal == 1) {
        m_haveScores = true;
        m_scoresBefore = PerSeat<std::int32_t>{};
    }
    PerSeat<std::int32_t> expected = m_scoresBefore;
    if (!rec.passed) {
        if (rec.playCount != 52 || rec.takerCount != 13)
            return fail("the deal ended after " + std::to_string(rec.playCount) + " cards");
        PerSeat<std::int32_t> taken{};
        for (int t = 1; t <= 13; ++t)
            ++taken[rec.takers[t]];
        if (taken != st.TricksWon || taken[1] + taken[2] + taken[3] + taken[4] != 13)
            return fail("the tricks won do not add up to the thirteen tricks taken");
        for (int s = 1; s <= 4; ++s) {
            expected[s] += BidScore(rec.bids[s], taken[s]);
        }
    }
    if (m_haveScores && expected != rec.scores)
        return fail("the scores after the deal disagree with the bids and the tricks");
    m_haveScores = true;
    m_scoresBefore = rec.winner != 0 ? PerSeat<std::int32_t>{} : rec.scores;
    return true;
}

} // namespace halbeet
