// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the program's windows inside the screen's available area.

#include "ui/screen_fit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace halbeet {

namespace {

QMargins frameOf(const QWidget* window)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (!frame.isNull())
        return frame;
    // Not framed yet: the frame of a window already framed is the best guess, as the window
    // manager gives its windows the same decorations.
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible()) {
            const QRect o = other->frameGeometry();
            const QRect i = other->geometry();
            const QMargins seen(i.left() - o.left(), i.top() - o.top(), o.right() - i.right(),
                                o.bottom() - i.bottom());
            if (!seen.isNull())
                return seen;
        }
    }
    return GuessedFrame;
}

// Popups, tooltips and the like place themselves; maximised and full-screen windows are the
// window manager's.
bool fitsItself(const QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    if (type != Qt::Window && type != Qt::Dialog)
        return true;
    return (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
}

class ScreenFitFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow())
                fitToScreen(widget);
        }
        return false;
    }
};

} // namespace

QRect fittedGeometry(const QRect& geometry, const QMargins& frame, const QSize& minimum,
                     const QRect& available)
{
    const QRect room = available.marginsRemoved(frame);
    const QSize size = geometry.size().boundedTo(room.size()).expandedTo(minimum);
    // Past the right or bottom edge first, so a window larger than the room keeps its
    // title bar and its left (or, in Arabic, its right) side on the screen.
    const int x = std::max(std::min(geometry.x(), room.right() + 1 - size.width()), room.left());
    const int y = std::max(std::min(geometry.y(), room.bottom() + 1 - size.height()), room.top());
    return QRect(QPoint(x, y), size);
}

void fitToScreen(QWidget* window)
{
    if (!window || fitsItself(window))
        return;
    const QScreen* screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // A window's position is that of its frame, framed yet or not: that is how it is moved.
    const QMargins frame = frameOf(window);
    const QPoint frameCorner(frame.left(), frame.top());
    const QRect inner(window->pos() + frameCorner, window->size());
    const QRect fitted =
        fittedGeometry(inner, frame, window->minimumSize(), screen->availableGeometry());
    if (fitted.size() != inner.size())
        window->resize(fitted.size());
    if (fitted.topLeft() != inner.topLeft())
        window->move(fitted.topLeft() - frameCorner);
}

void installScreenFit(QApplication& app)
{
    static ScreenFitFilter* filter = nullptr;
    if (!filter)
        filter = new ScreenFitFilter(&app);
    app.installEventFilter(filter);
}

} // namespace halbeet
