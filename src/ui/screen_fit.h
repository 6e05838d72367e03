// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every window of the program on its screen, whole: a window larger than the room the screen
// leaves (a high scale factor, a small screen) is made smaller, and one reaching past an edge
// is moved back in, frame and title bar included.

#include <QMargins>
#include <QRect>

class QApplication;
class QWidget;

namespace halbeet {

// The window frame assumed before the window system has framed a window: a title bar and
// thin borders.
inline constexpr QMargins GuessedFrame{8, 32, 8, 8};

// Where a window of this outer size and position goes: no larger than the available area less
// the frame (but never under the minimum), and moved so its frame lies inside that area.
QRect fittedGeometry(const QRect& geometry, const QMargins& frame, const QSize& minimum,
                     const QRect& available);

// Fits one window now, on the screen it is on.
void fitToScreen(QWidget* window);

// Fits every window of the application as it is shown.
void installScreenFit(QApplication& app);

} // namespace halbeet
