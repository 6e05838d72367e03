// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a client can make the server log is limited: a line of one kind about one address is
// written at most once a period, and the next one written says how many were held back. A
// flood of connections thus costs a line a minute, not a line a connection.

#include <QString>

#include <cstdint>
#include <map>
#include <optional>

namespace halbeet::server {

class LogThrottle {
  public:
    // Kinds of line remembered at once; past it the oldest are forgotten (at worst a line
    // more is written, never fewer).
    static constexpr std::size_t MaxKeys = 4096;

    explicit LogThrottle(std::int64_t periodMs = 60000) : m_periodMs(periodMs) {}

    // The line to write for this key at nowMs, or nothing when it is held back.
    std::optional<QString> pass(const QString& key, const QString& line, std::int64_t nowMs);
    std::size_t remembered() const { return m_seen.size(); }

  private:
    struct Seen {
        std::int64_t writtenMs = 0;
        int heldBack = 0;
    };
    std::int64_t m_periodMs;
    std::map<QString, Seen> m_seen;
};

} // namespace halbeet::server
