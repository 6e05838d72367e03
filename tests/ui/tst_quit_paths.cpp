// SPDX-License-Identifier: GPL-3.0-or-later
// The ways a run ends in the middle of a game without the exit question: SIGTERM and SIGHUP
// (logout, shutdown, a closed terminal), with or without a question open, keep the game as
// Exit does; the window system's close of the score sheet after a deal closes the program and
// never deals. Each case runs in a child process, so the test sees the process end and can
// send it real signals.

#include "test_support.h"

#include "settings/saved_game.h"
#include "support/quit_signals.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <cstdio>

#include <sys/types.h>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Plays the human's legal cards until `tricks` tricks of the deal have been taken.
void playTricks(Game& game, int tricks)
{
    const TGameState& s = game.state();
    while (s.TricksWon[1] + s.TricksWon[2] + s.TricksWon[3] + s.TricksWon[4] < tricks)
        game.click(game.spriteOf(game.legalCard()));
}

// What the run left behind, said after the event loop has ended.
void sayWhatIsLeft(Game& game)
{
    const std::optional<std::string> saved = savedgame::read();
    say(QStringLiteral("save: %1").arg(!saved ? QStringLiteral("none")
                                       : *saved == game.model().save() ? QStringLiteral("the game as it stood")
                                                                       : QStringLiteral("another position")));
    say(QStringLiteral("window: %1").arg(game.window().isVisible() ? "open" : "closed"));
    say(QStringLiteral("cards played: %1").arg(game.state().CardsPlayed));
}

// The child: a game in its own settings and data folders, ended as `how` says.
int childMain(const QString& how)
{
    Game game(5);
    game.bid(QStringLiteral("6"));
    if (game.model().phase() != Phase::Playing) {
        say(QStringLiteral("the deal passed"));
        return 3;
    }
    // As the program connects them.
    const QuitSignals quitSignals({SIGTERM, SIGHUP});
    QObject::connect(&quitSignals, &QuitSignals::received, &game.window(), &MainWindow::endOnSignal);

    if (how == QLatin1String("sheet-close")) {
        // The window system closes the sheet of the finished deal (its close box, Alt+F4):
        // a close event that it sends, not one of the program's own.
        QTimer::singleShot(0, [&] {
            while (game.state().HandCount[1] > 1)
                game.click(game.spriteOf(game.legalCard()));
            whenModal([](QWidget* modal) {
                say(QStringLiteral("sheet up: %1").arg(qobject_cast<ScoreSheet*>(modal) ? "yes" : "no"));
                QCloseEvent close;
                QCoreApplication::sendEvent(modal->windowHandle(), &close);
            });
            game.click(game.spriteOf(game.legalCard()));
        });
    } else {
        playTricks(game, 2);
        if (how == QLatin1String("question-open")) {
            QTimer::singleShot(0, &game.window(), [&] { game.window().close(); });
            whenModal([](QWidget* modal) { say(QStringLiteral("question: ") + messageText(modal)); });
        } else {
            say(QStringLiteral("ready"));
        }
    }
    const int code = QApplication::exec();
    say(QStringLiteral("ended"));
    sayWhatIsLeft(game);
    return code;
}

struct ChildRun {
    bool finished = false;
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QStringList lines;
};

// Runs the child; once it prints a line starting with `cue`, sends it `signal`.
ChildRun runProgram(const QString& how, const QString& cue = {}, int signal = 0)
{
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("--child"), how});
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start();
    ChildRun run;
    QString out;
    bool sent = cue.isEmpty();
    QElapsedTimer clock;
    clock.start();
    while (child.state() != QProcess::NotRunning && clock.elapsed() < 20000) {
        child.waitForReadyRead(100);
        out += QString::fromUtf8(child.readAllStandardOutput());
        if (!sent && (out.startsWith(cue) || out.contains(QLatin1Char('\n') + cue))) {
            sent = true;
            ::kill(static_cast<pid_t>(child.processId()), signal);
        }
    }
    if (child.state() != QProcess::NotRunning)
        child.waitForFinished(5000);
    run.finished = child.state() == QProcess::NotRunning;
    if (!run.finished) {
        child.kill();
        child.waitForFinished();
    }
    out += QString::fromUtf8(child.readAllStandardOutput());
    run.exitCode = child.exitCode();
    run.status = child.exitStatus();
    run.lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

} // namespace

class TstQuitPaths : public QObject {
    Q_OBJECT

private slots:
    void aSignalKeepsTheGameAndEnds_data();
    void aSignalKeepsTheGameAndEnds();
    void closingTheSheetAfterADealNeverDeals();
};

void TstQuitPaths::aSignalKeepsTheGameAndEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("cue");
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM mid-deal") << "mid-deal" << "ready" << SIGTERM;
    QTest::newRow("SIGHUP mid-deal") << "mid-deal" << "ready" << SIGHUP;
    // Nobody is there to answer the exit question at a logout.
    QTest::newRow("SIGTERM under the exit question") << "question-open" << "question:" << SIGTERM;
}

void TstQuitPaths::aSignalKeepsTheGameAndEnds()
{
    QFETCH(QString, how);
    QFETCH(QString, cue);
    QFETCH(int, signal);
    const ChildRun run = runProgram(how, cue, signal);
    const QString said = run.lines.join(QLatin1String(" | "));
    QVERIFY2(run.finished, qPrintable(QStringLiteral("still running: ") + said));
    QVERIFY2(run.status == QProcess::NormalExit, qPrintable(QStringLiteral("killed by the signal: ") + said));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.lines.contains(QStringLiteral("ended")), qPrintable(said));
    QVERIFY2(run.lines.contains(QStringLiteral("save: the game as it stood")), qPrintable(said));
    QVERIFY2(run.lines.contains(QStringLiteral("window: closed")), qPrintable(said));
}

void TstQuitPaths::closingTheSheetAfterADealNeverDeals()
{
    const ChildRun run = runProgram(QStringLiteral("sheet-close"));
    const QString said = run.lines.join(QLatin1String(" | "));
    QVERIFY2(run.finished, qPrintable(QStringLiteral("still running: ") + said));
    QCOMPARE(run.exitCode, 0);
    // No question (no deal is in progress), no next deal; the scored game is kept.
    QCOMPARE(run.lines, QStringList({QStringLiteral("sheet up: yes"), QStringLiteral("ended"),
                                     QStringLiteral("save: the game as it stood"),
                                     QStringLiteral("window: closed"), QStringLiteral("cards played: 52")}));
}

int main(int argc, char* argv[])
{
    useOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype child = arguments.indexOf(QStringLiteral("--child"));
    if (child >= 0 && child + 1 < arguments.size())
        return childMain(arguments.at(child + 1));
    TstQuitPaths test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_quit_paths.moc"
