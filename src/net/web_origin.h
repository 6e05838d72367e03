// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which pages may open a seat at this server's tables. A browser names the page a WebSocket
// comes from in its Origin header; any page on the web could otherwise take a seat in the name
// of whoever opens it.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace halbeet::net {

// An origin as browsers write it: scheme://host or scheme://host:port, in lower case, the
// scheme's own port left out, IPv6 in brackets. Empty for what is no http(s) origin (a path, a
// user, a query, another scheme, no host).
QString NormalizedOrigin(const QString& url);

// Whether an upgrade with this Origin (none: not from a browser) and Host may go on: no
// Origin; the server's own page opened by address (Origin http(s)://Host where Host is an IP
// address or localhost, never a name that somebody's DNS may point here); or an origin in
// `allowed` (normalized).
bool OriginAllowed(const std::optional<QByteArray>& origin, const std::optional<QByteArray>& host,
                   const QStringList& allowed);

} // namespace halbeet::net
