// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Hint: what the Expert would do in the human's seat, shown and never done. A bid is chosen in
// the bid list, a card raised a little out of the hand; the status bar says why.

#include "core/expert/expert.h"
#include "table/seat.h"

#include <QFutureWatcher>
#include <QObject>

#include <cstdint>
#include <functional>

namespace halbeet {

class CardSprite;
class HandKeys;
class LocalSeat;
class Table;
class StatusBar;

// The Expert thinks off the event loop when the table runs in time; a hint that comes back
// after the position has moved on (a step shown, a New Game) is dropped.
class HintPresenter : public QObject {
public:
    struct Context {
        LocalSeat& seat;
        Table& table;
        StatusBar& statusBar;
        HandKeys& keys;
        // Something on the table moves or is being shown: no hint then.
        std::function<bool()> tableMoving;
        // Counts the table's layouts given up (New Game, a close): a hint of an earlier one is stale.
        std::function<std::uint64_t()> showGeneration;
    };

    HintPresenter(Context context, QObject* parent);

    // Asks the Expert, on the human's own turn only. Without time the hint is there on return.
    void showHint();
    // Puts the hinted card back into line with the others.
    void clearHint();
    // The human acted: the raised card goes back, and the hint panel's text goes.
    void withdraw();
    // The table was laid out afresh: the raised card and the hint's text are gone with it.
    void forget();

private:
    bool hintStillWanted() const;
    void showBidHint(const ExpertBid& choice);
    void showCardHint(const ExpertCard& choice);

    Context m_context;
    // The Expert working out a hint, and the moment it was asked for.
    QFutureWatcher<ExpertBid> m_bidHint;
    QFutureWatcher<ExpertCard> m_cardHint;
    struct HintMoment {
        std::uint64_t generation = 0;
        std::int64_t deal = 0;
        int played = 0;
        Phase phase = Phase::NoDeal;
    } m_hintAsked;
    // The card a hint raised out of the hand, and whether the hint panel shows a hint.
    CardSprite* m_hintSprite = nullptr;
    bool m_hintShown = false;
};

} // namespace halbeet
