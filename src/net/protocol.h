// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table's network protocol, the server's side: it answers a client with its seat
// (welcome), tells it each step of the game as its seat may know it (event, built from that
// seat's view and nothing else: the whole view on joining and coming back, what changed after
// that), refuses what it may not do (refused), passes chat lines on, and says why it closes a
// connection (bye). What a client says is in client_message.h; SeatTable is the client's copy
// of its seat's view, rebuilt from those events.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "net/client_message.h"
#include "table/seat.h"

namespace halbeet::net {

// ---- what the server says --------------------------------------------------------------

// Who sits in a chair, as every player at the table is told it.
enum class ChairKind {
    Open,     // nobody yet: a person who joins may take it
    Person,   // a person, connected
    Away,     // a person whose connection dropped, within the time his chair waits for him
    Computer, // a computer plays it: in a chair given to one, or for a person gone
};
// "open", "person", "away", "computer": the chair's name in a welcome.
const char* ChairKindName(ChairKind kind);

// The seat this connection plays, the table's code, the token that takes the seat back after
// a dropped connection (empty in a welcome that only tells of a change at the table: the
// client keeps the one it has), the names at the table (seat 1..4; a computer in a chair
// nobody took is named after its kind, one playing for a person keeps the person's name), who
// sits in each chair, and whether the game has started.
struct Welcome {
    int seat = 0;
    std::string table;
    std::string token;
    std::array<std::string, 5> names{};
    std::array<ChairKind, 5> chairs{};
    bool started = false;

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

// One step of the game as a client reads it: what happened (the event's own fields) and what
// changed in the seat's view. A snapshot carries the whole view; any other event only the
// fields that differ from the view the seat was sent before, the cards played, the tricks
// taken and the score rows as the ones added, the seat's hand as the card that left it. The
// legal bids and cards ride along whenever the seat is to act, absent otherwise.
struct TableUpdate {
    SeatEvent::Kind kind{};
    int seat = 0;
    TCardFace card{};
    std::int32_t value = 0;
    std::uint64_t serial = 0;

    // The fields of the view an event carries.
    enum Field : std::uint32_t {
        PhaseField = 1u << 0, ToActField = 1u << 1, DealerField = 1u << 2, TrumpField = 1u << 3,
        CutField = 1u << 4, HandField = 1u << 5, DealtField = 1u << 6, BidsField = 1u << 7,
        BidMadeField = 1u << 8, ScoresField = 1u << 9, PlaysField = 1u << 10, TakersField = 1u << 11,
        HandCountsField = 1u << 12, ScoreRowsField = 1u << 13, PassedField = 1u << 14,
        ScoredField = 1u << 15, WinnerField = 1u << 16, DealsField = 1u << 17,
    };
    // The whole view (a snapshot), or the fields in `fields` taken from `view`.
    bool whole = false;
    std::uint32_t fields = 0;
    TableView view;
    // Added to what the client holds rather than put in its place.
    std::vector<TTrickCard> playsAdded;
    std::vector<int> takersAdded;
    std::vector<PerSeat<std::int32_t>> rowsAdded;
    // The one card that left the seat's hand.
    std::optional<TCardFace> handOut;

    friend bool operator==(const TableUpdate&, const TableUpdate&) = default;
};

using ServerMessage = std::variant<Welcome, TableUpdate, Refused, ChatLine, Bye>;
// What the server says besides the steps of the game.
using ServerNotice = std::variant<Welcome, Refused, ChatLine, Bye>;

// Every step of the game a seat is told goes out through this one function, from the event
// built from that seat's view: no field of it can carry another seat's hidden card. `before`
// is the view of the same seat that the client holds (the last one sent to it): the message
// carries what changed since; without it, or for a snapshot, the whole view.
std::string EncodeSeatEvent(const SeatEvent& event, const TableView* before = nullptr);
// True when two views of a seat differ in nothing but the legal choices (which every message
// carries afresh).
bool SameBesidesChoices(const TableView& a, const TableView& b);

// The server's end of one seat's stream of events: it remembers the view the client was last
// sent and writes each event against it, through EncodeSeatEvent.
class SeatWriter {
public:
    // The message telling event. Whole (the view as it stands) when nothing was sent before,
    // for a snapshot, and for a question when the table moved without a step; *whole says so.
    std::string write(const SeatEvent& event, bool* whole = nullptr);
    // The client holds nothing any more: the next message goes whole.
    void forget() { m_sent.reset(); }
    bool holds() const { return m_sent.has_value(); }

private:
    std::optional<TableView> m_sent;
};
std::string EncodeServerMessage(const ServerNotice& message);

// The largest message a client takes from the server, in bytes: a snapshot with a long score
// sheet is a few kilobytes.
inline constexpr std::size_t MaxServerMessageBytes = 65536;
// What a client reads; nothing when the text is not a message of this protocol: too large,
// not JSON, a field missing, unknown, or out of range.
std::optional<ServerMessage> DecodeServerMessage(std::string_view text);

// A seat's table as a client holds it: built from a snapshot, kept up by the events after it.
// It takes nothing that does not fit what it holds (a change before any snapshot, a serial
// going back, a card leaving a hand that does not hold it, more than a deal's cards), and then
// holds what it held before.
class SeatTable {
public:
    bool apply(const TableUpdate& update);
    bool hasView() const { return m_hasView; }
    const TableView& view() const { return m_view; }
    // The serial of the last step applied: what a client names when it comes back.
    std::uint64_t serial() const { return m_serial; }
    // The last step with the view after it, as the seat was told it on the server.
    SeatEvent lastEvent() const;

private:
    bool m_hasView = false;
    TableView m_view;
    std::uint64_t m_serial = 0;
    TableUpdate m_last;
};

} // namespace halbeet::net
