// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the table server's command line.

#include "server/server_options.h"

#include "net/web_origin.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace halbeet::server {

QString DefaultStateFolder(const Environment& environment)
{
    QString base = environment("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = environment("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home))
            return {};
        base = home + QStringLiteral("/.local/state");
    }
    return QDir::cleanPath(base + QStringLiteral("/halbeet"));
}

ServerCommandLine ParseServerCommandLine(const QStringList& arguments,
                                         const Environment& environment, const QString& currentDir)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Halbeet table server: players meet at tables by code over WebSockets; no display needed.\n"
        "It logs to standard error and, on SIGTERM or SIGINT, keeps every table in progress in\n"
        "its state folder, to offer it again under the same code at the next start."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Listen on this IPv4 or IPv6 address (default 127.0.0.1; "
                       "0.0.0.0 or :: for every interface)."),
        QStringLiteral("address"));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral(
            "Listen on this TCP port (default %1; 0: any free port, which the log names).")
            .arg(DefaultPort),
        QStringLiteral("n"));
    const QCommandLineOption maxTables(
        QStringLiteral("max-tables"),
        QStringLiteral("Hold at most this many tables (1 to %1, default %2).")
            .arg(MostTables)
            .arg(DefaultMaxTables),
        QStringLiteral("n"));
    const QCommandLineOption tlsCert(
        QStringLiteral("tls-cert"),
        QStringLiteral("Serve TLS (wss) with this PEM certificate (with --tls-key)."),
        QStringLiteral("file"));
    const QCommandLineOption tlsKey(
        QStringLiteral("tls-key"),
        QStringLiteral("The PEM private key of --tls-cert, without a passphrase."),
        QStringLiteral("file"));
    const QCommandLineOption stateDir(
        QStringLiteral("state-dir"),
        QStringLiteral(
            "Keep tables across a restart in this folder (default $XDG_STATE_HOME/halbeet or "
            "~/.local/state/halbeet)."),
        QStringLiteral("dir"));
    const QCommandLineOption allowOrigin(
        QStringLiteral("allow-origin"),
        QStringLiteral("Let pages at this origin (https://host or https://host:port) take a seat "
                       "through a browser; repeatable. Without it only this server's own page, "
                       "opened by IP address or localhost, and programs may."),
        QStringLiteral("url"));
    for (const QCommandLineOption* option :
         {&help, &version, &listen, &port, &maxTables, &tlsCert, &tlsKey, &stateDir, &allowOrigin})
        parser.addOption(*option);

    const QString program = arguments.isEmpty() ? QStringLiteral("halbeet-server")
                                                : QFileInfo(arguments.first()).fileName();
    const QString tryHelp =
        QStringLiteral("\nTry '%1 --help' for more information.\n").arg(program);
    const auto refuse = [&](const QString& why) {
        return ServerCommandLine{
            ServerCommandLine::Action::Error, program + QStringLiteral(": ") + why + tryHelp, {}};
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help)) {
        // helpText() names the program after QCoreApplication's arguments; say it ourselves.
        QString text = parser.helpText();
        text = QStringLiteral("Usage: %1 [options]").arg(program) +
               text.mid(text.indexOf(QLatin1Char('\n')));
        return {ServerCommandLine::Action::Help, text, {}};
    }
    if (parser.isSet(version))
        return {ServerCommandLine::Action::Version,
                QStringLiteral("%1 %2\n").arg(program, QStringLiteral(HALBEET_VERSION)),
                {}};
    if (!parser.positionalArguments().isEmpty())
        return refuse(
            QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));

    // An option given twice is a slip in a unit file or a script: say so rather than pick one.
    for (const QCommandLineOption* option :
         {&listen, &port, &maxTables, &tlsCert, &tlsKey, &stateDir}) {
        if (parser.values(*option).size() > 1)
            return refuse(
                QStringLiteral("--%1 given more than once.").arg(option->names().constFirst()));
    }

    ServerCommandLine result;
    ServerOptions& options = result.options;
    if (parser.isSet(listen)) {
        const QString text = parser.value(listen);
        // QHostAddress takes a scope (fe80::1%eth0) and nothing but a literal address.
        if (!options.listen.setAddress(text))
            return refuse(QStringLiteral("--listen wants an IP address, not '%1'.").arg(text));
    }
    if (parser.isSet(port)) {
        bool ok = false;
        const uint value = parser.value(port).toUInt(&ok, 10);
        if (!ok || value > 65535)
            return refuse(QStringLiteral("--port wants a number from 0 to 65535, not '%1'.")
                              .arg(parser.value(port)));
        options.port = static_cast<quint16>(value);
    }
    if (parser.isSet(maxTables)) {
        bool ok = false;
        const int value = parser.value(maxTables).toInt(&ok, 10);
        if (!ok || value < 1 || value > MostTables)
            return refuse(QStringLiteral("--max-tables wants a number from 1 to %1, not '%2'.")
                              .arg(MostTables)
                              .arg(parser.value(maxTables)));
        options.maxTables = value;
    }
    if (parser.isSet(tlsCert) != parser.isSet(tlsKey))
        return refuse(QStringLiteral("--tls-cert and --tls-key go together."));
    options.tlsCertificate = parser.value(tlsCert);
    options.tlsKey = parser.value(tlsKey);
    if (parser.isSet(tlsCert) && (options.tlsCertificate.isEmpty() || options.tlsKey.isEmpty()))
        return refuse(QStringLiteral("--tls-cert and --tls-key want a file each."));
    if (parser.isSet(stateDir)) {
        const QString dir = parser.value(stateDir);
        if (dir.isEmpty())
            return refuse(QStringLiteral("--state-dir wants a folder."));
        options.stateDir = QDir::cleanPath(QDir(currentDir).absoluteFilePath(dir));
    } else {
        options.stateDir = DefaultStateFolder(environment);
    }
    for (const QString& origin : parser.values(allowOrigin)) {
        const QString normalized = net::NormalizedOrigin(origin);
        if (normalized.isEmpty())
            return refuse(QStringLiteral("--allow-origin wants http(s)://host[:port] and nothing "
                                         "after it, not '%1'.")
                              .arg(origin));
        if (!options.allowedOrigins.contains(normalized))
            options.allowedOrigins << normalized;
    }
    return result;
}

} // namespace halbeet::server
