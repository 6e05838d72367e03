// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game's command line: --help and --version, and Qt's own options passed through to
// Qt. Read before any application object exists, so that --help works without a display.

#include <QString>
#include <QStringList>

namespace halbeet {

struct CommandLine {
    enum class Action { Play, Help, Version, Error };
    Action action = Action::Play;
    QString text; // the help text, the version line, or the error message
};

// Exit statuses: 0 after --help or --version, 2 for a command line the game does not take.
inline constexpr int CommandLineErrorStatus = 2;

CommandLine ParseCommandLine(const QStringList& arguments);

} // namespace halbeet
