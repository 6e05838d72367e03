// SPDX-License-Identifier: GPL-3.0-or-later
// Strict decoding of a table's announcement, and its encoding for the beacon.

#include "net/table_announcement.h"

#include "net/client_message.h"

#include <nlohmann/json.hpp>

#include <limits>

namespace halbeet::net {

using nlohmann::json;

namespace {

constexpr int MaxOpenChairs = 3;

// The integer at key in [low, high], or nothing.
std::optional<std::int64_t> readInt(const json& object, const char* key, std::int64_t low, std::int64_t high)
{
    const auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return std::nullopt;
    if (it->is_number_unsigned() && it->get<std::uint64_t>() > static_cast<std::uint64_t>(high))
        return std::nullopt;
    const std::int64_t value = it->get<std::int64_t>();
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

const std::string* readString(const json& object, const char* key)
{
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get_ptr<const std::string*>() : nullptr;
}

} // namespace

std::optional<TableAnnouncement> DecodeAnnouncement(std::string_view datagram)
{
    if (datagram.size() > MaxAnnouncementBytes || JsonNestingDepth(datagram) > 1)
        return std::nullopt;
    // The parsed object keeps one value of a repeated field: count the fields as they are read
    // to refuse a datagram that names one twice.
    std::size_t keys = 0;
    const json::parser_callback_t countKeys = [&keys](int, json::parse_event_t event, json&) {
        if (event == json::parse_event_t::key)
            ++keys;
        return true;
    };
    const json j = json::parse(datagram.begin(), datagram.end(), countKeys, false);
    if (j.is_discarded() || !j.is_object() || j.size() != 5 || keys != 5)
        return std::nullopt;

    const auto version = readInt(j, "version", ProtocolVersion, ProtocolVersion);
    const auto port = readInt(j, "port", 1, std::numeric_limits<quint16>::max());
    const auto openChairs = readInt(j, "openChairs", 0, MaxOpenChairs);
    const std::string* code = readString(j, "code");
    const std::string* name = readString(j, "name");
    if (!version || !port || !openChairs || !code || !IsTableCodeText(*code) || !name ||
        !IsAcceptableText(*name, MaxNameChars))
        return std::nullopt;

    TableAnnouncement what;
    what.port = static_cast<quint16>(*port);
    what.code = QString::fromStdString(*code);
    what.name = QString::fromStdString(*name);
    what.openChairs = static_cast<int>(*openChairs);
    return what;
}

std::string EncodeAnnouncement(const TableAnnouncement& what)
{
    const json j = {{"version", ProtocolVersion},
                    {"port", what.port},
                    {"code", what.code.toStdString()},
                    {"name", what.name.toStdString()},
                    {"openChairs", what.openChairs}};
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace halbeet::net
