// SPDX-License-Identifier: GPL-3.0-or-later
// The beacon of a host's open table, and the finder that lists the tables it hears.

#include "net/table_beacon.h"

#include <QNetworkInterface>

#include <algorithm>
#include <array>

namespace halbeet::net {

using namespace std::chrono_literals;

namespace {

constexpr auto BeaconInterval = 1s;
// Datagrams read in one go before the event loop runs again: a flood may delay the list,
// never the window.
constexpr int MaxDatagramsPerPass = 64;

// A budget whose second is over: the sender may as well be new.
auto spentBefore(HeardTables::Time now)
{
    return [now](const auto& entry) { return now - entry.second.windowStart >= 1s; };
}

bool sameTable(const TableAnnouncement& a, const TableAnnouncement& b)
{
    return a.host == b.host && a.port == b.port && a.code == b.code;
}

// The sender's address as a person would type it: an IPv4 address reached through an IPv6
// socket is written the IPv4 way.
QString addressText(const QHostAddress& address)
{
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ipv4).toString() : address.toString();
}

} // namespace

// ---- the list ----------------------------------------------------------------------------

bool HeardTables::admit(const QString& sender, Time now)
{
    auto it = m_budgets.find(sender);
    if (it == m_budgets.end()) {
        if (m_budgets.size() >= MaxSenders)
            std::erase_if(m_budgets, spentBefore(now));
        if (m_budgets.size() >= MaxSenders)
            return false;
        it = m_budgets.emplace(sender, Budget{now, 0}).first;
    }
    Budget& budget = it->second;
    if (now - budget.windowStart >= 1s)
        budget = Budget{now, 0};
    if (budget.used >= MaxDatagramsPerSenderPerSecond)
        return false;
    ++budget.used;
    return true;
}

bool HeardTables::hear(const QString& sender, std::string_view datagram, Time now)
{
    std::optional<TableAnnouncement> what = DecodeAnnouncement(datagram);
    if (!what)
        return false;
    what->host = sender;
    const auto known = std::find_if(m_tables.begin(), m_tables.end(),
                                    [&](const Heard& heard) { return sameTable(heard.what, *what); });
    if (known != m_tables.end()) {
        known->last = now;
        if (known->what == *what)
            return false;
        known->what = std::move(*what);
        return true;
    }
    const auto fromSender = std::count_if(m_tables.begin(), m_tables.end(),
                                          [&](const Heard& heard) { return heard.what.host == sender; });
    if (m_tables.size() >= MaxTables || static_cast<std::size_t>(fromSender) >= MaxTablesPerSender)
        return false;
    m_tables.push_back(Heard{std::move(*what), now});
    return true;
}

bool HeardTables::forgetOld(Time now)
{
    std::erase_if(m_budgets, spentBefore(now));
    return std::erase_if(m_tables, [&](const Heard& heard) { return now - heard.last >= m_forgetAfter; }) > 0;
}

std::vector<TableAnnouncement> HeardTables::tables() const
{
    std::vector<TableAnnouncement> list;
    list.reserve(m_tables.size());
    for (const Heard& heard : m_tables)
        list.push_back(heard.what);
    std::sort(list.begin(), list.end(), [](const TableAnnouncement& a, const TableAnnouncement& b) {
        if (const int byName = a.name.compare(b.name, Qt::CaseInsensitive))
            return byName < 0;
        return std::tie(a.name, a.host, a.port, a.code) < std::tie(b.name, b.host, b.port, b.code);
    });
    return list;
}

// ---- the beacon --------------------------------------------------------------------------

TableBeacon::TableBeacon(TableAnnouncement what, QHostAddress target, quint16 port, QObject* parent)
    : QObject(parent), m_target(std::move(target)), m_port(port)
{
    // Nobody answers a beacon; whatever reaches its socket is dropped.
    connect(&m_socket, &QUdpSocket::readyRead, this, [this] {
        while (m_socket.hasPendingDatagrams())
            m_socket.readDatagram(nullptr, 0);
    });
    m_timer.setInterval(BeaconInterval);
    connect(&m_timer, &QTimer::timeout, this, &TableBeacon::send);
    update(std::move(what));
}

void TableBeacon::update(TableAnnouncement what)
{
    m_datagram = QByteArray::fromStdString(EncodeAnnouncement(what));
    send();
    m_timer.start();
}

void TableBeacon::send()
{
    // With no network, or no route for a broadcast, Qt 6.4 returns -1 here and reports a
    // NetworkError through errorOccurred, without a message; the socket stays bound and the
    // next send works once the network is back. So a failure is simply tried again later.
    if (m_target == QHostAddress(QHostAddress::Broadcast) && sendOnEveryNetwork())
        return;
    m_socket.writeDatagram(m_datagram, m_target, m_port);
}

bool TableBeacon::sendOnEveryNetwork()
{
    // 255.255.255.255 leaves by the default route only: not at all on a network without one
    // (two computers on a cable), and not on the other network of a computer on two. Each
    // network's own broadcast address reaches that network. Looked up every time, as networks
    // come and go.
    bool sent = false;
    for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
        const auto flags = face.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            !flags.testFlag(QNetworkInterface::CanBroadcast) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : face.addressEntries()) {
            const QHostAddress broadcast = entry.broadcast();
            if (broadcast.protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            m_socket.writeDatagram(m_datagram, broadcast, m_port);
            sent = true;
        }
    }
    return sent;
}

// ---- the finder --------------------------------------------------------------------------

TableFinder::TableFinder(quint16 port, QObject* parent) : TableFinder(QHostAddress::AnyIPv4, port, parent) {}

TableFinder::TableFinder(const QHostAddress& address, quint16 port, QObject* parent) : QObject(parent)
{
    m_clock.start();
    connect(&m_socket, &QUdpSocket::readyRead, this, &TableFinder::readPending);
    m_socket.bind(address, port, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    connect(&m_sweep, &QTimer::timeout, this, &TableFinder::sweep);
    setForgetAfter(HeardTables::DefaultForgetAfter);
}

bool TableFinder::listening() const
{
    return m_socket.state() == QAbstractSocket::BoundState;
}

quint16 TableFinder::port() const
{
    return m_socket.localPort();
}

void TableFinder::setForgetAfter(std::chrono::milliseconds after)
{
    m_heard.setForgetAfter(after);
    // A table goes at most a quarter of its time late, and the list is not looked at more
    // often than it needs.
    m_sweep.start(std::clamp<std::chrono::milliseconds>(after / 4, 20ms, 1000ms));
}

void TableFinder::readPending()
{
    m_readQueued = false;
    bool changed = false;
    std::array<char, MaxAnnouncementBytes> buffer{};
    for (int n = 0; n < MaxDatagramsPerPass && m_socket.hasPendingDatagrams(); ++n) {
        const qint64 size = m_socket.pendingDatagramSize();
        QHostAddress from;
        const qint64 read = m_socket.readDatagram(buffer.data(), static_cast<qint64>(buffer.size()), &from);
        const QString sender = addressText(from);
        if (read < 0 || !m_heard.admit(sender, now()))
            continue;
        // A longer datagram was cut to the buffer: no announcement of ours.
        if (size != read)
            continue;
        const std::string_view datagram(buffer.data(), static_cast<std::size_t>(read));
        changed |= m_heard.hear(sender, datagram, now());
    }
    if (m_socket.hasPendingDatagrams() && !m_readQueued) {
        m_readQueued = true;
        QTimer::singleShot(0, this, &TableFinder::readPending);
    }
    if (changed)
        emit tablesChanged();
}

void TableFinder::sweep()
{
    if (m_heard.forgetOld(now()))
        emit tablesChanged();
}

} // namespace halbeet::net
