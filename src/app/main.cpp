// Halbeet: the game program. It takes no arguments; its few settings live in Halbeet.ini.

#include "core/random.h"
#include "core/state.h"
#include "ui/main_window.h"
#include "ui/startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    halbeet::prepareApplication(app);

    // The one game state of the run, shared by the flow, the computer players and the windows.
    halbeet::TGameState state;
    const auto window = halbeet::createMainWindow(state, &halbeet::ClockSeed);
    window->show();
    return QApplication::exec();
}
