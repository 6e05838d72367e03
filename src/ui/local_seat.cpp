// SPDX-License-Identifier: GPL-3.0-or-later
// The person's seat at this window: questions wait for his input, steps go to the window.
#include "ui/local_seat.h"

#include <utility>

namespace halbeet {

void LocalSeat::act(const TableView& view, SeatAnswer answer)
{
    m_question = view;
    m_answer = std::move(answer);
    if (m_handlers.asked)
        m_handlers.asked(m_question);
}

void LocalSeat::withdraw()
{
    m_answer = nullptr;
    if (m_handlers.withdrawn)
        m_handlers.withdrawn();
}

void LocalSeat::tell(const SeatEvent& event)
{
    if (m_handlers.told)
        m_handlers.told(event);
}

bool LocalSeat::answer(const SeatAction& action)
{
    if (!m_answer)
        return false;
    // Cleared first: the answer moves the table on, and may ask this seat again within the call.
    std::exchange(m_answer, nullptr)(action);
    return true;
}

} // namespace halbeet
