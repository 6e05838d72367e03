// SPDX-License-Identifier: GPL-3.0-or-later
// The name dialog: the stored name, the empty name, Esc and the close box, what OK puts on the
// table and in the file, a refused write, and the layout of both languages.

#include "core/game.h"
#include "dialog_helpers.h"
#include "settings/settings.h"
#include "ui/language.h"
#include "ui/name_dialog.h"
#include "ui/table.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace halbeet;
using halbeet::testing::TempSettings;
using halbeet::testing::whenModal;

namespace {

struct Fixture {
    explicit Fixture(const QString& lang = QStringLiteral("EN"))
    {
        setCurrentLang(lang);
        table = std::make_unique<Table>();
        dialog = std::make_unique<NameDialog>(*table);
        accepted = std::make_unique<QSignalSpy>(dialog.get(), &NameDialog::nameAccepted);
        closed = std::make_unique<QSignalSpy>(dialog.get(), &NameDialog::closedWithoutName);
    }
    QPushButton* button(const char* name) const
    {
        return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QLabel* label(const char* name) const
    {
        return dialog->findChild<QLabel*>(QString::fromLatin1(name));
    }

    TempSettings settingsFile;
    GameModel game{[] { return 1u; }};
    TGameState& state = game.arrange();
    std::unique_ptr<Table> table;
    std::unique_ptr<NameDialog> dialog;
    std::unique_ptr<QSignalSpy> accepted;
    std::unique_ptr<QSignalSpy> closed;
};

} // namespace

class TstNameDialog : public QObject {
    Q_OBJECT

private slots:
    void firstStartWithoutFile();
    void storedNamesAreUsed();
    void enterAcceptsStoredName();
    void emptyNameIsRefused();
    void closingEndsTheGame_data();
    void closingEndsTheGame();
    void refusedWriteKeepsDialogUp();
    void fieldTakesEightCharacters();
    void refusalsSayWhy_data();
    void refusalsSayWhy();
    void computerPlayersAreNamedInTheInterfaceLanguage_data();
    void computerPlayersAreNamedInTheInterfaceLanguage();
    void layoutByLanguage_data();
    void layoutByLanguage();
    void namesArePlainText();
};

void TstNameDialog::firstStartWithoutFile()
{
    Fixture f;
    f.dialog->show();
    QVERIFY(f.dialog->nameField()->text().isEmpty());
    QVERIFY(f.dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!f.dialog->isModal());

    f.dialog->nameField()->setText(QStringLiteral("Hawk"));
    f.button("BitBtn1")->click();

    QCOMPARE(f.accepted->count(), 1);
    QCOMPARE(f.closed->count(), 0);
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.table->nameLabel(1)->text(), QStringLiteral("Hawk"));
    QCOMPARE(f.table->nameLabel(2)->text(), QStringLiteral("Player2"));
    QCOMPARE(f.table->nameLabel(3)->text(), QStringLiteral("Player3"));
    QCOMPARE(f.table->nameLabel(4)->text(), QStringLiteral("Player4"));
    for (int n = 1; n <= 4; ++n)
        QVERIFY(!f.table->shape(n)->isHidden());
    // The deck is in its initial order.
    TDeck initial{};
    InitDeck(initial);
    QVERIFY(f.state.Deck == initial);
    // Only PLAYER1 was written: the computer names are read, not stored.
    const QString text = f.settingsFile.contents();
    QVERIFY(text.contains(QStringLiteral("Hawk")));
    QVERIFY(!text.contains(QStringLiteral("PLAYER2"), Qt::CaseInsensitive));
}

void TstNameDialog::storedNamesAreUsed()
{
    Fixture f;
    f.settingsFile.write("[NAMES]\nPLAYER1=Owl\nPLAYER2=Falcon\nPLAYER4=\n");
    f.dialog->show();
    QCOMPARE(f.dialog->nameField()->text(), QStringLiteral("Owl"));
    f.button("BitBtn1")->click();
    QCOMPARE(f.accepted->count(), 1);
    QCOMPARE(f.table->nameLabel(2)->text(), QStringLiteral("Falcon"));
    QCOMPARE(f.table->nameLabel(3)->text(), QStringLiteral("Player3"));
    // Present but empty stays empty.
    QCOMPARE(f.table->nameLabel(4)->text(), QString());
}

void TstNameDialog::enterAcceptsStoredName()
{
    Fixture f;
    f.settingsFile.write("[NAMES]\nPLAYER1=Owl\n");
    f.dialog->show();
    QTest::keyClick(f.dialog->nameField(), Qt::Key_Return);
    QCOMPARE(f.accepted->count(), 1);
    QCOMPARE(f.table->nameLabel(1)->text(), QStringLiteral("Owl"));
}

void TstNameDialog::emptyNameIsRefused()
{
    Fixture f;
    f.dialog->show();
    f.dialog->activateWindow();
    f.button("BitBtn1")->setFocus();
    f.button("BitBtn1")->click();
    QCOMPARE(f.accepted->count(), 0);
    QCOMPARE(f.closed->count(), 0);
    QVERIFY(f.dialog->isVisible());
    QVERIFY(f.table->shape(1)->isHidden());
    QVERIFY(!QFile::exists(f.settingsFile.file()));
    if (QApplication::focusWidget())
        QCOMPARE(QApplication::focusWidget(), f.dialog->nameField());
}

void TstNameDialog::closingEndsTheGame_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Esc") << 0;
    QTest::newRow("Close button") << 1;
    QTest::newRow("close box") << 2;
}

void TstNameDialog::closingEndsTheGame()
{
    QFETCH(int, way);
    Fixture f;
    f.settingsFile.write("[NAMES]\nPLAYER1=Owl\n");
    f.dialog->show();
    switch (way) {
    case 0: QTest::keyClick(f.dialog->nameField(), Qt::Key_Escape); break;
    case 1: f.button("BitBtn2")->click(); break;
    default: f.dialog->close(); break;
    }
    QCOMPARE(f.closed->count(), 1);
    QCOMPARE(f.accepted->count(), 0);
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.table->nameLabel(1)->text(), QString());
}

void TstNameDialog::refusedWriteKeepsDialogUp()
{
    Fixture f;
    f.dialog->show();
    f.settingsFile.blockWrites();
    f.dialog->nameField()->setText(QStringLiteral("Hawk"));
    QString shown;
    const auto answered = whenModal([&shown](QWidget* box) {
        shown = qobject_cast<QMessageBox*>(box)->text();
        box->close();
    });
    f.button("BitBtn1")->click();
    QVERIFY(*answered);
    QCOMPARE(shown, QStringLiteral("Unable to write to ") + f.settingsFile.file());
    QVERIFY(f.dialog->isVisible());
    QCOMPARE(f.accepted->count(), 0);
    QCOMPARE(f.closed->count(), 0);
    // The computer names were not loaded.
    QCOMPARE(f.table->nameLabel(2)->text(), QString());
}

void TstNameDialog::fieldTakesEightCharacters()
{
    Fixture f;
    f.dialog->show();
    QTest::keyClicks(f.dialog->nameField(), QStringLiteral("Abcdefghijk"));
    QCOMPARE(f.dialog->nameField()->text(), QStringLiteral("Abcdefgh"));

    // A longer name written into the file by hand is shown unchanged.
    Fixture g;
    g.settingsFile.write("[NAMES]\nPLAYER1=Abcdefghijk\n");
    g.dialog->show();
    QCOMPARE(g.dialog->nameField()->text(), QStringLiteral("Abcdefghijk"));
}

void TstNameDialog::refusalsSayWhy_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("typed");  // typed into the emptied field
    QTest::addColumn<QString>("pasted"); // then pasted at the end
    QTest::addColumn<bool>("pressOk");
    QTest::addColumn<QString>("field");  // what the field then holds
    QTest::addColumn<int>("note");       // 0 none, 1 empty name, 2 name cut
    for (const char* lang : {"EN", "AR"}) {
        const QByteArray l(lang);
        QTest::newRow(l + " empty name") << lang << "" << "" << true << "" << 1;
        QTest::newRow(l + " typed past eight") << lang << "Abcdefghijk" << "" << false << "Abcdefgh" << 2;
        QTest::newRow(l + " pasted past eight") << lang << "Ab" << "cdefghijk" << false << "Abcdefgh" << 2;
        QTest::newRow(l + " exactly eight") << lang << "Abcdefgh" << "" << true << "Abcdefgh" << 0;
    }
}

void TstNameDialog::refusalsSayWhy()
{
    QFETCH(QString, lang);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(bool, pressOk);
    QFETCH(QString, field);
    QFETCH(int, note);
    Fixture f(lang);
    f.dialog->show();
    QLineEdit* edit = f.dialog->nameField();
    edit->clear();
    QTest::keyClicks(edit, typed);
    if (!pasted.isEmpty()) {
        QApplication::clipboard()->setText(pasted);
        edit->end(false);
        edit->paste();
    }
    if (pressOk)
        f.button("BitBtn1")->click();
    QCOMPARE(edit->text(), field);

    const NameTexts& t = lang == QLatin1String("AR") ? arabicTexts().names : englishTexts().names;
    const QLabel* shown = f.dialog->note();
    QCOMPARE(shown->isVisible(), note != 0);
    if (note == 0)
        return;
    QCOMPARE(shown->text(), note == 1 ? t.EmptyName : t.NameCut);
    // Read whole, inside the dialog, clear of the field and the buttons.
    QVERIFY(QRect(QPoint(0, 0), f.dialog->size()).contains(shown->geometry()));
    QVERIFY(shown->fontMetrics().horizontalAdvance(shown->text()) <= shown->width());
    for (const QWidget* other : {static_cast<QWidget*>(edit), static_cast<QWidget*>(f.button("BitBtn1")),
                                 static_cast<QWidget*>(f.button("BitBtn2"))})
        QVERIFY2(!shown->geometry().intersects(other->geometry()), qPrintable(other->objectName()));

    // Once it no longer holds, the note goes.
    if (note == 1)
        QTest::keyClicks(edit, QStringLiteral("A"));
    else
        QTest::keyClick(edit, Qt::Key_Backspace);
    QVERIFY(!shown->isVisible());
}

void TstNameDialog::computerPlayersAreNamedInTheInterfaceLanguage_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("names"); // seats 2, 3, 4
    const QStringList arabic{QStringLiteral("لاعب2"), QStringLiteral("لاعب3"), QStringLiteral("لاعب4")};
    const QStringList english{QStringLiteral("Player2"), QStringLiteral("Player3"), QStringLiteral("Player4")};
    QTest::newRow("English, nothing stored") << "EN" << QByteArray() << english;
    QTest::newRow("Arabic, nothing stored") << "AR" << QByteArray() << arabic;
    // A stored name is the player's, whatever the language; the file's English defaults too.
    QTest::newRow("Arabic, names stored")
        << "AR" << QByteArray("[NAMES]\nPLAYER2=Falcon\nPLAYER3=Player3\n")
        << QStringList{QStringLiteral("Falcon"), QStringLiteral("Player3"), arabic[2]};
}

void TstNameDialog::computerPlayersAreNamedInTheInterfaceLanguage()
{
    QFETCH(QString, lang);
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, names);
    Fixture f(lang);
    f.settingsFile.write("[NAMES]\nPLAYER1=Owl\n" + ini.mid(ini.indexOf('\n') + 1));
    f.dialog->show();
    f.button("BitBtn1")->click();
    QCOMPARE(f.accepted->count(), 1);
    for (int seat = 2; seat <= 4; ++seat)
        QCOMPARE(f.table->nameLabel(seat)->text(), names[seat - 2]);
    // The file keeps only what was stored: the interface's defaults are never written.
    QCOMPARE(f.settingsFile.contents().count(QStringLiteral("PLAYER")), 1 + ini.count("PLAYER"));
    setCurrentLang(QStringLiteral("EN"));
}

void TstNameDialog::layoutByLanguage_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("buttonLeft");
    QTest::newRow("Arabic") << "AR" << QStringLiteral("الهلبيط") << 14;
    QTest::newRow("English") << "EN" << QStringLiteral("Halbeet") << 206;
}

void TstNameDialog::layoutByLanguage()
{
    QFETCH(QString, lang);
    QFETCH(QString, caption);
    QFETCH(int, buttonLeft);
    Fixture f(lang);
    f.dialog->show();
    const bool arabic = lang == QLatin1String("AR");
    const NameDialogTexts& t = arabic ? arabicTexts().nameDialog : englishTexts().nameDialog;
    QCOMPARE(f.dialog->windowTitle(), caption);
    QCOMPARE(f.dialog->size(), QSize(286, 76));
    QCOMPARE(f.dialog->layoutDirection(), arabic ? Qt::RightToLeft : Qt::LeftToRight);
    QCOMPARE(f.dialog->nameField()->layoutDirection(),
             arabic ? Qt::RightToLeft : Qt::LeftToRight);
    QCOMPARE(f.label("Label1")->text(), t.Label1);
    QCOMPARE(f.label("Label2")->text(), t.Label2);
    QCOMPARE(f.button("BitBtn1")->text(), t.BitBtn1);
    QCOMPARE(f.button("BitBtn2")->text(), t.BitBtn2);
    QCOMPARE(f.button("BitBtn1")->geometry(), QRect(buttonLeft, 8, 75, 25));
    QCOMPARE(f.button("BitBtn2")->geometry(), QRect(buttonLeft, 40, 75, 25));
    // The field stands at 112 and ends before the English buttons; where the English question
    // is wider than its place, the field gives up the difference.
    const QRect field = f.dialog->nameField()->geometry();
    QCOMPARE(field.top(), 24);
    QCOMPARE(field.height(), 21);
    QCOMPARE(field.right(), 200);
    QVERIFY(field.left() >= 112);
    QVERIFY(field.width() >= 75);
    QCOMPARE(f.label("Label1")->y(), 8);
    QCOMPARE(f.label("Label2")->y(), 28);
    const QLabel* question = f.label("Label2");
    if (arabic) {
        // Right of the field, text to the right, inside the dialog.
        QVERIFY(question->x() > f.dialog->nameField()->geometry().right());
        QVERIFY(question->alignment().testFlag(Qt::AlignRight));
        QVERIFY(question->geometry().right() < 286);
        QVERIFY(f.label("Label1")->x() <= 152);
    } else {
        QCOMPARE(f.label("Label1")->x(), 12);
        QCOMPARE(question->x(), 7);
        QVERIFY(question->geometry().right() < f.dialog->nameField()->x());
        QVERIFY(question->alignment().testFlag(Qt::AlignLeft));
    }
}

void TstNameDialog::namesArePlainText()
{
    Fixture f;
    f.settingsFile.write("[NAMES]\nPLAYER1=<b>x</b>\nPLAYER3=<img src=x>\n");
    f.dialog->show();
    QCOMPARE(f.dialog->nameField()->text(), QStringLiteral("<b>x</b>"));
    f.button("BitBtn1")->click();
    QCOMPARE(f.table->nameLabel(1)->text(), QStringLiteral("<b>x</b>"));
    QCOMPARE(f.table->nameLabel(3)->text(), QStringLiteral("<img src=x>"));
    QCOMPARE(f.table->nameLabel(3)->textFormat(), Qt::PlainText);
    QCOMPARE(f.label("Label1")->textFormat() == Qt::RichText, false);
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstNameDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_name_dialog.moc"
