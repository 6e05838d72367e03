// SPDX-License-Identifier: GPL-3.0-or-later
// The start of a run and its end before the first deal: closing the name dialog ends the
// process at once, and a close in the first half second keeps its question answerable. Each
// case runs the program's start-up in a child process, so the test sees the process end.

#include "test_support.h"

#include "core/random.h"
#include "core/game.h"
#include "ui/main_window.h"
#include "ui/name_dialog.h"
#include "ui/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The child: the program's own start-up, with a user who acts as `how` says and reports
// what he sees, one line each. Returns what main() would return.
int runChild(QApplication& app, const QString& how)
{
    prepareApplication(app);
    GameModel game(&ClockSeed);
    const auto window = createMainWindow(game);
    window->show();

    const bool early = how == QLatin1String("early-close");
    bool questionSeen = false;
    QElapsedTimer questionUp;
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        NameDialog* names = window->nameDialog();
        if (modal && modal->isVisible() && isMessageDialog(modal)) {
            if (!questionSeen) {
                questionSeen = true;
                questionUp.start();
                say(QStringLiteral("question: ") + messageText(modal));
            }
            // Longer than the name dialog's half second: the question must stay usable.
            if (questionUp.elapsed() < 900)
                return;
            say(QStringLiteral("question enabled: %1").arg(modal->isEnabled() ? "yes" : "no"));
            say(QStringLiteral("name dialog under the question: %1")
                    .arg(names && names->isVisible() ? "yes" : "no"));
            // A user presses No; a dead button does nothing, and the run then hangs here.
            pressMessageButton(modal, MsgButton::No);
            return;
        }
        if (!names || !names->isVisible())
            return;
        user.stop();
        say(QStringLiteral("name dialog"));
        if (how == QLatin1String("close-button"))
            names->findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
        else if (how == QLatin1String("close-box"))
            names->close();
        else
            QTest::keyClick(names, Qt::Key_Escape);
    });
    user.start();
    if (early)
        QTimer::singleShot(100, window.get(), [&] { window->close(); });
    const int code = QApplication::exec();
    say(QStringLiteral("ended"));
    return code;
}

struct ChildRun {
    bool finished = false;
    int exitCode = -1;
    QStringList lines;
};

ChildRun runProgram(const QString& how, const QString& language)
{
    TempSettings settings;
    settings.write("[LANGUAGE]\nLANG=" + language.toLatin1() + "\n");
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("--child"), how});
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start();
    ChildRun run;
    run.finished = child.waitForFinished(15000);
    if (!run.finished) {
        child.kill();
        child.waitForFinished();
    }
    run.exitCode = child.exitCode();
    run.lines = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

} // namespace

class TstStartAndClose : public QObject {
    Q_OBJECT

private slots:
    void closingTheNameDialogEndsTheProcess_data();
    void closingTheNameDialogEndsTheProcess();
    void earlyCloseKeepsItsQuestionAnswerable_data();
    void earlyCloseKeepsItsQuestionAnswerable();
};

void TstStartAndClose::closingTheNameDialogEndsTheProcess_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("language");
    for (const char* language : {"EN", "AR"})
        for (const char* how : {"esc", "close-button", "close-box"})
            QTest::addRow("%s %s", how, language) << QString::fromLatin1(how) << QString::fromLatin1(language);
}

void TstStartAndClose::closingTheNameDialogEndsTheProcess()
{
    QFETCH(QString, how);
    QFETCH(QString, language);
    const ChildRun run = runProgram(how, language);
    QVERIFY2(run.finished, qPrintable(QStringLiteral("the program is still running: ") + run.lines.join(QLatin1String(" | "))));
    QCOMPARE(run.exitCode, 0);
    // No question on the way out: the dialog, then the end.
    QCOMPARE(run.lines, QStringList({QStringLiteral("name dialog"), QStringLiteral("ended")}));
}

void TstStartAndClose::earlyCloseKeepsItsQuestionAnswerable_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("question");
    QTest::newRow("EN") << QStringLiteral("EN") << englishTexts().flow.ExitQuestion;
    QTest::newRow("AR") << QStringLiteral("AR") << arabicTexts().flow.ExitQuestion;
}

void TstStartAndClose::earlyCloseKeepsItsQuestionAnswerable()
{
    QFETCH(QString, language);
    QFETCH(QString, question);
    const ChildRun run = runProgram(QStringLiteral("early-close"), language);
    QVERIFY2(run.finished, qPrintable(QStringLiteral("the program is still running: ") + run.lines.join(QLatin1String(" | "))));
    QCOMPARE(run.exitCode, 0);
    // Asked, answerable for as long as it is up, No answered, and only then the name dialog,
    // whose Esc ends the program.
    QCOMPARE(run.lines, QStringList({QStringLiteral("question: ") + question,
                                     QStringLiteral("question enabled: yes"),
                                     QStringLiteral("name dialog under the question: no"),
                                     QStringLiteral("name dialog"), QStringLiteral("ended")}));
}

int main(int argc, char* argv[])
{
    useOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype child = arguments.indexOf(QStringLiteral("--child"));
    if (child >= 0 && child + 1 < arguments.size())
        return runChild(app, arguments.at(child + 1));
    TstStartAndClose test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_start_and_close.moc"
