// SPDX-License-Identifier: GPL-3.0-or-later
// Plays deals at a hosted table of four people, each answering as the Classic computer would,
// and writes every message each seat is sent, as the server wrote it, with
// the desktop client's copy of the seat's table after it: one JSON object per line,
//   {"seat":1,"text":"<the message>","applied":true,"view":{...}|null}
// "applied" is null for what is not a step of the game. Seat 3 drops out and comes back twice:
// once in time to be sent the steps it missed, once after so long that it gets the table whole.
// The page's tests replay these messages through their own reader and table, and must end up
// with the same view after every one.
//   protocol_trace [GAMES]   (default 1: plays until a game is won and the next is dealt)

#include "net/hosted_table.h"
#include "net/protocol.h"
#include "table/computer_seats.h"

#include <nlohmann/json.hpp>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <iostream>

using namespace halbeet;
using namespace halbeet::net;

namespace {

class TraceLink final : public SeatLink {
public:
    TraceLink(int seat, std::function<void(int, const TableUpdate&)> asked) : m_seat(seat), m_asked(std::move(asked)) {}

    void send(const std::string& text) override
    {
        ++sent;
        nlohmann::json line{{"seat", m_seat}, {"text", text}, {"applied", nullptr}, {"view", nullptr}};
        const auto message = DecodeServerMessage(text);
        if (!message) {
            std::cerr << "protocol_trace: seat " << m_seat << " was sent an unreadable message: " << text << '\n';
            failed = true;
        } else if (const auto* update = std::get_if<TableUpdate>(&*message)) {
            // As the desktop client does: the first whole view on a connection is the table as
            // it stands, whatever was held before.
            bool applied = false;
            if (update->whole && m_fresh) {
                SeatTable fresh;
                applied = fresh.apply(*update);
                if (applied)
                    m_client = std::move(fresh);
            } else {
                applied = m_client.apply(*update);
            }
            m_fresh = false;
            line["applied"] = applied;
            if (!applied) {
                std::cerr << "protocol_trace: seat " << m_seat << "'s client refused " << text << '\n';
                failed = true;
            } else if (update->kind == SeatEvent::Kind::Asked && update->seat == m_seat) {
                m_asked(m_seat, *update);
            }
            if (update->kind == SeatEvent::Kind::GameWon)
                ++gamesWon;
            else if (gamesWon > 0)
                ++stepsSinceWin;
        } else if (std::holds_alternative<Welcome>(*message)) {
            m_fresh = m_fresh || !std::get<Welcome>(*message).token.empty();
        }
        if (m_client.hasView())
            line["view"] = nlohmann::json::parse(EncodeSeatEvent(m_client.lastEvent())).at("view");
        std::cout << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::strict) << '\n';
    }
    std::uint64_t serial() const { return m_client.serial(); }

    int sent = 0;
    int gamesWon = 0;
    int stepsSinceWin = 0; // after the last game won
    bool failed = false;

private:
    int m_seat;
    std::function<void(int, const TableUpdate&)> m_asked;
    SeatTable m_client;
    bool m_fresh = false;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int games = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    std::ios::sync_with_stdio(false);

    HostedTable table(QStringLiteral("TRACE2"), 20261211);
    table.setTimeScale(0);
    bool done = false;
    // Each person answers as the Classic computer would in his seat, so that games are won
    // as they are at a real table, passed deals and high bids included.
    std::array<std::unique_ptr<ClassicSeat>, 5> players;
    for (auto& player : players)
        player = std::make_unique<ClassicSeat>(table.game());
    auto answer = [&](int seat, const TableUpdate&) {
        QTimer::singleShot(0, &table, [&table, &players, seat] {
            players[static_cast<std::size_t>(seat)]->act(TableViewOf(table.game(), seat), [&table, seat](const SeatAction& a) {
                if (a.bid != 0)
                    table.bid(seat, a.bid);
                else
                    table.play(seat, a.card);
            });
        });
    };
    std::array<std::unique_ptr<TraceLink>, 5> links;
    std::array<std::string, 5> tokens;
    const std::array<std::string, 5> names{"", "Host", "سلمى", "O'Brien <b>", "%2 & %1"};
    // People are seated host first, then his partner, then the opponents.
    for (const int s : {1, 3, 2, 4}) {
        const auto i = static_cast<std::size_t>(s);
        links[i] = std::make_unique<TraceLink>(s, answer);
        if (table.seatPerson(names[i], links[i].get(), tokens[i]) != s) {
            std::cerr << "protocol_trace: person " << s << " was not seated in chair " << s << '\n';
            return 1;
        }
    }
    table.chat(2, "مرحبا \"all\" <i>&amp;</i>");
    table.start(1);

    // Seat 3 drops out twice. After its 60th message it comes back a moment later with the serial
    // it holds, and is sent the steps it missed; after its 400th a computer takes its chair at
    // once, and it comes back only when the server no longer holds what it missed: the table
    // comes whole.
    TraceLink& third = *links[3];
    int drops = 0;
    int comebacks = 0;
    int markSent = 0;
    QElapsedTimer sinceDrop;
    auto comeBack = [&] {
        std::string renewed;
        if (table.reseatPerson(tokens[3], &third, renewed, third.serial()) != 3) {
            std::cerr << "protocol_trace: seat 3 could not come back\n";
            third.failed = true;
        }
        tokens[3] = renewed;
        ++comebacks;
    };
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &table, [&] {
        if (drops == comebacks && ((drops == 0 && third.sent >= 60) || (drops == 1 && third.sent >= 400))) {
            table.setGraceMs(drops == 0 ? 60000 : 0);
            table.personGone(3, &third);
            ++drops;
            markSent = links[1]->sent;
            sinceDrop.start();
        } else if (drops == 1 && comebacks == 0 && (links[1]->sent - markSent >= 3 || sinceDrop.elapsed() > 50)) {
            comeBack();
        } else if (drops == 2 && comebacks == 1 &&
                   links[1]->sent - markSent > static_cast<int>(HostedTable::RecentSteps) + 8) {
            comeBack();
        }
    });
    watch.start(1);

    // Until a game is won, and a deal of the next one is under way.
    QTimer end;
    QObject::connect(&end, &QTimer::timeout, &app, [&] {
        const TraceLink& host = *links[1];
        if (host.gamesWon >= games && host.stepsSinceWin >= 30)
            done = true;
        if (done || host.sent > 200000)
            app.quit();
    });
    end.start(1);
    QTimer::singleShot(120000, &app, [&] {
        std::cerr << "protocol_trace: not done in two minutes\n";
        app.exit(2);
    });
    const int rc = app.exec();
    if (rc != 0)
        return rc;
    for (int s = 1; s <= 4; ++s) {
        if (links[static_cast<std::size_t>(s)]->failed)
            return 1;
    }
    if (!done) {
        std::cerr << "protocol_trace: no game was won in 200000 steps\n";
        return 1;
    }
    if (comebacks < 2) {
        std::cerr << "protocol_trace: seat 3 came back " << comebacks << " times of 2\n";
        return 1;
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
}
