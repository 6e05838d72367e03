// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window manager's request to close a window (its close box, Alt+F4), heard under X11
// even while a modal window blocks that window, when Qt would drop it unseen.

#include <QAbstractNativeEventFilter>
#include <QtGlobal>

#include <functional>
#include <memory>

class QWidget;

namespace halbeet {

class CloseRequestFilter : public QAbstractNativeEventFilter {
  public:
    // Watches the top-level window of `widget` for as long as the filter lives, calling
    // `onClose` from the event loop for each request. Null where there is no X11 window
    // manager to ask (the offscreen platform, Wayland).
    static std::unique_ptr<CloseRequestFilter> watch(QWidget* widget,
                                                     std::function<void()> onClose);

    // The X11 window and the atoms WM_PROTOCOLS and WM_DELETE_WINDOW, as the server names them.
    CloseRequestFilter(quint32 window, quint32 protocolsAtom, quint32 deleteAtom,
                       std::function<void()> onClose);
    ~CloseRequestFilter() override;
    CloseRequestFilter(const CloseRequestFilter&) = delete;
    CloseRequestFilter& operator=(const CloseRequestFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    quint32 m_window;
    quint32 m_protocolsAtom;
    quint32 m_deleteAtom;
    std::function<void()> m_onClose;
    // Requests posted to the event loop must not outlive the filter.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace halbeet
