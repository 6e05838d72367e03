// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for a client's reading of what the server sends, and its copy of the table.
//
// The input is lines of messages applied in turn to a client holding a seat's view in the middle
// of a deal. Besides surviving any of them, the copy keeps what a view can hold (13 cards in
// hand, 52 played, 13 tricks), and one it refuses leaves it as it was.

#include "net/protocol.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace halbeet;
using namespace halbeet::net;

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// Seat 1's view after the bids and a few cards of a deal dealt from a fixed seed.
const TableUpdate& start()
{
    static const TableUpdate update = [] {
        std::uint32_t seed = 17;
        GameModel game([&] { return seed++; });
        game.startDeal();
        while (game.phase() == Phase::Bidding)
            game.bid(game.legalBids(game.toAct()).back());
        for (int k = 0; k < 6 && game.phase() == Phase::Playing; ++k)
            game.play(game.legalCards().front());
        SeatEvent snapshot;
        snapshot.kind = SeatEvent::Kind::Snapshot;
        snapshot.serial = 100;
        snapshot.view = TableViewOf(game, 1);
        const auto read = DecodeServerMessage(EncodeSeatEvent(snapshot));
        if (!read || !std::holds_alternative<TableUpdate>(*read))
            fail("the snapshot does not read back");
        return std::get<TableUpdate>(*read);
    }();
    return update;
}

void checkHeld(const SeatTable& table)
{
    const TableView& v = table.view();
    if (v.seat.HandCount < 0 || v.seat.HandCount > 13 || v.seat.PlayCount < 0 || v.seat.PlayCount > 52 ||
        v.takers.size() > 13 || v.legalCards.size() > 13)
        fail("the client holds more than a view can");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SeatTable table;
    if (!table.apply(start()))
        fail("the snapshot is refused");
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        const auto read = DecodeServerMessage(line);
        if (!read || !std::holds_alternative<TableUpdate>(*read))
            continue;
        const TableView before = table.view();
        const std::uint64_t serial = table.serial();
        if (!table.apply(std::get<TableUpdate>(*read))) {
            if (!(table.view() == before) || table.serial() != serial)
                fail("a refused message changed the table");
        }
        checkHeld(table);
    }
    return 0;
}
