// SPDX-License-Identifier: GPL-3.0-or-later
// The table controller without any window: whole games of computer seats, seats that answer
// late or wrongly, New Game and a close at awkward moments, and what each seat is told.

#include "core/expert/expert_player.h"
#include "core/selfplay.h"
#include "table/computer_seats.h"
#include "table/table_controller.h"
#include "wait_until.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

using namespace halbeet;
using halbeet::testing::waitUntil;

namespace {

SeedSource fixedSeeds(std::uint32_t first)
{
    return [next = first]() mutable { return next++; };
}

// Hands a decision to another seat, keeps everything it is told, and checks what it may not be
// told: a step out of order, or a card of another hand before it is played.
class RecordingSeat : public Seat {
public:
    RecordingSeat(int seat, std::unique_ptr<Seat> inner) : m_seat(seat), m_inner(std::move(inner)) {}

    void act(const TableView& view, SeatAnswer answer) override
    {
        ++asked;
        if (view.seat.Seat != m_seat || view.toAct != m_seat)
            problems << QStringLiteral("asked with the view of seat %1, %2 to act").arg(view.seat.Seat).arg(view.toAct);
        if (view.legalBids.empty() && view.legalCards.empty())
            problems << QStringLiteral("asked with no choice");
        if (onAsk)
            onAsk(view);
        if (holdAnswers) {
            held.push_back({view, std::move(answer)});
            return;
        }
        m_inner->act(view, std::move(answer));
    }
    void withdraw() override { ++withdrawn; }
    void tell(const SeatEvent& event) override
    {
        if (event.serial <= lastSerial)
            problems << QStringLiteral("step %1 told after %2").arg(event.serial).arg(lastSerial);
        lastSerial = event.serial;
        if (event.view.seat.Seat != m_seat)
            problems << QStringLiteral("told the view of seat %1").arg(event.view.seat.Seat);
        events.push_back(event);
        if (onTell)
            onTell(event);
    }
    bool isComputer() const override { return m_inner->isComputer(); }

    // Gives the held questions to the inner seat now.
    void releaseHeld()
    {
        auto questions = std::exchange(held, {});
        for (auto& [view, answer] : questions)
            m_inner->act(view, std::move(answer));
    }

    int asked = 0;
    int withdrawn = 0;
    bool holdAnswers = false;
    std::vector<std::pair<TableView, SeatAnswer>> held;
    std::vector<SeatEvent> events;
    std::uint64_t lastSerial = 0;
    QStringList problems;
    std::function<void(const SeatEvent&)> onTell;
    std::function<void(const TableView&)> onAsk;

private:
    int m_seat;
    std::unique_ptr<Seat> m_inner;
};

// A person's seat: answers only when the test says so.
class PersonSeat : public Seat {
public:
    void act(const TableView& view, SeatAnswer answer) override
    {
        question = view;
        m_answer = std::move(answer);
    }
    void withdraw() override { m_answer = nullptr; }
    bool isComputer() const override { return false; }
    // Answers the open question; false when none is open.
    bool answer(const SeatAction& action)
    {
        if (!m_answer)
            return false;
        std::exchange(m_answer, nullptr)(action);
        return true;
    }
    SeatAnswer answerChannel() const { return m_answer; }
    TableView question;

private:
    SeatAnswer m_answer;
};

// Answers after a delay of its own, as a slow player or a far-away one would.
class LateSeat : public Seat {
public:
    LateSeat(std::unique_ptr<Seat> inner, int ms) : m_inner(std::move(inner)), m_ms(ms) {}
    void act(const TableView& view, SeatAnswer answer) override
    {
        m_inner->act(view, [this, answer](const SeatAction& action) {
            QTimer::singleShot(m_ms, m_context.get(), [answer, action] { answer(action); });
        });
    }
    bool isComputer() const override { return true; }

private:
    std::unique_ptr<Seat> m_inner;
    int m_ms;
    std::unique_ptr<QObject> m_context = std::make_unique<QObject>();
};

struct Table {
    explicit Table(std::uint32_t seed) : game(fixedSeeds(seed)), controller(game)
    {
        controller.setTimeScale(0);
    }
    RecordingSeat* put(int seat, std::unique_ptr<Seat> inner)
    {
        auto recording = std::make_unique<RecordingSeat>(seat, std::move(inner));
        RecordingSeat* kept = recording.get();
        controller.setSeat(seat, std::move(recording));
        recorders[static_cast<std::size_t>(seat)] = kept;
        return kept;
    }
    QString problems() const
    {
        QStringList all;
        for (int s = 1; s <= 4; ++s) {
            if (const RecordingSeat* r = recorders[static_cast<std::size_t>(s)])
                all << r->problems;
        }
        return all.join(QLatin1Char('\n'));
    }
    GameModel game;
    TableController controller;
    std::array<RecordingSeat*, 5> recorders{};
};

// The cards of a deal in play order, and each deal's scores, as a listener sees them.
struct DealLog : GameListener {
    void gameEvent(const GameModel& game, const GameEvent& event) override
    {
        if (event.kind == GameEvent::Kind::CardPlayed)
            cards.push_back({event.card.Suite, event.card.Number, event.seat});
        if (event.kind == GameEvent::Kind::DealScored)
            scores.push_back(game.state().Scores);
        if (event.kind == GameEvent::Kind::Passed)
            ++passed;
    }
    std::vector<TTrickCard> cards;
    std::vector<PerSeat<std::int32_t>> scores;
    int passed = 0;
};

} // namespace

class TestTableController : public QObject {
    Q_OBJECT

private slots:
    // Four Classic seats, one of them answering late, play whole games through the controller;
    // the games are the ones the simulator plays from the same seeds, card for card.
    void wholeGamesMatchTheSimulator()
    {
        constexpr std::uint32_t seed = 7;
        Table table(seed);
        DealLog log;
        table.game.addListener(&log);
        for (int s = 1; s <= 4; ++s) {
            std::unique_ptr<Seat> classic = std::make_unique<ClassicSeat>(table.game);
            if (s == 3)
                classic = std::make_unique<LateSeat>(std::move(classic), 2);
            table.put(s, std::move(classic));
        }
        int gamesWon = 0;
        connect(&table.controller, &TableController::gameOver, this, [&] {
            if (++gamesWon < 2)
                table.controller.newGame();
        });
        table.controller.newGame();
        QVERIFY2(waitUntil([&] { return gamesWon == 2; }, 60000), "two games were not finished");
        QVERIFY2(table.problems().isEmpty(), qPrintable(table.problems()));

        SelfPlay reference(fixedSeeds(seed));
        DealLog expected;
        const_cast<GameModel&>(reference.game()).addListener(&expected);
        while (expected.scores.size() < log.scores.size())
            reference.playDeal();
        QCOMPARE(log.passed, expected.passed);
        QCOMPARE(log.scores, expected.scores);
        QVERIFY(log.cards == expected.cards);
    }

    // Every seat is told every step once, in order, each with its own view; no hidden card and
    // no hidden bid reaches a seat before the table shows it.
    void eachSeatIsToldOnlyWhatItMayKnow()
    {
        Table table(11);
        for (int s = 1; s <= 4; ++s)
            table.put(s, std::make_unique<ClassicSeat>(table.game));
        QStringList leaks;
        for (int s = 1; s <= 4; ++s) {
            table.recorders[static_cast<std::size_t>(s)]->onTell = [&, s](const SeatEvent& event) {
                // The seat's hand as dealt: every card of its view's hand must be one of them.
                std::uint64_t dealt = 0;
                for (int k = 1; k <= 13; ++k) {
                    const TCardFace c = table.game.dealtHands()[static_cast<std::size_t>(s)][static_cast<std::size_t>(k)];
                    dealt |= std::uint64_t{1} << ((c.Suite - 1) * 13 + c.Number - 1);
                }
                const SeatView& v = event.view.seat;
                for (int k = 0; k < v.HandCount; ++k) {
                    const TCardFace c = v.Hand[static_cast<std::size_t>(k)];
                    if (!(dealt >> ((c.Suite - 1) * 13 + c.Number - 1) & 1))
                        leaks << QStringLiteral("seat %1 was shown a card of another hand").arg(s);
                }
                if (event.kind == SeatEvent::Kind::BidMade && event.seat != s && event.value != 0 &&
                    event.view.phase == Phase::Bidding && !BidsSeenBefore(s, event.view.dealerCounter)[event.seat] &&
                    !event.view.bidMade[static_cast<std::size_t>(s)])
                    leaks << QStringLiteral("seat %1 was told the bid of seat %2 too early").arg(s).arg(event.seat);
            };
        }
        table.controller.newGame();
        QVERIFY(waitUntil([&] { return table.game.dealsDealt() >= 4; }, 20000));
        table.controller.stop();
        QVERIFY2(leaks.isEmpty(), qPrintable(leaks.join(QLatin1Char('\n'))));
        QVERIFY2(table.problems().isEmpty(), qPrintable(table.problems()));
        // Everyone was told the same steps, with the same serials.
        const auto& first = table.recorders[1]->events;
        for (int s = 2; s <= 4; ++s) {
            const auto& other = table.recorders[static_cast<std::size_t>(s)]->events;
            QCOMPARE(other.size(), first.size());
            for (std::size_t i = 0; i < first.size(); ++i) {
                QCOMPARE(other[i].serial, first[i].serial);
                QCOMPARE(int(other[i].kind), int(first[i].kind));
            }
        }
    }

    // A table of four people bids in turn: each deal asks its seats from the one after the
    // dealer, and every view a seat is given, asked or told, holds exactly the bids it may know
    // (those before its turn, its own once made, all four after the last) and no other. Whole
    // games finish; the Classic seats, whose bids come from their own cards alone, play the
    // very games of the single-player order.
    void aTableInTurnOrder_data()
    {
        QTest::addColumn<bool>("classic");
        QTest::newRow("classic") << true;
        QTest::newRow("expert") << false;
    }
    void aTableInTurnOrder()
    {
        QFETCH(bool, classic);
        constexpr std::uint32_t seed = 19;
        Table table(seed);
        QVERIFY(table.game.setBidOrder(BidOrder::TurnOrder));
        DealLog log;
        table.game.addListener(&log);
        QStringList faults;
        const auto checkBids = [&](const TableView& v, const QString& when) {
            const int seat = v.seat.Seat;
            const int first = FirstSeat(v.dealerCounter);
            const auto place = [first](int s) { return (s - first + 4) % 4; };
            for (int s = 1; s <= 4; ++s) {
                const auto i = static_cast<std::size_t>(s);
                const bool mayKnow = v.bidMade[i] && (v.phase != Phase::Bidding || place(s) <= place(seat));
                const std::int32_t expected = mayKnow ? table.game.state().Bids[i] : 0;
                if (v.seat.Bids[i] != expected)
                    faults << QStringLiteral("%1: seat %2 holds %3 for the bid of seat %4, not %5")
                                  .arg(when).arg(seat).arg(v.seat.Bids[i]).arg(s).arg(expected);
            }
        };
        // The seats asked to bid, deal by deal.
        std::map<std::int64_t, std::vector<int>> bidders;
        std::map<std::int64_t, int> dealers;
        for (int s = 1; s <= 4; ++s) {
            std::unique_ptr<Seat> player;
            if (classic)
                player = std::make_unique<ClassicSeat>(table.game);
            else
                player = std::make_unique<ExpertSeat>();
            RecordingSeat* seat = table.put(s, std::move(player));
            seat->onAsk = [&](const TableView& view) {
                checkBids(view, QStringLiteral("asked"));
                if (view.phase == Phase::Bidding) {
                    bidders[view.dealsDealt].push_back(view.seat.Seat);
                    dealers[view.dealsDealt] = view.dealer();
                }
            };
            seat->onTell = [&](const SeatEvent& event) {
                const QString when = QString::fromLatin1(SeatEventName(event.kind));
                checkBids(event.view, when);
                if (event.kind == SeatEvent::Kind::BidMade &&
                    event.value != event.view.seat.Bids[static_cast<std::size_t>(event.seat)])
                    faults << QStringLiteral("seat %1 was told %2 for the bid of seat %3")
                                  .arg(event.view.seat.Seat).arg(event.value).arg(event.seat);
            };
        }
        int gamesWon = 0;
        connect(&table.controller, &TableController::gameOver, this, [&] { ++gamesWon; });
        table.controller.newGame();
        QVERIFY2(waitUntil([&] { return gamesWon == 1; }, 120000), "the game was not finished");
        QVERIFY2(table.problems().isEmpty(), qPrintable(table.problems()));
        faults.removeDuplicates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 20).join(QLatin1Char('\n'))));
        QVERIFY(bidders.size() > 1);
        for (const auto& [deal, seats] : bidders) {
            const int first = dealers[deal] % 4 + 1;
            const std::vector<int> inTurn{first, first % 4 + 1, (first + 1) % 4 + 1, (first + 2) % 4 + 1};
            QVERIFY2(seats == inTurn, qPrintable(QStringLiteral("deal %1 asked its bidders out of turn").arg(deal)));
        }
        QCOMPARE(table.game.bidOrder(), BidOrder::TurnOrder);

        if (!classic)
            return;
        SelfPlay reference(fixedSeeds(seed));
        QCOMPARE(reference.game().bidOrder(), BidOrder::Described);
        DealLog expected;
        const_cast<GameModel&>(reference.game()).addListener(&expected);
        while (expected.scores.size() < log.scores.size())
            reference.playDeal();
        QCOMPARE(log.passed, expected.passed);
        QCOMPARE(log.scores, expected.scores);
        QVERIFY(log.cards == expected.cards);
    }

    // An answer that comes after New Game, a new deal or stop() belongs to a moment that is
    // gone: it is never applied, and the seat is asked afresh in the new deal.
    void anAnswerOfAnEarlierMomentIsDropped_data()
    {
        QTest::addColumn<QString>("interruption");
        QTest::newRow("new game") << QStringLiteral("newGame");
        QTest::newRow("new deal") << QStringLiteral("newDeal");
        QTest::newRow("stop") << QStringLiteral("stop");
    }
    void anAnswerOfAnEarlierMomentIsDropped()
    {
        QFETCH(QString, interruption);
        Table table(3);
        for (int s = 1; s <= 4; ++s)
            table.put(s, std::make_unique<ExpertSeat>());
        RecordingSeat* slow = table.recorders[2];
        slow->holdAnswers = true;
        table.controller.newGame();
        // Seat 2 bids first; let its question stand while play goes no further.
        QVERIFY(waitUntil([&] { return !slow->held.empty(); }, 5000));
        const std::int64_t deal = table.game.dealsDealt();
        if (interruption == QLatin1String("newGame"))
            table.controller.newGame();
        else if (interruption == QLatin1String("newDeal"))
            table.controller.newDeal();
        else
            table.controller.stop();
        QCOMPARE(slow->withdrawn, 1);
        // The old question is answered now, on the thread pool, as a slow Expert would; the
        // new deal's question to seat 2 (asked within the command) is held meanwhile.
        QVERIFY(!slow->held.empty());
        auto [staleView, staleAnswer] = slow->held.front();
        slow->held.erase(slow->held.begin());
        ExpertSeat().act(staleView, staleAnswer);
        QTest::qWait(50);
        if (interruption == QLatin1String("stop")) {
            QCOMPARE(table.game.dealsDealt(), deal);
            QVERIFY(!table.game.bidMade(2));
            QCOMPARE(table.controller.asking(), 0);
            return;
        }
        QCOMPARE(table.game.dealsDealt(), deal + 1);
        QVERIFY2(!table.game.bidMade(2), "the old deal's bid was applied to the new one");
        // Seat 2 is asked again, in the new deal, and its answer there counts.
        QCOMPARE(slow->held.size(), std::size_t(1));
        QCOMPARE(slow->held.front().first.dealsDealt, deal + 1);
        slow->holdAnswers = false;
        slow->releaseHeld();
        QVERIFY(waitUntil([&] { return table.game.bidMade(2); }, 5000));
        QVERIFY2(table.problems().isEmpty(), qPrintable(table.problems()));
    }

    // A close while the full trick lies on the table: the trick is not taken afterwards, and
    // nothing at all happens once the controller has gone.
    void aCloseWhileATrickPauses()
    {
        auto game = std::make_unique<GameModel>(fixedSeeds(5));
        auto controller = std::make_unique<TableController>(*game);
        controller->setTimeScale(1.0);
        controller->setPlayDelay(0);
        controller->setTrickPause(80);
        for (int s = 1; s <= 4; ++s)
            controller->setSeat(s, std::make_unique<ExpertSeat>());
        controller->newGame();
        QVERIFY(waitUntil([&] { return game->phase() == Phase::TrickComplete; }, 20000));
        const auto taken = game->takers().size();
        controller.reset();
        QTest::qWait(200);
        QCOMPARE(game->phase(), Phase::TrickComplete);
        QCOMPARE(game->takers().size(), taken);

        // stop() holds the table the same way, and newDeal() takes it on from a fresh deal.
        TableController again(*game);
        again.setTimeScale(1.0);
        again.setTrickPause(80);
        for (int s = 1; s <= 4; ++s)
            again.setSeat(s, std::make_unique<ClassicSeat>(*game));
        again.resume();
        QVERIFY(waitUntil([&] { return game->phase() == Phase::Playing; }, 2000));
        QVERIFY(waitUntil([&] { return game->phase() == Phase::TrickComplete; }, 2000));
        again.stop();
        QTest::qWait(200);
        QCOMPARE(game->phase(), Phase::TrickComplete);
    }

    // The waits: a computer's card comes after the play delay, a full trick lies for the trick
    // pause, and a seat that thinks longer than the delay stretches it rather than adding to it.
    void thePaceOfTheTable()
    {
        Table table(9);
        table.controller.setTimeScale(1.0);
        table.controller.setPlayDelay(60);
        table.controller.setTrickPause(150);
        for (int s = 1; s <= 4; ++s)
            table.put(s, std::make_unique<ClassicSeat>(table.game));
        QElapsedTimer clock;
        std::vector<std::pair<SeatEvent::Kind, qint64>> times;
        table.recorders[1]->onTell = [&](const SeatEvent& e) { times.push_back({e.kind, clock.elapsed()}); };
        clock.start();
        table.controller.newGame();
        QVERIFY(waitUntil([&] { return table.game.takers().size() >= 1 || table.game.dealPassed(); }, 5000));
        table.controller.stop();
        if (table.game.dealPassed())
            QSKIP("the first deal of this seed is thrown in");
        qint64 last = -1;
        int cards = 0;
        for (const auto& [kind, at] : times) {
            if (kind == SeatEvent::Kind::CardPlayed) {
                QVERIFY2(at - last >= 55, qPrintable(QStringLiteral("a card after %1 ms").arg(at - last)));
                ++cards;
            }
            if (kind == SeatEvent::Kind::TrickTaken)
                QVERIFY2(at - last >= 145, qPrintable(QStringLiteral("taken after %1 ms").arg(at - last)));
            last = at;
        }
        QCOMPARE(cards, 4);
    }

    // A person's seat: the follow-suit rule and the turn are the controller's to check; a
    // refused answer changes nothing and the seat is asked again.
    void aPersonsAnswersAreChecked()
    {
        Table table(21);
        auto person = std::make_unique<PersonSeat>();
        PersonSeat* me = person.get();
        table.put(1, std::move(person));
        for (int s = 2; s <= 4; ++s)
            table.put(s, std::make_unique<ClassicSeat>(table.game));
        int refused = 0;
        connect(&table.controller, &TableController::actionRefused, this, [&](int seat) {
            QCOMPARE(seat, 1);
            ++refused;
        });
        for (int deal = 0; deal < 40; ++deal) {
            table.controller.newDeal();
            QVERIFY(waitUntil([&] { return table.controller.asking() == 1; }, 5000));
            QCOMPARE(me->question.phase, Phase::Bidding);
            // A bid that is not in the list: refused, asked again.
            me->answer(SeatAction::ofBid(1));
            QVERIFY(waitUntil([&] { return refused == 1 + deal * 2 && table.controller.asking() == 1; }, 5000));
            me->answer(SeatAction::ofBid(me->question.legalBids.back()));
            QVERIFY(waitUntil([&] {
                return (table.controller.asking() == 1 && me->question.phase == Phase::Playing) ||
                       table.game.phase() == Phase::DealOver;
            }, 5000));
            if (table.game.phase() == Phase::DealOver) {
                ++refused; // thrown in: nothing to play
                continue;
            }
            // Wait for a trick where seat 1 follows and holds a card it may not play.
            const TableView& q = me->question;
            std::optional<TCardFace> illegal;
            for (int k = 0; k < q.seat.HandCount; ++k) {
                const TCardFace c = q.seat.Hand[static_cast<std::size_t>(k)];
                if (std::find(q.legalCards.begin(), q.legalCards.end(), c) == q.legalCards.end())
                    illegal = c;
            }
            const std::size_t before = table.game.plays().size();
            me->answer(SeatAction::ofCard(illegal ? *illegal : TCardFace{9, 9}));
            QVERIFY(waitUntil([&] { return refused == 2 + deal * 2 && table.controller.asking() == 1; }, 5000));
            QCOMPARE(table.game.plays().size(), before);
            // A second answer to the same question (a double click) is not a second card.
            const SeatAnswer twice = me->answerChannel();
            const TCardFace first = me->question.legalCards.front();
            me->answer(SeatAction::ofCard(first));
            twice(SeatAction::ofCard(me->question.legalCards.back()));
            QVERIFY(waitUntil([&] { return table.game.plays().size() > before; }, 5000));
            const TTrickCard played = table.game.plays()[before];
            QCOMPARE(played.Seat, 1);
            QVERIFY(played.Suite == first.Suite && played.Number == first.Number);
            for (std::size_t i = before + 1; i < table.game.plays().size(); ++i)
                QVERIFY2(table.game.plays()[i].Seat != 1, "seat 1 played twice");
        }
        QVERIFY2(table.problems().isEmpty(), qPrintable(table.problems()));
    }

    // A view that paces the table holds it until it has shown each step.
    void aPacingViewHoldsTheTable()
    {
        Table table(13);
        for (int s = 1; s <= 4; ++s)
            table.put(s, std::make_unique<ClassicSeat>(table.game));
        table.controller.setPacing(1, true);
        table.controller.newGame();
        QTest::qWait(50);
        // Only the new game and its deal: nobody bids while seat 1's view has not shown them.
        QCOMPARE(table.recorders[1]->events.size(), std::size_t(2));
        QCOMPARE(int(table.recorders[1]->events.back().kind), int(SeatEvent::Kind::DealStarted));
        QVERIFY(!table.game.bidMade(2));
        table.controller.shown(1, table.controller.lastSerial());
        QVERIFY(waitUntil([&] { return table.game.bidMade(2); }, 1000));
        QTest::qWait(20);
        QVERIFY(!table.game.bidMade(3));
        // A view that reports far ahead counts only up to the last step told.
        table.controller.shown(1, 1'000'000);
        QVERIFY(waitUntil([&] { return table.game.bidMade(3); }, 1000));
        QTest::qWait(20);
        QVERIFY(!table.game.bidMade(4));
        table.controller.setPacing(1, false);
        QVERIFY(waitUntil([&] { return table.game.dealsDealt() >= 2; }, 10000));
    }

    // The hint's Expert is the seat's Expert: the same view gives the same card.
    void theExpertOnTheThreadPoolDecidesAsTheExpertPlayer()
    {
        Table table(17);
        for (int s = 1; s <= 4; ++s)
            table.put(s, std::make_unique<ClassicSeat>(table.game));
        table.controller.setPacing(1, true);
        int checked = 0;
        table.recorders[1]->onTell = [&](const SeatEvent& event) {
            if (event.view.toAct != 0 && event.view.phase != Phase::NoDeal && checked < 6) {
                const int seat = event.view.toAct;
                const TableView view = TableViewOf(table.game, seat);
                ExpertPlayer player;
                if (view.phase == Phase::Playing) {
                    QCOMPARE(ThinkExpertCard(view).result().card, player.chooseCard(table.game, seat));
                    ++checked;
                } else if (view.phase == Phase::Bidding) {
                    QCOMPARE(ThinkExpertBid(view).result().bid, player.chooseBid(table.game, seat));
                    ++checked;
                }
            }
            QTimer::singleShot(0, &table.controller, [&, serial = event.serial] { table.controller.shown(1, serial); });
        };
        table.controller.newGame();
        QVERIFY(waitUntil([&] { return checked >= 6; }, 20000));
        table.controller.stop();
    }
};

QTEST_GUILESS_MAIN(TestTableController)
#include "tst_table_controller.moc"
