// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a request head strictly.

#include "net/http_request.h"

#include <QHostAddress>

namespace halbeet::net {

namespace {

bool isTokenChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (!isTokenChar(c))
            return false;
    return true;
}

// Visible ASCII and blanks; no control character, nothing beyond ASCII (a browser sends
// none in the headers this server reads).
bool isFieldValue(QByteArrayView text)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u >= 0x7f)
            return false;
    }
    return true;
}

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

bool isDigits(QByteArrayView text, qsizetype most)
{
    if (text.isEmpty() || text.size() > most)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Splits "name:port" / "[v6]:port" into the name (brackets kept) and the port; false when the
// port is there and not a port.
bool splitHost(QByteArrayView host, QByteArrayView& name)
{
    qsizetype colon = -1;
    if (host.startsWith('[')) {
        const qsizetype close = host.indexOf(']');
        if (close < 0)
            return false;
        if (close + 1 < host.size()) {
            if (host[close + 1] != ':')
                return false;
            colon = close + 1;
        }
    } else {
        colon = host.indexOf(':');
    }
    name = colon < 0 ? host : host.first(colon);
    if (colon < 0)
        return true;
    const QByteArrayView port = host.sliced(colon + 1);
    return isDigits(port, 5) && port.toInt() <= 65535;
}

bool isDottedQuad(QByteArrayView name)
{
    int parts = 0;
    for (const QByteArrayView part : QByteArray(name.toByteArray()).split('.')) {
        if (!isDigits(part, 3) || part.toInt() > 255)
            return false;
        ++parts;
    }
    return parts == 4;
}

bool isBracketedV6(QByteArrayView name)
{
    if (name.size() < 4 || !name.startsWith('[') || !name.endsWith(']'))
        return false;
    const QByteArrayView inside = name.sliced(1, name.size() - 2);
    for (const char c : inside) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && c != ':' && c != '.')
            return false;
    }
    QHostAddress address;
    return address.setAddress(QString::fromLatin1(inside)) &&
           address.protocol() == QAbstractSocket::IPv6Protocol;
}

bool isHostName(QByteArrayView name)
{
    if (name.isEmpty() || name.size() > 253 || name.startsWith('.') || name.startsWith('-'))
        return false;
    for (const char c : name) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
              c == '-'))
            return false;
    }
    return true;
}

} // namespace

std::optional<QByteArray> HttpRequest::header(QByteArrayView name) const
{
    for (const auto& [key, value] : headers)
        if (key == name)
            return value;
    return std::nullopt;
}

int HttpRequest::headerCount(QByteArrayView name) const
{
    int count = 0;
    for (const auto& entry : headers)
        count += entry.first == name ? 1 : 0;
    return count;
}

qsizetype RequestHeadLength(QByteArrayView bytes)
{
    const qsizetype end = bytes.indexOf(QByteArrayView("\r\n\r\n"));
    return end < 0 ? 0 : end + 4;
}

std::optional<HttpRequest> ParseRequestHead(QByteArrayView head)
{
    if (!head.endsWith(QByteArrayView("\r\n\r\n")))
        return std::nullopt;
    head.chop(4);
    HttpRequest request;
    bool first = true;
    qsizetype from = 0;
    while (from <= head.size()) {
        qsizetype end = head.indexOf(QByteArrayView("\r\n"), from);
        if (end < 0)
            end = head.size();
        const QByteArrayView line = head.sliced(from, end - from);
        from = end + 2;
        if (line.contains('\r') || line.contains('\n'))
            return std::nullopt;
        if (first) {
            first = false;
            const QList<QByteArray> parts = line.toByteArray().split(' ');
            if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() || !isFieldValue(parts[1]) ||
                parts[1].contains('\t'))
                return std::nullopt;
            if (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0")
                return std::nullopt;
            request.method = parts[0];
            request.target = parts[1];
            request.version = parts[2];
            continue;
        }
        // No folded lines, no blank before the colon: both have been used to smuggle headers
        // past one reader and not another.
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.first(colon)))
            return std::nullopt;
        const QByteArrayView value = trimmedBlanks(line.sliced(colon + 1));
        if (!isFieldValue(value))
            return std::nullopt;
        request.headers.emplace_back(line.first(colon).toByteArray().toLower(), value.toByteArray());
    }
    const int hosts = request.headerCount("host");
    if (hosts > 1 || (hosts == 0 && request.version == "HTTP/1.1"))
        return std::nullopt;
    if (hosts == 1 && !IsValidHost(*request.header("host")))
        return std::nullopt;
    return request;
}

bool IsWebSocketUpgrade(const HttpRequest& request)
{
    const std::optional<QByteArray> upgrade = request.header("upgrade");
    if (!upgrade)
        return false;
    for (const QByteArray& protocol : upgrade->split(','))
        if (protocol.trimmed().toLower() == "websocket")
            return true;
    return false;
}

bool AcceptsGzip(const HttpRequest& request)
{
    for (const auto& [name, value] : request.headers) {
        if (name != "accept-encoding")
            continue;
        for (const QByteArray& item : value.split(',')) {
            const QList<QByteArray> parts = item.split(';');
            const QByteArray coding = parts[0].trimmed().toLower();
            if (coding != "gzip" && coding != "*")
                continue;
            bool refused = false;
            for (qsizetype i = 1; i < parts.size(); ++i) {
                const QByteArray parameter = parts[i].trimmed().toLower();
                if (parameter.startsWith("q=")) {
                    bool ok = false;
                    const double q = parameter.mid(2).toDouble(&ok);
                    refused = !ok || q <= 0.0;
                }
            }
            if (!refused)
                return true;
        }
    }
    return false;
}

bool IsValidHost(QByteArrayView host)
{
    QByteArrayView name;
    if (!splitHost(host, name))
        return false;
    return name.startsWith('[') ? isBracketedV6(name) : isHostName(name);
}

bool IsAddressHost(QByteArrayView host)
{
    QByteArrayView name;
    if (!IsValidHost(host) || !splitHost(host, name))
        return false;
    return name.compare(QByteArrayView("localhost"), Qt::CaseInsensitive) == 0 || isDottedQuad(name) ||
           isBracketedV6(name);
}

} // namespace halbeet::net
