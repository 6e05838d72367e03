// SPDX-License-Identifier: GPL-3.0-or-later
// The origins that may open a seat.

#include "net/web_origin.h"

#include "net/http_request.h"

#include <QUrl>

#include <algorithm>

namespace halbeet::net {

QString NormalizedOrigin(const QString& url)
{
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    if (parsed.host().isEmpty() || !parsed.userInfo().isEmpty() || parsed.hasQuery() || parsed.hasFragment() ||
        (!parsed.path().isEmpty() && parsed.path() != QLatin1String("/")))
        return {};
    // The ASCII form: a browser writes an international name in punycode.
    QString host = parsed.host(QUrl::FullyEncoded).toLower();
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    const int port = parsed.port();
    const int ownPort = scheme == QLatin1String("https") ? 443 : 80;
    return port < 0 || port == ownPort ? QStringLiteral("%1://%2").arg(scheme, host)
                                       : QStringLiteral("%1://%2:%3").arg(scheme, host).arg(port);
}

bool OriginAllowed(const std::optional<QByteArray>& origin, const std::optional<QByteArray>& host,
                   const QStringList& allowed)
{
    if (!origin)
        return true;
    if (host && IsAddressHost(*host)) {
        for (const QByteArrayView scheme : {QByteArrayView("http://"), QByteArrayView("https://")}) {
            if (origin->startsWith(scheme) &&
                QByteArrayView(*origin).sliced(scheme.size()).compare(*host, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    // "null" (a sandboxed frame, a file) and anything else that is no origin normalize to
    // nothing, and nothing is never listed.
    const QString normalized = NormalizedOrigin(QString::fromLatin1(*origin));
    return !normalized.isEmpty() && std::any_of(allowed.begin(), allowed.end(), [&](const QString& listed) {
               return NormalizedOrigin(listed) == normalized;
           });
}

} // namespace halbeet::net
