// SPDX-License-Identifier: GPL-3.0-or-later
// Strict decoding of what a client sends, and its encoding for clients and tests.

#include "net/client_message.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace halbeet::net {

using nlohmann::json;

namespace {

// Objects and arrays nested deeper than this are no message of ours (a card is an array in
// the view, in an array of plays, in the view, in the message: four).
constexpr int MaxDepth = 4;

// Decodes one UTF-8 sequence at text[i]; false on a malformed one.
bool nextCodePoint(std::string_view text, std::size_t& i, char32_t& cp)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    int extra = 0;
    if (lead < 0x80) {
        cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        cp = lead & 0x1F;
        extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
        cp = lead & 0x0F;
        extra = 2;
    } else if ((lead & 0xF8) == 0xF0) {
        cp = lead & 0x07;
        extra = 3;
    } else {
        return false;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size())
        return false; // cut short
    for (int k = 1; k <= extra; ++k) {
        const unsigned char next = byte(i + static_cast<std::size_t>(k));
        if ((next & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not text.
    static constexpr std::array<char32_t, 4> smallest{0, 0x80, 0x800, 0x10000};
    if (cp < smallest[static_cast<std::size_t>(extra)] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    i += static_cast<std::size_t>(extra) + 1;
    return true;
}

// Reads an integer field in [low, high]; false when missing, not an integer or out of range.
bool readInt(const json& object, const char* key, std::int64_t low, std::int64_t high, std::int64_t& out)
{
    const auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return false;
    const std::int64_t value = it->is_number_unsigned()
                                   ? static_cast<std::int64_t>(std::min<std::uint64_t>(it->get<std::uint64_t>(), INT64_MAX))
                                   : it->get<std::int64_t>();
    if (value < low || value > high)
        return false;
    out = value;
    return true;
}

bool readString(const json& object, const char* key, std::string& out)
{
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string())
        return false;
    out = it->get<std::string>();
    return true;
}

bool onlyFields(const json& object, std::initializer_list<std::string_view> allowed)
{
    return std::all_of(object.items().begin(), object.items().end(), [&](const auto& item) {
        return std::find(allowed.begin(), allowed.end(), item.key()) != allowed.end();
    });
}

} // namespace

bool IsTableCodeText(std::string_view code)
{
    static constexpr std::string_view alphabet = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
    return code.size() == TableCodeLength &&
           std::all_of(code.begin(), code.end(), [](char c) { return alphabet.find(c) != std::string_view::npos; });
}

bool IsTokenText(std::string_view token)
{
    return token.size() == TokenHexLength && std::all_of(token.begin(), token.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

int JsonNestingDepth(std::string_view text)
{
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        else if (c == '{' || c == '[')
            deepest = std::max(deepest, ++depth);
        else if (c == '}' || c == ']')
            --depth;
    }
    return deepest;
}

const char* DecodeErrorName(DecodeError error)
{
    switch (error) {
    case DecodeError::None: return "none";
    case DecodeError::TooLarge: return "too large";
    case DecodeError::TooDeep: return "nested too deeply";
    case DecodeError::NotJson: return "not JSON";
    case DecodeError::NotAMessage: return "not a message";
    case DecodeError::BadField: return "a field is missing or out of range";
    case DecodeError::UnknownField: return "an unknown field";
    }
    return "?";
}

bool IsAcceptableText(std::string_view text, std::size_t limit)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        if (!nextCodePoint(text, i, cp))
            return false;
        // C0 and C1 controls (line breaks and tabs among them): a line is one line of text.
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0))
            return false;
        if (++count > limit)
            return false;
    }
    return count > 0;
}

DecodedClientMessage DecodeClientMessage(std::string_view text)
{
    if (text.size() > MaxMessageBytes)
        return {std::nullopt, DecodeError::TooLarge};
    if (JsonNestingDepth(text) > MaxDepth)
        return {std::nullopt, DecodeError::TooDeep};
    const json j = json::parse(text.begin(), text.end(), nullptr, false);
    if (j.is_discarded())
        return {std::nullopt, DecodeError::NotJson};
    if (!j.is_object())
        return {std::nullopt, DecodeError::NotAMessage};
    std::string type;
    if (!readString(j, "type", type))
        return {std::nullopt, DecodeError::NotAMessage};

    const auto bad = DecodedClientMessage{std::nullopt, DecodeError::BadField};
    const auto unknown = DecodedClientMessage{std::nullopt, DecodeError::UnknownField};
    if (type == "hello") {
        if (!onlyFields(j, {"type", "version", "name", "table", "token", "since"}))
            return unknown;
        Hello hello;
        std::int64_t version = 0;
        if (!readInt(j, "version", 1, 65535, version) || !readString(j, "name", hello.name) ||
            !IsAcceptableText(hello.name, MaxNameChars))
            return bad;
        hello.version = static_cast<int>(version);
        if (j.contains("table") && (!readString(j, "table", hello.table) || !IsTableCodeText(hello.table)))
            return bad;
        if (j.contains("token") && (!readString(j, "token", hello.token) || !IsTokenText(hello.token)))
            return bad;
        // Only a client coming back with its token holds steps of the table.
        if (j.contains("since")) {
            std::int64_t since = 0;
            if (hello.token.empty() || !readInt(j, "since", 0, INT64_MAX, since))
                return bad;
            hello.since = static_cast<std::uint64_t>(since);
        }
        return {hello, DecodeError::None};
    }
    if (type == "bid") {
        if (!onlyFields(j, {"type", "bid"}))
            return unknown;
        std::int64_t bid = 0;
        if (!readInt(j, "bid", 2, 26, bid))
            return bad;
        return {BidMessage{static_cast<std::int32_t>(bid)}, DecodeError::None};
    }
    if (type == "card") {
        if (!onlyFields(j, {"type", "suit", "rank"}))
            return unknown;
        std::int64_t suit = 0;
        std::int64_t rank = 0;
        if (!readInt(j, "suit", 1, 4, suit) || !readInt(j, "rank", 1, 13, rank))
            return bad;
        return {CardMessage{{static_cast<std::int32_t>(suit), static_cast<std::int32_t>(rank)}}, DecodeError::None};
    }
    if (type == "chat") {
        if (!onlyFields(j, {"type", "text"}))
            return unknown;
        ChatMessage chat;
        if (!readString(j, "text", chat.text) || !IsAcceptableText(chat.text, MaxChatChars))
            return bad;
        return {chat, DecodeError::None};
    }
    if (type == "leave" || type == "start") {
        if (!onlyFields(j, {"type"}))
            return unknown;
        if (type == "start")
            return {StartMessage{}, DecodeError::None};
        return {LeaveMessage{}, DecodeError::None};
    }
    return {std::nullopt, DecodeError::NotAMessage};
}

std::string EncodeClientMessage(const ClientMessage& message)
{
    json j;
    if (const auto* hello = std::get_if<Hello>(&message)) {
        j = {{"type", "hello"}, {"version", hello->version}, {"name", hello->name}};
        if (!hello->table.empty())
            j["table"] = hello->table;
        if (!hello->token.empty())
            j["token"] = hello->token;
        if (hello->since)
            j["since"] = *hello->since;
    } else if (const auto* bid = std::get_if<BidMessage>(&message)) {
        j = {{"type", "bid"}, {"bid", bid->bid}};
    } else if (const auto* card = std::get_if<CardMessage>(&message)) {
        j = {{"type", "card"}, {"suit", card->card.Suite}, {"rank", card->card.Number}};
    } else if (const auto* chat = std::get_if<ChatMessage>(&message)) {
        j = {{"type", "chat"}, {"text", chat->text}};
    } else if (std::holds_alternative<StartMessage>(message)) {
        j = {{"type", "start"}};
    } else {
        j = {{"type", "leave"}};
    }
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace halbeet::net
