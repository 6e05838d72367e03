// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The score sheet: the running score of each player after every deal, the newest row plain
// and the older ones struck out, seven rows before it scrolls. Shown at the end of a deal,
// where showing it scores the deal, and from the Scores command at any time.

#include "core/state.h"
#include "table/table_view.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace halbeet {

class GameModel;
class Table;
class StatusBar;

class ScoreSheet : public QDialog {
    Q_OBJECT

public:
    static constexpr int Rows = 7;

    ScoreSheet(GameModel& game, Table& table, StatusBar& statusBar, QWidget* parent = nullptr);

    // Called after the sheet of a finished deal has been closed (OK, Esc or the close box):
    // the main window clears the table and deals again, or asks for a new game.
    void setDealClosedHandler(std::function<void()> handler) { m_dealClosed = std::move(handler); }
    // Called instead when the window system closes the sheet of a finished deal (its close
    // box, Alt+F4), or the main window's while that sheet is up: the player means to close the
    // program, so the main window is closed.
    void setCloseRequestHandler(std::function<void()> handler) { m_closeRequested = std::move(handler); }

    // Shows the sheet at the end of a deal: showing it scores the deal (once), and closing it
    // leads on to the next deal. Opened any other way (the Scores command, even while the
    // last trick still lies on the table) the sheet only shows the scores.
    void showAfterDeal();

    // Shows the rows of the game as they stand: the last seven totals, the newest plain and
    // the older ones struck out, the winner's column green. After a new game: empty.
    void resetSheet();
    // At a table of another computer the sheet reads the seat's view instead of the game here.
    void setViewSource(std::function<const TableView*()> source) { m_viewSource = std::move(source); }

    QLabel* heading(int seat) const { return m_headings.at(seat); }
    // p<seat>s<row>
    QLabel* scoreLabel(int seat, int row) const { return m_scores.at(seat).at(row); }
    QPushButton* okButton() const { return m_button; }

    void closeSheet();
    void reject() override; // Esc and the close box act like OK
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();

    GameModel& m_game;
    std::function<const TableView*()> m_viewSource;
    Table& m_table;
    StatusBar& m_statusBar;
    std::function<void()> m_dealClosed;
    std::function<void()> m_closeRequested;
    bool m_afterDeal = false;
    bool m_closing = false;
    PerSeat<QLabel*> m_headings{};
    PerSeat<std::array<QLabel*, Rows + 1>> m_scores{};
    QPushButton* m_button = nullptr;
};

} // namespace halbeet
