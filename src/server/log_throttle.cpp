// SPDX-License-Identifier: GPL-3.0-or-later
// Holding back repeated log lines of one kind.

#include "server/log_throttle.h"

#include <algorithm>

namespace halbeet::server {

std::optional<QString> LogThrottle::pass(const QString& key, const QString& line,
                                         std::int64_t nowMs)
{
    const auto it = m_seen.find(key);
    if (it != m_seen.end() && nowMs - it->second.writtenMs < m_periodMs) {
        ++it->second.heldBack;
        return std::nullopt;
    }
    QString written = line;
    if (it != m_seen.end() && it->second.heldBack > 0)
        written += QStringLiteral(" (and %1 more like it)").arg(it->second.heldBack);
    if (it == m_seen.end() && m_seen.size() >= MaxKeys) {
        // Forget what is older than a period first; if everything is recent, the oldest.
        std::erase_if(m_seen, [&](const auto& entry) {
            return nowMs - entry.second.writtenMs >= m_periodMs;
        });
        if (m_seen.size() >= MaxKeys)
            m_seen.erase(
                std::min_element(m_seen.begin(), m_seen.end(), [](const auto& a, const auto& b) {
                    return a.second.writtenMs < b.second.writtenMs;
                }));
    }
    m_seen[key] = Seen{nowMs, 0};
    return written;
}

} // namespace halbeet::server
