// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the program starts it: the language of the run, the menus, the bars, the
// name dialog, the language commands, the Options command's choice of player, closing, and
// players' names shown as plain text everywhere.

#include "test_support.h"

#include "settings/settings.h"
#include "ui/message_dialog.h"
#include "ui/options_dialog.h"
#include "ui/status_bar.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QtTest>

using namespace halbeet;
using halbeet::testing::answerNextMessage;
using halbeet::testing::Game;
using halbeet::testing::TempSettings;
using halbeet::testing::whenModal;

namespace {

// Starts the program the way main() does, up to the window being shown.
struct Started {
    GameModel game{[] { return 1u; }};
    std::unique_ptr<MainWindow> window;

    Started()
    {
        prepareApplication(*qApp);
        window = createMainWindow(game);
        window->show();
    }
};

QString menuText(const MainWindow& window, const char* name)
{
    return window.menuItem(QString::fromLatin1(name))->text();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { setTimeScale(0); }
    void firstStartWithoutSettingsIsEnglish();
    void arabicStartReadsRightToLeft();
    void nameDialogComesHalfASecondAfterTheWindow();
    void clientAreaIsTheTableAndTheStatusBar();
    void choosingTheCheckedLanguageDoesNothing();
    void switchingLanguageStoresItAndTellsInTheChosenLanguage();
    void restartNoticeComesWhollyInTheChosenLanguage_data();
    void restartNoticeComesWhollyInTheChosenLanguage();
    void refusedLanguageWriteLeavesTheChecksAlone();
    void closeAnsweredNoKeepsTheGame();
    void optionsCommandFindsThePlayerToPlay();
    void namesAreShownAsPlainText();
};

void MainWindowTest::firstStartWithoutSettingsIsEnglish()
{
    TempSettings settings;
    Started run;
    QCOMPARE(run.window->windowTitle(), QStringLiteral("Halbeet"));
    QCOMPARE(menuText(*run.window, "N1"), QStringLiteral("&Game"));
    QCOMPARE(menuText(*run.window, "N2"), QStringLiteral("New Game"));
    QCOMPARE(run.window->menuItem(QStringLiteral("N2"))->shortcut(), QKeySequence(Qt::Key_F2));
    QCOMPARE(run.window->menuItem(QStringLiteral("N3"))->shortcut(), QKeySequence(Qt::Key_F4));
    QCOMPARE(run.window->menuItem(QStringLiteral("N4"))->shortcut(), QKeySequence(Qt::Key_F3));
    QCOMPARE(run.window->menuItem(QStringLiteral("N12"))->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(run.window->menuItem(QStringLiteral("English1"))->isChecked());
    QVERIFY(!run.window->menuItem(QStringLiteral("N15"))->isChecked());
    QCOMPARE(run.window->menuBar()->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(run.window->statusBar1()->trumpPanelIndex(), 1);
    QCOMPARE(run.window->statusBar1()->panel(0)->text(), QStringLiteral("Halbeet"));
    // Reading the settings created nothing.
    QVERIFY(!QFile::exists(settings.file()));
}

void MainWindowTest::arabicStartReadsRightToLeft()
{
    TempSettings settings;
    settings.write("[LANGUAGE]\nLANG=AR\n");
    Started run;
    QCOMPARE(CurrentLang(), QStringLiteral("AR"));
    QCOMPARE(run.window->windowTitle(), QStringLiteral("الهلبيط"));
    QCOMPARE(menuText(*run.window, "N1"), QStringLiteral("&لعبة"));
    QCOMPARE(menuText(*run.window, "N2"), QStringLiteral("لعبة جديدة"));
    QVERIFY(run.window->menuItem(QStringLiteral("N15"))->isChecked());
    QCOMPARE(run.window->menuBar()->layoutDirection(), Qt::RightToLeft);
    QCOMPARE(run.window->statusBar1()->layoutDirection(), Qt::RightToLeft);
    // Pop-up menus do not inherit the menu bar's direction: each is set.
    for (const char* name : {"N1", "N9", "Language1"}) {
        auto* menu = run.window->findChild<QMenu*>(QString::fromLatin1(name));
        QCOMPARE(menu->layoutDirection(), Qt::RightToLeft);
    }
    QCOMPARE(run.window->table()->trickMenu()->layoutDirection(), Qt::RightToLeft);
    // The table itself reads left to right in both languages.
    QCOMPARE(run.window->table()->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(run.window->statusBar1()->trumpPanelIndex(), 5);
    QCOMPARE(run.window->statusBar1()->panel(6)->text(), QStringLiteral("الهلبيط"));

    // Lower case is not the code: English.
    settings.write("[LANGUAGE]\nLANG=ar\n");
    Started lower;
    QCOMPARE(lower.window->windowTitle(), QStringLiteral("Halbeet"));
}

void MainWindowTest::nameDialogComesHalfASecondAfterTheWindow()
{
    TempSettings settings;
    Started run;
    QTest::qWait(300);
    QVERIFY(!run.window->nameDialog());
    QTRY_VERIFY_WITH_TIMEOUT(run.window->nameDialog() && run.window->nameDialog()->isVisible(),
                             2000);
    QVERIFY(!run.window->isEnabled());
    QCOMPARE(run.window->nameDialog()->nameField()->text(), QString());
    QCOMPARE(run.window->nameDialog()->nameField()->maxLength(), 8);
    run.window->nameDialog()->nameField()->setText(QStringLiteral("Hawk"));
    run.window->nameDialog()->acceptName();
    QVERIFY(run.window->isEnabled());
    QVERIFY(run.window->table()->bidButton()->isVisible());
    QCOMPARE(settings::playerName(1), QStringLiteral("Hawk"));
    // Only the human's name is written; the computers' names come from their defaults.
    QVERIFY(!settings.contents().contains(QStringLiteral("PLAYER2")));
    QCOMPARE(run.window->table()->nameLabel(2)->text(), QStringLiteral("Player2"));
}

void MainWindowTest::clientAreaIsTheTableAndTheStatusBar()
{
    TempSettings settings;
    Started run;
    QWidget* client = run.window->centralWidget();
    QCOMPARE(client->size(), QSize(560, 413));
    QCOMPARE(run.window->table()->geometry(), QRect(0, 0, 560, 394));
    QCOMPARE(run.window->statusBar1()->geometry(), QRect(0, 394, 560, 19));
    QCOMPARE(run.window->height(), run.window->menuBar()->height() + 413);
    QVERIFY(run.window->glideStep() > 0);
}

void MainWindowTest::choosingTheCheckedLanguageDoesNothing()
{
    Game game;
    // Anything modal that opens is noted and closed; the watch ends with this test.
    bool dialog = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialog = true;
            modal->close();
        }
    });
    watch.start(5);
    game.window().menuItem(QStringLiteral("English1"))->trigger();
    QTest::qWait(50);
    QVERIFY(!dialog);
    QVERIFY(game.window().menuItem(QStringLiteral("English1"))->isChecked());
    QVERIFY(!game.window().menuItem(QStringLiteral("N15"))->isChecked());
    QVERIFY(!game.settings().contents().contains(QStringLiteral("LANG")));
}

void MainWindowTest::switchingLanguageStoresItAndTellsInTheChosenLanguage()
{
    Game game;
    QString notice;
    answerNextMessage(MsgButton::OK, &notice);
    game.window().menuItem(QStringLiteral("N15"))->trigger();
    QCOMPARE(notice, arabicTexts().flow.RestartNotice);
    QCOMPARE(settings::language(), QStringLiteral("AR"));
    QVERIFY(game.window().menuItem(QStringLiteral("N15"))->isChecked());
    QVERIFY(!game.window().menuItem(QStringLiteral("English1"))->isChecked());
    // Nothing else changes during the run.
    QCOMPARE(CurrentLang(), QStringLiteral("EN"));
    QCOMPARE(menuText(game.window(), "N2"), QStringLiteral("New Game"));

    // And back to English: the English notice, the marks move again.
    answerNextMessage(MsgButton::OK, &notice);
    game.window().menuItem(QStringLiteral("English1"))->trigger();
    QCOMPARE(notice, englishTexts().flow.RestartNotice);
    QCOMPARE(settings::language(), QStringLiteral("EN"));
    QVERIFY(game.window().menuItem(QStringLiteral("English1"))->isChecked());
}

void MainWindowTest::restartNoticeComesWhollyInTheChosenLanguage_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("button");
    // The notice speaks the language of the next start: its caption and its button too, not
    // an Arabic text on an English "OK" or the other way round.
    QTest::newRow("English run, Arabic chosen") << "EN" << "N15" << "AR" << "الهلبيط" << "موافق";
    QTest::newRow("Arabic run, English chosen") << "AR" << "English1" << "EN" << "Halbeet" << "&Ok";
}

void MainWindowTest::restartNoticeComesWhollyInTheChosenLanguage()
{
    QFETCH(QString, running);
    QFETCH(QString, item);
    QFETCH(QString, chosen);
    QFETCH(QString, title);
    QFETCH(QString, button);
    const QByteArray ini = "[LANGUAGE]\nLANG=" + running.toLatin1() + "\n";
    Game game(1, 0, ini, running);
    QString text;
    QString shownTitle;
    QString shownButton;
    Qt::LayoutDirection direction = Qt::LayoutDirectionAuto;
    whenModal([&](QWidget* modal) {
        QVERIFY(halbeet::testing::isMessageDialog(modal));
        text = halbeet::testing::messageText(modal);
        shownTitle = modal->windowTitle();
        direction = modal->layoutDirection();
        if (auto* form = qobject_cast<MessageDialog*>(modal)) {
            shownButton = form->defaultButton()->text();
            form->defaultButton()->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shownButton = box->button(QMessageBox::Ok)->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    game.window().menuItem(item)->trigger();
    QCOMPARE(text, textsFor(chosen).flow.RestartNotice);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownButton, button);
    QCOMPARE(direction, textsFor(chosen).direction);
    QCOMPARE(settings::language(), chosen);
    setCurrentLang(QStringLiteral("EN"));
}

void MainWindowTest::refusedLanguageWriteLeavesTheChecksAlone()
{
    Game game;
    game.settings().blockWrites();
    QString message;
    whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        message = box->text();
        box->close();
    });
    game.window().menuItem(QStringLiteral("N15"))->trigger();
    QCOMPARE(message, QStringLiteral("Unable to write to %1").arg(game.settings().file()));
    QVERIFY(game.window().menuItem(QStringLiteral("English1"))->isChecked());
    QVERIFY(!game.window().menuItem(QStringLiteral("N15"))->isChecked());
    // The game goes on.
    QVERIFY(game.table().bidButton()->isVisible());
}

void MainWindowTest::closeAnsweredNoKeepsTheGame()
{
    Game game;
    QString question;
    answerNextMessage(MsgButton::No, &question);
    game.window().close();
    QCOMPARE(question, texts().flow.ExitQuestion);
    QVERIFY(game.window().isVisible());
    QVERIFY(game.table().bidButton()->isVisible());
    QVERIFY(!applicationQuitting()); // nothing was ended
}

void MainWindowTest::optionsCommandFindsThePlayerToPlay()
{
    // Seats 3 and 4 share a name: the first of Label1, Label3, Label4, Label2 wins (seat 4).
    Game game(1, 0, "[NAMES]\nPLAYER3=Twin\nPLAYER4=twin\nPLAYER2=Twin\n");
    game.window().statusBar1()->getPlayPanel()->setText(QStringLiteral("Twin"));
    QLabel* chosen = nullptr;
    whenModal([&](QWidget* modal) {
        chosen = game.window().optionsDialog()->playerLabel();
        modal->close();
    });
    game.window().showOptions();
    QCOMPARE(chosen, game.table().nameLabel(3)); // Label3: "twin" differs in case from Label1

    game.window().statusBar1()->getPlayPanel()->setText(QStringLiteral("nobody"));
    whenModal([&](QWidget* modal) {
        chosen = game.window().optionsDialog()->playerLabel();
        modal->close();
    });
    game.window().showOptions();
    QCOMPARE(chosen, nullptr);
}

void MainWindowTest::namesAreShownAsPlainText()
{
    Game game(1, 3, "[NAMES]\nPLAYER2=<b>x</b>\nPLAYER3=<img src=x>\nPLAYER4=&amp;\n");
    const MainWindow& w = game.window();
    QCOMPARE(game.table().nameLabel(2)->text(), QStringLiteral("<b>x</b>"));
    for (int seat = 1; seat <= 4; ++seat)
        QCOMPARE(game.table().nameLabel(seat)->textFormat(), Qt::PlainText);
    // Seat 4 deals the first deal: its name is in the dealer panel, as it was given.
    QCOMPARE(w.statusBar1()->getDealPanel()->text(), QStringLiteral("&amp;"));

    game.bid(QStringLiteral("14"));
    whenModal([&](QWidget* modal) {
        auto* sheet = qobject_cast<ScoreSheet*>(modal);
        QVERIFY(sheet);
        QCOMPARE(sheet->heading(2)->text(), QStringLiteral("<b>x</b>"));
        QCOMPARE(sheet->heading(3)->text(), QStringLiteral("<img src=x>"));
        for (int seat = 1; seat <= 4; ++seat)
            QCOMPARE(sheet->heading(seat)->textFormat(), Qt::PlainText);
        sheet->close();
    });
    game.window().showScores();

    whenModal([&](QWidget* modal) {
        const auto edits = modal->findChildren<QLineEdit*>();
        QStringList texts;
        for (const QLineEdit* edit : edits)
            texts << edit->text();
        QVERIFY(texts.contains(QStringLiteral("<b>x</b>")));
        QVERIFY(texts.contains(QStringLiteral("<img src=x>")));
        modal->close();
    });
    game.window().showOptions();
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
