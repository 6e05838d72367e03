// SPDX-License-Identifier: GPL-3.0-or-later
// The network protocol's decoder against what a hostile or broken client may send, and the
// server's messages read back as a client reads them.

#include "net/protocol.h"

#include "core/game.h"
#include "core/player.h"
#include "table/table_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <type_traits>

namespace halbeet::net {
namespace {

struct RefusedCase {
    const char* name;
    std::string text;
    DecodeError error;
};

std::string repeat(std::string_view piece, std::size_t times)
{
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string chat(const std::string& text) { return R"({"type":"chat","text":")" + text + "\"}"; }
std::string hello(const std::string& fields) { return R"({"type":"hello","version":1,"name":"Ann")" + fields + "}"; }

class DecoderRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(DecoderRefuses, TheMessageWithItsReason)
{
    const DecodedClientMessage decoded = DecodeClientMessage(GetParam().text);
    EXPECT_FALSE(decoded.message.has_value());
    EXPECT_EQ(decoded.error, GetParam().error) << DecodeErrorName(decoded.error);
}

// An Arabic letter is two bytes of UTF-8: 200 of them are a chat line, 201 are not.
const std::string alif = "\xD8\xA7";

INSTANTIATE_TEST_SUITE_P(
    HostileInput, DecoderRefuses,
    ::testing::Values(
        RefusedCase{"oversized", chat(repeat("a", MaxMessageBytes)), DecodeError::TooLarge},
        RefusedCase{"deeply_nested", repeat("[", 100000) + repeat("]", 100000), DecodeError::TooLarge},
        RefusedCase{"nested_within_size", repeat("[", 1000) + repeat("]", 1000), DecodeError::TooDeep},
        RefusedCase{"nested_object", R"({"type":"chat","text":{"a":{"b":{"c":{"d":1}}}}})", DecodeError::TooDeep},
        RefusedCase{"empty", "", DecodeError::NotJson},
        RefusedCase{"not_json", "bid 6", DecodeError::NotJson},
        RefusedCase{"truncated", R"({"type":"bid","bid":6)", DecodeError::NotJson},
        RefusedCase{"ill_formed_utf8", "{\"type\":\"chat\",\"text\":\"\xC3\x28\"}", DecodeError::NotJson},
        RefusedCase{"array", R"(["bid",6])", DecodeError::NotAMessage},
        RefusedCase{"number", "6", DecodeError::NotAMessage},
        RefusedCase{"no_type", R"({"bid":6})", DecodeError::NotAMessage},
        RefusedCase{"type_not_a_string", R"({"type":7})", DecodeError::NotAMessage},
        RefusedCase{"unknown_type", R"({"type":"deal"})", DecodeError::NotAMessage},
        RefusedCase{"bid_too_low", R"({"type":"bid","bid":1})", DecodeError::BadField},
        RefusedCase{"bid_too_high", R"({"type":"bid","bid":27})", DecodeError::BadField},
        RefusedCase{"bid_huge", R"({"type":"bid","bid":18446744073709551615})", DecodeError::BadField},
        RefusedCase{"bid_negative", R"({"type":"bid","bid":-6})", DecodeError::BadField},
        RefusedCase{"bid_as_text", R"({"type":"bid","bid":"6"})", DecodeError::BadField},
        RefusedCase{"bid_fraction", R"({"type":"bid","bid":6.5})", DecodeError::BadField},
        RefusedCase{"bid_missing", R"({"type":"bid"})", DecodeError::BadField},
        RefusedCase{"bid_for_another_seat", R"({"type":"bid","bid":6,"seat":2})", DecodeError::UnknownField},
        RefusedCase{"card_suit_zero", R"({"type":"card","suit":0,"rank":5})", DecodeError::BadField},
        RefusedCase{"card_suit_five", R"({"type":"card","suit":5,"rank":5})", DecodeError::BadField},
        RefusedCase{"card_rank_14", R"({"type":"card","suit":1,"rank":14})", DecodeError::BadField},
        RefusedCase{"card_extra_field", R"({"type":"card","suit":1,"rank":4,"from":3})", DecodeError::UnknownField},
        RefusedCase{"chat_empty", chat(""), DecodeError::BadField},
        RefusedCase{"chat_too_long", chat(repeat(alif, MaxChatChars + 1)), DecodeError::BadField},
        RefusedCase{"chat_newline", chat("a\\nb"), DecodeError::BadField},
        RefusedCase{"chat_nul", chat("a\\u0000b"), DecodeError::BadField},
        RefusedCase{"chat_c1_control", chat("a\\u0085b"), DecodeError::BadField},
        RefusedCase{"chat_lone_surrogate", chat("\\ud800"), DecodeError::NotJson},
        RefusedCase{"chat_markup_field", R"({"type":"chat","text":"hi","html":"<b>hi</b>"})",
                    DecodeError::UnknownField},
        RefusedCase{"leave_with_field", R"({"type":"leave","seat":3})", DecodeError::UnknownField},
        RefusedCase{"start_with_seats", R"({"type":"start","seats":[1,2]})", DecodeError::UnknownField},
        RefusedCase{"hello_no_version", R"({"type":"hello","name":"Ann"})", DecodeError::BadField},
        RefusedCase{"hello_version_zero", R"({"type":"hello","version":0,"name":"Ann"})", DecodeError::BadField},
        RefusedCase{"hello_no_name", R"({"type":"hello","version":1})", DecodeError::BadField},
        RefusedCase{"hello_empty_name", R"({"type":"hello","version":1,"name":""})", DecodeError::BadField},
        RefusedCase{"hello_long_name", R"({"type":"hello","version":1,"name":")" + repeat("n", MaxNameChars + 1) + "\"}",
                    DecodeError::BadField},
        RefusedCase{"hello_name_tab", R"({"type":"hello","version":1,"name":"A\tn"})", DecodeError::BadField},
        RefusedCase{"hello_code_lowercase", hello(R"(,"table":"abcdef")"), DecodeError::BadField},
        RefusedCase{"hello_code_short", hello(R"(,"table":"ABCDE")"), DecodeError::BadField},
        RefusedCase{"hello_code_ambiguous_letter", hello(R"(,"table":"ABCDE0")"), DecodeError::BadField},
        RefusedCase{"hello_token_short", hello(R"(,"token":"abcd")"), DecodeError::BadField},
        RefusedCase{"hello_token_uppercase", hello(R"(,"token":")" + repeat("A", TokenHexLength) + "\""),
                    DecodeError::BadField},
        RefusedCase{"hello_token_not_hex", hello(R"(,"token":")" + repeat("g", TokenHexLength) + "\""),
                    DecodeError::BadField},
        RefusedCase{"hello_asks_for_a_seat", hello(R"(,"seat":1)"), DecodeError::UnknownField},
        RefusedCase{"hello_since_without_token", hello(R"(,"since":4)"), DecodeError::BadField},
        RefusedCase{"hello_since_negative", hello(R"(,"token":")" + repeat("a", TokenHexLength) + R"(","since":-1)"),
                    DecodeError::BadField},
        RefusedCase{"hello_since_as_text", hello(R"(,"token":")" + repeat("a", TokenHexLength) + R"(","since":"4")"),
                    DecodeError::BadField}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST(Decoder, TakesEveryWellFormedMessage)
{
    const std::string token(TokenHexLength, 'a');
    const ClientMessage messages[] = {
        Hello{1, "Ann", "", "", {}},
        Hello{1, "\xD8\xB3\xD8\xA7\xD9\x85\xD9\x8A", "K7P2QZ", token, {}},
        Hello{1, "Ann", "K7P2QZ", token, 0},
        Hello{1, "Ann", "K7P2QZ", token, 123456789012},
        BidMessage{2},
        BidMessage{26},
        CardMessage{{4, 13}},
        ChatMessage{repeat(alif, MaxChatChars)},
        ChatMessage{"<b>not markup</b> \xE2\x80\xAE reversed?"},
        LeaveMessage{},
        StartMessage{},
    };
    for (const ClientMessage& message : messages) {
        const std::string text = EncodeClientMessage(message);
        const DecodedClientMessage decoded = DecodeClientMessage(text);
        ASSERT_TRUE(decoded.message.has_value()) << text << ": " << DecodeErrorName(decoded.error);
        EXPECT_EQ(*decoded.message, message) << text;
    }
    // A newer client's version number is read, for the server to answer it.
    const auto newer = DecodeClientMessage(R"({"type":"hello","version":2,"name":"Ann"})");
    ASSERT_TRUE(newer.message.has_value());
    EXPECT_EQ(std::get<Hello>(*newer.message).version, 2);
}

TEST(AcceptableText, CountsCharactersNotBytes)
{
    EXPECT_TRUE(IsAcceptableText("Ann", 3));
    EXPECT_FALSE(IsAcceptableText("Anna", 3));
    EXPECT_TRUE(IsAcceptableText(repeat(alif, 3), 3));
    EXPECT_FALSE(IsAcceptableText(repeat(alif, 4), 3));
    EXPECT_FALSE(IsAcceptableText("", 3));
    EXPECT_FALSE(IsAcceptableText("\xD8", 3));             // cut short
    EXPECT_FALSE(IsAcceptableText("\xC0\xAF", 3));         // overlong '/'
    EXPECT_FALSE(IsAcceptableText("\xED\xA0\x80", 3));     // a surrogate
    EXPECT_FALSE(IsAcceptableText("\xF4\x90\x80\x80", 3)); // past Unicode
    EXPECT_TRUE(IsAcceptableText("\xF0\x9F\x83\x8F", 3));  // a playing card, four bytes
}

// Plays whole deals with the Classic player and hands every step of the game, as each seat is
// told it, to `told` (the seat's event, built from its view as the table controller builds it).
class StepRecorder final : public GameListener {
public:
    explicit StepRecorder(GameModel& game) : m_game(game) { game.addListener(this); }
    ~StepRecorder() override { m_game.removeListener(this); }
    void gameEvent(const GameModel&, const GameEvent& event) override { m_steps.push_back(event); }

    // Steps until `deals` deals are over and one game has been won at least.
    void play(int deals, const std::function<void(int seat, const SeatEvent&)>& told)
    {
        ClassicPlayer classic;
        std::uint64_t serial = 0;
        bool won = false;
        auto tell = [&] {
            for (const GameEvent& step : std::exchange(m_steps, {})) {
                ++serial;
                won = won || step.kind == GameEvent::Kind::GameWon;
                for (int seat = 1; seat <= 4; ++seat) {
                    SeatEvent event = SeatEventOf(step, TableViewOf(m_game, seat));
                    event.serial = serial;
                    told(seat, event);
                }
            }
            // The seat to act is asked, with the step's serial.
            if (m_game.dealInProgress() && m_game.phase() != Phase::TrickComplete) {
                SeatEvent asked;
                asked.kind = SeatEvent::Kind::Asked;
                asked.seat = m_game.toAct();
                asked.serial = serial;
                asked.view = TableViewOf(m_game, asked.seat);
                told(asked.seat, asked);
            }
        };
        for (int deal = 0; deal < deals || !won; ++deal) {
            if (m_game.phase() == Phase::GameOver)
                m_game.newGame();
            ASSERT_TRUE(m_game.startDeal());
            tell();
            while (m_game.dealInProgress() ||
                   (m_game.phase() == Phase::DealOver && !m_game.dealScored() && !m_game.dealPassed())) {
                if (m_game.phase() == Phase::Bidding)
                    m_game.bid(classic.chooseBid(m_game, m_game.toAct()));
                else if (m_game.phase() == Phase::Playing)
                    m_game.play(classic.chooseCard(m_game, m_game.toAct()));
                else if (m_game.phase() == Phase::TrickComplete)
                    m_game.takeTrick();
                else
                    m_game.scoreDeal();
                tell();
            }
        }
    }

private:
    GameModel& m_game;
    std::vector<GameEvent> m_steps;
};

// Every seat's client, fed what its seat's writer makes of each step of real games, holds
// after each message exactly the view the server built for it; and after the first message,
// no step is sent whole.
TEST(ServerMessages, TheClientRebuildsItsSeatsViewFromTheSteps)
{
    std::uint32_t seed = 3;
    GameModel game([&] { return seed++; });
    StepRecorder recorder(game);
    std::array<SeatWriter, 5> writers;
    std::array<SeatTable, 5> clients;
    std::size_t changeBytes = 0;
    std::size_t asWholeBytes = 0; // the same steps, each with the whole view
    std::size_t changes = 0;
    recorder.play(12, [&](int seat, const SeatEvent& event) {
        bool whole = false;
        const std::string text = writers[static_cast<std::size_t>(seat)].write(event, &whole);
        const auto read = DecodeServerMessage(text);
        ASSERT_TRUE(read.has_value()) << text;
        const auto* update = std::get_if<TableUpdate>(&*read);
        ASSERT_NE(update, nullptr) << text;
        EXPECT_EQ(update->whole, whole);
        SeatTable& client = clients[static_cast<std::size_t>(seat)];
        const bool first = !client.hasView();
        ASSERT_TRUE(client.apply(*update)) << text;
        ASSERT_TRUE(client.view() == event.view) << "seat " << seat << " after " << text;
        const SeatEvent back = client.lastEvent();
        EXPECT_EQ(back.kind, event.kind);
        EXPECT_EQ(back.seat, event.seat);
        EXPECT_EQ(back.card, event.card);
        EXPECT_EQ(back.value, event.value);
        EXPECT_EQ(back.serial, event.serial);
        EXPECT_EQ(whole, first) << text;
        if (!whole) {
            changeBytes += text.size();
            asWholeBytes += EncodeSeatEvent(event).size();
            ++changes;
        }
    });
    ASSERT_GT(changes, 1000u);
    // What the changes save: a step is a hundred bytes or so where the view is over a kilobyte.
    EXPECT_LT(changeBytes * 5, asWholeBytes) << changeBytes / changes << " bytes a step against "
                                             << asWholeBytes / changes;
}

// A snapshot reads back whole, as written; the other messages read back as themselves.
TEST(ServerMessages, SnapshotsAndNoticesReadBackAsWritten)
{
    std::uint32_t seed = 5;
    GameModel game([&] { return seed++; });
    ASSERT_TRUE(game.startDeal());
    while (game.phase() == Phase::Bidding)
        game.bid(game.legalBids(game.toAct()).front() == 2 ? 4 : game.legalBids(game.toAct()).back());
    for (int seat = 1; seat <= 4; ++seat) {
        SeatEvent snapshot;
        snapshot.kind = SeatEvent::Kind::Snapshot;
        snapshot.serial = 9;
        snapshot.view = TableViewOf(game, seat);
        // A base of another seat is never written against.
        const TableView other = TableViewOf(game, seat % 4 + 1);
        for (const TableView* base : {static_cast<const TableView*>(nullptr), &other}) {
            const std::string text = EncodeSeatEvent(snapshot, base);
            const auto read = DecodeServerMessage(text);
            ASSERT_TRUE(read.has_value()) << text;
            SeatTable client;
            ASSERT_TRUE(client.apply(std::get<TableUpdate>(*read)));
            EXPECT_TRUE(client.view() == snapshot.view) << text;
        }
    }

    Welcome welcome{3, "K7P2QZ", std::string(TokenHexLength, 'f'), {"", "Ann", "Expert", "Bo", "Classic"},
                    {ChairKind::Open, ChairKind::Person, ChairKind::Computer, ChairKind::Away, ChairKind::Computer}, true};
    // A welcome that only tells of a change at the table carries no token.
    Welcome told{2, "K7P2QZ", "", {"", "Ann", "", "Bo", "Expert"},
                 {ChairKind::Open, ChairKind::Person, ChairKind::Open, ChairKind::Person, ChairKind::Computer}, false};
    const ServerNotice others[] = {welcome, told, Refused{"not your turn"}, ChatLine{2, "<i>hi</i>"}, Bye{"too many messages"}};
    for (const ServerNotice& message : others) {
        const std::string text = EncodeServerMessage(message);
        const auto back = DecodeServerMessage(text);
        ASSERT_TRUE(back.has_value()) << text;
        std::visit(
            [&](const auto& read) {
                using T = std::decay_t<decltype(read)>;
                if constexpr (std::is_same_v<T, TableUpdate>)
                    ADD_FAILURE() << text;
                else
                    EXPECT_EQ(read, std::get<T>(message)) << text;
            },
            *back);
    }
}

// The client's reader takes nothing out of shape: it is the server's word, but a client trusts
// no more than the server does.
TEST(ServerMessages, TheReaderRefusesWhatIsOutOfShape)
{
    std::uint32_t seed = 7;
    GameModel game([&] { return seed++; });
    ASSERT_TRUE(game.startDeal());
    SeatEvent snapshot;
    snapshot.kind = SeatEvent::Kind::Snapshot;
    snapshot.serial = 1;
    snapshot.view = TableViewOf(game, 2);
    const std::string whole = EncodeSeatEvent(snapshot);
    ASSERT_TRUE(DecodeServerMessage(whole).has_value());
    // The snapshot with one piece of it replaced.
    auto with = [&](const std::string& from, const std::string& to) {
        std::string text = whole;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? std::string("{}") : text.replace(at, from.size(), to);
    };
    const std::string change = R"({"type":"event","serial":2,"kind":"CardPlayed","seat":1,"card":[1,5],"value":1,"change":)";
    // A well-formed welcome with one piece of it replaced.
    const auto welcome = [](const std::string& from, const std::string& to) {
        std::string text =
            R"({"type":"welcome","version":1,"seat":1,"table":"K7P2QZ","token":"","names":["a","b","c","d"],)"
            R"("chairs":["person","open","computer","away"],"started":false})";
        EXPECT_TRUE(DecodeServerMessage(text).has_value());
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? std::string("{}") : text.replace(at, from.size(), to);
    };
    const std::string bad[] = {
        R"({"type":"event","serial":1})",
        "[1,2]",
        std::string(MaxServerMessageBytes + 1, ' '),
        change + R"({"plays":[[[[1]]]]}})",                          // nested too deeply
        with(R"("kind":"Snapshot")", R"("kind":"Deal")"),            // an unknown step
        with(R"("seat":2,"phase")", R"("seat":5,"phase")"),          // a fifth seat
        with(R"("seat":2,"phase")", R"("phase")"),                   // a view without its seat
        with(R"("toAct")", R"("hidden":[1,2],"toAct")"),             // a field of no view
        with(R"("type":"event")", R"("type":"event","extra":1)"),    // a field of no message
        with(R"("serial":1)", R"("serial":-1)"),
        with(R"("serial":1)", R"("serial":"1")"),
        with(R"("winner":0)", R"("winner":7)"),
        with(R"("passed":false)", R"("passed":0)"),
        with(R"("phase":"bidding")", R"("phase":"cheating")"),
        with(R"("dealerCounter":)", R"("dealerCounter":9,"x":)"),
        with(R"("handCounts":[13,13,13,13])", R"("handCounts":[13,13,13])"),
        with(R"("handCounts":[13,13,13,13])", R"("handCounts":[13,13,13,14])"),
        with(R"("view":{)", R"("change":{},"view":{)"),              // a change and a view at once
        change + R"({"playsAdded":[[5,1,1]]}})",                     // a fifth suit
        change + R"({"playsAdded":[[1,14,1]]}})",                    // a fourteenth rank
        change + R"({"playsAdded":[[1,2,0]]}})",                     // a card played by no seat
        change + R"({"handOut":[0,0]}})",
        change + R"({"legalBids":[1]}})",
        change + R"({"legalBids":[]}})",
        change + R"({"takersAdded":[1,2,3,4,1,2,3,4,1,2,3,4,1,2]}})", // fourteen tricks
        change + R"({"hand":[[1,1],[1,2],[1,3],[1,4],[1,5],[1,6],[1,7],[1,8],[1,9],[1,10],[1,11],[1,12],[1,13],[2,1]]}})",
        change + R"({"seat":3}})",                                   // a change of seat
        R"({"type":"event","serial":2,"kind":"Snapshot","change":{}})", // a snapshot of nothing
        welcome(R"("version":1)", R"("version":2)"),
        welcome(R"("seat":1)", R"("seat":0)"),
        welcome(R"("names":["a","b","c","d"])", R"("names":["a","b","c"])"),
        welcome(R"("names":["a","b","c","d"])", R"("names":["a","b
c","c","d"])"),   // a name of two lines
        welcome(R"("token":"")", R"("token":"secret")"),                              // no token of ours
        welcome(R"("table":"K7P2QZ")", R"("table":"k7p2qz")"),                        // no code of ours
        welcome(R"("chairs":["person","open","computer","away"])", R"("chairs":["person","open","computer"])"),
        welcome(R"("chairs":["person","open","computer","away"])", R"("chairs":["person","open","ghost","away"])"),
        welcome(R"("chairs":["person","open","computer","away"])", R"("chairs":["person","open",3,"away"])"),
        welcome(R"("chairs":["person","open","computer","away"],)", ""),            // no chairs
        welcome(R"("started":false)", R"("started":"no")"),
        welcome(R"(,"started":false)", ""),                                           // not said whether started
        R"({"type":"chat","seat":1,"text":7})",
        R"({"type":"chat","seat":1,"text":"two
lines"})",
        R"({"type":"chat","seat":1,"text":""})",
        R"({"type":"bye","reason":"x","seat":1})",
    };
    for (const std::string& text : bad)
        EXPECT_FALSE(DecodeServerMessage(text).has_value()) << text.substr(0, 200);
}

// What a client's copy refuses, however well formed the message: it keeps what it held.
TEST(SeatTable, RefusesWhatDoesNotFitWhatItHolds)
{
    std::uint32_t seed = 11;
    GameModel game([&] { return seed++; });
    ASSERT_TRUE(game.startDeal());
    SeatEvent start;
    start.kind = SeatEvent::Kind::Snapshot;
    start.serial = 5;
    start.view = TableViewOf(game, 1);
    const TCardFace held = start.view.seat.Hand[0];
    TCardFace notHeld{};
    for (int suit = 1; suit <= 4 && notHeld.Suite == 0; ++suit)
        for (int rank = 1; rank <= 13 && notHeld.Suite == 0; ++rank) {
            const TCardFace c{suit, rank};
            if (std::find(start.view.seat.Hand.begin(), start.view.seat.Hand.end(), c) == start.view.seat.Hand.end())
                notHeld = c;
        }
    auto card = [](TCardFace c) { return "[" + std::to_string(c.Suite) + "," + std::to_string(c.Number) + "]"; };
    auto change = [](int serial, const char* kind, const std::string& body) {
        return R"({"type":"event","serial":)" + std::to_string(serial) + R"(,"kind":")" + kind + R"(","change":)" + body + "}";
    };
    std::string fiftyTwo = "[";
    for (int k = 0; k < 52; ++k)
        fiftyTwo += std::string(k ? "," : "") + "[1,1,1]";
    fiftyTwo += "]";

    struct Case {
        const char* name;
        bool snapshotFirst;
        std::string text;
    };
    const Case cases[] = {
        {"a change before any view", false, change(6, "BidMade", "{}")},
        {"a step going back", true, change(4, "BidMade", "{}")},
        {"a step told twice", true, change(5, "BidMade", "{}")},
        {"a card leaving a hand without it", true, change(6, "CardPlayed", R"({"handOut":)" + card(notHeld) + "}")},
        {"a fifty-third card", true, change(6, "CardPlayed", R"({"plays":)" + fiftyTwo + R"(,"playsAdded":[[1,2,1]]})")},
        {"a whole view going back", true, R"({"type":"event","serial":4,"kind":"DealStarted","view":)" +
                                                 EncodeSeatEvent(start).substr(EncodeSeatEvent(start).find("{\"seat\""))},
    };
    for (const Case& c : cases) {
        SeatTable client;
        if (c.snapshotFirst) {
            ASSERT_TRUE(client.apply(std::get<TableUpdate>(*DecodeServerMessage(EncodeSeatEvent(start)))));
        }
        const auto read = DecodeServerMessage(c.text);
        ASSERT_TRUE(read.has_value()) << c.name << ": " << c.text.substr(0, 200);
        EXPECT_FALSE(client.apply(std::get<TableUpdate>(*read))) << c.name;
        EXPECT_EQ(client.hasView(), c.snapshotFirst) << c.name;
        if (c.snapshotFirst) {
            EXPECT_TRUE(client.view() == start.view) << c.name;
            EXPECT_EQ(client.serial(), 5u) << c.name;
        }
    }
    // And what fits is taken: the question after a step bears its serial; a card that is held
    // leaves the hand.
    SeatTable client;
    ASSERT_TRUE(client.apply(std::get<TableUpdate>(*DecodeServerMessage(EncodeSeatEvent(start)))));
    ASSERT_TRUE(client.apply(std::get<TableUpdate>(*DecodeServerMessage(change(5, "Asked", "{}")))));
    ASSERT_TRUE(client.apply(std::get<TableUpdate>(*DecodeServerMessage(change(6, "CardPlayed", R"({"handOut":)" + card(held) + "}")))));
    EXPECT_EQ(client.view().seat.HandCount, start.view.seat.HandCount - 1);
    EXPECT_EQ(client.view().seat.Hand[static_cast<std::size_t>(client.view().seat.HandCount)], TCardFace{});
}

} // namespace
} // namespace halbeet::net
