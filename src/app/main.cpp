// Halbeet: the game program. It takes no arguments; its few settings live in Halbeet.ini.

#include "core/game.h"
#include "core/random.h"
#include "ui/main_window.h"
#include "ui/startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    halbeet::prepareApplication(app);

    // The one game of the run: the windows show it, the players and the human act on it.
    halbeet::GameModel game(&halbeet::ClockSeed);
    const auto window = halbeet::createMainWindow(game);
    window->show();
    return QApplication::exec();
}
