// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One table held by a server: its game and controller, who sits in each chair (a player at
// another computer, a computer, or nobody yet), the reconnection tokens (kept only as
// hashes), and the chat. The server hands it what a connection said once it knows the
// connection's seat; the seat always comes from the connection, never from a message.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include "core/game.h"
#include "net/protocol.h"
#include "table/table_controller.h"

namespace halbeet::net {

// Where a seat's messages go: a connection, as the table sees it.
class SeatLink {
public:
    virtual ~SeatLink() = default;
    virtual void send(const std::string& text) = 0;
};

// What the host puts in a chair before the game starts: nobody (a friend may take it), or a
// computer of either kind.
enum class ChairPlan { Open, Classic, Expert };

class HostedTable final : public QObject {
    Q_OBJECT

public:
    enum class Chair { Open, Person, Computer };
    using ChairPlan = net::ChairPlan;

    HostedTable(QString code, std::uint32_t seed, QObject* parent = nullptr);
    ~HostedTable() override;

    const QString& code() const { return m_code; }
    const GameModel& game() const { return m_game; }
    bool started() const { return m_started; }
    Chair chair(int seat) const { return m_chairs[static_cast<std::size_t>(seat)]; }
    // The kind of computer that plays the chair; nothing when no computer does.
    std::optional<ChairPlan> computerPlaying(int seat) const;
    // The chair as the players are told it: a person whose connection dropped is away.
    ChairKind chairKind(int seat) const;
    // Multiplies the table's waits (0: full speed, for tests and the load benchmark).
    void setTimeScale(double scale) { m_controller.setTimeScale(scale); }

    // A person takes the first open chair (the host's is seat 1, then the partner's, then
    // the opponents'). Returns the seat and the token that takes it back; 0 when the table
    // is full.
    int seatPerson(const std::string& name, SeatLink* link, std::string& token);
    // The person with this token comes back: his seat (0 if the token is no seat's). The
    // token is renewed; the seat is his again from its next turn. He is sent the steps after
    // `since` when they are still held, else the table as it stands.
    int reseatPerson(const std::string& token, SeatLink* link, std::string& newToken,
                     std::optional<std::uint64_t> since = std::nullopt);
    // The connection of seat went away: the chair waits for him (a computer plays it
    // meanwhile, once the grace time is over).
    // Only the seat's current connection counts: one that a reconnection replaced does not.
    void personGone(int seat, const SeatLink* link);
    // He left for good: a computer takes the chair at once.
    void personLeft(int seat, const SeatLink* link);

    // What the connection of seat said.
    void bid(int seat, std::int32_t bid);
    void play(int seat, TCardFace card);
    void chat(int seat, const std::string& text);
    // The host starts the game: computers fill the open chairs.
    bool start(int seat);
    // The host's choice for one of the other chairs (2..4) before the game starts: a computer
    // sits down at once, and a chair left open waits for a friend. False once the game has
    // started, for the host's own chair, and for a chair a person holds (connected or away).
    bool setChair(int seat, ChairPlan plan);

    // How long a dropped player keeps his chair before a computer plays it.
    void setGraceMs(int ms) { m_graceMs = ms; }

    // The table as it is kept across a restart of its server: the game, who sits where, and
    // the hashes of the tokens (never a token). See net/table_store.h for the file.
    struct Saved {
        QString code;
        bool started = false;
        std::array<Chair, 5> chairs{};
        std::array<std::string, 5> names{};
        std::array<QByteArray, 5> tokenHashes{};
        std::string game; // GameModel::save()
    };
    Saved saved() const;
    // Takes up a saved table on a table of the same code that nobody has joined yet. The
    // persons are away until they come back with their tokens; each keeps his chair for the
    // grace time, then a computer plays it. False, with the reason, for a save that does not
    // make a table; the table is then left as it was.
    bool restore(const Saved& saved, std::string* error = nullptr);
    // The people who could still come back to the table: those whose token is known, in
    // their chair or in one a computer plays for them meanwhile.
    int awaitedCount() const;

    // Every person's seat and what the connection is told (tests look at it).
    std::array<std::string, 5> names() const { return m_names; }

    // The steps a seat's log holds for a client coming back: this many, the latest. A table
    // waits for a dropped player at his next turn, a dozen steps at most (the end of a deal,
    // the next one dealt, the bids before his).
    static constexpr std::size_t RecentSteps = 16;

private:
    class PersonSeat;
    // What a person's seat was sent: the view each change is written against, and the latest
    // steps as written, for a client that comes back having missed some.
    struct SeatLog {
        SeatWriter writer;
        std::deque<std::pair<std::uint64_t, std::string>> recent;
        std::uint64_t from = 0; // a client holding this step, or a later one, can be caught up
        std::uint64_t last = 0; // the last step written
    };
    void tellPerson(int seat, const SeatEvent& event);
    void askPerson(int seat, const TableView& view);
    void sendTo(int seat, const std::string& text);
    void sendWelcome(int seat, const std::string& token);
    // Every connected seat but `except` is told who sits where now.
    void tellChairs(int except = 0);
    void sendToAll(const std::string& text);
    void computerTakes(int seat);
    void startGrace(int seat);
    // A restored person's chair: his seat waits for him through the grace time.
    void seatAway(int seat);
    static std::string newToken();
    static QByteArray hashOf(const std::string& token);

    QString m_code;
    GameModel m_game;
    TableController m_controller;
    std::array<Chair, 5> m_chairs{};
    std::array<SeatLink*, 5> m_links{};
    std::array<QByteArray, 5> m_tokenHashes{};
    std::array<std::string, 5> m_names{};
    std::array<std::unique_ptr<QTimer>, 5> m_grace{};
    std::array<SeatLog, 5> m_logs{};
    int m_graceMs = 60000;
    bool m_started = false;
};

} // namespace halbeet::net
