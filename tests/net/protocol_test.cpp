// SPDX-License-Identifier: GPL-3.0-or-later
// The network protocol's decoder against what a hostile or broken client may send, and the
// server's messages read back as a client reads them.

#include "net/protocol.h"

#include "core/game.h"
#include "core/player.h"
#include "table/table_view.h"

#include <gtest/gtest.h>

#include <string>

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
        RefusedCase{"hello_asks_for_a_seat", hello(R"(,"seat":1)"), DecodeError::UnknownField}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST(Decoder, TakesEveryWellFormedMessage)
{
    const std::string token(TokenHexLength, 'a');
    const ClientMessage messages[] = {
        Hello{1, "Ann", "", ""},
        Hello{1, "\xD8\xB3\xD8\xA7\xD9\x85\xD9\x8A", "K7P2QZ", token},
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

// Whatever a seat is told of a real game reads back as it was written.
TEST(ServerMessages, ReadBackAsWritten)
{
    std::uint32_t seed = 3;
    GameModel game([&] { return seed++; });
    ClassicPlayer classic;
    int told = 0;
    for (int deal = 0; deal < 3; ++deal) {
        if (game.phase() == Phase::GameOver)
            game.newGame();
        ASSERT_TRUE(game.startDeal());
        while (game.dealInProgress() || (game.phase() == Phase::DealOver && !game.dealScored() && !game.dealPassed())) {
            for (int seat = 1; seat <= 4; ++seat) {
                SeatEvent event = SeatEventOf({GameEvent::Kind::CardPlayed, 2, {3, 9}, 1}, TableViewOf(game, seat));
                event.serial = static_cast<std::uint64_t>(++told);
                const std::string text = EncodeSeatEvent(event);
                const auto back = DecodeServerMessage(text);
                ASSERT_TRUE(back.has_value()) << text;
                ASSERT_TRUE(std::holds_alternative<SeatEvent>(*back));
                EXPECT_EQ(EncodeSeatEvent(std::get<SeatEvent>(*back)), text);
            }
            if (game.phase() == Phase::Bidding)
                game.bid(classic.chooseBid(game, game.toAct()));
            else if (game.phase() == Phase::Playing)
                game.play(classic.chooseCard(game, game.toAct()));
            else if (game.phase() == Phase::TrickComplete)
                game.takeTrick();
            else
                game.scoreDeal();
        }
    }
    EXPECT_GT(told, 100);

    Welcome welcome{3, "K7P2QZ", std::string(TokenHexLength, 'f'), {"", "Ann", "Expert", "Bo", "Classic"}};
    const ServerMessage others[] = {welcome, Refused{"not your turn"}, ChatLine{2, "<i>hi</i>"}, Bye{"too many messages"}};
    for (const ServerMessage& message : others) {
        const auto back = DecodeServerMessage(EncodeServerMessage(message));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->index(), message.index());
        EXPECT_EQ(EncodeServerMessage(*back), EncodeServerMessage(message));
    }
    EXPECT_FALSE(DecodeServerMessage(R"({"type":"event","serial":1})").has_value());
    EXPECT_FALSE(DecodeServerMessage("[1,2]").has_value());
}

} // namespace
} // namespace halbeet::net
