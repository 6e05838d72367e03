// SPDX-License-Identifier: GPL-3.0-or-later
// The signals that end a program turned into events of the event loop through a pipe to ourselves.

#include "support/quit_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace halbeet {

namespace {

// The write end of the pipe, for the handler; -1 while nobody listens.
volatile std::sig_atomic_t g_writeEnd = -1;

extern "C" void onQuitSignal(int signal)
{
    // Only async-signal-safe calls here: one write, errno left as it was. A full pipe drops
    // the byte, and the signals already waiting there say the same.
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    const int fd = g_writeEnd;
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals(std::initializer_list<int> caught, QObject* parent) : QObject(parent), m_caught(caught)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    m_read = ends[0];
    m_write = ends[1];
    // Neither end may block: the handler must return at once, and the reader stops when empty.
    ::fcntl(m_write, F_SETFL, ::fcntl(m_write, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_read, F_SETFL, ::fcntl(m_read, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(m_read, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readPipe);
    g_writeEnd = m_write;

    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls carry on; the event loop learns of the signal from the pipe.
    action.sa_flags = SA_RESTART;
    for (const int signal : m_caught)
        ::sigaction(signal, &action, nullptr);
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signal : m_caught)
        ::sigaction(signal, &action, nullptr);
    g_writeEnd = -1;
    ::close(m_write);
    ::close(m_read);
}

void QuitSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(m_read, &byte, 1) == 1)
        emit received(byte);
}

} // namespace halbeet
