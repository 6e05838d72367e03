// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One table: its game, its four seats and its pace. The controller asks the seat to act for
// its bid or card, checks the answer and applies it, performs the game's own steps (take the
// trick, score the deal, deal the next), waits the play delay before a computer's card and the
// pause on a full trick, and tells every seat what that seat may know of each step.
//
// A seat whose view shows each step to a person (the window's own seat) paces the table: the
// controller takes no step while that view is still showing an earlier one. Nothing waits in a
// nested event loop; an answer, a timer or a view that has shown its step moves the table on.
// The table steps on within the call that allowed it (a seat's answer, a view that has shown,
// a command), once that call is through with the controller: a seat told of a step, or asked,
// may answer or report at once without the controller being entered twice. A wait always ends
// from the event loop, so a table of computers never plays on inside one call; only a window
// under test asks for waits without time to end within the call (setTimelessWaitsInCall).
// New Game, a new deal and stop() drop everything pending, and an answer to a question of an
// earlier moment is never applied.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QTimer>

#include "core/game.h"
#include "table/seat.h"

namespace halbeet {

class TableController final : public QObject, private GameListener {
    Q_OBJECT

public:
    explicit TableController(GameModel& game, QObject* parent = nullptr);
    ~TableController() override;
    TableController(const TableController&) = delete;
    TableController& operator=(const TableController&) = delete;

    const GameModel& game() const { return m_game; }

    // Seats 1..4. A seat put in while the table runs is asked at the next step.
    void setSeat(int seat, std::unique_ptr<Seat> player);
    Seat* seat(int seat) const;
    // The view of that seat shows every step to a person; the table waits for it (shown()).
    void setPacing(int seat, bool paces);

    // Multiplies every wait of the table (tests: 0, no waiting).
    void setTimeScale(double scale)
    {
        m_timeScaleSource = [scale] { return scale; };
    }
    // Without time, the waits end within the call that started them, so that a window under
    // test comes to rest within a click. Never for a table whose seats may all be computers.
    void setTimelessWaitsInCall(bool inCall) { m_timelessWaitsInCall = inCall; }
    // The same, read at each wait from the window's clock.
    void setTimeScaleSource(std::function<double()> source) { m_timeScaleSource = std::move(source); }
    // The playing speed: the wait before each computer card, and how long a full trick lies.
    void setPlayDelay(int ms) { m_game.setPlayDelay(ms); }
    void setTrickPause(int ms) { m_game.setTrickPause(ms); }

    // Deals a new deal and carries it on. A deal in progress is thrown in first.
    void newDeal();
    // Scores back to 0, then a new deal.
    void newGame();
    // Carries the game on from wherever the model stands (a restored game): every seat is told
    // the table as it is, then the seat to act is asked.
    void resume();
    // Drops everything pending: the question asked, the waits, steps not yet shown.
    void stop();
    // Holds the table where it is (a dialog the person opened is up): no step is taken, and a
    // wait that ends meanwhile ends when the table is let go. Holds nest.
    void hold();
    void letGo();

    // The pacing view of seat has shown every step up to serial.
    void shown(int seat, std::uint64_t serial);

    // The play delay before a computer's card, or the pause on a full trick, is running.
    bool waiting() const { return m_waiting != Waiting::Nothing; }
    // The seat asked to act now, 0 when none is.
    int asking() const { return m_asked; }
    // The last step told to the seats.
    std::uint64_t lastSerial() const { return m_serial; }

signals:
    // A seat answered with an action the game refused (another seat's turn, an illegal card);
    // a computer seat that does so stops the table rather than play on wrongly.
    void actionRefused(int seat);
    // The game is over (seat: the winner); newGame() is the way on.
    void gameOver(int winner);

private:
    void gameEvent(const GameModel& game, const GameEvent& event) override;
    // Tells every seat the steps the last change of the model caused.
    void tellSteps();
    void tellSnapshot();
    // Takes the next step if nothing holds the table: a question, a wait, a view still showing.
    void advance();
    // advance() once the outermost call into the controller is through with it.
    void scheduleAdvance();
    // Every call into the controller from outside holds one of these; the last to let go takes
    // the steps that became due meanwhile.
    class Entry;
    friend class Entry;
    void runDueSteps();
    void ask(int seat);
    void answered(int seat, std::uint64_t ticket, const SeatAction& action);
    void applyAnswer();
    enum class Waiting { Nothing, PlayDelay, TrickPause };
    void startWait(int ms, Waiting what);
    void waitEnded();
    bool viewsCaughtUp() const;
    // The question asked is withdrawn; its answer, if it still comes, is dropped.
    void dropQuestion();
    // A new moment: every question and wait of the one before is dropped.
    void dropPending();

    GameModel& m_game;
    std::array<std::unique_ptr<Seat>, 5> m_seats{};
    std::array<bool, 5> m_paces{};
    std::array<std::uint64_t, 5> m_shown{};
    std::vector<GameEvent> m_steps; // caused by the change being applied, not yet told
    std::uint64_t m_serial = 0;
    std::function<double()> m_timeScaleSource = [] { return 1.0; };

    // The open question: its seat, its ticket, the answer once given, and whether the play
    // delay before a computer's card still runs.
    int m_asked = 0;
    std::uint64_t m_ticket = 0;
    bool m_answerIn = false;
    SeatAction m_answer;
    QTimer m_wait;
    Waiting m_waiting = Waiting::Nothing;
    bool m_running = false;
    bool m_advanceDue = false;
    bool m_waitOver = false; // a wait without time, ended at once
    int m_held = 0;
    bool m_timelessWaitsInCall = false;
    bool m_waitEndedWhileHeld = false;
    int m_entered = 0;
};

} // namespace halbeet
