// SPDX-License-Identifier: GPL-3.0-or-later
// A table seen from another chair: the views of every seat through two whole deals, turned so
// that the seat sits at the bottom, keep everything the window works out from them.

#include "table/computer_seats.h"
#include "table/table_controller.h"
#include "table/turned_view.h"
#include "wait_until.h"

#include <QTest>

#include <vector>

using namespace halbeet;
using halbeet::testing::waitUntil;

namespace {

// An Expert that keeps every view it is told.
class KeepingSeat final : public Seat {
public:
    explicit KeepingSeat(std::vector<SeatEvent>& kept) : m_kept(kept) {}
    void act(const TableView& view, SeatAnswer answer) override { m_expert.act(view, std::move(answer)); }
    void tell(const SeatEvent& event) override { m_kept.push_back(event); }
    bool isComputer() const override { return true; }

private:
    std::vector<SeatEvent>& m_kept;
    ExpertSeat m_expert{true};
};

} // namespace

class TstTurnedView : public QObject {
    Q_OBJECT

private:
    // Every step of two deals, as each of the four seats was told it.
    std::vector<SeatEvent> m_told;

private slots:
    void initTestCase()
    {
        std::uint32_t next = 4242;
        GameModel game([&next] { return next++; });
        TableController table(game);
        table.setTimeScale(0);
        for (int seat = 1; seat <= 4; ++seat)
            table.setSeat(seat, std::make_unique<KeepingSeat>(m_told));
        table.newGame();
        QVERIFY(waitUntil([&] { return game.dealsDealt() >= 3; }, 60000));
        table.stop();
        QVERIFY(m_told.size() > 400);
    }

    void everySeatSitsAtTheBottomWithItsPartnerAcross()
    {
        for (const SeatEvent& told : m_told) {
            const int own = told.view.seat.Seat;
            const TableView turned = TurnedView(told.view, own);
            QCOMPARE(turned.seat.Seat, 1);
            QCOMPARE(TurnedSeat(PartnerOf(own), own), 3);
            // Play goes round the table the same way from every chair: the seat after his own
            // is the next one round at his table too.
            QCOMPARE(TurnedSeat(NextSeat(own), own), 2);
            QCOMPARE(UnturnedSeat(TurnedSeat(told.seat, own), own), told.seat);
            // His own cards, bids and scores stay his.
            QCOMPARE(turned.seat.Hand, told.view.seat.Hand);
            QCOMPARE(turned.ownDealtHand, told.view.ownDealtHand);
            QCOMPARE(turned.legalCards, told.view.legalCards);
            QCOMPARE(turned.seat.Bids[1], told.view.seat.Bids[static_cast<std::size_t>(own)]);
            QCOMPARE(turned.handCounts[1], told.view.handCounts[static_cast<std::size_t>(own)]);
        }
    }

    void whatTheWindowWorksOutAgreesWithTheTurnedSeats()
    {
        int playing = 0;
        for (const SeatEvent& told : m_told) {
            const TableView& v = told.view;
            const int own = v.seat.Seat;
            const TableView t = TurnedView(v, own);
            const auto turn = [own](int seat) { return TurnedSeat(seat, own); };
            QCOMPARE(t.dealer(), turn(v.dealer()));
            QCOMPARE(t.seat.Dealer, t.dealer());
            QCOMPARE(FirstSeat(t.dealerCounter), turn(FirstSeat(v.dealerCounter)));
            QCOMPARE(t.toAct, turn(v.toAct));
            QCOMPARE(t.winner, turn(v.winner));
            if (v.phase == Phase::Playing) {
                ++playing;
                QCOMPARE(t.seat.SeatToPlay(), turn(v.seat.SeatToPlay()));
                const std::vector<TTrickCard> onTable = v.cardsOnTable();
                const std::vector<TTrickCard> turnedOnTable = t.cardsOnTable();
                QCOMPARE(turnedOnTable.size(), onTable.size());
                for (std::size_t i = 0; i < onTable.size(); ++i) {
                    QCOMPARE(turnedOnTable[i].Seat, turn(onTable[i].Seat));
                    QCOMPARE(turnedOnTable[i].Suite, onTable[i].Suite);
                }
            }
            for (int seat = 1; seat <= 4; ++seat) {
                const auto from = static_cast<std::size_t>(seat);
                const auto to = static_cast<std::size_t>(turn(seat));
                QCOMPARE(t.seat.TricksWon[to], v.seat.TricksWon[from]);
                QCOMPARE(t.seat.Scores[to], v.seat.Scores[from]);
                QCOMPARE(t.bidMade[to], v.bidMade[from]);
                QCOMPARE(t.seat.Void[to], v.seat.Void[from]);
                for (std::size_t row = 0; row < v.scoreRows.size(); ++row)
                    QCOMPARE(t.scoreRows[row][to], v.scoreRows[row][from]);
            }
            QCOMPARE(t.takers.size(), v.takers.size());
            for (std::size_t k = 0; k < v.takers.size(); ++k)
                QCOMPARE(t.takers[k], turn(v.takers[k]));
        }
        QVERIFY(playing > 100);
    }

    void turningBackGivesTheViewAsItWas()
    {
        for (const SeatEvent& told : m_told) {
            const int own = told.view.seat.Seat;
            // Seat 1 of the turned table is `own`; turning by where seat 1 sits brings it back.
            const SeatEvent there = TurnedEvent(told, own);
            const SeatEvent back = TurnedEvent(there, TurnedSeat(1, own));
            QCOMPARE(back.seat, told.seat);
            QVERIFY(back.view == told.view);
        }
        // Seat 1's own view, and a seat number out of range, are left as they are.
        QCOMPARE(TurnedSeat(0, 3), 0);
        QCOMPARE(TurnedSeat(2, 0), 2);
    }
};

QTEST_GUILESS_MAIN(TstTurnedView)
#include "tst_turned_view.moc"
