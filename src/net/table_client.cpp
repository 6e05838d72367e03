// SPDX-License-Identifier: GPL-3.0-or-later
// A player's connection to a table server: hello, the seat's table, and coming back.

#include "net/table_client.h"

#include <QNetworkRequest>
#include <QSslError>
#include <QWebSocket>
#include <QWebSocketHandshakeOptions>

#include <algorithm>
#include <cctype>

namespace halbeet::net {

namespace {

// The longest wait between two tries to come back.
constexpr int MaxRetryDelayMs = 15000;
// A try that is not seated in this time is given up for the next one (a host that does not
// answer at all, where the system would wait minutes).
constexpr int AttemptMs = 10000;

} // namespace

TableClient::TableClient(QObject* parent) : QObject(parent)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &TableClient::open);
    m_attempt.setSingleShot(true);
    connect(&m_attempt, &QTimer::timeout, this, &TableClient::lost);
    m_chatClock.start();
}

TableClient::~TableClient()
{
    if (m_socket)
        m_socket->disconnect(this);
}

void TableClient::setReconnectTiming(int firstDelayMs, int giveUpAfterMs)
{
    m_firstDelayMs = std::max(1, firstDelayMs);
    m_giveUpAfterMs = std::max(0, giveUpAfterMs);
}

void TableClient::join(const QUrl& url, const std::string& code, const std::string& name, const std::string& token)
{
    dropSocket();
    m_retry.stop();
    m_attempt.stop();
    ++m_joins;
    m_url = url;
    // A code read aloud may be typed in small letters.
    m_code = code;
    std::transform(m_code.begin(), m_code.end(), m_code.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    m_name = name;
    m_token = token;
    m_welcome = {};
    m_table = {};
    m_seatedOnce = false;
    m_reconnecting = false;
    m_over = false;

    // What the server would cut the connection for is not sent at all.
    QString wrong;
    if (!IsAcceptableText(m_name, MaxNameChars))
        wrong = QStringLiteral("not a name");
    else if (!m_code.empty() && !IsTableCodeText(m_code))
        wrong = QStringLiteral("not a table code");
    else if (!m_token.empty() && !IsTokenText(m_token))
        wrong = QStringLiteral("not a token");
    else if (!url.isValid() || (url.scheme() != QLatin1String("ws") && url.scheme() != QLatin1String("wss")))
        wrong = QStringLiteral("not a table address");
    if (!wrong.isEmpty()) {
        // From the event loop, as every other end of a join comes.
        QTimer::singleShot(0, this, [this, wrong, joins = m_joins] {
            if (joins == m_joins)
                finish(wrong);
        });
        return;
    }
    open();
}

void TableClient::open()
{
    dropSocket();
    m_welcomedHere = false;
    m_socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    // A server message is a few kilobytes; anything near the cap is no message of ours.
    m_socket->setMaxAllowedIncomingMessageSize(MaxServerMessageBytes);
    m_socket->setMaxAllowedIncomingFrameSize(MaxServerMessageBytes);
    connect(m_socket, &QWebSocket::connected, this, &TableClient::opened);
    connect(m_socket, &QWebSocket::textMessageReceived, this, &TableClient::received);
    connect(m_socket, &QWebSocket::binaryMessageReceived, this, [this] { ++m_ignored; });
    // Not only `disconnected`: a connection refused or a handshake that fails never was one.
    connect(m_socket, &QWebSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::UnconnectedState)
            lost();
    });
    connect(m_socket, &QWebSocket::sslErrors, this, [this](const QList<QSslError>&) {
        if (m_ignoreCertificateErrors && m_socket)
            m_socket->ignoreSslErrors();
    });
    QWebSocketHandshakeOptions options;
    options.setSubprotocols({QString::fromLatin1(Subprotocol.data(), static_cast<qsizetype>(Subprotocol.size()))});
    m_attempt.start(AttemptMs);
    m_socket->open(QNetworkRequest(m_url), options);
}

void TableClient::opened()
{
    Hello hello{ProtocolVersion, m_name, m_code, m_token, std::nullopt};
    // Coming back: only the steps after the last one held are wanted.
    if (!m_token.empty() && m_table.hasView())
        hello.since = m_table.serial();
    m_socket->sendTextMessage(QString::fromStdString(EncodeClientMessage(hello)));
}

void TableClient::received(const QString& text)
{
    const auto message = DecodeServerMessage(text.toStdString());
    if (!message) {
        ++m_ignored;
        return;
    }
    if (const auto* welcome = std::get_if<Welcome>(&*message)) {
        const bool answer = !m_welcomedHere;
        // The answer to a hello carries the seat's token; a welcome without one only tells of
        // a change at the table.
        if (answer && welcome->token.empty()) {
            ++m_ignored;
            return;
        }
        if (!welcome->token.empty())
            m_token = welcome->token;
        // A table of another seat is no base for this one's steps.
        if (m_table.hasView() && m_table.view().seat.Seat != welcome->seat)
            m_table = {};
        m_welcome = *welcome;
        m_code = welcome->table;
        if (answer) {
            m_welcomedHere = true;
            m_freshView = true;
            m_seatedOnce = true;
            m_attempt.stop();
        }
        emit welcomed();
        if (answer && m_reconnecting) {
            m_reconnecting = false;
            emit reconnected();
        }
        return;
    }
    if (const auto* bye = std::get_if<Bye>(&*message)) {
        finish(QString::fromStdString(bye->reason));
        return;
    }
    // Nothing of a table comes before its seat is known.
    if (!m_welcomedHere) {
        ++m_ignored;
        return;
    }
    if (const auto* update = std::get_if<TableUpdate>(&*message)) {
        bool applied = false;
        if (update->whole && update->view.seat.Seat != m_welcome.seat) {
            applied = false;
        } else if (update->whole && m_freshView) {
            // The first whole table on a connection is the table as it stands, whatever was held
            // before (a server taken down and up again counts its steps afresh).
            SeatTable fresh;
            applied = fresh.apply(*update);
            if (applied)
                m_table = std::move(fresh);
        } else {
            applied = m_table.apply(*update);
        }
        if (!applied) {
            ++m_ignored;
            return;
        }
        m_freshView = false;
        emit stepped(m_table.lastEvent());
    } else if (const auto* refusal = std::get_if<Refused>(&*message)) {
        emit refused(QString::fromStdString(refusal->reason));
    } else if (const auto* line = std::get_if<ChatLine>(&*message)) {
        emit chatReceived(line->seat, QString::fromStdString(line->text));
    }
}

void TableClient::lost()
{
    m_attempt.stop();
    const QString error = m_socket ? m_socket->errorString() : QString();
    dropSocket();
    if (m_over || m_retry.isActive())
        return;
    // Never seated: the server could not be reached, or closed without a word.
    if (!m_seatedOnce) {
        finish(error.isEmpty() ? QStringLiteral("no connection") : error);
        return;
    }
    if (!m_reconnecting) {
        m_reconnecting = true;
        m_sinceDrop.start();
        m_nextDelayMs = m_firstDelayMs;
        emit connectionLost();
    }
    // The server keeps the chair a minute; tries stop a little after it would have gone.
    if (m_sinceDrop.elapsed() + m_nextDelayMs > m_giveUpAfterMs) {
        finish(QString::fromLatin1(GaveUpReason));
        return;
    }
    m_retry.start(m_nextDelayMs);
    m_nextDelayMs = std::min(2 * m_nextDelayMs, MaxRetryDelayMs);
}

void TableClient::finish(const QString& reason)
{
    if (m_over)
        return;
    m_over = true;
    m_reconnecting = false;
    m_retry.stop();
    m_attempt.stop();
    dropSocket();
    emit closed(reason);
}

void TableClient::dropSocket()
{
    if (!m_socket)
        return;
    QWebSocket* socket = std::exchange(m_socket, nullptr);
    m_welcomedHere = false;
    socket->disconnect(this);
    // This may run inside one of the socket's own signals: it goes from the event loop, and
    // says goodbye on its way if it still can.
    socket->deleteLater();
}

bool TableClient::connected() const
{
    return m_socket && m_welcomedHere && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool TableClient::send(const ClientMessage& message)
{
    if (!connected())
        return false;
    const std::string text = EncodeClientMessage(message);
    // The server cuts the connection for a message out of range (a bid of 1, a card of no
    // suit): such a slip of the caller goes nowhere instead.
    if (!DecodeClientMessage(text).message)
        return false;
    m_socket->sendTextMessage(QString::fromStdString(text));
    return true;
}

void TableClient::bid(std::int32_t storedBid) { send(BidMessage{storedBid}); }

void TableClient::play(TCardFace card) { send(CardMessage{card}); }

void TableClient::start() { send(StartMessage{}); }

bool TableClient::chat(const QString& text)
{
    const std::string utf8 = text.toStdString();
    if (!IsAcceptableText(utf8, MaxChatChars) || !connected())
        return false;
    // A few lines at once, then one a second: well inside what the server allows of all the
    // messages of a seat together.
    const double now = static_cast<double>(m_chatClock.elapsed());
    m_chatCredit = std::min<double>(ChatBurst, m_chatCredit + (now - m_chatCreditAt) / ChatIntervalMs);
    m_chatCreditAt = now;
    if (m_chatCredit < 1.0 || !send(ChatMessage{utf8}))
        return false;
    m_chatCredit -= 1.0;
    return true;
}

void TableClient::leave()
{
    if (m_over)
        return;
    if (connected()) {
        send(LeaveMessage{});
        // Closed rather than cut, so that the leave goes out first; the socket goes once closed.
        QWebSocket* socket = std::exchange(m_socket, nullptr);
        socket->disconnect(this);
        connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
        socket->flush();
        socket->close();
    }
    finish(QString::fromLatin1(LeftReason));
}

} // namespace halbeet::net
