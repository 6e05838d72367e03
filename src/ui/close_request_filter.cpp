// SPDX-License-Identifier: GPL-3.0-or-later
// Recognises WM_DELETE_WINDOW client messages for one window in the xcb event stream.
#include "ui/close_request_filter.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>

namespace halbeet {

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

std::unique_ptr<CloseRequestFilter> CloseRequestFilter::watch(QWidget* widget,
                                                              std::function<void()> onClose)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || !widget)
        return nullptr;
    QWidget* window = widget->window();
    if (!window->windowHandle())
        return nullptr;
    const xcb_atom_t protocols = internAtom(x11->connection(), "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = internAtom(x11->connection(), "WM_DELETE_WINDOW");
    if (protocols == XCB_ATOM_NONE || deleteWindow == XCB_ATOM_NONE)
        return nullptr;
    auto filter =
        std::make_unique<CloseRequestFilter>(static_cast<quint32>(window->windowHandle()->winId()),
                                             protocols, deleteWindow, std::move(onClose));
    QCoreApplication::instance()->installNativeEventFilter(filter.get());
    return filter;
}

CloseRequestFilter::CloseRequestFilter(quint32 window, quint32 protocolsAtom, quint32 deleteAtom,
                                       std::function<void()> onClose)
    : m_window(window), m_protocolsAtom(protocolsAtom), m_deleteAtom(deleteAtom),
      m_onClose(std::move(onClose))
{
}

CloseRequestFilter::~CloseRequestFilter()
{
    *m_alive = false;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool CloseRequestFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                           qintptr* /*result*/)
{
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // The top bit marks an event another client sent, as the window manager sends this one.
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->window != m_window || client->type != m_protocolsAtom || client->format != 32 ||
        client->data.data32[0] != m_deleteAtom)
        return false;
    // Acted on from the event loop, not from inside the platform's event handling: closing
    // may end event loops and destroy windows.
    QTimer::singleShot(0, QCoreApplication::instance(), [alive = m_alive, onClose = m_onClose] {
        if (*alive && onClose)
            onClose();
    });
    return true;
}

} // namespace halbeet
