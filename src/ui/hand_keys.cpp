// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's mark on the human's hand and the keys that move and play it.
#include "ui/hand_keys.h"

#include "ui/arabic_style.h"
#include "ui/card_sprite.h"
#include "ui/table.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QPainter>
#include <QPushButton>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

namespace halbeet {

FocusRing::FocusRing(QWidget* table) : QWidget(table)
{
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusRing::follow(QWidget* widget)
{
    if (m_target == widget)
        return;
    if (m_target)
        m_target->removeEventFilter(this);
    m_target = widget;
    if (m_target)
        m_target->installEventFilter(this);
    place();
}

void FocusRing::place()
{
    if (!m_target || !m_target->isVisible() || !m_target->isEnabled()) {
        hide();
        return;
    }
    // Around the control, from its own size, so it follows the table when it scales.
    const int gap = std::max(3, m_target->height() / 7);
    setGeometry(m_target->geometry().adjusted(-gap, -gap, gap, gap));
    stackUnder(m_target);
    // Read as the control it surrounds.
    const QString name = m_target->accessibleName();
    setAccessibleName(name.isEmpty() ? m_target->property("text").toString() : name);
    show();
    update();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::EnabledChange:
            place();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal line = std::max<qreal>(2.0, height() / 12.0);
    const QRectF ring = QRectF(rect()).adjusted(line / 2, line / 2, -line / 2, -line / 2);
    painter.setPen(QPen(QColor(255, 196, 0), line));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(ring, line * 2, line * 2);
}

CardMark::CardMark(QWidget* table) : QWidget(table)
{
    setObjectName(QStringLiteral("CardMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

int CardMark::barFor(int cardHeight) { return std::max(4, cardHeight / 14); }

void CardMark::paintEvent(QPaintEvent* /*event*/)
{
    // Only the bars: the rest of the widget lies under the card and must let the fan show.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal edge = std::max<qreal>(1.0, m_bar / 4.0);
    painter.setPen(QPen(QColor(20, 20, 90), edge));
    painter.setBrush(QColor(255, 196, 0));
    const qreal inset = edge / 2;
    const QRectF top(inset, inset, width() - 2 * inset, m_bar - 2 * inset);
    const qreal radius = m_bar / 3.0;
    painter.drawRoundedRect(top, radius, radius);
    painter.drawRoundedRect(top.translated(0, height() - m_bar), radius, radius);
}

HandKeys::HandKeys(Table& table, QWidget& window, std::function<bool()> canPlay,
                   std::function<bool(const CardSprite*)> inHand, std::function<void(CardSprite*)> play)
    : QObject(&window), m_table(table), m_window(window), m_canPlay(std::move(canPlay)),
      m_inHand(std::move(inHand)), m_play(std::move(play))
{
    // Keys that no widget of the window took (the hand's cards take none) end at the window.
    m_window.installEventFilter(this);
    m_ring = new FocusRing(&m_table);
    m_cardMark = new CardMark(&m_table);
    // The pointer coming onto the hand puts the fan back in order before any click.
    for (int k = 1; k <= 13; ++k)
        m_table.handSprite(1, k)->installEventFilter(this);
    // Tied to the ring, not to this object: the table and its ring go first when the window is
    // destroyed, and the focus still moves while the rest of the window's children go.
    connect(qApp, &QApplication::focusChanged, m_ring,
            [ring = m_ring, table = &m_table](QWidget*, QWidget* now) {
                const bool control = now && (now == table->bidBox() || now == table->bidButton());
                ring->follow(control ? now : nullptr);
            });
}

std::vector<CardSprite*> HandKeys::cardsOnScreen() const
{
    std::vector<CardSprite*> cards;
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = m_table.handSprite(1, k);
        if (sprite && sprite->isVisible() && m_inHand(sprite))
            cards.push_back(sprite);
    }
    // By the place on the screen, not by slot: the arrow points the way the mark moves,
    // whichever way the fan is laid out.
    std::stable_sort(cards.begin(), cards.end(), [](const CardSprite* a, const CardSprite* b) {
        return a->geometry().center().x() < b->geometry().center().x();
    });
    return cards;
}

void HandKeys::restack(CardSprite* sprite)
{
    // Back into the fan, where each card lies over its left neighbour: under the nearest card
    // to its right that is still in the hand. A played card parked hidden at its place may lie
    // anywhere in the stack, so it is no guide.
    int slot = 0;
    for (int k = 1; k <= 13; ++k)
        if (m_table.handSprite(1, k) == sprite)
            slot = k;
    if (slot == 0)
        return;
    for (int k = slot + 1; k <= 13; ++k) {
        CardSprite* right = m_table.handSprite(1, k);
        if (right->isVisible() && m_inHand(right)) {
            sprite->stackUnder(right);
            return;
        }
    }
    sprite->raise();
}

void HandKeys::show(CardSprite* sprite)
{
    if (m_marked && m_marked != sprite) {
        m_marked->setFocusMark(false);
        restack(m_marked);
    }
    m_marked = sprite;
    if (!sprite)
        return;
    const auto cards = cardsOnScreen();
    const auto at = std::find(cards.begin(), cards.end(), sprite);
    if (at != cards.end())
        m_place = static_cast<int>(at - cards.begin());
    sprite->setFocusMark(m_armed);
    // The marked card stays in its place in the fan: brought to the front it would cover the
    // ranks of the cards to its right.
    if (m_armed)
        sprite->setFocus(Qt::OtherFocusReason);
    placeMark();
}

void HandKeys::placeMark()
{
    CardSprite* sprite = m_marked;
    if (!sprite || !sprite->focusMarkShown()) {
        m_cardMark->hide();
        return;
    }
    // The part of the card the fan shows: up to the next card to its right that lies over it.
    const QRect card = sprite->geometry();
    int shown = card.width();
    for (CardSprite* other : cardsOnScreen()) {
        const QRect r = other->geometry();
        if (other != sprite && r.intersects(card) && r.left() > card.left())
            shown = std::min(shown, r.left() - card.left());
    }
    const int bar = CardMark::barFor(card.height());
    m_cardMark->setBar(bar);
    m_cardMark->setGeometry(card.left(), card.top() - bar, shown, card.height() + 2 * bar);
    m_cardMark->stackUnder(sprite);
    // Read as the card it marks.
    m_cardMark->setAccessibleName(sprite->accessibleName());
    m_cardMark->show();
    m_cardMark->update();
}

void HandKeys::arm()
{
    if (!m_canPlay())
        return;
    const auto cards = cardsOnScreen();
    if (cards.empty())
        return;
    m_armed = true;
    CardSprite* target = m_marked;
    if (!target || std::find(cards.begin(), cards.end(), target) == cards.end())
        target = cards[static_cast<std::size_t>(std::clamp(m_place, 0, static_cast<int>(cards.size()) - 1))];
    show(target);
}

void HandKeys::disarm()
{
    m_armed = false;
    if (m_marked && m_marked->focusMark()) {
        m_marked->setFocusMark(false);
        restack(m_marked);
    }    placeMark();
}

void HandKeys::mark(CardSprite* sprite)
{
    const auto cards = cardsOnScreen();
    if (std::find(cards.begin(), cards.end(), sprite) == cards.end())
        return;
    show(sprite);
}

bool HandKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::KeyPress)
        return handleKey(static_cast<QKeyEvent*>(event));
    // The mark shows only while the window is the active one; the cards themselves are not
    // told of the activation.
    if (watched == &m_window &&
        (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate ||
         event->type() == QEvent::ActivationChange)) {
        placeMark();
        return false;
    }
    if (event->type() == QEvent::Enter && watched != &m_window && m_keyboard) {
        m_keyboard = false;
        if (m_marked)
            restack(m_marked);
    }
    // The mark follows its card and the cards that cover part of it.
    if (watched != &m_window) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ZOrderChange:
            placeMark();
            break;
        default:
            break;
        }
    }
    return false;
}

bool HandKeys::handleKey(QKeyEvent* key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const int code = key->key();
    const bool move = code == Qt::Key_Left || code == Qt::Key_Right || code == Qt::Key_Home || code == Qt::Key_End;
    const bool play = code == Qt::Key_Return || code == Qt::Key_Enter || code == Qt::Key_Space;
    if (!move && !play)
        return false;
    // A key pressed while a click would be ignored is dropped here and now: nothing keeps it
    // for later (a glide's input lock has already swallowed the keys pressed during it).
    if (!m_armed || !m_canPlay()) {
        disarm();
        return move || play;
    }
    const auto cards = cardsOnScreen();
    if (cards.empty())
        return true;
    m_keyboard = true;
    const int count = static_cast<int>(cards.size());
    auto at = std::find(cards.begin(), cards.end(), m_marked.data());
    int index = at == cards.end() ? std::clamp(m_place, 0, count - 1) : static_cast<int>(at - cards.begin());
    // Home and End go to where a line of the language begins and ends.
    const bool rightToLeft = languageDirection() == Qt::RightToLeft;
    switch (code) {
    case Qt::Key_Left: index = (index + count - 1) % count; break; // wraps round the hand
    case Qt::Key_Right: index = (index + 1) % count; break;
    case Qt::Key_Home: index = rightToLeft ? count - 1 : 0; break;
    case Qt::Key_End: index = rightToLeft ? 0 : count - 1; break;
    default:
        if (key->isAutoRepeat())
            return true;
        if (at == cards.end())
            show(cards[static_cast<std::size_t>(index)]);
        m_play(m_marked);
        return true;
    }
    show(cards[static_cast<std::size_t>(index)]);
    return true;
}

} // namespace halbeet
