// SPDX-License-Identifier: GPL-3.0-or-later
// The end of a won game: a statement of which side won, with the names and final scores,
// comes before the new-game question, whose No ends the program and says so beforehand.
// (Its own program: answering No quits the application.)

#include "test_support.h"

#include "settings/saved_game.h"

#include <QFile>
#include <QtTest>

using namespace halbeet;
using halbeet::testing::answerGameEnd;
using halbeet::testing::Game;
using halbeet::testing::GameEndSeen;

namespace {

using Scores = PerSeat<std::int32_t>;

// Plays the deal out from scores that decide the game whatever the deal brings, answering
// its end with `answer`. The final scores, as the sheet showed them, go to *final.
GameEndSeen playToTheEnd(Game& game, const Scores& scores, MsgButton answer, Scores* final = nullptr)
{
    GameEndSeen seen;
    game.bid(QStringLiteral("6"));
    game.state().Scores = scores;
    game.playOutDeal([&](ScoreSheet*) {
        if (final)
            *final = game.state().Scores;
        answerGameEnd(answer, &seen);
    });
    return seen;
}

} // namespace

class WonGameNoTest : public QObject {
    Q_OBJECT

private slots:
    void theWinnerIsStatedBeforeTheQuestion_data();
    void theWinnerIsStatedBeforeTheQuestion();
    void answeringNoEndsTheProgram();
};

void WonGameNoTest::theWinnerIsStatedBeforeTheQuestion_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<Scores>("scores");
    QTest::addColumn<bool>("yourSide");
    // The losing side starts below zero, so a negative final score shows its sign.
    QTest::newRow("your side, English") << "EN" << Scores{0, 100, -40, 100, -40} << true;
    QTest::newRow("the other side, English") << "EN" << Scores{0, -40, 100, -40, 100} << false;
    QTest::newRow("your side, Arabic") << "AR" << Scores{0, 100, -40, 100, -40} << true;
    QTest::newRow("the other side, Arabic") << "AR" << Scores{0, -40, 100, -40, 100} << false;
}

void WonGameNoTest::theWinnerIsStatedBeforeTheQuestion()
{
    QFETCH(QString, language);
    QFETCH(Scores, scores);
    QFETCH(bool, yourSide);
    Game game(11, 0, "[NAMES]\nPLAYER2=Partner\nPLAYER3=Rival\nPLAYER4=Other\n", language);
    Scores final{};
    const GameEndSeen seen = playToTheEnd(game, scores, MsgButton::Yes, &final);
    if (QTest::currentTestFailed())
        return;
    const FlowTexts& t = texts().flow;
    // First which side won, then one line for each side: its two players with their final
    // scores. Right to left, each name and score stands in a directional isolate, the score a
    // left-to-right one: a Latin name does not run on into the scores beside it, and "-3"
    // never shows as "3-".
    const QStringList lines = seen.statement.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], yourSide ? t.GameWonYourSide : t.GameWonOtherSide);
    const bool rightToLeft = language == QLatin1String("AR");
    const auto isolated = [rightToLeft](const QString& text, QChar kind) {
        return rightToLeft ? kind + text + QChar(0x2069) : text;
    };
    for (int seat = 1; seat <= 4; ++seat) {
        const QString line = seat % 2 == 1 ? lines[1] : lines[2];
        const QString shown = isolated(game.table().nameLabel(seat)->text(), QChar(0x2068)) + QLatin1Char(' ') +
                              isolated(QString::number(final[seat]), QChar(0x2066));
        QVERIFY2(line.contains(shown), qPrintable(shown + QStringLiteral(" not in: ") + line));
        QVERIFY(seat % 2 == 1 ? line.startsWith(t.YourSideScores.section(QLatin1Char('%'), 0, 0))
                              : line.startsWith(t.OtherSideScores.section(QLatin1Char('%'), 0, 0)));
        QVERIFY((final[seat] < 0) == (yourSide == (seat % 2 == 0)));
    }
    QCOMPARE(seen.question, t.NewGameQuestion);
    QCOMPARE(seen.details, t.NewGameAfterWinDetails);
    // Yes: a new game waits for the first bid.
    QVERIFY(game.table().bidButton()->isVisible());
    QCOMPARE(game.state().Scores, Scores{});
}

void WonGameNoTest::answeringNoEndsTheProgram()
{
    Game game(11);
    const GameEndSeen seen = playToTheEnd(game, Scores{0, 0, 100, 0, 100}, MsgButton::No);
    const TGameState& s = game.state();
    QCOMPARE(seen.question, texts().flow.NewGameQuestion);
    // The question said beforehand what No would do.
    QVERIFY(!seen.details.isEmpty());
    QCOMPARE(seen.details, texts().flow.NewGameAfterWinDetails);
    QVERIFY(s.GameWinner == 2 || s.GameWinner == 4);
    QVERIFY(!game.window().isVisible());
    QVERIFY(!game.table().bidButton()->isVisible());
    QCOMPARE(s.CardsPlayed, 52);
    // A finished game is not offered at the next start.
    QVERIFY(!QFile::exists(savedgame::path()));
}

QTEST_MAIN(WonGameNoTest)
#include "tst_won_game_no.moc"
