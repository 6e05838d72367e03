// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Playing the human's cards from the keyboard: a mark on one card of his hand while a click
// on a card would be taken, moved with the arrows, Home and End, and played with Return or
// Space through the same handler as a click.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QKeyEvent;
class QWidget;

namespace halbeet {

class CardSprite;
class Table;

// A gold ring around the table's control that has the keyboard (the bid list, the bid
// button): their own focus marks hardly show on the green.
class FocusRing : public QWidget {
    Q_OBJECT

public:
    explicit FocusRing(QWidget* table);
    // The control the ring surrounds now, or nothing.
    QWidget* target() const { return m_target; }
    void follow(QWidget* widget);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    QPointer<QWidget> m_target;
};

// The keyboard's mark on a card of the hand: gold bars above and below the part of the card
// that shows in the fan. It lies outside the card and under it, so it covers no rank, neither
// the marked card's own nor a neighbour's.
class CardMark : public QWidget {
    Q_OBJECT

public:
    explicit CardMark(QWidget* table);
    // The bars' thickness for a card of this height.
    static int barFor(int cardHeight);
    void setBar(int bar) { m_bar = bar; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_bar = 4;
};

class HandKeys : public QObject {
    Q_OBJECT

public:
    // canPlay: a click on a card of the hand would be taken now. inHand: the sprite shows a
    // card the human still holds. play: the click handler of the hand's cards.
    HandKeys(Table& table, QWidget& window, std::function<bool()> canPlay,
             std::function<bool(const CardSprite*)> inHand, std::function<void(CardSprite*)> play);

    // The human's turn has come: the mark goes on the card it was on, or, when that one has
    // been played, on the card that took its place in the fan. Does nothing unless canPlay().
    void arm();
    // A click would not be taken any more: the mark goes away (the card it was on is kept).
    void disarm();
    bool armed() const { return m_armed; }
    // Puts the mark on this card of the hand (it shows only while armed).
    void mark(CardSprite* sprite);
    CardSprite* marked() const { return m_marked; }
    // The cards still in the hand, left to right on the screen.
    std::vector<CardSprite*> cardsOnScreen() const;
    FocusRing* focusRing() const { return m_ring; }
    CardMark* cardMark() const { return m_cardMark; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QKeyEvent* key);
    void show(CardSprite* sprite);
    void restack(CardSprite* sprite);
    void placeMark();

    Table& m_table;
    QWidget& m_window;
    std::function<bool()> m_canPlay;
    std::function<bool(const CardSprite*)> m_inHand;
    std::function<void(CardSprite*)> m_play;
    QPointer<CardSprite> m_marked;
    FocusRing* m_ring = nullptr;
    CardMark* m_cardMark = nullptr;
    // Where in the fan the mark stood, for the card that takes the place of a played one.
    int m_place = 0;
    bool m_armed = false;
    // The keyboard moved the mark last (not the mouse).
    bool m_keyboard = false;
};

} // namespace halbeet
