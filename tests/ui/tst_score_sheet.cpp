// SPDX-License-Identifier: GPL-3.0-or-later
// The score sheet as a person reads it: a negative score keeps its minus sign on the left of
// the digits in every column, in English and in Arabic; a name too long for its column shows
// that it was cut. Under X11, the window manager's request to close the main window is heard
// while the sheet blocks it, and only that request.

#include "test_support.h"

#include "core/game.h"
#include "ui/close_request_filter.h"

#include <QTextLayout>
#include <QtTest>

#include <xcb/xcb.h>

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

// Ids as an X server gives them: the main window and the atoms of the WM_PROTOCOLS messages.
constexpr quint32 MainWindowId = 0x400006;
constexpr quint32 ProtocolsAtom = 241;
constexpr quint32 DeleteAtom = 244;
constexpr quint32 TakeFocusAtom = 245;

xcb_client_message_event_t closeRequest()
{
    xcb_client_message_event_t event{};
    // The window manager sends it with SendEvent, which sets the top bit.
    event.response_type = XCB_CLIENT_MESSAGE | 0x80;
    event.format = 32;
    event.window = MainWindowId;
    event.type = ProtocolsAtom;
    event.data.data32[0] = DeleteAtom;
    return event;
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
    void closeRequestsForTheMainWindowAreHeard_data();
    void closeRequestsForTheMainWindowAreHeard();
    void closeRequestsAreNotWatchedWithoutX11();
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
    StatusBar statusBar(game.arrange());
    ScoreSheet sheet(game, table, statusBar);
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
    StatusBar statusBar(game.arrange());
    ScoreSheet sheet(game, table, statusBar);
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

void TstScoreSheet::closeRequestsForTheMainWindowAreHeard_data()
{
    QTest::addColumn<QByteArray>("eventType");
    QTest::addColumn<int>("responseType");
    QTest::addColumn<quint32>("window");
    QTest::addColumn<quint32>("messageType");
    QTest::addColumn<int>("format");
    QTest::addColumn<quint32>("protocol");
    QTest::addColumn<bool>("heard");
    const QByteArray xcb("xcb_generic_event_t");
    const int sent = XCB_CLIENT_MESSAGE | 0x80;
    QTest::newRow("the window manager's close request")
        << xcb << sent << MainWindowId << ProtocolsAtom << 32 << DeleteAtom << true;
    QTest::newRow("the same not marked as sent")
        << xcb << int(XCB_CLIENT_MESSAGE) << MainWindowId << ProtocolsAtom << 32 << DeleteAtom << true;
    QTest::newRow("for the sheet's own window")
        << xcb << sent << MainWindowId + 19 << ProtocolsAtom << 32 << DeleteAtom << false;
    QTest::newRow("take focus, not close")
        << xcb << sent << MainWindowId << ProtocolsAtom << 32 << TakeFocusAtom << false;
    QTest::newRow("another message naming the close atom")
        << xcb << sent << MainWindowId << quint32(277) << 32 << DeleteAtom << false;
    QTest::newRow("bytes, not atoms") << xcb << sent << MainWindowId << ProtocolsAtom << 8 << DeleteAtom << false;
    QTest::newRow("a key press") << xcb << int(XCB_KEY_PRESS) << MainWindowId << ProtocolsAtom << 32 << DeleteAtom
                                 << false;
    QTest::newRow("another platform's event")
        << QByteArray("windows_generic_MSG") << sent << MainWindowId << ProtocolsAtom << 32 << DeleteAtom << false;
}

void TstScoreSheet::closeRequestsForTheMainWindowAreHeard()
{
    QFETCH(QByteArray, eventType);
    QFETCH(int, responseType);
    QFETCH(quint32, window);
    QFETCH(quint32, messageType);
    QFETCH(int, format);
    QFETCH(quint32, protocol);
    QFETCH(bool, heard);
    int closes = 0;
    CloseRequestFilter filter(MainWindowId, ProtocolsAtom, DeleteAtom, [&closes] { ++closes; });
    xcb_client_message_event_t event = closeRequest();
    event.response_type = static_cast<uint8_t>(responseType);
    event.window = window;
    event.type = messageType;
    event.format = static_cast<uint8_t>(format);
    event.data.data32[0] = protocol;
    qintptr result = 0;
    // A request heard is taken out of the window system's hands, and acted on once, from the
    // event loop rather than inside the platform's event handling.
    QCOMPARE(filter.nativeEventFilter(eventType, &event, &result), heard);
    QCOMPARE(closes, 0);
    QCoreApplication::processEvents();
    QCOMPARE(closes, heard ? 1 : 0);
    QCoreApplication::processEvents();
    QCOMPARE(closes, heard ? 1 : 0);
}

void TstScoreSheet::closeRequestsAreNotWatchedWithoutX11()
{
    // Offscreen there is no window manager to ask; and a sheet without a main window has none
    // to watch.
    QWidget window;
    window.show();
    QVERIFY(!CloseRequestFilter::watch(&window, [] {}));
    QVERIFY(!CloseRequestFilter::watch(nullptr, [] {}));

    // A request heard just before the sheet went away is dropped with the filter.
    int closes = 0;
    auto filter = std::make_unique<CloseRequestFilter>(MainWindowId, ProtocolsAtom, DeleteAtom, [&closes] { ++closes; });
    xcb_client_message_event_t event = closeRequest();
    qintptr result = 0;
    QVERIFY(filter->nativeEventFilter("xcb_generic_event_t", &event, &result));
    filter.reset();
    QCoreApplication::processEvents();
    QCOMPARE(closes, 0);
}

int main(int argc, char* argv[])
{
    useOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    TstScoreSheet test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_score_sheet.moc"
