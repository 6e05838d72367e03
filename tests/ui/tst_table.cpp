// SPDX-License-Identifier: GPL-3.0-or-later
// The card table: where every sprite lives, the routines that lay out and clear a deal,
// and the glides with their input lock.

#include "ui/motion.h"
#include "ui/table.h"
#include "glide_wait.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMoveEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(halbeet::TCardFace)

using namespace halbeet;
using halbeet::testing::glideOutAndWait;
using halbeet::testing::glideToAndWait;

namespace {

// A deal laid out by hand: seat s holds the thirteen cards of suit s (ranks 1..13), so every
// hand's slot k has rank k, except the human's hand, which runs from the king down.
TGameState handMadeDeal(int dealerCounter, TCardFace cutCard)
{
    TGameState state;
    for (int seat = 1; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k)
            state.Hands[seat][k] = {seat, seat == 1 ? 14 - k : k};
    state.DealerCounter = dealerCounter;
    state.CutCard = cutCard;
    return state;
}

// Records where a widget goes, one entry per move.
class MoveRecorder : public QObject {
public:
    explicit MoveRecorder(QWidget* watched) { watched->installEventFilter(this); }
    QList<QPoint> path;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Move)
            path.append(static_cast<QMoveEvent*>(event)->pos());
        return false;
    }
};

int stackIndex(const QWidget* w) { return w->parentWidget()->children().indexOf(w); }

// A real click at a point of the table: the window finds the widget under it, as for a user.
void clickTable(Table* table, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    QWidget* window = table->window();
    QTest::mouseClick(window->windowHandle(), button, {}, table->mapTo(window, at));
}

} // namespace

class TstTable : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyElementAtItsPlace_data();
    void everyElementAtItsPlace();
    void designerNamesAreUnique();
    void startsWithNothingShown();
    void labelsUsePlainTextAndFallbackFonts();
    void namesFitTheirLabels();
    void longNamesShowWholeOnTheTable();
    void trickSlotsOfferTheAboutMenu();
    void playedCardsOfferTheAboutMenu();

    void showHumanHandRaisesOnlyTheHumanDealersCard_data();
    void showHumanHandRaisesOnlyTheHumanDealersCard();
    void computerBacksHoldNoCard();
    void theLeavingBackIsChosenFromPublicFacts();
    void revealDealShowsTheDealersTurnedCard_data();
    void revealDealShowsTheDealersTurnedCard();
    void deleteCardsClearsTheHands();
    void deletegoolsClearsEveryMarker();
    void wonTrickMarkersShowWhole_data();
    void wonTrickMarkersShowWhole();

    void onlyTheHumanCardsAreClickable();
    void glideCycles_data();
    void glideCycles();
    void glideToHandsOverTheFaceAndUnlocks();
    void glideOutHidesAndParks();
    void handCardsRefuseClicksDuringAGlide();
    void abandonedGlidesStopPromptly_data();
    void abandonedGlidesStopPromptly();

private:
    std::unique_ptr<QWidget> m_window;
    Table* m_table = nullptr;
};

void TstTable::init()
{
    setTimeScale(0.0);
    m_window = std::make_unique<QWidget>();
    m_table = new Table(m_window.get());
    m_window->resize(Table::Width, Table::Height + 19);
}

void TstTable::cleanup()
{
    m_table = nullptr;
    m_window.reset();
    setTimeScale(1.0);
}

void TstTable::everyElementAtItsPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");

    auto row = [](const QString& name, int left, int top, int width, int height) {
        QTest::newRow(qPrintable(name)) << name << QRect(left, top, width, height);
    };
    for (int k = 1; k <= 13; ++k) {
        const int d = 16 * (k - 1);
        row(QStringLiteral("Card%1").arg(k), 144 + d, 288, 71, 96);
        row(QStringLiteral("Card%1").arg(13 + k), 464, 224 - d, 71, 96);
        row(QStringLiteral("Card%1").arg(26 + k), 336 - d, 8, 71, 96);
        row(QStringLiteral("Card%1").arg(39 + k), 24, 40 + d, 71, 96);
    }
    row("Card56", 237, 176, 68, 96);
    row("Card53", 272, 160, 68, 96);
    row("Card54", 245, 120, 68, 96);
    row("Card55", 208, 144, 68, 96);
    // Markers, in the order each seat fills them.
    for (int n = 1; n <= 13; ++n) {
        const int d = 16 * (n - 1);
        row(QStringLiteral("Card%1").arg(n < 13 ? 70 - n : 82), 344 - d, 280, 39, 57);
        row(QStringLiteral("Card%1").arg(n < 13 ? 96 - n : 57), 448, 56 + d, 39, 57);
        row(QStringLiteral("Card%1").arg(n < 13 ? 82 - n : 83), 344 - d, 56, 39, 57);
        row(QStringLiteral("Card%1").arg(95 + n), 72, 56 + d, 39, 57);
    }
    row("Player2Cut", 448, 32, 71, 96);
    row("Player3Cut", 144, 24, 71, 96);
    row("Player4Cut", 40, 232, 71, 96);
    row("p2_move_c", 448, 32, 71, 96);
    row("p3_move_c", 144, 24, 71, 96);
    row("p4_move_c", 40, 232, 71, 96);
    row("Shape4", 112, 360, 25, 17);
    row("Shape2", 457, 328, 25, 17);
    row("Shape1", 416, 31, 25, 17);
    row("Shape3", 24, 16, 25, 17);
    row("Panel1", 51, 8, 89, 26);
    row("Panel2", 413, 0, 89, 26);
    row("Image1", 376, 232, 41, 41);
    row("Button1", 232, 240, 75, 25);
}

void TstTable::everyElementAtItsPlace()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    const auto* widget = m_table->findChild<QWidget*>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->parentWidget(), m_table);
    QCOMPARE(widget->geometry(), geometry);
}

void TstTable::designerNamesAreUnique()
{
    QStringList names;
    for (int n = 1; n <= 108; ++n)
        names << QStringLiteral("Card%1").arg(n);
    for (int n : {1, 2, 3, 4, 9, 10, 11, 12})
        names << QStringLiteral("Label%1").arg(n);
    names << "Player2Cut" << "Player3Cut" << "Player4Cut" << "p1_move_c" << "p2_move_c"
          << "p3_move_c" << "p4_move_c" << "ComboBox1" << "Button1" << "Image1" << "Shape1"
          << "Shape2" << "Shape3" << "Shape4" << "Panel1" << "Panel2";
    for (const QString& name : names)
        QCOMPARE(m_table->findChildren<QWidget*>(name).size(), 1);

    // The accessors reach the same widgets as the names.
    for (int seat = 1; seat <= 4; ++seat) {
        for (int k = 1; k <= 13; ++k)
            QCOMPARE(m_table->handSprite(seat, k)->objectName(),
                     QStringLiteral("Card%1").arg((seat - 1) * 13 + k));
        QCOMPARE(m_table->moveSprite(seat)->objectName(), QStringLiteral("p%1_move_c").arg(seat));
    }
    QCOMPARE(m_table->trickSlot(1)->objectName(), QStringLiteral("Card56"));
    QCOMPARE(m_table->trickSlot(4)->objectName(), QStringLiteral("Card55"));
    QCOMPARE(m_table->cutSprite(3)->objectName(), QStringLiteral("Player3Cut"));
    QCOMPARE(m_table->marker(2, 13)->objectName(), QStringLiteral("Card57"));
    QCOMPARE(m_table->nameLabel(4)->objectName(), QStringLiteral("Label1"));
    QCOMPARE(m_table->bidLabel(3)->objectName(), QStringLiteral("Label9"));
    QCOMPARE(m_table->shape(4)->objectName(), QStringLiteral("Shape4"));
    QCOMPARE(m_table->bidBox()->objectName(), QStringLiteral("ComboBox1"));
    QCOMPARE(m_table->bidButton()->objectName(), QStringLiteral("Button1"));
    QCOMPARE(m_table->warningImage()->objectName(), QStringLiteral("Image1"));
    QCOMPARE(m_table->card(0), nullptr);
    QCOMPARE(m_table->card(109), nullptr);
}

void TstTable::startsWithNothingShown()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    for (auto* sprite : m_table->findChildren<CardSprite*>())
        QVERIFY2(sprite->isHidden(), qPrintable(sprite->objectName()));
    for (int n = 1; n <= 4; ++n)
        QVERIFY(m_table->shape(n)->isHidden());
    QVERIFY(m_table->warningImage()->isHidden());
    QVERIFY(!m_table->warningImage()->pixmap().isNull());
    QVERIFY(m_table->bidButton()->isHidden());
    QVERIFY(!m_table->bidButton()->isEnabled());
    QVERIFY(!m_table->bidBox()->isEditable());
    QCOMPARE(m_table->bidBox()->geometry().topLeft(), QPoint(97, 360));
    QCOMPARE(m_table->bidBox()->width(), 41);
    QCOMPARE(m_table->grab().toImage().pixelColor(280, 60), QColor(0, 128, 0));
}

void TstTable::labelsUsePlainTextAndFallbackFonts()
{
    for (int seat = 1; seat <= 4; ++seat) {
        const QLabel* name = m_table->nameLabel(seat);
        QCOMPARE(name->textFormat(), Qt::PlainText);
        QCOMPARE(name->font().pixelSize(), 19);
        QCOMPARE(name->font().families(), QStringList({"Tahoma", "DejaVu Sans"}));
        QCOMPARE(name->palette().color(QPalette::WindowText), QColor(Qt::black));

        const QLabel* bid = m_table->bidLabel(seat);
        QCOMPARE(bid->textFormat(), Qt::PlainText);
        QCOMPARE(bid->font().pixelSize(), 11);
        QVERIFY(bid->font().bold());
        QCOMPARE(bid->font().families(), QStringList({"MS Sans Serif", "DejaVu Sans"}));
        QCOMPARE(bid->palette().color(QPalette::WindowText), QColor(Qt::white));
    }
    QVERIFY(m_table->nameLabel(1)->alignment() & Qt::AlignRight);
}

void TstTable::namesFitTheirLabels()
{
    // A name that looks like markup stays the text it is.
    m_table->setPlayerName(2, QStringLiteral("<b>Ali</b>"));
    QCOMPARE(m_table->nameLabel(2)->text(), QStringLiteral("<b>Ali</b>"));
    QCOMPARE(m_table->nameLabel(2)->pos(), QPoint(485, 322));

    m_table->setPlayerName(1, QStringLiteral("Ab"));
    const QRect shortName = m_table->nameLabel(1)->geometry();
    m_table->setPlayerName(1, QStringLiteral("Abdulrahman"));
    const QRect longName = m_table->nameLabel(1)->geometry();
    QVERIFY(longName.width() > shortName.width());
    QCOMPARE(longName.right(), shortName.right());
    QVERIFY2(longName.right() < 144, "seat 1's name must not slide under the hand");
    QCOMPARE(longName.top(), 334);

    // Texts set straight on the labels, as the dialogs do, are fitted too.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_table->nameLabel(3)->setText(QStringLiteral("سلمى عبد الرحمن"));
    m_table->bidLabel(3)->setText(QStringLiteral("14"));
    QTRY_COMPARE(m_table->nameLabel(3)->size(), m_table->nameLabel(3)->sizeHint());
    QCOMPARE(m_table->nameLabel(3)->pos(), QPoint(415, 5));
    QCOMPARE(m_table->bidLabel(3)->size(), m_table->bidLabel(3)->sizeHint());
    QCOMPARE(m_table->bidLabel(3)->pos(), QPoint(422, 33));
}

void TstTable::longNamesShowWholeOnTheTable()
{
    // Eight characters is what the dialogs accept; wide letters of both scripts.
    const QStringList names{QStringLiteral("WWWWWWWW"), QStringLiteral("MMMMMMMM"),
                            QString::fromUtf8("شششششششش"), QStringLiteral("<b>x</b>"),
                            QStringLiteral("VeryLong"), QStringLiteral("Ab")};
    // Where each seat's name may lie: up to the hand, the bid box or the table's edge.
    const std::array<QRect, 5> room = {QRect(), QRect(0, 320, 141, 40), QRect(483, 300, 77, 50),
                                       QRect(413, 0, 147, 30), QRect(50, 0, 94, 40)};
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    for (int seat = 1; seat <= 4; ++seat) {
        for (const QString& name : names) {
            m_table->setPlayerName(seat, name);
            QLabel* label = m_table->nameLabel(seat);
            const QString what = QStringLiteral("seat %1, \"%2\"").arg(seat).arg(name);
            QVERIFY2(room[seat].contains(label->geometry()),
                     qPrintable(what + QStringLiteral(" lies at %1,%2 %3x%4").arg(label->x()).arg(label->y())
                                           .arg(label->width()).arg(label->height())));
            QVERIFY2(label->fontMetrics().horizontalAdvance(name) <= label->width(), qPrintable(what + " is cut"));
            QCOMPARE(label->text(), name);
            if (name == QLatin1String("Ab"))
                QCOMPARE(label->font().pixelSize(), 19); // short names keep the designed size
        }
    }
}

void TstTable::trickSlotsOfferTheAboutMenu()
{
    QCOMPARE(m_table->trickMenu()->objectName(), QStringLiteral("PopupMenu1"));
    QCOMPARE(m_table->trickMenu()->actions().size(), 1);
    QCOMPARE(m_table->trickMenu()->actions().first()->objectName(), QStringLiteral("N13"));
    QCOMPARE(m_table->aboutAction(), m_table->trickMenu()->actions().first());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    for (int seat = 1; seat <= 4; ++seat) {
        CardSprite* slot = m_table->trickSlot(seat);
        QCOMPARE(slot->contextMenuPolicy(), Qt::CustomContextMenu);
        slot->setFace({3, 5});
        slot->show();
        slot->raise();
        clickTable(m_table, slot->geometry().center(), Qt::RightButton);
        QTRY_VERIFY(m_table->trickMenu()->isVisible());
        m_table->trickMenu()->hide();
        slot->hide();
    }
    QCOMPARE(m_table->handSprite(1, 1)->contextMenuPolicy(), Qt::DefaultContextMenu);
}

void TstTable::playedCardsOfferTheAboutMenu()
{
    // The cards seen in the middle are the moving sprites and the human's own card, not the
    // trick slots underneath: a right click on any of them offers About.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_table->ShowHumanHand(handMadeDeal(2, {1, 1}));
    m_table->RevealDeal(2);
    for (int seat = 1; seat <= 4; ++seat) {
        CardSprite* card = seat == 1 ? m_table->handSprite(1, 5) : m_table->moveSprite(seat);
        const QPoint home = card->pos();
        card->setFace({seat, 9});
        QVERIFY(glideToAndWait(*m_table, card, m_table->trickSlot(seat), 38));
        QVERIFY(!m_table->trickSlot(seat)->isVisible());
        QVERIFY(!m_table->trickMenu()->isVisible());
        clickTable(m_table, card->geometry().topLeft() + QPoint(6, 6), Qt::RightButton);
        QTRY_VERIFY2(m_table->trickMenu()->isVisible(), qPrintable(card->objectName()));
        m_table->trickMenu()->hide();
        card->hide();
        card->move(home);
    }
    // A card in a hand is no card of the trick.
    clickTable(m_table, {380, 340}, Qt::RightButton);
    QTest::qWait(20);
    QVERIFY(!m_table->trickMenu()->isVisible());
}

void TstTable::showHumanHandRaisesOnlyTheHumanDealersCard_data()
{
    QTest::addColumn<int>("dealerCounter");
    QTest::addColumn<TCardFace>("cutCard");
    QTest::addColumn<int>("raisedSlot"); // 0: none

    // The human's hand runs (1,13), (1,12), ..., (1,1): the queen of clubs is in slot 2.
    QTest::newRow("seat 1 deals") << 1 << TCardFace{1, 12} << 2;
    QTest::newRow("seat 1 deals, ace in the last slot") << 1 << TCardFace{1, 1} << 13;
    QTest::newRow("seat 2 deals") << 2 << TCardFace{1, 12} << 0;
    QTest::newRow("seat 3 deals") << 3 << TCardFace{1, 12} << 0;
    QTest::newRow("seat 4 deals") << 0 << TCardFace{1, 12} << 0;
    QTest::newRow("same rank, other suit") << 1 << TCardFace{2, 12} << 0;
}

void TstTable::showHumanHandRaisesOnlyTheHumanDealersCard()
{
    QFETCH(int, dealerCounter);
    QFETCH(TCardFace, cutCard);
    QFETCH(int, raisedSlot);
    const TGameState state = handMadeDeal(dealerCounter, cutCard);
    m_table->ShowHumanHand(state);
    for (int k = 1; k <= 13; ++k) {
        const CardSprite* sprite = m_table->handSprite(1, k);
        QCOMPARE(sprite->face(), state.Hands[1][k]);
        QCOMPARE(sprite->y(), k == raisedSlot ? 272 : 288);
        QCOMPARE(sprite->x(), 144 + 16 * (k - 1));
        QVERIFY(sprite->isHidden());
    }
}

void TstTable::computerBacksHoldNoCard()
{
    TGameState state = handMadeDeal(2, {1, 1});
    m_table->ShowHumanHand(state);
    // Backs shown over sprites that held faces before: nothing of a card stays behind them.
    for (int seat = 2; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k)
            m_table->handSprite(seat, k)->setFace(state.Hands[seat][k]);
    m_table->ShowComputerBacks(-7);
    for (int seat = 2; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k) {
            const CardSprite* sprite = m_table->handSprite(seat, k);
            QCOMPARE(sprite->Suite(), -7);
            QCOMPARE(sprite->Number(), 0);
            QVERIFY(sprite->isHidden());
        }
    // The human's faces stay faces.
    QCOMPARE(m_table->handSprite(1, 1)->face(), state.Hands[1][1]);
}

// The back a computer's card leaves from depends on what everyone has seen, not on the card:
// any card but the dealer's turned one leaves from the same place; the turned card leaves from
// the thirteenth place, which no other card takes while it is in the hand.
void TstTable::theLeavingBackIsChosenFromPublicFacts()
{
    m_table->ShowComputerBacks(-2);
    for (int seat = 2; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k)
            m_table->handSprite(seat, k)->show();
    const TCardFace cut{3, 12};
    for (int seat = 2; seat <= 4; ++seat) {
        for (int dealerCounter : {1, 2, 3, 0}) {
            const bool dealer = seat == DealerSeat(dealerCounter);
            for (int before = 0; before < 12; ++before) {
                Table::PublicPlay play{seat, {1, 2}, dealerCounter, cut, before, false};
                CardSprite* first = m_table->leavingBack(play);
                for (const TCardFace other : {TCardFace{4, 13}, TCardFace{2, 7}, TCardFace{1, 1}}) {
                    play.card = other;
                    QCOMPARE(m_table->leavingBack(play), first);
                }
                QVERIFY(first);
                QVERIFY(!dealer || first != m_table->handSprite(seat, 13));
                if (dealer) {
                    play.card = cut;
                    QCOMPARE(m_table->leavingBack(play), m_table->handSprite(seat, 13));
                }
            }
        }
    }
    // Only backs still in the hand are chosen, down to the last one.
    for (int k = 1; k <= 12; ++k)
        m_table->handSprite(4, k)->hide();
    const Table::PublicPlay last{4, {1, 5}, 1, cut, 12, false};
    QCOMPARE(m_table->leavingBack(last), m_table->handSprite(4, 13));
    m_table->handSprite(4, 13)->hide();
    QCOMPARE(m_table->leavingBack(last), nullptr);
}

void TstTable::revealDealShowsTheDealersTurnedCard_data()
{
    QTest::addColumn<int>("dealerCounter");
    QTest::addColumn<int>("cutSeat"); // 0: the human deals, no cut sprite
    QTest::newRow("seat 1 deals") << 1 << 0;
    QTest::newRow("seat 2 deals") << 2 << 2;
    QTest::newRow("seat 3 deals") << 3 << 3;
    QTest::newRow("seat 4 deals") << 0 << 4;
}

void TstTable::revealDealShowsTheDealersTurnedCard()
{
    QFETCH(int, dealerCounter);
    QFETCH(int, cutSeat);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const TGameState state = handMadeDeal(dealerCounter, {1, 12});
    m_table->ShowHumanHand(state);
    m_table->UpdateCards();
    m_table->ShowComputerBacks(-2);
    if (cutSeat != 0)
        m_table->cutSprite(cutSeat)->setFace(state.CutCard);
    m_table->RevealDeal(dealerCounter);

    for (int seat = 1; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k) {
            const bool replacedByCut = seat == cutSeat && k == 13;
            QCOMPARE(m_table->handSprite(seat, k)->isVisible(), !replacedByCut);
        }
    for (int seat = 2; seat <= 4; ++seat)
        QCOMPARE(m_table->cutSprite(seat)->isVisible(), seat == cutSeat);
    int raised = 0;
    for (int k = 1; k <= 13; ++k)
        raised += m_table->handSprite(1, k)->y() == 272 ? 1 : 0;
    QCOMPARE(raised, cutSeat == 0 ? 1 : 0);
    // The human's fan: each card lies over its left neighbour.
    for (int k = 2; k <= 13; ++k)
        QVERIFY(stackIndex(m_table->handSprite(1, k)) > stackIndex(m_table->handSprite(1, k - 1)));
    // Nothing else appears.
    for (int seat = 1; seat <= 4; ++seat) {
        QVERIFY(m_table->trickSlot(seat)->isHidden());
        QVERIFY(m_table->moveSprite(seat)->isHidden());
        for (int n = 1; n <= 13; ++n)
            QVERIFY(m_table->marker(seat, n)->isHidden());
    }
}

void TstTable::deleteCardsClearsTheHands()
{
    for (int dealerCounter : {1, 3}) {
        const TGameState state = handMadeDeal(dealerCounter, {1, 12});
        m_table->ShowHumanHand(state);
        m_table->ShowComputerBacks(-2);
        if (dealerCounter == 3)
            m_table->cutSprite(3)->setFace(state.CutCard);
        m_table->RevealDeal(dealerCounter);
        m_table->trickSlot(2)->show();
        m_table->moveSprite(2)->show();
        m_table->marker(4, 1)->show();

        m_table->DeleteCards();
        for (int n = 1; n <= 52; ++n)
            QVERIFY2(m_table->card(n)->isHidden(), qPrintable(QString::number(n)));
        for (int seat = 2; seat <= 4; ++seat)
            QVERIFY(m_table->cutSprite(seat)->isHidden());
        for (int k = 1; k <= 13; ++k)
            QCOMPARE(m_table->handSprite(1, k)->y(), 288);
        // Trick, motion sprites and markers are not the hands' business.
        QVERIFY(!m_table->trickSlot(2)->isHidden());
        QVERIFY(!m_table->moveSprite(2)->isHidden());
        QVERIFY(!m_table->marker(4, 1)->isHidden());
        m_table->trickSlot(2)->hide();
        m_table->moveSprite(2)->hide();
        m_table->marker(4, 1)->hide();
    }
}

void TstTable::deletegoolsClearsEveryMarker()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    for (int seat = 1; seat <= 4; ++seat)
        for (int n = 1; n <= 13; n += seat) {
            m_table->marker(seat, n)->setSuite(-3);
            m_table->marker(seat, n)->show();
        }
    m_table->handSprite(2, 5)->show();
    m_table->trickSlot(1)->show();
    m_table->deletegools();
    for (int n = 57; n <= 108; ++n)
        QVERIFY2(m_table->card(n)->isHidden(), qPrintable(QString::number(n)));
    QVERIFY(m_table->handSprite(2, 5)->isVisible());
    QVERIFY(m_table->trickSlot(1)->isVisible());
    // The table under the markers is painted green again.
    QCOMPARE(m_table->grab().toImage().pixelColor(100, 200), QColor(0, 128, 0));
}

void TstTable::wonTrickMarkersShowWhole_data()
{
    QTest::addColumn<qreal>("scale");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("1.5x") << 1.5;
    QTest::newRow("2x") << 2.0;
}

void TstTable::wonTrickMarkersShowWhole()
{
    // Full hands of backs and every marker shown: no part of an opponent's marker is under
    // his hand. The human's stay under his face-up hand, whose ranks come first.
    QFETCH(qreal, scale);
    m_window->resize(qRound(Table::Width * scale), qRound(Table::Height * scale));
    m_table->resize(m_window->size());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    for (int seat = 1; seat <= 4; ++seat)
        for (int k = 1; k <= 13; ++k) {
            m_table->handSprite(seat, k)->setSuite(seat == 1 ? 1 : -2);
            m_table->handSprite(seat, k)->setNumber(k);
            m_table->handSprite(seat, k)->show();
            m_table->marker(seat, k)->setSuite(-3);
            m_table->marker(seat, k)->show();
        }
    for (int seat = 2; seat <= 4; ++seat)
        for (int n = 1; n <= 13; ++n) {
            CardSprite* marker = m_table->marker(seat, n);
            const QRect r = marker->geometry();
            for (int x = r.left(); x <= r.right(); x += 3)
                for (int y = r.top(); y <= r.bottom(); y += 3) {
                    // The later markers of a seat may lie over its earlier ones.
                    auto* top = qobject_cast<CardSprite*>(m_table->childAt(x, y));
                    bool ownLater = false;
                    for (int later = n + 1; later <= 13; ++later)
                        ownLater = ownLater || top == m_table->marker(seat, later);
                    QVERIFY2(top == marker || ownLater,
                             qPrintable(QStringLiteral("seat %1 marker %2 at (%3, %4) under %5")
                                            .arg(seat).arg(n).arg(x).arg(y)
                                            .arg(top ? top->objectName() : QStringLiteral("nothing"))));
                }
        }
    for (int k = 1; k <= 13; ++k) {
        CardSprite* card = m_table->handSprite(1, k);
        const QPoint corner = card->geometry().topLeft() + QPoint(2, card->height() / 8);
        QCOMPARE(m_table->childAt(corner), card);
    }
}

void TstTable::onlyTheHumanCardsAreClickable()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_table->ShowHumanHand(handMadeDeal(2, {1, 1}));
    m_table->RevealDeal(2);
    QSignalSpy spy(m_table, &Table::humanCardClicked);
    // Only a 16-pixel strip of Card5 shows; Card13 lies on top of the fan.
    clickTable(m_table, {214, 340});
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().value<CardSprite*>(), m_table->handSprite(1, 5));
    clickTable(m_table, {380, 340});
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.last().first().value<CardSprite*>(), m_table->handSprite(1, 13));
    clickTable(m_table, {214, 340}, Qt::RightButton);
    clickTable(m_table, {500, 100}); // seat 2's hand
    clickTable(m_table, {40, 60});   // seat 4's hand
    QCOMPARE(spy.size(), 2);
}

void TstTable::glideCycles_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("cycles");
    QTest::newRow("80 down, 20 right, step 38") << QPoint(100, 100) << QPoint(120, 180) << 38 << 2;
    QTest::newRow("80 up, 20 left, step 38") << QPoint(120, 180) << QPoint(100, 100) << 38 << 2;
    QTest::newRow("exactly one step") << QPoint(0, 0) << QPoint(38, 38) << 38 << 1;
    QTest::newRow("two whole steps") << QPoint(0, 0) << QPoint(0, 76) << 38 << 2;
    QTest::newRow("already there") << QPoint(50, 50) << QPoint(50, 50) << 38 << 1;
    QTest::newRow("less than a step") << QPoint(50, 50) << QPoint(53, 49) << 38 << 1;
    QTest::newRow("long way, small step") << QPoint(0, 0) << QPoint(100, 10) << 7 << 14;
    QTest::newRow("zero step still arrives") << QPoint(0, 0) << QPoint(3, 2) << 0 << 3;
}

void TstTable::glideCycles()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, step);
    QFETCH(int, cycles);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    for (const bool out : {false, true}) {
        CardSprite* m = m_table->moveSprite(2);
        CardSprite* t = m_table->trickSlot(2);
        m->move(from);
        t->move(to);
        m->show();
        MoveRecorder recorder(m);
        const std::uint64_t cyclesBefore = glideCycleCount();
        const bool arrived = out ? glideOutAndWait(*m_table, m, to.x(), to.y(), 448, 32, step)
                                 : glideToAndWait(*m_table, m, t, step);
        QVERIFY(arrived);
        QCOMPARE(int(glideCycleCount() - cyclesBefore), cycles);
        // Never past the target on either axis.
        for (const QPoint& at : std::as_const(recorder.path)) {
            if (at == QPoint(448, 32) || at == QPoint(to.x(), 32))
                continue; // GlideOut's parking moves
            QVERIFY(at.x() >= qMin(from.x(), to.x()) && at.x() <= qMax(from.x(), to.x()));
            QVERIFY(at.y() >= qMin(from.y(), to.y()) && at.y() <= qMax(from.y(), to.y()));
        }
        if (QTest::currentDataTag() == QByteArray("80 down, 20 right, step 38"))
            QCOMPARE(recorder.path.mid(0, 3),
                     QList<QPoint>({{100, 138}, {120, 138}, {120, 180}}));
        if (!out)
            QCOMPARE(m->pos(), to);
    }
}

void TstTable::glideToHandsOverTheFaceAndUnlocks()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    setTimeScale(1.0);
    CardSprite* m = m_table->moveSprite(3);
    CardSprite* t = m_table->trickSlot(3);
    m->setFace({4, 11});
    bool lockedDuringGlide = false;
    bool handLockedDuringGlide = false;
    QTimer::singleShot(3, this, [&] {
        // Locked, but not disabled: a disabled window would be drawn greyed.
        lockedDuringGlide = m_table->inputLocked() && m_window->isEnabled();
        handLockedDuringGlide = !m_table->handSprite(1, 13)->isEnabled();
    });
    QVERIFY(glideToAndWait(*m_table, m, t, 38));
    QVERIFY(lockedDuringGlide);
    QVERIFY(handLockedDuringGlide);
    QCOMPARE(t->face(), TCardFace({4, 11}));
    QCOMPARE(m->pos(), t->pos());
    QVERIFY(m->isVisible());
    QVERIFY(t->isHidden()); // the target's visibility is the caller's business
    QVERIFY(stackIndex(m) > stackIndex(t));
    QVERIFY(!m_table->inputLocked());
    for (int k = 1; k <= 13; ++k)
        QVERIFY(m_table->handSprite(1, k)->isEnabled());
}

void TstTable::glideOutHidesAndParks()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    CardSprite* c = m_table->moveSprite(4);
    c->setFace({2, 1});
    c->move(208, 144);
    c->show();
    QVERIFY(glideOutAndWait(*m_table, c, 0, 144, 40, 232, 38));
    QVERIFY(c->isHidden());
    QCOMPARE(c->pos(), QPoint(40, 232));
    QCOMPARE(c->face(), TCardFace({2, 1}));
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_table->handSprite(1, 1)->isEnabled());
}

void TstTable::handCardsRefuseClicksDuringAGlide()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_table->ShowHumanHand(handMadeDeal(2, {1, 1}));
    m_table->RevealDeal(2);
    setTimeScale(1.0);
    QSignalSpy spy(m_table, &Table::humanCardClicked);
    int clicksTried = 0;
    QTimer clicker;
    clicker.setInterval(4);
    connect(&clicker, &QTimer::timeout, this, [&] {
        // Each click while the card is still on its way (one click's events may see it land).
        ++clicksTried;
        if (m_table->gliding())
            clickTable(m_table, {181, 340}); // Card3
        if (m_table->gliding())
            clickTable(m_table, {380, 340}); // Card13
    });
    CardSprite* mine = m_table->handSprite(1, 7);
    clicker.start();
    bool landed = false;
    m_table->glideTo(mine, m_table->trickSlot(1), 10, [&] {
        clicker.stop(); // the clicks stop as the card lands
        landed = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(landed, 20000);
    QVERIFY(clicksTried > 2);
    QCOMPARE(spy.size(), 0);
    // Once the glide is over the hand answers again.
    clickTable(m_table, {380, 340});
    QCOMPARE(spy.size(), 1);
}

void TstTable::abandonedGlidesStopPromptly_data()
{
    QTest::addColumn<bool>("out");
    QTest::newRow("glideTo") << false;
    QTest::newRow("glideOut") << true;
}

void TstTable::abandonedGlidesStopPromptly()
{
    QFETCH(bool, out);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    setTimeScale(1.0);
    CardSprite* m = m_table->moveSprite(2);
    CardSprite* t = m_table->trickSlot(2);
    m->setFace({3, 1});
    m->move(0, 0);
    m->show();
    t->move(480, 290);
    QTimer::singleShot(15, m_table, [this] { m_table->stopGlides(); });
    // A step of 1 would take hundreds of cycles.
    bool finished = false;
    if (out)
        m_table->glideOut(m, {480, 290}, {448, 32}, 1, [&finished] { finished = true; });
    else
        m_table->glideTo(m, t, 1, [&finished] { finished = true; });
    QTRY_VERIFY_WITH_TIMEOUT(!m_table->gliding(), 300);
    const QPoint stoppedAt = m->pos();
    QTest::qWait(50);
    QVERIFY(!finished);
    QCOMPARE(m->pos(), stoppedAt); // it moves no more
    QVERIFY(m->pos() != QPoint(480, 290));
    QCOMPARE(t->Suite(), 0); // no face handed over
    QVERIFY(!m->isHidden());  // not parked either
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_table->handSprite(1, 1)->isEnabled());
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstTable test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_table.moc"
