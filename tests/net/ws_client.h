// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A client of the table server for tests, as a program at another computer would be: it
// connects (ws or wss) to the loopback address, reads what it is sent and, while it has
// answers left, answers for its seat with a choice its view offers.

#include "net/protocol.h"
#include "wait_until.h"

#include <QNetworkRequest>
#include <QSslError>
#include <QWebSocket>
#include <QWebSocketHandshakeOptions>

#include <limits>

namespace halbeet::testing {

class WsClient : public QObject {
  public:
    // scheme "wss": the server's throwaway test certificate is taken whatever it says.
    // host: a loopback address as a URL writes it, 127.0.0.1 or [::1].
    explicit WsClient(quint16 port, const QString& scheme = QStringLiteral("ws"),
                      const QString& host = QStringLiteral("127.0.0.1"))
    {
        connect(&socket, &QWebSocket::textMessageReceived, this,
                [this](const QString& text) { read(text); });
        connect(&socket, &QWebSocket::disconnected, this, [this] { closed = true; });
        connect(&socket, &QWebSocket::sslErrors, this,
                [this](const QList<QSslError>&) { socket.ignoreSslErrors(); });
        QWebSocketHandshakeOptions options;
        options.setSubprotocols({QStringLiteral("halbeet.v1")});
        socket.open(
            QNetworkRequest(QUrl(QStringLiteral("%1://%2:%3").arg(scheme, host).arg(port))),
            options);
    }
    bool waitOpen(int ms = 5000)
    {
        return waitUntil(
                   [this] { return socket.state() == QAbstractSocket::ConnectedState || closed; },
                   ms) &&
               !closed && socket.state() == QAbstractSocket::ConnectedState;
    }
    void say(const net::ClientMessage& message)
    {
        socket.sendTextMessage(QString::fromStdString(net::EncodeClientMessage(message)));
    }
    // Says hello and waits for the seat (or the refusal); true when seated.
    bool hello(const std::string& name, const std::string& code = {},
               const std::string& withToken = {})
    {
        say(net::Hello{net::ProtocolVersion, name, code, withToken, {}});
        return waitUntil([this] { return seat != 0 || closed || !byeReason.isEmpty(); }, 5000) &&
               seat != 0;
    }

    void read(const QString& text)
    {
        const auto message = net::DecodeServerMessage(text.toStdString());
        if (!message)
            return;
        if (const auto* welcome = std::get_if<net::Welcome>(&*message)) {
            seat = welcome->seat;
            table = welcome->table;
            if (!welcome->token.empty())
                token = welcome->token;
        } else if (const auto* update = std::get_if<net::TableUpdate>(&*message)) {
            // The view is rebuilt from the snapshot and the changes after it.
            if (!seatTable.apply(*update))
                return;
            last = seatTable.lastEvent();
            ++events;
            if (last.kind == SeatEvent::Kind::Snapshot) {
                snapshot = last;
                ++snapshots;
            }
            answer();
        } else if (const auto* bye = std::get_if<net::Bye>(&*message)) {
            byeReason = QString::fromStdString(bye->reason);
        }
    }
    void answer()
    {
        if (last.kind != SeatEvent::Kind::Asked || answersLeft <= 0)
            return;
        const TableView& v = last.view;
        // Bids of four or so: the deal is played, not thrown in.
        if (!v.legalBids.empty())
            say(net::BidMessage{v.legalBids[std::min<std::size_t>(2, v.legalBids.size() - 1)]});
        else if (!v.legalCards.empty())
            say(net::CardMessage{v.legalCards.front()});
        else
            return;
        --answersLeft;
    }
    // Asked, and no answer left to give: the table waits for this seat.
    bool holdsTheTable() const { return last.kind == SeatEvent::Kind::Asked && answersLeft <= 0; }

    QWebSocket socket;
    net::SeatTable seatTable;
    bool closed = false;
    int answersLeft = std::numeric_limits<int>::max();
    int seat = 0;
    std::string table;
    std::string token;
    SeatEvent last;
    SeatEvent snapshot;
    int events = 0;
    int snapshots = 0;
    QString byeReason;
};

// A view as the protocol writes it, to compare a client's with the server's.
inline std::string written(const TableView& view)
{
    SeatEvent event;
    event.kind = SeatEvent::Kind::Snapshot;
    event.view = view;
    return net::EncodeSeatEvent(event);
}

} // namespace halbeet::testing
