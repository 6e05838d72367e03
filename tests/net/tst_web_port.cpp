// SPDX-License-Identifier: GPL-3.0-or-later
// The table server's port as a browser meets it, over real sockets on the loopback address:
// the page's files and the refusals, with the headers that keep the page to itself; request
// heads too large or never finished; and which pages' WebSockets may take a seat.

#include "http_exchange.h"
#include "net/protocol.h"
#include "net/table_client.h"
#include "net/table_server.h"
#include "wait_until.h"
#include "ws_client.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace halbeet;
using namespace halbeet::net;
using halbeet::testing::GetRequest;
using halbeet::testing::HttpExchange;
using halbeet::testing::HttpReply;
using halbeet::testing::waitUntil;

namespace {

const QString TestRoot = QStringLiteral(":/test-web");

QByteArray resource(const QString& name)
{
    QFile file(TestRoot + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct WebServer {
    explicit WebServer(ServerLimits limits = {})
        : server(limits)
    {
        server.setWebRoot(TestRoot);
        server.setTimeScale(0);
        listening = server.listen(QHostAddress::LocalHost, 0);
    }
    TableServer server;
    bool listening = false;
};

// A WebSocket frame from a client: masked, as a client's must be.
QByteArray maskedTextFrame(const QByteArray& payload)
{
    QByteArray frame;
    frame += char(0x81);
    if (payload.size() < 126) {
        frame += char(0x80 | payload.size());
    } else {
        frame += char(0x80 | 126);
        frame += char((payload.size() >> 8) & 0xff);
        frame += char(payload.size() & 0xff);
    }
    const char mask[4] = {0x12, 0x34, 0x56, 0x78};
    frame.append(mask, 4);
    for (qsizetype i = 0; i < payload.size(); ++i)
        frame += char(payload[i] ^ mask[i % 4]);
    return frame;
}

QByteArray upgradeRequest(const QByteArray& host, const QByteArray& origin)
{
    return "GET / HTTP/1.1\r\nHost: " + host +
           "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
           "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
           "Sec-WebSocket-Protocol: halbeet.v1\r\n" +
           (origin.isEmpty() ? QByteArray() : "Origin: " + origin + "\r\n") + "\r\n";
}

} // namespace

class TstWebPort : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!resource(QStringLiteral("app.js.gz")).isEmpty(), "the test files are built in"); }

    // A table of requests: what each is answered, and the headers every answer carries.
    void requestsAreAnswered_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("file"); // the body is this file of the root ("": not checked)
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QByteArray>("cache");

        const QByteArray gzip = "Accept-Encoding: gzip, deflate, br\r\n";
        QTest::newRow("/ is the page") << GetRequest("/") << 200 << "index.html"
                                       << QByteArray("text/html; charset=utf-8") << QByteArray() << QByteArray("no-cache");
        QTest::newRow("a named file") << GetRequest("/app.css") << 200 << "app.css"
                                      << QByteArray("text/css; charset=utf-8") << QByteArray()
                                      << QByteArray("no-cache");
        QTest::newRow("gzip taken") << GetRequest("/app.js", gzip) << 200 << "app.js.gz"
                                    << QByteArray("text/javascript; charset=utf-8") << QByteArray("gzip")
                                    << QByteArray("no-cache");
        QTest::newRow("gzip not asked for") << GetRequest("/app.js") << 200 << "app.js"
                                            << QByteArray("text/javascript; charset=utf-8") << QByteArray()
                                            << QByteArray("no-cache");
        QTest::newRow("gzip refused with q=0")
            << GetRequest("/app.js", "Accept-Encoding: br, gzip;q=0\r\n") << 200 << "app.js"
            << QByteArray("text/javascript; charset=utf-8") << QByteArray() << QByteArray("no-cache");
        QTest::newRow("a query is ignored") << GetRequest("/app.css?v=3") << 200 << "app.css"
                                            << QByteArray("text/css; charset=utf-8") << QByteArray()
                                            << QByteArray("no-cache");
        QTest::newRow("HTTP/1.0 without Host")
            << QByteArray("GET / HTTP/1.0\r\n\r\n") << 200 << "index.html" << QByteArray("text/html; charset=utf-8")
            << QByteArray() << QByteArray("no-cache");
        for (const char* path : {"/missing.js", "/../x", "/%2e%2e/", "/%2e%2e/index.html", "//etc/passwd",
                                 "/index.html/", "/app.js.gz", "/notes.txt", "/.", "/INDEX.HTML",
                                 "http://127.0.0.1/index.html"})
            QTest::newRow(path) << GetRequest(path, gzip) << 404 << "" << QByteArray("text/plain; charset=utf-8")
                                << QByteArray() << QByteArray("no-cache");
        QTest::newRow("POST") << GetRequest("/", "Content-Length: 0\r\n", "POST") << 405 << ""
                              << QByteArray("text/plain; charset=utf-8") << QByteArray() << QByteArray("no-cache");
        QTest::newRow("upgrade by POST")
            << QByteArray("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n\r\n") << 405 << ""
            << QByteArray("text/plain; charset=utf-8") << QByteArray() << QByteArray("no-cache");
        const std::pair<const char*, QByteArray> malformed[] = {
            {"no Host in HTTP/1.1", "GET / HTTP/1.1\r\n\r\n"},
            {"two Hosts", "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n"},
            {"a Host that would end the policy", "GET / HTTP/1.1\r\nHost: a;script-src *\r\n\r\n"},
            {"a Host with a quote", "GET / HTTP/1.1\r\nHost: a'b\r\n\r\n"},
            {"two spaces", "GET  / HTTP/1.1\r\nHost: a\r\n\r\n"},
            {"HTTP/2.0", "GET / HTTP/2.0\r\nHost: a\r\n\r\n"},
            {"a folded header", "GET / HTTP/1.1\r\nHost: a\r\nX-A: b\r\n c\r\n\r\n"},
            {"a blank before the colon", "GET / HTTP/1.1\r\nHost : a\r\n\r\n"},
            {"a bare LF", "GET / HTTP/1.1\r\nHost: a\nX: y\r\n\r\n"},
            {"a control character", "GET / HTTP/1.1\r\nHost: a\r\nX: \x01\r\n\r\n"},
            {"not HTTP", "\x16\x03\x01\x02\x01\r\n\r\n"},
            {"a NUL", QByteArray("GET / HTTP/1.1\r\nHost: a\r\nX: \0\r\n\r\n", 33)},
        };
        for (const auto& [name, request] : malformed)
            QTest::newRow(name) << request << 400 << "" << QByteArray("text/plain; charset=utf-8") << QByteArray()
                                << QByteArray("no-cache");
        // A head of 9 KiB: over the limit before its end is seen.
        QTest::newRow("a head of 9 KiB")
            << GetRequest("/", "X-Filler: " + QByteArray(9 * 1024, 'a') + "\r\n") << 431 << ""
            << QByteArray("text/plain; charset=utf-8") << QByteArray() << QByteArray("no-cache");
    }
    void requestsAreAnswered()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QString, file);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, encoding);
        QFETCH(QByteArray, cache);
        WebServer web;
        QVERIFY(web.listening);
        const HttpReply reply = HttpExchange(web.server.port(), request);
        QVERIFY2(reply.closedByServer, reply.raw.left(200).constData());
        QCOMPARE(reply.status(), status);
        if (!file.isEmpty())
            QCOMPARE(reply.body(), resource(file));
        QCOMPARE(reply.header("Content-Length"), QByteArray::number(reply.body().size()));
        QCOMPARE(reply.header("Content-Type"), type);
        QCOMPARE(reply.header("Content-Encoding").value_or(QByteArray()), encoding);
        QCOMPARE(reply.header("Cache-Control"), cache);
        // Both forms of a file that has a gzip one are told apart by a cache between.
        if (file.startsWith(QLatin1String("app.js")))
            QCOMPARE(reply.header("Vary"), QByteArray("Accept-Encoding"));
        else
            QVERIFY(!reply.header("Vary"));
        if (status == 405)
            QCOMPARE(reply.header("Allow"), QByteArray("GET, HEAD"));

        // What every answer carries, and what none does.
        const QByteArray policy = reply.header("Content-Security-Policy").value_or(QByteArray());
        QVERIFY2(policy.startsWith("default-src 'none'; script-src 'self'; style-src 'self';"), policy.constData());
        QVERIFY(policy.contains("frame-ancestors 'none'"));
        QVERIFY(policy.contains("base-uri 'none'"));
        QVERIFY(!policy.contains("unsafe"));
        QVERIFY(!policy.contains('*'));
        // WebSockets back to the Host the page was asked of, when that was read and valid.
        const std::optional<HttpRequest> parsed = ParseRequestHead(request);
        const std::optional<QByteArray> host = parsed && status != 431 ? parsed->header("host") : std::nullopt;
        QVERIFY2(policy.contains(host ? "connect-src 'self' ws://" + *host + " wss://" + *host + ";"
                                      : QByteArray("connect-src 'self';")),
                 policy.constData());
        QCOMPARE(reply.header("X-Content-Type-Options"), QByteArray("nosniff"));
        QCOMPARE(reply.header("Referrer-Policy"), QByteArray("no-referrer"));
        QCOMPARE(reply.header("Connection"), QByteArray("close"));
        QVERIFY(!reply.header("Server"));
        QCOMPARE(web.server.connectionCount(), 0);
    }

    // A browser that holds a file is told so in a few bytes instead of being sent it again; each
    // form of a file (plain, gzip) has a tag of its own.
    void aFileTheBrowserHoldsIsNotSentAgain()
    {
        WebServer web;
        QVERIFY(web.listening);
        const QByteArray gzip = "Accept-Encoding: gzip\r\n";
        const QByteArray plainTag = HttpExchange(web.server.port(), GetRequest("/app.js")).header("ETag").value_or("");
        const QByteArray packedTag =
            HttpExchange(web.server.port(), GetRequest("/app.js", gzip)).header("ETag").value_or("");
        QVERIFY2(plainTag.startsWith('"') && plainTag.endsWith('"') && plainTag.size() > 10, plainTag.constData());
        QVERIFY(packedTag != plainTag);
        struct Case {
            const char* name;
            QByteArray ifNoneMatch;
            int status;
        };
        const Case cases[] = {
            {"its tag", packedTag, 304},
            {"its tag, weak", "W/" + packedTag, 304},
            {"its tag among others", "\"0123\", " + packedTag, 304},
            {"any", "*", 304},
            {"the plain form's tag", plainTag, 200},
            {"another tag", "\"0123\"", 200},
            {"empty", "", 200},
        };
        for (const Case& c : cases) {
            const HttpReply reply =
                HttpExchange(web.server.port(), GetRequest("/app.js", "If-None-Match: " + c.ifNoneMatch + "\r\n" + gzip));
            QVERIFY2(reply.status() == c.status, c.name);
            QVERIFY2(reply.header("ETag") == packedTag, c.name);
            QVERIFY2(reply.header("Content-Security-Policy"), c.name);
            if (c.status == 304)
                QVERIFY2(reply.body().isEmpty() && !reply.header("Content-Length"), c.name);
            else
                QCOMPARE(reply.body(), resource(QStringLiteral("app.js.gz")));
        }
    }

    // HEAD: the same head as GET, no body.
    void headIsGetWithoutTheBody()
    {
        WebServer web;
        QVERIFY(web.listening);
        const HttpReply get = HttpExchange(web.server.port(), GetRequest("/app.js", "Accept-Encoding: gzip\r\n"));
        const HttpReply head = HttpExchange(web.server.port(), GetRequest("/app.js", "Accept-Encoding: gzip\r\n", "HEAD"));
        QCOMPARE(head.status(), 200);
        QCOMPARE(head.head(), get.head());
        QVERIFY(head.body().isEmpty());
        QCOMPARE(head.header("Content-Length"), QByteArray::number(resource(QStringLiteral("app.js.gz")).size()));
        const HttpReply missing = HttpExchange(web.server.port(), GetRequest("/nothing.js", {}, "HEAD"));
        QCOMPARE(missing.status(), 404);
        QVERIFY(missing.body().isEmpty());
    }

    // A head that never ends, or never begins, is answered 408 at the hello time and closed; one
    // that comes in small pieces is read whole. Each counts against its address meanwhile.
    void slowAndSilentHeads()
    {
        ServerLimits limits;
        limits.helloTimeoutMs = 1000;
        limits.connectionsPerAddress = 2;
        WebServer web(limits);
        QVERIFY(web.listening);
        QSignalSpy dropped(&web.server, &TableServer::dropped);

        QTcpSocket silent;
        silent.connectToHost(QHostAddress::LocalHost, web.server.port());
        QVERIFY(silent.waitForConnected(5000));
        QTcpSocket unfinished;
        unfinished.connectToHost(QHostAddress::LocalHost, web.server.port());
        QVERIFY(unfinished.waitForConnected(5000));
        unfinished.write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        // Both places of the address are taken: a third is turned away at once.
        const HttpReply third = HttpExchange(web.server.port(), GetRequest("/"), false, 2000);
        QVERIFY(third.closedByServer);
        QCOMPARE(third.status(), 0);
        // Turned away, not kept waiting until the others' time is up.
        QCOMPARE(silent.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(unfinished.state(), QAbstractSocket::ConnectedState);

        QByteArray heardSilent;
        QByteArray heardUnfinished;
        connect(&silent, &QTcpSocket::readyRead, &silent, [&] { heardSilent += silent.readAll(); });
        connect(&unfinished, &QTcpSocket::readyRead, &unfinished, [&] { heardUnfinished += unfinished.readAll(); });
        QVERIFY(waitUntil([&] {
            return silent.state() == QAbstractSocket::UnconnectedState &&
                   unfinished.state() == QAbstractSocket::UnconnectedState;
        }, 3000));
        QVERIFY2(heardSilent.startsWith("HTTP/1.1 408 "), heardSilent.constData());
        QVERIFY2(heardUnfinished.startsWith("HTTP/1.1 408 "), heardUnfinished.constData());
        QStringList reasons;
        for (const QList<QVariant>& signal : dropped)
            reasons << signal.at(1).toString();
        // The one that began a request is logged; a browser's spare connection is not.
        QCOMPARE(reasons.count(QStringLiteral("no request in time")), 1);

        // Their places are free again; a head sent a few bytes at a time is read whole.
        QTcpSocket slow;
        QByteArray heard;
        connect(&slow, &QTcpSocket::readyRead, &slow, [&] { heard += slow.readAll(); });
        slow.connectToHost(QHostAddress::LocalHost, web.server.port());
        QVERIFY(slow.waitForConnected(5000));
        const QByteArray request = GetRequest("/app.css");
        for (qsizetype i = 0; i < request.size(); i += 7) {
            slow.write(request.mid(i, 7));
            slow.flush();
            QTest::qWait(2);
        }
        QVERIFY(waitUntil([&] { return slow.state() == QAbstractSocket::UnconnectedState; }, 3000));
        QVERIFY2(heard.startsWith("HTTP/1.1 200 "), heard.left(100).constData());
        QVERIFY(heard.endsWith(resource(QStringLiteral("app.css"))));
    }

    // A table of WebSocket openings: who may take a seat and who is refused before the
    // WebSocket exists.
    void upgradesByOrigin_data()
    {
        QTest::addColumn<QByteArray>("host"); // PORT stands for the server's port
        QTest::addColumn<QByteArray>("origin");
        QTest::addColumn<QStringList>("allowed");
        QTest::addColumn<bool>("seated");
        const QStringList none;
        const QStringList listed{QStringLiteral("https://Cards.Example.org/"), QStringLiteral("http://[::1]:8080")};
        QTest::newRow("no Origin: a program") << QByteArray("127.0.0.1:PORT") << QByteArray() << none << true;
        QTest::newRow("the page by its IPv4 address")
            << QByteArray("127.0.0.1:PORT") << QByteArray("http://127.0.0.1:PORT") << none << true;
        QTest::newRow("the page by https") << QByteArray("127.0.0.1:PORT") << QByteArray("https://127.0.0.1:PORT")
                                           << none << true;
        QTest::newRow("the page by its IPv6 address")
            << QByteArray("[::1]:PORT") << QByteArray("http://[::1]:PORT") << none << true;
        QTest::newRow("the page at localhost")
            << QByteArray("localhost:PORT") << QByteArray("http://localhost:PORT") << none << true;
        QTest::newRow("a listed origin") << QByteArray("127.0.0.1:PORT") << QByteArray("https://cards.example.org")
                                         << listed << true;
        QTest::newRow("a listed IPv6 origin") << QByteArray("127.0.0.1:PORT") << QByteArray("http://[::1]:8080")
                                              << listed << true;
        QTest::newRow("a foreign origin") << QByteArray("127.0.0.1:PORT") << QByteArray("https://evil.example")
                                          << listed << false;
        QTest::newRow("a name that ends like a listed one")
            << QByteArray("127.0.0.1:PORT") << QByteArray("https://cards.example.org.evil.example") << listed << false;
        QTest::newRow("a listed host by another scheme")
            << QByteArray("127.0.0.1:PORT") << QByteArray("http://cards.example.org") << listed << false;
        QTest::newRow("the same address, another port")
            << QByteArray("127.0.0.1:PORT") << QByteArray("http://127.0.0.1:8080") << none << false;
        QTest::newRow("another address, the same port")
            << QByteArray("127.0.0.1:PORT") << QByteArray("http://127.0.0.2:PORT") << none << false;
        QTest::newRow("a name as Host: DNS rebinding")
            << QByteArray("evil.example:PORT") << QByteArray("http://evil.example:PORT") << none << false;
        QTest::newRow("an address-like name as Host")
            << QByteArray("127.0.0.1.evil.example:PORT") << QByteArray("http://127.0.0.1.evil.example:PORT") << none
            << false;
        QTest::newRow("null") << QByteArray("127.0.0.1:PORT") << QByteArray("null") << listed << false;
        QTest::newRow("a file") << QByteArray("127.0.0.1:PORT") << QByteArray("file://") << none << false;
    }
    void upgradesByOrigin()
    {
        QFETCH(QByteArray, host);
        QFETCH(QByteArray, origin);
        QFETCH(QStringList, allowed);
        QFETCH(bool, seated);
        ServerLimits limits;
        limits.allowedOrigins = allowed;
        WebServer web(limits);
        QVERIFY(web.listening);
        QSignalSpy dropped(&web.server, &TableServer::dropped);
        const QByteArray port = QByteArray::number(web.server.port());
        host.replace("PORT", port);
        origin.replace("PORT", port);

        QTcpSocket socket;
        QByteArray heard;
        connect(&socket, &QTcpSocket::readyRead, &socket, [&] { heard += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, web.server.port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(upgradeRequest(host, origin));
        QVERIFY(waitUntil([&] { return heard.contains("\r\n\r\n"); }, 5000));
        if (!seated) {
            QVERIFY2(heard.startsWith("HTTP/1.1 403 "), heard.constData());
            QVERIFY(waitUntil([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000));
            QCOMPARE(web.server.connectionCount(), 0);
            QCOMPARE(dropped.size(), 1);
            QCOMPARE(dropped.first().at(1).toString(), QStringLiteral("origin not allowed"));
            return;
        }
        QVERIFY2(heard.startsWith("HTTP/1.1 101 "), heard.constData());
        socket.write(maskedTextFrame(QByteArray::fromStdString(EncodeClientMessage(Hello{ProtocolVersion, "Browser", "", "", {}}))));
        QVERIFY(waitUntil([&] { return web.server.tableCount() == 1; }, 5000));
        QCOMPARE(web.server.connectionCount(), 1);
        QVERIFY(dropped.isEmpty());
    }

    // The game's own client sends no Origin (it is no page): it is let in however the server's
    // list of origins reads.
    void theGamesClientSendsNoOrigin()
    {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost, 0));
        TableClient client;
        client.join(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(listener.serverPort())), "", "Host");
        QVERIFY(waitUntil([&] { return listener.hasPendingConnections(); }, 5000));
        QTcpSocket* socket = listener.nextPendingConnection();
        QByteArray head;
        QVERIFY(waitUntil([&] {
            head += socket->readAll();
            return head.contains("\r\n\r\n");
        }, 5000));
        const std::optional<HttpRequest> request = ParseRequestHead(head);
        QVERIFY(request);
        QVERIFY(IsWebSocketUpgrade(*request));
        QVERIFY2(!request->header("origin"), head.constData());
        client.leave();
    }
};

QTEST_GUILESS_MAIN(TstWebPort)
#include "tst_web_port.moc"
