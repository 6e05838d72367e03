// SPDX-License-Identifier: GPL-3.0-or-later
// Over many whole deals at tables of four computer seats, every message each seat is sent,
// read back as a client reads it, holds no card of another hand before it is played and
// nothing from which the deal could be rebuilt; and the client's copy of its seat's table,
// rebuilt from those messages alone, is the server's view of that seat after every one.

#include "net/protocol.h"
#include "table/computer_seats.h"
#include "table/table_controller.h"
#include "wait_until.h"

#include <nlohmann/json.hpp>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <set>

using namespace halbeet;
using halbeet::testing::waitUntil;
using namespace halbeet::net;

namespace {

int cardBit(TCardFace c) { return (c.Suite - 1) * 13 + c.Number - 1; }

// A computer seat that also checks every message its seat is sent.
class CheckingSeat final : public Seat {
public:
    CheckingSeat(const TableController& table, int seat, QStringList& problems)
        : m_table(table), m_game(table.game()), m_seat(seat), m_problems(problems), m_classic(m_game)
    {
    }
    // Asked as a person at another computer is: the question goes through the writer too.
    void act(const TableView& view, SeatAnswer answer) override
    {
        SeatEvent asked;
        asked.kind = SeatEvent::Kind::Asked;
        asked.seat = m_seat;
        asked.serial = m_table.lastSerial();
        asked.view = view;
        tell(asked);
        m_classic.act(view, std::move(answer));
    }
    bool isComputer() const override { return true; }
    void tell(const SeatEvent& event) override
    {
        ++messages;
        const std::string text = m_writer.write(event);
        bytes += text.size();
        check(text, event.view);
    }
    const SeatTable& client() const { return m_client; }
    int messages = 0;
    std::size_t bytes = 0;

private:
    void problem(const QString& what)
    {
        if (m_problems.size() < 20)
            m_problems << QStringLiteral("seat %1: %2").arg(m_seat).arg(what);
    }

    void check(const std::string& text, const TableView& server)
    {
        // Only the fields the protocol has: nothing else can ride along.
        static const std::set<std::string> messageKeys{"type", "serial", "kind", "seat", "card", "value", "view", "change"};
        static const std::set<std::string> viewKeys{
            "seat", "phase", "toAct", "dealerCounter", "trump", "cut", "hand", "dealt", "bids", "bidMade",
            "scores", "plays", "takers", "handCounts", "scoreRows", "passed", "scored", "winner", "deals",
            "legalBids", "legalCards", "handOut", "playsAdded", "takersAdded", "scoreRowsAdded"};
        const nlohmann::json j = nlohmann::json::parse(text);
        for (const auto& item : j.items())
            if (!messageKeys.count(item.key()))
                problem(QStringLiteral("the message has a field %1").arg(QString::fromStdString(item.key())));
        for (const auto& item : j.contains("view") ? j.at("view").items() : j.at("change").items())
            if (!viewKeys.count(item.key()))
                problem(QStringLiteral("the view has a field %1").arg(QString::fromStdString(item.key())));

        const auto read = DecodeServerMessage(text);
        if (!read || !std::holds_alternative<TableUpdate>(*read)) {
            problem(QStringLiteral("unreadable"));
            return;
        }
        const TableUpdate& told = std::get<TableUpdate>(*read);
        if (!m_client.apply(told)) {
            problem(QStringLiteral("a message that does not fit the client's table: %1").arg(QString::fromStdString(text)));
            return;
        }
        // What the client rebuilt is what the server holds for this seat, to the last field.
        const TableView& v = m_client.view();
        if (!(v == server))
            problem(QStringLiteral("the client's table differs from the server's after %1").arg(QString::fromStdString(text)));
        if (v.seat.Seat != m_seat)
            problem(QStringLiteral("told the view of seat %1").arg(v.seat.Seat));

        // What this seat may see: its own cards as dealt, the cards played, the turned card.
        std::uint64_t own = 0;
        for (std::size_t k = 1; k <= 13; ++k)
            own |= std::uint64_t{1} << cardBit(m_game.dealtHands()[static_cast<std::size_t>(m_seat)][k]);
        std::uint64_t played = 0;
        const auto plays = m_game.plays();
        if (static_cast<std::size_t>(v.seat.PlayCount) != plays.size())
            problem(QStringLiteral("told %1 cards played of %2").arg(v.seat.PlayCount).arg(plays.size()));
        for (int k = 0; k < v.seat.PlayCount && static_cast<std::size_t>(k) < plays.size(); ++k) {
            const TTrickCard& p = v.seat.Plays[static_cast<std::size_t>(k)];
            if (!(p == plays[static_cast<std::size_t>(k)]))
                problem(QStringLiteral("a play told wrongly"));
            played |= std::uint64_t{1} << cardBit({p.Suite, p.Number});
        }
        const TCardFace cut = m_game.state().CutCard;
        if (!(v.seat.CutCard == cut))
            problem(QStringLiteral("another turned card"));
        const std::uint64_t seen = own | played | (std::uint64_t{1} << cardBit(cut));
        auto mustBeSeen = [&](TCardFace c, const char* where) {
            if (c.Suite < 1 || c.Suite > 4 || c.Number < 1 || c.Number > 13 || !(seen >> cardBit(c) & 1))
                problem(QStringLiteral("%1 shows %2/%3").arg(QLatin1String(where)).arg(c.Suite).arg(c.Number));
        };
        for (int k = 0; k < v.seat.HandCount; ++k) {
            const TCardFace c = v.seat.Hand[static_cast<std::size_t>(k)];
            if (!(own >> cardBit(c) & 1))
                problem(QStringLiteral("the hand holds another seat's %1/%2").arg(c.Suite).arg(c.Number));
        }
        for (std::size_t k = 1; k <= 13; ++k) {
            if (v.ownDealtHand[k].Suite != 0 && !(own >> cardBit(v.ownDealtHand[k]) & 1))
                problem(QStringLiteral("the dealt hand holds another seat's card"));
        }
        for (const TCardFace c : v.legalCards)
            mustBeSeen(c, "a legal card");
        if (told.card.Suite != 0)
            mustBeSeen(told.card, "the event");
        // Bids: only those this seat has seen.
        for (int s = 1; s <= 4; ++s) {
            const std::int32_t bid = v.seat.Bids[static_cast<std::size_t>(s)];
            const bool maySee = s == m_seat ? m_game.bidMade(s)
                                            : m_game.phase() != Phase::Bidding
                                                  ? m_game.bidMade(s)
                                                  : BidsSeenBefore(m_seat, m_game.state().DealerCounter)[static_cast<std::size_t>(s)];
            if (bid != 0 && !maySee)
                problem(QStringLiteral("the bid of seat %1 before its time").arg(s));
        }
        if (told.kind == SeatEvent::Kind::BidMade && told.seat >= 1 && told.seat <= 4 &&
            told.value != v.seat.Bids[static_cast<std::size_t>(told.seat)])
            problem(QStringLiteral("told a bid of seat %1 that its view does not show").arg(told.seat));
    }

    const TableController& m_table;
    const GameModel& m_game;
    int m_seat;
    QStringList& m_problems;
    ClassicSeat m_classic;
    SeatWriter m_writer;
    SeatTable m_client;
};

} // namespace

class TstNothingLeaks : public QObject {
    Q_OBJECT

private slots:
    // The single-player order, and the turn order of a table of several people, where a seat
    // that has bid must still not hear the bids after its turn.
    void noHiddenCardInAnyMessage_data()
    {
        QTest::addColumn<bool>("inTurn");
        QTest::newRow("described order") << false;
        QTest::newRow("turn order") << true;
    }
    void noHiddenCardInAnyMessage()
    {
        QFETCH(bool, inTurn);
        // HALBEET_LEAK_DEALS sets the count for a longer run by hand (10,000 take some minutes).
        // Under the sanitizers the point is memory, not numbers: fewer deals.
#if defined(__SANITIZE_ADDRESS__)
        constexpr int usualDeals = 300;
#else
        constexpr int usualDeals = 2000;
#endif
        // The turn order shares every step after the bidding with the other: fewer deals do.
        const int deals = qEnvironmentVariableIsSet("HALBEET_LEAK_DEALS")
                              ? qEnvironmentVariableIntValue("HALBEET_LEAK_DEALS")
                              : inTurn ? usualDeals / 4 : usualDeals;
        std::uint32_t seed = 101;
        GameModel game([&] { return seed++; });
        QVERIFY(game.setBidOrder(inTurn ? BidOrder::TurnOrder : BidOrder::Described));
        TableController table(game);
        table.setTimeScale(0);
        QStringList problems;
        std::array<CheckingSeat*, 5> seats{};
        for (int s = 1; s <= 4; ++s) {
            auto seat = std::make_unique<CheckingSeat>(table, s, problems);
            seats[static_cast<std::size_t>(s)] = seat.get();
            table.setSeat(s, std::move(seat));
        }
        // At the end of every game each client's table is the server's view of its seat.
        int games = 0;
        connect(&table, &TableController::gameOver, &table, [&] {
            ++games;
            for (int s = 1; s <= 4; ++s) {
                if (!(seats[static_cast<std::size_t>(s)]->client().view() == TableViewOf(game, s)))
                    problems << QStringLiteral("seat %1's client holds another table at the end of game %2").arg(s).arg(games);
            }
            table.newGame();
        });
        QElapsedTimer clock;
        clock.start();
        table.newGame();
        QVERIFY2(waitUntil([&] { return game.dealsDealt() > deals || !problems.isEmpty(); }, 1'200'000),
                 qPrintable(QStringLiteral("only %1 deals in time").arg(game.dealsDealt())));
        table.stop();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        QVERIFY(games > 0);
        qInfo("%d deals, %d games, %d messages to seat 1 (%zu bytes), %lld ms", deals, games, seats[1]->messages,
              seats[1]->bytes, static_cast<long long>(clock.elapsed()));
    }
};

QTEST_GUILESS_MAIN(TstNothingLeaks)
#include "tst_nothing_leaks.moc"
