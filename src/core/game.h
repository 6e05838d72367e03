// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game model: the one place where a game and its deals progress. It owns the state, the
// deck and the dealing generator, knows the phase and the seat to act, lists that seat's
// legal actions, applies an action and reports what the action caused. Front ends (the
// window, the simulator, the tests) drive it; players choose actions for it (core/player.h).

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/random.h"
#include "core/state.h"

namespace halbeet {

enum class Phase {
    NoDeal,        // before the first deal, and after New Game until the next deal
    Bidding,       // the four seats bid, in the game's bidding order (BidOrder)
    Playing,       // toAct() plays a card
    TrickComplete, // four cards lie on the table; takeTrick() next
    DealOver,      // thirteen tricks taken (scoreDeal() next), or the deal passed, or scored
    GameOver,      // the deal just scored won the game; newGame() next
};

// Who bids when. Described: the computer seats (2, 3, 4) and then the person in seat 1, who
// sees the bids of the seats before him in turn order; the single-player game and the simulator
// play this way. TurnOrder: every seat in turn from the seat after the dealer, for a table of
// several people, where each hears the bids before his own and the later ones only once all
// four are in. Either way the bids are settled the same: thrown in under 11, otherwise the seat
// after the dealer leads.
enum class BidOrder { Described, TurnOrder };

const char* BidOrderName(BidOrder order);
// The seats in the order they bid in a deal, given the dealer counter that deal left behind.
std::array<int, 4> BiddingSeats(BidOrder order, std::int32_t dealerCounter);

// What an action caused, for a front end to show and for observers to record.
struct GameEvent {
    enum class Kind {
        DealStarted,   // seat: the dealer
        BidMade,       // seat, value: the stored bid
        BidsPublic,    // every bid is shown; the deal is played (see Passed)
        Passed,        // the bids total under 11; nothing is played or scored
        CardPlayed,    // seat, card, value: its position in the trick (1..4)
        TrickComplete, // seat: the seat that will take it
        TrickTaken,    // seat: the taker; value: its tricks in this deal
        DealScored,    // the scores have moved
        GameWon,       // seat: the winner (after DealScored)
        NewGame,       // scores and the score sheet reset; the dealer rotation goes on
    };
    Kind kind{};
    int seat = 0;
    TCardFace card{};
    std::int32_t value = 0;
};

class GameModel;

// Watches every event of a game (statistics, announcements, traces).
class GameListener {
public:
    virtual ~GameListener() = default;
    virtual void gameEvent(const GameModel& game, const GameEvent& event) = 0;
};

class GameModel {
public:
    // Puts the deck into its initial order; every clock reading comes from seedSource.
    explicit GameModel(SeedSource seedSource);

    const TGameState& state() const { return m_state; }
    // Direct access for tests and tools that arrange a position (bids, scores, the dealer)
    // before continuing; the game's own progress never goes through it, and the cards in
    // the hands are not to be changed through it.
    TGameState& arrange() { return m_state; }

    Phase phase() const { return m_phase; }
    // The seat whose action is awaited: a bidder while bidding, a player while playing;
    // 0 when the next step is the game's own (takeTrick, scoreDeal, a new deal).
    int toAct() const;
    bool dealInProgress() const { return m_phase == Phase::Bidding || m_phase == Phase::Playing ||
                                         m_phase == Phase::TrickComplete; }
    bool dealPassed() const { return m_passed; }
    bool dealScored() const { return m_scored; }
    int dealer() const { return DealerSeat(m_state.DealerCounter); }
    // The seat that leads (led) the current trick.
    int leader() const { return m_leader; }
    // The seat that takes the complete trick on the table (TrickComplete only).
    int trickTaker() const { return m_phase == Phase::TrickComplete ? m_state.WinningCard.Seat : 0; }
    // Whether viewer may know seat's bid now: his own once made; while the bidding goes on,
    // those of the seats before him in turn order (from the seat after the dealer) that have
    // bid; once the last bid is made, all four.
    bool bidSeenBy(int viewer, int seat) const;
    // Whether seat's bid is already known to the person in seat 1.
    bool bidPublic(int seat) const { return bidSeenBy(1, seat); }
    bool bidMade(int seat) const { return m_bidMade[static_cast<std::size_t>(seat)]; }

    BidOrder bidOrder() const { return m_bidOrder; }
    // The seats in the order they bid in this deal (from the dealer the deal left behind).
    std::array<int, 4> biddingSeats() const
    {
        return BiddingSeats(m_bidOrder, m_state.DealerCounter);
    }
    // Chooses the bidding order, from the deal in progress when nobody has bid in it yet; kept
    // across New Game and in the save. Refused (false, nothing changes) once a bid of the deal
    // in progress is made, since the seats that have bid must stay the first ones of the order.
    bool setBidOrder(BidOrder order);

    // Legal actions. The lowest bid rises with the bidder's score (LowestBid in bids.h).
    std::vector<std::int32_t> legalBids(int seat) const;
    bool isLegalBid(int seat, std::int32_t bid) const;
    // The follow-suit rule for the seat to act: a card of the led suit when it holds one.
    bool isLegalCard(TCardFace card) const;
    std::vector<TCardFace> legalCards() const;

    // Actions. Each one is refused (returns false, changes nothing) when it is not legal now.
    // Puts the deck into its initial order; only before any deal.
    bool initDeck();
    // Deals a new deal: before the first deal, after New Game, after a passed or scored deal.
    bool startDeal();
    // The bid of toAct(). The fourth bid settles the deal: BidsPublic and play, or Passed.
    bool bid(std::int32_t storedBid);
    // The card of toAct().
    bool play(TCardFace card);
    // The complete trick goes to its taker, who leads next; after the 13th the deal is over.
    bool takeTrick();
    // Scores the deal once; the game may be won.
    bool scoreDeal();
    // Scores to 0, the trick and the score sheet cleared, in any phase; the dealer rotation
    // goes on. The next step is startDeal().
    void newGame();
    // Throws in a deal that has not been scored, without scoring it, so that another can be
    // dealt; the scores and the sheet stay. Nothing happens between deals or after a win.
    void abandonDeal();

    // The deal so far: every card in play order with its seat, and each trick's taker.
    std::span<const TTrickCard> plays() const { return {m_plays.data() + 1, std::size_t(m_playCount)}; }
    std::span<const int> takers() const { return {m_takers.data() + 1, std::size_t(m_takerCount)}; }
    // The hands as they were dealt (seat 1 sorted as the game shows it).
    const PerSeat<THand>& dealtHands() const { return m_dealtHands; }
    // The running scores after each scored deal of this game, oldest first.
    const std::vector<PerSeat<std::int32_t>>& scoreRows() const { return m_scoreRows; }
    // Deals dealt since the program started or the save was made; passed ones included.
    std::int64_t dealsDealt() const { return m_dealsDealt; }

    // Takes a fresh reading of the clock into the generator (the program does it once at start).
    void reseed() { m_random.Reseed(); }

    // A name the front end gives the game in progress (the statistics' game id); saved with
    // the game and emptied by newGame().
    const std::string& gameTag() const { return m_gameTag; }
    void setGameTag(std::string tag) { m_gameTag = std::move(tag); }

    void setPlayDelay(std::int32_t ms) { m_state.PlayDelay = ms; }
    void setTrickPause(std::int32_t ms) { m_state.TrickPause = ms; }

    void addListener(GameListener* listener);
    void removeListener(GameListener* listener);

    // The whole game as a small versioned JSON text, in any phase.
    std::string save() const;
    // Why a saved text was refused: for the player, the kind; for a log, the detail.
    enum class LoadProblem { None, NotASave, NewerVersion, Damaged };
    // Replaces this game by a saved one. A text from a newer version, a damaged one, or one
    // whose cards do not make one deck is refused with the reason, and nothing changes.
    bool load(std::string_view text, std::string* error = nullptr, LoadProblem* problem = nullptr);

    static constexpr int SaveVersion = 1;

private:
    void notify(GameEvent event);
    void recomputeToAct();
    void recomputeHeld();
    static int cardBit(TCardFace card) { return (card.Suite - 1) * 13 + (card.Number - 1); }

    TGameState m_state;
    TRandom m_random;
    Phase m_phase = Phase::NoDeal;
    BidOrder m_bidOrder = BidOrder::Described;
    int m_toAct = 0;
    // Bit cardBit(c) of m_held[seat]: the seat holds c. The legality test of every card
    // played costs one look-up instead of a walk through the hand.
    PerSeat<std::uint64_t> m_held{};
    int m_leader = 0;
    bool m_passed = false;
    bool m_scored = false;
    PerSeat<bool> m_bidMade{};
    std::array<TTrickCard, 53> m_plays{}; // 1..m_playCount
    int m_playCount = 0;
    std::array<int, 14> m_takers{}; // 1..m_takerCount
    int m_takerCount = 0;
    PerSeat<THand> m_dealtHands{};
    std::vector<PerSeat<std::int32_t>> m_scoreRows;
    std::int64_t m_dealsDealt = 0;
    std::string m_gameTag;
    std::vector<GameListener*> m_listeners;

    friend class GameSaveCodec;
};

const char* PhaseName(Phase phase);

} // namespace halbeet
