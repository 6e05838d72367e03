// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the table's logical coordinates (the 560 x 394 layout every routine works in) map to
// the pixels of the widget at its current size: one uniform factor and a centring offset.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cmath>

namespace halbeet {

struct TableScale {
    qreal factor = 1.0;
    QPoint offset;

    int length(qreal logical) const { return static_cast<int>(std::lround(logical * factor)); }
    QPoint toReal(QPoint p) const { return QPoint(length(p.x()), length(p.y())) + offset; }
    // Sizes are scaled on their own, not from their corners, so that every card of a kind
    // keeps one size (and one cached picture) wherever it stands.
    QSize toReal(QSize s) const { return {length(s.width()), length(s.height())}; }
    QRect toReal(const QRect& r) const { return {toReal(r.topLeft()), toReal(r.size())}; }

    // Back from pixels. Exact for everything toReal placed, as long as the factor is at
    // least 1 (the table is never shown smaller than its layout).
    int logicalLength(qreal real) const { return static_cast<int>(std::lround(real / factor)); }
    QPoint toLogical(QPoint p) const
    {
        return {logicalLength(p.x() - offset.x()), logicalLength(p.y() - offset.y())};
    }
    QSize toLogical(QSize s) const { return {logicalLength(s.width()), logicalLength(s.height())}; }
    QRect toLogical(const QRect& r) const { return {toLogical(r.topLeft()), toLogical(r.size())}; }
};

} // namespace halbeet
