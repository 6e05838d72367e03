// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The answers the table server gives a browser on its port: the page's files, built into the
// program, and the refusals (a malformed or too large request, a foreign page's WebSocket).
// Every answer closes its connection and carries the headers that keep the page to itself.

#include "net/http_request.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace halbeet::net {

struct HttpAnswer {
    int status = 0;
    QByteArray bytes; // the whole response, head and body
};

class WebFiles {
public:
    // The page's files: index.html, its scripts and styles, each perhaps beside a .gz of itself.
    explicit WebFiles(QString root = QStringLiteral(":/web"));
    void setRoot(const QString& root);
    const QString& root() const { return m_root; }

    // A GET or HEAD: a file of the root by its exact name ("/" is index.html), the gzip form
    // when the browser takes it, 304 when it names that form's tag (If-None-Match); 404 for
    // every other path, 405 for another method.
    HttpAnswer answer(const HttpRequest& request) const;

    // A refusal without a file: 400, 403, 404, 405, 408, 431. request, when there is one, only
    // shapes the headers.
    static HttpAnswer refusal(int status, const HttpRequest* request = nullptr);

    // The policy for a page served on this Host (nothing when unknown): its own scripts,
    // styles and images, and WebSockets back to this very host.
    static QByteArray contentSecurityPolicy(const std::optional<QByteArray>& host);

private:
    QString m_root;
    // The names in the root, read once: a resource root does not change while the program runs.
    mutable QStringList m_names;
    mutable bool m_listed = false;
    // Each file's entity tag, made the first time it is served.
    mutable QHash<QString, QByteArray> m_tags;
};

} // namespace halbeet::net
