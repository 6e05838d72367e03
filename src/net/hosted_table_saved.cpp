// SPDX-License-Identifier: GPL-3.0-or-later
// A table taken down with its server and taken up again: what is kept, and checking it back.

#include "net/hosted_table.h"

#include "table/computer_seats.h"

namespace halbeet::net {

namespace {

constexpr int TokenHashBytes = 32; // SHA-256

} // namespace

HostedTable::Saved HostedTable::saved() const
{
    Saved saved;
    saved.code = m_code;
    saved.started = m_started;
    saved.chairs = m_chairs;
    saved.names = m_names;
    saved.tokenHashes = m_tokenHashes;
    saved.game = m_game.save();
    return saved;
}

int HostedTable::awaitedCount() const
{
    // A computer that took the chair of a dropped person keeps it only until he comes back.
    int count = 0;
    for (int seat = 1; seat <= 4; ++seat)
        count += !m_tokenHashes[static_cast<std::size_t>(seat)].isEmpty();
    return count;
}

bool HostedTable::restore(const Saved& saved, std::string* error)
{
    const auto fail = [error](std::string why) {
        if (error)
            *error = std::move(why);
        return false;
    };
    if (saved.code != m_code)
        return fail("the code is not this table's");
    for (int seat = 1; seat <= 4; ++seat) {
        if (m_chairs[static_cast<std::size_t>(seat)] != Chair::Open)
            return fail("the table has players already");
    }
    // Every chair checked before anything changes: a save that fails leaves the table empty.
    for (int seat = 1; seat <= 4; ++seat) {
        const auto i = static_cast<std::size_t>(seat);
        const std::string where = "seat " + std::to_string(seat) + ": ";
        switch (saved.chairs[i]) {
        case Chair::Open:
            if (saved.started)
                return fail(where + "open at a started table");
            if (!saved.names[i].empty() || !saved.tokenHashes[i].isEmpty())
                return fail(where + "open with a name or token");
            break;
        case Chair::Person:
            if (saved.tokenHashes[i].size() != TokenHashBytes)
                return fail(where + "a person without a token");
            if (!IsAcceptableText(saved.names[i], MaxNameChars))
                return fail(where + "not a name");
            break;
        case Chair::Computer:
            // Playing for a person who may come back (his token's hash is kept), for one who
            // left (his name stays on the chair), or in a chair nobody took.
            if (!saved.tokenHashes[i].isEmpty() && saved.tokenHashes[i].size() != TokenHashBytes)
                return fail(where + "not a token hash");
            if (!IsAcceptableText(saved.names[i], MaxNameChars))
                return fail(where + "not a name");
            break;
        default:
            return fail(where + "not a chair");
        }
    }
    if (saved.chairs[1] != Chair::Person && !saved.started)
        return fail("a table not started without its host");
    std::string gameError;
    if (!m_game.load(saved.game, &gameError))
        return fail("the game: " + gameError);

    m_started = saved.started;
    m_names = saved.names;
    m_tokenHashes = saved.tokenHashes;
    m_chairs = saved.chairs;
    for (int seat = 1; seat <= 4; ++seat) {
        switch (m_chairs[static_cast<std::size_t>(seat)]) {
        case Chair::Person:
            seatAway(seat);
            break;
        case Chair::Computer:
            // The file keeps no level: a chair the host gave the Classic rules is known by the
            // name it was given, and gets them again.
            if (m_names[static_cast<std::size_t>(seat)] == "Classic" && m_tokenHashes[static_cast<std::size_t>(seat)].isEmpty())
                m_controller.setSeat(seat, std::make_unique<ClassicSeat>(m_game));
            else
                m_controller.setSeat(seat, std::make_unique<ExpertSeat>());
            break;
        case Chair::Open:
            break;
        }
    }
    if (m_started)
        m_controller.resume();
    return true;
}

} // namespace halbeet::net
