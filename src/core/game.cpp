// SPDX-License-Identifier: GPL-3.0-or-later
// The game model: phases, legal actions and what each action does to the game.

#include "core/game.h"

#include <algorithm>
#include <utility>

#include "core/deal_cycle.h"
#include "core/scoring.h"
#include "core/seat_view.h"
#include "core/suits.h"
#include "core/trick.h"

namespace halbeet {

namespace {

// The single-player game takes the computer seats' bids as the deal is laid out, then the
// person's. Who sees which bid is a separate question (bidSeenBy).
constexpr std::array<int, 4> kDescribedBidders{2, 3, 4, 1};

} // namespace

const char* BidOrderName(BidOrder order)
{
    switch (order) {
    case BidOrder::Described: return "described";
    case BidOrder::TurnOrder: return "turn-order";
    }
    return "?";
}

const char* PhaseName(Phase phase)
{
    switch (phase) {
    case Phase::NoDeal: return "no-deal";
    case Phase::Bidding: return "bidding";
    case Phase::Playing: return "playing";
    case Phase::TrickComplete: return "trick-complete";
    case Phase::DealOver: return "deal-over";
    case Phase::GameOver: return "game-over";
    }
    return "?";
}

std::array<int, 4> BiddingSeats(BidOrder order, std::int32_t dealerCounter)
{
    if (order == BidOrder::Described)
        return kDescribedBidders;
    std::array<int, 4> seats{};
    int seat = FirstSeat(dealerCounter);
    for (int& next : seats) {
        next = seat;
        seat = NextSeat(seat);
    }
    return seats;
}

GameModel::GameModel(SeedSource seedSource) : m_random(std::move(seedSource))
{
    InitDeck(m_state.Deck);
}

int GameModel::toAct() const { return m_toAct; }

void GameModel::recomputeHeld()
{
    for (std::size_t seat = 1; seat <= 4; ++seat) {
        m_held[seat] = 0;
        for (std::int32_t k = 1; k <= m_state.HandCount[seat]; ++k) {
            const TCardFace card = m_state.Hands[seat][static_cast<std::size_t>(k)];
            if (card.Suite >= 1 && card.Suite <= 4 && card.Number >= 1 && card.Number <= 13)
                m_held[seat] |= std::uint64_t{1} << cardBit(card);
        }
    }
}

bool GameModel::setBidOrder(BidOrder order)
{
    if (order == m_bidOrder)
        return true;
    if (m_phase == Phase::Bidding) {
        for (std::size_t seat = 1; seat <= 4; ++seat) {
            if (m_bidMade[seat])
                return false;
        }
    }
    m_bidOrder = order;
    recomputeToAct();
    return true;
}

void GameModel::recomputeToAct()
{
    m_toAct = 0;
    if (m_phase == Phase::Bidding) {
        for (const int seat : biddingSeats()) {
            if (!m_bidMade[static_cast<std::size_t>(seat)]) {
                m_toAct = seat;
                return;
            }
        }
    } else if (m_phase == Phase::Playing) {
        int seat = m_leader;
        for (int p = 1; p < m_state.TrickPos; ++p)
            seat = NextSeat(seat);
        m_toAct = seat;
    }
}

bool GameModel::bidSeenBy(int viewer, int seat) const
{
    if (viewer < 1 || viewer > 4 || seat < 1 || seat > 4)
        return false;
    if (!m_bidMade[static_cast<std::size_t>(seat)])
        return false;
    // The bidding ends with its fourth bid, so outside it every bid made is on the table.
    if (seat == viewer || m_phase != Phase::Bidding)
        return true;
    // In either order a seat knows only the bids of the seats before it in turn order: in the
    // described order the later seats may have bid already, and stay hidden all the same.
    return BidsSeenBefore(viewer, m_state.DealerCounter)[static_cast<std::size_t>(seat)];
}

std::vector<std::int32_t> GameModel::legalBids(int seat) const
{
    std::vector<std::int32_t> bids;
    if (seat < 1 || seat > 4)
        return bids;
    const std::int32_t lowest = LowestBid(m_state.Scores[static_cast<std::size_t>(seat)]);
    for (const std::int32_t b : kStoredBids) {
        if (b >= lowest)
            bids.push_back(b);
    }
    return bids;
}

bool GameModel::isLegalBid(int seat, std::int32_t bid) const
{
    return seat >= 1 && seat <= 4 && IsStoredBid(bid) &&
           bid >= LowestBid(m_state.Scores[static_cast<std::size_t>(seat)]);
}

bool GameModel::isLegalCard(TCardFace card) const
{
    if (m_phase != Phase::Playing || card.Suite < 1 || card.Suite > 4 || card.Number < 1 || card.Number > 13)
        return false;
    const auto seat = static_cast<std::size_t>(m_toAct);
    if ((m_held[seat] >> cardBit(card) & 1u) == 0)
        return false;
    const std::int32_t led = m_state.Trick[1].Suite;
    return led == 0 || card.Suite == led || m_state.Splits[seat].Counts[static_cast<std::size_t>(led)] == 0;
}

std::vector<TCardFace> GameModel::legalCards() const
{
    std::vector<TCardFace> cards;
    if (m_phase != Phase::Playing)
        return cards;
    const auto seat = static_cast<std::size_t>(m_toAct);
    for (std::int32_t k = 1; k <= m_state.HandCount[seat]; ++k) {
        const TCardFace card = m_state.Hands[seat][static_cast<std::size_t>(k)];
        if (isLegalCard(card))
            cards.push_back(card);
    }
    return cards;
}

bool GameModel::initDeck()
{
    if (m_phase != Phase::NoDeal || m_dealsDealt != 0)
        return false;
    InitDeck(m_state.Deck);
    return true;
}

bool GameModel::startDeal()
{
    const bool ready = m_phase == Phase::NoDeal || (m_phase == Phase::DealOver && (m_passed || m_scored));
    if (!ready)
        return false;
    TGameState& st = m_state;
    DealNewDeal(st, m_random);
    SortHumanHand(st.Hands[1]);
    recomputeHeld();
    st.TricksWon = {};
    m_dealtHands = st.Hands;
    m_bidMade = {};
    m_passed = false;
    m_scored = false;
    m_playCount = 0;
    m_takerCount = 0;
    m_leader = FirstSeat(st.DealerCounter);
    ++m_dealsDealt;
    m_phase = Phase::Bidding;
    recomputeToAct();
    notify({GameEvent::Kind::DealStarted, dealer(), {}, 0});
    return true;
}

bool GameModel::bid(std::int32_t storedBid)
{
    const int seat = m_toAct;
    if (m_phase != Phase::Bidding || !isLegalBid(seat, storedBid))
        return false;
    TGameState& st = m_state;
    st.Bids[static_cast<std::size_t>(seat)] = storedBid;
    m_bidMade[static_cast<std::size_t>(seat)] = true;
    recomputeToAct();
    notify({GameEvent::Kind::BidMade, seat, {}, storedBid});
    if (m_toAct != 0)
        return true;

    const std::int32_t total = st.Bids[1] + st.Bids[2] + st.Bids[3] + st.Bids[4];
    notify({GameEvent::Kind::BidsPublic, 0, {}, total});
    if (total < 11) {
        m_passed = true;
        m_phase = Phase::DealOver;
        notify({GameEvent::Kind::Passed, 0, {}, total});
        return true;
    }
    st.TricksWon = {};
    st.CardsPlayed = 0;
    st.TrickPos = 1;
    m_leader = FirstSeat(st.DealerCounter);
    m_phase = Phase::Playing;
    recomputeToAct();
    return true;
}

bool GameModel::play(TCardFace card)
{
    if (!isLegalCard(card))
        return false;
    TGameState& st = m_state;
    const int seat = m_toAct;
    const std::int32_t position = st.TrickPos;
    CommitCard(st, seat, card);
    m_held[static_cast<std::size_t>(seat)] &= ~(std::uint64_t{1} << cardBit(card));
    m_plays[static_cast<std::size_t>(++m_playCount)] = TTrickCard{card.Suite, card.Number, seat};
    if (position == 4) {
        st.WinningCard = TrickWinner(st.Trick, st.Trump);
        m_phase = Phase::TrickComplete;
        m_toAct = 0;
    } else {
        m_toAct = NextSeat(seat);
    }
    if (!m_listeners.empty()) {
        notify({GameEvent::Kind::CardPlayed, seat, card, position});
        if (position == 4)
            notify({GameEvent::Kind::TrickComplete, st.WinningCard.Seat, {}, 0});
    }
    return true;
}

bool GameModel::takeTrick()
{
    if (m_phase != Phase::TrickComplete)
        return false;
    TGameState& st = m_state;
    const int taker = st.WinningCard.Seat;
    st.Trick = {};
    st.TrickPos = 1;
    const std::int32_t won = ++st.TricksWon[static_cast<std::size_t>(taker)];
    m_takers[static_cast<std::size_t>(++m_takerCount)] = taker;
    m_leader = taker;
    m_phase = st.CardsPlayed >= 52 ? Phase::DealOver : Phase::Playing;
    recomputeToAct();
    notify({GameEvent::Kind::TrickTaken, taker, {}, won});
    return true;
}

bool GameModel::scoreDeal()
{
    if (m_phase != Phase::DealOver || m_passed || m_scored)
        return false;
    TGameState& st = m_state;
    ScoreDeal(st.Scores, st.Bids, st.TricksWon);
    st.GameWinner = FindGameWinner(st.Scores);
    st.ScoreRow = std::min(st.ScoreRow + 1, 8);
    m_scoreRows.push_back(st.Scores);
    m_scored = true;
    notify({GameEvent::Kind::DealScored, 0, {}, 0});
    if (st.GameWinner != 0) {
        m_phase = Phase::GameOver;
        notify({GameEvent::Kind::GameWon, st.GameWinner, {}, 0});
    }
    return true;
}

void GameModel::newGame()
{
    TGameState& st = m_state;
    st.Trick = {};
    st.TrickPos = 1;
    st.Scores = {};
    st.ScoreRow = 1;
    st.GameWinner = 0;
    st.CardsPlayed = 0;
    m_scoreRows.clear();
    m_gameTag.clear();
    m_phase = Phase::NoDeal;
    m_passed = false;
    m_scored = false;
    m_bidMade = {};
    recomputeToAct();
    notify({GameEvent::Kind::NewGame, 0, {}, 0});
}

void GameModel::abandonDeal()
{
    const bool unscored = m_phase == Phase::DealOver && !m_passed && !m_scored;
    if (!dealInProgress() && !unscored)
        return;
    m_state.Trick = {};
    m_state.TrickPos = 1;
    m_phase = Phase::NoDeal;
    m_bidMade = {};
    recomputeToAct();
}

void GameModel::addListener(GameListener* listener)
{
    if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void GameModel::removeListener(GameListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void GameModel::notify(GameEvent event)
{
    for (GameListener* listener : m_listeners)
        listener->gameEvent(*this, event);
}

} // namespace halbeet
