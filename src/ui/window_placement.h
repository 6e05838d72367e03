// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's size and state between runs: restored at the start, stored at the end,
// full screen on and off, and the glide step read from the framed window.

#include <QRect>
#include <QSize>

class QMainWindow;

namespace halbeet {

// Keeps track of the window's normal size while it is maximised or full screen, since some
// window managers resize a window to the whole screen before they say it is maximised: the
// size stored for the next start has to be the one the player chose.
class WindowPlacement {
public:
    explicit WindowPlacement(QMainWindow& window) : m_window(window) {}
    WindowPlacement(const WindowPlacement&) = delete;
    WindowPlacement& operator=(const WindowPlacement&) = delete;

    // The size the window opens at, and its smallest: the table unscaled.
    void setDefaultSize(QSize size) { m_defaultSize = size; }
    QSize defaultSize() const { return m_defaultSize; }

    // Shows the window as it was last closed (size, maximised, full screen); a size that no
    // longer fits the screen is brought back on it.
    void showRestored();
    // Stores the window's size and state in the settings file, as showRestored reads them.
    // A refused write is reported to the user.
    void saveWindowState();
    // A stored window size made to fit: at least the minimum, at most the available screen.
    static QSize fittedWindowSize(QSize wanted, QSize minimum, QSize frame, const QRect& available);
    // The size the window has, or would have once neither maximised nor full screen.
    QSize normalSize() const;
    // Full screen on and off; leaving it returns to a maximised or a normal window.
    void toggleFullScreen();
    // The window took this size (from its resize event).
    void resized(QSize size);
    // The glide step for the window as now framed. The step is in the table's logical pixels,
    // so it comes from the default size plus the frame a normal window has.
    int glideStep();

private:
    QMainWindow& m_window;
    QSize m_defaultSize;
    int m_frameHeight = 0; // of the window's frame in the normal state, once known
    // Whether the window was maximised when it went full screen.
    bool m_maximizedBeforeFullScreen = false;
    // The last two sizes the window had while neither maximised nor full screen, the later
    // first: the size to keep for the next start when the window is closed maximised.
    QSize m_normalSize;
    QSize m_normalSizeBefore;
};

} // namespace halbeet
