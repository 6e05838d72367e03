// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Tables found on the local network. A host's game keeps a beacon that broadcasts its open
// table every second; the Join dialog keeps a finder that lists what it hears.
//
// The finder trusts nothing it hears: a datagram is decoded strictly, the table's address is
// the one the datagram came from (never one it names), a table not heard for a while is
// forgotten, and one sender can neither flood the list nor make it change more than a few
// times a second.

#include "net/table_announcement.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

#include <chrono>
#include <map>
#include <vector>

namespace halbeet::net {

// The tables heard, as the finder keeps them; no sockets, time given by the caller.
class HeardTables {
public:
    static constexpr std::size_t MaxTables = 32;
    // One address may be a computer with a few games on it, not more.
    static constexpr std::size_t MaxTablesPerSender = 4;
    // Datagrams of one address read in a second; the rest are dropped unread.
    static constexpr int MaxDatagramsPerSenderPerSecond = 4;
    static constexpr std::chrono::milliseconds DefaultForgetAfter{5000};

    using Time = std::chrono::milliseconds;

    // Whether a datagram from sender may be read now; counts it when so.
    bool admit(const QString& sender, Time now);
    // A datagram from sender, admitted: true when the list changed.
    bool hear(const QString& sender, std::string_view datagram, Time now);
    // Forgets the tables not heard for forgetAfter(): true when the list changed.
    bool forgetOld(Time now);

    void setForgetAfter(std::chrono::milliseconds after) { m_forgetAfter = after; }
    std::chrono::milliseconds forgetAfter() const { return m_forgetAfter; }
    // Sorted by name (then address, port, code), so that a list shown does not jump about.
    std::vector<TableAnnouncement> tables() const;

private:
    struct Heard {
        TableAnnouncement what;
        Time last;
    };
    struct Budget {
        Time windowStart;
        int used = 0;
    };
    // As many senders as there could be tables, and a margin for those that sent nothing good.
    static constexpr std::size_t MaxSenders = 4 * MaxTables;

    std::vector<Heard> m_tables;
    std::map<QString, Budget> m_budgets;
    std::chrono::milliseconds m_forgetAfter = DefaultForgetAfter;
};

// Sends an announcement every second while it lives. Sent to the broadcast address, it goes to
// the broadcast address of every network the computer is on (or to 255.255.255.255 when it
// knows none). Sending fails quietly (no network, no route for a broadcast): the next second
// tries again.
class TableBeacon : public QObject {
    Q_OBJECT

public:
    TableBeacon(TableAnnouncement what, QHostAddress target = QHostAddress::Broadcast,
                quint16 port = BeaconPort, QObject* parent = nullptr);

    // Says the new announcement at once, then every second.
    void update(TableAnnouncement what);

private:
    void send();
    bool sendOnEveryNetwork();

    QUdpSocket m_socket;
    QTimer m_timer;
    QHostAddress m_target;
    quint16 m_port;
    QByteArray m_datagram;
};

// Listens for beacons on a port of every IPv4 address (shared, so that two games on one
// computer both hear them).
class TableFinder : public QObject {
    Q_OBJECT

public:
    explicit TableFinder(quint16 port = BeaconPort, QObject* parent = nullptr);
    // Listens at one address only (port 0: any free port, see port()).
    TableFinder(const QHostAddress& address, quint16 port, QObject* parent = nullptr);

    bool listening() const;
    quint16 port() const;
    std::vector<TableAnnouncement> tables() const { return m_heard.tables(); }
    // A table not heard for this long is forgotten (5 s unless told).
    void setForgetAfter(std::chrono::milliseconds after);

signals:
    void tablesChanged();

private:
    void readPending();
    void sweep();
    HeardTables::Time now() const { return HeardTables::Time(m_clock.elapsed()); }

    QUdpSocket m_socket;
    QTimer m_sweep;
    QElapsedTimer m_clock;
    HeardTables m_heard;
    bool m_readQueued = false;
};

} // namespace halbeet::net
