// SPDX-License-Identifier: GPL-3.0-or-later
// Tables kept across a restart of their server: written without a token, read back into a
// new server under the same code, the persons taking their seats back with their tokens and
// the table exactly as it was; files and saves that do not make a table are refused and set
// aside, never half taken up.

#include "net/hosted_table.h"
#include "net/table_server.h"
#include "net/table_store.h"
#include "table/table_view.h"
#include "ws_client.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace halbeet;
using namespace halbeet::net;
using halbeet::testing::waitUntil;
using halbeet::testing::written;
using halbeet::testing::WsClient;

namespace {

ServerLimits fastLimits(int graceMs = 60000)
{
    ServerLimits limits;
    limits.messagesPerSecond = 1000;
    limits.graceMs = graceMs;
    return limits;
}

std::unique_ptr<TableServer> startServer(ServerLimits limits)
{
    auto server = std::make_unique<TableServer>(limits);
    server->setTimeScale(0);
    if (!server->listen(QHostAddress::LocalHost, 0))
        return nullptr;
    return server;
}

QByteArray fileText(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void writeText(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
}

// A started table to keep: a host (seat 1) and a friend (seat 3), computers at the sides, the
// game stopped at a person's turn in the middle of the first deal.
struct PlayedTable {
    std::unique_ptr<TableServer> server = startServer(fastLimits());
    std::unique_ptr<WsClient> host;
    std::unique_ptr<WsClient> friendly;

    bool setUp()
    {
        host = std::make_unique<WsClient>(server->port());
        friendly = std::make_unique<WsClient>(server->port());
        if (!host->waitOpen() || !friendly->waitOpen() || !host->hello("Host") ||
            !friendly->hello("Friend", host->table))
            return false;
        host->answersLeft = 3;
        friendly->answersLeft = 3;
        host->say(StartMessage{});
        return waitUntil([&] { return host->holdsTheTable() || friendly->holdsTheTable(); }, 10000);
    }
    HostedTable& table() { return *server->table(QString::fromStdString(host->table)); }
};

} // namespace

class TstTableStore : public QObject {
    Q_OBJECT

  private slots:
    // Written, read back into another server, taken up: the same game, chairs and names; the
    // friend's old token takes his seat back once and shows him exactly the server's table;
    // the host, not back within the grace time, is played by a computer and the game goes on.
    void aKeptTableIsTakenUpAgain()
    {
        PlayedTable played;
        QVERIFY(played.server);
        QVERIFY(played.setUp());
        const HostedTable::Saved before = played.table().saved();
        QCOMPARE(played.table().awaitedCount(), 2);

        QTemporaryDir dir;
        const TableStore store(dir.path() + QStringLiteral("/state"));
        QVERIFY(store.prepare());
        QString error;
        QVERIFY2(store.write(before, &error), qPrintable(error));
        const QByteArray text = fileText(store.pathOf(before.code));
        // Only the hashes: a stolen state folder seats nobody.
        for (const std::string& token : {played.host->token, played.friendly->token}) {
            QVERIFY(!token.empty());
            QVERIFY(!text.contains(QByteArray::fromStdString(token)));
            QVERIFY(text.contains(QCryptographicHash::hash(QByteArray::fromStdString(token),
                                                           QCryptographicHash::Sha256)
                                      .toHex()));
        }
        QCOMPARE(QDir(store.folder()).entryList(QDir::Files),
                 QStringList{QStringLiteral("table-%1.json").arg(before.code)});

        played.friendly->socket.abort();
        played.host->socket.abort();
        auto server = startServer(fastLimits());
        QVERIFY(server);
        const std::vector<TableStore::Entry> entries = store.readAll();
        QCOMPARE(entries.size(), std::size_t{1});
        QVERIFY2(entries[0].table, entries[0].error.c_str());
        std::string restoreError;
        HostedTable* table = server->restoreTable(*entries[0].table, &restoreError);
        QVERIFY2(table, restoreError.c_str());
        QCOMPARE(table->code(), before.code);
        QCOMPARE(table->game().save(), before.game);
        QCOMPARE(table->names(), before.names);
        for (int seat = 1; seat <= 4; ++seat)
            QCOMPARE(table->chair(seat), before.chairs[static_cast<std::size_t>(seat)]);
        // The same code is not taken up twice.
        QVERIFY(!server->restoreTable(*entries[0].table, &restoreError));

        WsClient back(server->port());
        back.answersLeft = 0; // the table stands still while it is compared
        QVERIFY(back.waitOpen());
        QVERIFY(back.hello("Friend", before.code.toStdString(), played.friendly->token));
        QCOMPARE(back.seat, 3);
        QVERIFY(back.token != played.friendly->token);
        QVERIFY(waitUntil([&] { return back.snapshots == 1; }, 5000));
        QCOMPARE(written(back.snapshot.view), written(TableViewOf(table->game(), 3)));

        // A token is good once, and a made-up one is no one's.
        for (const std::string& token : {played.friendly->token, std::string(32, 'a')}) {
            WsClient stranger(server->port());
            QVERIFY(stranger.waitOpen());
            QVERIFY(!stranger.hello("Stranger", before.code.toStdString(), token));
            QVERIFY(waitUntil([&] { return stranger.closed; }, 5000));
            QCOMPARE(stranger.byeReason, QStringLiteral("unknown token"));
        }

        // Nobody comes back: once the grace time is over computers take both chairs, and the
        // game, which waited for a person, goes on.
        auto deserted = startServer(fastLimits(200));
        QVERIFY(deserted);
        HostedTable* table2 = deserted->restoreTable(*entries[0].table, &restoreError);
        QVERIFY2(table2, restoreError.c_str());
        QCOMPARE(table2->chair(1), HostedTable::Chair::Person);
        const std::size_t plays = table2->game().plays().size();
        const std::int64_t deals = table2->game().dealsDealt();
        QVERIFY(waitUntil(
            [&] {
                return table2->chair(1) == HostedTable::Chair::Computer &&
                       table2->chair(3) == HostedTable::Chair::Computer;
            },
            5000));
        QVERIFY(waitUntil(
            [&] {
                return table2->game().plays().size() > plays || table2->game().dealsDealt() > deals;
            },
            10000));

        // Kept again while a computer plays for the host: his token still takes his chair back
        // after the next restart.
        const HostedTable::Saved again = table2->saved();
        QCOMPARE(again.chairs[1], HostedTable::Chair::Computer);
        QCOMPARE(table2->awaitedCount(), 2);
        const std::optional<HostedTable::Saved> readAgain =
            DecodeSavedTable(EncodeSavedTable(again));
        QVERIFY(readAgain);
        auto third = startServer(fastLimits());
        QVERIFY(third);
        HostedTable* thirdTable = third->restoreTable(*readAgain, &restoreError);
        QVERIFY2(thirdTable, restoreError.c_str());
        QCOMPARE(thirdTable->chair(1), HostedTable::Chair::Computer);
        WsClient host(third->port());
        host.answersLeft = 0;
        QVERIFY(host.waitOpen());
        QVERIFY(host.hello("Host", before.code.toStdString(), played.host->token));
        QCOMPARE(host.seat, 1);
        QCOMPARE(thirdTable->chair(1), HostedTable::Chair::Person);
    }

    // A table still waiting for its players is kept as one: the host comes back, starts it,
    // and computers take the chairs still open.
    void aTableNotStartedIsKeptToo()
    {
        auto first = startServer(fastLimits());
        QVERIFY(first);
        WsClient host(first->port());
        QVERIFY(host.waitOpen());
        QVERIFY(host.hello("Host"));
        HostedTable* planned = first->table(QString::fromStdString(host.table));
        // The host gave one opponent's chair the Classic rules, the other the Expert.
        QVERIFY(planned->setChair(2, ChairPlan::Classic));
        QVERIFY(planned->setChair(4, ChairPlan::Expert));
        const HostedTable::Saved saved = planned->saved();
        QVERIFY(!saved.started);
        const std::optional<HostedTable::Saved> read = DecodeSavedTable(EncodeSavedTable(saved));
        QVERIFY(read);

        auto second = startServer(fastLimits());
        QVERIFY(second);
        HostedTable* table = second->restoreTable(*read);
        QVERIFY(table);
        QCOMPARE(table->chair(3), HostedTable::Chair::Open);
        // Each computer plays as the host chose, after the restart too.
        QCOMPARE(table->computerPlaying(2), std::optional<ChairPlan>(ChairPlan::Classic));
        QCOMPARE(table->computerPlaying(4), std::optional<ChairPlan>(ChairPlan::Expert));
        WsClient back(second->port());
        QVERIFY(back.waitOpen());
        QVERIFY(back.hello("Host", host.table, host.token));
        QCOMPARE(back.seat, 1);
        back.answersLeft = 0;
        back.say(StartMessage{});
        QVERIFY(
            waitUntil([&] { return table->started() && table->game().dealInProgress(); }, 5000));
        for (const int seat : {2, 3, 4})
            QCOMPARE(table->chair(seat), HostedTable::Chair::Computer);
    }

    // What a file may hold and still not be a table: refused with the reason by the reader.
    void unreadableFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("edit");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not JSON") << QByteArray("{\"format\":") << "not JSON";
        QTest::newRow("another format") << QByteArray("format=other") << "not a table file";
        QTest::newRow("a later version") << QByteArray("version=2") << "version";
        QTest::newRow("unknown field") << QByteArray("extra=1") << "unknown field";
        QTest::newRow("bad code") << QByteArray("code=ABCDE1") << "not a table code";
        QTest::newRow("started not a bool") << QByteArray("started=1") << "started";
        QTest::newRow("three seats") << QByteArray("seats=3") << "not four seats";
        QTest::newRow("unknown chair") << QByteArray("chair=ghost") << "not a chair";
        QTest::newRow("short hash") << QByteArray("hash=abc") << "not a token hash";
        QTest::newRow("name a number") << QByteArray("name=7") << "not text";
        QTest::newRow("no game") << QByteArray("game=none") << "no game";
        QTest::newRow("too large") << QByteArray("pad") << "too large";
    }
    void unreadableFilesAreRefused()
    {
        QFETCH(QByteArray, edit);
        QFETCH(QString, reason);
        HostedTable::Saved saved;
        saved.code = QStringLiteral("ABC234");
        saved.started = true;
        saved.chairs = {HostedTable::Chair::Open, HostedTable::Chair::Person,
                        HostedTable::Chair::Computer, HostedTable::Chair::Person,
                        HostedTable::Chair::Computer};
        saved.names = {"", "Ann", "Expert", "Bob", "Expert"};
        saved.tokenHashes[1] = QByteArray(32, '\x01');
        saved.tokenHashes[3] = QByteArray(32, '\x02');
        saved.game = "{}";
        QJsonObject root =
            QJsonDocument::fromJson(QByteArray::fromStdString(EncodeSavedTable(saved))).object();
        QVERIFY(DecodeSavedTable(EncodeSavedTable(saved)));
        QJsonArray seats = root.value("seats").toArray();
        QJsonObject seat = seats.at(0).toObject();
        const QList<QByteArray> parts = edit.split('=');
        const QString value = parts.size() > 1 ? QString::fromLatin1(parts[1]) : QString();
        QByteArray text;
        if (edit == "pad") {
            text = QByteArray::fromStdString(EncodeSavedTable(saved));
            text.insert(1, QByteArray(MaxTableFileBytes, ' '));
        } else if (parts[0] == "chair" || parts[0] == "hash" || parts[0] == "name") {
            seat.insert(parts[0] == "chair"  ? "chair"
                        : parts[0] == "hash" ? "tokenHash"
                                             : "name",
                        parts[0] == "name" ? QJsonValue(value.toInt()) : QJsonValue(value));
            seats.replace(0, seat);
            root.insert("seats", seats);
        } else if (parts[0] == "seats") {
            seats.removeLast();
            root.insert("seats", seats);
        } else if (parts[0] == "version" || parts[0] == "extra" || parts[0] == "started") {
            root.insert(QString::fromLatin1(parts[0]), value.toInt());
        } else if (parts[0] == "game") {
            root.remove("game");
        } else if (parts.size() > 1) {
            root.insert(QString::fromLatin1(parts[0]), value);
        } else {
            text = edit;
        }
        if (text.isEmpty())
            text = QJsonDocument(root).toJson();
        std::string error;
        QVERIFY(!DecodeSavedTable(text.toStdString(), &error));
        QVERIFY2(QString::fromStdString(error).contains(reason), error.c_str());
    }

    // Saves whose every field reads but that make no table: refused by the server, which then
    // has no table of that code, and whose table left as it was.
    void savesThatMakeNoTableAreRefused_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("open chair, started") << 0 << "open at a started table";
        QTest::newRow("person without a token") << 1 << "a person without a token";
        QTest::newRow("person's name with a line break") << 2 << "not a name";
        QTest::newRow("computer with half a token hash") << 3 << "not a token hash";
        QTest::newRow("the game is no game") << 4 << "the game";
        QTest::newRow("not started, no host") << 5 << "without its host";
        QTest::newRow("open chair with a name") << 6 << "open with a name";
        QTest::newRow("not the server's kind of code") << 7 << "not a table code";
    }
    void savesThatMakeNoTableAreRefused()
    {
        QFETCH(int, fault);
        QFETCH(QString, reason);
        PlayedTable played;
        QVERIFY(played.server);
        QVERIFY(played.setUp());
        HostedTable::Saved saved = played.table().saved();
        QVERIFY(played.table().chair(2) == HostedTable::Chair::Computer);
        switch (fault) {
        case 0:
            saved.chairs[2] = HostedTable::Chair::Open;
            saved.names[2].clear();
            break;
        case 1:
            saved.tokenHashes[3].clear();
            break;
        case 2:
            saved.names[3] = "Fri\nend";
            break;
        case 3:
            saved.tokenHashes[2] = saved.tokenHashes[1].left(16);
            break;
        case 4:
            saved.game = saved.game.substr(0, saved.game.size() / 2);
            break;
        case 5:
            saved.started = false;
            saved.chairs[1] = HostedTable::Chair::Computer;
            saved.tokenHashes[1].clear();
            break;
        case 6:
            saved.started = false;
            saved.chairs[4] = HostedTable::Chair::Open;
            break;
        case 7:
            saved.code = QStringLiteral("ABCDE1");
            break;
        }
        auto server = startServer(fastLimits());
        QVERIFY(server);
        std::string error;
        QVERIFY(!server->restoreTable(saved, &error));
        QVERIFY2(QString::fromStdString(error).contains(reason), error.c_str());
        QCOMPARE(server->tableCount(), 0);

        // The table itself: nothing of the save taken when a check fails. (It takes any code it
        // is made with: the kind of code is the server's business.)
        if (fault == 7)
            return;
        HostedTable table(saved.code, 1);
        QVERIFY(!table.restore(saved));
        QVERIFY(!table.started());
        for (int seat = 1; seat <= 4; ++seat)
            QCOMPARE(table.chair(seat), HostedTable::Chair::Open);
        QCOMPARE(table.game().phase(), Phase::NoDeal);
    }

    // The folder as the server finds it at a start: good files read, bad ones reported and
    // set aside (never read again, never lost), files of other names left alone.
    void theFolderAtAStart()
    {
        PlayedTable played;
        QVERIFY(played.server);
        QVERIFY(played.setUp());
        QTemporaryDir dir;
        const TableStore store(dir.path());
        QVERIFY(store.write(played.table().saved()));
        const QString good = played.table().code();
        writeText(store.pathOf(QStringLiteral("ZZZ999")), "\x89PNG not a table");
        // A good file under another table's name would give that code to the wrong table.
        QVERIFY(QFile::copy(store.pathOf(good), store.pathOf(QStringLiteral("YYY888"))));
        writeText(dir.path() + QStringLiteral("/notes.txt"), "mine");
        writeText(dir.path() + QStringLiteral("/table-lower.json"), "{}");

        std::vector<TableStore::Entry> entries = store.readAll();
        QCOMPARE(entries.size(), std::size_t{3});
        for (const TableStore::Entry& entry : entries) {
            QCOMPARE(entry.table.has_value(), entry.code == good);
            if (entry.code == good)
                continue;
            QVERIFY(!entry.error.empty());
            const QString aside = store.setAside(entry.code);
            QVERIFY(aside.startsWith(store.pathOf(entry.code) + QStringLiteral(".unreadable-")));
            QVERIFY(QFile::exists(aside));
        }
        QCOMPARE(store.codes(), QStringList{good});
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("/notes.txt")));
        store.remove(good);
        QVERIFY(store.codes().isEmpty());
        store.remove(good); // gone already: nothing to do

        // A folder that cannot be made is a reason, not a crash.
        const TableStore relative(QStringLiteral("relative/state"));
        QString error;
        QVERIFY(!relative.prepare(&error));
        QVERIFY(!error.isEmpty());
        const TableStore underAFile(dir.path() + QStringLiteral("/notes.txt/state"));
        QVERIFY(!underAFile.prepare(&error));
        QVERIFY(!underAFile.write(played.table().saved(), &error));
    }
};

QTEST_GUILESS_MAIN(TstTableStore)
#include "tst_table_store.moc"
