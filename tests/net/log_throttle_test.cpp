// SPDX-License-Identifier: GPL-3.0-or-later
// The limit on the server's log lines that clients cause: one line of a kind a period, the
// next one counting those held back, kinds apart, and a bounded memory of them.

#include "server/log_throttle.h"

#include <gtest/gtest.h>

namespace halbeet::server {
namespace {

TEST(LogThrottle, OneLineOfAKindAPeriod)
{
    LogThrottle throttle(1000);
    EXPECT_EQ(throttle.pass("a x", "A", 0), QStringLiteral("A"));
    EXPECT_FALSE(throttle.pass("a x", "A", 1));
    EXPECT_FALSE(throttle.pass("a x", "A", 999));
    // Another address, or another reason, is another kind.
    EXPECT_EQ(throttle.pass("b x", "B", 500), QStringLiteral("B"));
    EXPECT_EQ(throttle.pass("a y", "C", 500), QStringLiteral("C"));
    // A period on, the line comes with the count of those held back, and the count starts again.
    EXPECT_EQ(throttle.pass("a x", "A", 1000), QStringLiteral("A (and 2 more like it)"));
    EXPECT_FALSE(throttle.pass("a x", "A", 1500));
    EXPECT_EQ(throttle.pass("a x", "A", 2000), QStringLiteral("A (and 1 more like it)"));
    EXPECT_EQ(throttle.pass("a x", "A", 5000), QStringLiteral("A"));
}

TEST(LogThrottle, ManyKindsAreRememberedWithinBounds)
{
    // A client cycling through addresses cannot grow the memory without end; what is
    // forgotten is at worst written once more.
    LogThrottle throttle(1000);
    const auto many = static_cast<std::int64_t>(3 * LogThrottle::MaxKeys);
    for (std::int64_t i = 0; i < many; ++i) {
        EXPECT_TRUE(throttle.pass(QString::number(i), "line", i));
        EXPECT_LE(throttle.remembered(), LogThrottle::MaxKeys);
    }
    // The recent kinds are still held back.
    EXPECT_FALSE(throttle.pass(QString::number(many - 1), "line", many));

    // All recent: the oldest makes room.
    LogThrottle slow(1000000);
    for (std::size_t i = 0; i <= LogThrottle::MaxKeys; ++i)
        EXPECT_TRUE(slow.pass(QString::number(i), "line", static_cast<std::int64_t>(i)));
    EXPECT_EQ(slow.remembered(), LogThrottle::MaxKeys);
    EXPECT_TRUE(slow.pass("0", "line", 5000));
    EXPECT_FALSE(slow.pass(QString::number(LogThrottle::MaxKeys), "line", 5000));
}

} // namespace
} // namespace halbeet::server
