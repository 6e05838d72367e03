// SPDX-License-Identifier: GPL-3.0-or-later
// Tests: a glide run to its end while the event loop turns, and the table's busy state.
#pragma once

#include "ui/table.h"

#include <QTest>

#include <memory>

namespace halbeet::testing {

// Glides m onto t (or out to `to`, parked at `home`) and waits until it is over. False when it
// did not end within the time; the glide is stopped then, so nothing of it runs later.
inline bool glideToAndWait(Table& table, CardSprite* m, CardSprite* t, int step, int timeoutMs = 20000)
{
    auto landed = std::make_shared<bool>(false);
    table.glideTo(m, t, step, [landed] { *landed = true; });
    if (QTest::qWaitFor([&] { return *landed; }, timeoutMs))
        return true;
    table.stopGlides();
    return false;
}

inline bool glideOutAndWait(Table& table, CardSprite* c, int x, int y, int hx, int hy, int step,
                            int timeoutMs = 20000)
{
    auto done = std::make_shared<bool>(false);
    table.glideOut(c, QPoint(x, y), QPoint(hx, hy), step, [done] { *done = true; });
    if (QTest::qWaitFor([&] { return *done; }, timeoutMs))
        return true;
    table.stopGlides();
    return false;
}

} // namespace halbeet::testing
