// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/trick.h"
#include "table_fixture.h"

namespace halbeet {
namespace {

TEST(TrickWinner, LedSuitTrumpsAndOtherSuits)
{
    struct Case {
        const char* what;
        std::int32_t trump;
        TTrick trick;
        TTrickCard expected;
    };
    const Case cases[] = {
        {"side ace takes nothing", Clubs, {{{}, {3, 9, 2}, {3, 13, 3}, {2, 1, 4}, {3, 2, 1}}}, {3, 13, 3}},
        {"a small trump takes it", Clubs, {{{}, {3, 9, 2}, {3, 13, 3}, {1, 2, 4}, {3, 2, 1}}}, {1, 2, 4}},
        {"highest of two trumps", Clubs, {{{}, {3, 9, 2}, {1, 5, 3}, {1, 11, 4}, {3, 1, 1}}}, {1, 11, 4}},
        {"trump led: all follow", Clubs, {{{}, {1, 9, 1}, {1, 13, 2}, {1, 1, 3}, {1, 2, 4}}}, {1, 1, 3}},
        {"led ace beats the king", Hearts, {{{}, {4, 1, 4}, {4, 13, 1}, {2, 1, 2}, {4, 2, 3}}}, {4, 1, 4}},
        {"leader keeps it", Hearts, {{{}, {2, 5, 2}, {1, 1, 3}, {4, 1, 4}, {2, 4, 1}}}, {2, 5, 2}},
        {"a partial trick", Spades, {{{}, {3, 4, 1}, {3, 8, 2}, {}, {}}}, {3, 8, 2}},
        {"a trump in a partial trick", Spades, {{{}, {3, 4, 1}, {2, 2, 2}, {}, {}}}, {2, 2, 2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrickWinner(c.trick, c.trump), c.expected) << c.what;
}

} // namespace
} // namespace halbeet
