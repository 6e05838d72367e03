// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table server's command line: where it listens, how many tables it holds, its TLS files
// and the folder its tables are kept in across a restart. Plain: it reads the arguments and
// the environment it is given, and touches nothing.

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <functional>

namespace halbeet::server {

// Not a port of any common service; the same in the help, the manual and the systemd unit.
inline constexpr quint16 DefaultPort = 4141;
inline constexpr int DefaultMaxTables = 100;
inline constexpr int MostTables = 10000;

struct ServerOptions {
    QHostAddress listen = QHostAddress(QHostAddress::LocalHost);
    quint16 port = DefaultPort;
    int maxTables = DefaultMaxTables;
    // Both or neither: TLS (wss) with them, plain WebSockets without.
    QString tlsCertificate;
    QString tlsKey;
    // Absolute; empty when there is no home to put the default in (tables are then not kept).
    QString stateDir;
    // Pages elsewhere whose WebSockets may take a seat, as browsers write an origin.
    QStringList allowedOrigins;
};

struct ServerCommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString text; // the help text, the version line, or the error message
    ServerOptions options;
};

// The same statuses as the game's: 0 after --help or --version, 2 for a command line it does
// not take; 1 when it cannot listen, read its TLS files or make its state folder.
inline constexpr int CommandLineErrorStatus = 2;
inline constexpr int StartFailureStatus = 1;

// The value of an environment variable, empty when unset.
using Environment = std::function<QString(const char* name)>;

// $XDG_STATE_HOME/halbeet, else $HOME/.local/state/halbeet (relative values are ignored, as the
// XDG rules say); empty when neither gives an absolute path.
QString DefaultStateFolder(const Environment& environment);

// arguments[0] is the program. currentDir makes a relative --state-dir absolute.
ServerCommandLine ParseServerCommandLine(const QStringList& arguments,
                                         const Environment& environment, const QString& currentDir);

} // namespace halbeet::server
