// SPDX-License-Identifier: GPL-3.0-or-later
// One table on a server: chairs, tokens, and the controller that plays the game.

#include "net/hosted_table.h"

#include "table/computer_seats.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <algorithm>

namespace halbeet::net {

// A person at another computer: asked through his connection, answering when his message
// comes. Everything he is told is his seat's event, encoded by the protocol's one encoder.
class HostedTable::PersonSeat final : public Seat {
public:
    PersonSeat(HostedTable& table, int seat) : m_table(table), m_seat(seat) {}
    void act(const TableView& view, SeatAnswer answer) override
    {
        m_answer = std::move(answer);
        m_table.askPerson(m_seat, view);
    }
    void withdraw() override { m_answer = nullptr; }
    void tell(const SeatEvent& event) override { m_table.tellPerson(m_seat, event); }
    bool isComputer() const override { return false; }
    // False when the seat has not been asked.
    bool answer(const SeatAction& action)
    {
        if (!m_answer)
            return false;
        std::exchange(m_answer, nullptr)(action);
        return true;
    }

private:
    HostedTable& m_table;
    int m_seat;
    SeatAnswer m_answer;
};

HostedTable::HostedTable(QString code, std::uint32_t seed, QObject* parent)
    : QObject(parent), m_code(std::move(code)), m_game([seed]() mutable { return seed++; }), m_controller(m_game)
{
    connect(&m_controller, &TableController::actionRefused, this, [this](int seat) {
        sendTo(seat, EncodeServerMessage(Refused{"not allowed"}));
    });
    connect(&m_controller, &TableController::gameOver, this, [this](int) {
        // A new game follows after a moment, as at the desktop table.
        QTimer::singleShot(0, this, [this] { m_controller.newGame(); });
    });
}

HostedTable::~HostedTable() { m_controller.stop(); }

std::string HostedTable::newToken()
{
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.data()), sizeof words).toHex().toStdString();
}

QByteArray HostedTable::hashOf(const std::string& token)
{
    return QCryptographicHash::hash(QByteArray::fromStdString(token), QCryptographicHash::Sha256);
}

int HostedTable::seatPerson(const std::string& name, SeatLink* link, std::string& token)
{
    for (const int seat : {1, 3, 2, 4}) {
        const auto i = static_cast<std::size_t>(seat);
        if (m_chairs[i] != Chair::Open)
            continue;
        m_chairs[i] = Chair::Person;
        m_links[i] = link;
        m_names[i] = name;
        token = newToken();
        m_tokenHashes[i] = hashOf(token);
        m_controller.setSeat(seat, std::make_unique<PersonSeat>(*this, seat));
        sendWelcome(seat, token);
        tellChairs(seat);
        return seat;
    }
    return 0;
}

int HostedTable::reseatPerson(const std::string& token, SeatLink* link, std::string& renewed,
                              std::optional<std::uint64_t> since)
{
    const QByteArray hash = hashOf(token);
    for (int seat = 1; seat <= 4; ++seat) {
        const auto i = static_cast<std::size_t>(seat);
        if (m_tokenHashes[i].isEmpty() || m_tokenHashes[i] != hash)
            continue;
        // A token is good once: the next connection needs the new one.
        renewed = newToken();
        m_tokenHashes[i] = hashOf(renewed);
        m_links[i] = link;
        m_grace[i].reset();
        m_chairs[i] = Chair::Person;
        // The seat is his again; he is asked at its next turn, and sent the steps he missed, or
        // the table as it stands.
        m_controller.setSeat(seat, std::make_unique<PersonSeat>(*this, seat));
        sendWelcome(seat, renewed);
        tellChairs(seat);
        if (!m_started)
            return seat;
        SeatLog& log = m_logs[i];
        if (since && log.writer.holds() && *since >= log.from && *since <= log.last) {
            for (const auto& [serial, text] : log.recent) {
                if (serial > *since)
                    sendTo(seat, text);
            }
            return seat;
        }
        SeatEvent snapshot;
        snapshot.kind = SeatEvent::Kind::Snapshot;
        snapshot.serial = m_controller.lastSerial();
        snapshot.view = TableViewOf(m_game, seat);
        tellPerson(seat, snapshot);
        return seat;
    }
    return 0;
}

void HostedTable::personGone(int seat, const SeatLink* link)
{
    const auto i = static_cast<std::size_t>(seat);
    if (seat < 1 || seat > 4 || m_chairs[i] != Chair::Person || m_links[i] != link)
        return;
    m_links[i] = nullptr;
    startGrace(seat);
    tellChairs();
}

void HostedTable::seatAway(int seat)
{
    m_controller.setSeat(seat, std::make_unique<PersonSeat>(*this, seat));
    startGrace(seat);
}

void HostedTable::startGrace(int seat)
{
    const auto i = static_cast<std::size_t>(seat);
    m_grace[i] = std::make_unique<QTimer>();
    m_grace[i]->setSingleShot(true);
    connect(m_grace[i].get(), &QTimer::timeout, this, [this, seat] { computerTakes(seat); });
    m_grace[i]->start(m_graceMs);
}

void HostedTable::personLeft(int seat, const SeatLink* link)
{
    const auto i = static_cast<std::size_t>(seat);
    if (seat < 1 || seat > 4 || m_chairs[i] != Chair::Person || m_links[i] != link)
        return;
    m_links[i] = nullptr;
    m_tokenHashes[i].clear();
    computerTakes(seat);
}

std::optional<ChairPlan> HostedTable::computerPlaying(int seat) const
{
    const Seat* player = m_controller.seat(seat);
    if (dynamic_cast<const ClassicSeat*>(player))
        return ChairPlan::Classic;
    if (dynamic_cast<const ExpertSeat*>(player))
        return ChairPlan::Expert;
    return std::nullopt;
}

void HostedTable::computerTakes(int seat)
{
    const auto i = static_cast<std::size_t>(seat);
    m_grace[i].reset();
    // What the computer is told is not written down: a client that comes back starts afresh.
    m_logs[i] = SeatLog{};
    m_chairs[i] = Chair::Computer;
    m_controller.setSeat(seat, std::make_unique<ExpertSeat>());
    tellChairs();
}

void HostedTable::bid(int seat, std::int32_t value)
{
    auto* person = dynamic_cast<PersonSeat*>(m_controller.seat(seat));
    if (!person || !person->answer(SeatAction::ofBid(value)))
        sendTo(seat, EncodeServerMessage(Refused{"not your turn"}));
}

void HostedTable::play(int seat, TCardFace card)
{
    auto* person = dynamic_cast<PersonSeat*>(m_controller.seat(seat));
    if (!person || !person->answer(SeatAction::ofCard(card)))
        sendTo(seat, EncodeServerMessage(Refused{"not your turn"}));
}

void HostedTable::chat(int seat, const std::string& text)
{
    sendToAll(EncodeServerMessage(ChatLine{seat, text}));
}

bool HostedTable::start(int seat)
{
    if (seat != 1 || m_started) {
        sendTo(seat, EncodeServerMessage(Refused{"only the host starts the game, once"}));
        return false;
    }
    for (int s = 1; s <= 4; ++s) {
        if (m_chairs[static_cast<std::size_t>(s)] == Chair::Open) {
            m_chairs[static_cast<std::size_t>(s)] = Chair::Computer;
            m_names[static_cast<std::size_t>(s)] = "Expert";
            m_controller.setSeat(s, std::make_unique<ExpertSeat>());
        }
    }
    m_started = true;
    // With several people at the table each bids in his turn, hearing only the bids before it.
    const auto people = std::count(m_chairs.begin(), m_chairs.end(), Chair::Person);
    m_game.setBidOrder(people > 1 ? BidOrder::TurnOrder : BidOrder::Described);
    tellChairs();
    m_controller.newGame();
    return true;
}

bool HostedTable::setChair(int seat, ChairPlan plan)
{
    if (m_started || seat < 2 || seat > 4)
        return false;
    const auto i = static_cast<std::size_t>(seat);
    if (m_chairs[i] == Chair::Person)
        return false;
    // A computer that sat in for a person gone before the start gives the chair up, and the
    // person's token goes with it: he does not come back to a chair given to someone else.
    m_tokenHashes[i].clear();
    m_grace[i].reset();
    m_logs[i] = SeatLog{};
    switch (plan) {
    case ChairPlan::Open:
        m_chairs[i] = Chair::Open;
        m_names[i].clear();
        m_controller.setSeat(seat, nullptr);
        break;
    case ChairPlan::Classic:
        m_chairs[i] = Chair::Computer;
        m_names[i] = "Classic";
        m_controller.setSeat(seat, std::make_unique<ClassicSeat>(m_game));
        break;
    case ChairPlan::Expert:
        m_chairs[i] = Chair::Computer;
        m_names[i] = "Expert";
        m_controller.setSeat(seat, std::make_unique<ExpertSeat>());
        break;
    }
    tellChairs();
    return true;
}

ChairKind HostedTable::chairKind(int seat) const
{
    const auto i = static_cast<std::size_t>(seat);
    switch (m_chairs[i]) {
    case Chair::Open: return ChairKind::Open;
    case Chair::Person: return m_links[i] ? ChairKind::Person : ChairKind::Away;
    case Chair::Computer: return ChairKind::Computer;
    }
    return ChairKind::Open;
}

void HostedTable::sendWelcome(int seat, const std::string& token)
{
    Welcome welcome{seat, m_code.toStdString(), token, m_names, {}, m_started};
    for (int s = 1; s <= 4; ++s)
        welcome.chairs[static_cast<std::size_t>(s)] = chairKind(s);
    sendTo(seat, EncodeServerMessage(welcome));
}

void HostedTable::tellChairs(int except)
{
    // Without a token: each keeps the one he was given.
    for (int s = 1; s <= 4; ++s) {
        if (s != except && m_links[static_cast<std::size_t>(s)])
            sendWelcome(s, {});
    }
}

void HostedTable::tellPerson(int seat, const SeatEvent& event)
{
    SeatLog& log = m_logs[static_cast<std::size_t>(seat)];
    bool whole = false;
    std::string text = log.writer.write(event, &whole);
    log.last = event.serial;
    sendTo(seat, text);
    if (whole) {
        // A client holding anything before this holds a view the steps after it do not fit.
        log.recent.clear();
        log.from = event.serial;
        return;
    }
    log.recent.emplace_back(event.serial, std::move(text));
    if (log.recent.size() > RecentSteps) {
        log.from = log.recent.front().first;
        log.recent.pop_front();
    }
}

void HostedTable::askPerson(int seat, const TableView& view)
{
    SeatLog& log = m_logs[static_cast<std::size_t>(seat)];
    SeatEvent asked;
    asked.kind = SeatEvent::Kind::Asked;
    asked.seat = seat;
    asked.serial = m_controller.lastSerial();
    asked.view = view;
    // A question is not one of the steps a client coming back is sent again: it is asked
    // afresh. One that carries the view whole starts the steps held anew.
    bool whole = false;
    const std::string text = log.writer.write(asked, &whole);
    if (whole) {
        log.recent.clear();
        log.from = log.last = asked.serial;
    }
    sendTo(seat, text);
}

void HostedTable::sendTo(int seat, const std::string& text)
{
    if (seat >= 1 && seat <= 4) {
        if (SeatLink* link = m_links[static_cast<std::size_t>(seat)])
            link->send(text);
    }
}

void HostedTable::sendToAll(const std::string& text)
{
    for (int seat = 1; seat <= 4; ++seat)
        sendTo(seat, text);
}

} // namespace halbeet::net
