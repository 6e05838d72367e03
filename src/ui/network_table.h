// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A table at another computer, or one this game hosts for friends, seen from this window. The
// table's client hands over each step as the player's chair may know it; here it is turned so
// that his chair sits at the bottom and told to the window's seat, and the window's bids and
// cards go back to the table. A question waits until the window has shown every step before
// it, as at a table of this computer. Hosting runs the table server in this process, announces
// the table on the local network, and joins it over the loopback address like any friend.

#include "net/hosted_table.h"
#include "net/protocol.h"
#include "ui/local_seat.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUrl>

#include <array>
#include <memory>
#include <optional>

namespace halbeet {

namespace net {
class TableBeacon;
class TableClient;
class TableServer;
} // namespace net

class NetworkTable final : public QObject {
    Q_OBJECT

public:
    // What the host chose for the chairs of his partner (3) and the opponents (2, 4).
    using ChairPlans = std::array<net::ChairPlan, 5>;
    static constexpr quint16 DefaultPort = 4141;
    // Why the friends at a host's table are sent away when he closes it.
    static constexpr const char* ClosedByHostReason = "closed by the host";

    NetworkTable(LocalSeat::Handlers seatHandlers, QObject* parent = nullptr);
    ~NetworkTable() override;

    // Opens a table on this computer on `port` (another free one when it is taken) and joins it.
    // False, with the reason, when no port could be had.
    bool host(const QString& playerName, quint16 port, const ChairPlans& plans, QString* error);
    // Opens again a table this game hosted before it ended, under its code; the host takes his
    // chair back with the token he had, his friends theirs with theirs.
    bool hostAgain(const QString& playerName, quint16 port, const net::HostedTable::Saved& table,
                   const std::string& token, QString* error);
    // The hosted table as it stands, to keep when the host's game ends: nothing when this game
    // does not host one, or its game has not started.
    std::optional<net::HostedTable::Saved> tableToKeep() const;
    // Joins the table `code` at url (ws://address:port); with a token, takes a seat back.
    void join(const QUrl& url, const QString& code, const QString& playerName, const std::string& token = {});
    // The host starts the game; computers fill the chairs still open.
    void start();
    // Leaves the table for good (a host's table closes with him).
    void leave();
    bool say(const QString& line);

    // The window's seat at this table.
    LocalSeat& seat() { return m_seat; }
    bool hosting() const { return m_server != nullptr; }
    bool started() const;
    bool seated() const { return ownChair() != 0; }
    // The player's chair at the table (1..4), 0 before he is seated.
    int ownChair() const;
    QString code() const;
    quint16 port() const { return m_port; }
    // Where friends reach a hosted table: this computer's addresses on its networks.
    QStringList addresses() const;
    std::string token() const;
    // A seat of the window's table (1 at the bottom): the name and chair of who sits there.
    QString nameAt(int seat) const;
    net::ChairKind chairAt(int seat) const;

    // Nothing the client hears goes on to the seat or out as a signal any more (the window has
    // turned away; the table is deleted later).
    void silence();

    // The window has shown every step up to serial.
    void shown(std::uint64_t serial);

    net::TableClient& client() { return *m_client; }
    net::TableServer* server() const { return m_server.get(); }
    // The time scale of a hosted table's waits (tests: 0).
    void setTimeScale(double scale);
    // Where a hosted table listens (by default every address of this computer) and where it is
    // announced (by default the local network's broadcast, on the beacon port). Tests keep both on loopback.
    void setListenAddress(const QHostAddress& address) { m_listenAddress = address; }
    void setAnnouncement(const QHostAddress& address, quint16 port);

signals:
    // Who sits where changed, or the game started.
    void chairsChanged();
    void chatReceived(int seat, const QString& text);
    void connectionLost();
    void reconnected();
    // The table is gone for this window: left, closed by its server, or never reached.
    void ended(const QString& reason);

private:
    bool listen(quint16 port, QString* error);
    QUrl ownServer() const;
    void stepped(const SeatEvent& event);
    void askIfShown();
    void welcomed();
    void announce();
    // The question asked, or about to be, is over.
    void dropQuestion();

    LocalSeat m_seat;
    std::unique_ptr<net::TableServer> m_server;
    std::unique_ptr<net::TableBeacon> m_beacon;
    std::unique_ptr<net::TableClient> m_client;
    quint16 m_port = 0;
    ChairPlans m_plans{};
    bool m_plansApplied = false;
    QHostAddress m_listenAddress{QHostAddress::Any};
    QHostAddress m_announceAddress{QHostAddress::Broadcast};
    quint16 m_announcePort;
    // The question the table asked, kept until the window has shown the steps before it.
    std::optional<SeatEvent> m_question;
    std::uint64_t m_shown = 0;
    double m_timeScale = 1.0;
};

} // namespace halbeet
