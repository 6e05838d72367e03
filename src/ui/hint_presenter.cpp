// SPDX-License-Identifier: GPL-3.0-or-later
// The Expert's advice for the human's seat, asked for and shown.
#include "ui/hint_presenter.h"

#include "table/computer_seats.h"
#include "ui/card_sprite.h"
#include "ui/hand_keys.h"
#include "ui/language.h"
#include "ui/local_seat.h"
#include "ui/motion.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QComboBox>
#include <QPushButton>

#include <tuple>
#include <type_traits>

namespace halbeet {

namespace {

// How far a hinted card rises out of the hand: a little, so it still reads as part of the fan.
constexpr int HintLift = 10;

QString cardName(TCardFace card)
{
    const ExpertTexts& t = texts().expert;
    if (card.Suite < 1 || card.Suite > 4 || card.Number < 1 || card.Number > 13)
        return {};
    return t.cardName.arg(t.rankNames[static_cast<std::size_t>(card.Number)],
                          t.suitNames[static_cast<std::size_t>(card.Suite)]);
}

} // namespace

HintPresenter::HintPresenter(Context context, QObject* parent) : QObject(parent), m_context(std::move(context))
{
    connect(&m_bidHint, &QFutureWatcher<ExpertBid>::finished, this, [this] { showBidHint(m_bidHint.result()); });
    connect(&m_cardHint, &QFutureWatcher<ExpertCard>::finished, this,
            [this] { showCardHint(m_cardHint.result()); });
}

void HintPresenter::clearHint()
{
    if (m_hintSprite && m_hintSprite->logicalY() == Table::HandTop - HintLift)
        m_hintSprite->moveLogical(m_hintSprite->logicalX(), Table::HandTop);
    m_hintSprite = nullptr;
}

void HintPresenter::withdraw()
{
    clearHint();
    if (m_hintShown) {
        m_context.statusBar.getHintPanel()->setText(texts().flow.EmptyHint);
        m_hintShown = false;
    }
}

void HintPresenter::forget()
{
    m_hintSprite = nullptr;
    m_hintShown = false;
}

void HintPresenter::showHint()
{
    LocalSeat& seat = m_context.seat;
    // Only on the human's own turn, with nothing moving.
    if (!seat.asked() || m_context.tableMoving() || m_bidHint.isRunning() || m_cardHint.isRunning())
        return;
    // The Expert asked on the human's own view of the table: the view he was asked with.
    const TableView view = seat.question();
    if (view.phase == Phase::Bidding && !m_context.table.bidButton()->isVisible())
        return;
    if (view.phase != Phase::Bidding && view.phase != Phase::Playing)
        return;
    m_hintAsked = {m_context.showGeneration(), view.dealsDealt, view.seat.PlayCount, view.phase};
    // Without time (tests) the hint is there when the command returns.
    const bool wait = timeScale() == 0.0;
    if (view.phase == Phase::Bidding) {
        const QFuture<ExpertBid> thinking = ThinkExpertBid(view);
        if (wait)
            showBidHint(thinking.result());
        else
            m_bidHint.setFuture(thinking);
        return;
    }
    // No card is taken while the Expert thinks, so the mark goes away meanwhile.
    m_context.keys.disarm();
    const QFuture<ExpertCard> thinking = ThinkExpertCard(view);
    if (wait)
        showCardHint(thinking.result());
    else
        m_cardHint.setFuture(thinking);
}

bool HintPresenter::hintStillWanted() const
{
    // The position may have moved on while the Expert thought (the bid button, a menu
    // command): the hint then belongs to a moment that is gone.
    const LocalSeat& seat = m_context.seat;
    const TableView& now = seat.question();
    return m_hintAsked.generation == m_context.showGeneration() && seat.asked() && now.phase == m_hintAsked.phase &&
           now.dealsDealt == m_hintAsked.deal && now.seat.PlayCount == m_hintAsked.played;
}

void HintPresenter::showBidHint(const ExpertBid& choice)
{
    if (!hintStillWanted())
        return;
    QComboBox* box = m_context.table.bidBox();
    box->setCurrentIndex(box->findText(QString::number(choice.bid)));
    m_context.statusBar.getHintPanel()->setText(texts().expert.BidHint.arg(choice.bid));
    m_hintShown = true;
}

void HintPresenter::showCardHint(const ExpertCard& choice)
{
    if (!hintStillWanted())
        return;
    m_context.keys.arm();
    clearHint();
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = m_context.table.handSprite(1, k);
        if (sprite->isVisible() && sprite->face() == choice.card && sprite->logicalY() == Table::HandTop) {
            m_hintSprite = sprite;
            sprite->moveLogical(sprite->logicalX(), Table::HandTop - HintLift);
            // Return then plays the hinted card.
            m_context.keys.mark(sprite);
            break;
        }
    }
    const auto why = static_cast<std::size_t>(choice.why);
    const auto& reasons = texts().expert.reasons;
    static_assert(std::tuple_size_v<std::decay_t<decltype(reasons)>> ==
                  static_cast<std::size_t>(ExpertReason::NoReason));
    // A reason is shown only when one is true of the card (NoReason has no text).
    m_context.statusBar.getHintPanel()->setText(why < reasons.size()
                                                    ? texts().expert.CardHint.arg(cardName(choice.card), reasons[why])
                                                    : texts().expert.CardHintPlain.arg(cardName(choice.card)));
    m_hintShown = true;
}

} // namespace halbeet
