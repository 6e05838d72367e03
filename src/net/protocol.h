// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table's network protocol, the server's side: it answers a client with its seat
// (welcome), tells it each step of the game as its seat may know it (event, built from that
// seat's view and nothing else), refuses what it may not do (refused), passes chat lines on,
// and says why it closes a connection (bye). What a client says is in client_message.h.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "net/client_message.h"
#include "table/seat.h"

namespace halbeet::net {

// ---- what the server says --------------------------------------------------------------

// The seat this connection plays, the table's code, the token that takes the seat back after
// a dropped connection, and the names at the table (seat 1..4; a computer's name is its kind).
struct Welcome {
    int seat = 0;
    std::string table;
    std::string token;
    std::array<std::string, 5> names{};

    friend bool operator==(const Welcome&, const Welcome&) = default;
};
struct Refused {
    std::string reason;
    friend bool operator==(const Refused&, const Refused&) = default;
};
struct ChatLine {
    int seat = 0;
    std::string text;
    friend bool operator==(const ChatLine&, const ChatLine&) = default;
};
struct Bye {
    std::string reason;
    friend bool operator==(const Bye&, const Bye&) = default;
};

using ServerMessage = std::variant<Welcome, SeatEvent, Refused, ChatLine, Bye>;

// Every step of the game a seat is told goes out through this one function, from the event
// built from that seat's view: no field of it can carry another seat's hidden card.
std::string EncodeSeatEvent(const SeatEvent& event);
std::string EncodeServerMessage(const ServerMessage& message);
// What a client reads; nothing when the text is not a message of this protocol.
std::optional<ServerMessage> DecodeServerMessage(std::string_view text);

} // namespace halbeet::net
