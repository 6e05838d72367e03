// SPDX-License-Identifier: GPL-3.0-or-later
// Connections, their limits, and the tables they sit at.

#include "net/table_server.h"

#include "net/hosted_table.h"
#include "net/http_request.h"
#include "net/table_store.h"
#include "net/tls_files.h"
#include "net/web_origin.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>

#include <algorithm>
#include <utility>

namespace halbeet::net {

// One WebSocket connection: the seat it was given, what it may still send this second, when it
// was last heard, and the bytes sent to it that it has not read yet.
class TableServer::Connection final : public SeatLink {
public:
    Connection(TableServer& server, QWebSocket* socket, QHostAddress address)
        : m_server(server), m_socket(socket), m_address(std::move(address))
    {
        m_credit = 2.0 * server.m_limits.messagesPerSecond;
        m_clock.start();
        m_helloTimer.setSingleShot(true);
        QObject::connect(&m_helloTimer, &QTimer::timeout, &m_helloTimer,
                         [this] { m_server.drop(this, "no hello in time"); });
        m_helloTimer.start(server.m_limits.helloTimeoutMs);
        // The hello timer is the receiver of the socket's signals too: they go with it.
        QObject::connect(m_socket, &QWebSocket::pong, &m_helloTimer, [this] { heard(); });
        QObject::connect(m_socket, &QWebSocket::bytesWritten, &m_helloTimer,
                         [this](qint64 written) { m_queued = std::max<qint64>(0, m_queued - written); });
    }
    ~Connection() override
    {
        m_socket->disconnect();
        m_socket->abort();
        m_socket->deleteLater();
    }

    void send(const std::string& text) override
    {
        if (m_closing)
            return;
        m_queued += static_cast<qint64>(text.size());
        if (m_queued > m_server.m_limits.maxQueuedBytes) {
            // Too slow a reader: dropped, it takes the table up again when it comes back.
            QTimer::singleShot(0, &m_helloTimer, [this] { m_server.drop(this, "too slow"); });
            m_closing = true;
            return;
        }
        m_socket->sendTextMessage(QString::fromStdString(text));
    }

    // A message arrived: false when it is one too many for this second.
    bool takeCredit()
    {
        const double rate = m_server.m_limits.messagesPerSecond;
        const double now = static_cast<double>(m_clock.elapsed()) / 1000.0;
        m_credit = std::min(2.0 * rate, m_credit + (now - m_lastCredit) * rate);
        m_lastCredit = now;
        if (m_credit < 1.0)
            return false;
        m_credit -= 1.0;
        return true;
    }
    // A message or a pong: the connection is alive. Only the time is noted; the server's sweep
    // looks at it (a timer per connection, restarted with every message, would cost a search
    // of every timer of the thread each time, thousands of them on a busy server).
    void heard() { m_lastHeard = m_clock.elapsed(); }
    qint64 quietMs() const { return m_clock.elapsed() - m_lastHeard; }
    void greeted() { m_helloTimer.stop(); }

    QWebSocket* socket() const { return m_socket; }
    const QHostAddress& address() const { return m_address; }
    int seat = 0;
    QString table;
    bool m_closing = false;

private:
    TableServer& m_server;
    QWebSocket* m_socket;
    QHostAddress m_address;
    QElapsedTimer m_clock;
    double m_credit = 0;
    double m_lastCredit = 0;
    qint64 m_lastHeard = 0;
    qint64 m_queued = 0;
    QTimer m_helloTimer;
};

bool MayOpenTable(const ServerLimits& limits, const QHostAddress& address)
{
    if (!limits.openOnlyFromLoopback)
        return true;
    // A listener on both protocols sees an IPv4 peer as an IPv4-mapped IPv6 address.
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    return address.isLoopback() || (mapped && QHostAddress(v4).isLoopback());
}

TableServer::TableServer(ServerLimits limits, QObject* parent)
    : QObject(parent), m_limits(limits),
      m_ws(std::make_unique<QWebSocketServer>(QStringLiteral("halbeet"), QWebSocketServer::NonSecureMode))
{
    m_ws->setSupportedSubprotocols({QString::fromLatin1(Subprotocol.data(), static_cast<int>(Subprotocol.size()))});
    m_ws->setHandshakeTimeout(limits.helloTimeoutMs);
    connect(&m_tcp, &QTcpServer::newConnection, this, &TableServer::acceptTcp);
    connect(m_ws.get(), &QWebSocketServer::newConnection, this, &TableServer::acceptWebSocket);
    // A third of the idle time: a live client's pong comes well before it would be dropped.
    m_sweep.setInterval(std::max(1000, limits.idleTimeoutMs / 3));
    connect(&m_sweep, &QTimer::timeout, this, &TableServer::sweep);
    m_sweep.start();
}

void TableServer::sweep()
{
    std::vector<Connection*> quiet;
    for (const auto& [raw, connection] : m_connections) {
        if (connection->m_closing)
            continue;
        if (connection->quietMs() >= m_limits.idleTimeoutMs)
            quiet.push_back(raw);
        else
            connection->socket()->ping();
    }
    for (Connection* connection : quiet)
        drop(connection, "idle");
}

TableServer::~TableServer()
{
    // Sockets still being sorted go first, quietly: their handlers speak of this server.
    for (QTcpSocket* socket : std::exchange(m_unsorted, {})) {
        socket->disconnect();
        delete socket;
    }
    m_retired.clear();
    m_tables.clear();
    m_connections.clear();
}

void TableServer::useTls(const QSslConfiguration& configuration)
{
    // A QTcpServer whose sockets come out once their handshake is done, so that the WebSocket
    // side stays as it is; the address's limit counts a socket from its accept on.
    m_tls = std::make_unique<TlsListener>(configuration, m_limits.helloTimeoutMs,
                                          [this](QTcpSocket* socket) { return admit(socket); });
    connect(m_tls.get(), &QTcpServer::pendingConnectionAvailable, this, &TableServer::acceptTcp);
}

bool TableServer::listen(const QHostAddress& address, quint16 port, QString* error)
{
    QTcpServer& server = m_tls ? *m_tls : m_tcp;
    // Qt's default queue of 50 connections not yet accepted drops the rest of a burst (a club
    // night's players arriving at once): their connects then wait for the system's retries,
    // seconds each. The system caps the queue at its own limit (somaxconn).
    server.setListenBacklogSize(4096);
    if (server.listen(address, port))
        return true;
    if (error)
        *error = server.errorString();
    return false;
}

quint16 TableServer::port() const { return m_tls ? m_tls->serverPort() : m_tcp.serverPort(); }

std::vector<HostedTable*> TableServer::tables() const
{
    std::vector<HostedTable*> all;
    for (const auto& [code, table] : m_tables)
        all.push_back(table.get());
    return all;
}

HostedTable* TableServer::restoreTable(const HostedTable::Saved& saved, std::string* error)
{
    const auto fail = [error](const char* why) -> HostedTable* {
        if (error)
            *error = why;
        return nullptr;
    };
    if (!IsTableCode(saved.code))
        return fail("not a table code");
    if (m_tables.count(saved.code))
        return fail("the code is taken");
    if (tableCount() >= m_limits.maxTables)
        return fail("no room for another table");
    const std::uint32_t seed = m_nextSeed++ ^ QRandomGenerator::system()->generate();
    auto hosted = std::make_unique<HostedTable>(saved.code, seed);
    hosted->setTimeScale(m_timeScale);
    hosted->setGraceMs(m_limits.graceMs);
    if (!hosted->restore(saved, error))
        return nullptr;
    return m_tables.emplace(saved.code, std::move(hosted)).first->second.get();
}

HostedTable* TableServer::table(const QString& code) const
{
    const auto it = m_tables.find(code);
    return it == m_tables.end() ? nullptr : it->second.get();
}

void TableServer::acceptTcp()
{
    QTcpServer& server = m_tls ? *m_tls : m_tcp;
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        // Without it small messages wait for the network stack, and a table crawls.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        if (!admit(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        readHead(socket);
    }
}

void TableServer::readHead(QTcpSocket* socket)
{
    m_unsorted.insert(socket);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_unsorted.erase(socket); });
    // Every handler of this stage has the deadline for its context: they end together.
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    const auto look = [this, socket, deadline] {
        // Peeked, not read: a WebSocket's head must reach the WebSocket server untouched.
        const QByteArray bytes = socket->peek(MaxRequestHeadBytes);
        const qsizetype length = RequestHeadLength(bytes);
        if (length == 0 && bytes.size() < MaxRequestHeadBytes)
            return;
        deadline->stop();
        socket->disconnect(deadline);
        deadline->deleteLater();
        if (length == 0) {
            emit dropped(socket->peerAddress().toString(), QStringLiteral("request head too large"));
            answerAndClose(socket, WebFiles::refusal(431));
            return;
        }
        sortRequest(socket, bytes.left(length));
    };
    connect(socket, &QIODevice::readyRead, deadline, look);
    connect(deadline, &QTimer::timeout, socket, [this, socket, deadline] {
        socket->disconnect(deadline);
        // Browsers open a connection or two ahead of need and may never use them: only one
        // that began a request and did not finish it is worth a line in the log.
        if (socket->bytesAvailable() > 0)
            emit dropped(socket->peerAddress().toString(), QStringLiteral("no request in time"));
        answerAndClose(socket, WebFiles::refusal(408));
    });
    connect(socket, &QAbstractSocket::disconnected, deadline, [socket] { socket->deleteLater(); });
    deadline->start(m_limits.helloTimeoutMs);
    // A TLS connection comes with its first bytes already read.
    if (socket->bytesAvailable() > 0)
        look();
}

void TableServer::sortRequest(QTcpSocket* socket, const QByteArray& head)
{
    const QString address = socket->peerAddress().toString();
    const std::optional<HttpRequest> request = ParseRequestHead(head);
    if (!request) {
        emit dropped(address, QStringLiteral("malformed request"));
        answerAndClose(socket, WebFiles::refusal(400));
        return;
    }
    if (!IsWebSocketUpgrade(*request)) {
        answerAndClose(socket, m_web.answer(*request));
        return;
    }
    if (request->method != "GET") {
        answerAndClose(socket, WebFiles::refusal(405, &*request));
        return;
    }
    // Refused before the WebSocket exists: a foreign page never holds a connection that counts
    // as a player.
    if (!OriginAllowed(request->header("origin"), request->header("host"), m_limits.allowedOrigins)) {
        emit dropped(address, QStringLiteral("origin not allowed"));
        answerAndClose(socket, WebFiles::refusal(403, &*request));
        return;
    }
    m_unsorted.erase(socket);
    m_ws->handleConnection(socket);
}

void TableServer::answerAndClose(QTcpSocket* socket, const HttpAnswer& answer)
{
    connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater, Qt::UniqueConnection);
    // A reader that never takes its answer does not hold its place for ever.
    QTimer::singleShot(m_limits.idleTimeoutMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    socket->write(answer.bytes);
    // Closed once the answer is written: one request a connection.
    socket->disconnectFromHost();
}

bool TableServer::admit(QTcpSocket* socket)
{
    static const char* const counted = "halbeetCounted";
    if (socket->property(counted).toBool())
        return true;
    const QString address = socket->peerAddress().toString();
    int& count = (*m_perAddress)[address];
    if (count >= m_limits.connectionsPerAddress) {
        emit dropped(address, QStringLiteral("too many connections from the address"));
        return false;
    }
    ++count;
    socket->setProperty(counted, true);
    // Counted until the socket goes, whatever becomes of its handshake; the counts are
    // shared with it, as the socket may outlive the server.
    connect(socket, &QObject::destroyed, socket, [counts = m_perAddress, address] {
        auto it = counts->find(address);
        if (it != counts->end() && --it->second <= 0)
            counts->erase(it);
    });
    return true;
}

void TableServer::acceptWebSocket()
{
    while (QWebSocket* socket = m_ws->nextPendingConnection()) {
        if (socket->subprotocol() != QLatin1String(Subprotocol.data(), static_cast<qsizetype>(Subprotocol.size()))) {
            socket->close(QWebSocketProtocol::CloseCodeProtocolError, QStringLiteral("protocol"));
            socket->deleteLater();
            continue;
        }
        socket->setMaxAllowedIncomingMessageSize(MaxMessageBytes);
        socket->setMaxAllowedIncomingFrameSize(MaxMessageBytes);
        auto connection = std::make_unique<Connection>(*this, socket, socket->peerAddress());
        Connection* raw = connection.get();
        m_connections.emplace(raw, std::move(connection));
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, raw](const QString& text) { received(raw, text); });
        connect(socket, &QWebSocket::binaryMessageReceived, this,
                [this, raw](const QByteArray&) { drop(raw, "binary message"); });
        connect(socket, &QWebSocket::disconnected, this, [this, raw] { forget(raw); });
    }
}

void TableServer::received(Connection* connection, const QString& text)
{
    if (connection->m_closing)
        return;
    if (!connection->takeCredit()) {
        drop(connection, "too many messages");
        return;
    }
    connection->heard();
    const std::string utf8 = text.toStdString();
    const DecodedClientMessage decoded = DecodeClientMessage(utf8);
    if (!decoded.message) {
        drop(connection, DecodeErrorName(decoded.error));
        return;
    }
    const ClientMessage& message = *decoded.message;
    if (const auto* greeting = std::get_if<Hello>(&message)) {
        if (connection->seat != 0) {
            drop(connection, "hello twice");
            return;
        }
        hello(connection, *greeting);
        return;
    }
    HostedTable* at = table(connection->table);
    if (connection->seat == 0 || !at) {
        drop(connection, "hello first");
        return;
    }
    const int seat = connection->seat;
    if (const auto* bid = std::get_if<BidMessage>(&message))
        at->bid(seat, bid->bid);
    else if (const auto* card = std::get_if<CardMessage>(&message))
        at->play(seat, card->card);
    else if (const auto* chat = std::get_if<ChatMessage>(&message))
        at->chat(seat, chat->text);
    else if (std::holds_alternative<StartMessage>(message))
        at->start(seat);
    else if (std::holds_alternative<LeaveMessage>(message)) {
        at->personLeft(seat, connection);
        connection->seat = 0;
        drop(connection, "left");
    }
}

void TableServer::hello(Connection* connection, const Hello& greeting)
{
    if (greeting.version != ProtocolVersion) {
        drop(connection, "protocol version");
        return;
    }
    connection->greeted();
    std::string token;
    if (greeting.table.empty()) {
        if (!MayOpenTable(m_limits, connection->address())) {
            drop(connection, "tables are opened here by the host only");
            return;
        }
        if (tableCount() >= m_limits.maxTables) {
            drop(connection, "no room for another table");
            return;
        }
        const QString code = newTableCode();
        auto hosted = std::make_unique<HostedTable>(code, m_nextSeed++ ^ QRandomGenerator::system()->generate());
        hosted->setTimeScale(m_timeScale);
        hosted->setGraceMs(m_limits.graceMs);
        HostedTable* raw = hosted.get();
        m_tables.emplace(code, std::move(hosted));
        connection->table = code;
        connection->seat = raw->seatPerson(greeting.name, connection, token);
        emit tableOpened(code);
        return;
    }
    const QString code = QString::fromStdString(greeting.table);
    HostedTable* at = table(code);
    if (!at) {
        // Codes are not to be guessed: an address has a few tries a minute.
        const qint64 minute = QDateTime::currentSecsSinceEpoch() / 60;
        auto& [since, count] = m_wrongCodes[connection->address().toString()];
        if (since != minute) {
            since = minute;
            count = 0;
        }
        ++count;
        drop(connection, count > m_limits.wrongCodesPerMinute ? "too many wrong codes" : "no such table");
        return;
    }
    connection->table = code;
    if (!greeting.token.empty()) {
        connection->seat = at->reseatPerson(greeting.token, connection, token, greeting.since);
        if (connection->seat == 0) {
            drop(connection, "unknown token");
            return;
        }
        // A connection the seat came back from may still be open (a drop not noticed yet, or a
        // second computer): it no longer speaks for the seat.
        std::vector<Connection*> replaced;
        for (const auto& [other, owned] : m_connections) {
            if (other != connection && other->seat == connection->seat && other->table == code)
                replaced.push_back(other);
        }
        for (Connection* other : replaced) {
            other->seat = 0;
            drop(other, "seat taken back elsewhere");
        }
        return;
    }
    connection->seat = at->seatPerson(greeting.name, connection, token);
    if (connection->seat == 0)
        drop(connection, "the table is full");
}

void TableServer::drop(Connection* connection, const std::string& reason)
{
    if (!m_connections.count(connection))
        return;
    if (reason != "left")
        emit dropped(connection->address().toString(), QString::fromStdString(reason));
    if (!connection->m_closing)
        connection->socket()->sendTextMessage(QString::fromStdString(EncodeServerMessage(Bye{reason})));
    connection->m_closing = true;
    connection->socket()->close(QWebSocketProtocol::CloseCodePolicyViolated, QString::fromStdString(reason));
    forget(connection);
}

void TableServer::closeEverything(const std::string& reason)
{
    std::vector<Connection*> open;
    for (const auto& entry : m_connections)
        open.push_back(entry.first);
    for (Connection* connection : open) {
        drop(connection, reason);
        // What was said goes out now: the server may be gone before the event loop comes back.
        connection->socket()->flush();
    }
}

void TableServer::forget(Connection* connection)
{
    auto it = m_connections.find(connection);
    if (it == m_connections.end())
        return;
    if (connection->seat != 0) {
        if (HostedTable* at = table(connection->table))
            at->personGone(connection->seat, connection);
    }
    // Deleted from the event loop: this may run inside one of the connection's own signals.
    m_retired.push_back(std::move(it->second));
    m_connections.erase(it);
    if (m_retired.size() == 1)
        QTimer::singleShot(0, this, [this] { m_retired.clear(); });
}

QString TableServer::newTableCode() const
{
    static constexpr char alphabet[] = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
    for (;;) {
        QString code;
        for (std::size_t i = 0; i < TableCodeLength; ++i)
            code += QLatin1Char(alphabet[QRandomGenerator::system()->bounded(static_cast<int>(sizeof alphabet - 1))]);
        if (!m_tables.count(code))
            return code;
    }
}

} // namespace halbeet::net
