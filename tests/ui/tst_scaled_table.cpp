// SPDX-License-Identifier: GPL-3.0-or-later
// The table at other sizes than its layout: clicks and the follow-suit refusal where the
// cards are shown, glides and sweeps that keep their steps, resizes in the middle of the
// flow, crisp cards once a resize has settled, and the window's size kept between runs.

#include "test_support.h"
#include "glide_wait.h"

#include "settings/settings.h"
#include "ui/card_art.h"
#include "ui/status_bar.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>
#include <QtTest>

using namespace halbeet;
using halbeet::testing::Game;
using halbeet::testing::GameWindow;

namespace {

// Resizes the window so that the table shows its layout at exactly this factor.
void scaleTable(MainWindow& window, qreal factor)
{
    Table* table = window.table();
    const QSize around = window.size() - table->size();
    window.resize(qRound(Table::Width * factor) + around.width(),
                  qRound(Table::Height * factor) + around.height());
    QTRY_VERIFY(!table->renderPending());
}

// A real click on the part of a hand card that shows (its left strip, under the next card),
// found by the window from the point, as for a user.
void clickShownPart(CardSprite* sprite)
{
    auto* table = qobject_cast<Table*>(sprite->parentWidget());
    const TableScale& scale = table->tableScale();
    const QPoint inCard(scale.length(4), scale.length(40));
    QWidget* window = sprite->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, sprite->mapTo(window, inCard));
}

// The middle of a card as painted and as rendered for its size must be the same pixels: a
// picture drawn at another size and stretched would differ.
bool paintedCrisp(CardSprite* sprite)
{
    const qreal dpr = sprite->devicePixelRatioF();
    const QImage painted =
        sprite->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage rendered =
        CardArt::forSprite(sprite->Suite(), sprite->Number(), sprite->size(), dpr)
            .toImage()
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (painted.size() != rendered.size())
        return false;
    const QRect middle = painted.rect().adjusted(painted.width() / 5, painted.height() / 5,
                                                 -painted.width() / 5, -painted.height() / 5);
    for (int y = middle.top(); y <= middle.bottom(); ++y)
        for (int x = middle.left(); x <= middle.right(); ++x)
            if (painted.pixel(x, y) != rendered.pixel(x, y))
                return false;
    return true;
}

} // namespace

class ScaledTableTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { setTimeScale(0); }
    void clickAndRefusalAtEveryScale_data();
    void clickAndRefusalAtEveryScale();
    void glidesTakeTheSameStepsAtEveryScale();
    void resizesDuringGlidesAndTheTrickPause();
    void cardsAreRenderedOnceTheSizeSettles();
    void picturesOfOldSizesGiveWay();
    void fullScreenCommand();
    void windowSizeRoundTripsThroughTheSettings();
    void storedStateIsRestored_data();
    void storedStateIsRestored();
    void tooLargeASizeIsBroughtBackOnScreen();
    void normalSizeOutlivesMaximising_data();
    void normalSizeOutlivesMaximising();
    void maximisedSizeInAnOldFileIsNotTheNormalOne();
    void fittedWindowSize_data();
    void fittedWindowSize();
};

void ScaledTableTest::clickAndRefusalAtEveryScale_data()
{
    QTest::addColumn<qreal>("factor");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("1.5x") << 1.5;
    QTest::newRow("2.7x") << 2.7;
}

void ScaledTableTest::clickAndRefusalAtEveryScale()
{
    QFETCH(qreal, factor);
    // A deal where the human, fourth to play, holds the led suit and another suit.
    for (std::uint32_t seed = 1; seed < 200; ++seed) {
        Game game(seed);
        scaleTable(game.window(), factor);
        Table& table = game.table();
        QVERIFY2(qAbs(table.scaleFactor() - factor) < 0.01,
                 qPrintable(QStringLiteral("table %1x%2, factor %3")
                                .arg(table.width())
                                .arg(table.height())
                                .arg(table.scaleFactor())));
        game.bid(QStringLiteral("6"));
        const TGameState& s = game.state();
        const int led = s.Trick[1].Suite;
        if (s.Splits[1].Counts[led] == 0 || s.Splits[1].Counts[led] == 13)
            continue;
        CardSprite* wrong = nullptr;
        CardSprite* right = nullptr;
        int wrongSlot = 0;
        for (int k = 1; k <= 13; ++k) {
            CardSprite* sprite = table.handSprite(1, k);
            (sprite->Suite() == led ? right : wrong) = sprite;
            wrongSlot = sprite == wrong ? k : wrongSlot;
        }
        QCOMPARE(wrong->logicalPos(), Table::handHome(1, wrongSlot));
        QCOMPARE(wrong->geometry(),
                 table.tableScale().toReal(QRect(wrong->logicalPos(), QSize(71, 96))));

        clickShownPart(wrong);
        QLabel* warning = table.warningImage();
        QVERIFY(warning->isVisible());
        QCOMPARE(warning->geometry(), table.tableScale().toReal(QRect(376, 232, 41, 41)));
        // The picture is made for the size shown, not stretched from a smaller one.
        QVERIFY(warning->pixmap().width() >=
                qRound(warning->width() * warning->devicePixelRatioF()) - 2);
        QCOMPARE(s.HandCount[1], 13);
        QCOMPARE(s.CardsPlayed, 3);

        clickShownPart(right);
        QVERIFY(!warning->isVisible());
        QCOMPARE(s.HandCount[1], 12);
        QCOMPARE(s.TricksWon[1] + s.TricksWon[2] + s.TricksWon[3] + s.TricksWon[4], 1);
        QCOMPARE(halbeet::testing::checkStateInvariants(s, table), QString());
        // The played card is parked, hidden, at its place in the hand.
        QVERIFY(right->isHidden());
        QCOMPARE(right->logicalY(), Table::HandTop);
        QVERIFY(!table.inputLocked());
        return;
    }
    QFAIL("no seed gave a deal to test the refusal");
}

void ScaledTableTest::glidesTakeTheSameStepsAtEveryScale()
{
    Game game;
    Table& table = game.table();
    QList<int> cycles;
    for (const qreal factor : {1.0, 2.7}) {
        scaleTable(game.window(), factor);
        CardSprite* m = table.moveSprite(2);
        CardSprite* t = table.trickSlot(2);
        m->moveLogical(Table::cutHome(2));
        const std::uint64_t before = glideCycleCount();
        QVERIFY(halbeet::testing::glideToAndWait(table, m, t, game.window().glideStep()));
        cycles << int(glideCycleCount() - before);
        QCOMPARE(m->logicalPos(), t->logicalPos());
        QCOMPARE(m->pos(), t->pos());
        const std::uint64_t outBefore = glideCycleCount();
        QVERIFY(halbeet::testing::glideOutAndWait(table, m, Table::Width, m->logicalY(), 448, 32,
                                                  game.window().glideStep()));
        cycles << int(glideCycleCount() - outBefore);
        QCOMPARE(m->logicalPos(), QPoint(448, 32));
        QVERIFY(m->isHidden());
    }
    QCOMPARE(cycles.mid(2), cycles.mid(0, 2));
    QVERIFY(cycles[0] > 1);
}

void ScaledTableTest::resizesDuringGlidesAndTheTrickPause()
{
    // The human leads, so his card glides, two computer cards follow, and the trick pauses.
    Game game(3, 3);
    Table& table = game.table();
    MainWindow& window = game.window();
    const QSize base = window.size();
    setTimeScale(0.25);
    bool resizedInGlide = false;
    bool resizedInPause = false;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!resizedInGlide && table.inputLocked()) {
            resizedInGlide = true;
            window.resize(base * 2);
        } else if (resizedInGlide && !resizedInPause && window.tableBusy() && !table.inputLocked() &&
                   table.trickSlot(1)->Suite() != 0 && table.trickSlot(2)->Suite() != 0 &&
                   table.trickSlot(3)->Suite() != 0 && table.trickSlot(4)->Suite() != 0) {
            resizedInPause = true;
            window.resize(base * 3 / 2);
        }
    });
    watcher.start();
    const TGameState& s = game.state();
    game.bid(QStringLiteral("6"));
    QCOMPARE(s.CardsPlayed, 0);
    CardSprite* card = game.spriteOf(game.legalCard());
    QVERIFY(card);
    const QPoint home = card->logicalPos();
    const std::int64_t deals = game.model().dealsDealt();
    Game::click(card);
    // The trick is taken and the next one led up to the human, who is let in again.
    const auto humanToPlay = [&] {
        return s.TricksWon[1] + s.TricksWon[2] + s.TricksWon[3] + s.TricksWon[4] == 1 &&
               game.model().toAct() == 1 && !window.tableBusy() && !table.inputLocked();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(
        humanToPlay(),
        qPrintable(QStringLiteral("%1 cards played, pause %2, glide %3, pause seen %4")
                       .arg(s.CardsPlayed)
                       .arg(window.tableBusy())
                       .arg(resizedInGlide)
                       .arg(resizedInPause)),
        10000);
    watcher.stop();
    QVERIFY(resizedInGlide);
    QVERIFY(resizedInPause);
    QCOMPARE(game.model().dealsDealt(), deals); // the deal was never given up
    const int taker = s.WinningCard.Seat;
    QCOMPARE(s.CardsPlayed, 4 + (taker == 1 ? 0 : 5 - taker));
    QCOMPARE(halbeet::testing::checkStateInvariants(s, table), QString());
    // Everything where the layout puts it, at the new scale.
    QVERIFY(card->isHidden());
    QCOMPARE(card->logicalPos(), home);
    CardSprite* marker = table.marker(taker, 1);
    QVERIFY(marker->isVisible());
    QCOMPARE(marker->logicalPos(), Table::markerHome(taker, 1));
    QCOMPARE(marker->geometry(),
             table.tableScale().toReal(QRect(Table::markerHome(taker, 1), QSize(39, 57))));
    for (int seat = 2; seat <= 4; ++seat) {
        // A card of the next trick lies on its slot; the others rest on the cut places.
        const QPoint rest =
            table.trickSlot(seat)->Suite() != 0 ? Table::trickHome(seat) : Table::cutHome(seat);
        QCOMPARE(table.moveSprite(seat)->logicalPos(), rest);
    }
    setTimeScale(0);
}

void ScaledTableTest::cardsAreRenderedOnceTheSizeSettles()
{
    Game game;
    Table& table = game.table();
    QSignalSpy rendered(&table, &Table::rendered);
    game.window().resize(game.window().size() * 2);
    // A drag only moves the cards; their pictures wait for the size to settle.
    QVERIFY(table.renderPending());
    QTRY_COMPARE(rendered.size(), 1);
    QVERIFY(!table.renderPending());
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = table.handSprite(1, k);
        QVERIFY2(paintedCrisp(sprite), qPrintable(sprite->objectName()));
    }
    CardSprite* back = table.handSprite(3, 5);
    QVERIFY(paintedCrisp(back));
    // Texts at the scaled size.
    QVERIFY(table.scaleFactor() > 1.9);
    QCOMPARE(table.bidLabel(2)->font().pixelSize(), table.tableScale().length(11));
    QVERIFY(table.nameLabel(1)->font().pixelSize() > 30);
    QCOMPARE(table.bidButton()->geometry(), table.tableScale().toReal(QRect(232, 240, 75, 25)));
    // The status bar keeps its height and stretches its last panel to the width.
    StatusBar* bar = game.window().statusBar1();
    QCOMPARE(bar->height(), StatusBar::BarHeight);
    QCOMPARE(bar->panelRect(bar->panelCount() - 1).right(), bar->width() - 1);
}

void ScaledTableTest::picturesOfOldSizesGiveWay()
{
    // A long drag renders many sizes; the cache keeps what is still asked for (the cards on
    // screen are asked at every paint) and lets the sizes left behind go.
    CardArt::clearCache();
    const QSize shown(400, 560);
    const qint64 onScreen = CardArt::back(2, shown, 1.0).cacheKey();
    const qint64 leftBehind = CardArt::back(3, QSize(401, 560), 1.0).cacheKey();
    for (int i = 0; i < 80; ++i) {
        CardArt::back(1, QSize(400, 561 + i), 1.0);
        QCOMPARE(CardArt::back(2, shown, 1.0).cacheKey(), onScreen);
    }
    QVERIFY(CardArt::back(3, QSize(401, 560), 1.0).cacheKey() != leftBehind);
    CardArt::clearCache();
}

void ScaledTableTest::fullScreenCommand()
{
    Game game;
    MainWindow& window = game.window();
    QAction* item = window.menuItem(QStringLiteral("FullScreen1"));
    QVERIFY(item);
    QCOMPARE(item->shortcut(), QKeySequence(Qt::Key_F11));
    QCOMPARE(item->text(), texts().mainWindow.FullScreen);
    item->trigger();
    QTRY_VERIFY(window.isFullScreen());
    QVERIFY(item->isChecked());
    item->trigger();
    QTRY_VERIFY(!window.isFullScreen());
    QVERIFY(!item->isChecked());

    // Esc leaves full screen; elsewhere it leaves the window as it is.
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isFullScreen());
    item->trigger();
    QTRY_VERIFY(window.isFullScreen());
    // From whichever of the window's widgets has the keyboard (the bid box, while bidding).
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused && focused->window() == &window ? focused : &window, Qt::Key_Escape);
    QTRY_VERIFY(!window.isFullScreen());
    QVERIFY(!item->isChecked());
}

void ScaledTableTest::windowSizeRoundTripsThroughTheSettings()
{
    const QByteArray before =
        "; kept as it is\r\n[NAMES]\r\nPLAYER1=Tester\r\nODD LINE\r\n[BACKCARD]\r\nBACK=-5\r\n";
    GameWindow::Options options;
    options.settings = before;
    GameWindow first(options);
    QVERIFY(first.start().isEmpty());
    const QSize wanted = first.window().defaultSize() + QSize(173, 91);
    first.window().resize(wanted);
    first.window().saveWindowState();
    QFile file(first.settings().file());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    // Every line that was there is still there, byte for byte; the new section follows.
    QVERIFY2(after.startsWith(before), after.constData());
    QVERIFY2(after.contains("[WINDOW]"), after.constData());
    QCOMPARE(settings::windowPlacement().width, wanted.width());
    QCOMPARE(settings::windowPlacement().height, wanted.height());

    GameModel game([] { return 1u; });
    const auto second = createMainWindow(game);
    second->setNameDialogDelay(60000);
    second->showRestored();
    QVERIFY(QTest::qWaitForWindowExposed(second.get()));
    QCOMPARE(second->size(), wanted);
    QVERIFY(!second->isMaximized());
    QVERIFY(!second->isFullScreen());
}

void ScaledTableTest::storedStateIsRestored_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("nothing stored") << QByteArray("[NAMES]\nPLAYER1=A\n") << false << false;
    QTest::newRow("maximised") << QByteArray("[WINDOW]\nMAXIMIZED=1\n") << true << false;
    QTest::newRow("full screen") << QByteArray("[WINDOW]\nFULLSCREEN=1\nMAXIMIZED=0\n") << false
                                 << true;
    QTest::newRow("garbage reads as the default")
        << QByteArray("[WINDOW]\nWIDTH=-40\nHEIGHT=wide\nMAXIMIZED=0\n") << false << false;
}

void ScaledTableTest::storedStateIsRestored()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, maximized);
    QFETCH(bool, fullScreen);
    GameWindow::Options options;
    options.settings = ini;
    GameWindow game(options);
    MainWindow& window = game.window();
    window.setNameDialogDelay(0);
    window.showRestored();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.isMaximized(), maximized);
    QTRY_COMPARE(window.isFullScreen(), fullScreen);
    if (!maximized && !fullScreen)
        QCOMPARE(window.size(), window.defaultSize());
    // The glide step, taken again once the window is framed, is that of the default size:
    // glides take as many steps in a maximised or full-screen window.
    QTRY_VERIFY(window.nameDialog() && window.nameDialog()->isVisible());
    QCOMPARE(window.glideStep(), ComputeGlideStep(window.defaultSize().height()));
    QCOMPARE(window.menuItem(QStringLiteral("FullScreen1"))->isChecked(), fullScreen);
    // Closing with nothing changed rewrites nothing.
    QFile file(game.settings().file());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), ini);
    file.close();
    window.saveWindowState();
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    if (ini.contains("WIDTH") || !ini.contains("WINDOW"))
        QVERIFY(after.startsWith(ini));
    else
        QCOMPARE(after, ini);
}

void ScaledTableTest::tooLargeASizeIsBroughtBackOnScreen()
{
    GameWindow::Options options;
    options.settings = "[WINDOW]\nWIDTH=9000\nHEIGHT=7000\n";
    GameWindow game(options);
    MainWindow& window = game.window();
    window.setNameDialogDelay(60000);
    window.showRestored();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect available = window.screen()->availableGeometry();
    QVERIFY2(window.width() <= available.width() && window.height() <= available.height(),
             qPrintable(QStringLiteral("%1x%2 on %3x%4")
                            .arg(window.width())
                            .arg(window.height())
                            .arg(available.width())
                            .arg(available.height())));
    QVERIFY(window.width() >= window.defaultSize().width());
    QVERIFY(available.contains(window.geometry().topLeft()));
}

void ScaledTableTest::normalSizeOutlivesMaximising_data()
{
    QTest::addColumn<bool>("byWindowManager");
    QTest::addColumn<bool>("thenFullScreen");
    // The window manager maximises: the window is resized to the screen first and told of the
    // state after, as several window managers do.
    QTest::newRow("maximised by the window manager") << true << false;
    QTest::newRow("maximised by the program") << false << false;
    QTest::newRow("maximised by the window manager, then full screen") << true << true;
}

void ScaledTableTest::normalSizeOutlivesMaximising()
{
    QFETCH(bool, byWindowManager);
    QFETCH(bool, thenFullScreen);
    GameWindow::Options options;
    options.settings = "[NAMES]\nPLAYER1=Tester\n";
    GameWindow game(options);
    MainWindow& window = game.window();
    QVERIFY(game.start().isEmpty());
    const QSize normal = window.defaultSize() + QSize(40, 30);
    window.resize(normal);
    QTRY_COMPARE(window.size(), normal);
    if (byWindowManager)
        window.windowHandle()->setWindowStates(Qt::WindowMaximized);
    else
        window.showMaximized();
    QTRY_VERIFY(window.isMaximized());
    QTRY_VERIFY(window.size() != normal);
    if (thenFullScreen) {
        window.menuItem(QStringLiteral("FullScreen1"))->trigger();
        QTRY_VERIFY(window.isFullScreen());
    }
    window.saveWindowState();
    const settings::WindowPlacement stored = settings::windowPlacement();
    QCOMPARE(QSize(stored.width, stored.height), normal);
    QCOMPARE(stored.maximized, true);
    QCOMPARE(stored.fullScreen, thenFullScreen);
    QVERIFY2(game.settings().contents().contains(QStringLiteral("MAXIMIZED=1")),
             qPrintable(game.settings().contents()));
}

void ScaledTableTest::maximisedSizeInAnOldFileIsNotTheNormalOne()
{
    // Written before the normal size was kept apart: the size is the maximised window's.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    GameWindow::Options options;
    options.settings = QStringLiteral("[WINDOW]\nWIDTH=%1\nHEIGHT=%2\nMAXIMIZED=1\n")
                           .arg(available.width())
                           .arg(available.height() - 4)
                           .toLatin1();
    GameWindow game(options);
    MainWindow& window = game.window();
    window.setNameDialogDelay(60000);
    window.showRestored();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.isMaximized());
    // Un-maximised, the window is back at the default size, whole on the screen.
    window.showNormal();
    QTRY_VERIFY(!window.isMaximized());
    QTRY_COMPARE(window.size(), window.defaultSize());
    QVERIFY(available.contains(window.frameGeometry()));
}

void ScaledTableTest::fittedWindowSize_data()
{
    QTest::addColumn<QSize>("wanted");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("fits") << QSize(900, 700) << QSize(900, 700);
    QTest::newRow("too wide") << QSize(3000, 700) << QSize(1920, 700);
    QTest::newRow("too high, frame counted") << QSize(900, 1080) << QSize(900, 1050);
    QTest::newRow("smaller than the minimum") << QSize(300, 200) << QSize(560, 436);
}

void ScaledTableTest::fittedWindowSize()
{
    QFETCH(QSize, wanted);
    QFETCH(QSize, expected);
    QCOMPARE(
        MainWindow::fittedWindowSize(wanted, QSize(560, 436), QSize(0, 30), QRect(0, 0, 1920, 1080)),
        expected);
}

QTEST_MAIN(ScaledTableTest)
#include "tst_scaled_table.moc"
