// SPDX-License-Identifier: GPL-3.0-or-later
// The live object through which a part of the window tells assistive technology what happens.
#pragma once

// What is announced becomes the accessible name of a label the size of a pixel, with no text
// of its own: nothing for the eye. Each change reaches assistive technology as a name-change
// event (object:property-change:accessible-name on the accessibility bus), which listeners and
// screen readers receive whatever has the focus.

#include <QLabel>
#include <QStringList>

namespace halbeet {

class Announcer : public QLabel {
    Q_OBJECT

public:
    // In the parent's corner, shown with it; description: what it announces, for a reader
    // that comes upon it.
    Announcer(QWidget* parent, const QString& description);

    void announce(const QString& text);
    // What it announced, oldest first: the last HistoryLength (for the tests).
    const QStringList& history() const { return m_history; }

    static constexpr qsizetype HistoryLength = 200;

private:
    QStringList m_history;
};

} // namespace halbeet
