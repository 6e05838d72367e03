// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds on the table and hears as the game goes on.
#pragma once

// Every card, label and panel a sighted player reads gets an accessible name (and, where it
// helps, a description) in the interface's language, kept current as the table changes: the
// names are worked out again from what the table shows, shortly after anything on it changes.
//
// Announcements: what happens (whose turn, a bid made public, a card played, a trick taken,
// a deal scored) is said through the table's announcer (ui/announcer.h).

#include "core/game.h"
#include "table/seat.h"
#include "ui/announcer.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

class QLabel;

namespace halbeet {

class CardSprite;
class MainWindow;

// "Queen of diamonds" in the interface's language; empty for a back or no card.
QString accessibleCardName(TCardFace card);

class TableAccess : public QObject {
    Q_OBJECT

public:
    explicit TableAccess(MainWindow& window);

    // Names and describes everything on the table as it stands now.
    void refresh();
    // Names everything once the current changes are over (coalesced).
    void schedule();

    QLabel* announcer() const { return m_announcer; }
    // Every announcement of the run, oldest first (for the tests).
    const QStringList& announcements() const { return m_announcements; }
    void announce(const QString& text);
    // A step of the game as the window's seat is shown it: announced.
    void told(const SeatEvent& event);

private:
    QString playerName(int seat) const;
    void watchSprites();
    void refreshStatusPanels();
    bool eventFilter(QObject* watched, QEvent* event) override;

    MainWindow& m_window;
    Announcer* m_announcer = nullptr;
    QTimer m_refresh;
    QStringList m_announcements;
    std::vector<QString> m_panelNames; // as last sent
};

} // namespace halbeet
