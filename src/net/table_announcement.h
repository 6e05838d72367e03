// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a host's game says about its open table on the local network, one UDP datagram a
// second, and the strict decoder of it. Nothing here touches a socket, so that the decoder can
// be fuzzed alone.
//
// A datagram is one JSON object with exactly the fields "version", "port", "code", "name" and
// "openChairs", nothing nested, at most MaxAnnouncementBytes. Anybody on the network can send
// one: a datagram that is not exactly that, whose name is not acceptable plain text or whose
// code is not one the server would make, is not a table.

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace halbeet::net {

inline constexpr quint16 BeaconPort = 4142;
inline constexpr std::size_t MaxAnnouncementBytes = 512;

struct TableAnnouncement {
    // The sender's address as text. Never read from the datagram: the finder fills it in from
    // where the datagram came from, so that a table cannot send a player somewhere else.
    QString host;
    quint16 port = 0;    // the table server's port at that address
    QString code;        // the table's code
    QString name;        // the host's name, plain text
    int openChairs = 0;  // 0..3

    friend bool operator==(const TableAnnouncement&, const TableAnnouncement&) = default;
};

std::optional<TableAnnouncement> DecodeAnnouncement(std::string_view datagram);
// The datagram for an announcement; the host is not sent.
std::string EncodeAnnouncement(const TableAnnouncement& what);

} // namespace halbeet::net
