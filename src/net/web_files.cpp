// SPDX-License-Identifier: GPL-3.0-or-later
// The page's files and the refusals, as HTTP responses.

#include "net/web_files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <utility>

namespace halbeet::net {

namespace {

// Only these kinds are served: a file of another kind in the root is no part of the page.
QByteArray contentType(const QString& name)
{
    static const std::pair<const char*, const char*> types[] = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".svg", "image/svg+xml"},
        {".json", "application/json"},
        {".png", "image/png"},
        {".webmanifest", "application/manifest+json"},
    };
    for (const auto& [extension, type] : types)
        if (name.endsWith(QLatin1String(extension)))
            return type;
    return {};
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 431: return "Request Header Fields Too Large";
    default: return "Error";
    }
}

std::optional<QByteArray> hostOf(const HttpRequest* request)
{
    return request ? request->header("host") : std::nullopt;
}

QByteArray response(int status, const std::vector<std::pair<QByteArray, QByteArray>>& headers,
                     const std::optional<QByteArray>& host, const QByteArray& body, qsizetype length)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const auto& [name, value] : headers)
        out += name + ": " + value + "\r\n";
    // A 304 has no body, and its length would be the one of the file it stands for: none is said.
    if (status != 304)
        out += "Content-Length: " + QByteArray::number(length) + "\r\n";
    out += "Content-Security-Policy: " + WebFiles::contentSecurityPolicy(host) + "\r\n";
    out += "X-Content-Type-Options: nosniff\r\n"
           "Referrer-Policy: no-referrer\r\n"
           "Connection: close\r\n"
           "\r\n";
    return out + body;
}

// True when If-None-Match names tag (or is "*"): the browser holds these very bytes. Weak
// tags compare as strong ones, as a GET's check allows.
bool holdsAlready(const HttpRequest& request, const QByteArray& tag)
{
    const std::optional<QByteArray> held = request.header("if-none-match");
    if (!held)
        return false;
    for (QByteArray one : held->split(',')) {
        one = one.trimmed();
        if (one.startsWith("W/"))
            one = one.mid(2);
        if (one == "*" || one == tag)
            return true;
    }
    return false;
}

} // namespace

WebFiles::WebFiles(QString root) : m_root(std::move(root)) {}

void WebFiles::setRoot(const QString& root)
{
    m_root = root;
    m_names.clear();
    m_listed = false;
}

QByteArray WebFiles::contentSecurityPolicy(const std::optional<QByteArray>& host)
{
    // The Host is checked character by character before it gets here (IsValidHost): nothing
    // in it can end a directive or the header.
    QByteArray connect = "'self'";
    if (host && IsValidHost(*host))
        connect += " ws://" + *host + " wss://" + *host;
    return "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; connect-src " +
           connect + "; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
}

HttpAnswer WebFiles::refusal(int status, const HttpRequest* request)
{
    const QByteArray body = QByteArray::number(status) + ' ' + reasonPhrase(status) + '\n';
    std::vector<std::pair<QByteArray, QByteArray>> headers{{"Content-Type", "text/plain; charset=utf-8"},
                                                           {"Cache-Control", "no-cache"}};
    if (status == 405)
        headers.emplace_back("Allow", "GET, HEAD");
    const bool withBody = !request || request->method != "HEAD";
    return {status, response(status, headers, hostOf(request), withBody ? body : QByteArray(), body.size())};
}

HttpAnswer WebFiles::answer(const HttpRequest& request) const
{
    if (request.method != "GET" && request.method != "HEAD")
        return refusal(405, &request);
    QByteArray path = request.target;
    const qsizetype query = path.indexOf('?');
    if (query >= 0)
        path.truncate(query);
    if (!path.startsWith('/'))
        return refusal(404, &request);
    // Exactly a name of the root, as it is written there: nothing decoded, no folders, so no
    // way out of it ("/../x", "/%2e%2e/", "//etc/passwd" are just names it does not have).
    const QString name = path == "/" ? QStringLiteral("index.html") : QString::fromLatin1(path.mid(1));
    if (!m_listed) {
        m_names = QDir(m_root).entryList(QDir::Files);
        m_listed = true;
    }
    const QByteArray type = contentType(name);
    if (type.isEmpty() || !m_names.contains(name))
        return refusal(404, &request);
    const bool hasGzip = m_names.contains(name + QStringLiteral(".gz"));
    const bool gzip = hasGzip && AcceptsGzip(request);
    QFile file(m_root + QLatin1Char('/') + name + (gzip ? QStringLiteral(".gz") : QString()));
    if (!file.open(QIODevice::ReadOnly))
        return refusal(404, &request);
    const QByteArray body = file.readAll();
    // The tag names the bytes sent, so the plain and the gzip form have tags of their own.
    QByteArray& tag = m_tags[file.fileName()];
    if (tag.isEmpty())
        tag = '"' + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex().left(20) + '"';

    std::vector<std::pair<QByteArray, QByteArray>> headers{{"Content-Type", type}, {"ETag", tag}};
    if (gzip)
        headers.emplace_back("Content-Encoding", "gzip");
    // A cache between keeps both forms apart, whichever this browser was sent.
    if (hasGzip)
        headers.emplace_back("Vary", "Accept-Encoding");
    // Every file is asked after again each time: a game updated since must not find the old
    // script beside its new page. The tag makes that a 304 of a few hundred bytes.
    headers.emplace_back("Cache-Control", "no-cache");
    if (holdsAlready(request, tag))
        return {304, response(304, headers, request.header("host"), QByteArray(), 0)};
    return {200, response(200, headers, request.header("host"), request.method == "HEAD" ? QByteArray() : body,
                          body.size())};
}

} // namespace halbeet::net
