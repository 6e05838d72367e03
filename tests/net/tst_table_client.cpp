// SPDX-License-Identifier: GPL-3.0-or-later
// The player's end of a table against a real server on the loopback address: whole deals
// played from the steps it hands on, the chairs as every player sees them through joins, drops,
// the grace running out and leaving, the way back after a cut, its own refusals (chat, names,
// codes), and what it does with a server that sends it rubbish.

#include "net/table_client.h"
#include "net/table_server.h"
#include "test_certificates.h"
#include "wait_until.h"

#include <QAbstractSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>
#include <QWebSocketServer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "net/tls_files.h"

using namespace halbeet;
using namespace halbeet::net;
using halbeet::testing::waitUntil;

namespace {

using Chairs = std::array<ChairKind, 5>;
using Names = std::array<std::string, 5>;

constexpr ChairKind Open = ChairKind::Open;
constexpr ChairKind Person = ChairKind::Person;
constexpr ChairKind Away = ChairKind::Away;
constexpr ChairKind Computer = ChairKind::Computer;

// A TableClient and what it handed on; while `answers` is set it answers every question from
// the step that asked it, as a window would.
struct Player {
    Player()
    {
        QObject::connect(&client, &TableClient::stepped, &client, [this](const SeatEvent& event) {
            steps.push_back(event);
            question.reset();
            if (event.kind == SeatEvent::Kind::DealScored) {
                ++dealsScored;
                ++scoredThisGame;
            }
            if (event.kind == SeatEvent::Kind::NewGame)
                scoredThisGame = 0;
            const auto seat = static_cast<std::size_t>(event.seat);
            if (event.kind == SeatEvent::Kind::CardPlayed && client.chairs().chairs[seat] == Computer)
                ++computerCards[seat];
            if (event.kind == SeatEvent::Kind::Asked) {
                if (answers)
                    answer(event.view);
                else
                    question = event;
            }
        });
        QObject::connect(&client, &TableClient::welcomed, &client, [this] {
            ++welcomes;
            for (int s = 1; s <= 4; ++s) {
                const auto i = static_cast<std::size_t>(s);
                if (client.chairs().chairs[i] == Computer)
                    seenAsComputer[i] = client.chairs().names[i];
            }
        });
        QObject::connect(&client, &TableClient::refused, &client, [this](const QString& reason) { refusals << reason; });
        QObject::connect(&client, &TableClient::chatReceived, &client, [this](int seat, const QString& text) {
            chats << QStringLiteral("%1: %2").arg(seat).arg(text);
        });
        QObject::connect(&client, &TableClient::connectionLost, &client, [this] {
            ++losses;
            // What he was asked on that connection is asked again on the next, or not at all.
            question.reset();
        });
        QObject::connect(&client, &TableClient::reconnected, &client, [this] { ++comebacks; });
        QObject::connect(&client, &TableClient::closed, &client, [this](const QString& reason) {
            closedReasons << reason;
        });
    }
    void answer(const TableView& v)
    {
        // Bids of four or so: the deal is played, not thrown in.
        if (!v.legalBids.empty())
            client.bid(v.legalBids[std::min<std::size_t>(2, v.legalBids.size() - 1)]);
        else if (!v.legalCards.empty())
            client.play(v.legalCards.front());
    }
    // Answers the question held while not answering by himself.
    void answerQuestion()
    {
        if (const auto asked = std::exchange(question, std::nullopt))
            answer(asked->view);
    }
    // Cut as a network would cut it: no close, no leave.
    void cut()
    {
        QWebSocket* socket = client.findChild<QWebSocket*>();
        QVERIFY(socket);
        socket->abort();
    }
    bool sees(const Names& names, const Chairs& chairs) const
    {
        return client.chairs().names == names && client.chairs().chairs == chairs;
    }
    // The serials of the steps handed on never go back.
    bool inOrder() const
    {
        return std::is_sorted(steps.begin(), steps.end(),
                              [](const SeatEvent& a, const SeatEvent& b) { return a.serial < b.serial; });
    }

    TableClient client;
    bool answers = true;
    std::vector<SeatEvent> steps;
    // The question asked last, while he does not answer by himself and has not answered it.
    std::optional<SeatEvent> question;
    int dealsScored = 0;
    // Deals scored since the game began (a won game starts another).
    std::size_t scoredThisGame = 0;
    // Cards played by each chair while he saw a computer in it.
    std::array<int, 5> computerCards{};
    // The name under which he last saw a computer in each chair.
    Names seenAsComputer{};
    int welcomes = 0;
    int losses = 0;
    int comebacks = 0;
    QStringList refusals;
    QStringList chats;
    QStringList closedReasons;
};

ServerLimits fastPlayers()
{
    ServerLimits limits;
    limits.messagesPerSecond = 1000;
    return limits;
}

struct Fixture {
    explicit Fixture(ServerLimits limits = fastPlayers()) : server(std::make_unique<TableServer>(limits))
    {
        server->setTimeScale(0);
        QVERIFY(server->listen(QHostAddress::LocalHost, 0));
        url = QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(server->port()));
    }
    Player& add()
    {
        players.push_back(std::make_unique<Player>());
        return *players.back();
    }
    // The host opens a table; the others join it by its code, in order.
    bool seat(int count)
    {
        Player& host = add();
        host.client.join(url, {}, "Host");
        if (!waitUntil([&] { return host.client.seat() == 1; }, 5000))
            return false;
        for (int i = 1; i < count; ++i) {
            Player& friendOf = add();
            friendOf.client.join(url, host.client.code().toStdString(), "Friend" + std::to_string(i));
            if (!waitUntil([&] { return friendOf.client.seat() != 0; }, 5000))
                return false;
        }
        return true;
    }
    HostedTable* table() const { return server->table(players.front()->client.code()); }
    // The host stops answering and the table comes to rest at his turn.
    bool holdAtTheHost()
    {
        players.front()->answers = false;
        const GameModel& game = table()->game();
        if (!waitUntil([&] { return game.toAct() == 1 && game.dealInProgress(); }, 20000))
            return false;
        QTest::qWait(50);
        return game.toAct() == 1;
    }
    // Every client's table, built from what it was sent, is the server's view of its seat.
    void verifyEveryTableIsTheServers()
    {
        for (const auto& player : players) {
            const int seat = player->client.seat();
            QVERIFY(player->client.table().hasView());
            QVERIFY2(player->client.table().view() == TableViewOf(table()->game(), seat),
                     qPrintable(QStringLiteral("seat %1").arg(seat)));
            QCOMPARE(player->client.ignoredMessages(), 0);
            QVERIFY(player->inOrder());
        }
    }

    // The player in seat, at the table now.
    Player* at(int seat) const
    {
        for (const auto& player : players) {
            if (player->client.seat() == seat && player->client.connected())
                return player.get();
        }
        return nullptr;
    }
    // The table waits for a person: the question he holds is the table as it stands.
    bool atRest() const
    {
        const GameModel& game = table()->game();
        const Player* player = at(game.toAct());
        return player && player->question && player->question->view.toAct == game.toAct() &&
               SameBesidesChoices(player->client.table().view(), TableViewOf(game, game.toAct()));
    }
    // Why the table is not at rest, after waiting for it a while; empty once it is.
    QString awaitRest(int ms = 10000) const
    {
        if (waitUntil([&] { return atRest(); }, ms))
            return {};
        const GameModel& game = table()->game();
        const Player* player = at(game.toAct());
        if (!player)
            return QStringLiteral("nobody at the table is to act (seat %1)").arg(game.toAct());
        if (!player->question)
            return QStringLiteral("seat %1 holds no question").arg(game.toAct());
        return QStringLiteral("seat %1 is asked at a table that is not the server's").arg(game.toAct());
    }
    // Nobody answers by himself; each question is answered in turn until the table rests at
    // the moment wanted.
    bool playUntil(const std::function<bool(const GameModel&)>& moment)
    {
        for (const auto& player : players)
            player->answers = false;
        const GameModel& game = table()->game();
        for (int answers = 0; answers < 1000; ++answers) {
            if (!waitUntil([&] { return atRest(); }, 5000))
                return false;
            if (moment(game))
                return true;
            at(game.toAct())->answerQuestion();
        }
        return false;
    }
    // Everyone stops answering, and the table comes to rest at a person's question.
    bool hold()
    {
        for (const auto& player : players)
            player->answers = false;
        return waitUntil([&] { return atRest(); }, 20000);
    }
    // At rest: every client's table is the server's view of its seat, and the score sheet
    // holds a row for each deal scored in this game (as a player who never left counted
    // them; the host unless told), the last the scores as they stand.
    void verifyTablesAndRecord(const Player* witness = nullptr)
    {
        const GameModel& game = table()->game();
        for (const auto& player : players) {
            const int seat = player->client.seat();
            QVERIFY(player->client.table().hasView());
            const bool same = waitUntil(
                [&] { return SameBesidesChoices(player->client.table().view(), TableViewOf(game, seat)); }, 2000);
            QVERIFY2(same, qPrintable(QStringLiteral("seat %1").arg(seat)));
            QVERIFY(player->client.table().view().scoreRows == game.scoreRows());
            QCOMPARE(player->client.ignoredMessages(), 0);
            QVERIFY(player->inOrder());
        }
        QCOMPARE(game.scoreRows().size(), (witness ? witness : players.front().get())->scoredThisGame);
        if (!game.scoreRows().empty())
            QVERIFY(game.scoreRows().back() == game.state().Scores);
    }

    std::unique_ptr<TableServer> server;
    QUrl url;
    std::vector<std::unique_ptr<Player>> players;
};

// When a player's connection drops.
enum class Moment {
    BeforeHisBid,  // the bidding goes on, another bids, his own bid is to come
    AtHisBid,
    AtHisCard,     // cards lie on the table and he is to play
    AtAnothersCard,
    DealScored,    // the deal just scored, the next one dealt, nobody has bid in it yet
};
// How he comes back.
enum class Return { ByItself, NewClient };

bool reached(Moment moment, const GameModel& game, const QList<int>& gone, const Player& host)
{
    const int toAct = game.toAct();
    const bool hisTurn = gone.contains(toAct);
    const bool midTrick = game.phase() == Phase::Playing && game.plays().size() % 4 != 0;
    switch (moment) {
    case Moment::BeforeHisBid:
        return game.phase() == Phase::Bidding && !hisTurn &&
               std::none_of(gone.begin(), gone.end(), [&](int seat) { return game.bidMade(seat); });
    case Moment::AtHisBid:
        return game.phase() == Phase::Bidding && hisTurn;
    case Moment::AtHisCard:
        return midTrick && hisTurn;
    case Moment::AtAnothersCard:
        return midTrick && !hisTurn;
    case Moment::DealScored: {
        if (game.phase() != Phase::Bidding)
            return false;
        for (int s = 1; s <= 4; ++s) {
            if (game.bidMade(s))
                return false;
        }
        const auto dealt = std::find_if(host.steps.rbegin(), host.steps.rend(),
                                        [](const SeatEvent& e) { return e.kind == SeatEvent::Kind::DealStarted; });
        return dealt != host.steps.rend() && std::next(dealt) != host.steps.rend() &&
               std::next(dealt)->kind == SeatEvent::Kind::DealScored;
    }
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Moment)
Q_DECLARE_METATYPE(Return)

class TstTableClient : public QObject {
    Q_OBJECT

private slots:
    // Four people play a whole deal from the steps their clients hand on; each sees the
    // others sit down, the start, and at the end holds exactly the server's view of his seat.
    void fourPeoplePlayAWholeDeal()
    {
        Fixture f;
        QVERIFY(f.seat(4));
        const Names names{"", "Host", "Friend2", "Friend1", "Friend3"};
        for (const auto& player : f.players)
            QVERIFY(waitUntil([&] { return player->sees(names, {Open, Person, Person, Person, Person}); }, 5000));
        QCOMPARE(f.players[1]->client.seat(), 3);
        QVERIFY(!f.players[0]->client.chairs().started);
        // Small messages go out at once from the player's end too (Qt's WebSocket sets it on
        // its socket; a table would run a hundred times slower without it).
        for (const auto& player : f.players) {
            auto* tcp = player->client.findChild<QAbstractSocket*>();
            QVERIFY(tcp);
            QCOMPARE(tcp->socketOption(QAbstractSocket::LowDelayOption).toInt(), 1);
        }
        f.players[0]->client.start();
        for (const auto& player : f.players)
            QVERIFY(waitUntil([&] { return player->client.chairs().started; }, 5000));
        QVERIFY(waitUntil([&] { return f.players[0]->dealsScored >= 1; }, 20000));
        QVERIFY(f.holdAtTheHost());
        f.verifyEveryTableIsTheServers();
        for (const auto& player : f.players) {
            QVERIFY(player->refusals.isEmpty());
            QVERIFY(player->closedReasons.isEmpty());
            QCOMPARE(player->losses, 0);
            QVERIFY(std::any_of(player->steps.begin(), player->steps.end(),
                                [](const SeatEvent& e) { return e.kind == SeatEvent::Kind::Asked; }));
        }
    }

    // The host plans the chairs: the partner's open for a friend, the opponents' computers.
    // Computers sit down at once under their kind's name, a friend takes only an open chair,
    // and the chairs are the host's to choose only before the start and only where no person
    // sits.
    void theHostPlansTheChairs()
    {
        Fixture f;
        QVERIFY(f.seat(1));
        Player& host = *f.players[0];
        HostedTable& table = *f.table();
        struct Plan {
            int seat;
            ChairPlan plan;
            bool taken;
        };
        const Plan plans[] = {
            {1, ChairPlan::Expert, false},  // the host's own chair
            {0, ChairPlan::Expert, false},  // no chair
            {5, ChairPlan::Classic, false}, // no chair
            {3, ChairPlan::Expert, true},
            {2, ChairPlan::Classic, true},
            {4, ChairPlan::Expert, true},
        };
        for (const Plan& p : plans)
            QCOMPARE(table.setChair(p.seat, p.plan), p.taken);
        QVERIFY(waitUntil([&] { return host.sees({"", "Host", "Classic", "Expert", "Expert"},
                                                 {Open, Person, Computer, Computer, Computer}); }, 5000));

        // No open chair: a friend is turned away.
        Player& early = f.add();
        early.client.join(f.url, host.client.code().toStdString(), "Early");
        QVERIFY(waitUntil([&] { return !early.closedReasons.isEmpty(); }, 5000));
        QCOMPARE(early.closedReasons, QStringList{QStringLiteral("the table is full")});
        f.players.pop_back();

        // The partner's chair opened again: a friend takes it, and both see who sits where.
        QVERIFY(table.setChair(3, ChairPlan::Open));
        QVERIFY(waitUntil([&] { return host.sees({"", "Host", "Classic", "", "Expert"},
                                                 {Open, Person, Computer, Open, Computer}); }, 5000));
        Player& partner = f.add();
        partner.client.join(f.url, host.client.code().toStdString(), "Partner");
        QVERIFY(waitUntil([&] { return partner.client.seat() == 3; }, 5000));
        const Names seated{"", "Host", "Classic", "Partner", "Expert"};
        const Chairs chairs{Open, Person, Computer, Person, Computer};
        for (const auto& player : f.players)
            QVERIFY(waitUntil([&] { return player->sees(seated, chairs); }, 5000));
        QVERIFY(!table.setChair(3, ChairPlan::Expert)); // a person sits there

        host.client.start();
        QVERIFY(waitUntil([&] { return partner.client.chairs().started; }, 5000));
        QVERIFY(!table.setChair(2, ChairPlan::Open)); // once started, the chairs stay
        QVERIFY(waitUntil([&] { return host.dealsScored >= 1; }, 20000));
        QVERIFY(f.holdAtTheHost());
        f.verifyEveryTableIsTheServers();
        QVERIFY(host.sees(seated, chairs));
        QVERIFY(host.refusals.isEmpty() && partner.refusals.isEmpty());

        // A host alone who chose one computer gets Experts in the chairs left open.
        Player solo;
        solo.client.join(f.url, {}, "Solo");
        QVERIFY(waitUntil([&] { return solo.client.seat() == 1; }, 5000));
        QVERIFY(f.server->table(solo.client.code())->setChair(3, ChairPlan::Classic));
        solo.client.start();
        QVERIFY(waitUntil([&] { return solo.sees({"", "Solo", "Expert", "Classic", "Expert"},
                                                 {Open, Person, Computer, Computer, Computer}) &&
                                       solo.client.chairs().started; }, 5000));
    }

    // A player whose connection drops is away for everyone; when his grace runs out a computer
    // plays his chair under his name; he comes back by himself and is a person again. Leaving
    // gives the chair to a computer for good, and the client does not come back.
    void everyoneSeesTheChairsChange()
    {
        ServerLimits limits = fastPlayers();
        limits.graceMs = 300;
        Fixture f(limits);
        QVERIFY(f.seat(2));
        Player& host = *f.players[0];
        Player& partner = *f.players[1];
        // He stays away well past his grace before his first try.
        partner.client.setReconnectTiming(1200, 10000);
        host.client.start();
        const Names names{"", "Host", "Expert", "Friend1", "Expert"};
        QVERIFY(waitUntil([&] { return host.sees(names, {Open, Person, Computer, Person, Computer}); }, 5000));
        QVERIFY(waitUntil([&] { return partner.steps.size() > 3; }, 5000));

        partner.cut();
        QVERIFY(waitUntil([&] { return partner.losses == 1; }, 5000));
        QVERIFY(!partner.client.connected());
        QVERIFY(waitUntil([&] { return host.sees(names, {Open, Person, Computer, Away, Computer}); }, 5000));
        QVERIFY(waitUntil([&] { return host.sees(names, {Open, Person, Computer, Computer, Computer}); }, 5000));
        QCOMPARE(partner.comebacks, 0);
        // Back by himself, in his own chair, with a new token.
        const std::string oldToken = partner.client.token();
        QVERIFY(waitUntil([&] { return partner.comebacks == 1; }, 5000));
        QCOMPARE(partner.client.seat(), 3);
        QVERIFY(partner.client.token() != oldToken);
        for (const auto& player : f.players)
            QVERIFY(waitUntil([&] { return player->sees(names, {Open, Person, Computer, Person, Computer}); }, 5000));
        QVERIFY(waitUntil([&] { return host.dealsScored >= 1; }, 20000));

        partner.client.leave();
        QCOMPARE(partner.closedReasons, QStringList{QStringLiteral("left")});
        QVERIFY(waitUntil([&] { return host.sees(names, {Open, Person, Computer, Computer, Computer}); }, 5000));
        QVERIFY(waitUntil([&] { return f.server->connectionCount() == 1; }, 5000));
        QTest::qWait(1500);
        QCOMPARE(partner.comebacks, 1);
        QCOMPARE(partner.losses, 1);
        QVERIFY(!partner.client.connected());
        QCOMPARE(f.server->connectionCount(), 1);
        QVERIFY(host.closedReasons.isEmpty());
    }

    // A client cut mid-trick comes back by itself, is sent the steps it missed (no snapshot:
    // the server still holds them), hands them on in order, and plays on; at the end every
    // table is the server's.
    void aClientCutMidTrickComesBackWithTheStepsItMissed()
    {
        Fixture f;
        QVERIFY(f.seat(4));
        Player& gone = *f.players[2];
        gone.client.setReconnectTiming(50, 10000);
        f.players[0]->client.start();
        const GameModel& game = f.table()->game();
        QVERIFY(waitUntil([&] { return game.phase() == Phase::Playing && game.plays().size() % 4 == 2; }, 20000));
        const std::size_t stepsBefore = gone.steps.size();
        gone.cut();
        QVERIFY(waitUntil([&] { return gone.comebacks == 1; }, 5000));
        QCOMPARE(gone.losses, 1);
        QVERIFY(waitUntil([&] { return f.players[0]->dealsScored >= 2; }, 30000));
        QVERIFY(gone.steps.size() > stepsBefore + 4);
        QVERIFY(std::none_of(gone.steps.begin(), gone.steps.end(),
                             [](const SeatEvent& e) { return e.kind == SeatEvent::Kind::Snapshot; }));
        QVERIFY(f.holdAtTheHost());
        f.verifyEveryTableIsTheServers();
        QVERIFY(gone.closedReasons.isEmpty());
    }

    // A connection cut at any moment of a deal: while he is away the others play on up to his
    // turn, or past his grace a computer plays his chair under his name; he comes back, takes
    // his seat again at its next turn, and once the table rests every client holds the
    // server's view of its seat and the score sheet is whole.
    void aDroppedPlayerComesBackToTheTableAsItStands_data()
    {
        QTest::addColumn<int>("people");
        QTest::addColumn<QList<int>>("gone");
        QTest::addColumn<Moment>("moment");
        QTest::addColumn<bool>("pastGrace");
        QTest::addColumn<Return>("back");
        QTest::newRow("before his bid") << 2 << QList<int>{3} << Moment::BeforeHisBid << false << Return::ByItself;
        QTest::newRow("at his bid") << 4 << QList<int>{2} << Moment::AtHisBid << false << Return::ByItself;
        QTest::newRow("at his card") << 4 << QList<int>{4} << Moment::AtHisCard << false << Return::ByItself;
        QTest::newRow("at another's card") << 4 << QList<int>{3} << Moment::AtAnothersCard << false << Return::ByItself;
        QTest::newRow("the deal just scored") << 4 << QList<int>{3} << Moment::DealScored << false << Return::ByItself;
        QTest::newRow("past his grace, back by itself")
            << 2 << QList<int>{3} << Moment::AtHisBid << true << Return::ByItself;
        QTest::newRow("past his grace, back on a new client")
            << 4 << QList<int>{2} << Moment::AtHisCard << true << Return::NewClient;
        QTest::newRow("two at once") << 4 << QList<int>{2, 4} << Moment::AtAnothersCard << false << Return::ByItself;
        QTest::newRow("the host") << 4 << QList<int>{1} << Moment::AtAnothersCard << false << Return::ByItself;
        QTest::newRow("the host, past his grace") << 2 << QList<int>{1} << Moment::AtHisCard << true << Return::ByItself;
    }
    void aDroppedPlayerComesBackToTheTableAsItStands()
    {
        QFETCH(int, people);
        QFETCH(QList<int>, gone);
        QFETCH(Moment, moment);
        QFETCH(bool, pastGrace);
        QFETCH(Return, back);
        ServerLimits limits = fastPlayers();
        limits.messagesPerSecond = 100000;
        if (pastGrace)
            limits.graceMs = 150;
        Fixture f(limits);
        QVERIFY(f.seat(people));
        Player& host = *f.players.front();
        // Steps are counted by one who stays.
        const Player& witness = **std::find_if(f.players.begin(), f.players.end(),
                                               [&](const auto& p) { return !gone.contains(p->client.seat()); });
        for (const auto& player : f.players)
            player->answers = false;
        host.client.start();
        QVERIFY(f.playUntil([&](const GameModel& g) { return reached(moment, g, gone, witness); }));

        struct Away {
            int seat;
            std::string name;
            std::string token;
            Player* player;
        };
        std::vector<Away> away;
        for (const int seat : gone) {
            Player* player = f.at(seat);
            QVERIFY(player);
            // Past his grace he stays away until the computer has played for him.
            player->client.setReconnectTiming(back == Return::NewClient ? 60000 : pastGrace ? 1000 : 50, 120000);
            away.push_back({seat, witness.client.chairs().names[static_cast<std::size_t>(seat)], player->client.token(),
                            player});
        }
        for (const Away& a : away)
            a.player->cut();
        // The others play on, up to his turn or, past his grace, through the computer's; he
        // comes back holding the question his seat is asked next.
        for (const auto& player : f.players) {
            player->answers = !gone.contains(player->client.seat());
            if (player->answers)
                player->answerQuestion();
        }
        if (pastGrace) {
            for (const Away& a : away) {
                QVERIFY(waitUntil([&] { return witness.computerCards[static_cast<std::size_t>(a.seat)] > 0; }, 5000));
                for (const auto& player : f.players) {
                    if (player.get() != a.player)
                        QCOMPARE(player->seenAsComputer[static_cast<std::size_t>(a.seat)], a.name);
                }
            }
            // He comes back to a table that moved on without him and waits for another.
            QVERIFY(f.hold());
        }
        for (Away& a : away) {
            if (back == Return::NewClient) {
                // The cut client is put away; his token brings him back on another.
                std::erase_if(f.players, [&](const auto& p) { return p.get() == a.player; });
                Player& again = f.add();
                again.answers = false;
                again.client.join(f.url, witness.client.code().toStdString(), a.name, a.token);
                QVERIFY(waitUntil([&] { return again.client.connected(); }, 5000));
                a.player = &again;
            } else {
                QVERIFY(waitUntil([&] { return a.player->comebacks == 1; }, 5000));
                QCOMPARE(a.player->losses, 1);
            }
            QCOMPARE(a.player->client.seat(), a.seat);
            QVERIFY(a.player->client.token() != a.token);
        }
        const GameModel& game = f.table()->game();
        const QString rest = f.awaitRest();
        QVERIFY2(rest.isEmpty(), qPrintable(rest));
        QCOMPARE(gone.contains(game.toAct()), !pastGrace);
        for (const auto& player : f.players) {
            for (const Away& a : away) {
                const auto i = static_cast<std::size_t>(a.seat);
                QVERIFY(waitUntil([&] { return player->client.chairs().chairs[i] == Person; }, 5000));
                QCOMPARE(player->client.chairs().names[i], a.name);
            }
        }
        f.verifyTablesAndRecord(&witness);

        // He plays his seat again from its next turn, and the table plays on to the end of a
        // deal.
        const std::size_t told = witness.steps.size();
        const int scoredBefore = witness.dealsScored;
        for (const auto& player : f.players) {
            player->answers = true;
            player->answerQuestion();
        }
        for (const Away& a : away) {
            QVERIFY(waitUntil([&] {
                return std::any_of(witness.steps.begin() + static_cast<std::ptrdiff_t>(told), witness.steps.end(),
                                   [&](const SeatEvent& e) {
                                       return e.seat == a.seat && (e.kind == SeatEvent::Kind::BidMade ||
                                                                   e.kind == SeatEvent::Kind::CardPlayed);
                                   });
            }, 5000));
        }
        QVERIFY(waitUntil([&] { return witness.dealsScored > scoredBefore; }, 10000));
        QVERIFY(f.hold());
        f.verifyTablesAndRecord(&witness);
        for (const auto& player : f.players) {
            QVERIFY(player->closedReasons.isEmpty());
            QVERIFY(player->refusals.isEmpty());
        }
    }

    // Back on another connection while the server still holds the first (a drop it has not
    // noticed yet, or the same person on a second computer): the seat is played from the new
    // connection only, and the first is told so and closed.
    void aSeatTakenBackElsewhereIsNotPlayedFromTheOldConnection()
    {
        Fixture f;
        QVERIFY(f.seat(2));
        Player& host = *f.players.front();
        host.client.start();
        QVERIFY(f.playUntil([&](const GameModel& g) { return reached(Moment::AtHisCard, g, {3}, host); }));
        Player& first = *f.players[1];
        Player& second = f.add();
        second.answers = false;
        second.client.join(f.url, host.client.code().toStdString(), "Friend1", first.client.token());
        QVERIFY(waitUntil([&] { return second.client.connected() && second.question; }, 5000));
        QCOMPARE(second.client.seat(), 3);

        first.answerQuestion();
        QVERIFY(waitUntil([&] { return !first.closedReasons.isEmpty(); }, 5000));
        QCOMPARE(first.closedReasons, QStringList{QStringLiteral("seat taken back elsewhere")});
        QCOMPARE(first.losses, 0);
        QVERIFY(!first.client.connected());
        std::erase_if(f.players, [&](const auto& p) { return p.get() == &first; });
        const QString rest = f.awaitRest();
        QVERIFY2(rest.isEmpty(), qPrintable(rest));
        QCOMPARE(f.table()->game().toAct(), 3);
        f.verifyTablesAndRecord();
        QVERIFY(host.sees({"", "Host", "Expert", "Friend1", "Expert"}, {Open, Person, Computer, Person, Computer}));

        const std::size_t told = host.steps.size();
        second.answerQuestion();
        QVERIFY(waitUntil([&] {
            return std::any_of(host.steps.begin() + static_cast<std::ptrdiff_t>(told), host.steps.end(),
                               [](const SeatEvent& e) { return e.seat == 3 && e.kind == SeatEvent::Kind::CardPlayed; });
        }, 5000));
        QVERIFY(second.refusals.isEmpty());
    }

    // Leaving is for good: a computer takes the chair at once, even at his turn, and plays it
    // under his name, and his token no longer opens the table.
    void aPlayerWhoLeavesCannotComeBack()
    {
        Fixture f; // the chair would wait a minute for a dropped player
        QVERIFY(f.seat(2));
        Player& host = *f.players.front();
        host.client.start();
        QVERIFY(f.playUntil([&](const GameModel& g) { return reached(Moment::AtHisCard, g, {3}, host); }));
        const std::string token = f.players[1]->client.token();
        f.players[1]->client.leave();
        f.players.pop_back();
        QVERIFY(waitUntil([&] { return host.seenAsComputer[3] == "Friend1" && host.computerCards[3] > 0; }, 5000));

        Player again;
        again.client.join(f.url, host.client.code().toStdString(), "Friend1", token);
        QVERIFY(waitUntil([&] { return !again.closedReasons.isEmpty(); }, 5000));
        QCOMPARE(again.closedReasons, QStringList{QStringLiteral("unknown token")});
        QCOMPARE(again.client.seat(), 0);
        QCOMPARE(again.comebacks, 0);

        host.answers = true;
        host.answerQuestion();
        QVERIFY(waitUntil([&] { return host.dealsScored >= 1; }, 10000));
        QVERIFY(f.hold());
        f.verifyTablesAndRecord();
        QVERIFY(host.sees({"", "Host", "Expert", "Friend1", "Expert"}, {Open, Person, Computer, Computer, Computer}));
        QCOMPARE(f.table()->chair(3), HostedTable::Chair::Computer);
    }

    // A chat line goes out only when it may be shown and not too fast; what goes out reaches
    // the others as it was written, with the seat it came from.
    void chatLinesAreCheckedBeforeTheyGo()
    {
        Fixture f;
        TableClient alone;
        QVERIFY(!alone.chat(QStringLiteral("nobody hears this"))); // not at a table
        QVERIFY(f.seat(2));
        TableClient& host = f.players[0]->client;
        struct Line {
            QString text;
            bool sent;
        };
        const QString arabic = QString(200, QChar(0x0644));
        const Line lines[] = {
            {QStringLiteral("<b>hello</b>"), true},
            {QString(), false},
            {QString(201, QLatin1Char('a')), false}, // one character too many
            {arabic, true},                          // as long as a line may be
            {QStringLiteral("two\nlines"), false},
            {QStringLiteral("tab\there"), false},
        };
        for (const Line& line : lines)
            QVERIFY2(host.chat(line.text) == line.sent, qPrintable(line.text.left(20)));
        // Two lines out of a burst of three: one more goes, then none until a second passes.
        QVERIFY(host.chat(QStringLiteral("three")));
        QVERIFY(!host.chat(QStringLiteral("too fast")));
        QVERIFY(!host.chat(QStringLiteral("too fast")));
        QTest::qWait(TableClient::ChatIntervalMs + 50);
        QVERIFY(host.chat(QStringLiteral("later")));
        const QStringList heard{QStringLiteral("1: <b>hello</b>"), QStringLiteral("1: ") + arabic,
                                QStringLiteral("1: three"), QStringLiteral("1: later")};
        QVERIFY(waitUntil([&] { return f.players[1]->chats.size() == 4; }, 5000));
        QCOMPARE(f.players[1]->chats, heard);
        QVERIFY(f.players[0]->closedReasons.isEmpty());
    }

    // A join that cannot be made ends with closed(reason), without a try to come back.
    void aJoinThatFailsEnds_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason"); // empty: any
        QTest::newRow("wrong code") << "server" << "ZZZZZZ" << "Guess" << "no such table";
        QTest::newRow("no name") << "server" << "" << "" << "not a name";
        QTest::newRow("a name of two lines") << "server" << "" << "A\nB" << "not a name";
        QTest::newRow("not a code") << "server" << "AB" << "Ann" << "not a table code";
        QTest::newRow("not a table address") << "http" << "" << "Ann" << "not a table address";
        QTest::newRow("nobody listening") << "closed" << "" << "Ann" << "";
    }
    void aJoinThatFailsEnds()
    {
        QFETCH(QString, address);
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        Fixture f;
        QUrl url = f.url;
        if (address == QLatin1String("http"))
            url.setScheme(QStringLiteral("http"));
        if (address == QLatin1String("closed")) {
            f.server.reset();
            QTest::qWait(10);
        }
        Player player;
        player.client.join(url, code.toStdString(), name.toStdString());
        QVERIFY(waitUntil([&] { return !player.closedReasons.isEmpty(); }, 5000));
        QTest::qWait(50);
        QCOMPARE(player.closedReasons.size(), 1);
        if (!reason.isEmpty())
            QCOMPARE(player.closedReasons.front(), reason);
        else
            QVERIFY(!player.closedReasons.front().isEmpty());
        QCOMPARE(player.losses, 0);
        QCOMPARE(player.client.seat(), 0);
        QVERIFY(!player.client.connected());
    }

    // A code typed in small letters finds the table.
    void aCodeInSmallLettersJoins()
    {
        Fixture f;
        QVERIFY(f.seat(1));
        Player& guest = f.add();
        guest.client.join(f.url, f.players[0]->client.code().toLower().toStdString(), "Guest");
        QVERIFY(waitUntil([&] { return guest.client.seat() == 3; }, 5000));
        QCOMPARE(guest.client.code(), f.players[0]->client.code());
    }

    // With the server gone for good the client tries a few times, then gives up.
    void aClientGivesUpOnAServerGone()
    {
        Fixture f;
        QVERIFY(f.seat(1));
        Player& host = *f.players[0];
        host.client.setReconnectTiming(20, 400);
        f.server.reset();
        QVERIFY(waitUntil([&] { return host.losses == 1; }, 5000));
        QVERIFY(waitUntil([&] { return !host.closedReasons.isEmpty(); }, 5000));
        QCOMPARE(host.closedReasons, QStringList{QString::fromLatin1(TableClient::GaveUpReason)});
        QCOMPARE(host.comebacks, 0);
    }

    // A server that sends rubbish: nothing of it is taken, each piece is counted, the client
    // goes on with what does fit, and a message over the size cap costs the connection (then
    // the client comes back with its token).
    void rubbishFromTheServerIsIgnored()
    {
        QWebSocketServer fake(QStringLiteral("fake"), QWebSocketServer::NonSecureMode);
        fake.setSupportedSubprotocols({QStringLiteral("halbeet.v1")});
        QVERIFY(fake.listen(QHostAddress::LocalHost, 0));
        std::vector<QWebSocket*> sockets;
        QStringList hellos;
        connect(&fake, &QWebSocketServer::newConnection, &fake, [&] {
            QWebSocket* socket = fake.nextPendingConnection();
            sockets.push_back(socket);
            connect(socket, &QWebSocket::textMessageReceived, socket, [&](const QString& text) { hellos << text; });
        });
        Player player;
        player.client.setReconnectTiming(20, 5000);
        player.client.join(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(fake.serverPort())), {}, "Ann");
        QVERIFY(waitUntil([&] { return hellos.size() == 1; }, 5000));
        QWebSocket& socket = *sockets.front();

        std::uint32_t seed = 3;
        GameModel game([&] { return seed++; });
        QVERIFY(game.startDeal());
        SeatEvent snapshot;
        snapshot.kind = SeatEvent::Kind::Snapshot;
        snapshot.serial = 7;
        snapshot.view = TableViewOf(game, 1);
        const std::string token(TokenHexLength, 'b');
        Welcome welcome{1, "K7P2QZ", token, {"", "Ann", "", "", ""}, {Open, Person, Open, Open, Open}, false};
        Welcome tokenless = welcome;
        tokenless.token.clear();
        SeatEvent otherSeat = snapshot;
        otherSeat.view = TableViewOf(game, 2);
        const std::string rubbish[] = {
            EncodeSeatEvent(snapshot),                  // a step before the seat is known
            EncodeServerMessage(tokenless),             // a seat given without its token
            EncodeServerMessage(welcome),               // fits
            "not json",
            R"({"type":"chat","seat":9,"text":"hi"})",
            R"({"type":"event","serial":8,"kind":"BidMade","seat":2,"change":{}})", // a change of nothing held
            EncodeSeatEvent(otherSeat),                 // another seat's table
            EncodeSeatEvent(snapshot),                  // fits
            R"({"type":"event","serial":3,"kind":"BidMade","seat":2,"change":{}})", // a step going back
            EncodeServerMessage(ChatLine{2, "fits"}),
        };
        for (const std::string& text : rubbish)
            socket.sendTextMessage(QString::fromStdString(text));
        socket.sendBinaryMessage(QByteArray("\x01\x02", 2));
        QVERIFY(waitUntil([&] { return player.chats.size() == 1; }, 5000));
        QTest::qWait(20);
        QCOMPARE(player.client.ignoredMessages(), 8);
        QCOMPARE(player.chats, QStringList{QStringLiteral("2: fits")});
        QCOMPARE(player.welcomes, 1);
        QCOMPARE(player.client.seat(), 1);
        QCOMPARE(player.steps.size(), std::size_t{1});
        QVERIFY(player.client.table().view() == snapshot.view);
        QVERIFY(player.closedReasons.isEmpty());

        // Too large to be a message of ours: the connection goes, and the client comes back
        // with its token and the last step it holds.
        socket.sendTextMessage(QString(static_cast<qsizetype>(MaxServerMessageBytes) + 1, QLatin1Char(' ')));
        QVERIFY(waitUntil([&] { return player.losses == 1 && hellos.size() == 2; }, 5000));
        const auto hello = DecodeClientMessage(hellos.last().toStdString());
        QVERIFY(hello.message);
        const Hello again = std::get<Hello>(*hello.message);
        QCOMPARE(again.token, token);
        QCOMPARE(again.table, std::string("K7P2QZ"));
        QVERIFY(again.since.has_value());
        QCOMPARE(*again.since, std::uint64_t{7});

        // A server taken down and up again counts its steps afresh: the first whole table on
        // the new connection is taken whatever its serial; after it, one going back is not.
        QWebSocket& back = *sockets.back();
        welcome.token = std::string(TokenHexLength, 'c');
        SeatEvent restarted = snapshot;
        restarted.serial = 2;
        QVERIFY(game.bid(game.legalBids(game.toAct()).back()));
        restarted.view = TableViewOf(game, 1);
        SeatEvent older = snapshot;
        older.serial = 1;
        for (const std::string& text : {EncodeServerMessage(welcome), EncodeSeatEvent(restarted), EncodeSeatEvent(older)})
            back.sendTextMessage(QString::fromStdString(text));
        QVERIFY(waitUntil([&] { return player.steps.size() == 2; }, 5000));
        QTest::qWait(20);
        QCOMPARE(player.comebacks, 1);
        QCOMPARE(player.client.token(), welcome.token);
        QCOMPARE(player.client.table().serial(), std::uint64_t{2});
        QVERIFY(player.client.table().view() == restarted.view);
        QCOMPARE(player.client.ignoredMessages(), 9);
    }

    // Only a connection from this computer opens a table when the server is told so.
    void tablesOpenedOnlyFromThisComputer_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("loopbackOnly");
        QTest::addColumn<bool>("opens");
        QTest::newRow("IPv4 loopback") << "127.0.0.1" << true << true;
        QTest::newRow("IPv4 loopback, another") << "127.4.5.6" << true << true;
        QTest::newRow("IPv6 loopback") << "::1" << true << true;
        QTest::newRow("IPv4 loopback mapped") << "::ffff:127.0.0.1" << true << true;
        QTest::newRow("a neighbour") << "192.168.1.20" << true << false;
        QTest::newRow("a neighbour mapped") << "::ffff:10.0.0.7" << true << false;
        QTest::newRow("an IPv6 neighbour") << "2001:db8::5" << true << false;
        QTest::newRow("a neighbour, no such limit") << "192.168.1.20" << false << true;
    }
    void tablesOpenedOnlyFromThisComputer()
    {
        QFETCH(QString, address);
        QFETCH(bool, loopbackOnly);
        QFETCH(bool, opens);
        ServerLimits limits;
        limits.openOnlyFromLoopback = loopbackOnly;
        QCOMPARE(MayOpenTable(limits, QHostAddress(address)), opens);
    }

    // The desktop host's server holds its own table and no other; friends join it by code.
    void aHostsServerHoldsOneTable()
    {
        ServerLimits limits = fastPlayers();
        limits.maxTables = 1;
        limits.openOnlyFromLoopback = true;
        Fixture f(limits);
        QVERIFY(f.seat(2));
        Player other;
        other.client.join(f.url, {}, "Other");
        QVERIFY(waitUntil([&] { return !other.closedReasons.isEmpty(); }, 5000));
        QCOMPARE(other.closedReasons, QStringList{QStringLiteral("no room for another table")});
        QCOMPARE(f.server->tableCount(), 1);
    }

    // wss: a server whose certificate is not trusted is refused, unless a test says otherwise.
    void aSecureServerIsCheckedByItsCertificate()
    {
        QTemporaryDir folder;
        const auto made = halbeet::testing::MakeTestCertificate(folder.path());
        if (made.certificate.isEmpty())
            QSKIP("openssl is not installed or made no certificate");
        QSslConfiguration configuration;
        QString error;
        QVERIFY2(LoadTlsFiles(made.certificate, made.key, configuration, &error), qPrintable(error));
        TableServer server(fastPlayers());
        server.useTls(configuration);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const QUrl url(QStringLiteral("wss://127.0.0.1:%1").arg(server.port()));

        Player careful;
        careful.client.join(url, {}, "Careful");
        QVERIFY(waitUntil([&] { return !careful.closedReasons.isEmpty(); }, 10000));
        QCOMPARE(careful.client.seat(), 0);

        Player trusting;
        trusting.client.setIgnoreCertificateErrorsForTesting(true);
        trusting.client.join(url, {}, "Trusting");
        QVERIFY(waitUntil([&] { return trusting.client.seat() == 1; }, 10000));
        QVERIFY(trusting.client.connected());
    }
};

QTEST_GUILESS_MAIN(TstTableClient)
#include "tst_table_client.moc"
