// SPDX-License-Identifier: GPL-3.0-or-later
// Drives one table: asks its seats, applies their answers and the game's own steps, keeps the
// pace and tells every seat its own view of each step.

#include "table/table_controller.h"

#include <QPointer>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace halbeet {

class TableController::Entry {
public:
    explicit Entry(TableController& controller) : m_controller(controller) { ++m_controller.m_entered; }
    ~Entry()
    {
        if (m_controller.m_entered == 1)
            m_controller.runDueSteps();
        --m_controller.m_entered;
    }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

private:
    TableController& m_controller;
};

TableController::TableController(GameModel& game, QObject* parent) : QObject(parent), m_game(game)
{
    m_wait.setSingleShot(true);
    m_wait.setTimerType(Qt::PreciseTimer);
    connect(&m_wait, &QTimer::timeout, this, &TableController::waitEnded);
    m_game.addListener(this);
}

TableController::~TableController()
{
    m_game.removeListener(this);
    dropPending();
    // A computer seat still thinking finishes before the controller its answer would reach goes.
    for (auto& seat : m_seats)
        seat.reset();
}

void TableController::setSeat(int seat, std::unique_ptr<Seat> player)
{
    const auto i = static_cast<std::size_t>(seat);
    if (seat < 1 || seat > 4)
        return;
    if (m_asked == seat)
        dropQuestion();
    m_seats[i] = std::move(player);
    m_shown[i] = m_serial;
    scheduleAdvance();
}

Seat* TableController::seat(int seat) const
{
    return seat >= 1 && seat <= 4 ? m_seats[static_cast<std::size_t>(seat)].get() : nullptr;
}

void TableController::setPacing(int seat, bool paces)
{
    if (seat < 1 || seat > 4)
        return;
    m_paces[static_cast<std::size_t>(seat)] = paces;
    m_shown[static_cast<std::size_t>(seat)] = m_serial;
    scheduleAdvance();
}

// ---------------------------------------------------------------------------------------
// Commands

void TableController::newDeal()
{
    const Entry entry(*this);
    dropPending();
    m_running = true;
    // A deal still in progress is one the table gives up; a won game waits for newGame().
    m_game.abandonDeal();
    m_game.startDeal();
    tellSteps();
    scheduleAdvance();
}

void TableController::newGame()
{
    const Entry entry(*this);
    dropPending();
    m_running = true;
    m_game.newGame();
    m_game.startDeal();
    tellSteps();
    scheduleAdvance();
}

void TableController::resume()
{
    const Entry entry(*this);
    dropPending();
    m_running = true;
    tellSnapshot();
    scheduleAdvance();
}

void TableController::stop()
{
    dropPending();
    m_running = false;
}

void TableController::hold() { ++m_held; }

void TableController::letGo()
{
    if (m_held > 0)
        --m_held;
    if (m_held > 0)
        return;
    // The table goes on from the event loop, once the call that let it go is over, as it would
    // had nothing held it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const Entry entry(*this);
            if (m_held == 0 && std::exchange(m_waitEndedWhileHeld, false))
                m_waitOver = true;
            scheduleAdvance();
        },
        Qt::QueuedConnection);
}

void TableController::shown(int seat, std::uint64_t serial)
{
    const Entry entry(*this);
    if (seat < 1 || seat > 4)
        return;
    auto& upTo = m_shown[static_cast<std::size_t>(seat)];
    upTo = std::max(upTo, std::min(serial, m_serial));
    scheduleAdvance();
}

// ---------------------------------------------------------------------------------------
// Telling the seats

void TableController::gameEvent(const GameModel& /*game*/, const GameEvent& event)
{
    // Told once the change is whole, so that every seat's view of it is the one after it.
    m_steps.push_back(event);
}

void TableController::tellSteps()
{
    if (m_steps.empty())
        return;
    const std::vector<GameEvent> steps = std::exchange(m_steps, {});
    std::array<TableView, 5> views;
    for (int s = 1; s <= 4; ++s) {
        if (m_seats[static_cast<std::size_t>(s)])
            views[static_cast<std::size_t>(s)] = TableViewOf(m_game, s);
    }
    for (const GameEvent& step : steps) {
        ++m_serial;
        for (int s = 1; s <= 4; ++s) {
            Seat* told = m_seats[static_cast<std::size_t>(s)].get();
            if (!told)
                continue;
            SeatEvent event = SeatEventOf(step, views[static_cast<std::size_t>(s)]);
            event.serial = m_serial;
            told->tell(event);
        }
        if (step.kind == GameEvent::Kind::GameWon)
            emit gameOver(step.seat);
    }
}

void TableController::tellSnapshot()
{
    m_steps.clear();
    ++m_serial;
    for (int s = 1; s <= 4; ++s) {
        Seat* told = m_seats[static_cast<std::size_t>(s)].get();
        if (!told)
            continue;
        SeatEvent event;
        event.kind = SeatEvent::Kind::Snapshot;
        event.serial = m_serial;
        event.view = TableViewOf(m_game, s);
        told->tell(event);
    }
}

// ---------------------------------------------------------------------------------------
// The steps of the game

void TableController::scheduleAdvance()
{
    // Never from inside a seat's call: a seat may answer, or a view report, while it is told.
    const bool wasDue = std::exchange(m_advanceDue, true);
    if (m_entered > 0 || wasDue)
        return; // taken when the call in progress is through with the controller
    // Asked for outside any call (a seat put in, a view made pacing): from the event loop, so
    // that whoever asked finishes first (a seat that comes back is told the table before it
    // is asked).
    QMetaObject::invokeMethod(
        this, [this] { const Entry entry(*this); }, Qt::QueuedConnection);
}

void TableController::runDueSteps()
{
    while (m_advanceDue || m_waitOver) {
        if (std::exchange(m_waitOver, false)) {
            waitEnded();
            continue;
        }
        m_advanceDue = false;
        advance();
    }
}

bool TableController::viewsCaughtUp() const
{
    for (std::size_t s = 1; s <= 4; ++s) {
        if (m_paces[s] && m_seats[s] && m_shown[s] < m_serial)
            return false;
    }
    return true;
}

void TableController::advance()
{
    if (!m_running || m_held > 0 || m_asked != 0 || m_waiting != Waiting::Nothing || !viewsCaughtUp())
        return;
    switch (m_game.phase()) {
    case Phase::Bidding:
    case Phase::Playing:
        if (m_seats[static_cast<std::size_t>(m_game.toAct())])
            ask(m_game.toAct());
        return;
    case Phase::TrickComplete:
        startWait(m_game.state().TrickPause, Waiting::TrickPause);
        return;
    case Phase::DealOver:
        // The deal is scored once it has been seen to end, and the next is dealt once the
        // score (or the thrown-in deal) has been seen.
        if (!m_game.dealPassed() && !m_game.dealScored())
            m_game.scoreDeal();
        else
            m_game.startDeal();
        tellSteps();
        scheduleAdvance();
        return;
    case Phase::NoDeal:
    case Phase::GameOver:
        return;
    }
}

void TableController::ask(int seat)
{
    Seat* player = m_seats[static_cast<std::size_t>(seat)].get();
    m_asked = seat;
    const std::uint64_t ticket = ++m_ticket;
    m_answerIn = false;
    const TableView view = TableViewOf(m_game, seat);
    // The Expert thinks during the play delay; it stretches the wait only when it needs longer.
    if (view.phase == Phase::Playing && player->isComputer())
        startWait(m_game.state().PlayDelay, Waiting::PlayDelay);
    // The answer may come from a worker thread: it is taken to this object's thread. A computer
    // seat finishes its thinking before the controller goes (see the destructor).
    SeatAnswer answer = [guard = QPointer<TableController>(this), seat, ticket](const SeatAction& action) {
        if (TableController* controller = guard.data()) {
            if (QThread::currentThread() == controller->thread()) {
                controller->answered(seat, ticket, action);
                return;
            }
            QMetaObject::invokeMethod(
                controller, [controller, seat, ticket, action] { controller->answered(seat, ticket, action); },
                Qt::QueuedConnection);
        }
    };
    player->act(view, std::move(answer));
}

void TableController::answered(int seat, std::uint64_t ticket, const SeatAction& action)
{
    const Entry entry(*this);
    if (ticket != m_ticket || seat != m_asked || m_answerIn)
        return; // a question of an earlier moment, or a second answer to this one
    m_answer = action;
    m_answerIn = true;
    if (m_waiting == Waiting::PlayDelay)
        return; // applied when the delay ends
    if (m_held > 0) {
        m_waiting = Waiting::PlayDelay; // applied once the table is let go
        m_waitEndedWhileHeld = true;
        return;
    }
    applyAnswer();
}

void TableController::applyAnswer()
{
    const int seat = m_asked;
    m_asked = 0;
    m_answerIn = false;
    const bool turn = m_game.toAct() == seat;
    const bool applied = turn && (m_game.phase() == Phase::Bidding ? m_game.bid(m_answer.bid)
                                  : m_game.phase() == Phase::Playing ? m_game.play(m_answer.card)
                                                                      : false);
    if (!applied) {
        emit actionRefused(seat);
        Seat* player = m_seats[static_cast<std::size_t>(seat)].get();
        if (player && player->isComputer())
            m_running = false; // a computer that names an illegal action would do so again
        else
            scheduleAdvance(); // the seat is asked again
        return;
    }
    tellSteps();
    scheduleAdvance();
}

void TableController::startWait(int ms, Waiting what)
{
    m_waiting = what;
    const double scale = m_timeScaleSource();
    if (scale == 0.0 && m_timelessWaitsInCall) {
        m_waitOver = true; // ended once the call that started it is through
        return;
    }
    const double scaled = std::max(0.0, ms * scale);
    m_wait.start(static_cast<int>(std::lround(scaled)));
}

void TableController::waitEnded()
{
    const Entry entry(*this);
    if (m_held > 0) {
        m_waitEndedWhileHeld = m_waiting != Waiting::Nothing;
        return;
    }
    const Waiting ended = std::exchange(m_waiting, Waiting::Nothing);
    switch (ended) {
    case Waiting::PlayDelay:
        if (m_answerIn)
            applyAnswer();
        return; // otherwise the answer is applied as it comes
    case Waiting::TrickPause:
        m_game.takeTrick();
        tellSteps();
        scheduleAdvance();
        return;
    case Waiting::Nothing:
        return;
    }
}

void TableController::dropQuestion()
{
    if (m_asked != 0) {
        if (Seat* player = m_seats[static_cast<std::size_t>(m_asked)].get())
            player->withdraw();
    }
    m_asked = 0;
    ++m_ticket; // an answer still on its way finds no question open
    m_answerIn = false;
}

void TableController::dropPending()
{
    dropQuestion();
    m_wait.stop();
    m_waiting = Waiting::Nothing;
    m_waitOver = false;
    m_waitEndedWhileHeld = false;
    m_steps.clear();
    // Steps a view had not shown yet are gone with the moment they belonged to.
    m_shown.fill(m_serial);
}

} // namespace halbeet
