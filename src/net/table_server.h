// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The server of tables: WebSocket connections on one port, tables made and joined by code, and
// on the same port the web page friends play from in a browser. It trusts nothing it receives. A connection's seat is the one the server gave it; a message
// larger than the protocol allows, of an unknown kind, out of range, or one too many in a
// second closes the connection; each address has a limit of connections and of wrong table
// codes; a connection that does not say hello in time, or goes quiet, is closed; a reader too
// slow for what it is sent is dropped (it catches up when it comes back).

#include <map>
#include <set>
#include <memory>
#include <vector>

#include <QHostAddress>
#include <QObject>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>

#include "net/client_message.h"
#include "net/hosted_table.h"
#include "net/web_files.h"

class QWebSocket;
class QWebSocketServer;

namespace halbeet::net {

class HostedTable;
class TlsListener;

struct ServerLimits {
    int maxTables = 100;
    int connectionsPerAddress = 16;
    // Messages a connection may send: this many a second, with a burst of twice as many.
    int messagesPerSecond = 10;
    // Wrong table codes an address may try in a minute.
    int wrongCodesPerMinute = 10;
    int helloTimeoutMs = 10000;
    int idleTimeoutMs = 120000;
    // Bytes sent to a connection and not yet written before it is dropped as too slow.
    qint64 maxQueuedBytes = 1 << 20;
    // How long a dropped player keeps his chair before a computer plays it.
    int graceMs = 60000;
    // Only a connection from this computer opens a table: the desktop game hosting its own
    // table (with maxTables 1) lets friends join it, and nobody open another.
    bool openOnlyFromLoopback = false;
    // Pages elsewhere whose WebSockets may take a seat ("https://cards.example.org"), besides
    // programs (no Origin) and this server's own page opened by address.
    QStringList allowedOrigins;
};

// Whether a connection from address may open a new table under these limits.
bool MayOpenTable(const ServerLimits& limits, const QHostAddress& address);

class TableServer final : public QObject {
    Q_OBJECT

public:
    explicit TableServer(ServerLimits limits = {}, QObject* parent = nullptr);
    ~TableServer() override;

    // Connections are TLS (wss) from now on, with this certificate and key; before listen().
    void useTls(const QSslConfiguration& configuration);
    // Listens on address:port (port 0: any free one). False with the reason on failure.
    bool listen(const QHostAddress& address, quint16 port, QString* error = nullptr);
    quint16 port() const;
    int tableCount() const { return static_cast<int>(m_tables.size()); }
    int connectionCount() const { return static_cast<int>(m_connections.size()); }
    HostedTable* table(const QString& code) const;
    std::vector<HostedTable*> tables() const;
    // A saved table offered again under its code (see HostedTable::restore). Nothing, with the
    // reason, for a code not of the server's kind or taken, no room, or a save that is no table.
    HostedTable* restoreTable(const HostedTable::Saved& saved, std::string* error = nullptr);
    // Says goodbye to every connection with this reason and closes it (a host who closes his
    // table, a server that stops).
    void closeEverything(const std::string& reason);
    // Where the web page's files are (by default the ones built into the program, :/web).
    void setWebRoot(const QString& root) { m_web.setRoot(root); }
    // Multiplies every table's waits (0: full speed, for tests and the load benchmark).
    void setTimeScale(double scale) { m_timeScale = scale; }

signals:
    void tableOpened(const QString& code);
    // The server closed a connection (a limit, a bad message, a wrong code), or refused one.
    void dropped(const QString& address, const QString& reason);

private:
    class Connection;
    void acceptTcp();
    // Counts a new socket against its address's limit, once; false when over it.
    bool admit(QTcpSocket* socket);
    // Reads a new connection's request head, without taking it from the socket, and sends
    // the connection on: to the WebSocket server, or answered as a web page, or refused.
    void readHead(QTcpSocket* socket);
    void sortRequest(QTcpSocket* socket, const QByteArray& head);
    // Sends a whole HTTP answer and closes the connection once it is written.
    void answerAndClose(QTcpSocket* socket, const HttpAnswer& answer);
    void acceptWebSocket();
    void received(Connection* connection, const QString& text);
    void hello(Connection* connection, const Hello& hello);
    void drop(Connection* connection, const std::string& reason);
    void forget(Connection* connection);
    // Pings every connection, and drops those quiet for longer than the idle time.
    void sweep();
    QString newTableCode() const;

    ServerLimits m_limits;
    QTcpServer m_tcp;
    // Listens instead of m_tcp when connections are TLS; its sockets come out encrypted.
    std::unique_ptr<TlsListener> m_tls;
    std::unique_ptr<QWebSocketServer> m_ws;
    WebFiles m_web;
    // Connections whose request head is awaited or whose HTTP answer is going out.
    std::set<QTcpSocket*> m_unsorted;
    std::map<QString, std::unique_ptr<HostedTable>> m_tables;
    std::map<Connection*, std::unique_ptr<Connection>> m_connections;
    // Connections closed, to be deleted once the event loop is out of their signals.
    std::vector<std::unique_ptr<Connection>> m_retired;
    std::shared_ptr<std::map<QString, int>> m_perAddress = std::make_shared<std::map<QString, int>>();
    // Wrong codes per address in the current minute, and when that minute began.
    std::map<QString, std::pair<qint64, int>> m_wrongCodes;
    QTimer m_sweep;
    double m_timeScale = 1.0;
    std::uint32_t m_nextSeed = 1;
};

} // namespace halbeet::net
