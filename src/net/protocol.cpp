// SPDX-License-Identifier: GPL-3.0-or-later
// The server's messages to one seat, and their reading on the client's side.

#include "net/protocol.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace halbeet::net {

using nlohmann::json;

namespace {

json cardJson(TCardFace card) { return json::array({card.Suite, card.Number}); }

template <typename T>
json perSeat(const PerSeat<T>& values)
{
    return json::array({values[1], values[2], values[3], values[4]});
}

json viewJson(const TableView& v)
{
    const SeatView& s = v.seat;
    json hand = json::array();
    for (int k = 0; k < s.HandCount; ++k)
        hand.push_back(cardJson(s.Hand[static_cast<std::size_t>(k)]));
    json dealt = json::array();
    for (std::size_t k = 1; k <= 13; ++k) {
        if (v.ownDealtHand[k].Suite != 0)
            dealt.push_back(cardJson(v.ownDealtHand[k]));
    }
    json plays = json::array();
    for (int k = 0; k < s.PlayCount; ++k) {
        const TTrickCard& p = s.Plays[static_cast<std::size_t>(k)];
        plays.push_back(json::array({p.Suite, p.Number, p.Seat}));
    }
    json rows = json::array();
    for (const auto& row : v.scoreRows)
        rows.push_back(perSeat(row));
    json legalCards = json::array();
    for (const TCardFace card : v.legalCards)
        legalCards.push_back(cardJson(card));
    json bidMade = json::array({v.bidMade[1], v.bidMade[2], v.bidMade[3], v.bidMade[4]});
    return {
        {"seat", s.Seat},
        {"phase", PhaseName(v.phase)},
        {"toAct", v.toAct},
        {"dealerCounter", v.dealerCounter},
        {"trump", s.Trump},
        {"cut", cardJson(s.CutCard)},
        {"hand", hand},
        {"dealt", dealt},
        {"bids", perSeat(s.Bids)},
        {"bidMade", bidMade},
        {"scores", perSeat(s.Scores)},
        {"plays", plays},
        {"takers", v.takers},
        {"handCounts", perSeat(v.handCounts)},
        {"scoreRows", rows},
        {"passed", v.passed},
        {"scored", v.scored},
        {"winner", v.winner},
        {"deals", v.dealsDealt},
        {"legalBids", v.legalBids},
        {"legalCards", legalCards},
    };
}

const char* kindName(SeatEvent::Kind kind) { return SeatEventName(kind); }

std::optional<SeatEvent::Kind> kindOf(std::string_view name)
{
    for (int k = 0; k <= static_cast<int>(SeatEvent::Kind::Asked); ++k) {
        const auto kind = static_cast<SeatEvent::Kind>(k);
        if (name == kindName(kind))
            return kind;
    }
    return std::nullopt;
}

std::optional<Phase> phaseOf(std::string_view name)
{
    for (const Phase p : {Phase::NoDeal, Phase::Bidding, Phase::Playing, Phase::TrickComplete, Phase::DealOver,
                          Phase::GameOver}) {
        if (name == PhaseName(p))
            return p;
    }
    return std::nullopt;
}

TCardFace readCard(const json& j) { return {j.at(0).get<std::int32_t>(), j.at(1).get<std::int32_t>()}; }

template <typename T>
PerSeat<T> readPerSeat(const json& j)
{
    PerSeat<T> values{};
    for (std::size_t s = 1; s <= 4; ++s)
        values[s] = j.at(s - 1).get<T>();
    return values;
}

// Reads a view back; throws (caught by the caller) on anything out of shape.
TableView readView(const json& j)
{
    TableView v;
    SeatView& s = v.seat;
    s.Seat = j.at("seat").get<int>();
    v.phase = phaseOf(j.at("phase").get<std::string>()).value();
    v.toAct = j.at("toAct").get<int>();
    v.dealerCounter = j.at("dealerCounter").get<std::int32_t>();
    s.Dealer = DealerSeat(v.dealerCounter);
    s.Trump = j.at("trump").get<std::int32_t>();
    s.CutCard = readCard(j.at("cut"));
    const json& hand = j.at("hand");
    if (hand.size() > 13)
        throw std::out_of_range("hand");
    for (const json& card : hand)
        s.Hand[static_cast<std::size_t>(s.HandCount++)] = readCard(card);
    const json& dealt = j.at("dealt");
    if (dealt.size() > 13)
        throw std::out_of_range("dealt");
    for (std::size_t k = 0; k < dealt.size(); ++k)
        v.ownDealtHand[k + 1] = readCard(dealt[k]);
    s.Bids = readPerSeat<std::int32_t>(j.at("bids"));
    v.bidMade = readPerSeat<bool>(j.at("bidMade"));
    s.Scores = readPerSeat<std::int32_t>(j.at("scores"));
    const json& plays = j.at("plays");
    if (plays.size() > 52)
        throw std::out_of_range("plays");
    for (const json& p : plays) {
        s.Plays[static_cast<std::size_t>(s.PlayCount++)] =
            TTrickCard{p.at(0).get<std::int32_t>(), p.at(1).get<std::int32_t>(), p.at(2).get<std::int32_t>()};
    }
    v.takers = j.at("takers").get<std::vector<int>>();
    v.handCounts = readPerSeat<std::int32_t>(j.at("handCounts"));
    for (const json& row : j.at("scoreRows"))
        v.scoreRows.push_back(readPerSeat<std::int32_t>(row));
    v.passed = j.at("passed").get<bool>();
    v.scored = j.at("scored").get<bool>();
    v.winner = j.at("winner").get<int>();
    v.dealsDealt = j.at("deals").get<std::int64_t>();
    v.legalBids = j.at("legalBids").get<std::vector<std::int32_t>>();
    for (const json& card : j.at("legalCards"))
        v.legalCards.push_back(readCard(card));
    // What the seat has worked out from the plays, as MakeSeatView works it out.
    for (std::size_t t = 0; t < v.takers.size() && t < 13; ++t)
        ++s.TricksWon[static_cast<std::size_t>(std::clamp(v.takers[t], 1, 4))];
    return v;
}

std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

} // namespace

std::string EncodeSeatEvent(const SeatEvent& event)
{
    return dump({{"type", "event"},
                 {"serial", event.serial},
                 {"kind", kindName(event.kind)},
                 {"seat", event.seat},
                 {"card", cardJson(event.card)},
                 {"value", event.value},
                 {"view", viewJson(event.view)}});
}

std::string EncodeServerMessage(const ServerMessage& message)
{
    if (const auto* event = std::get_if<SeatEvent>(&message))
        return EncodeSeatEvent(*event);
    if (const auto* welcome = std::get_if<Welcome>(&message)) {
        json names = json::array();
        for (std::size_t s = 1; s <= 4; ++s)
            names.push_back(welcome->names[s]);
        return dump({{"type", "welcome"},
                     {"version", ProtocolVersion},
                     {"seat", welcome->seat},
                     {"table", welcome->table},
                     {"token", welcome->token},
                     {"names", names}});
    }
    if (const auto* refused = std::get_if<Refused>(&message))
        return dump({{"type", "refused"}, {"reason", refused->reason}});
    if (const auto* chat = std::get_if<ChatLine>(&message))
        return dump({{"type", "chat"}, {"seat", chat->seat}, {"text", chat->text}});
    return dump({{"type", "bye"}, {"reason", std::get<Bye>(message).reason}});
}

std::optional<ServerMessage> DecodeServerMessage(std::string_view text)
{
    const json j = json::parse(text.begin(), text.end(), nullptr, false);
    if (j.is_discarded() || !j.is_object() || !j.contains("type") || !j["type"].is_string())
        return std::nullopt;
    try {
        const std::string type = j["type"].get<std::string>();
        if (type == "event") {
            SeatEvent event;
            event.serial = j.at("serial").get<std::uint64_t>();
            event.kind = kindOf(j.at("kind").get<std::string>()).value();
            event.seat = j.at("seat").get<int>();
            event.card = readCard(j.at("card"));
            event.value = j.at("value").get<std::int32_t>();
            event.view = readView(j.at("view"));
            return event;
        }
        if (type == "welcome") {
            Welcome welcome;
            welcome.seat = j.at("seat").get<int>();
            welcome.table = j.at("table").get<std::string>();
            welcome.token = j.at("token").get<std::string>();
            const json& names = j.at("names");
            for (std::size_t s = 1; s <= 4; ++s)
                welcome.names[s] = names.at(s - 1).get<std::string>();
            return welcome;
        }
        if (type == "refused")
            return Refused{j.at("reason").get<std::string>()};
        if (type == "chat")
            return ChatLine{j.at("seat").get<int>(), j.at("text").get<std::string>()};
        if (type == "bye")
            return Bye{j.at("reason").get<std::string>()};
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace halbeet::net
