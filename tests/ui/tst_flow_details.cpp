// SPDX-License-Identifier: GPL-3.0-or-later
// Details of the flow a player sees: where the cards of a taken trick go and in which order,
// how the cards of a trick overlap, which back leaves a computer hand, New Game in the middle
// of a deal, the bid total at the edge of a pass, a game won in play, the window during a
// glide, the glide step, long names on the score sheet and About from the cards on the table.

#include "test_support.h"

#include "ui/about.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QtTest>

#include <map>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

// Records every sprite hidden while it watches, with the place where it disappeared.
class HideRecorder : public QObject {
public:
    struct Hide {
        CardSprite* sprite;
        QPoint at;
    };
    void watch(CardSprite* sprite) { sprite->installEventFilter(this); }
    QList<Hide> hides;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide) {
            auto* sprite = static_cast<CardSprite*>(watched);
            hides.append({sprite, sprite->pos()});
        }
        return false;
    }
};

int stackIndex(const QWidget* w) { return w->parentWidget()->children().indexOf(w); }

// The sprite that shows the card of this trick position on the table.
CardSprite* trickSprite(Game& game, int seat, CardSprite* humanCard)
{
    return seat == 1 ? humanCard : game.table().moveSprite(seat);
}

} // namespace

class TstFlowDetails : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setTimeScale(0.0); }

    void sweepGoesToTheTakerInOrder();
    void trickCardsOverlapInPlayOrder();
    void computerHandsGiveUpBacksThatHoldNoCard();
    void newGameMidDealKeepsTheDealerRotationAndEmptiesTheSheet();
    void bidTotalOfElevenPlaysTenPasses_data();
    void bidTotalOfElevenPlaysTenPasses();
    void menuBarLooksTheSameDuringAGlideButTakesNoInput();
    void glideStepComesFromTheFramedWindow();
    void longNamesShowWholeOnTheScoreSheet();
    void rightClickOnAPlayedCardOffersAbout();
    void gameWonInPlayAnsweredYes();
    // Last: answering No ends the application's event handling for this process.
    void gameWonInPlayAnsweredNo();

private:
    // Plays legal cards of whole deals until `done` says so; `each` runs after every click.
    static void playUntil(Game& game, const std::function<bool()>& done, int maxDeals,
                          const std::function<void(CardSprite*)>& each = {},
                          const std::function<void()>& beforeEach = {});
    // Plays seeded deals until one ends the game; the sheet of that deal goes to onWon.
    static void playToTheEndOfAGame(Game& game, const std::function<void(ScoreSheet*)>& onWon);
};

void TstFlowDetails::playUntil(Game& game, const std::function<bool()>& done, int maxDeals,
                               const std::function<void(CardSprite*)>& each,
                               const std::function<void()>& beforeEach)
{
    TGameState& s = game.state();
    for (int deal = 0; deal < maxDeals && !done(); ++deal) {
        if (game.table().bidButton()->isVisible())
            game.bid(QStringLiteral("6"));
        while (s.HandCount[1] > 1 && !done()) {
            CardSprite* sprite = game.spriteOf(game.legalCard());
            QVERIFY(sprite);
            if (beforeEach)
                beforeEach();
            GameWindow::click(sprite);
            if (each)
                each(sprite);
        }
        if (done())
            return;
        game.playOutDeal();
    }
}

void TstFlowDetails::playToTheEndOfAGame(Game& game, const std::function<void(ScoreSheet*)>& onWon)
{
    TGameState& s = game.state();
    bool won = false;
    for (int deal = 0; deal < 80 && !won; ++deal) {
        game.bid(QStringLiteral("6"));
        game.playOutDeal([&](ScoreSheet* sheet) {
            if (s.GameWinner < 1)
                return;
            won = true;
            onWon(sheet);
        });
        if (QTest::currentTestFailed())
            return;
    }
    QVERIFY2(won, "no game ended within 80 deals");
}

void TstFlowDetails::sweepGoesToTheTakerInOrder()
{
    Game game(3);
    TGameState& s = game.state();
    Table& table = game.table();
    HideRecorder recorder;
    for (int k = 1; k <= 13; ++k)
        recorder.watch(table.handSprite(1, k));
    for (int seat = 2; seat <= 4; ++seat)
        recorder.watch(table.moveSprite(seat));

    std::map<int, int> checked; // taker -> tricks checked
    const auto allTakers = [&checked] { return checked.size() == 4 && checked.begin()->second > 0; };
    playUntil(game, allTakers, 12, [&](CardSprite* human) {
        // Every click completes one trick: its four cards are the four hides of the click.
        const QList<HideRecorder::Hide> hides = recorder.hides;
        recorder.hides.clear();
        QCOMPARE(hides.size(), 4);
        const int taker = s.WinningCard.Seat;
        CardSprite* p2 = table.moveSprite(2);
        CardSprite* p3 = table.moveSprite(3);
        CardSprite* p4 = table.moveSprite(4);
        QPoint to;
        QList<CardSprite*> order;
        switch (taker) {
        case 1: to = {Table::trickHome(1).x(), game.window().height()}; order = {human, p2, p4, p3}; break;
        case 2: to = {game.window().width(), Table::trickHome(2).y()}; order = {p2, p3, human, p4}; break;
        case 3: to = {Table::trickHome(3).x(), 0}; order = {p3, p2, p4, human}; break;
        default: to = {0, Table::trickHome(4).y()}; order = {p4, p3, human, p2}; break;
        }
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(hides[i].sprite == order[i],
                     qPrintable(QStringLiteral("taker %1: card %2 of the sweep is %3, expected %4")
                                    .arg(taker).arg(i + 1).arg(hides[i].sprite->objectName(), order[i]->objectName())));
            QCOMPARE(hides[i].at, to);
        }
        // The human's card is back at its place in the hand, out of sight.
        QVERIFY(!human->isVisible());
        QCOMPARE(human->y(), Table::HandTop);
        ++checked[taker];
    }, [&recorder] { recorder.hides.clear(); });
    QVERIFY2(allTakers(), qPrintable(QStringLiteral("only %1 takers seen").arg(checked.size())));
}

void TstFlowDetails::trickCardsOverlapInPlayOrder()
{
    Game game(5);
    TGameState& s = game.state();
    // Short real waits: the complete trick lies on the table for a moment (TrickPause).
    setTimeScale(0.02);
    CardSprite* human = nullptr;
    int looked = 0;
    QStringList problems;
    QTimer look;
    look.setInterval(1);
    std::uint64_t lookedAtDeal = 0;
    connect(&look, &QTimer::timeout, this, [&] {
        if (!game.window().tableBusy() || s.Trick[4].Suite == 0 || !human)
            return;
        const std::uint64_t key = (std::uint64_t(s.CardsPlayed) << 8) | std::uint64_t(s.TricksWon[1] + s.TricksWon[2]);
        if (key == lookedAtDeal)
            return;
        lookedAtDeal = key;
        ++looked;
        for (int p = 2; p <= 4; ++p) {
            const CardSprite* below = trickSprite(game, s.Trick[p - 1].Seat, human);
            const CardSprite* above = trickSprite(game, s.Trick[p].Seat, human);
            if (stackIndex(below) >= stackIndex(above))
                problems << QStringLiteral("trick %1: the card of position %2 (seat %3) lies over position %4")
                                .arg(s.CardsPlayed / 4).arg(p - 1).arg(s.Trick[p - 1].Seat).arg(p);
        }
    });
    look.start();
    game.bid(QStringLiteral("6"));
    for (int trick = 0; trick < 12; ++trick) {
        QVERIFY(game.waitForHumansTurn());
        human = game.spriteOf(game.legalCard());
        QVERIFY(human);
        GameWindow::click(human);
    }
    QVERIFY(game.waitForHumansTurn());
    look.stop();
    QVERIFY2(looked >= 12, qPrintable(QStringLiteral("only %1 complete tricks seen").arg(looked)));
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TstFlowDetails::computerHandsGiveUpBacksThatHoldNoCard()
{
    // A back that leaves a computer's hand carries no rank, and a computer dealer's turned
    // card, and no other, leaves from his thirteenth place, where everyone saw it go.
    Game game(7);
    TGameState& s = game.state();
    Table& table = game.table();
    const GameModel& model = game.window().game();
    int turnedCardsSeen = 0;
    QStringList problems;
    class Check : public QObject {
    public:
        std::function<void(CardSprite*)> onHide;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Hide)
                onHide(static_cast<CardSprite*>(watched));
            return false;
        }
    } check;
    check.onHide = [&](CardSprite* gone) {
        if (s.CardsPlayed >= 52 || table.bidButton()->isVisible() || model.plays().empty())
            return;
        const TTrickCard last = model.plays().back();
        for (int seat = 2; seat <= 4; ++seat) {
            for (int k = 1; k <= 13; ++k) {
                if (table.handSprite(seat, k) != gone)
                    continue;
                if (gone->Number() != 0)
                    problems << QStringLiteral("%1 held rank %2").arg(gone->objectName()).arg(gone->Number());
                const bool turned = seat == model.dealer() && last.Seat == seat &&
                                    last.Suite == s.CutCard.Suite && last.Number == s.CutCard.Number;
                turnedCardsSeen += turned ? 1 : 0;
                if (last.Seat == seat && (k == 13 && seat == model.dealer()) != turned)
                    problems << QStringLiteral("seat %1 played %2/%3 from its place %4").arg(seat)
                                    .arg(last.Suite).arg(last.Number).arg(k);
            }
        }
    };
    for (int n = 14; n <= 52; ++n)
        table.card(n)->installEventFilter(&check);
    playUntil(game, [&] { return turnedCardsSeen >= 2; }, 8);
    QVERIFY2(turnedCardsSeen >= 2, "no computer dealer played his turned card");
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TstFlowDetails::newGameMidDealKeepsTheDealerRotationAndEmptiesTheSheet()
{
    Game game(9);
    TGameState& s = game.state();
    game.bid(QStringLiteral("6"));
    game.playOutDeal();
    QCOMPARE(s.ScoreRow, 2);
    game.bid(QStringLiteral("6"));
    GameWindow::click(game.spriteOf(game.legalCard()));
    QVERIFY(s.CardsPlayed > 0 && s.CardsPlayed < 52);
    const int dealer = DealerSeat(s.DealerCounter);

    answerNextMessage(MsgButton::Yes);
    game.window().menuItem(QStringLiteral("N2"))->trigger();
    // The next seat deals, as after any deal; the names show who.
    const int next = dealer % 4 + 1;
    QCOMPARE(DealerSeat(s.DealerCounter), next);
    QCOMPARE(game.window().statusBar1()->getDealPanel()->text(), game.table().nameLabel(next)->text());
    QVERIFY(game.table().bidButton()->isVisible());

    // The sheet the player opens is empty.
    bool looked = false;
    QStringList rows;
    whenModal([&](QWidget* modal) {
        auto* sheet = qobject_cast<ScoreSheet*>(modal);
        if (!sheet) {
            static_cast<QDialog*>(modal)->reject();
            return;
        }
        for (int seat = 1; seat <= 4; ++seat)
            for (int row = 1; row <= ScoreSheet::Rows; ++row)
                if (sheet->scoreLabel(seat, row)->isVisible())
                    rows << QStringLiteral("row %1 of seat %2 still shows %3").arg(row).arg(seat)
                                .arg(sheet->scoreLabel(seat, row)->text());
        looked = true;
        sheet->okButton()->click();
    });
    game.window().menuItem(QStringLiteral("N4"))->trigger();
    QVERIFY(looked);
    QVERIFY2(rows.isEmpty(), qPrintable(rows.join(QLatin1Char('\n'))));
    QCOMPARE(s.ScoreRow, 1);
    QCOMPARE(s.Scores, (PerSeat<std::int32_t>{}));
}

void TstFlowDetails::bidTotalOfElevenPlaysTenPasses_data()
{
    QTest::addColumn<QString>("bid");
    QTest::addColumn<bool>("passes");
    // The computers' bids add up to 8 in the deal chosen below.
    QTest::newRow("2 + 8 = 10 passes") << QStringLiteral("2") << true;
    QTest::newRow("3 + 8 = 11 plays") << QStringLiteral("3") << false;
}

void TstFlowDetails::bidTotalOfElevenPlaysTenPasses()
{
    QFETCH(QString, bid);
    QFETCH(bool, passes);
    // A seed whose first deal has computer bids totalling 8.
    std::unique_ptr<Game> game;
    for (std::uint32_t seed = 1; seed < 400; ++seed) {
        game = std::make_unique<Game>(seed);
        const TGameState& s = game->state();
        if (s.Bids[2] + s.Bids[3] + s.Bids[4] == 8)
            break;
        game.reset();
    }
    QVERIFY2(game, "no deal with computer bids totalling 8");
    TGameState& s = game->state();
    const int dealer = DealerSeat(s.DealerCounter);
    QString notice;
    const auto shown = passes ? std::make_shared<bool>(false) : nullptr;
    if (passes)
        answerNextMessage(MsgButton::OK, &notice);
    game->bid(bid);
    if (passes) {
        QCOMPARE(notice, texts().flow.PassNotice);
        // Dealt again by the next seat, waiting for a bid.
        QCOMPARE(DealerSeat(s.DealerCounter), dealer % 4 + 1);
        QVERIFY(game->table().bidButton()->isVisible());
        QCOMPARE(s.CardsPlayed, 0);
    } else {
        QVERIFY(!game->table().bidButton()->isVisible());
        QCOMPARE(game->table().bidLabel(1)->text(), bid);
        for (int seat = 2; seat <= 4; ++seat)
            QCOMPARE(game->table().bidLabel(seat)->text(), QString::number(s.Bids[seat]));
        QCOMPARE(DealerSeat(s.DealerCounter), dealer);
    }
}

void TstFlowDetails::menuBarLooksTheSameDuringAGlideButTakesNoInput()
{
    Game game(1); // the human deals: three computer cards glide after the bid
    MainWindow& window = game.window();
    QMenuBar* bar = window.menuBar();
    const QImage atRest = bar->grab().toImage();
    setTimeScale(1.0);
    int looks = 0;
    QStringList problems;
    bool questionAsked = false;
    QTimer look;
    look.setInterval(2);
    connect(&look, &QTimer::timeout, this, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            questionAsked = true;
            pressMessageButton(modal, MsgButton::No);
            return;
        }
        if (!game.table().inputLocked() || looks >= 3)
            return;
        ++looks;
        if (!window.isEnabled() || !bar->isEnabled())
            problems << QStringLiteral("the window is disabled during a glide");
        if (bar->grab().toImage() != atRest)
            problems << QStringLiteral("the menu bar is drawn differently during a glide");
        // The menus and their keys stay shut.
        QAction* gameMenu = window.menuItem(QStringLiteral("N1"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(gameMenu).center());
        if (QApplication::activePopupWidget()) {
            problems << QStringLiteral("the Game menu opened during a glide");
            QApplication::activePopupWidget()->close();
        }
        QTest::keyClick(&window, Qt::Key_F2);
    });
    look.start();
    game.bid(QStringLiteral("6"));
    QVERIFY(game.waitForHumansTurn());
    look.stop();
    QVERIFY2(looks > 0, "no glide was seen");
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    QVERIFY2(!questionAsked, "F2 asked for a new game during a glide");
    QVERIFY(!game.table().inputLocked());
    // At rest the menus answer again.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(window.menuItem(QStringLiteral("N1"))).center());
    QTRY_VERIFY(QApplication::activePopupWidget());
    QApplication::activePopupWidget()->close();
}

void TstFlowDetails::glideStepComesFromTheFramedWindow()
{
    for (const char* language : {"EN", "AR"}) {
        GameWindow::Options options;
        options.language = QString::fromLatin1(language);
        GameWindow game(options);
        QCOMPARE(game.start(), QString());
        MainWindow& window = game.window();
        const int outer = window.frameGeometry().height();
        // The window with its menu bar (and its frame, where the window system has one).
        QVERIFY(outer >= MainWindow::ClientHeight + window.menuBar()->height());
        const int step = window.glideStep();
        QVERIFY2(step == outer / 12 || step == outer / 11,
                 qPrintable(QStringLiteral("%1: step %2 for an outer height of %3").arg(language).arg(step).arg(outer)));
    }
}

void TstFlowDetails::longNamesShowWholeOnTheScoreSheet()
{
    const QByteArray ini = "[NAMES]\nPLAYER2=MMMMMMMM\nPLAYER3=<b>x</b>\nPLAYER4=\xD8\xB4\xD8\xB4\xD8\xB4\xD8\xB4"
                           "\xD8\xB4\xD8\xB4\xD8\xB4\xD8\xB4\n";
    for (const char* language : {"EN", "AR"}) {
        GameWindow::Options options;
        options.language = QString::fromLatin1(language);
        options.playerName = QStringLiteral("WWWWWWWW");
        options.settings = ini;
        GameWindow game(options);
        QCOMPARE(game.start(), QString());
        bool looked = false;
        QStringList problems;
        whenModal([&](QWidget* modal) {
            auto* sheet = qobject_cast<ScoreSheet*>(modal);
            if (!sheet) {
                static_cast<QDialog*>(modal)->reject();
                return;
            }
            for (int seat = 1; seat <= 4; ++seat) {
                const QLabel* heading = sheet->heading(seat);
                if (heading->text() != game.table().nameLabel(seat)->text())
                    problems << QStringLiteral("heading %1 shows \"%2\"").arg(seat).arg(heading->text());
                if (heading->fontMetrics().horizontalAdvance(heading->text()) > heading->width())
                    problems << QStringLiteral("%1: \"%2\" is cut").arg(language, heading->text());
                for (int other = seat + 1; other <= 4; ++other)
                    if (heading->geometry().intersects(sheet->heading(other)->geometry()))
                        problems << QStringLiteral("headings %1 and %2 overlap").arg(seat).arg(other);
            }
            looked = true;
            sheet->okButton()->click();
        });
        game.window().menuItem(QStringLiteral("N4"))->trigger();
        QVERIFY(looked);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }
}

void TstFlowDetails::rightClickOnAPlayedCardOffersAbout()
{
    Game game(1); // the computers lead and follow before the human's first card
    game.bid(QStringLiteral("6"));
    CardSprite* card = game.table().moveSprite(2);
    QVERIFY(card->isVisible());
    QCOMPARE(card->pos(), Table::trickHome(2));
    QWidget* window = &game.window();
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, {},
                      card->mapTo(window, QPoint(card->width() - 6, card->height() / 2)));
    QTRY_VERIFY(game.table().trickMenu()->isVisible());
    bool aboutShown = false;
    whenModal([&](QWidget* modal) {
        aboutShown = qobject_cast<AboutBox*>(modal) != nullptr;
        static_cast<QDialog*>(modal)->accept();
    });
    game.table().aboutAction()->trigger();
    game.table().trickMenu()->hide();
    QVERIFY(aboutShown);
}

void TstFlowDetails::gameWonInPlayAnsweredYes()
{
    Game game(21);
    TGameState& s = game.state();
    int dealerBefore = -1;
    GameEndSeen seen;
    playToTheEndOfAGame(game, [&](ScoreSheet* sheet) {
        const int winner = s.GameWinner;
        // The winner's column is green, every row of it; the others' are not.
        for (int row = 1; row < s.ScoreRow; ++row) {
            QCOMPARE(sheet->scoreLabel(winner, row)->palette().color(QPalette::WindowText), QColor(0, 128, 0));
            const int other = winner % 4 + 1;
            QVERIFY(sheet->scoreLabel(other, row)->palette().color(QPalette::WindowText) != QColor(0, 128, 0));
        }
        dealerBefore = DealerSeat(s.DealerCounter);
        answerGameEnd(MsgButton::Yes, &seen);
    });
    if (QTest::currentTestFailed())
        return;
    // A new game: scores and sheet empty, the next seat deals.
    QCOMPARE(s.Scores, (PerSeat<std::int32_t>{}));
    QCOMPARE(s.ScoreRow, 1);
    QCOMPARE(DealerSeat(s.DealerCounter), dealerBefore % 4 + 1);
    QVERIFY(game.table().bidButton()->isVisible());
    QVERIFY(game.window().isVisible());
}

void TstFlowDetails::gameWonInPlayAnsweredNo()
{
    Game game(21);
    TGameState& s = game.state();
    GameEndSeen seen;
    playToTheEndOfAGame(game, [&](ScoreSheet*) { answerGameEnd(MsgButton::No, &seen); });
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(seen.question, texts().flow.NewGameQuestion);
    QVERIFY(!game.window().isVisible());
    QVERIFY(!game.table().bidButton()->isVisible());
    QCOMPARE(s.CardsPlayed, 52);
}

int main(int argc, char* argv[])
{
    useOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    TstFlowDetails test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_flow_details.moc"
