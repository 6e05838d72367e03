// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Program start-up: the language is read once from the settings file, the style and the
// application's icon are set, and the main window (which creates every other window) is
// built, sized and centred. The game program and the tests share this path.

#include "core/game.h"

#include <memory>

class QApplication;

namespace halbeet {

class MainWindow;

// Reads LANGUAGE/LANG and fixes the language of the run; installs the style and keeps every
// window on the screen.
void prepareApplication(QApplication& app);
// The main window, not yet shown, at its fixed size and centred on the screen.
std::unique_ptr<MainWindow> createMainWindow(GameModel& game);

} // namespace halbeet
