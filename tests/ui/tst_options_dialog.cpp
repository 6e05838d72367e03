// SPDX-License-Identifier: GPL-3.0-or-later
// The options dialog: opening (back design, arrows, the speed read and corrected), the name
// checks, what OK changes on the table and in the status bar, the writes and their failure,
// and the English mirror of the Arabic design.

#include "core/game.h"
#include "dialog_helpers.h"
#include "settings/settings.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/options_dialog.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <map>
#include <memory>

using namespace halbeet;
using halbeet::testing::TempSettings;
using halbeet::testing::whenModal;

namespace {

// A table with names, the status bar and the dialog, on a private settings file.
struct Fixture {
    explicit Fixture(const QString& lang = QStringLiteral("EN"))
    {
        setCurrentLang(lang);
        table = std::make_unique<Table>();
        statusBar = std::make_unique<StatusBar>(state);
        dialog = std::make_unique<OptionsDialog>(*table, *statusBar, game);
        table->setPlayerName(1, QStringLiteral("Hawk"));
        table->setPlayerName(2, QStringLiteral("Falcon"));
        table->setPlayerName(3, QStringLiteral("Owl"));
        table->setPlayerName(4, QStringLiteral("Kite"));
    }
    ~Fixture()
    {
        dialog.reset();
        statusBar.reset();
        table.reset();
    }

    QLineEdit* edit(int n) const
    {
        return dialog->findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(n));
    }
    template <typename T>
    T* child(const char* name) const
    {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    void open() { dialog->show(); }
    void pressOk() { child<QPushButton>("BitBtn1")->click(); }

    TempSettings settingsFile;
    GameModel game{[] { return 1u; }};
    TGameState& state = game.arrange();
    std::unique_ptr<Table> table;
    std::unique_ptr<StatusBar> statusBar;
    std::unique_ptr<OptionsDialog> dialog;
};

} // namespace

class TstOptionsDialog : public QObject {
    Q_OBJECT

private slots:
    void levelAndResumeRoundTripThroughTheFile_data();
    void levelAndResumeRoundTripThroughTheFile();
    void backDesignOnOpening_data();
    void backDesignOnOpening();
    void arrowsStopAtBothEnds();
    void speedOnOpening_data();
    void speedOnOpening();
    void speedButtonsActAtOnce();
    void namesCopiedFromTable();
    void nameChecks_data();
    void nameChecks();
    void namesCutAtEightSaySo_data();
    void namesCutAtEightSaySo();
    void okPutsNamesOnTableAndStatusBar_data();
    void okPutsNamesOnTableAndStatusBar();
    void okWithoutPlayerLabelLeavesPlayPanel();
    void okRecoloursComputerHandsAndShownMarkers();
    void okWritesKeysInOrder();
    void writeFailureKeepsDialogOpen();
    void arabicDesign();
    void englishMirror();
    void arabicIsTheMirrorImageOfEnglish();
    void speedButtonsKeepTheirPlaces_data();
    void speedButtonsKeepTheirPlaces();
    void namesArePlainText();
};

void TstOptionsDialog::backDesignOnOpening_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("design");
    QTest::addColumn<bool>("leftEnabled");
    QTest::addColumn<bool>("rightEnabled");
    QTest::newRow("no file: -2") << QByteArray() << -2 << true << true;
    QTest::newRow("7 counts as -1") << QByteArray("7") << -1 << true << false;
    QTest::newRow("-1") << QByteArray("-1") << -1 << true << false;
    QTest::newRow("-13") << QByteArray("-13") << -13 << false << true;
    QTest::newRow("-20 counts as -13") << QByteArray("-20") << -13 << false << true;
    QTest::newRow("-7") << QByteArray("-7") << -7 << true << true;
}

void TstOptionsDialog::backDesignOnOpening()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, design);
    QFETCH(bool, leftEnabled);
    QFETCH(bool, rightEnabled);
    Fixture f;
    if (!stored.isEmpty())
        f.settingsFile.write("[BACKCARD]\nBACK=" + stored + "\n");
    f.open();
    QCOMPARE(f.dialog->design(), design);
    const auto* preview = f.child<CardSprite>("Card1");
    QCOMPARE(preview->Suite(), design);
    QCOMPARE(preview->size(), QSize(56, 76));
    QCOMPARE(f.child<QToolButton>("SpeedButton1")->isEnabled(), leftEnabled);
    QCOMPARE(f.child<QToolButton>("SpeedButton2")->isEnabled(), rightEnabled);
    // Clamped in memory only.
    QCOMPARE(settings::readString("BACKCARD", "BACK", "none"),
             stored.isEmpty() ? QStringLiteral("none") : QString::fromLatin1(stored));
}

void TstOptionsDialog::arrowsStopAtBothEnds()
{
    Fixture f;
    f.settingsFile.write("[BACKCARD]\nBACK=-12\n");
    f.open();
    auto* left = f.child<QToolButton>("SpeedButton1");
    auto* right = f.child<QToolButton>("SpeedButton2");
    left->click();
    QCOMPARE(f.dialog->design(), -13);
    QVERIFY(!left->isEnabled());
    QVERIFY(right->isEnabled());
    for (int design = -12; design <= -1; ++design) {
        right->click();
        QCOMPARE(f.dialog->design(), design);
        QVERIFY(left->isEnabled());
    }
    QVERIFY(!right->isEnabled());
    // Nothing is stored by browsing.
    QCOMPARE(settings::backDesign(), -12);
}

void TstOptionsDialog::speedOnOpening_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("delay");
    QTest::addColumn<QString>("inFile");
    QTest::newRow("absent") << QByteArray() << "RadioButton3" << 100 << "";
    QTest::newRow("100") << QByteArray("100") << "RadioButton3" << 100 << "100";
    QTest::newRow("500") << QByteArray("500") << "RadioButton4" << 500 << "500";
    QTest::newRow("1000") << QByteArray("1000") << "RadioButton5" << 1000 << "1000";
    QTest::newRow("499 rewritten") << QByteArray("499") << "RadioButton3" << 100 << "100";
    QTest::newRow("250 rewritten") << QByteArray("250") << "RadioButton3" << 100 << "100";
    QTest::newRow("999 rewritten") << QByteArray("999") << "RadioButton3" << 100 << "100";
}

void TstOptionsDialog::speedOnOpening()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, selected);
    QFETCH(int, delay);
    QFETCH(QString, inFile);
    Fixture f;
    if (!stored.isEmpty())
        f.settingsFile.write("[DELAYCARD]\nDELAY=" + stored + "\n");
    f.state.PlayDelay = 777;
    f.open();
    QVERIFY(f.dialog->findChild<QRadioButton*>(selected)->isChecked());
    QCOMPARE(f.state.PlayDelay, delay);
    // The correction is written at once, even if the dialog is then cancelled.
    QTest::keyClick(f.dialog.get(), Qt::Key_Escape);
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(settings::readString("DELAYCARD", "DELAY", ""), inFile);
}

void TstOptionsDialog::speedButtonsActAtOnce()
{
    Fixture f;
    f.open();
    f.child<QRadioButton>("RadioButton5")->click();
    QCOMPARE(f.state.PlayDelay, 1000);
    f.child<QRadioButton>("RadioButton4")->click();
    QCOMPARE(f.state.PlayDelay, 500);
    // Cancel keeps the new speed for the running deal; the file is not touched.
    f.child<QPushButton>("BitBtn3")->click();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.state.PlayDelay, 500);
    QVERIFY(!QFile::exists(f.settingsFile.file()));
}

void TstOptionsDialog::namesCopiedFromTable()
{
    Fixture f;
    f.open();
    QCOMPARE(f.edit(1)->text(), QStringLiteral("Hawk"));   // seat 1
    QCOMPARE(f.edit(2)->text(), QStringLiteral("Owl"));    // partner, seat 3
    QCOMPARE(f.edit(3)->text(), QStringLiteral("Falcon")); // right opponent, seat 2
    QCOMPARE(f.edit(4)->text(), QStringLiteral("Kite"));   // left opponent, seat 4
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(f.edit(n)->maxLength(), 8);
        f.edit(n)->clear();
        QTest::keyClicks(f.edit(n), QStringLiteral("Abcdefghijk"));
        QCOMPARE(f.edit(n)->text(), QStringLiteral("Abcdefgh"));
    }
    f.dialog->reject();
    f.open();

    // A longer name from the file is not cut short by the field.
    f.dialog->reject();
    f.table->setPlayerName(4, QStringLiteral("Kittiwake"));
    f.open();
    QCOMPARE(f.edit(4)->text(), QStringLiteral("Kittiwake"));
    f.pressOk();
    QCOMPARE(settings::playerName(4), QStringLiteral("Kittiwake"));
    f.open();

    // A cancelled change is gone at the next opening.
    f.edit(1)->setText(QStringLiteral("Eagle"));
    f.dialog->reject();
    f.open();
    QCOMPARE(f.edit(1)->text(), QStringLiteral("Hawk"));
}

void TstOptionsDialog::nameChecks_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("afterOk");
    QTest::addColumn<int>("reason"); // what the note says: 1 a name is missing, 2 a name repeats
    QTest::newRow("partner repeats you, other case")
        << QStringList{"Hawk", "hawk", "B", "C"} << QStringList{"Hawk", "", "B", "C"} << 2;
    QTest::newRow("second opponent repeats first")
        << QStringList{"A", "B", "Crow", "CROW"} << QStringList{"A", "B", "Crow", ""} << 2;
    QTest::newRow("empty first field stops before the duplicates")
        << QStringList{"", "B", "B", "C"} << QStringList{"", "B", "B", "C"} << 1;
    QTest::newRow("empty last field") << QStringList{"A", "B", "C", ""}
                                      << QStringList{"A", "B", "C", ""} << 1;
    QTest::newRow("Arabic duplicate") << QStringList{"صقر", "B", "صقر", "C"}
                                      << QStringList{"صقر", "B", "", "C"} << 2;
}

void TstOptionsDialog::nameChecks()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, afterOk);
    QFETCH(int, reason);
    Fixture f;
    f.open();
    QVERIFY(!f.dialog->note()->isVisible());
    for (int n = 1; n <= 4; ++n)
        f.edit(n)->setText(names[n - 1]);
    f.pressOk();
    QVERIFY(f.dialog->isVisible());
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(f.edit(n)->text(), afterOk[n - 1]);
    // Nothing reached the table or the file, and the dialog says why.
    QCOMPARE(f.table->nameLabel(1)->text(), QStringLiteral("Hawk"));
    QVERIFY(!QFile::exists(f.settingsFile.file()));
    const NameTexts& t = englishTexts().names;
    QVERIFY(f.dialog->note()->isVisible());
    QCOMPARE(f.dialog->note()->text(), reason == 1 ? t.EmptyNames : t.DuplicateName);
    // Typing into the field it is about puts it away; the next opening starts without it.
    QTest::keyClicks(f.dialog->focusWidget(), QStringLiteral("Z"));
    QVERIFY(!f.dialog->note()->isVisible());
    f.pressOk();
    f.dialog->reject();
    f.open();
    QVERIFY(!f.dialog->note()->isVisible());
}

void TstOptionsDialog::namesCutAtEightSaySo_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("English") << "EN";
    QTest::newRow("Arabic") << "AR";
}

void TstOptionsDialog::namesCutAtEightSaySo()
{
    QFETCH(QString, lang);
    Fixture f(lang);
    f.open();
    QLineEdit* partner = f.edit(2);
    partner->clear();
    QTest::keyClicks(partner, QStringLiteral("Abcdefgh"));
    QVERIFY(!f.dialog->note()->isVisible());
    QTest::keyClicks(partner, QStringLiteral("ij"));
    QCOMPARE(partner->text(), QStringLiteral("Abcdefgh"));
    QVERIFY(f.dialog->note()->isVisible());
    QCOMPARE(f.dialog->note()->text(), textsFor(lang).names.NameCut);
    // Inside the dialog and clear of the buttons beside it.
    QVERIFY(QRect(QPoint(0, 0), f.dialog->size()).contains(f.dialog->note()->geometry()));
    for (const char* button : {"BitBtn1", "BitBtn3"})
        QVERIFY(!f.dialog->note()->geometry().intersects(f.child<QPushButton>(button)->geometry()));
    QTest::keyClick(partner, Qt::Key_Backspace);
    QVERIFY(!f.dialog->note()->isVisible());
    setCurrentLang(QStringLiteral("EN"));
}

void TstOptionsDialog::okPutsNamesOnTableAndStatusBar_data()
{
    QTest::addColumn<int>("dealerCounter");
    QTest::addColumn<QString>("dealerName");
    QTest::newRow("0: seat 4") << 0 << "Kestrel";
    QTest::newRow("1: seat 1") << 1 << "Eagle";
    QTest::newRow("2: seat 2") << 2 << "Raven";
    QTest::newRow("3: seat 3") << 3 << "Robin";
}

void TstOptionsDialog::okPutsNamesOnTableAndStatusBar()
{
    QFETCH(int, dealerCounter);
    QFETCH(QString, dealerName);
    Fixture f;
    f.state.DealerCounter = dealerCounter;
    // Between two deals the flow has emptied the dealer panel.
    f.statusBar->getDealPanel()->setText(QString());
    f.statusBar->getPlayPanel()->setText(QStringLiteral("Falcon"));
    f.dialog->setPlayerLabel(f.table->nameLabel(2));
    f.open();
    f.edit(1)->setText(QStringLiteral("Eagle"));
    f.edit(2)->setText(QStringLiteral("Robin"));
    f.edit(3)->setText(QStringLiteral("Raven"));
    f.edit(4)->setText(QStringLiteral("Kestrel"));
    f.pressOk();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.table->nameLabel(1)->text(), QStringLiteral("Eagle"));
    QCOMPARE(f.table->nameLabel(2)->text(), QStringLiteral("Raven"));
    QCOMPARE(f.table->nameLabel(3)->text(), QStringLiteral("Robin"));
    QCOMPARE(f.table->nameLabel(4)->text(), QStringLiteral("Kestrel"));
    QCOMPARE(f.statusBar->getDealPanel()->text(), dealerName);
    QCOMPARE(f.statusBar->getPlayPanel()->text(), QStringLiteral("Raven"));
    QCOMPARE(settings::playerName(1), QStringLiteral("Eagle"));
    QCOMPARE(settings::playerName(2), QStringLiteral("Raven"));
    QCOMPARE(settings::playerName(3), QStringLiteral("Robin"));
    QCOMPARE(settings::playerName(4), QStringLiteral("Kestrel"));
}

void TstOptionsDialog::okWithoutPlayerLabelLeavesPlayPanel()
{
    Fixture f;
    f.statusBar->getPlayPanel()->setText(QStringLiteral("somebody"));
    f.dialog->setPlayerLabel(nullptr);
    f.open();
    f.edit(1)->setText(QStringLiteral("Eagle"));
    f.pressOk();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.statusBar->getPlayPanel()->text(), QStringLiteral("somebody"));
}

void TstOptionsDialog::okRecoloursComputerHandsAndShownMarkers()
{
    Fixture f;
    f.table->show();
    // Computer cards and markers on the table, one hidden sprite of each kind.
    for (const int n : {14, 40, 57, 108}) {
        f.table->card(n)->setSuite(-2);
        f.table->card(n)->show();
    }
    for (const int n : {15, 58}) {
        f.table->card(n)->setSuite(-2);
        f.table->card(n)->hide();
    }
    // A face in the human's hand and a trick card are not backs.
    f.table->card(1)->setFace({1, 1});
    f.table->card(1)->show();
    f.table->card(53)->setFace({2, 5});
    f.table->card(53)->show();
    f.open();
    f.child<QToolButton>("SpeedButton1")->click();
    f.child<QToolButton>("SpeedButton1")->click();
    f.pressOk();
    // A hidden computer card takes the design too: new markers copy it from Card51.
    for (const int n : {14, 40, 57, 108, 15})
        QCOMPARE(f.table->card(n)->Suite(), -4);
    QCOMPARE(f.table->card(58)->Suite(), -2);
    QCOMPARE(f.table->card(1)->face(), TCardFace({1, 1}));
    QCOMPARE(f.table->card(53)->face(), TCardFace({2, 5}));
    QCOMPARE(settings::backDesign(), -4);
}

void TstOptionsDialog::okWritesKeysInOrder()
{
    Fixture f;
    f.open();
    f.child<QRadioButton>("RadioButton5")->click();
    f.pressOk();
    QVERIFY(!f.dialog->isVisible());
    // A file that did not exist is written key by key: its order is the order of the writes.
    const QString text = f.settingsFile.contents();
    QStringList keys;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            keys << line.left(eq).trimmed().toUpper();
    }
    QCOMPARE(keys, QStringList({"PLAYER1", "PLAYER2", "PLAYER3", "PLAYER4", "BACK", "DELAY"}));
    QCOMPARE(settings::readInteger("DELAYCARD", "DELAY", 0), 1000);
    QCOMPARE(settings::readInteger("BACKCARD", "BACK", 0), -2);
}

void TstOptionsDialog::writeFailureKeepsDialogOpen()
{
    Fixture f;
    f.open();
    f.settingsFile.blockWrites();
    f.edit(1)->setText(QStringLiteral("Eagle"));
    QString shown;
    const auto answered = whenModal([&shown](QWidget* box) {
        shown = qobject_cast<QMessageBox*>(box)->text();
        box->close();
    });
    f.pressOk();
    QVERIFY(*answered);
    QCOMPARE(shown, QStringLiteral("Unable to write to ") + f.settingsFile.file());
    QVERIFY(f.dialog->isVisible());
    // The table already has the names; nothing else went on after the failed write.
    QCOMPARE(f.table->nameLabel(1)->text(), QStringLiteral("Eagle"));
}

void TstOptionsDialog::levelAndResumeRoundTripThroughTheFile_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("expert");
    QTest::addColumn<bool>("resume");
    QTest::newRow("defaults, English") << "EN" << QByteArray() << false << true;
    QTest::newRow("expert, no resume, Arabic") << "AR" << QByteArray("[PLAYERS]\nLEVEL=expert\n[GAME]\nRESUME=0\n")
                                               << true << false;
    QTest::newRow("unknown level reads Classic") << "EN" << QByteArray("[PLAYERS]\nLEVEL=grandmaster\n") << false
                                                 << true;
}

void TstOptionsDialog::levelAndResumeRoundTripThroughTheFile()
{
    QFETCH(QString, lang);
    QFETCH(QByteArray, stored);
    QFETCH(bool, expert);
    QFETCH(bool, resume);
    Fixture f(lang);
    if (!stored.isEmpty())
        f.settingsFile.write(stored);
    f.open();
    auto* classicButton = f.child<QRadioButton>("RadioButton6");
    auto* expertButton = f.child<QRadioButton>("RadioButton7");
    auto* resumeBox = f.child<QCheckBox>("CheckBox1");
    QVERIFY(classicButton && expertButton && resumeBox);
    QCOMPARE(expertButton->isChecked(), expert);
    QCOMPARE(classicButton->isChecked(), !expert);
    QCOMPARE(resumeBox->isChecked(), resume);
    const LanguageTexts& t = lang == QStringLiteral("AR") ? arabicTexts() : englishTexts();
    QCOMPARE(expertButton->text(), t.expert.Expert);
    QCOMPARE(resumeBox->text(), t.savedGame.ResumeOption);
    // The caption and the choices do not overlap, and the choices read in the language's order.
    const QRect caption = f.child<QLabel>("Label10")->geometry();
    const QRect choices = f.child<QWidget>("Panel3")->geometry();
    QVERIFY(!caption.intersects(choices));
    QCOMPARE(caption.x() < choices.x(), lang != QStringLiteral("AR"));

    // OK with nothing changed writes neither key; a change writes it, and the next opening shows it.
    const QString before = f.settingsFile.contents();
    f.pressOk();
    QCOMPARE(f.settingsFile.contents().contains(QStringLiteral("[PLAYERS]")), before.contains(QStringLiteral("[PLAYERS]")));
    f.open();
    (expert ? classicButton : expertButton)->click();
    resumeBox->click();
    f.pressOk();
    QCOMPARE(settings::expertPlayers(), !expert);
    QCOMPARE(settings::resumeGames(), !resume);
    f.open();
    QCOMPARE(expertButton->isChecked(), !expert);
    QCOMPARE(resumeBox->isChecked(), !resume);
}

void TstOptionsDialog::arabicDesign()
{
    Fixture f(QStringLiteral("AR"));
    f.open();
    QCOMPARE(f.dialog->windowTitle(), QStringLiteral("خيارات"));
    QCOMPARE(f.dialog->layoutDirection(), Qt::RightToLeft);
    // The designed 395 x 277, and below it the band of the players' level and the saved game,
    // and that of the card faces.
    QCOMPARE(f.dialog->size(), QSize(395, 277 + 58 + 72));
    QCOMPARE(f.child<QPushButton>("BitBtn1")->text(), QStringLiteral("&موافق"));
    QCOMPARE(f.child<QPushButton>("BitBtn3")->text(), QStringLiteral("إل&غاء الأمر"));
    QCOMPARE(f.child<QToolButton>("SpeedButton1")->text(), QStringLiteral(">"));
    QCOMPARE(f.child<QToolButton>("SpeedButton2")->text(), QStringLiteral("<"));
    for (int n = 1; n <= 4; ++n) {
        // Labels right of their fields, the fields reading from the right.
        QVERIFY(f.child<QLabel>(qPrintable(QStringLiteral("Label%1").arg(n)))->x() >
                f.edit(n)->geometry().right());
        QCOMPARE(f.edit(n)->layoutDirection(), Qt::RightToLeft);
    }
    // The speed heading stays inside its frame.
    const auto* speedHeading = f.child<QLabel>("Label9");
    QCOMPARE(speedHeading->y(), 111);
    QVERIFY(f.child<QWidget>("Panel2")->geometry().contains(
        QPoint(speedHeading->geometry().right(), 129)));
    // The left arrow, now on the right, still lowers the design number.
    f.child<QToolButton>("SpeedButton1")->click();
    QCOMPARE(f.dialog->design(), -3);
}

void TstOptionsDialog::englishMirror()
{
    Fixture f(QStringLiteral("EN"));
    QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Option"));
    QCOMPARE(f.dialog->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(f.child<QToolButton>("SpeedButton1")->text(), QStringLiteral("<"));
    QCOMPARE(f.child<QToolButton>("SpeedButton2")->text(), QStringLiteral(">"));
    const int fieldLeft = f.edit(1)->x();
    QVERIFY(fieldLeft >= 91);
    for (int n = 1; n <= 4; ++n) {
        const auto* label = f.dialog->findChild<QLabel*>(QStringLiteral("Label%1").arg(n));
        QCOMPARE(label->x(), 16);
        QCOMPARE(f.edit(n)->x(), fieldLeft); // one column
        QCOMPARE(f.edit(n)->y() - label->y(), -6); // rows keep their heights
        QCOMPARE(f.edit(n)->layoutDirection(), Qt::LeftToRight);
        // Labels do not run into their fields, and the fields stay inside the names' frame.
        QVERIFY(label->geometry().right() < f.edit(n)->x());
        QVERIFY(f.edit(n)->geometry().right() < f.child<QWidget>("Bevel6")->geometry().right());
    }
    const auto* heading = f.child<QLabel>("Label5");
    const auto* line = f.dialog->findChild<QWidget*>(QStringLiteral("Bevel3"));
    QCOMPARE(heading->x(), 14);
    QCOMPARE(line->x(), heading->x() + heading->width() + 4);
    QCOMPARE(f.child<QLabel>("Label6")->x(), 14);
    QCOMPARE(f.child<QLabel>("Label9")->x(), 208);
}

void TstOptionsDialog::speedButtonsKeepTheirPlaces_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("English") << "EN";
    QTest::newRow("Arabic") << "AR";
}

void TstOptionsDialog::speedButtonsKeepTheirPlaces()
{
    // Slow at the left, Fast at the right in both languages, side by side inside their frame.
    QFETCH(QString, lang);
    Fixture f(lang);
    const auto* slow = f.child<QRadioButton>("RadioButton5");
    const auto* normal = f.child<QRadioButton>("RadioButton4");
    const auto* fast = f.child<QRadioButton>("RadioButton3");
    QVERIFY(slow->geometry().right() < normal->x());
    QVERIFY(normal->geometry().right() < fast->x());
    const QRect frame = f.child<QFrame>("Panel2")->contentsRect();
    QVERIFY(frame.contains(slow->geometry()) && frame.contains(fast->geometry()));
    for (const QRadioButton* radio : {slow, normal, fast})
        QVERIFY2(radio->sizeHint().width() <= radio->width(), qPrintable(radio->text()));
    setCurrentLang(QStringLiteral("EN"));
}

void TstOptionsDialog::arabicIsTheMirrorImageOfEnglish()
{
    // Everything but the captions, whose widths differ by language: what stands at the left in
    // English stands as far from the right in Arabic. The names come first in reading order,
    // the arrows point away from the card, OK is where reading ends.
    std::map<QString, QRect> english;
    {
        Fixture f(QStringLiteral("EN"));
        for (const QWidget* w : f.dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!qobject_cast<const QLabel*>(w) && !w->isWindow() && !w->objectName().isEmpty())
                english[w->objectName()] = w->geometry();
        // The headings' lines start where their captions end, the fields where the widest
        // label ends, the level choices where their captions do.
        for (const char* follower : {"Bevel3", "Bevel5", "Edit1", "Edit2", "Edit3", "Edit4", "Panel3"})
            english.erase(QString::fromLatin1(follower));
    }
    Fixture f(QStringLiteral("AR"));
    const int width = f.dialog->width();
    QStringList wrong;
    for (const auto& [name, rect] : english) {
        const QWidget* w = f.dialog->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        QVERIFY2(w, qPrintable(name));
        // As far from the right edge as it was from the left (a panel of captions may be wider).
        const int fromRight = width - w->x() - w->width();
        if (fromRight != rect.x() || w->y() != rect.y())
            wrong << QStringLiteral("%1 %2 from the right, not %3").arg(name).arg(fromRight).arg(rect.x());
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    QVERIFY(english.count(QStringLiteral("Card1")) && english.count(QStringLiteral("BitBtn3")));
    QVERIFY(f.edit(1)->x() > f.child<QWidget>("Card1")->x());
    QVERIFY(f.child<QWidget>("BitBtn1")->x() < f.child<QWidget>("BitBtn3")->x());
    QVERIFY(f.child<QWidget>("SpeedButton1")->x() > f.child<QWidget>("Card1")->x()); // ">"
    QVERIFY(f.child<QWidget>("SpeedButton2")->x() < f.child<QWidget>("Card1")->x()); // "<"
    setCurrentLang(QStringLiteral("EN"));
}

void TstOptionsDialog::namesArePlainText()
{
    Fixture f;
    f.open();
    f.edit(1)->setText(QStringLiteral("<b>x</b>"));
    f.edit(2)->setText(QStringLiteral("<img>"));
    f.dialog->setPlayerLabel(f.table->nameLabel(1));
    f.pressOk();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.table->nameLabel(1)->textFormat(), Qt::PlainText);
    QCOMPARE(f.table->nameLabel(1)->text(), QStringLiteral("<b>x</b>"));
    QCOMPARE(f.statusBar->getPlayPanel()->text(), QStringLiteral("<b>x</b>"));
    QCOMPARE(settings::playerName(3), QStringLiteral("<img>"));
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstOptionsDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_options_dialog.moc"
