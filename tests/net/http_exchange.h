// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A browser's side of one HTTP exchange with the table server, for tests: raw bytes out, the
// whole answer back, and whether the server closed the connection after it. Plain or TLS, on
// the loopback address, bounded in time.

#include "wait_until.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QSslSocket>
#include <QString>

#include <memory>
#include <optional>

namespace halbeet::testing {

struct HttpReply {
    QByteArray raw;
    bool closedByServer = false;
    qint64 elapsedMs = 0;

    int status() const
    {
        const QList<QByteArray> first = raw.left(raw.indexOf("\r\n")).split(' ');
        return first.size() >= 2 && first[0] == "HTTP/1.1" ? first[1].toInt() : 0;
    }
    QByteArray head() const
    {
        const qsizetype end = raw.indexOf("\r\n\r\n");
        return end < 0 ? raw : raw.left(end + 2);
    }
    QByteArray body() const
    {
        const qsizetype end = raw.indexOf("\r\n\r\n");
        return end < 0 ? QByteArray() : raw.mid(end + 4);
    }
    // A header's value (name in any case); nothing when absent.
    std::optional<QByteArray> header(const QByteArray& name) const
    {
        for (const QByteArray& line : head().split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                return line.mid(colon + 1).trimmed();
        }
        return std::nullopt;
    }
};

// Sends `request` (in pieces of `chunk` bytes, 0: at once) and reads until the server closes
// or `ms` pass. tls: the server's throwaway certificate is taken whatever it says.
inline HttpReply HttpExchange(quint16 port, const QByteArray& request, bool tls = false, int ms = 5000)
{
    HttpReply reply;
    QElapsedTimer clock;
    clock.start();
    QSslSocket socket;
    bool gone = false;
    QObject::connect(&socket, &QSslSocket::readyRead, &socket, [&] { reply.raw += socket.readAll(); });
    QObject::connect(&socket, &QAbstractSocket::disconnected, &socket, [&] { gone = true; });
    // The server is in the same thread: its side goes on only while the event loop runs.
    if (tls) {
        socket.setPeerVerifyMode(QSslSocket::VerifyNone);
        socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
        if (!waitUntil([&] { return socket.isEncrypted() || gone; }, ms) || gone) {
            reply.closedByServer = gone;
            return reply;
        }
    } else {
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (!waitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState || gone; }, ms) || gone) {
            reply.closedByServer = gone;
            reply.elapsedMs = clock.elapsed();
            return reply;
        }
    }
    socket.write(request);
    reply.closedByServer = waitUntil([&] { return gone; }, ms);
    reply.raw += socket.readAll();
    reply.elapsedMs = clock.elapsed();
    return reply;
}

inline QByteArray GetRequest(const QByteArray& target, const QByteArray& extraHeaders = {},
                             const QByteArray& method = "GET")
{
    return method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1:4141\r\n" + extraHeaders + "\r\n";
}

} // namespace halbeet::testing
