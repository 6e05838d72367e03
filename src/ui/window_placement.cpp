// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's size and state between runs, and full screen.
#include "ui/window_placement.h"

#include "settings/settings.h"
#include "ui/message_dialog.h"
#include "ui/motion.h"
#include "ui/screen_fit.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

namespace halbeet {

namespace {

// The frame a window manager puts around a normal window, before the window is framed.
QSize frameAllowance(const QWidget* window)
{
    const QSize known = window->frameGeometry().size() - window->size();
    if (!known.isEmpty() && !window->isMaximized() && !window->isFullScreen())
        return known;
    return QSize(GuessedFrame.left() + GuessedFrame.right(),
                 GuessedFrame.top() + GuessedFrame.bottom());
}

// Whether a window of this size can be shown whole as a normal window, frame and all. One
// that cannot is a maximised or full-screen window's size, not a normal one.
bool fitsAsNormalWindow(QSize size, const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return true;
    const QSize room = screen->availableGeometry().size() - frameAllowance(window);
    return size.width() <= room.width() && size.height() <= room.height();
}

} // namespace

int WindowPlacement::glideStep()
{
    // The outer height at the default size, frame included once the window system has framed
    // the window. A maximised or full-screen window's frame is not the one a normal window has.
    if (!m_window.isMaximized() && !m_window.isFullScreen())
        m_frameHeight = m_window.frameGeometry().height() - m_window.height();
    return ComputeGlideStep(m_defaultSize.height() + m_frameHeight);
}

void WindowPlacement::toggleFullScreen()
{
    if (m_window.isFullScreen()) {
        if (m_maximizedBeforeFullScreen)
            m_window.showMaximized();
        else
            m_window.showNormal();
    } else {
        m_maximizedBeforeFullScreen = m_window.isMaximized();
        m_window.showFullScreen();
    }
}

void WindowPlacement::resized(QSize size)
{
    const Qt::WindowStates special = Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;
    if (!(m_window.windowState() & special) && size != m_normalSize) {
        m_normalSizeBefore = m_normalSize;
        m_normalSize = size;
    }
}

QSize WindowPlacement::normalSize() const
{
    if (!m_window.isMaximized() && !m_window.isFullScreen())
        return m_window.size();
    // Qt's normal geometry may have taken the maximised size (see the class comment): the
    // size before that resize is the normal one.
    for (const QSize& candidate : {m_normalSize, m_normalSizeBefore, m_window.normalGeometry().size()}) {
        if (candidate.isValid() && fitsAsNormalWindow(candidate, &m_window))
            return candidate;
    }
    return m_defaultSize;
}

QSize WindowPlacement::fittedWindowSize(QSize wanted, QSize minimum, QSize frame, const QRect& available)
{
    const QSize room = available.size() - frame;
    return wanted.boundedTo(room).expandedTo(minimum);
}

void WindowPlacement::showRestored()
{
    const settings::WindowPlacement placement = settings::windowPlacement();
    QSize wanted = m_defaultSize;
    if (placement.width > 0 && placement.height > 0)
        wanted = QSize(placement.width, placement.height);
    // Files written while a maximised window's size could be taken for its normal size: such
    // a size would un-maximise into a window past the screen's edges.
    if ((placement.maximized || placement.fullScreen) && !fitsAsNormalWindow(wanted, &m_window))
        wanted = m_defaultSize;
    const QScreen* screen = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        const QSize frame = frameAllowance(&m_window);
        m_window.resize(fittedWindowSize(wanted, m_window.minimumSize(), frame, available));
        const QRect outer(QPoint(), m_window.size() + frame);
        m_window.move(available.center() - outer.center());
    } else {
        m_window.resize(wanted.expandedTo(m_window.minimumSize()));
    }
    m_maximizedBeforeFullScreen = placement.maximized;
    if (placement.fullScreen)
        m_window.showFullScreen();
    else if (placement.maximized)
        m_window.showMaximized();
    else
        m_window.show();
}

void WindowPlacement::saveWindowState()
{
    settings::WindowPlacement placement;
    const bool full = m_window.isFullScreen();
    const bool maximized = full ? m_maximizedBeforeFullScreen : m_window.isMaximized();
    const QSize normal = normalSize();
    // The default size is stored as no size at all, so a window never resized writes nothing.
    if (normal.isValid() && normal != m_defaultSize) {
        placement.width = normal.width();
        placement.height = normal.height();
    }
    placement.maximized = maximized;
    placement.fullScreen = full;
    try {
        settings::setWindowPlacement(placement);
    } catch (const SettingsWriteError& error) {
        showSettingsWriteError(&m_window, error);
    }
}

} // namespace halbeet
