// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's ways through the main window: confirming the bid with Return or keypad
// Enter, the bid list holding the keyboard when the first deal comes up, F10 and Alt into
// the menus, and Last Trick offered only when there is a trick to show.
#include "test_support.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "ui/arabic_style.h"
#include "ui/hand_keys.h"
#include "ui/last_trick.h"

using namespace halbeet;
using halbeet::testing::Game;

namespace {

// A key as a person presses it: to the widget that has the focus, from where it travels up.
void press(Game& game, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != &game.window())
        target = &game.window();
    QTest::keyClick(target, key, modifiers);
}

// The window has the keyboard, as it has once the name dialog is gone.
bool active(Game& game)
{
    // The hidden name dialog's own deactivation may still be on its way.
    QTest::qWait(20);
    game.window().activateWindow();
    return QTest::qWaitForWindowActive(&game.window());
}

} // namespace

class KeyboardRoutesTest : public QObject {
    Q_OBJECT

private slots:
    // The program's own style, as the program installs it.
    void initTestCase() { installAppStyle(*qApp); }
    void returnAndEnterConfirmTheBid_data();
    void returnAndEnterConfirmTheBid();
    void firstDealBidListHasTheKeyboard_data();
    void firstDealBidListHasTheKeyboard();
    void menusFromTheKeyboard_data();
    void menusFromTheKeyboard();
    void lastTrickOnlyWithATrickToShow();
};

void KeyboardRoutesTest::returnAndEnterConfirmTheBid_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("downs");      // Down presses on the list before the key
    QTest::addColumn<bool>("onButton");  // Tab on to the button first
    QTest::addColumn<int>("key");
    for (const QString& language : {QStringLiteral("EN"), QStringLiteral("AR")}) {
        const auto row = [&](const char* name, int downs, bool onButton, Qt::Key key) {
            QTest::newRow(qPrintable(language + QLatin1Char(' ') + QLatin1String(name)))
                << language << downs << onButton << int(key);
        };
        row("list Return", 4, false, Qt::Key_Return);
        row("list keypad Enter", 5, false, Qt::Key_Enter);
        row("button Return", 4, true, Qt::Key_Return);
        row("button keypad Enter", 6, true, Qt::Key_Enter);
        row("button Space", 4, true, Qt::Key_Space);
        // Nothing chosen yet: the notice for a missing bid, and the bid still awaited.
        row("nothing chosen Return", 0, false, Qt::Key_Return);
        row("nothing chosen keypad Enter", 0, false, Qt::Key_Enter);
    }
}

void KeyboardRoutesTest::returnAndEnterConfirmTheBid()
{
    QFETCH(QString, language);
    QFETCH(int, downs);
    QFETCH(bool, onButton);
    QFETCH(int, key);
    Game game(5, 0, {}, language);
    QVERIFY(active(game));
    QComboBox* box = game.table().bidBox();
    QPushButton* button = game.table().bidButton();
    QCOMPARE(QApplication::focusWidget(), box);
    // From "2" down the list: with three computer bids of at least 2, a bid of 5 or more
    // cannot make the deal pass.
    for (int i = 0; i < downs; ++i)
        press(game, Qt::Key_Down);
    const QString chosen = box->currentText();
    QCOMPARE(chosen.isEmpty(), downs == 0);
    if (onButton) {
        press(game, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
    }

    // Whatever comes up is recorded and answered, so the test cannot hang on it.
    QStringList notices;
    testing::ModalAnswerer answerer([&](QWidget* modal) {
        notices << testing::messageText(modal);
        return testing::pressMessageButton(modal, MsgButton::OK);
    });
    press(game, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);

    if (downs == 0) {
        QCOMPARE(notices, QStringList{texts().flow.MissingBidNotice});
        QCOMPARE(game.model().phase(), Phase::Bidding);
        QVERIFY(button->isVisible() && box->isVisible());
        QVERIFY(game.table().bidLabel(1)->text().isEmpty());
        return;
    }
    QCOMPARE(notices, QStringList{});
    QCOMPARE(game.model().phase(), Phase::Playing);
    QVERIFY(!button->isVisible() && !box->isVisible());
    QCOMPARE(game.table().bidLabel(1)->text(), chosen);
    QCOMPARE(game.state().Bids[1], chosen.toInt());
}

void KeyboardRoutesTest::firstDealBidListHasTheKeyboard_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("activatedEarly");
    for (const QString& language : {QStringLiteral("EN"), QStringLiteral("AR")}) {
        QTest::newRow(qPrintable(language + QStringLiteral(" activated by the program")))
            << language << false;
        // What a window manager does: the main window is active again as soon as the name
        // dialog goes, before the first deal is laid out and the window enabled.
        QTest::newRow(qPrintable(language + QStringLiteral(" activated by a window manager")))
            << language << true;
    }
}

void KeyboardRoutesTest::firstDealBidListHasTheKeyboard()
{
    QFETCH(QString, language);
    QFETCH(bool, activatedEarly);
    testing::GameWindow::Options options;
    options.firstSeed = 5;
    options.language = language;
    testing::GameWindow game(options);
    MainWindow& window = game.window();
    const QString problem = game.start([&] {
        if (!activatedEarly)
            return;
        QVERIFY(!window.isEnabled());
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    });
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QComboBox* box = game.table().bidBox();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(box));
    FocusRing* ring = window.handKeys()->focusRing();
    QCOMPARE(ring->target(), static_cast<QWidget*>(box));
    QVERIFY(ring->isVisible());
    // The first Down chooses the first bid, with no Tab before it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(box->currentIndex(), 0);
    QVERIFY(game.table().bidButton()->isEnabled());
}

void KeyboardRoutesTest::menusFromTheKeyboard_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("playing"); // else bidding, the keyboard on the bid list
    QTest::addColumn<bool>("loneAlt"); // else F10
    for (const QString& language : {QStringLiteral("EN"), QStringLiteral("AR")}) {
        for (const bool playing : {false, true}) {
            for (const bool loneAlt : {false, true}) {
                QTest::newRow(qPrintable(QStringLiteral("%1 %2 %3")
                                             .arg(language, playing ? "playing" : "bidding",
                                                  loneAlt ? "Alt" : "F10")))
                    << language << playing << loneAlt;
            }
        }
    }
}

void KeyboardRoutesTest::menusFromTheKeyboard()
{
    // Keys that need no letter: with a Latin layout the Arabic captions' access keys cannot
    // be typed.
    QFETCH(QString, language);
    QFETCH(bool, playing);
    QFETCH(bool, loneAlt);
    Game game(5, 0, {}, language);
    QVERIFY(active(game));
    if (playing) {
        game.bid(QStringLiteral("14"));
        QVERIFY(qobject_cast<CardSprite*>(QApplication::focusWidget()));
    }
    QMenuBar* bar = game.window().menuBar();
    auto* first = game.window().findChild<QMenu*>(QStringLiteral("N1"));
    QVERIFY(first);
    QCOMPARE(bar->actions().value(0), first->menuAction());
    if (loneAlt) {
        if (!bar->style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation, nullptr, bar))
            QSKIP("this style keeps a lone Alt away from the menu bar");
        press(game, Qt::Key_Alt, Qt::AltModifier);
        QTRY_VERIFY(bar->hasFocus());
        QCOMPARE(bar->activeAction(), first->menuAction());
        QTest::keyClick(bar, Qt::Key_Down);
    } else {
        press(game, Qt::Key_F10);
    }
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(first));
    QCOMPARE(first->layoutDirection(), languageDirection());
    // Esc closes it again, and the game has not moved.
    const int cards = game.state().HandCount[1];
    QTest::keyClick(first, Qt::Key_Escape);
    QTRY_VERIFY(!first->isVisible());
    QCOMPARE(game.state().HandCount[1], cards);
    QCOMPARE(game.model().phase(), playing ? Phase::Playing : Phase::Bidding);
}

void KeyboardRoutesTest::lastTrickOnlyWithATrickToShow()
{
    Game game(5); // the human deals: he plays last to the first trick
    QVERIFY(active(game));
    QAction* item = game.window().menuItem(QStringLiteral("N3"));
    QVERIFY(item);
    QCOMPARE(item->shortcut(), QKeySequence(Qt::Key_F4));
    // F4 from the keyboard: the cards the last-trick window shows, by seat, or nothing when
    // no window came up.
    const auto shownByF4 = [&]() -> std::optional<std::array<TCardFace, 5>> {
        std::optional<std::array<TCardFace, 5>> shown;
        QStringList others;
        testing::ModalAnswerer answerer([&](QWidget* modal) {
            auto* window = qobject_cast<LastTrickWindow*>(modal);
            if (!window)
                return false;
            shown.emplace();
            for (int seat = 1; seat <= 4; ++seat)
                (*shown)[static_cast<std::size_t>(seat)] = window->trickCard(seat)->face();
            window->close();
            return true;
        });
        answerer.setUnexpectedHandler([&](const QString& line) { others << line; });
        // The keyboard back on the main window after the windows before.
        if (!active(game))
            qWarning() << "the main window could not be activated";
        press(game, Qt::Key_F4);
        QTest::qWait(50);
        if (!others.isEmpty())
            qWarning() << "unexpected windows:" << others;
        return shown;
    };
    // The first trick of the deal, as played.
    const auto firstTrick = [&] {
        std::array<TCardFace, 5> trick{};
        const auto plays = game.model().plays();
        for (std::size_t i = 0; i < 4 && i < plays.size(); ++i)
            trick[static_cast<std::size_t>(plays[i].Seat)] = {plays[i].Suite, plays[i].Number};
        return trick;
    };

    QVERIFY(!item->isEnabled()); // the first deal's bid
    QVERIFY(!shownByF4());
    game.bid(QStringLiteral("14"));
    QCOMPARE(game.state().CardsPlayed, 3); // the first trick is on the table, not yet taken
    QVERIFY(!item->isEnabled());
    QVERIFY(!shownByF4());

    Game::click(game.spriteOf(game.legalCard()));
    QVERIFY(game.state().CardsPlayed >= 4);
    QVERIFY(item->isEnabled());
    const auto shown = shownByF4();
    QVERIFY(shown);
    QVERIFY(*shown == firstTrick());

    // The next deal: the window holds the last deal's trick, which is not this deal's.
    game.playOutDeal();
    QVERIFY(game.table().bidButton()->isVisible());
    QVERIFY(!item->isEnabled());
    QVERIFY(!shownByF4());

    // A new game over a deal whose tricks are being taken.
    game.bid(QStringLiteral("14"));
    while (game.state().CardsPlayed < 4)
        Game::click(game.spriteOf(game.legalCard()));
    QVERIFY(item->isEnabled());
    testing::ModalAnswerer yes([](QWidget* modal) {
        return testing::pressMessageButton(modal, MsgButton::Yes);
    });
    QVERIFY(active(game));
    press(game, Qt::Key_F2);
    QTRY_VERIFY(game.table().bidButton()->isVisible());
    QCOMPARE(game.state().CardsPlayed, 0);
    QVERIFY(!item->isEnabled());
}

QTEST_MAIN(KeyboardRoutesTest)

#include "tst_keyboard_routes.moc"
