// SPDX-License-Identifier: GPL-3.0-or-later
// The window's seat at a table over the network: steps turned to the player's chair, questions
// asked once the window has caught up, answers sent back; and the table this game hosts.
#include "ui/network_table.h"

#include "net/table_beacon.h"
#include "net/table_client.h"
#include "net/table_server.h"
#include "table/turned_view.h"

#include <QNetworkInterface>

#include <algorithm>

namespace halbeet {

NetworkTable::NetworkTable(LocalSeat::Handlers seatHandlers, QObject* parent)
    : QObject(parent), m_seat(std::move(seatHandlers)), m_client(std::make_unique<net::TableClient>()),
      m_announcePort(net::BeaconPort)
{
    connect(m_client.get(), &net::TableClient::stepped, this, &NetworkTable::stepped);
    connect(m_client.get(), &net::TableClient::welcomed, this, &NetworkTable::welcomed);
    connect(m_client.get(), &net::TableClient::chatReceived, this, [this](int seat, const QString& text) {
        emit chatReceived(TurnedSeat(seat, ownChair()), text);
    });
    connect(m_client.get(), &net::TableClient::connectionLost, this, &NetworkTable::connectionLost);
    connect(m_client.get(), &net::TableClient::reconnected, this, &NetworkTable::reconnected);
    connect(m_client.get(), &net::TableClient::closed, this, [this](const QString& reason) {
        dropQuestion();
        emit ended(reason);
    });
}

NetworkTable::~NetworkTable()
{
    // The client goes before the server it may be connected to.
    m_client.reset();
    m_beacon.reset();
    m_server.reset();
}

bool NetworkTable::listen(quint16 port, QString* error)
{
    net::ServerLimits limits;
    // The host's computer holds his own table and no other, opened by his own game.
    limits.maxTables = 1;
    limits.openOnlyFromLoopback = true;
    m_server = std::make_unique<net::TableServer>(limits);
    m_server->setTimeScale(m_timeScale);
    QString reason;
    if (!m_server->listen(m_listenAddress, port, &reason) && !m_server->listen(m_listenAddress, 0, &reason)) {
        m_server.reset();
        if (error)
            *error = reason;
        return false;
    }
    m_port = m_server->port();
    return true;
}

QUrl NetworkTable::ownServer() const
{
    const bool v6Only = m_listenAddress.protocol() == QAbstractSocket::IPv6Protocol;
    return QUrl(QStringLiteral("ws://%1:%2").arg(v6Only ? QStringLiteral("[::1]") : QStringLiteral("127.0.0.1")).arg(m_port));
}

bool NetworkTable::host(const QString& playerName, quint16 port, const ChairPlans& plans, QString* error)
{
    if (!listen(port, error))
        return false;
    m_plans = plans;
    m_plansApplied = false;
    join(ownServer(), QString(), playerName);
    return true;
}

bool NetworkTable::hostAgain(const QString& playerName, quint16 port, const net::HostedTable::Saved& table,
                             const std::string& token, QString* error)
{
    if (!listen(port, error))
        return false;
    std::string why;
    if (!m_server->restoreTable(table, &why)) {
        m_server.reset();
        if (error)
            *error = QString::fromStdString(why);
        return false;
    }
    // The chairs are as they were kept.
    m_plansApplied = true;
    join(ownServer(), table.code, playerName, token);
    return true;
}

std::optional<net::HostedTable::Saved> NetworkTable::tableToKeep() const
{
    if (!m_server)
        return std::nullopt;
    const net::HostedTable* table = m_server->table(code());
    if (!table || !table->started())
        return std::nullopt;
    return table->saved();
}

void NetworkTable::join(const QUrl& url, const QString& code, const QString& playerName, const std::string& token)
{
    m_question.reset();
    m_shown = 0;
    m_client->join(url, code.toStdString(), playerName.left(static_cast<int>(net::MaxNameChars)).toStdString(),
                   token);
}

void NetworkTable::start() { m_client->start(); }

void NetworkTable::leave()
{
    dropQuestion();
    m_client->leave();
    m_beacon.reset();
    // A host's table closes with him: his friends are told so, rather than left waiting to
    // come back to a table that is gone.
    if (m_server)
        m_server->closeEverything(ClosedByHostReason);
}

void NetworkTable::silence()
{
    disconnect(m_client.get(), nullptr, this, nullptr);
    m_question.reset();
}

bool NetworkTable::say(const QString& line) { return m_client->chat(line); }

bool NetworkTable::started() const { return m_client->chairs().started; }

int NetworkTable::ownChair() const { return m_client->seat(); }

QString NetworkTable::code() const { return m_client->code(); }

std::string NetworkTable::token() const { return m_client->token(); }

QStringList NetworkTable::addresses() const
{
    QStringList found;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.isLoopback() || address.isLinkLocal() || address.protocol() != QAbstractSocket::IPv4Protocol)
            continue;
        found << address.toString();
    }
    if (found.isEmpty())
        found << QStringLiteral("127.0.0.1");
    return found;
}

QString NetworkTable::nameAt(int seat) const
{
    const int chair = UnturnedSeat(seat, ownChair());
    if (chair < 1 || chair > 4)
        return {};
    return QString::fromStdString(m_client->chairs().names[static_cast<std::size_t>(chair)]);
}

net::ChairKind NetworkTable::chairAt(int seat) const
{
    const int chair = UnturnedSeat(seat, ownChair());
    if (chair < 1 || chair > 4)
        return net::ChairKind::Open;
    return m_client->chairs().chairs[static_cast<std::size_t>(chair)];
}

void NetworkTable::setTimeScale(double scale)
{
    m_timeScale = scale;
    if (m_server)
        m_server->setTimeScale(scale);
}

void NetworkTable::setAnnouncement(const QHostAddress& address, quint16 port)
{
    m_announceAddress = address;
    m_announcePort = port != 0 ? port : net::BeaconPort;
}

void NetworkTable::stepped(const SeatEvent& told)
{
    const SeatEvent event = TurnedEvent(told, ownChair());
    if (event.kind == SeatEvent::Kind::Asked) {
        m_question = event;
        askIfShown();
        return;
    }
    // Any step while the seat is asked means the question is over (a snapshot after coming
    // back, the table moved on without him).
    dropQuestion();
    if (event.kind == SeatEvent::Kind::Snapshot)
        m_shown = 0;
    m_seat.tell(event);
}

void NetworkTable::dropQuestion()
{
    m_question.reset();
    if (m_seat.asked())
        m_seat.withdraw();
}

void NetworkTable::shown(std::uint64_t serial)
{
    m_shown = std::max(m_shown, serial);
    askIfShown();
}

void NetworkTable::askIfShown()
{
    if (!m_question || m_shown < m_question->serial)
        return;
    const TableView view = m_question->view;
    m_question.reset();
    net::TableClient* client = m_client.get();
    m_seat.act(view, [client](const SeatAction& action) {
        if (action.bid != 0)
            client->bid(action.bid);
        else
            client->play(action.card);
    });
}

void NetworkTable::welcomed()
{
    if (m_server && !m_plansApplied && ownChair() == 1) {
        if (net::HostedTable* table = m_server->table(code())) {
            for (int seat = 2; seat <= 4; ++seat)
                table->setChair(seat, m_plans[static_cast<std::size_t>(seat)]);
            m_plansApplied = true;
        }
    }
    announce();
    emit chairsChanged();
}

void NetworkTable::announce()
{
    if (!m_server || code().isEmpty())
        return;
    net::TableAnnouncement what;
    what.port = m_port;
    what.code = code();
    what.name = nameAt(1);
    const auto& chairs = m_client->chairs().chairs;
    what.openChairs = started() ? 0 : static_cast<int>(std::count(chairs.begin() + 1, chairs.end(), net::ChairKind::Open));
    if (m_beacon)
        m_beacon->update(what);
    else
        m_beacon = std::make_unique<net::TableBeacon>(what, m_announceAddress, m_announcePort);
}

} // namespace halbeet
