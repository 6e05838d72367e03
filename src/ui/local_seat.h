// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The seat of the person at this window. Asked, it waits for his bid or card (a click or a
// key); told a step of the game, it hands it to the window to show. It knows the table only
// as its seat's view.

#include <functional>

#include "table/seat.h"

namespace halbeet {

class LocalSeat final : public Seat {
public:
    struct Handlers {
        std::function<void(const TableView& question)> asked;
        std::function<void()> withdrawn;
        std::function<void(const SeatEvent& event)> told;
    };
    explicit LocalSeat(Handlers handlers) : m_handlers(std::move(handlers)) {}

    void act(const TableView& view, SeatAnswer answer) override;
    void withdraw() override;
    void tell(const SeatEvent& event) override;
    bool isComputer() const override { return false; }

    // Whether a question is open, and the view it was asked with.
    bool asked() const { return static_cast<bool>(m_answer); }
    const TableView& question() const { return m_question; }
    // Gives the open question its answer; false when none is open.
    bool answer(const SeatAction& action);

private:
    Handlers m_handlers;
    TableView m_question;
    SeatAnswer m_answer;
};

} // namespace halbeet
