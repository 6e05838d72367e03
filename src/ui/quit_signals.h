// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Logout and shutdown end the program with SIGTERM, a closed terminal with SIGHUP. Their
// handler may do next to nothing: it writes the signal's number into a pipe, and the event
// loop reads it there and reports it like any other event, where the game can be saved.

#include <QObject>

class QSocketNotifier;

namespace halbeet {

class QuitSignals : public QObject {
    Q_OBJECT

public:
    // Catches SIGTERM and SIGHUP from now on; one at a time in a process. Without a pipe
    // (no descriptors left) nothing is caught and the signals keep their default action.
    explicit QuitSignals(QObject* parent = nullptr);
    // Gives the signals back their default action.
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    bool active() const { return m_notifier != nullptr; }

signals:
    // In the event loop, once per signal that arrived.
    void received(int signal);

private:
    void readPipe();

    int m_read = -1;
    int m_write = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace halbeet
