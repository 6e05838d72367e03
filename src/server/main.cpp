// SPDX-License-Identifier: GPL-3.0-or-later
// halbeet-server: the table server on its own, without a display. It listens, offers again
// the tables kept at its last stop, logs what is worth knowing to standard error, and keeps
// every table somebody can come back to when it is stopped with SIGTERM or SIGINT.

#include "net/hosted_table.h"
#include "net/table_server.h"
#include "net/table_store.h"
#include "net/tls_files.h"
#include "server/log_throttle.h"
#include "server/server_options.h"
#include "support/quit_signals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>

#include <csignal>
#include <cstdio>
#include <optional>

using namespace halbeet;

namespace {

// One line per event; journald adds the time and the program's name.
void logLine(const QString& line)
{
    std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

QString listenName(const QHostAddress& address, quint16 port)
{
    return address.protocol() == QAbstractSocket::IPv6Protocol
               ? QStringLiteral("[%1]:%2").arg(address.toString()).arg(port)
               : QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}

// Where a browser finds the page: the listening address, or a word for "any of them".
QString pageAddress(const QHostAddress& address, quint16 port, bool tls)
{
    const QString scheme = tls ? QStringLiteral("https") : QStringLiteral("http");
    if (address == QHostAddress::Any || address == QHostAddress::AnyIPv4 || address == QHostAddress::AnyIPv6)
        return QStringLiteral("%1://<an address of this computer>:%2/").arg(scheme).arg(port);
    return QStringLiteral("%1://%2/").arg(scheme, listenName(address, port));
}

// The tables kept at the last stop, offered again; a file that cannot be used is set aside.
void restoreTables(net::TableServer& server, const net::TableStore& store)
{
    for (const net::TableStore::Entry& entry : store.readAll()) {
        std::string error = entry.error;
        if (entry.table && server.restoreTable(*entry.table, &error)) {
            store.remove(entry.code);
            logLine(QStringLiteral("table %1 restored: %2 player(s) may come back")
                        .arg(entry.code)
                        .arg(server.table(entry.code)->awaitedCount()));
            continue;
        }
        const QString aside = store.setAside(entry.code);
        logLine(QStringLiteral("table file %1 not used (%2); %3")
                    .arg(entry.file, QString::fromStdString(error),
                         aside.isEmpty() ? QStringLiteral("removed")
                                         : QStringLiteral("moved to ") + aside));
    }
}

// Every table somebody can come back to, written; false when one could not be.
bool saveTables(const net::TableServer& server, const std::optional<net::TableStore>& store)
{
    bool allSaved = true;
    int saved = 0;
    for (const net::HostedTable* table : server.tables()) {
        if (table->awaitedCount() == 0)
            continue;
        if (!store) {
            logLine(QStringLiteral("table %1 not kept: no state folder").arg(table->code()));
            continue;
        }
        QString error;
        if (store->write(table->saved(), &error)) {
            ++saved;
            logLine(QStringLiteral("table %1 saved").arg(table->code()));
        } else {
            allSaved = false;
            logLine(QStringLiteral("table %1 not saved: %2").arg(table->code(), error));
        }
    }
    logLine(QStringLiteral("stopped; %1 table(s) saved").arg(saved));
    return allSaved;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const server::ServerCommandLine commandLine = server::ParseServerCommandLine(
        arguments, [](const char* name) { return qEnvironmentVariable(name); },
        QDir::currentPath());
    switch (commandLine.action) {
    case server::ServerCommandLine::Action::Help:
    case server::ServerCommandLine::Action::Version:
        std::fputs(commandLine.text.toLocal8Bit().constData(), stdout);
        return 0;
    case server::ServerCommandLine::Action::Error:
        std::fputs(commandLine.text.toLocal8Bit().constData(), stderr);
        return server::CommandLineErrorStatus;
    case server::ServerCommandLine::Action::Run:
        break;
    }
    const server::ServerOptions& options = commandLine.options;

    // Qt's own event loop rather than GLib's: with thousands of connections it costs the server
    // less than half the CPU per action (bench/server_load --glib measures the other).
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("halbeet-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HALBEET_VERSION));
    // A client gone in the middle of a write must not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    const QuitSignals stopSignals({SIGTERM, SIGINT});

    net::ServerLimits limits;
    limits.maxTables = options.maxTables;
    limits.allowedOrigins = options.allowedOrigins;
    net::TableServer tables(limits);
    std::optional<net::TableStore> store;

    // A signal is heard from now on, even one that comes while the TLS files are tried in a
    // loop of their own: the stop then waits for the main loop, or comes before it.
    int stopSignal = 0;
    bool running = false;
    int status = 0;
    const auto stop = [&] {
        logLine(
            QStringLiteral("stopping on %1")
                .arg(stopSignal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM")));
        status = saveTables(tables, store) ? 0 : 1;
        QCoreApplication::exit(status);
    };
    QObject::connect(&stopSignals, &QuitSignals::received, &app, [&](int signal) {
        if (stopSignal != 0)
            return;
        stopSignal = signal;
        if (running)
            stop();
    });
    const bool tls = !options.tlsCertificate.isEmpty();
    if (tls) {
        QSslConfiguration configuration;
        QString error;
        if (!net::LoadTlsFiles(options.tlsCertificate, options.tlsKey, configuration, &error)) {
            logLine(QStringLiteral("cannot use TLS: %1").arg(error));
            return server::StartFailureStatus;
        }
        tables.useTls(configuration);
    }

    if (options.stateDir.isEmpty()) {
        logLine(QStringLiteral(
            "no state folder (neither XDG_STATE_HOME nor HOME): tables are not kept at a stop"));
    } else {
        store.emplace(options.stateDir);
        QString error;
        if (!store->prepare(&error)) {
            logLine(QStringLiteral("cannot use the state folder: %1").arg(error));
            return server::StartFailureStatus;
        }
    }

    QString error;
    if (!tables.listen(options.listen, options.port, &error)) {
        logLine(QStringLiteral("cannot listen on %1: %2")
                    .arg(listenName(options.listen, options.port), error));
        return server::StartFailureStatus;
    }
    logLine(QStringLiteral("listening on %1 (%2), at most %3 tables")
                .arg(listenName(options.listen, tables.port()),
                     tls ? QStringLiteral("wss") : QStringLiteral("ws"))
                .arg(options.maxTables));
    // The page is built into the program when its web side was built with it.
    if (QFileInfo::exists(QStringLiteral(":/web/index.html")))
        logLine(QStringLiteral("web page: %1").arg(pageAddress(options.listen, tables.port(), tls)));
    else
        logLine(QStringLiteral("web page: none built into this program"));
    if (!options.allowedOrigins.isEmpty())
        logLine(QStringLiteral("pages allowed to take a seat from: %1")
                    .arg(options.allowedOrigins.join(QStringLiteral(", "))));
    if (store)
        restoreTables(tables, *store);

    QObject::connect(&tables, &net::TableServer::tableOpened, &app, [](const QString& code) {
        logLine(QStringLiteral("table %1 opened").arg(code));
    });
    // What clients cause is logged a line per address and reason a minute at most.
    server::LogThrottle throttle;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&tables, &net::TableServer::dropped, &app,
                     [&](const QString& address, const QString& reason) {
                         const auto line = throttle.pass(
                             address + QLatin1Char(' ') + reason,
                             QStringLiteral("connection from %1 closed: %2").arg(address, reason),
                             clock.elapsed());
                         if (line)
                             logLine(*line);
                     });
    if (stopSignal != 0) {
        stop();
        return status;
    }
    running = true;
    const int loopStatus = QCoreApplication::exec();
    return loopStatus != 0 ? loopStatus : status;
}
