// SPDX-License-Identifier: GPL-3.0-or-later
// Fills a statistics database with games the computer players play against each other, fed
// through the same calls the game uses, then opens the Statistics window on it.
//
//   halbeet-statistics-demo --folder DIR [--lang EN|AR] [--games N] [--seed S]
//                           [--names A,B,C,D] [--grab FILE]
// --games N plays until N games are won and stops a few deals into the next one, so the
// score chart has a current game. --grab saves the window to FILE and quits.

#include "core/selfplay.h"
#include "ui/language.h"
#include "ui/startup.h"
#include "ui/statistics.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QTimer>

#include <cstdio>

using namespace halbeet;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("folder"), QStringLiteral("Database folder."), QStringLiteral("dir")},
        {QStringLiteral("lang"), QStringLiteral("EN or AR."), QStringLiteral("code"),
         QStringLiteral("EN")},
        {QStringLiteral("games"), QStringLiteral("Games to finish."), QStringLiteral("n"),
         QStringLiteral("6")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the deals."), QStringLiteral("s"),
         QStringLiteral("7")},
        {QStringLiteral("names"), QStringLiteral("Four names."), QStringLiteral("a,b,c,d"),
         QStringLiteral("You,Player2,Player3,Player4")},
        {QStringLiteral("grab"), QStringLiteral("Save the window to this file and quit."),
         QStringLiteral("file")},
    });
    parser.process(app);
    if (!parser.isSet(QStringLiteral("folder"))) {
        std::fputs("halbeet-statistics-demo: --folder is required\n", stderr);
        return 2;
    }
    setCurrentLang(parser.value(QStringLiteral("lang")));
    prepareApplication(app);
    setCurrentLang(parser.value(QStringLiteral("lang")));
    Statistics::setModuleDirectory(QStringLiteral(HALBEET_STATISTICS_MODULE_DIR));

    Statistics statistics(parser.value(QStringLiteral("folder")));
    std::uint32_t next = parser.value(QStringLiteral("seed")).toUInt();
    SelfPlay play([&next] { return next = next * 2654435761u + 97u; });
    const int games = parser.value(QStringLiteral("games")).toInt();
    int won = 0;
    int dealsIntoLastGame = 0;
    PerSeat<std::int32_t> before{};
    QDateTime when = QDateTime::currentDateTimeUtc().addDays(-30);
    statistics.startGame();
    while (won < games || dealsIntoLastGame < 5) {
        const DealOutcome outcome = play.playDeal();
        if (outcome != DealOutcome::Played)
            continue;
        const DealRecord& record = play.lastDeal();
        when = when.addSecs(240);
        DealStats deal;
        deal.date = when;
        deal.level = QStringLiteral("CLASSIC");
        deal.trump = record.trump;
        deal.dealer = record.dealer;
        for (int seat = 1; seat <= 4; ++seat) {
            SeatDealStats& s = deal.seats[std::size_t(seat - 1)];
            s.bid = record.bids[seat];
            s.tricks = record.tricks[seat];
            s.scoreAfter = record.scores[seat];
            s.change = s.scoreAfter - before[seat];
        }
        before = record.scores;
        statistics.dealScored(deal);
        if (won >= games)
            ++dealsIntoLastGame;
        if (record.winner != 0) {
            statistics.gameWon(GameStats{
                {},
                when,
                record.winner,
                0,
                {record.scores[1], record.scores[2], record.scores[3], record.scores[4]}});
            ++won;
            before = {};
            statistics.startGame();
            when = when.addDays(3);
        }
    }

    const QStringList names = parser.value(QStringLiteral("names")).split(QLatin1Char(','));
    std::array<QString, 4> seats;
    for (std::size_t i = 0; i < 4; ++i)
        seats[i] = i < std::size_t(names.size()) ? names[qsizetype(i)] : QString();
    if (parser.isSet(QStringLiteral("grab"))) {
        const QString file = parser.value(QStringLiteral("grab"));
        QTimer::singleShot(1500, &app, [file] {
            if (auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                window->grab().save(file);
                window->accept();
            }
        });
    }
    statistics.showWindow(nullptr, seats);
    return 0;
}
