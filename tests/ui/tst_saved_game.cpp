// SPDX-License-Identifier: GPL-3.0-or-later
// A game that outlives the window: saved when the player quits in the middle of a deal, offered
// at the next start, and laid out again exactly as it was; refused saves are kept aside.

#include "test_support.h"

#include "core/game.h"
#include "settings/saved_game.h"
#include "settings/settings.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/last_trick.h"
#include "ui/main_window.h"
#include "ui/score_sheet.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace halbeet;
using halbeet::testing::answerNextMessage;
using halbeet::testing::checkStateInvariants;
using halbeet::testing::Game;
using halbeet::testing::GameWindow;
using halbeet::testing::messageDetails;
using halbeet::testing::messageText;
using halbeet::testing::pressMessageButton;
using halbeet::testing::whenModal;

namespace {

// Everything a person sees on the table, the status bar, the score sheet and the last-trick
// window, one line per visible thing.
QStringList snapshot(MainWindow& window)
{
    QStringList lines;
    Table& table = *window.table();
    // Which sprites show what, and where; then the order in which those that overlap lie:
    // the fan of the human's hand and the cards of the trick.
    QStringList fan, trick;
    for (QObject* child : table.children()) { // bottom to top
        auto* sprite = qobject_cast<CardSprite*>(child);
        if (!sprite || !sprite->isVisible())
            continue;
        lines << QStringLiteral("%1 at %2,%3 shows %4/%5")
                     .arg(sprite->objectName())
                     .arg(sprite->x())
                     .arg(sprite->y())
                     .arg(sprite->Suite())
                     .arg(sprite->Number());
        const QString name = sprite->objectName();
        bool onTrick = false;
        for (int seat = 1; seat <= 4; ++seat)
            onTrick = onTrick || sprite->pos() == Table::trickHome(seat);
        if (onTrick)
            trick << name;
        else if (sprite->y() >= Table::RaisedTop && sprite->y() <= Table::HandTop &&
                 (name.mid(4).toInt() >= 1 && name.mid(4).toInt() <= 13))
            fan << name;
    }
    lines.sort();
    lines << QStringLiteral("fan: ") + fan.join(QLatin1Char(' '));
    lines << QStringLiteral("trick: ") + trick.join(QLatin1Char(' '));
    for (int seat = 1; seat <= 4; ++seat) {
        lines << QStringLiteral("bid %1: '%2'").arg(seat).arg(table.bidLabel(seat)->text());
        lines << QStringLiteral("name %1: '%2'").arg(seat).arg(table.nameLabel(seat)->text());
    }
    lines << QStringLiteral("bid box %1, button %2")
                 .arg(table.bidBox()->isVisible())
                 .arg(table.bidButton()->isVisible());
    StatusBar& bar = *window.statusBar1();
    lines << QStringLiteral("deal '%1' play '%2' hint '%3'")
                 .arg(bar.getDealPanel()->text(), bar.getPlayPanel()->text(), bar.getHintPanel()->text());
    ScoreSheet& sheet = *window.scoreSheet();
    for (int row = 1; row <= ScoreSheet::Rows; ++row)
        for (int seat = 1; seat <= 4; ++seat) {
            QLabel* label = sheet.scoreLabel(seat, row);
            if (!label->isHidden())
                lines << QStringLiteral("sheet %1,%2 '%3' struck %4")
                             .arg(row)
                             .arg(seat)
                             .arg(label->text())
                             .arg(label->font().strikeOut());
        }
    for (int seat = 1; seat <= 4; ++seat) {
        const CardSprite* last = window.lastTrickWindow()->trickCard(seat);
        lines << QStringLiteral("last trick %1: %2/%3").arg(seat).arg(last->Suite()).arg(last->Number());
    }
    return lines;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Plays the human's legal cards until `tricks` tricks of the deal have been taken.
void playTricks(Game& game, int tricks)
{
    const TGameState& s = game.state();
    while (s.TricksWon[1] + s.TricksWon[2] + s.TricksWon[3] + s.TricksWon[4] < tricks) {
        CardSprite* sprite = game.spriteOf(game.legalCard());
        QVERIFY(sprite);
        game.click(sprite);
    }
}

GameWindow::Options named(const QString& language = QStringLiteral("EN"))
{
    GameWindow::Options options;
    options.playerName = QStringLiteral("Hawk");
    options.language = language;
    return options;
}

} // namespace

class SavedGameTest : public QObject {
    Q_OBJECT

private slots:
    void resumedTableMatchesTheOneLeft_data();
    void resumedTableMatchesTheOneLeft();
    void declinedSaveIsDiscardedAndAFreshDealStarts();
    void aComputerToPlayGoesOnAfterTheResume();
    void aComputerToBidBidsAfterTheResume();
    void unreadableSaveIsKeptAsideAndReportedOnce_data();
    void unreadableSaveIsKeptAsideAndReportedOnce();
    void resumeTurnedOffNeitherSavesNorOffers();
    void aRefusedSaveIsReportedAndKeepsTheOldFile();
    void theSaveIsKeptCurrentAfterEachTrick();
    void aGameKeptBetweenDealsGoesOnWithTheNextDeal();
    void exitQuestionSaysWhetherTheGameIsKept_data();
    void exitQuestionSaysWhetherTheGameIsKept();
    void turningSavingOffTakesThisRunsSaveAway();
};

void SavedGameTest::resumedTableMatchesTheOneLeft_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("dealsFirst"); // whole deals played first, for rows on the sheet
    QTest::addColumn<int>("tricks");     // tricks of the next deal played before quitting; -1: bidding
    QTest::newRow("bidding, English") << "EN" << 0 << -1;
    QTest::newRow("mid-deal after a scored deal, English") << "EN" << 1 << 3;
    QTest::newRow("mid-deal, Arabic") << "AR" << 0 << 5;
}

void SavedGameTest::resumedTableMatchesTheOneLeft()
{
    QFETCH(QString, language);
    QFETCH(int, dealsFirst);
    QFETCH(int, tricks);

    QStringList before;
    std::string savedText;
    QByteArray saveFile;
    {
        Game first(5, 0, {}, language);
        for (int d = 0; d < dealsFirst; ++d) {
            first.bid(QStringLiteral("6"));
            first.playOutDeal();
            if (QTest::currentTestFailed())
                return;
            if (first.window().game().phase() != Phase::Bidding)
                QSKIP("the deal passed or the game ended; another seed is needed");
        }
        if (tricks >= 0) {
            first.bid(QStringLiteral("6"));
            if (first.window().game().phase() != Phase::Playing)
                QSKIP("the deal passed");
            playTricks(first, tricks);
        }
        before = snapshot(first.window());
        savedText = first.window().game().save();
        first.window().saveGameOnQuit();
        saveFile = readFile(savedgame::path());
        QVERIFY(!saveFile.isEmpty());
    }

    GameWindow second(named(language));
    QVERIFY(writeFile(savedgame::path(), saveFile));
    QString question;
    answerNextMessage(MsgButton::Yes, &question);
    second.start();
    QCOMPARE(question, texts().savedGame.ResumeQuestion);
    QCOMPARE(second.window().game().save(), savedText);
    const QStringList after = snapshot(second.window());
    QCOMPARE(after, before);
    // Taken up, the save stays until the game ends: a crash now must not lose the game.
    QCOMPARE(readFile(savedgame::path()), saveFile);
    QCOMPARE(checkStateInvariants(second.state(), second.table()), QString());

    // And the game goes on to the end of the deal, its save kept current.
    if (tricks >= 0) {
        second.playOutDeal();
        QCOMPARE(second.window().game().scoreRows().size(), std::size_t(dealsFirst + 1));
        QCOMPARE(readFile(savedgame::path()), QByteArray::fromStdString(second.window().game().save()));
    }
}

void SavedGameTest::declinedSaveIsDiscardedAndAFreshDealStarts()
{
    QByteArray saveFile;
    {
        Game first(6);
        first.bid(QStringLiteral("6"));
        first.window().saveGameOnQuit();
        saveFile = readFile(savedgame::path());
    }
    GameWindow second(named());
    QVERIFY(writeFile(savedgame::path(), saveFile));
    answerNextMessage(MsgButton::No);
    QCOMPARE(second.start(), QString()); // a fresh deal waits for the bid
    QCOMPARE(second.window().game().dealsDealt(), 1);
    QCOMPARE(second.state().CardsPlayed, 0);
    // The declined game is gone; what is on disk now is the fresh one.
    const QByteArray now = readFile(savedgame::path());
    QVERIFY(now != saveFile);
    QCOMPARE(now, QByteArray::fromStdString(second.window().game().save()));
}

void SavedGameTest::aComputerToPlayGoesOnAfterTheResume()
{
    // A game left while a computer seat was about to play (its pause had begun).
    GameModel model([] { return 3u; });
    model.arrange().DealerCounter = 0; // seat 1 deals: seats 2, 3 and 4 lead off
    model.startDeal();
    for (int n = 0; n < 4; ++n)
        QVERIFY(model.bid(6));
    QCOMPARE(model.toAct(), 2);
    QVERIFY(model.play(model.legalCards().front())); // seat 2 has played; seat 3 is next

    GameWindow window(named());
    QVERIFY(writeFile(savedgame::path(), QByteArray::fromStdString(model.save())));
    answerNextMessage(MsgButton::Yes);
    window.start();
    const GameModel& game = window.window().game();
    QCOMPARE(game.phase(), Phase::Playing);
    QCOMPARE(game.toAct(), 1);
    QCOMPARE(game.state().CardsPlayed, 3);
    for (int seat = 2; seat <= 4; ++seat) {
        QVERIFY(window.table().moveSprite(seat)->isVisible());
        QCOMPARE(window.table().trickSlot(seat)->face(), (TCardFace{game.state().Trick[seat - 1].Suite,
                                                                    game.state().Trick[seat - 1].Number}));
    }
    QCOMPARE(window.window().statusBar1()->getPlayPanel()->text(), QStringLiteral("Hawk"));
    QCOMPARE(checkStateInvariants(window.state(), window.table()), QString());
    window.playOutDeal();
}

void SavedGameTest::aComputerToBidBidsAfterTheResume()
{
    // A game left while the computer seats were bidding: seat 2 has bid, seats 3 and 4 not yet.
    GameModel model([] { return 3u; });
    model.startDeal();
    QVERIFY(model.bid(4));
    QCOMPARE(model.toAct(), 3);

    GameWindow window(named());
    QVERIFY(writeFile(savedgame::path(), QByteArray::fromStdString(model.save())));
    answerNextMessage(MsgButton::Yes);
    QCOMPARE(window.start(), QString()); // the bid waits for the human
    const GameModel& game = window.window().game();
    QCOMPARE(game.phase(), Phase::Bidding);
    QCOMPARE(game.toAct(), 1);
    QCOMPARE(game.state().Bids[2], 4);
    for (int seat = 2; seat <= 4; ++seat) {
        const QString shown = window.table().bidLabel(seat)->text();
        QCOMPARE(shown, game.bidPublic(seat) ? QString::number(game.state().Bids[seat]) : QStringLiteral("?"));
    }
    window.bid(QStringLiteral("6"));
    QVERIFY(game.phase() == Phase::Playing || game.phase() == Phase::DealOver);
}

void SavedGameTest::unreadableSaveIsKeptAsideAndReportedOnce_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("reason");
    GameModel model([] { return 3u; });
    model.startDeal();
    const QByteArray good = QByteArray::fromStdString(model.save());
    QTest::newRow("truncated") << good.left(good.size() / 2) << englishTexts().savedGame.Damaged;
    QTest::newRow("not a saved game") << QByteArray("{\"hello\": 1}") << englishTexts().savedGame.NotASave;
    QByteArray newer = good;
    newer.replace("\"version\": 1", "\"version\": 9");
    QTest::newRow("a newer version") << newer << englishTexts().savedGame.NewerVersion;
    QByteArray doubled = good;
    const int at = doubled.indexOf("\"hands\"");
    const int second = doubled.indexOf("],\n  [", at);
    doubled.insert(second, QByteArray(",\n   [\n    1,\n    1\n   ]"));
    QTest::newRow("a card too many") << doubled << englishTexts().savedGame.Damaged;
}

void SavedGameTest::unreadableSaveIsKeptAsideAndReportedOnce()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, reason);
    GameWindow window(named());
    QVERIFY(writeFile(savedgame::path(), contents));
    const QByteArray settingsBefore = readFile(window.settings().file());
    QString notice;
    answerNextMessage(MsgButton::OK, &notice);
    QCOMPARE(window.start(), QString()); // a new game waits for the bid
    QVERIFY2(notice.contains(reason), qPrintable(notice));
    // Moved aside; in its place now the new game's save.
    QCOMPARE(readFile(savedgame::path()), QByteArray::fromStdString(window.window().game().save()));
    const QStringList aside =
        QDir(savedgame::folder()).entryList({QStringLiteral("game-unreadable-*.json")}, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QVERIFY(notice.contains(aside.first()));
    QCOMPARE(readFile(savedgame::folder() + QLatin1Char('/') + aside.first()), contents);
    QCOMPARE(readFile(window.settings().file()).contains("[GAME]"), settingsBefore.contains("[GAME]"));
}

void SavedGameTest::resumeTurnedOffNeitherSavesNorOffers()
{
    Game game(7, 0, QByteArray("[GAME]\nRESUME=0\n"));
    game.bid(QStringLiteral("6"));
    game.window().saveGameOnQuit();
    QVERIFY(!QFile::exists(savedgame::path()));

    GameWindow second(GameWindow::Options{7, QStringLiteral("Hawk"), QStringLiteral("EN"),
                                          QByteArray("[GAME]\nRESUME=0\n"), 0});
    GameModel model([] { return 3u; });
    model.startDeal();
    QVERIFY(writeFile(savedgame::path(), QByteArray::fromStdString(model.save())));
    QCOMPARE(second.start(), QString()); // no question: straight to a fresh deal
    QVERIFY(QFile::exists(savedgame::path())); // left alone, as the player may turn it back on
}

void SavedGameTest::aRefusedSaveIsReportedAndKeepsTheOldFile()
{
    Game game(8);
    game.bid(QStringLiteral("6"));
    // The save's place is taken by a folder: the write must fail, and say where.
    QVERIFY(QFile::remove(savedgame::path())); // the deal's own save
    QVERIFY(QDir().mkpath(savedgame::path()));
    QString notice;
    answerNextMessage(MsgButton::OK, &notice);
    game.window().saveGameOnQuit();
    QVERIFY2(notice.contains(savedgame::path()), qPrintable(notice));
    QVERIFY(QFileInfo(savedgame::path()).isDir());
}

void SavedGameTest::theSaveIsKeptCurrentAfterEachTrick()
{
    Game game(9);
    game.bid(QStringLiteral("6"));
    const GameModel& model = game.window().game();
    if (model.phase() != Phase::Playing)
        QSKIP("the deal passed");
    for (int tricks = 1; tricks <= 12; ++tricks) {
        playTricks(game, tricks);
        // On disk: the deal as the trick was taken (the computers may have led since).
        GameModel saved([] { return 0u; });
        QVERIFY(saved.load(readFile(savedgame::path()).toStdString()));
        QCOMPARE(saved.takers().size(), std::size_t(tricks));
        QCOMPARE(saved.phase(), Phase::Playing);
        const auto plays = model.plays();
        QCOMPARE(saved.plays().size(), std::size_t(4 * tricks));
        QVERIFY(std::equal(saved.plays().begin(), saved.plays().end(), plays.begin(),
                           [](const TTrickCard& a, const TTrickCard& b) {
                               return a.Seat == b.Seat && a.Suite == b.Suite && a.Number == b.Number;
                           }));
    }
    // Scored, the deal is kept with its row; dealt, the next deal replaces it.
    game.playOutDeal([&](ScoreSheet*) {
        QCOMPARE(readFile(savedgame::path()), QByteArray::fromStdString(model.save()));
        QVERIFY(model.dealScored());
    });
    QCOMPARE(model.phase(), Phase::Bidding);
    QCOMPARE(readFile(savedgame::path()), QByteArray::fromStdString(model.save()));
}

void SavedGameTest::aGameKeptBetweenDealsGoesOnWithTheNextDeal()
{
    QByteArray between;
    PerSeat<std::int32_t> scores{};
    {
        Game first(5);
        first.bid(QStringLiteral("6"));
        if (first.window().game().phase() != Phase::Playing)
            QSKIP("the deal passed");
        // The program ends while the sheet of the scored deal is up.
        first.playOutDeal([&](ScoreSheet*) {
            between = readFile(savedgame::path());
            scores = first.state().Scores;
        });
    }
    QVERIFY(!between.isEmpty());

    GameWindow second(named());
    QVERIFY(writeFile(savedgame::path(), between));
    answerNextMessage(MsgButton::Yes);
    QCOMPARE(second.start(), QString()); // the next deal waits for the bid
    QCOMPARE(second.state().Scores, scores);
    QCOMPARE(second.window().game().scoreRows().size(), std::size_t(1));
    QCOMPARE(second.window().scoreSheet()->scoreLabel(1, 1)->text(), QString::number(scores[1]));
    QCOMPARE(checkStateInvariants(second.state(), second.table()), QString());
}

void SavedGameTest::exitQuestionSaysWhetherTheGameIsKept_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("kept");
    QTest::newRow("English, saving on") << "EN" << QByteArray() << true;
    QTest::newRow("English, saving off") << "EN" << QByteArray("[GAME]\nRESUME=0\n") << false;
    QTest::newRow("Arabic, saving on") << "AR" << QByteArray() << true;
    QTest::newRow("Arabic, saving off") << "AR" << QByteArray("[GAME]\nRESUME=0\n") << false;
}

void SavedGameTest::exitQuestionSaysWhetherTheGameIsKept()
{
    QFETCH(QString, language);
    QFETCH(QByteArray, ini);
    QFETCH(bool, kept);
    Game game(7, 0, ini, language);
    QString question, details;
    whenModal([&](QWidget* modal) {
        question = messageText(modal);
        details = messageDetails(modal);
        QVERIFY(pressMessageButton(modal, MsgButton::No));
    });
    game.window().close();
    QCOMPARE(question, texts().flow.ExitQuestion);
    QCOMPARE(details, kept ? texts().flow.ExitKeepsGame : texts().flow.ExitLosesGame);
    QVERIFY(game.window().isVisible());
}

void SavedGameTest::turningSavingOffTakesThisRunsSaveAway()
{
    Game game(7);
    QVERIFY(QFile::exists(savedgame::path())); // the deal on the table
    settings::setResumeGames(false);
    game.window().saveGameOnQuit();
    QVERIFY(!QFile::exists(savedgame::path()));
}

QTEST_MAIN(SavedGameTest)
#include "tst_saved_game.moc"
