// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Expert computer player: it decides from its seat's view of the table alone, by dealing
// the unseen cards many ways that agree with what it has seen and playing each choice out.

#include <cstdint>

#include "core/cards.h"
#include "core/seat_view.h"

namespace halbeet {

// Why the Expert chose what it chose, in a few words a window can translate (ExpertReasonCode
// gives a stable text key for each). Each is a fact about the card and the hand that a player
// can check on the table; when none holds, the reason is NoReason and none is shown.
enum class ExpertReason {
    OnlyCard,        // the one card it may play
    WinsTrick,       // takes the trick with a card of the led suit
    Ruffs,           // takes the trick with a trump, out of the led suit
    OverRuffs,       // beats a trump already played with a higher one
    LeavesToPartner, // the partner is winning the trick; plays low
    SavesHighCard,   // cannot or need not win this trick; keeps its high cards
    DiscardsLowest,  // out of the led suit; throws its least useful card
    LeadsWinner,     // leads a card nobody can beat in its suit
    DrawsTrumps,     // leads a master trump to pull the others' trumps
    LeadsLow,        // leads the lowest card it holds in a suit, below the ten
    BidsExpected,    // the bid that paid best over the sampled deals
    BidsLowest,      // the lowest bid its score allows paid best
    CannotWin,       // follows suit where none of its cards of the suit beats the trick
    NoReason,        // none of the above is true of the card
};

const char* ExpertReasonCode(ExpertReason reason);

// How much the Expert may think. The defaults keep a decision within a few milliseconds on one
// core of an ordinary machine (see bench/expert_bench.cpp).
struct ExpertBudget {
    int minSamples = 24;
    int maxSamples = 200;
    // Card plays the play-outs of one card decision may take in all.
    std::int64_t playSteps = 110000;
    int bidSamples = 500;
};

struct ExpertCard {
    TCardFace card{};
    ExpertReason why = ExpertReason::OnlyCard;
    double expected = 0; // mean value over the samples (its side's points, a won game counts 40)
    int samples = 0;
};

struct ExpertBid {
    std::int32_t bid = 0; // stored form: 2..6, 14..26
    ExpertReason why = ExpertReason::BidsExpected;
    double expectedTricks = 0;
};

// The card the seat of the view should play now. The view must be the seat's own, with the seat
// to play (view.SeatToPlay() == view.Seat) and at least one card in hand. The same view and seed
// always give the same card.
ExpertCard ExpertChooseCard(const SeatView& view, std::uint64_t seed,
                            const ExpertBudget& budget = {});

// The stored bid the seat should make, before any card is played; never below the lowest bid
// its score allows (2, from 30 points 3, from 40 points 4).
ExpertBid ExpertChooseBid(const SeatView& view, std::uint64_t seed,
                          const ExpertBudget& budget = {});

// The reason given for playing this card, one of the seat's legal cards, in the view's position.
ExpertReason ExpertReasonFor(const SeatView& view, TCardFace card);

// The cards the seat of the view may play now (follow suit when it can).
std::uint64_t LegalCardMask(const SeatView& view);

} // namespace halbeet
