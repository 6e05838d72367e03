// SPDX-License-Identifier: GPL-3.0-or-later
// The server of tables over real sockets on the loopback address: four clients play from the
// tables they rebuild out of what they are sent, one drops and comes back with its token (and
// is sent what it missed, or its table whole), and hostile clients are refused or cut off while
// the table goes on unchanged.

#include "net/hosted_table.h"
#include "net/protocol.h"
#include "net/table_server.h"
#include "wait_until.h"

#include <QNetworkRequest>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketHandshakeOptions>

#include <algorithm>
#include <functional>
#include <sys/resource.h>
#include <memory>
#include <optional>

using namespace halbeet;
using halbeet::testing::waitUntil;
using namespace halbeet::net;

namespace {

// A client as a program at another computer would be: it reads what it is sent and, while
// `plays` is set, answers for its seat with the first choice its view offers.
class Bot : public QObject {
public:
    // origin: as a page in a browser would say where it comes from (empty: none, as a program).
    explicit Bot(quint16 port, QString subprotocol = QStringLiteral("halbeet.v1"), const QString& origin = {})
        : socket(origin), m_port(port), m_subprotocol(std::move(subprotocol))
    {
        connect(&socket, &QWebSocket::textMessageReceived, this, [this](const QString& text) { read(text); });
        connect(&socket, &QWebSocket::disconnected, this, [this] { closed = true; });
        reopen();
    }
    // A new connection, the table this client holds kept.
    void reopen()
    {
        closed = false;
        QWebSocketHandshakeOptions options;
        options.setSubprotocols({m_subprotocol});
        socket.open(QNetworkRequest(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(m_port))), options);
    }
    bool waitOpen() { return waitUntil([this] { return socket.state() == QAbstractSocket::ConnectedState || closed; }, 5000) && !closed; }
    void say(const ClientMessage& message) { socket.sendTextMessage(QString::fromStdString(EncodeClientMessage(message))); }
    void sayRaw(const QString& text) { socket.sendTextMessage(text); }

    void read(const QString& text)
    {
        const auto message = DecodeServerMessage(text.toStdString());
        if (!message) {
            problems << QStringLiteral("unreadable: ") + text.left(80);
            return;
        }
        if (const auto* welcome = std::get_if<Welcome>(&*message)) {
            seat = welcome->seat;
            table = welcome->table;
            if (!welcome->token.empty())
                token = welcome->token;
        } else if (const auto* event = std::get_if<TableUpdate>(&*message)) {
            if (event->serial < lastSerial && event->kind != SeatEvent::Kind::Snapshot)
                problems << QStringLiteral("step %1 after %2").arg(event->serial).arg(lastSerial);
            if (!held.apply(*event)) {
                problems << QStringLiteral("does not fit the table held: ") + text.left(120);
                return;
            }
            lastSerial = event->serial;
            last = held.lastEvent();
            ++events;
            if (event->kind == SeatEvent::Kind::DealScored)
                ++dealsScored;
            if (event->kind == SeatEvent::Kind::Snapshot)
                ++snapshots;
            answer();
        } else if (const auto* refused = std::get_if<Refused>(&*message)) {
            refusals << QString::fromStdString(refused->reason);
        } else if (const auto* bye = std::get_if<Bye>(&*message)) {
            byeReason = QString::fromStdString(bye->reason);
        } else if (const auto* chat = std::get_if<ChatLine>(&*message)) {
            chats << QString::fromStdString(chat->text);
        }
    }
    void answer()
    {
        const TableView& v = last.view;
        if (!plays || last.kind != SeatEvent::Kind::Asked || seat == 0)
            return;
        // Bids of four or so: the deal is played, not thrown in.
        if (!v.legalBids.empty())
            say(BidMessage{v.legalBids[std::min<std::size_t>(2, v.legalBids.size() - 1)]});
        else if (!v.legalCards.empty())
            say(CardMessage{v.legalCards.front()});
        else
            return;
        ++answers;
    }

    QWebSocket socket;
    // The seat's table as this client rebuilt it from what it was sent.
    SeatTable held;
    bool closed = false;
    bool plays = true;
    int seat = 0;
    std::string table;
    std::string token;
    SeatEvent last;
    std::uint64_t lastSerial = 0;
    int events = 0;
    int dealsScored = 0;
    int snapshots = 0;
    int answers = 0;
    QStringList refusals;
    QStringList chats;
    QStringList problems;
    QString byeReason;

private:
    quint16 m_port;
    QString m_subprotocol;
};

// The view a client holds, written as the protocol writes it, for comparison with the server's.
std::string written(const TableView& view)
{
    SeatEvent event;
    event.kind = SeatEvent::Kind::Snapshot;
    event.view = view;
    return EncodeSeatEvent(event);
}

// Computers and bots play as fast as they can: far more messages a second than a person.
ServerLimits fastPlayers()
{
    ServerLimits limits;
    limits.messagesPerSecond = 1000;
    return limits;
}

struct Fixture {
    explicit Fixture(ServerLimits limits = fastPlayers())
        : server(limits)
    {
        server.setTimeScale(0);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    }
    // A host and three friends at one table, the game started.
    bool seatFour()
    {
        for (int i = 0; i < 4; ++i)
            bots.push_back(std::make_unique<Bot>(server.port()));
        for (auto& bot : bots)
            if (!bot->waitOpen())
                return false;
        bots[0]->say(Hello{1, "Host", "", "", {}});
        if (!waitUntil([&] { return bots[0]->seat == 1; }, 5000))
            return false;
        for (int i = 1; i < 4; ++i)
            bots[static_cast<std::size_t>(i)]->say(Hello{1, "Friend" + std::to_string(i), bots[0]->table, "", {}});
        if (!waitUntil([&] { return bots[1]->seat && bots[2]->seat && bots[3]->seat; }, 5000))
            return false;
        bots[0]->say(StartMessage{});
        return waitUntil([&] { return bots[0]->events > 0; }, 5000);
    }
    HostedTable* table() { return server.table(QString::fromStdString(bots[0]->table)); }
    // Every client's table, rebuilt from what it was sent, is the server's view of its seat.
    void verifyEveryClientHoldsItsSeat()
    {
        for (const auto& bot : bots) {
            QVERIFY2(bot->problems.isEmpty(), qPrintable(bot->problems.join(QLatin1Char('\n'))));
            QCOMPARE(written(bot->held.view()), written(TableViewOf(table()->game(), bot->seat)));
            QVERIFY(bot->held.view() == TableViewOf(table()->game(), bot->seat));
        }
    }

    TableServer server;
    std::vector<std::unique_ptr<Bot>> bots;
};

} // namespace

class TstTableServer : public QObject {
    Q_OBJECT

private slots:
    // Four people play whole deals; when the host stops answering, every client holds
    // exactly the server's view of his own seat.
    void fourPeoplePlayAndSeeTheirOwnSeat()
    {
        Fixture f;
        QVERIFY(f.seatFour());
        QCOMPARE(f.bots[0]->seat, 1);
        QCOMPARE(f.bots[1]->seat, 3); // a friend sits opposite the host first
        const bool played = waitUntil([&] { return f.bots[0]->dealsScored >= 3; }, 10000);
        if (!played) {
            for (const auto& bot : f.bots)
                qWarning() << bot->seat << bot->events << SeatEventName(bot->last.kind) << bot->refusals << bot->byeReason
                           << bot->closed << bot->problems;
            qWarning() << PhaseName(f.table()->game().phase()) << f.table()->game().toAct();
        }
        QVERIFY(played);
        f.bots[0]->plays = false;
        const GameModel& game = f.table()->game();
        QVERIFY(waitUntil([&] { return game.toAct() == 1 && game.dealInProgress(); }, 20000));
        QTest::qWait(50);
        f.verifyEveryClientHoldsItsSeat();
        for (const auto& bot : f.bots)
            QVERIFY(bot->refusals.isEmpty());
        // A chat line reaches everyone as the text it was, markup and all.
        f.bots[2]->say(ChatMessage{"<b>well played</b>"});
        QVERIFY(waitUntil([&] { return f.bots[0]->chats.size() == 1 && f.bots[3]->chats.size() == 1; }, 5000));
        QCOMPARE(f.bots[0]->chats.front(), QStringLiteral("<b>well played</b>"));
    }

    // A client cut off mid-trick comes back with its token: the same seat, a new token, and
    // the table exactly as the server has it; the old token is good no more.
    void aDroppedPlayerComesBackWithItsToken()
    {
        Fixture f;
        QVERIFY(f.seatFour());
        const GameModel& game = f.table()->game();
        QVERIFY(waitUntil([&] { return game.phase() == Phase::Playing && game.plays().size() % 4 == 2; }, 20000));
        Bot& gone = *f.bots[2];
        const int seat = gone.seat;
        const std::string oldToken = gone.token;
        gone.socket.abort();
        QVERIFY(waitUntil([&] { return f.server.connectionCount() == 3; }, 5000));
        // The table waits for him within the grace time.
        QVERIFY(waitUntil([&] { return game.toAct() == seat || !game.dealInProgress(); }, 20000));

        Bot back(f.server.port());
        QVERIFY(back.waitOpen());
        back.say(Hello{1, "Friend", gone.table, oldToken, {}});
        QVERIFY(waitUntil([&] { return back.snapshots == 1; }, 5000));
        QCOMPARE(back.seat, seat);
        QVERIFY(back.token != oldToken);
        QVERIFY(waitUntil([&] { return game.toAct() != seat || !game.dealInProgress(); }, 5000));
        QVERIFY(waitUntil([&] { return f.bots[0]->dealsScored >= 2; }, 60000));

        Bot thief(f.server.port());
        QVERIFY(thief.waitOpen());
        thief.say(Hello{1, "Thief", gone.table, oldToken, {}});
        QVERIFY(waitUntil([&] { return thief.closed; }, 5000));
        QCOMPARE(thief.byeReason, QStringLiteral("unknown token"));
        QCOMPARE(thief.seat, 0);
    }

    // A client that comes back naming the last step it holds is sent the steps it missed when
    // the server still has them, and its table whole otherwise; either way it then holds
    // exactly its seat's view and plays on.
    void aClientComingBackGetsWhatItMissed_data()
    {
        QTest::addColumn<QString>("since");
        QTest::addColumn<bool>("snapshot");
        QTest::newRow("the last step it holds") << "held" << false;
        QTest::newRow("a step no longer held") << "1" << true;
        QTest::newRow("a step not yet taken") << "1000000000" << true;
        QTest::newRow("none named") << "" << true;
    }
    void aClientComingBackGetsWhatItMissed()
    {
        QFETCH(QString, since);
        QFETCH(bool, snapshot);
        Fixture f;
        QVERIFY(f.seatFour());
        const GameModel& game = f.table()->game();
        // Far enough into the deal that its first steps are no longer held.
        QVERIFY(waitUntil([&] {
            return game.phase() == Phase::Playing && game.plays().size() >= 30 && game.plays().size() % 4 == 1;
        }, 20000));
        // The table is held still; a player who is not to act drops out.
        for (auto& bot : f.bots)
            bot->plays = false;
        QTest::qWait(50);
        QVERIFY(waitUntil([&] { return game.toAct() != 0; }, 5000));
        Bot& gone = **std::find_if(f.bots.begin(), f.bots.end(), [&](const auto& bot) { return bot->seat != game.toAct(); });
        const int seat = gone.seat;
        gone.socket.abort();
        QVERIFY(waitUntil([&] { return f.server.connectionCount() == 3; }, 5000));
        // The others play on until the table waits for him: he misses a step or more.
        for (auto& bot : f.bots) {
            if (bot.get() != &gone) {
                bot->plays = true;
                bot->answer();
            }
        }
        QVERIFY(waitUntil([&] { return game.toAct() == seat; }, 20000));
        QVERIFY(!(gone.held.view() == TableViewOf(game, seat)));
        gone.plays = true;

        const int eventsBefore = gone.events;
        const int answersBefore = gone.answers;
        gone.reopen();
        QVERIFY(gone.waitOpen());
        std::optional<std::uint64_t> named;
        if (since == QStringLiteral("held"))
            named = gone.held.serial();
        else if (!since.isEmpty())
            named = since.toULongLong();
        gone.say(Hello{1, "Friend", gone.table, gone.token, named});
        // He is asked again, and answers from the table he holds.
        QVERIFY2(waitUntil([&] { return gone.answers > answersBefore; }, 5000),
                 qPrintable(QStringLiteral("%1 events, the last %2, %3 snapshots; %4; %5")
                                .arg(gone.events)
                                .arg(QLatin1String(SeatEventName(gone.last.kind)))
                                .arg(gone.snapshots)
                                .arg(gone.problems.join(QLatin1Char(' ')))
                                .arg(gone.refusals.join(QLatin1Char(' ')))));
        QCOMPARE(gone.snapshots, snapshot ? 1 : 0);
        QVERIFY(gone.events > eventsBefore + 1);
        QVERIFY(waitUntil([&] { return f.bots[0]->dealsScored >= 1; }, 20000));
        for (auto& bot : f.bots)
            bot->plays = false;
        QVERIFY(waitUntil([&] { return game.toAct() != 0; }, 5000));
        QTest::qWait(50);
        f.verifyEveryClientHoldsItsSeat();
    }

    // What a hostile or broken client may do, and what becomes of it: a refusal or a closed
    // connection, and nothing changed at the table.
    void hostileInputIsRefused_data()
    {
        QTest::addColumn<QString>("attack");
        QTest::addColumn<QString>("outcome"); // "closed: <reason>" or "refused"
        QTest::newRow("oversized frame") << "oversized" << "closed";
        QTest::newRow("unknown type") << "unknown" << "closed: not a message";
        QTest::newRow("deeply nested") << "nested" << "closed: nested too deeply";
        QTest::newRow("bid before hello") << "early" << "closed: hello first";
        QTest::newRow("a second hello") << "hello twice" << "closed: hello twice";
        QTest::newRow("binary frame") << "binary" << "closed: binary message";
        QTest::newRow("flood") << "flood" << "closed: too many messages";
        QTest::newRow("card out of turn") << "out of turn" << "refused";
        QTest::newRow("start by a guest") << "guest start" << "refused";
        QTest::newRow("forged token") << "forged" << "closed: unknown token";
        QTest::newRow("wrong code") << "wrong code" << "closed: no such table";
        QTest::newRow("old version") << "version" << "closed: protocol version";
        QTest::newRow("a page from elsewhere") << "foreign origin" << "closed";
    }
    void hostileInputIsRefused()
    {
        QFETCH(QString, attack);
        QFETCH(QString, outcome);
        Fixture f;
        QVERIFY(f.seatFour());
        for (auto& bot : f.bots)
            bot->plays = false;
        const GameModel& game = f.table()->game();
        // Answers already on their way land; then the table waits for a person.
        QTest::qWait(100);
        QVERIFY(waitUntil([&] { return game.toAct() != 0; }, 5000));
        const std::string before = written(TableViewOf(game, 1));

        Bot* actor = f.bots[1].get(); // seated, and not the seat to act unless it is
        std::unique_ptr<Bot> stranger;
        auto newcomer = [&] {
            stranger = std::make_unique<Bot>(f.server.port());
            QVERIFY(stranger->waitOpen());
            actor = stranger.get();
        };
        if (attack == "oversized") {
            actor->sayRaw(QString(5000, QLatin1Char('x')));
        } else if (attack == "unknown") {
            actor->sayRaw(QStringLiteral(R"({"type":"deal"})"));
        } else if (attack == "nested") {
            actor->sayRaw(QString(1000, QLatin1Char('[')) + QString(1000, QLatin1Char(']')));
        } else if (attack == "early") {
            newcomer();
            actor->say(BidMessage{6});
        } else if (attack == "hello twice") {
            actor->say(Hello{1, "Again", "", "", {}});
        } else if (attack == "binary") {
            actor->socket.sendBinaryMessage(QByteArray("\x01\x02"));
        } else if (attack == "flood") {
            for (int i = 0; i < 3000; ++i)
                actor->say(ChatMessage{"spam"});
        } else if (attack == "out of turn") {
            for (auto& bot : f.bots)
                if (bot->seat != game.toAct())
                    actor = bot.get();
            actor->say(CardMessage{{1, 2}});
        } else if (attack == "guest start") {
            actor->say(StartMessage{});
        } else if (attack == "forged") {
            newcomer();
            actor->say(Hello{1, "Forger", f.bots[0]->table, std::string(TokenHexLength, 'a'), {}});
        } else if (attack == "wrong code") {
            newcomer();
            actor->say(Hello{1, "Guess", "ZZZZZZ", "", {}});
        } else if (attack == "foreign origin") {
            // Refused before the WebSocket exists: it never opens.
            stranger = std::make_unique<Bot>(f.server.port(), QStringLiteral("halbeet.v1"),
                                             QStringLiteral("https://evil.example"));
            actor = stranger.get();
            QVERIFY(!actor->waitOpen());
        } else if (attack == "version") {
            newcomer();
            actor->say(Hello{2, "Future", "", "", {}});
        }

        if (outcome == "refused") {
            QVERIFY(waitUntil([&] { return !actor->refusals.isEmpty(); }, 5000));
            QVERIFY(!actor->closed);
        } else {
            QVERIFY(waitUntil([&] { return actor->closed; }, 5000));
            const QString reason = outcome.section(QStringLiteral(": "), 1);
            if (!reason.isEmpty())
                QCOMPARE(actor->byeReason, reason);
        }
        QTest::qWait(20);
        QCOMPARE(written(TableViewOf(game, 1)), before);
        QCOMPARE(f.server.tableCount(), 1);
    }

    // The limits that need time or numbers: a client that never says hello, a thousand idle
    // connections, too many from one address, and guessing codes.
    void limitsOnConnections()
    {
        ServerLimits limits = fastPlayers();
        limits.helloTimeoutMs = 300;
        limits.connectionsPerAddress = 2000;
        limits.wrongCodesPerMinute = 3;
        Fixture f(limits);
        // Both ends of every connection are in this process: room for them, up to the limit
        // the system allows.
        rlimit files{};
        getrlimit(RLIMIT_NOFILE, &files);
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
        const int many = static_cast<int>(std::min<rlim_t>(1000, (files.rlim_cur - 200) / 2));
        std::vector<std::unique_ptr<Bot>> idle;
        for (int i = 0; i < many; ++i)
            idle.push_back(std::make_unique<Bot>(f.server.port()));
        // None of them says hello: every one is closed for it, and the server holds nothing.
        QVERIFY(waitUntil([&] {
            return std::all_of(idle.begin(), idle.end(), [](const auto& bot) { return bot->closed; });
        }, 60000));
        QVERIFY(waitUntil([&] { return f.server.connectionCount() == 0; }, 5000));
        const auto told = std::count_if(idle.begin(), idle.end(),
                                        [](const auto& bot) { return bot->byeReason == QStringLiteral("no hello in time"); });
        QVERIFY2(told == many, qPrintable(QStringLiteral("%1 of %2 told why").arg(told).arg(many)));
        idle.clear();

        // One connection more than an address may have is turned away at once.
        ServerLimits few = fastPlayers();
        few.connectionsPerAddress = 5;
        Fixture g(few);
        std::vector<std::unique_ptr<Bot>> crowd;
        for (int i = 0; i < 6; ++i)
            crowd.push_back(std::make_unique<Bot>(g.server.port()));
        QVERIFY(waitUntil([&] {
            return std::count_if(crowd.begin(), crowd.end(), [](const auto& bot) { return bot->closed; }) == 1 &&
                   g.server.connectionCount() == 5;
        }, 10000));
        crowd.clear();

        // Wrong codes: a few tries, then no more this minute.
        QStringList reasons;
        for (int i = 0; i < 5; ++i) {
            Bot guess(f.server.port());
            QVERIFY(guess.waitOpen());
            guess.say(Hello{1, "Guess", "ABCDEF", "", {}});
            QVERIFY(waitUntil([&] { return guess.closed; }, 5000));
            reasons << guess.byeReason;
        }
        QCOMPARE(reasons.count(QStringLiteral("no such table")), 3);
        QCOMPARE(reasons.last(), QStringLiteral("too many wrong codes"));
    }

    // Several people at a table bid in turn, each hearing only the bids before his own; a host
    // alone with computers keeps the single-player order. Either way the game goes on.
    void theBiddingOrderFollowsThePeopleSeated_data()
    {
        QTest::addColumn<int>("people");
        QTest::addColumn<bool>("inTurn");
        QTest::newRow("the host alone") << 1 << false;
        QTest::newRow("two people") << 2 << true;
        QTest::newRow("four people") << 4 << true;
    }
    void theBiddingOrderFollowsThePeopleSeated()
    {
        QFETCH(int, people);
        QFETCH(bool, inTurn);
        Fixture f;
        for (int i = 0; i < people; ++i)
            f.bots.push_back(std::make_unique<Bot>(f.server.port()));
        for (auto& bot : f.bots)
            QVERIFY(bot->waitOpen());
        f.bots[0]->say(Hello{1, "Host", "", "", {}});
        QVERIFY(waitUntil([&] { return f.bots[0]->seat == 1; }, 5000));
        for (std::size_t i = 1; i < f.bots.size(); ++i)
            f.bots[i]->say(Hello{1, "Friend", f.bots[0]->table, "", {}});
        QVERIFY(waitUntil([&] {
            return std::all_of(f.bots.begin(), f.bots.end(), [](const auto& bot) { return bot->seat != 0; });
        }, 5000));
        f.bots[0]->say(StartMessage{});
        QVERIFY(waitUntil([&] { return f.table() && f.table()->started(); }, 5000));
        QCOMPARE(f.table()->game().bidOrder(), inTurn ? BidOrder::TurnOrder : BidOrder::Described);
        QVERIFY(waitUntil([&] { return f.bots[0]->dealsScored >= 2; }, 20000));
        for (const auto& bot : f.bots) {
            QVERIFY2(bot->problems.isEmpty(), qPrintable(bot->problems.join(QLatin1Char('\n'))));
            QVERIFY(bot->refusals.isEmpty());
        }
    }

    // A connection that stays silent, not even answering pings, is dropped once the idle time
    // is over; one whose client answers them stays, however long it says nothing itself.
    void aSilentConnectionIsDroppedAsIdle()
    {
        ServerLimits limits = fastPlayers();
        limits.idleTimeoutMs = 1500;
        Fixture f(limits);
        Bot alive(f.server.port());
        QVERIFY(alive.waitOpen());
        alive.say(Hello{1, "Host", "", "", {}});
        QVERIFY(waitUntil([&] { return alive.seat == 1; }, 5000));
        // A client that shakes hands and then never reads a frame, pings included.
        QTcpSocket silent;
        silent.connectToHost(QHostAddress::LocalHost, f.server.port());
        QVERIFY(silent.waitForConnected(5000));
        silent.write(QStringLiteral("GET / HTTP/1.1\r\nHost: 127.0.0.1:%1\r\nUpgrade: websocket\r\n"
                                    "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                                    "Sec-WebSocket-Version: 13\r\nSec-WebSocket-Protocol: halbeet.v1\r\n\r\n")
                         .arg(f.server.port())
                         .toLatin1());
        QByteArray heard;
        bool gone = false;
        connect(&silent, &QTcpSocket::readyRead, &silent, [&] { heard += silent.readAll(); });
        connect(&silent, &QTcpSocket::disconnected, &silent, [&] { gone = true; });
        QVERIFY(waitUntil([&] { return heard.contains("101"); }, 5000));
        QCOMPARE(f.server.connectionCount(), 2);
        QVERIFY(waitUntil([&] { return gone; }, 6000));
        QVERIFY2(heard.contains(R"("reason":"idle")"), heard.constData());
        QVERIFY(!alive.closed);
        QCOMPARE(f.server.connectionCount(), 1);
    }

    // A client that does not speak the protocol's subprotocol is closed.
    void anotherSubprotocolIsClosed()
    {
        Fixture f;
        Bot other(f.server.port(), QStringLiteral("chat"));
        QVERIFY(waitUntil([&] { return other.closed; }, 5000));
        QCOMPARE(f.server.connectionCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TstTableServer)
#include "tst_table_server.moc"
