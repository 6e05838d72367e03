// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table's network protocol: JSON text messages over a WebSocket. What a client says, and the
// strict decoder of it, are here on their own (plain C++, no Qt, nothing of the game but the
// card type), so that the decoder can be fuzzed alone; what the server says is in protocol.h.
//
// A client says who it is (hello), then acts for its seat (bid, card), chats, or leaves. The
// decoder trusts nothing: a message over MaxMessageBytes, nested deeper than a message ever
// is, not JSON, of an unknown type, with an unknown field or a field out of range is refused
// with the reason, and nothing of it is used.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/cards.h"

namespace halbeet::net {

inline constexpr int ProtocolVersion = 1;
// Offered and chosen in the WebSocket handshake (Sec-WebSocket-Protocol).
inline constexpr std::string_view Subprotocol = "halbeet.v1";
// The largest message a client may send, in bytes.
inline constexpr std::size_t MaxMessageBytes = 4096;
// Characters (code points) of a chat line and of a player's name.
inline constexpr std::size_t MaxChatChars = 200;
inline constexpr std::size_t MaxNameChars = 24;
// A table code: letters and digits a person can read aloud, 6 of them.
inline constexpr std::size_t TableCodeLength = 6;
// A reconnection token: 128 bits as 32 lowercase hexadecimal digits.
inline constexpr std::size_t TokenHexLength = 32;

// ---- what a client says ----------------------------------------------------------------

struct Hello {
    int version = ProtocolVersion;
    std::string name;  // the player's name, plain text
    std::string table; // the table's code; empty: the host's own table
    std::string token; // the token of an earlier connection to take the seat back; may be empty
    // With the token: the serial of the last step this client holds, so that it is sent only
    // the steps it missed. Without it the client is sent its seat's table whole.
    std::optional<std::uint64_t> since;

    friend bool operator==(const Hello&, const Hello&) = default;
};
struct BidMessage {
    std::int32_t bid = 0; // stored form: 2..6, 14..26
    friend bool operator==(const BidMessage&, const BidMessage&) = default;
};
struct CardMessage {
    TCardFace card{};
    friend bool operator==(const CardMessage&, const CardMessage&) = default;
};
struct ChatMessage {
    std::string text;
    friend bool operator==(const ChatMessage&, const ChatMessage&) = default;
};
struct LeaveMessage {
    friend bool operator==(const LeaveMessage&, const LeaveMessage&) = default;
};
// The host starts the game; computers take the chairs still empty.
struct StartMessage {
    friend bool operator==(const StartMessage&, const StartMessage&) = default;
};

using ClientMessage = std::variant<Hello, BidMessage, CardMessage, ChatMessage, LeaveMessage, StartMessage>;

enum class DecodeError {
    None,
    TooLarge,     // over MaxMessageBytes
    TooDeep,      // nested deeper than any message is
    NotJson,      // not JSON text in UTF-8
    NotAMessage,  // not an object with a known "type"
    BadField,     // a field missing, of the wrong kind or out of range
    UnknownField, // a field this type of message does not have
};
const char* DecodeErrorName(DecodeError error);

struct DecodedClientMessage {
    std::optional<ClientMessage> message;
    DecodeError error = DecodeError::None;
};

DecodedClientMessage DecodeClientMessage(std::string_view text);
std::string EncodeClientMessage(const ClientMessage& message);

// The deepest nesting of objects and arrays in a JSON text, found in one pass without parsing
// (a message of a million brackets costs no memory). Strings are skipped.
int JsonNestingDepth(std::string_view text);

// A table code as the server makes them, and a token as it hands them out.
bool IsTableCodeText(std::string_view code);
bool IsTokenText(std::string_view token);

// A chat line or name as it may be shown: valid UTF-8, no control characters, not empty, at
// most `limit` characters. Stray direction marks are allowed: the reader isolates each line.
bool IsAcceptableText(std::string_view text, std::size_t limit);

} // namespace halbeet::net
