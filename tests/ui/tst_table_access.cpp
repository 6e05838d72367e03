// SPDX-License-Identifier: GPL-3.0-or-later
// What assistive technology finds on the table: a name on everything visible, in both
// languages, kept current as cards move, and the announcements of a trick.
#include "test_support.h"

#include "ui/last_trick.h"
#include "ui/table_access.h"

#include <QAccessible>

using namespace halbeet;
using halbeet::testing::Game;

namespace {

// Every visible card, label and plain panel of the table without a name, one line each.
QStringList unnamed(Game& game)
{
    QCoreApplication::processEvents(); // the names follow the table once its changes are over
    QStringList missing;
    for (QWidget* widget : game.table().findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->window() != &game.window())
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        if (!iface || iface->text(QAccessible::Name).trimmed().isEmpty())
            missing << widget->objectName() + QStringLiteral(" ") + widget->metaObject()->className();
    }
    return missing;
}

QStringList statusPanelNames(Game& game)
{
    QStringList names;
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(game.window().statusBar1());
    for (int i = 0; bar && i < bar->childCount(); ++i)
        names << bar->child(i)->text(QAccessible::Name);
    return names;
}

} // namespace

class TableAccessTest : public QObject {
    Q_OBJECT

private slots:
    void everythingVisibleIsNamed_data();
    void everythingVisibleIsNamed();
    void aTrickIsAnnounced();
};

void TableAccessTest::everythingVisibleIsNamed_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("hand");
    QTest::addColumn<QString>("trump");
    QTest::newRow("English") << QStringLiteral("EN") << QStringLiteral("Player2: 13 cards") << QStringLiteral("Trump: ");
    QTest::newRow("Arabic") << QStringLiteral("AR") << QStringLiteral("لاعب2: 13 ورقة") << QStringLiteral("الهلبيط: ");
}

void TableAccessTest::everythingVisibleIsNamed()
{
    QFETCH(QString, language);
    QFETCH(QString, hand);
    QFETCH(QString, trump);
    Game game(3, 3, {}, language);

    // At the bid.
    QCOMPARE(unnamed(game), QStringList());
    const TGameState& s = game.state();
    CardSprite* first = game.table().handSprite(1, 1);
    QCOMPARE(first->accessibleName(), accessibleCardName(s.Hands[1][1]));
    QVERIFY(!first->accessibleName().isEmpty());
    QCOMPARE(game.table().handSprite(2, 5)->accessibleName(), hand);
    QCOMPARE(QAccessible::queryAccessibleInterface(first)->role(), QAccessible::Graphic);
    const QStringList panels = statusPanelNames(game);
    QCOMPARE(panels.size(), 7);
    const QString suit = texts().access.suits[static_cast<std::size_t>(s.Trump)];
    QVERIFY2(panels.contains(trump + suit), qPrintable(panels.join(QStringLiteral(" | "))));
    for (const QString& name : panels)
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(panels.join(QStringLiteral(" | "))));

    // In the middle of a trick: the human leads, the computers answer, the next trick begins.
    game.bid(QStringLiteral("14"));
    game.click(game.spriteOf(game.legalCard()));
    QCOMPARE(unnamed(game), QStringList());
    // The computer hands count down; the markers count the trick taken.
    QCOMPARE(game.table().handSprite(2, 13)->accessibleName().contains(QStringLiteral("12")), true);
    const int taker = s.WinningCard.Seat;
    QVERIFY(game.table().marker(taker, 1)->accessibleName().contains(QStringLiteral("1")) ||
            language == QStringLiteral("AR"));
    // The last trick window names its cards with their players.
    for (int seat = 1; seat <= 4; ++seat) {
        const QString name = game.window().lastTrickWindow()->trickCard(seat)->accessibleName();
        QVERIFY2(name.startsWith(game.table().nameLabel(seat)->text() + QStringLiteral(": ")), qPrintable(name));
    }
}

void TableAccessTest::aTrickIsAnnounced()
{
    Game game(3, 3); // the human leads
    TableAccess* access = game.window().access();
    game.bid(QStringLiteral("14"));
    QVERIFY(access->announcements().last().contains(QStringLiteral("Bids: Hawk 14")));
    const int before = static_cast<int>(access->announcements().size());
    const TCardFace card = game.legalCard();
    game.click(game.spriteOf(card));
    const QStringList said = access->announcements().mid(before);
    // Four cards by their players, the taker and whose turn it is after it; then the cards
    // of the next trick played before the human's turn, if he did not take this one.
    const int taker0 = game.state().TricksWon[1] == 1 ? 1 : 0;
    QCOMPARE(said.size(), 5 + (taker0 == 1 ? 0 : static_cast<int>(game.state().CardsPlayed) - 4));
    QCOMPARE(said[0], QStringLiteral("Hawk plays %1, Player2 to play").arg(accessibleCardName(card)));
    QVERIFY(said[1].startsWith(QStringLiteral("Player2 plays ")));
    QVERIFY(said[2].startsWith(QStringLiteral("Player3 plays ")));
    QVERIFY(said[3].startsWith(QStringLiteral("Player4 plays ")));
    const QString taker = game.table().nameLabel(game.state().WinningCard.Seat)->text();
    QVERIFY2(said[4].startsWith(taker + QStringLiteral(" takes the trick, 1 trick now")), qPrintable(said[4]));
    QVERIFY2(said[4].endsWith(taker == QStringLiteral("Hawk") ? QStringLiteral("Your turn") : taker + QStringLiteral(" to play")),
             qPrintable(said[4]));
    // The announcer carries the last one as its accessible name.
    QCOMPARE(access->announcer()->accessibleName(), said.last());
    QVERIFY(said.last().endsWith(QStringLiteral("Your turn")));
}

QTEST_MAIN(TableAccessTest)
#include "tst_table_access.moc"
