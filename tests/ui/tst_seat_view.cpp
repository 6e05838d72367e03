// SPDX-License-Identifier: GPL-3.0-or-later
// The window shows one seat's table: a deal whose hidden cards lie differently in the other
// hands looks and reads the same at every step.

#include "test_support.h"

#include "ui/table_access.h"

#include <QAccessible>
#include <QImage>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

// What a person sees and hears of the table at one moment.
struct Moment {
    QImage picture;
    QStringList names;
};

QStringList accessibleNames(QWidget* root)
{
    QStringList names;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisible())
            continue;
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget))
            names << widget->objectName() + QLatin1Char('=') + iface->text(QAccessible::Name);
    }
    return names;
}

// Plays the first deal of the seed with the same cards from the human's hand, taking a
// picture of the table each time it is the human's turn and at the score sheet. With
// `rearrange`, the computer hands hold their cards in another order of places: a change that
// the human's seat cannot see and that does not change any card played.
std::vector<Moment> playFirstDeal(std::uint32_t seed, bool rearrange, std::vector<TTrickCard>& plays)
{
    std::vector<Moment> moments;
    GameWindow game(GameWindow::Options{seed, QStringLiteral("Hawk"), QStringLiteral("EN"), {}, 1});
    TGameState& s = game.state();
    // Each deal is rearranged the moment it is dealt, before anything of it is shown.
    struct Rearranger : GameListener {
        TGameState* state = nullptr;
        void gameEvent(const GameModel&, const GameEvent& event) override
        {
            if (event.kind != GameEvent::Kind::DealStarted)
                return;
            for (std::size_t seat = 2; seat <= 4; ++seat) {
                // By rank, keeping the order of equal ranks: the rules' choices stay the same.
                auto begin = state->Hands[seat].begin() + 1;
                std::stable_sort(begin, begin + state->HandCount[seat],
                                 [](TCardFace a, TCardFace b) { return a.Number < b.Number; });
            }
        }
    } rearranger;
    rearranger.state = &s;
    if (rearrange)
        game.model().addListener(&rearranger);
    const QString started = game.start();
    if (!started.isEmpty())
        qWarning("%s", qPrintable(started));
    auto look = [&] {
        QApplication::processEvents();
        moments.push_back({game.table().grab().toImage(), accessibleNames(&game.window())});
    };
    look();
    game.bid(QStringLiteral("6"));
    while (s.CardsPlayed < 52 && s.HandCount[1] > 0) {
        if (!QTest::qWaitFor([&] { return game.window().humanMayPlay(); }, 5000))
            break;
        look();
        CardSprite* sprite = game.spriteOf(game.legalCard());
        if (!sprite)
            break;
        if (s.HandCount[1] == 1) {
            whenModal([&](QWidget* modal) {
                look();
                plays.assign(game.model().plays().begin(), game.model().plays().end());
                if (auto* sheet = qobject_cast<ScoreSheet*>(modal))
                    QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
            });
            GameWindow::click(sprite);
            break;
        }
        if (game.model().plays().size() == 52)
            break;
        GameWindow::click(sprite);
    }
    game.model().removeListener(&rearranger);
    return moments;
}

} // namespace

class TstSeatView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QAccessible::setActive(true); }

    void hiddenCardsChangeNothingOnTheTable_data()
    {
        QTest::addColumn<std::uint32_t>("seed");
        for (std::uint32_t seed : {4u, 8u, 21u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void hiddenCardsChangeNothingOnTheTable()
    {
        QFETCH(std::uint32_t, seed);
        std::vector<TTrickCard> asDealt;
        std::vector<TTrickCard> rearranged;
        const std::vector<Moment> first = playFirstDeal(seed, false, asDealt);
        const std::vector<Moment> second = playFirstDeal(seed, true, rearranged);
        if (asDealt != rearranged)
            QSKIP("the computers chose other cards from the rearranged hands");
        QVERIFY(asDealt.size() == 52);
        QCOMPARE(second.size(), first.size());
        QVERIFY(first.size() >= 14);
        for (std::size_t i = 0; i < first.size(); ++i) {
            QCOMPARE(second[i].names, first[i].names);
            QVERIFY2(second[i].picture == first[i].picture,
                     qPrintable(QStringLiteral("the table differs at moment %1").arg(i)));
        }
    }
};

int main(int argc, char** argv)
{
    useOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    TstSeatView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_seat_view.moc"
