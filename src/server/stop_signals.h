// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SIGTERM (systemd's stop) and SIGINT (Ctrl+C) as events of the event loop, where the server
// may save its tables: the handler only writes the signal's number into a pipe to ourselves.

#include <QObject>

class QSocketNotifier;

namespace halbeet::server {

class StopSignals final : public QObject {
    Q_OBJECT

  public:
    // Catches the signals from now on; one at a time in a process. False from active() when
    // no pipe could be made: the signals then keep their default action.
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool active() const { return m_notifier != nullptr; }

  signals:
    void received(int signal);

  private:
    void readPipe();

    int m_read = -1;
    int m_write = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace halbeet::server
