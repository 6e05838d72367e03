// SPDX-License-Identifier: GPL-3.0-or-later
// Halbeet: the game program. Without options it starts the game; --help and --version answer
// on the terminal; its few settings live in Halbeet.ini.

#include "core/game.h"
#include "app/command_line.h"
#include "core/random.h"
#include "support/quit_signals.h"
#include "ui/main_window.h"
#include "ui/startup.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const halbeet::CommandLine commandLine = halbeet::ParseCommandLine(arguments);
    switch (commandLine.action) {
    case halbeet::CommandLine::Action::Help:
    case halbeet::CommandLine::Action::Version:
        std::fputs(commandLine.text.toLocal8Bit().constData(), stdout);
        return 0;
    case halbeet::CommandLine::Action::Error:
        std::fputs(commandLine.text.toLocal8Bit().constData(), stderr);
        return halbeet::CommandLineErrorStatus;
    case halbeet::CommandLine::Action::Play:
        break;
    }

    QApplication app(argc, argv);
    halbeet::prepareApplication(app);

    // The one game of the run: the windows show it, the players and the human act on it.
    halbeet::GameModel game(&halbeet::ClockSeed);
    const auto window = halbeet::createMainWindow(game);
    // Logout and shutdown keep the game as Exit does, without a question nobody could answer.
    const halbeet::QuitSignals quitSignals({SIGTERM, SIGHUP});
    QObject::connect(&quitSignals, &halbeet::QuitSignals::received, window.get(), &halbeet::MainWindow::endOnSignal);
    window->showRestored();
    return QApplication::exec();
}
