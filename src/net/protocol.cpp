// SPDX-License-Identifier: GPL-3.0-or-later
// The server's messages to one seat, their strict reading on the client's side, and the
// client's copy of its seat's view.
//
// Events are written by hand rather than through a JSON tree: a server with many tables writes
// several for every card played, and they hold nothing but numbers and names of our own.

#include "net/protocol.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <type_traits>

namespace halbeet::net {

using nlohmann::json;

namespace {

// ---- writing ---------------------------------------------------------------------------

class Writer {
public:
    explicit Writer(std::string& out) : m_out(out) {}

    void open(char bracket)
    {
        separate();
        m_out += bracket;
        m_first = true;
    }
    void close(char bracket)
    {
        m_out += bracket;
        m_first = false;
    }
    // A key of our own: letters only, nothing to escape.
    void key(const char* name)
    {
        separate();
        m_out += '"';
        m_out += name;
        m_out += "\":";
        m_first = true; // the value follows without a comma
    }
    void number(std::int64_t value)
    {
        separate();
        char buffer[24];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        m_out.append(buffer, end);
    }
    void boolean(bool value)
    {
        separate();
        m_out += value ? "true" : "false";
    }
    void name(const char* text)
    {
        separate();
        m_out += '"';
        m_out += text;
        m_out += '"';
    }
    void card(TCardFace c)
    {
        open('[');
        number(c.Suite);
        number(c.Number);
        close(']');
    }
    void play(const TTrickCard& p)
    {
        open('[');
        number(p.Suite);
        number(p.Number);
        number(p.Seat);
        close(']');
    }
    template <typename T>
    void perSeat(const PerSeat<T>& values)
    {
        open('[');
        for (std::size_t s = 1; s <= 4; ++s) {
            if constexpr (std::is_same_v<T, bool>)
                boolean(values[s]);
            else
                number(values[s]);
        }
        close(']');
    }
    void cards(const TCardFace* first, std::size_t count)
    {
        open('[');
        for (std::size_t k = 0; k < count; ++k)
            card(first[k]);
        close(']');
    }
    void plays(const TTrickCard* first, std::size_t count)
    {
        open('[');
        for (std::size_t k = 0; k < count; ++k)
            play(first[k]);
        close(']');
    }
    template <typename Int>
    void numbers(const Int* first, std::size_t count)
    {
        open('[');
        for (std::size_t k = 0; k < count; ++k)
            number(first[k]);
        close(']');
    }
    void rows(const PerSeat<std::int32_t>* first, std::size_t count)
    {
        open('[');
        for (std::size_t k = 0; k < count; ++k)
            perSeat(first[k]);
        close(']');
    }

private:
    void separate()
    {
        if (!m_first)
            m_out += ',';
        m_first = false;
    }
    std::string& m_out;
    bool m_first = true;
};

// The dealt hand's cards, without the empty slots.
std::size_t dealtCards(const TableView& v, std::array<TCardFace, 13>& out)
{
    std::size_t n = 0;
    for (std::size_t k = 1; k <= 13; ++k) {
        if (v.ownDealtHand[k].Suite != 0)
            out[n++] = v.ownDealtHand[k];
    }
    return n;
}

void writeChoices(Writer& w, const TableView& v)
{
    if (!v.legalBids.empty()) {
        w.key("legalBids");
        w.numbers(v.legalBids.data(), v.legalBids.size());
    }
    if (!v.legalCards.empty()) {
        w.key("legalCards");
        w.cards(v.legalCards.data(), v.legalCards.size());
    }
}

void writeView(Writer& w, const TableView& v)
{
    const SeatView& s = v.seat;
    w.open('{');
    w.key("seat");
    w.number(s.Seat);
    w.key("phase");
    w.name(PhaseName(v.phase));
    w.key("toAct");
    w.number(v.toAct);
    w.key("dealerCounter");
    w.number(v.dealerCounter);
    w.key("trump");
    w.number(s.Trump);
    w.key("cut");
    w.card(s.CutCard);
    w.key("hand");
    w.cards(s.Hand.data(), static_cast<std::size_t>(s.HandCount));
    std::array<TCardFace, 13> dealt{};
    const std::size_t dealtCount = dealtCards(v, dealt);
    w.key("dealt");
    w.cards(dealt.data(), dealtCount);
    w.key("bids");
    w.perSeat(s.Bids);
    w.key("bidMade");
    w.perSeat(v.bidMade);
    w.key("scores");
    w.perSeat(s.Scores);
    w.key("plays");
    w.plays(s.Plays.data(), static_cast<std::size_t>(s.PlayCount));
    w.key("takers");
    w.numbers(v.takers.data(), v.takers.size());
    w.key("handCounts");
    w.perSeat(v.handCounts);
    w.key("scoreRows");
    w.rows(v.scoreRows.data(), v.scoreRows.size());
    w.key("passed");
    w.boolean(v.passed);
    w.key("scored");
    w.boolean(v.scored);
    w.key("winner");
    w.number(v.winner);
    w.key("deals");
    w.number(v.dealsDealt);
    writeChoices(w, v);
    w.close('}');
}

// `after` is `before` with more at its end.
template <typename T>
bool grewFrom(const T* before, std::size_t beforeCount, const T* after, std::size_t afterCount)
{
    return afterCount > beforeCount && std::equal(before, before + beforeCount, after);
}

// The card that left `before` to make `after`, when exactly one did and nothing else changed.
std::optional<TCardFace> cardOut(const SeatView& before, const SeatView& after)
{
    if (after.HandCount != before.HandCount - 1 || before.HandCount < 1)
        return std::nullopt;
    int k = 0;
    while (k < after.HandCount && before.Hand[static_cast<std::size_t>(k)] == after.Hand[static_cast<std::size_t>(k)])
        ++k;
    const TCardFace out = before.Hand[static_cast<std::size_t>(k)];
    for (int j = k; j < after.HandCount; ++j) {
        if (!(before.Hand[static_cast<std::size_t>(j + 1)] == after.Hand[static_cast<std::size_t>(j)]))
            return std::nullopt;
    }
    return out;
}

// What changed from `b` to `a`, the legal choices aside (every message carries them afresh).
void writeChange(Writer& w, const TableView& b, const TableView& a)
{
    const SeatView& sb = b.seat;
    const SeatView& sa = a.seat;
    w.open('{');
    if (a.phase != b.phase) {
        w.key("phase");
        w.name(PhaseName(a.phase));
    }
    if (a.toAct != b.toAct) {
        w.key("toAct");
        w.number(a.toAct);
    }
    if (a.dealerCounter != b.dealerCounter) {
        w.key("dealerCounter");
        w.number(a.dealerCounter);
    }
    if (sa.Trump != sb.Trump) {
        w.key("trump");
        w.number(sa.Trump);
    }
    if (!(sa.CutCard == sb.CutCard)) {
        w.key("cut");
        w.card(sa.CutCard);
    }
    if (sa.HandCount != sb.HandCount || sa.Hand != sb.Hand) {
        if (const auto out = cardOut(sb, sa)) {
            w.key("handOut");
            w.card(*out);
        } else {
            w.key("hand");
            w.cards(sa.Hand.data(), static_cast<std::size_t>(sa.HandCount));
        }
    }
    if (a.ownDealtHand != b.ownDealtHand) {
        std::array<TCardFace, 13> dealt{};
        const std::size_t dealtCount = dealtCards(a, dealt);
        w.key("dealt");
        w.cards(dealt.data(), dealtCount);
    }
    if (sa.Bids != sb.Bids) {
        w.key("bids");
        w.perSeat(sa.Bids);
    }
    if (a.bidMade != b.bidMade) {
        w.key("bidMade");
        w.perSeat(a.bidMade);
    }
    if (sa.Scores != sb.Scores) {
        w.key("scores");
        w.perSeat(sa.Scores);
    }
    const auto playsBefore = static_cast<std::size_t>(sb.PlayCount);
    const auto playsAfter = static_cast<std::size_t>(sa.PlayCount);
    if (grewFrom(sb.Plays.data(), playsBefore, sa.Plays.data(), playsAfter)) {
        w.key("playsAdded");
        w.plays(sa.Plays.data() + playsBefore, playsAfter - playsBefore);
    } else if (playsAfter != playsBefore || !std::equal(sb.Plays.begin(), sb.Plays.begin() + sb.PlayCount, sa.Plays.begin())) {
        w.key("plays");
        w.plays(sa.Plays.data(), playsAfter);
    }
    if (grewFrom(b.takers.data(), b.takers.size(), a.takers.data(), a.takers.size())) {
        w.key("takersAdded");
        w.numbers(a.takers.data() + b.takers.size(), a.takers.size() - b.takers.size());
    } else if (a.takers != b.takers) {
        w.key("takers");
        w.numbers(a.takers.data(), a.takers.size());
    }
    if (a.handCounts != b.handCounts) {
        w.key("handCounts");
        w.perSeat(a.handCounts);
    }
    if (grewFrom(b.scoreRows.data(), b.scoreRows.size(), a.scoreRows.data(), a.scoreRows.size())) {
        w.key("scoreRowsAdded");
        w.rows(a.scoreRows.data() + b.scoreRows.size(), a.scoreRows.size() - b.scoreRows.size());
    } else if (a.scoreRows != b.scoreRows) {
        w.key("scoreRows");
        w.rows(a.scoreRows.data(), a.scoreRows.size());
    }
    if (a.passed != b.passed) {
        w.key("passed");
        w.boolean(a.passed);
    }
    if (a.scored != b.scored) {
        w.key("scored");
        w.boolean(a.scored);
    }
    if (a.winner != b.winner) {
        w.key("winner");
        w.number(a.winner);
    }
    if (a.dealsDealt != b.dealsDealt) {
        w.key("deals");
        w.number(a.dealsDealt);
    }
    writeChoices(w, a);
    w.close('}');
}

std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

// ---- reading ---------------------------------------------------------------------------

// Thrown on anything out of shape; the message is refused whole.
struct OutOfShape {};

void require(bool condition)
{
    if (!condition)
        throw OutOfShape{};
}

std::int64_t readInt(const json& j, std::int64_t low, std::int64_t high)
{
    require(j.is_number_integer());
    if (j.is_number_unsigned())
        require(j.get<std::uint64_t>() <= static_cast<std::uint64_t>(high));
    const std::int64_t value = j.get<std::int64_t>();
    require(value >= low && value <= high);
    return value;
}

bool readBool(const json& j)
{
    require(j.is_boolean());
    return j.get<bool>();
}

const json& readArray(const json& j, std::size_t most)
{
    require(j.is_array() && j.size() <= most);
    return j;
}

// A card in a hand, played or offered: a real card. The turned card may also be none yet.
TCardFace readCard(const json& j, bool mayBeNone = false)
{
    require(j.is_array() && j.size() == 2);
    if (mayBeNone && j[0] == 0 && j[1] == 0)
        return {};
    return {static_cast<std::int32_t>(readInt(j[0], 1, 4)), static_cast<std::int32_t>(readInt(j[1], 1, 13))};
}

std::vector<TCardFace> readCards(const json& j, std::size_t most)
{
    std::vector<TCardFace> cards;
    for (const json& c : readArray(j, most))
        cards.push_back(readCard(c));
    return cards;
}

std::vector<TTrickCard> readPlays(const json& j)
{
    std::vector<TTrickCard> plays;
    for (const json& p : readArray(j, 52)) {
        require(p.is_array() && p.size() == 3);
        plays.push_back({static_cast<std::int32_t>(readInt(p[0], 1, 4)), static_cast<std::int32_t>(readInt(p[1], 1, 13)),
                         static_cast<std::int32_t>(readInt(p[2], 1, 4))});
    }
    return plays;
}

std::vector<int> readTakers(const json& j)
{
    std::vector<int> takers;
    for (const json& t : readArray(j, 13))
        takers.push_back(static_cast<int>(readInt(t, 1, 4)));
    return takers;
}

// Scores, bids and the like, one per seat. Scores stay far inside these bounds in any game.
constexpr std::int64_t MaxScore = 1'000'000;
// Deals of one game that reach the score sheet: far more than any game has.
constexpr std::size_t MaxScoreRows = 2000;

template <typename T>
PerSeat<T> readPerSeat(const json& j, std::int64_t low, std::int64_t high)
{
    require(j.is_array() && j.size() == 4);
    PerSeat<T> values{};
    for (std::size_t s = 1; s <= 4; ++s) {
        if constexpr (std::is_same_v<T, bool>)
            values[s] = readBool(j[s - 1]);
        else
            values[s] = static_cast<T>(readInt(j[s - 1], low, high));
    }
    return values;
}

std::vector<PerSeat<std::int32_t>> readRows(const json& j)
{
    std::vector<PerSeat<std::int32_t>> rows;
    for (const json& row : readArray(j, MaxScoreRows))
        rows.push_back(readPerSeat<std::int32_t>(row, -MaxScore, MaxScore));
    return rows;
}

Phase readPhase(const json& j)
{
    require(j.is_string());
    for (const Phase p : {Phase::NoDeal, Phase::Bidding, Phase::Playing, Phase::TrickComplete, Phase::DealOver,
                          Phase::GameOver}) {
        if (j.get_ref<const std::string&>() == PhaseName(p))
            return p;
    }
    throw OutOfShape{};
}

SeatEvent::Kind readKind(const json& j)
{
    require(j.is_string());
    for (int k = 0; k <= static_cast<int>(SeatEvent::Kind::Asked); ++k) {
        const auto kind = static_cast<SeatEvent::Kind>(k);
        if (j.get_ref<const std::string&>() == SeatEventName(kind))
            return kind;
    }
    throw OutOfShape{};
}

void putHand(SeatView& s, const std::vector<TCardFace>& cards)
{
    s.Hand = {};
    s.HandCount = static_cast<int>(cards.size());
    std::copy(cards.begin(), cards.end(), s.Hand.begin());
}

void putDealt(TableView& v, const std::vector<TCardFace>& cards)
{
    v.ownDealtHand = {};
    for (std::size_t k = 0; k < cards.size(); ++k)
        v.ownDealtHand[k + 1] = cards[k];
}

void putPlays(SeatView& s, const std::vector<TTrickCard>& plays)
{
    s.Plays = {};
    s.PlayCount = static_cast<int>(plays.size());
    std::copy(plays.begin(), plays.end(), s.Plays.begin());
}

// The fields of a view, whole or changed, into u. Every key must be one of ours.
void readViewFields(const json& j, bool whole, TableUpdate& u)
{
    require(j.is_object());
    TableView& v = u.view;
    using F = TableUpdate::Field;
    for (const auto& [key, value] : j.items()) {
        if (key == "seat" && whole) {
            v.seat.Seat = static_cast<int>(readInt(value, 1, 4));
        } else if (key == "phase") {
            v.phase = readPhase(value);
            u.fields |= F::PhaseField;
        } else if (key == "toAct") {
            v.toAct = static_cast<int>(readInt(value, 0, 4));
            u.fields |= F::ToActField;
        } else if (key == "dealerCounter") {
            v.dealerCounter = static_cast<std::int32_t>(readInt(value, 0, 3));
            u.fields |= F::DealerField;
        } else if (key == "trump") {
            v.seat.Trump = static_cast<std::int32_t>(readInt(value, 0, 4));
            u.fields |= F::TrumpField;
        } else if (key == "cut") {
            v.seat.CutCard = readCard(value, true);
            u.fields |= F::CutField;
        } else if (key == "hand") {
            putHand(v.seat, readCards(value, 13));
            u.fields |= F::HandField;
        } else if (key == "handOut" && !whole) {
            u.handOut = readCard(value);
        } else if (key == "dealt") {
            putDealt(v, readCards(value, 13));
            u.fields |= F::DealtField;
        } else if (key == "bids") {
            v.seat.Bids = readPerSeat<std::int32_t>(value, 0, 26);
            u.fields |= F::BidsField;
        } else if (key == "bidMade") {
            v.bidMade = readPerSeat<bool>(value, 0, 1);
            u.fields |= F::BidMadeField;
        } else if (key == "scores") {
            v.seat.Scores = readPerSeat<std::int32_t>(value, -MaxScore, MaxScore);
            u.fields |= F::ScoresField;
        } else if (key == "plays") {
            putPlays(v.seat, readPlays(value));
            u.fields |= F::PlaysField;
        } else if (key == "playsAdded" && !whole) {
            u.playsAdded = readPlays(value);
        } else if (key == "takers") {
            v.takers = readTakers(value);
            u.fields |= F::TakersField;
        } else if (key == "takersAdded" && !whole) {
            u.takersAdded = readTakers(value);
        } else if (key == "handCounts") {
            v.handCounts = readPerSeat<std::int32_t>(value, 0, 13);
            u.fields |= F::HandCountsField;
        } else if (key == "scoreRows") {
            v.scoreRows = readRows(value);
            u.fields |= F::ScoreRowsField;
        } else if (key == "scoreRowsAdded" && !whole) {
            u.rowsAdded = readRows(value);
        } else if (key == "passed") {
            v.passed = readBool(value);
            u.fields |= F::PassedField;
        } else if (key == "scored") {
            v.scored = readBool(value);
            u.fields |= F::ScoredField;
        } else if (key == "winner") {
            v.winner = static_cast<int>(readInt(value, 0, 4));
            u.fields |= F::WinnerField;
        } else if (key == "deals") {
            v.dealsDealt = readInt(value, 0, INT64_MAX);
            u.fields |= F::DealsField;
        } else if (key == "legalBids") {
            for (const json& bid : readArray(value, 26))
                v.legalBids.push_back(static_cast<std::int32_t>(readInt(bid, 2, 26)));
            require(!v.legalBids.empty());
        } else if (key == "legalCards") {
            v.legalCards = readCards(value, 13);
            require(!v.legalCards.empty());
        } else {
            throw OutOfShape{};
        }
    }
    // A whole view has every field but the choices.
    constexpr std::uint32_t every = (TableUpdate::DealsField << 1) - 1;
    if (whole)
        require(u.fields == every && v.seat.Seat != 0);
}

ChairKind readChairKind(const json& j)
{
    require(j.is_string());
    for (const ChairKind kind : {ChairKind::Open, ChairKind::Person, ChairKind::Away, ChairKind::Computer}) {
        if (j.get_ref<const std::string&>() == ChairKindName(kind))
            return kind;
    }
    throw OutOfShape{};
}

// A view's fields that are worked out rather than told.
void workOut(TableView& v)
{
    v.seat.Dealer = DealerSeat(v.dealerCounter);
    WorkOutFromPlays(v.seat, v.dealerCounter);
}

} // namespace

const char* ChairKindName(ChairKind kind)
{
    switch (kind) {
    case ChairKind::Open: return "open";
    case ChairKind::Person: return "person";
    case ChairKind::Away: return "away";
    case ChairKind::Computer: return "computer";
    }
    return "?";
}

bool SameBesidesChoices(const TableView& a, const TableView& b)
{
    TableView x = a;
    x.legalBids = b.legalBids;
    x.legalCards = b.legalCards;
    return x == b;
}

std::string EncodeSeatEvent(const SeatEvent& event, const TableView* before)
{
    std::string out;
    out.reserve(before ? 192 : 1536);
    Writer w(out);
    w.open('{');
    w.key("type");
    w.name("event");
    w.key("serial");
    w.number(static_cast<std::int64_t>(std::min<std::uint64_t>(event.serial, INT64_MAX)));
    w.key("kind");
    w.name(SeatEventName(event.kind));
    if (event.seat != 0) {
        w.key("seat");
        w.number(event.seat);
    }
    if (event.card.Suite != 0) {
        w.key("card");
        w.card(event.card);
    }
    if (event.value != 0) {
        w.key("value");
        w.number(event.value);
    }
    // Only a view of the same seat can be the base of a change: anything else is sent whole.
    if (event.kind == SeatEvent::Kind::Snapshot || !before || before->seat.Seat != event.view.seat.Seat) {
        w.key("view");
        writeView(w, event.view);
    } else {
        w.key("change");
        writeChange(w, *before, event.view);
    }
    w.close('}');
    return out;
}

std::string SeatWriter::write(const SeatEvent& event, bool* whole)
{
    // A question changes nothing but the choices: it is written against the view the client
    // holds, which stays the base of the next change. Should the table have moved without a
    // step, the question carries the view whole.
    const bool fits = m_sent && event.kind != SeatEvent::Kind::Snapshot &&
                      (event.kind != SeatEvent::Kind::Asked || SameBesidesChoices(*m_sent, event.view));
    if (whole)
        *whole = !fits;
    std::string text = EncodeSeatEvent(event, fits ? &*m_sent : nullptr);
    if (!fits || event.kind != SeatEvent::Kind::Asked)
        m_sent = event.view;
    return text;
}

std::string EncodeServerMessage(const ServerNotice& message)
{
    if (const auto* welcome = std::get_if<Welcome>(&message)) {
        json names = json::array();
        for (std::size_t s = 1; s <= 4; ++s)
            names.push_back(welcome->names[s]);
        json chairs = json::array();
        for (std::size_t s = 1; s <= 4; ++s)
            chairs.push_back(ChairKindName(welcome->chairs[s]));
        return dump({{"type", "welcome"},
                     {"version", ProtocolVersion},
                     {"seat", welcome->seat},
                     {"table", welcome->table},
                     {"token", welcome->token},
                     {"names", names},
                     {"chairs", chairs},
                     {"started", welcome->started}});
    }
    if (const auto* refused = std::get_if<Refused>(&message))
        return dump({{"type", "refused"}, {"reason", refused->reason}});
    if (const auto* chat = std::get_if<ChatLine>(&message))
        return dump({{"type", "chat"}, {"seat", chat->seat}, {"text", chat->text}});
    return dump({{"type", "bye"}, {"reason", std::get<Bye>(message).reason}});
}

std::optional<ServerMessage> DecodeServerMessage(std::string_view text)
{
    // A view is nested four deep in a message (message, view, score rows, a row).
    if (text.size() > MaxServerMessageBytes || JsonNestingDepth(text) > 4)
        return std::nullopt;
    const json j = json::parse(text.begin(), text.end(), nullptr, false);
    if (j.is_discarded() || !j.is_object() || !j.contains("type") || !j["type"].is_string())
        return std::nullopt;
    auto only = [&](std::initializer_list<std::string_view> allowed) {
        for (const auto& item : j.items())
            require(std::find(allowed.begin(), allowed.end(), item.key()) != allowed.end());
    };
    auto textField = [&](const char* key) {
        const json& value = j.at(key);
        require(value.is_string());
        return value.get<std::string>();
    };
    try {
        const std::string type = j["type"].get<std::string>();
        if (type == "event") {
            only({"type", "serial", "kind", "seat", "card", "value", "view", "change"});
            TableUpdate u;
            u.serial = static_cast<std::uint64_t>(readInt(j.at("serial"), 0, INT64_MAX));
            u.kind = readKind(j.at("kind"));
            if (j.contains("seat"))
                u.seat = static_cast<int>(readInt(j["seat"], 1, 4));
            if (j.contains("card"))
                u.card = readCard(j["card"]);
            if (j.contains("value"))
                u.value = static_cast<std::int32_t>(readInt(j["value"], -MaxScore, MaxScore));
            require(j.contains("view") != j.contains("change"));
            u.whole = j.contains("view");
            require(u.whole || u.kind != SeatEvent::Kind::Snapshot);
            readViewFields(u.whole ? j["view"] : j["change"], u.whole, u);
            return u;
        }
        if (type == "welcome") {
            only({"type", "version", "seat", "table", "token", "names", "chairs", "started"});
            Welcome welcome;
            readInt(j.at("version"), ProtocolVersion, ProtocolVersion);
            welcome.seat = static_cast<int>(readInt(j.at("seat"), 1, 4));
            welcome.table = textField("table");
            require(IsTableCodeText(welcome.table));
            welcome.token = textField("token");
            require(welcome.token.empty() || IsTokenText(welcome.token));
            const json& names = j.at("names");
            require(names.is_array() && names.size() == 4);
            for (std::size_t s = 1; s <= 4; ++s) {
                require(names[s - 1].is_string());
                welcome.names[s] = names[s - 1].get<std::string>();
                // Shown to the player: a name as a hello may carry one, or none (an open chair).
                require(welcome.names[s].empty() || IsAcceptableText(welcome.names[s], MaxNameChars));
            }
            const json& chairs = j.at("chairs");
            require(chairs.is_array() && chairs.size() == 4);
            for (std::size_t s = 1; s <= 4; ++s)
                welcome.chairs[s] = readChairKind(chairs[s - 1]);
            welcome.started = readBool(j.at("started"));
            return welcome;
        }
        if (type == "refused") {
            only({"type", "reason"});
            return Refused{textField("reason")};
        }
        if (type == "chat") {
            only({"type", "seat", "text"});
            ChatLine line{static_cast<int>(readInt(j.at("seat"), 1, 4)), textField("text")};
            require(IsAcceptableText(line.text, MaxChatChars));
            return line;
        }
        if (type == "bye") {
            only({"type", "reason"});
            return Bye{textField("reason")};
        }
    } catch (const OutOfShape&) {
        return std::nullopt;
    } catch (const json::exception&) {
        return std::nullopt;
    }
    return std::nullopt;
}

// ---- the client's copy ------------------------------------------------------------------

bool SeatTable::apply(const TableUpdate& u)
{
    using Kind = SeatEvent::Kind;
    if (u.whole) {
        // A snapshot, or the first event a seat is sent: the view as it stands.
        if (m_hasView && (u.serial < m_serial ||
                          (u.serial == m_serial && u.kind != Kind::Snapshot && u.kind != Kind::Asked)))
            return false;
        TableView v = u.view;
        workOut(v);
        m_view = std::move(v);
        m_hasView = true;
        m_serial = u.serial;
        m_last = u;
        return true;
    }
    // A change needs something to change; steps come in order (the question asked after a step
    // bears the step's serial).
    if (!m_hasView || u.serial < m_serial || (u.serial == m_serial && u.kind != Kind::Asked))
        return false;
    TableView v = m_view;
    SeatView& s = v.seat;
    const TableView& c = u.view;
    using F = TableUpdate::Field;
    const auto has = [&](std::uint32_t field) { return (u.fields & field) != 0; };
    if (has(F::PhaseField))
        v.phase = c.phase;
    if (has(F::ToActField))
        v.toAct = c.toAct;
    if (has(F::DealerField))
        v.dealerCounter = c.dealerCounter;
    if (has(F::TrumpField))
        s.Trump = c.seat.Trump;
    if (has(F::CutField))
        s.CutCard = c.seat.CutCard;
    if (has(F::HandField)) {
        s.Hand = c.seat.Hand;
        s.HandCount = c.seat.HandCount;
    }
    if (u.handOut) {
        const auto end = s.Hand.begin() + s.HandCount;
        const auto it = std::find(s.Hand.begin(), end, *u.handOut);
        if (it == end)
            return false;
        std::copy(it + 1, end, it);
        s.Hand[static_cast<std::size_t>(--s.HandCount)] = {};
    }
    if (has(F::DealtField))
        v.ownDealtHand = c.ownDealtHand;
    if (has(F::BidsField))
        s.Bids = c.seat.Bids;
    if (has(F::BidMadeField))
        v.bidMade = c.bidMade;
    if (has(F::ScoresField))
        s.Scores = c.seat.Scores;
    if (has(F::PlaysField)) {
        s.Plays = c.seat.Plays;
        s.PlayCount = c.seat.PlayCount;
    }
    if (s.PlayCount + static_cast<int>(u.playsAdded.size()) > 52)
        return false;
    for (const TTrickCard& p : u.playsAdded)
        s.Plays[static_cast<std::size_t>(s.PlayCount++)] = p;
    if (has(F::TakersField))
        v.takers = c.takers;
    if (v.takers.size() + u.takersAdded.size() > 13)
        return false;
    v.takers.insert(v.takers.end(), u.takersAdded.begin(), u.takersAdded.end());
    if (has(F::HandCountsField))
        v.handCounts = c.handCounts;
    if (has(F::ScoreRowsField))
        v.scoreRows = c.scoreRows;
    if (v.scoreRows.size() + u.rowsAdded.size() > MaxScoreRows)
        return false;
    v.scoreRows.insert(v.scoreRows.end(), u.rowsAdded.begin(), u.rowsAdded.end());
    if (has(F::PassedField))
        v.passed = c.passed;
    if (has(F::ScoredField))
        v.scored = c.scored;
    if (has(F::WinnerField))
        v.winner = c.winner;
    if (has(F::DealsField))
        v.dealsDealt = c.dealsDealt;
    v.legalBids = c.legalBids;
    v.legalCards = c.legalCards;
    workOut(v);
    m_view = std::move(v);
    m_serial = u.serial;
    m_last = u;
    return true;
}

SeatEvent SeatTable::lastEvent() const
{
    SeatEvent event;
    event.kind = m_last.kind;
    event.seat = m_last.seat;
    event.card = m_last.card;
    event.value = m_last.value;
    event.serial = m_last.serial;
    event.view = m_view;
    return event;
}

} // namespace halbeet::net
