// SPDX-License-Identifier: GPL-3.0-or-later
// SIGTERM and SIGINT turned into events through a pipe to ourselves.

#include "server/stop_signals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace halbeet::server {

namespace {

constexpr std::array<int, 2> Caught{SIGTERM, SIGINT};

volatile std::sig_atomic_t g_writeEnd = -1;

extern "C" void onStopSignal(int signal)
{
    // Async-signal-safe only: one write, errno kept. A full pipe already says "stop".
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    const int fd = g_writeEnd;
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    m_read = ends[0];
    m_write = ends[1];
    ::fcntl(m_write, F_SETFL, ::fcntl(m_write, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_read, F_SETFL, ::fcntl(m_read, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(m_read, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::readPipe);
    g_writeEnd = m_write;

    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Caught)
        ::sigaction(signal, &action, nullptr);
}

StopSignals::~StopSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signal : Caught)
        ::sigaction(signal, &action, nullptr);
    g_writeEnd = -1;
    ::close(m_write);
    ::close(m_read);
}

void StopSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(m_read, &byte, 1) == 1)
        emit received(byte);
}

} // namespace halbeet::server
