// SPDX-License-Identifier: GPL-3.0-or-later
// The last-trick window (its copy of the trick and the stacking by leader) and the about
// window.

#include "ui/about.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/last_trick.h"
#include "ui/table.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace halbeet;

namespace {

// Names of the four trick sprites from the lowest to the highest in the stack.
QStringList stackOrder(const LastTrickWindow& window)
{
    QStringList order;
    for (const QObject* child : window.children()) {
        const auto* card = qobject_cast<const CardSprite*>(child);
        if (card)
            order << card->objectName();
    }
    return order;
}

} // namespace

class TstSmallWindows : public QObject {
    Q_OBJECT

private slots:
    void lastTrickStacksByLeader_data();
    void lastTrickStacksByLeader();
    void lastTrickCopiesTheTrick();
    void lastTrickLayoutAndLanguage_data();
    void lastTrickLayoutAndLanguage();
    void lastTrickCloses();
    void aboutWindow_data();
    void aboutWindow();
};

void TstSmallWindows::lastTrickStacksByLeader_data()
{
    QTest::addColumn<int>("leader");
    QTest::addColumn<QStringList>("bottomToTop");
    QTest::newRow("seat 1") << 1 << QStringList{"Card56", "Card53", "Card54", "Card55"};
    QTest::newRow("seat 2") << 2 << QStringList{"Card53", "Card54", "Card55", "Card56"};
    QTest::newRow("seat 3") << 3 << QStringList{"Card54", "Card55", "Card56", "Card53"};
    QTest::newRow("seat 4") << 4 << QStringList{"Card55", "Card56", "Card53", "Card54"};
}

void TstSmallWindows::lastTrickStacksByLeader()
{
    QFETCH(int, leader);
    QFETCH(QStringList, bottomToTop);
    setCurrentLang(QStringLiteral("EN"));
    Table table;
    LastTrickWindow window;
    // Every leader after every other one: the order must not depend on the previous trick.
    for (int previous = 1; previous <= 4; ++previous) {
        window.fill(table, previous);
        window.fill(table, leader);
        QCOMPARE(stackOrder(window), bottomToTop);
    }
}

void TstSmallWindows::lastTrickCopiesTheTrick()
{
    setCurrentLang(QStringLiteral("EN"));
    Table table;
    LastTrickWindow window;
    const std::array<TCardFace, 5> trick{{{}, {1, 1}, {1, 13}, {3, 10}, {1, 2}}};
    for (int seat = 1; seat <= 4; ++seat)
        table.trickSlot(seat)->setFace(trick[std::size_t(seat)]);
    window.fill(table, 1);
    // Filling works while hidden, and does not show the window.
    QVERIFY(!window.isVisible());
    for (int seat = 1; seat <= 4; ++seat) {
        QCOMPARE(window.trickCard(seat)->objectName(), table.trickSlot(seat)->objectName());
        QCOMPARE(window.trickCard(seat)->face(), trick[std::size_t(seat)]);
    }
    // The copy is the window's own: clearing the table later leaves it.
    for (int seat = 1; seat <= 4; ++seat)
        table.trickSlot(seat)->setFace({});
    QCOMPARE(window.trickCard(1)->face(), TCardFace({1, 1}));
}

void TstSmallWindows::lastTrickLayoutAndLanguage_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("direction");
    QTest::newRow("Arabic") << "AR" << QStringLiteral("آخر رمية") << QStringLiteral("إغلاق")
                            << int(Qt::RightToLeft);
    QTest::newRow("English") << "EN" << "Last Shot" << "Close" << int(Qt::LeftToRight);
}

void TstSmallWindows::lastTrickLayoutAndLanguage()
{
    QFETCH(QString, lang);
    QFETCH(QString, caption);
    QFETCH(QString, button);
    QFETCH(int, direction);
    setCurrentLang(lang);
    LastTrickWindow window;
    QCOMPARE(window.windowTitle(), caption);
    QCOMPARE(window.findChild<QPushButton*>("Button1")->text(), button);
    QCOMPARE(int(window.layoutDirection()), direction);
    QCOMPARE(window.size(), QSize(215, 176));
    // The designed places in English; in Arabic the button goes to the left and the trick, kept
    // as the players sit, to the right: as far from the right edge as it was from the left.
    const int shift = direction == int(Qt::RightToLeft) ? 64 : 0;
    QCOMPARE(window.trickCard(1)->geometry(), QRect(32 + shift, 72, 71, 96));
    QCOMPARE(window.trickCard(2)->geometry(), QRect(72 + shift, 40, 71, 96));
    QCOMPARE(window.trickCard(3)->geometry(), QRect(48 + shift, 8, 71, 96));
    QCOMPARE(window.trickCard(4)->geometry(), QRect(8 + shift, 24, 71, 96));
    QCOMPARE(window.findChild<QPushButton*>("Button1")->geometry(),
             QRect(shift ? 215 - 152 - 57 : 152, 24, 57, 25));
}

void TstSmallWindows::lastTrickCloses()
{
    setCurrentLang(QStringLiteral("EN"));
    LastTrickWindow window;
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    window.show();
    window.findChild<QPushButton*>("Button1")->click();
    QVERIFY(!window.isVisible());
}

void TstSmallWindows::aboutWindow_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<int>("direction");
    QTest::newRow("Arabic") << "AR" << QStringLiteral("حول اللعبة") << QStringLiteral("&موافق")
                            << int(Qt::RightToLeft);
    QTest::newRow("English") << "EN" << "About" << "&Ok" << int(Qt::LeftToRight);
}

void TstSmallWindows::aboutWindow()
{
    QFETCH(QString, lang);
    QFETCH(QString, caption);
    QFETCH(QString, ok);
    QFETCH(int, direction);
    setCurrentLang(lang);
    AboutBox about;
    QCOMPARE(about.windowTitle(), caption);
    QCOMPARE(int(about.layoutDirection()), direction);
    QCOMPARE(about.size(), QSize(271, 181));
    auto* button = about.findChild<QPushButton*>("Button1");
    QCOMPARE(button->text(), ok);
    QCOMPARE(button->size(), QSize(75, 25));
    QCOMPARE(button->x() + button->width() / 2, 271 / 2);

    // The name with its shadow two pixels down-right, and the version line.
    const auto* name = about.findChild<QLabel*>("ProductName");
    const auto* shadow = about.findChild<QLabel*>("ProductShadow");
    // The game's name and version in the interface's language, read in its direction.
    const AboutTexts& t = textsFor(lang).about;
    QCOMPARE(name->text(), t.gameName);
    QCOMPARE(shadow->text(), t.gameName);
    QCOMPARE(shadow->pos() - name->pos(), QPoint(2, 1));
    QVERIFY(name->font().underline());
    QVERIFY(name->font().bold());
    QCOMPARE(name->font().pixelSize(), 29);
    QCOMPARE(about.findChild<QLabel*>("Version")->text(), t.version);
    QCOMPARE(int(about.findChild<QWidget*>("Panel2")->layoutDirection()), direction);
    // The name lies over its shadow.
    const QObjectList siblings = name->parent()->children();
    QVERIFY(siblings.indexOf(name) > siblings.indexOf(shadow));

    const auto* icon = about.findChild<QLabel*>("ProgramIcon");
    QCOMPARE(icon->size(), QSize(32, 32));
    QVERIFY(!icon->pixmap().isNull());

    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    QVERIFY(!about.isVisible());
    about.show();
    button->click();
    QVERIFY(!about.isVisible());
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstSmallWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_small_windows.moc"
