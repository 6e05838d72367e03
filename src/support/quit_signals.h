// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The signals that end a program (logout and shutdown send SIGTERM, a closed terminal SIGHUP,
// Ctrl+C SIGINT, systemd's stop SIGTERM) as events of the event loop, where the game or the
// tables can be saved. Their handler may do next to nothing: it writes the signal's number into
// a pipe, and the event loop reads it there and reports it like any other event.

#include <QObject>

#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace halbeet {

class QuitSignals : public QObject {
    Q_OBJECT

public:
    // Catches these signals from now on; one at a time in a process. Without a pipe (no
    // descriptors left) nothing is caught and the signals keep their default action.
    explicit QuitSignals(std::initializer_list<int> caught, QObject* parent = nullptr);
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

    std::vector<int> m_caught;
    int m_read = -1;
    int m_write = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace halbeet
