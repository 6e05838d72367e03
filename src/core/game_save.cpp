// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a game as versioned JSON and reading it back, refusing anything that does not make
// one consistent game.

#include <algorithm>
#include <limits>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "core/game.h"
#include "core/trick.h"

namespace halbeet {

using nlohmann::json;

namespace {

// A reason to refuse a save.
struct Refused : std::runtime_error {
    explicit Refused(const char* what, GameModel::LoadProblem kind = GameModel::LoadProblem::Damaged)
        : std::runtime_error(what), kind(kind)
    {
    }
    GameModel::LoadProblem kind;
};

void require(bool condition, const char* what)
{
    if (!condition)
        throw Refused(what);
}

json cardJson(TCardFace c) { return json::array({c.Suite, c.Number}); }
json trickCardJson(const TTrickCard& c) { return json::array({c.Suite, c.Number, c.Seat}); }

template <typename T>
json seatsJson(const PerSeat<T>& values)
{
    json out = json::array();
    for (std::size_t s = 1; s <= 4; ++s)
        out.push_back(values[s]);
    return out;
}

json listJson(const TCardList& list, std::int32_t count)
{
    json out = json::array();
    for (std::int32_t k = 1; k <= count; ++k)
        out.push_back(cardJson(list[static_cast<std::size_t>(k)]));
    return out;
}

json splitJson(const TSuitSplit& split)
{
    json out = json::array();
    for (std::size_t suit = 1; suit <= 4; ++suit)
        out.push_back(listJson(split.Lists[suit], split.Counts[suit]));
    return out;
}

std::int64_t integer(const json& value, std::int64_t lo, std::int64_t hi, const char* what)
{
    require(value.is_number_integer(), what);
    const auto n = value.get<std::int64_t>();
    require(n >= lo && n <= hi, what);
    return n;
}

std::int32_t int32(const json& value, std::int32_t lo, std::int32_t hi, const char* what)
{
    return static_cast<std::int32_t>(integer(value, lo, hi, what));
}

bool boolean(const json& value, const char* what)
{
    require(value.is_boolean(), what);
    return value.get<bool>();
}

const json& field(const json& object, const char* key)
{
    const auto it = object.find(key);
    require(it != object.end(), "a part of the game is missing");
    return *it;
}

const json& array(const json& value, std::size_t minSize, std::size_t maxSize, const char* what)
{
    require(value.is_array() && value.size() >= minSize && value.size() <= maxSize, what);
    return value;
}

TCardFace readCard(const json& value)
{
    array(value, 2, 2, "a card is damaged");
    return {int32(value[0], 1, 4, "a card is damaged"), int32(value[1], 1, 13, "a card is damaged")};
}

// An empty trick position is [0, 0, 0]; a card is [suit, number, seat].
TTrickCard readTrickCard(const json& value)
{
    array(value, 3, 3, "a trick card is damaged");
    TTrickCard c{int32(value[0], 0, 4, "a trick card is damaged"),
                 int32(value[1], 0, 13, "a trick card is damaged"),
                 int32(value[2], 0, 4, "a trick card is damaged")};
    const bool empty = c.Suite == 0 && c.Number == 0 && c.Seat == 0;
    require(empty || (c.Suite != 0 && c.Number != 0 && c.Seat != 0), "a trick card is damaged");
    return c;
}

std::int32_t readList(const json& value, TCardList& list)
{
    array(value, 0, 13, "a list of cards is damaged");
    std::int32_t count = 0;
    for (const json& card : value)
        list[static_cast<std::size_t>(++count)] = readCard(card);
    return count;
}

void readSplit(const json& value, TSuitSplit& split)
{
    array(value, 4, 4, "a hand's suits are damaged");
    for (std::size_t suit = 1; suit <= 4; ++suit) {
        split.Counts[suit] = readList(value[suit - 1], split.Lists[suit]);
        for (std::int32_t k = 1; k <= split.Counts[suit]; ++k)
            require(split.Lists[suit][static_cast<std::size_t>(k)].Suite == static_cast<std::int32_t>(suit),
                    "a hand's suits are damaged");
    }
}

template <typename T>
void readSeats(const json& value, PerSeat<T>& out, std::int64_t lo, std::int64_t hi, const char* what)
{
    array(value, 4, 4, what);
    for (std::size_t s = 1; s <= 4; ++s)
        out[s] = static_cast<T>(integer(value[s - 1], lo, hi, what));
}

int cardIndex(TCardFace c) { return (c.Suite - 1) * 13 + (c.Number - 1); }

// A set of the 52 cards that refuses a card seen twice.
struct CardSet {
    std::array<bool, 52> seen{};
    int count = 0;
    void add(TCardFace c)
    {
        bool& slot = seen[static_cast<std::size_t>(cardIndex(c))];
        require(!slot, "a card appears twice");
        slot = true;
        ++count;
    }
};

Phase phaseNamed(const json& value)
{
    require(value.is_string(), "the phase of the game is unknown");
    const auto name = value.get<std::string>();
    for (const Phase p : {Phase::NoDeal, Phase::Bidding, Phase::Playing, Phase::TrickComplete,
                          Phase::DealOver, Phase::GameOver}) {
        if (name == PhaseName(p))
            return p;
    }
    throw Refused("the phase of the game is unknown");
}

// A save from before the order was kept is one of the single-player game, bid in its order.
BidOrder bidOrderOf(const json& in)
{
    const auto it = in.find("bidOrder");
    if (it == in.end())
        return BidOrder::Described;
    require(it->is_string(), "the bidding order is unknown");
    const auto name = it->get<std::string>();
    for (const BidOrder order : {BidOrder::Described, BidOrder::TurnOrder}) {
        if (name == BidOrderName(order))
            return order;
    }
    throw Refused("the bidding order is unknown");
}

} // namespace

// Reads and writes the game model's private parts; a friend, so the game's fields stay its own.
class GameSaveCodec {
public:
    static std::string save(const GameModel& g);
    static void load(GameModel& g, std::string_view text);
};

std::string GameSaveCodec::save(const GameModel& g)
{
    const TGameState& st = g.m_state;
    json deck = json::array();
    for (std::size_t p = 1; p <= 52; ++p)
        deck.push_back(cardJson(st.Deck[p]));
    json hands = json::array(), splits = json::array(), dealt = json::array();
    for (std::size_t s = 1; s <= 4; ++s) {
        hands.push_back(listJson(st.Hands[s], st.HandCount[s]));
        splits.push_back(splitJson(st.Splits[s]));
        dealt.push_back(listJson(g.m_dealtHands[s], g.m_dealtHands[s][1].Suite == 0 ? 0 : 13));
    }
    json trick = json::array();
    for (std::size_t p = 1; p <= 4; ++p)
        trick.push_back(trickCardJson(st.Trick[p]));
    json plays = json::array();
    for (const TTrickCard& c : g.plays())
        plays.push_back(trickCardJson(c));
    json takers = json::array();
    for (const int t : g.takers())
        takers.push_back(t);
    json rows = json::array();
    for (const auto& row : g.m_scoreRows)
        rows.push_back(seatsJson(row));
    PerSeat<bool> bidMade = g.m_bidMade;

    const json out{
        {"format", "halbeet-game"},
        {"version", GameModel::SaveVersion},
        {"phase", PhaseName(g.m_phase)},
        {"bidOrder", BidOrderName(g.m_bidOrder)},
        {"passed", g.m_passed},
        {"scored", g.m_scored},
        {"leader", g.m_leader},
        {"bidMade", seatsJson(bidMade)},
        {"generator", g.m_random.state()},
        {"dealsDealt", g.m_dealsDealt},
        {"deck", deck},
        {"dealerCounter", st.DealerCounter},
        {"trump", st.Trump},
        {"cutCard", cardJson(st.CutCard)},
        {"hands", hands},
        {"splits", splits},
        {"dealtHands", dealt},
        {"bids", seatsJson(st.Bids)},
        {"tricksWon", seatsJson(st.TricksWon)},
        {"trick", trick},
        {"trickPos", st.TrickPos},
        {"computerCard", json::array({st.ComputerCard.Suite, st.ComputerCard.Number})},
        {"winningCard", trickCardJson(st.WinningCard)},
        {"cardsPlayed", st.CardsPlayed},
        {"playedCards", splitJson(st.PlayedCards)},
        {"plays", plays},
        {"takers", takers},
        {"scores", seatsJson(st.Scores)},
        {"scoreRows", rows},
        {"scoreRow", st.ScoreRow},
        {"gameWinner", st.GameWinner},
        {"playDelay", st.PlayDelay},
        {"trickPause", st.TrickPause},
        {"gameTag", g.m_gameTag},
    };
    return out.dump(1) + "\n";
}

void GameSaveCodec::load(GameModel& g, std::string_view text)
{
    const json in = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
    require(!in.is_discarded(), "the file is damaged");
    if (!in.is_object())
        throw Refused("the file is not a saved game, or it is damaged", GameModel::LoadProblem::NotASave);
    const auto format = in.find("format");
    if (format == in.end() || !format->is_string() || format->get<std::string>() != "halbeet-game")
        throw Refused("the file is not a saved game", GameModel::LoadProblem::NotASave);
    const std::int64_t version = integer(field(in, "version"), 1, std::numeric_limits<std::int32_t>::max(),
                                         "the file's version is unknown");
    if (version > GameModel::SaveVersion)
        throw Refused("the game was saved by a newer version of Halbeet", GameModel::LoadProblem::NewerVersion);

    constexpr std::int64_t kScoreLimit = 1'000'000'000; // far beyond any real game, far from overflow
    TGameState st = g.m_state; // keeps the timing values should the file lack nothing else
    const Phase phase = phaseNamed(field(in, "phase"));
    const BidOrder bidOrder = bidOrderOf(in);
    const bool passed = boolean(field(in, "passed"), "the file is damaged");
    const bool scored = boolean(field(in, "scored"), "the file is damaged");
    const int leader = int32(field(in, "leader"), 0, 4, "the file is damaged");
    PerSeat<bool> bidMade{};
    {
        const json& v = array(field(in, "bidMade"), 4, 4, "the file is damaged");
        for (std::size_t s = 1; s <= 4; ++s)
            bidMade[s] = boolean(v[s - 1], "the file is damaged");
    }
    const auto generator = static_cast<std::uint32_t>(
        integer(field(in, "generator"), 0, std::numeric_limits<std::uint32_t>::max(), "the file is damaged"));
    const std::int64_t dealsDealt =
        integer(field(in, "dealsDealt"), 0, std::numeric_limits<std::int64_t>::max(), "the file is damaged");

    {
        const json& deck = array(field(in, "deck"), 52, 52, "the deck is damaged");
        CardSet set;
        for (std::size_t p = 1; p <= 52; ++p) {
            st.Deck[p] = readCard(deck[p - 1]);
            set.add(st.Deck[p]);
        }
    }
    st.DealerCounter = int32(field(in, "dealerCounter"), 0, 3, "the dealer is damaged");
    const bool dealt = dealsDealt > 0;
    st.Trump = int32(field(in, "trump"), dealt ? 1 : 0, 4, "the trump is damaged");
    st.CutCard = dealt ? readCard(field(in, "cutCard")) : TCardFace{};

    const json& hands = array(field(in, "hands"), 4, 4, "the hands are damaged");
    const json& splits = array(field(in, "splits"), 4, 4, "the hands are damaged");
    const json& dealtHands = array(field(in, "dealtHands"), 4, 4, "the hands are damaged");
    PerSeat<THand> dealtHandsValue{};
    CardSet inPlay; // cards held plus cards played: one deck, each card once
    for (std::size_t s = 1; s <= 4; ++s) {
        st.Hands[s] = THand{};
        st.HandCount[s] = readList(hands[s - 1], st.Hands[s]);
        st.Splits[s] = TSuitSplit{};
        readSplit(splits[s - 1], st.Splits[s]);
        std::vector<TCardFace> held;
        for (std::int32_t k = 1; k <= st.HandCount[s]; ++k) {
            held.push_back(st.Hands[s][static_cast<std::size_t>(k)]);
            inPlay.add(held.back());
        }
        std::int32_t splitTotal = 0;
        CardSet inSplit; // no card twice in the split
        for (std::size_t suit = 1; suit <= 4; ++suit) {
            splitTotal += st.Splits[s].Counts[suit];
            for (std::int32_t k = 1; k <= st.Splits[s].Counts[suit]; ++k)
                inSplit.add(st.Splits[s].Lists[suit][static_cast<std::size_t>(k)]);
            for (std::int32_t k = 1; k <= st.Splits[s].Counts[suit]; ++k)
                require(std::find(held.begin(), held.end(), st.Splits[s].Lists[suit][static_cast<std::size_t>(k)]) !=
                            held.end(),
                        "a hand and its suits disagree");
        }
        require(splitTotal == st.HandCount[s], "a hand and its suits disagree");
        const std::int32_t n = readList(dealtHands[s - 1], dealtHandsValue[s]);
        require(n == 0 || n == 13, "the hands are damaged");
    }

    readSeats(field(in, "bids"), st.Bids, 0, 26, "the bids are damaged");
    readSeats(field(in, "tricksWon"), st.TricksWon, 0, 13, "the tricks won are damaged");
    {
        const json& trick = array(field(in, "trick"), 4, 4, "the trick is damaged");
        for (std::size_t p = 1; p <= 4; ++p)
            st.Trick[p] = readTrickCard(trick[p - 1]);
    }
    st.TrickPos = int32(field(in, "trickPos"), 1, 4, "the trick is damaged");
    {
        const json& c = array(field(in, "computerCard"), 2, 2, "the file is damaged");
        st.ComputerCard = {int32(c[0], 0, 4, "the file is damaged"), int32(c[1], 0, 13, "the file is damaged")};
    }
    st.WinningCard = readTrickCard(field(in, "winningCard"));
    st.CardsPlayed = int32(field(in, "cardsPlayed"), 0, 52, "the number of cards played is damaged");
    st.PlayedCards = TSuitSplit{};
    readSplit(field(in, "playedCards"), st.PlayedCards);

    std::array<TTrickCard, 53> plays{};
    int playCount = 0;
    {
        const json& v = array(field(in, "plays"), 0, 52, "the cards played are damaged");
        for (const json& c : v) {
            plays[static_cast<std::size_t>(++playCount)] = readTrickCard(c);
            require(plays[static_cast<std::size_t>(playCount)].Suite != 0, "the cards played are damaged");
            inPlay.add({plays[static_cast<std::size_t>(playCount)].Suite, plays[static_cast<std::size_t>(playCount)].Number});
        }
    }
    std::array<int, 14> takers{};
    int takerCount = 0;
    {
        const json& v = array(field(in, "takers"), 0, 13, "the tricks are damaged");
        for (const json& t : v)
            takers[static_cast<std::size_t>(++takerCount)] = int32(t, 1, 4, "the tricks are damaged");
    }
    readSeats(field(in, "scores"), st.Scores, -kScoreLimit, kScoreLimit, "the scores are damaged");
    std::vector<PerSeat<std::int32_t>> rows;
    {
        const json& v = array(field(in, "scoreRows"), 0, 100000, "the score sheet is damaged");
        for (const json& r : v) {
            PerSeat<std::int32_t> row{};
            readSeats(r, row, -kScoreLimit, kScoreLimit, "the score sheet is damaged");
            rows.push_back(row);
        }
    }
    st.ScoreRow = int32(field(in, "scoreRow"), 1, 8, "the score sheet is damaged");
    st.GameWinner = int32(field(in, "gameWinner"), 0, 4, "the winner is damaged");
    st.PlayDelay = int32(field(in, "playDelay"), 0, 60000, "the playing speed is damaged");
    st.TrickPause = int32(field(in, "trickPause"), 0, 60000, "the playing speed is damaged");
    std::string tag;
    if (const auto t = in.find("gameTag"); t != in.end()) {
        require(t->is_string() && t->get_ref<const std::string&>().size() <= 200, "the file is damaged");
        tag = t->get<std::string>();
    }

    // The pieces must make one game.
    const bool nothingYet = phase == Phase::NoDeal && !dealt && inPlay.count == 0;
    require(nothingYet || inPlay.count == 52, "the cards do not make one deck");
    require(st.ScoreRow == std::min<std::int64_t>(static_cast<std::int64_t>(rows.size()) + 1, 8),
            "the score sheet is damaged");
    require(rows.empty() || rows.back() == st.Scores, "the score sheet and the scores disagree");
    const bool inDeal = phase == Phase::Bidding || phase == Phase::Playing || phase == Phase::TrickComplete ||
                        phase == Phase::DealOver || phase == Phase::GameOver;
    if (inDeal) {
        require(dealt && leader >= 1, "the deal is damaged");
        require(st.CardsPlayed == playCount, "the number of cards played is damaged");
        std::int32_t held = 0;
        for (std::size_t s = 1; s <= 4; ++s)
            held += st.HandCount[s];
        require(held + st.CardsPlayed == 52, "the cards do not make one deck");
        std::vector<TCardFace> played;
        for (int i = 1; i <= playCount; ++i)
            played.push_back({plays[static_cast<std::size_t>(i)].Suite, plays[static_cast<std::size_t>(i)].Number});
        std::int32_t playedTotal = 0;
        CardSet inPlayedSplit;
        for (std::size_t suit = 1; suit <= 4; ++suit) {
            playedTotal += st.PlayedCards.Counts[suit];
            for (std::int32_t k = 1; k <= st.PlayedCards.Counts[suit]; ++k)
                inPlayedSplit.add(st.PlayedCards.Lists[suit][static_cast<std::size_t>(k)]);
            for (std::int32_t k = 1; k <= st.PlayedCards.Counts[suit]; ++k)
                require(std::find(played.begin(), played.end(),
                                  st.PlayedCards.Lists[suit][static_cast<std::size_t>(k)]) != played.end(),
                        "the cards played disagree");
        }
        require(playedTotal == playCount, "the cards played disagree");
        std::int32_t won = 0;
        for (std::size_t s = 1; s <= 4; ++s) {
            won += st.TricksWon[s];
            const auto byThisSeat = std::count_if(plays.begin() + 1, plays.begin() + 1 + playCount,
                                                  [s](const TTrickCard& c) { return c.Seat == static_cast<int>(s); });
            require(st.HandCount[s] == 13 - byThisSeat, "a hand has the wrong number of cards");
        }
        require(won == takerCount, "the tricks won are damaged");
        const int complete = playCount / 4;
        const int onTable = playCount % 4;
        if (phase == Phase::TrickComplete) {
            require(onTable == 0 && playCount > 0 && takerCount == complete - 1, "the trick is damaged");
            require(st.WinningCard == TrickWinner(st.Trick, st.Trump), "the trick is damaged");
        } else {
            require(takerCount == complete, "the tricks are damaged");
        }
        // The cards on the table are the last ones played, in order.
        const int lying = phase == Phase::TrickComplete ? 4 : onTable;
        for (int p = 1; p <= 4; ++p) {
            const TTrickCard& c = st.Trick[static_cast<std::size_t>(p)];
            if (p <= lying)
                require(c == plays[static_cast<std::size_t>(playCount - lying + p)], "the trick is damaged");
            else
                require(c.Suite == 0, "the trick is damaged");
        }
        require(st.TrickPos == (lying == 4 ? 1 : lying + 1), "the trick is damaged");
        if (lying > 0)
            require(st.Trick[1].Seat == leader, "the trick is damaged");
        // Bids: every one made is a real bid; all four once the bidding is over.
        for (std::size_t s = 1; s <= 4; ++s) {
            if (bidMade[s] || phase != Phase::Bidding)
                require(bidMade[s] && IsStoredBid(st.Bids[s]), "the bids are damaged");
        }
        if (phase == Phase::Bidding) {
            // The seats that have bid are the first ones of the order, and one at least is
            // still to bid: otherwise no seat would be the one to act.
            const std::array<int, 4> bidders = BiddingSeats(bidOrder, st.DealerCounter);
            std::size_t made = 0;
            while (made < 4 && bidMade[static_cast<std::size_t>(bidders[made])])
                ++made;
            require(made < 4, "the bids are damaged");
            for (std::size_t k = made; k < 4; ++k)
                require(!bidMade[static_cast<std::size_t>(bidders[k])], "the bids are damaged");
        }
        if (phase != Phase::Bidding)
            require(passed == (st.Bids[1] + st.Bids[2] + st.Bids[3] + st.Bids[4] < 11), "the bids are damaged");
        require(!passed || (phase == Phase::DealOver && playCount == 0), "the deal is damaged");
        if (phase == Phase::Bidding || phase == Phase::Playing || phase == Phase::TrickComplete)
            require(!scored && playCount < 52 + (phase == Phase::TrickComplete ? 1 : 0), "the deal is damaged");
        if (phase == Phase::DealOver && !passed)
            require(playCount == 52 && takerCount == 13, "the deal is damaged");
        if (phase == Phase::GameOver)
            require(scored && st.GameWinner != 0, "the deal is damaged");
        if (phase == Phase::Playing && playCount < 52)
            require(leader == (takerCount == 0 ? static_cast<int>(st.DealerCounter) + 1 : takers[static_cast<std::size_t>(takerCount)]),
                    "the deal is damaged");
    }

    g.m_state = st;
    g.m_random.setState(generator);
    g.m_phase = phase;
    g.m_bidOrder = bidOrder;
    g.m_passed = passed;
    g.m_scored = scored;
    g.m_leader = leader;
    g.m_bidMade = bidMade;
    g.m_plays = plays;
    g.m_playCount = playCount;
    g.m_takers = takers;
    g.m_takerCount = takerCount;
    g.m_dealtHands = dealtHandsValue;
    g.m_scoreRows = std::move(rows);
    g.m_dealsDealt = dealsDealt;
    g.m_gameTag = std::move(tag);
    g.recomputeToAct();
    g.recomputeHeld();
}

std::string GameModel::save() const { return GameSaveCodec::save(*this); }

bool GameModel::load(std::string_view text, std::string* error, LoadProblem* problem)
{
    LoadProblem kind = LoadProblem::Damaged;
    try {
        GameSaveCodec::load(*this, text);
        kind = LoadProblem::None;
    } catch (const Refused& refused) {
        kind = refused.kind;
        if (error)
            *error = refused.what();
    } catch (const json::exception&) {
        if (error)
            *error = "the file is damaged";
    }
    if (problem)
        *problem = kind;
    return kind == LoadProblem::None;
}

} // namespace halbeet
