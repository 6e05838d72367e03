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
        dialog = std::make_unique<Tnamesform>(*table, game);
        accepted = std::make_unique<QSignalSpy>(dialog.get(), &Tnamesform::nameAccepted);
        closed = std::make_unique<QSignalSpy>(dialog.get(), &Tnamesform::closedWithoutName);
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
    std::unique_ptr<Tnamesform> dialog;
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
    QCOMPARE(f.dialog->nameField()->geometry(), QRect(112, 24, 89, 21));
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
