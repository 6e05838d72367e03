// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the decoder of a table's announcement on the local network.
//
// Besides surviving any datagram, it checks what the finder relies on: an announcement that is
// taken came in a datagram small enough, has every field in range and no address of its own,
// and reads back the same once written out again.

#include "net/client_message.h"
#include "net/table_announcement.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);
    const auto what = DecodeAnnouncement(datagram);
    if (!what)
        return 0;
    if (size > MaxAnnouncementBytes)
        fail("an oversized datagram was taken");
    if (!what->host.isEmpty())
        fail("an address was taken from the datagram");
    if (what->port == 0 || what->openChairs < 0 || what->openChairs > 3)
        fail("a field out of range was taken");
    if (!IsTableCodeText(what->code.toStdString()) || !IsAcceptableText(what->name.toStdString(), MaxNameChars))
        fail("a code or name that is not acceptable was taken");
    const auto again = DecodeAnnouncement(EncodeAnnouncement(*what));
    if (!again || !(*again == *what))
        fail("a taken announcement does not read back the same");
    return 0;
}
