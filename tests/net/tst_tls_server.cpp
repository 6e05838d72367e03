// SPDX-License-Identifier: GPL-3.0-or-later
// The table server with TLS, in one process on the loopback address: a connection counts
// against its address's limit from its first byte, before its handshake, and one that never
// finishes its handshake is let go after the hello time and its place freed.

#include "http_exchange.h"
#include "net/table_server.h"
#include "net/tls_files.h"
#include "test_certificates.h"
#include "ws_client.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace halbeet;
using namespace halbeet::net;
using halbeet::testing::waitUntil;
using halbeet::testing::WsClient;

class TstTlsServer : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QSslConfiguration m_configuration;

  private slots:
    void initTestCase()
    {
        const halbeet::testing::TestCertificate made =
            halbeet::testing::MakeTestCertificate(m_folder.path());
        if (made.certificate.isEmpty())
            QSKIP("openssl is not installed or made no certificate");
        QString error;
        QVERIFY2(LoadTlsFiles(made.certificate, made.key, m_configuration, &error),
                 qPrintable(error));
    }

    void handshakesCountAgainstTheAddress()
    {
        ServerLimits limits;
        limits.connectionsPerAddress = 2;
        limits.helloTimeoutMs = 2000;
        TableServer server(limits);
        server.useTls(m_configuration);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QSignalSpy dropped(&server, &TableServer::dropped);

        // Two connections that never begin their handshake fill the address's places.
        std::vector<std::unique_ptr<QTcpSocket>> silent;
        for (int i = 0; i < 2; ++i) {
            silent.push_back(std::make_unique<QTcpSocket>());
            silent.back()->connectToHost(QHostAddress::LocalHost, server.port());
            QVERIFY(silent.back()->waitForConnected(5000));
        }
        WsClient third(server.port(), QStringLiteral("wss"));
        QVERIFY(!third.waitOpen());
        QVERIFY(waitUntil([&] { return !dropped.isEmpty(); }, 5000));
        QCOMPARE(dropped.first().at(0).toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(dropped.first().at(1).toString(),
                 QStringLiteral("too many connections from the address"));

        // The hello time over, the server lets them go, and the address may connect again.
        QVERIFY(waitUntil(
            [&] {
                return std::all_of(silent.begin(), silent.end(), [](const auto& s) {
                    return s->state() == QAbstractSocket::UnconnectedState;
                });
            },
            5000));
        WsClient later(server.port(), QStringLiteral("wss"));
        QVERIFY(later.waitOpen());
        QVERIFY(later.hello("Later"));
        QCOMPARE(later.seat, 1);
        QCOMPARE(server.tableCount(), 1);
    }

    // Over TLS the port serves the page as well as the tables: an https page, then its wss
    // WebSocket with the page's own origin takes a seat.
    void servesThePageToo()
    {
        TableServer server;
        server.useTls(m_configuration);
        server.setWebRoot(QStringLiteral(":/test-web"));
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const QByteArray host = "127.0.0.1:" + QByteArray::number(server.port());
        const halbeet::testing::HttpReply page = halbeet::testing::HttpExchange(
            server.port(), "GET / HTTP/1.1\r\nHost: " + host + "\r\nAccept-Encoding: gzip\r\n\r\n", true);
        QVERIFY2(page.closedByServer, page.raw.left(300).constData());
        QCOMPARE(page.status(), 200);
        QFile index(QStringLiteral(":/test-web/index.html"));
        QVERIFY(index.open(QIODevice::ReadOnly));
        QCOMPARE(page.body(), index.readAll());
        QVERIFY(page.header("Content-Security-Policy").value_or(QByteArray()).contains("wss://" + host));

        QWebSocket socket(QStringLiteral("https://") + QString::fromLatin1(host));
        connect(&socket, &QWebSocket::sslErrors, &socket, [&](const QList<QSslError>&) { socket.ignoreSslErrors(); });
        QWebSocketHandshakeOptions options;
        options.setSubprotocols({QStringLiteral("halbeet.v1")});
        socket.open(QNetworkRequest(QUrl(QStringLiteral("wss://") + QString::fromLatin1(host))), options);
        QVERIFY(waitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000));
        socket.sendTextMessage(QString::fromStdString(EncodeClientMessage(Hello{ProtocolVersion, "Page", "", "", {}})));
        QVERIFY(waitUntil([&] { return server.tableCount() == 1; }, 5000));
    }

    // The server taken down while a handshake is under way ends that connection with it; the
    // sanitizer build watches the socket that goes in the middle of its handshake.
    void goesWithAHandshakeUnderWay()
    {
        ServerLimits limits;
        limits.connectionsPerAddress = 1;
        auto server = std::make_unique<TableServer>(limits);
        server->useTls(m_configuration);
        QVERIFY(server->listen(QHostAddress::LocalHost, 0));
        QSignalSpy dropped(server.get(), &TableServer::dropped);
        QTcpSocket silent;
        silent.connectToHost(QHostAddress::LocalHost, server->port());
        QVERIFY(silent.waitForConnected(5000));
        // A second one turned away shows that the first is held, in its handshake.
        QTcpSocket second;
        second.connectToHost(QHostAddress::LocalHost, server->port());
        QVERIFY(waitUntil([&] { return !dropped.isEmpty(); }, 5000));
        server.reset();
        QVERIFY(
            waitUntil([&] { return silent.state() == QAbstractSocket::UnconnectedState; }, 5000));
    }
};

QTEST_GUILESS_MAIN(TstTlsServer)
#include "tst_tls_server.moc"
