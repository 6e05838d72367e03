// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the decoder of what a network client sends.
//
// Besides surviving any input, it checks what the server relies on: a message that is taken
// has every field in range, and reads back the same once written out again.

#include "net/client_message.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace halbeet::net;

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void checkInRange(const ClientMessage& message)
{
    if (const auto* bid = std::get_if<BidMessage>(&message)) {
        if (bid->bid < 2 || bid->bid > 26)
            fail("a bid out of range was taken");
    } else if (const auto* card = std::get_if<CardMessage>(&message)) {
        if (card->card.Suite < 1 || card->card.Suite > 4 || card->card.Number < 1 || card->card.Number > 13)
            fail("a card out of range was taken");
    } else if (const auto* chat = std::get_if<ChatMessage>(&message)) {
        if (!IsAcceptableText(chat->text, MaxChatChars))
            fail("a chat line that is not acceptable text was taken");
    } else if (const auto* hello = std::get_if<Hello>(&message)) {
        if (!IsAcceptableText(hello->name, MaxNameChars))
            fail("a name that is not acceptable text was taken");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const DecodedClientMessage decoded = DecodeClientMessage(text);
    if (decoded.message.has_value() != (decoded.error == DecodeError::None))
        fail("a message and an error at once, or neither");
    if (!decoded.message)
        return 0;
    if (size > MaxMessageBytes)
        fail("an oversized message was taken");
    checkInRange(*decoded.message);
    const DecodedClientMessage again = DecodeClientMessage(EncodeClientMessage(*decoded.message));
    if (!again.message || !(*again.message == *decoded.message))
        fail("a taken message does not read back the same");
    return 0;
}
