// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The green card table: every sprite at its home, and the routines that fill, reveal,
// repaint and clear them at each deal. The game flow (the main window) drives it.

#include "core/state.h"
#include "ui/card_sprite.h"
#include "ui/table_scale.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace halbeet {

class Table : public QWidget {
    Q_OBJECT

public:
    static constexpr int Width = 560;
    static constexpr int Height = 394; // the client area less the 19-pixel status bar
    static constexpr int HandTop = 288;   // resting Top of Card1..Card13
    static constexpr int RaisedTop = 272; // the human dealer's turned card
    // After the last resize event, the cards wait this long before they are rendered for
    // the new size; a drag only moves them.
    static constexpr int SettleMs = 40;

    explicit Table(QWidget* parent = nullptr);
    ~Table() override;

    // The layout above is logical: the table shows it uniformly scaled to the widget's size
    // and centred, the spare space green. Every routine here and in the flow works in
    // logical coordinates (CardSprite::logicalPos and moveLogical).
    const TableScale& tableScale() const { return m_scale; }
    qreal scaleFactor() const { return m_scale.factor; }
    // Gives a child of the table its logical place; it is kept there at every scale.
    void place(QWidget* child, const QRect& logical);
    // True while the pictures still wait for the size to settle.
    bool renderPending() const;
    QSize sizeHint() const override { return {Width, Height}; }
    QSize minimumSizeHint() const override { return {Width, Height}; }

    // Card1..Card108 by their number.
    CardSprite* card(int n) const;
    // Slot k (1..13) of a seat's hand: Card1.. (seat 1), Card14.., Card27.., Card40..
    CardSprite* handSprite(int seat, int k) const;
    // Trick slots Card56, Card53, Card54, Card55 for seats 1..4.
    CardSprite* trickSlot(int seat) const;
    // Motion sprites p1_move_c..p4_move_c.
    CardSprite* moveSprite(int seat) const;
    // Player2Cut, Player3Cut, Player4Cut for seats 2..4.
    CardSprite* cutSprite(int seat) const;
    // The n-th (1..13) won-trick marker of a seat.
    CardSprite* marker(int seat, int n) const;

    // Name labels Label2, Label4, Label3, Label1 of seats 1..4 (plain text only).
    QLabel* nameLabel(int seat) const;
    // Bid labels Label12, Label11, Label9, Label10 of seats 1..4.
    QLabel* bidLabel(int seat) const;
    // Shape1..Shape4: the green boxes under the bid labels.
    QWidget* shape(int n) const;
    QLabel* warningImage() const;   // Image1
    QPushButton* bidButton() const; // Button1
    QComboBox* bidBox() const;      // ComboBox1
    // PopupMenu1 of the trick slots; its one item is N13 (About).
    QMenu* trickMenu() const;
    QAction* aboutAction() const; // N13

    // Puts a name on a seat's label as plain text and fits the label to it. Seat 1's label
    // keeps its right edge, the others their left edge. Texts set directly on the labels
    // are fitted the same way once the table is shown.
    void setPlayerName(int seat, const QString& name);

    // Home places of the layout, for the flow and the tests.
    static QPoint handHome(int seat, int k);
    static int markerCardNumber(int seat, int n);
    static QPoint markerHome(int seat, int n);
    static QPoint cutHome(int seat);
    static QPoint trickHome(int seat);
    static int trickCardNumber(int seat);

    // Puts the human's hand on Card1..Card13; raises the dealer's card when seat 1 dealt.
    void ShowHumanHand(const THand& hand, std::int32_t dealerCounter, TCardFace cutCard);
    void ShowHumanHand(const TGameState& state) { ShowHumanHand(state.Hands[1], state.DealerCounter, state.CutCard); }
    // Loads the computer hands as backs of the given design (-1..-13). A back carries no card:
    // the window holds no card of another hand, not even behind a back.
    void ShowComputerBacks(int backCode);
    // The back that a card of a computer seat leaves from, chosen from what every seat has seen
    // and never from the card's rank: a computer dealer's turned card from the place it was
    // turned into (the 13th, kept for it until it is played), any other card from a place drawn
    // from the deal's public facts among the backs still in the hand.
    struct PublicPlay {
        int seat = 0;
        TCardFace card{};
        std::int32_t dealerCounter = 0;
        TCardFace cutCard{};
        int playedBefore = 0;      // cards this seat has played earlier in the deal
        bool cutPlayedBefore = false;
    };
    CardSprite* leavingBack(const PublicPlay& play) const;
    void SetBack(CardSprite* sprite, int backCode);
    // Shows the dealt hands in dealing rhythm; the dealer's turned card takes its 13th place.
    void RevealDeal(int dealerCounter);
    void UpdateCards();
    void DeleteCards();
    void deletegools();

    // Shut the human out of the main window while cards move, and let him in again. The window
    // stays enabled (a disabled window is repainted greyed, its menu bar included): its input
    // is swallowed instead, and Card1..Card13 are disabled. Windows of their own, such as an
    // open question, stay answerable.
    void LockInput();
    void UnlockInput();
    bool inputLocked() const { return m_inputLocked; }
    // Glides m onto t, one step every glide cycle (5 ms at real time), and hands over its face;
    // then landed runs. The input is locked while a card moves. Without time (time scale 0)
    // the glide is over, landed run, before the call returns.
    void glideTo(CardSprite* m, CardSprite* t, int step, std::function<void()> landed);
    // Glides c to `to`, hides it and parks it at `home`; then done runs.
    void glideOut(CardSprite* c, QPoint to, QPoint home, int step, std::function<void()> done);
    // Every glide stops where it got to, and its follow-up never runs (New Game, a close).
    void stopGlides();
    bool gliding() const { return !m_glides.empty(); }
    // The glides stand still while held (a dialog the player opened is up); holds nest.
    void holdGlides();
    void letGlidesGo();

signals:
    // Return or keypad Enter on the bid list or its button: the same as a click on the button,
    // with the missing-bid notice when no bid is chosen.
    void bidConfirmRequested();
    // A click on one of Card1..Card13.
    void humanCardClicked(halbeet::CardSprite* sprite);
    // The table has been rendered for its new size after a resize.
    void rendered();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Follows the widget's size: factor, offset, every child's place and the fonts.
    void applyScale();
    // The size has settled: the pictures are rendered for it.
    void renderForSize();
    void updateWarningPicture();
    std::vector<CardSprite*> allSprites() const;

    CardSprite* makeSprite(const QString& name, QRect geometry);
    QLabel* makeLabel(int n, QPoint at, const QFont& font, const QColor& colour);
    void fitLabels();
    // Lets the table repaint between the steps of a routine. User input waits until the
    // routine is over, so no command can start inside a half-laid table.
    void processPending();
    // The main window or one of its pop-up menus: what the input lock keeps out.
    bool belongsToWindow(const QObject* object) const;
    // Ends an abandoned glide: the input comes back unless the program is quitting.
    class Glide;
    void glideCycle(Glide* glide);
    void finishGlide(Glide* glide);

    std::array<CardSprite*, 109> m_cards{}; // Card1..Card108 at their numbers
    std::array<CardSprite*, 5> m_cutSprites{};  // seats 2..4
    std::array<CardSprite*, 5> m_moveSprites{}; // seats 1..4
    std::array<QLabel*, 13> m_labels{};         // Label1..Label12
    std::array<QWidget*, 5> m_shapes{};         // Shape1..Shape4
    QWidget* m_panel1 = nullptr;
    QWidget* m_panel2 = nullptr;
    QLabel* m_image = nullptr;
    QPushButton* m_button = nullptr;
    QComboBox* m_combo = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_aboutAction = nullptr;
    bool m_inputLocked = false;
    std::vector<std::unique_ptr<Glide>> m_glides;
    int m_glidesHeld = 0;
    TableScale m_scale;
    QHash<QWidget*, QRect> m_placed;
    QTimer* m_settle = nullptr;
};

} // namespace halbeet
