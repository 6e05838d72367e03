// SPDX-License-Identifier: GPL-3.0-or-later
// The score sheet as a person reads it: a negative score keeps its minus sign on the left of
// the digits in every column, in English and in Arabic; a name too long for its column shows
// that it was cut.

#include "test_support.h"

#include "core/game.h"

#include <QTextLayout>
#include <QtTest>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

// Every seat bids 13 tricks: three of them at least miss and fall to -26.
void playDealOfHighBids(GameModel& game)
{
    QVERIFY(game.startDeal());
    while (game.phase() == Phase::Bidding)
        QVERIFY(game.bid(26));
    while (game.phase() == Phase::Playing || game.phase() == Phase::TrickComplete) {
        if (game.phase() == Phase::TrickComplete)
            QVERIFY(game.takeTrick());
        else
            QVERIFY(game.play(game.legalCards().front()));
    }
    QVERIFY(game.scoreDeal());
}

// Where the label draws its sign, left or right of its digits: -1 left, 1 right, 0 no sign.
int signSide(const QLabel* label)
{
    const QString text = label->text();
    qsizetype sign = -1;
    qsizetype digit = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (sign < 0 && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
            sign = i;
        if (digit < 0 && text[i].isDigit())
            digit = i;
    }
    if (sign < 0 || digit < 0)
        return 0;
    QTextLayout layout(text, label->font());
    QTextOption option;
    option.setTextDirection(label->layoutDirection());
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    // The sign's left edge against the first digit's: a run read from the left has the sign
    // before the digit; a run turned around by the bidi rules has it after.
    const qreal signX = std::min(line.cursorToX(int(sign)), line.cursorToX(int(sign + 1)));
    const qreal digitX = std::min(line.cursorToX(int(digit)), line.cursorToX(int(digit + 1)));
    return signX < digitX ? -1 : 1;
}

} // namespace

class TstScoreSheet : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setCurrentLang(QStringLiteral("EN")); }
    void minusSignStandsLeftOfTheDigits_data();
    void minusSignStandsLeftOfTheDigits();
    void headingsShowWhenANameIsCut_data();
    void headingsShowWhenANameIsCut();
};

void TstScoreSheet::minusSignStandsLeftOfTheDigits_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("EN");
    QTest::newRow("Arabic") << QStringLiteral("AR");
}

void TstScoreSheet::minusSignStandsLeftOfTheDigits()
{
    QFETCH(QString, language);
    TempSettings settings;
    setCurrentLang(language);
    GameModel game{[] { return 7u; }};
    Table table;
    TStatusBar statusBar(game.arrange());
    TScores sheet(game, table, statusBar);
    playDealOfHighBids(game);
    playDealOfHighBids(game);
    sheet.resetSheet();

    int negatives = 0;
    QStringList wrong;
    for (int row = 1; row <= 2; ++row) {
        for (int seat = 1; seat <= 4; ++seat) {
            const QLabel* label = sheet.scoreLabel(seat, row);
            const int score = game.scoreRows()[std::size_t(row - 1)][seat];
            // The figure itself, whatever marks keep it in one piece.
            QString digits = label->text();
            digits.remove(QChar(0x200E));
            if (digits != QString::number(score))
                wrong << QStringLiteral("seat %1 row %2 shows %3 for %4").arg(seat).arg(row).arg(label->text()).arg(score);
            if (score < 0) {
                ++negatives;
                if (signSide(label) != -1)
                    wrong << QStringLiteral("seat %1 row %2: the sign of %3 is drawn after it").arg(seat).arg(row).arg(score);
            }
        }
    }
    QVERIFY2(negatives >= 3, "the deals were meant to leave scores below zero");
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

void TstScoreSheet::headingsShowWhenANameIsCut_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("cut");
    QTest::newRow("eight wide letters") << "EN" << "WWWWWWWW" << false;
    QTest::newRow("a long name from the file") << "EN" << "Bartholomew Fitzgerald-Montgomery" << true;
    QTest::newRow("a long Arabic name") << "AR" << "عبد الرحمن بن عبد العزيز آل سعود" << true;
}

void TstScoreSheet::headingsShowWhenANameIsCut()
{
    QFETCH(QString, language);
    QFETCH(QString, name);
    QFETCH(bool, cut);
    TempSettings settings;
    setCurrentLang(language);
    GameModel game{[] { return 7u; }};
    Table table;
    TStatusBar statusBar(game.arrange());
    TScores sheet(game, table, statusBar);
    table.setPlayerName(2, name);
    sheet.show();
    const QLabel* heading = sheet.heading(2);
    // Every letter shown is drawn inside the column.
    QVERIFY(heading->fontMetrics().horizontalAdvance(heading->text()) <= heading->width());
    QCOMPARE(heading->text() == name, !cut);
    if (cut) {
        QVERIFY2(heading->text().endsWith(QChar(0x2026)), qPrintable(heading->text()));
        // The letters before the ellipsis begin the name (a joiner may keep the last one's form).
        QString kept = heading->text().chopped(1);
        kept.remove(QChar(0x200D));
        QVERIFY2(name.startsWith(kept), qPrintable(heading->text()));
        QCOMPARE(heading->toolTip(), name);
    }
    // Read aloud whole, and the table keeps the whole name.
    QCOMPARE(heading->accessibleName(), name);
    QCOMPARE(table.nameLabel(2)->text(), name);
}

int main(int argc, char* argv[])
{
    useOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    TstScoreSheet test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_score_sheet.moc"
