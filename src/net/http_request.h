// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The head of a request on the table server's port, read before it is known whether the
// connection is a table's WebSocket or a browser fetching the page: strictly, since whatever
// passes here may end up in a response header or decide who may open a seat.

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <utility>
#include <vector>

namespace halbeet::net {

// A browser's head is well under 2 KiB; one that does not end within this is refused (431).
inline constexpr qsizetype MaxRequestHeadBytes = 8 * 1024;

struct HttpRequest {
    QByteArray method;
    QByteArray target;  // as sent: "/", "/app.js?v=2"
    QByteArray version; // "HTTP/1.0" or "HTTP/1.1"
    // Names in lower case, values without the blanks around them, in the order sent.
    std::vector<std::pair<QByteArray, QByteArray>> headers;

    // The first value of a header (name in lower case); nothing when it was not sent.
    std::optional<QByteArray> header(QByteArrayView name) const;
    int headerCount(QByteArrayView name) const;
};

// The length of the head at the start of bytes, its blank line included; 0 while it has not
// all arrived.
qsizetype RequestHeadLength(QByteArrayView bytes);

// The head (request line, header lines, blank line, CRLF throughout), or nothing when it is
// malformed: a bare CR or LF, a folded or nameless header line, a control character, another
// version than HTTP/1.0 and 1.1, no single valid Host where HTTP/1.1 requires one.
std::optional<HttpRequest> ParseRequestHead(QByteArrayView head);

// A WebSocket opening: its Upgrade header names websocket.
bool IsWebSocketUpgrade(const HttpRequest& request);
// The request takes a gzip-encoded body (Accept-Encoding names gzip, or *, without q=0).
bool AcceptsGzip(const HttpRequest& request);

// A Host header of safe characters only: a name of letters, digits, dots and hyphens, an IPv4
// address or a bracketed IPv6 address, then an optional port.
bool IsValidHost(QByteArrayView host);
// A valid Host whose name is an IP address (IPv4, or [IPv6]) or localhost: a page reached
// this way was not reached through somebody's DNS name.
bool IsAddressHost(QByteArrayView host);

} // namespace halbeet::net
