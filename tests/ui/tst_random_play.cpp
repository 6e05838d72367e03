// SPDX-License-Identifier: GPL-3.0-or-later
// Many whole deals of random input against the real main window: random bids, random clicks
// on the human's cards (legal, refused or already played), and random menu commands both
// while the game waits for the human and from inside the flow's pauses and glides. After
// every event the state and the table must agree (test_support.h).
//
// The run is reproducible from its seed, printed on failure: the deals, the bids, the clicks
// and the commands given at rest all come from it. Commands given inside a wait depend on
// when the timers fire as well, so a failure there may need a few runs with its seed.
// HALBEET_RANDOM_SEED and HALBEET_RANDOM_DEALS override the seed and the number of deals;
// HALBEET_RANDOM_TRACE prints every event as it happens.

#include "test_support.h"

#include "ui/last_trick.h"
#include "ui/about.h"
#include "ui/options_dialog.h"
#include "ui/score_sheet.h"

#include <QAction>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QToolButton>
#include <QScopeGuard>
#include <QtTest>

#include <algorithm>
#include <limits>
#include <random>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

constexpr std::uint32_t DefaultSeed = 20250611;

enum class Command { NewGameYes, NewGameNo, Scores, LastTrick, Options, ExitNo, About };

const char* commandName(Command command)
{
    switch (command) {
    case Command::NewGameYes: return "New Game, Yes";
    case Command::NewGameNo: return "New Game, No";
    case Command::Scores: return "Scores";
    case Command::LastTrick: return "Last trick";
    case Command::Options: return "Options";
    case Command::ExitNo: return "Exit, No";
    case Command::About: return "About";
    }
    return "?";
}

// Everything of a deal that a refused click or a New Game answered No must leave alone.
struct Snapshot {
    PerSeat<THand> hands;
    PerSeat<std::int32_t> handCount;
    TTrick trick;
    std::int32_t cardsPlayed;
    PerSeat<std::int32_t> scores;
    PerSeat<std::int32_t> tricksWon;
    TDeck deck;
    std::array<TCardFace, 5> trickSlots;

    static Snapshot of(const TGameState& s, const Table& table)
    {
        Snapshot snap{s.Hands, s.HandCount, s.Trick, s.CardsPlayed, s.Scores, s.TricksWon, s.Deck, {}};
        for (int seat = 1; seat <= 4; ++seat)
            snap.trickSlots[static_cast<std::size_t>(seat)] = table.trickSlot(seat)->face();
        return snap;
    }
    bool operator==(const Snapshot&) const = default;
};

// One randomized session: a game window, a generator, and the three sources of events (the
// driver at rest, the chaos timer inside waits, the answerer of modal windows).
class RandomSession {
public:
    RandomSession(std::uint32_t seed, int dealsWanted)
        : m_seed(seed), m_rng(seed), m_dealsWanted(dealsWanted),
          m_game(seed * 7919u),
          m_scores(m_game.state())
    {
    }

    // Plays until enough deals have been scored; returns the failure, or an empty string.
    QString run()
    {
        const QString started = m_game.start();
        if (!started.isEmpty())
            return started;
        m_scores = ScoreWatch(m_game.state());

        ModalAnswerer answerer([this](QWidget* modal) { return answer(modal); });
        answerer.setDelay([this] { return below(5); });
        answerer.setUnexpectedHandler([this](const QString& window) {
            fail(QStringLiteral("a modal window nobody could answer: ") + window);
        });
        QTimer chaos;
        chaos.setTimerType(Qt::PreciseTimer);
        chaos.setInterval(1);
        QObject::connect(&chaos, &QTimer::timeout, [this] { chaosTick(); });
        chaos.start();

        QElapsedTimer clock;
        clock.start();
        int idleSteps = 0;
        while (m_failure.isEmpty() && m_scores.dealsScored() < m_dealsWanted) {
            checkNow(true, "at rest");
            if (!m_failure.isEmpty())
                break;
            const auto progress = progressMark();
            idleStep();
            // Lets the timers look in at rest and posted events (repaints) drain.
            QCoreApplication::processEvents();
            idleSteps = progressMark() == progress ? idleSteps + 1 : 0;
            if (idleSteps > 400)
                fail(QStringLiteral("no progress after 400 actions at rest"));
        }
        chaos.stop();
        setTimeScale(0.0);
        qInfo("seed %u: %d deals scored, %d passed, %d games won, %d new games from the menu, "
              "%d refused cards, %d clicks in waits, %d commands at rest, %d in pauses (%d of them "
              "in glides), %d windows answered, %.1f s",
              m_seed, m_scores.dealsScored(), m_passes, m_gamesWon, m_newGames, m_refusals, m_clicksInWaits,
              m_commandsAtRest, m_commandsInWaits, m_commandsInGlides, answerer.answered(),
              clock.elapsed() / 1000.0);
        return m_failure;
    }

private:
    TGameState& state() { return m_game.state(); }
    Table& table() { return m_game.table(); }
    MainWindow& window() { return m_game.window(); }

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_rng); }

    std::tuple<std::uint64_t, int, bool, int> progressMark()
    {
        std::uint64_t deck = 0;
        for (const TCardFace& card : state().Deck)
            deck = deck * 31 + static_cast<std::uint64_t>(card.Suite * 16 + card.Number);
        return {deck, state().CardsPlayed, table().bidButton()->isVisible(), m_scores.dealsScored()};
    }

    void note(const QString& event)
    {
        if (m_trace)
            qInfo("%s", qPrintable(event));
        m_trail << event;
        if (m_trail.size() > 40)
            m_trail.removeFirst();
    }

    void fail(const QString& problem)
    {
        if (!m_failure.isEmpty())
            return;
        m_failure = QStringLiteral("seed %1 (HALBEET_RANDOM_SEED=%1 reproduces the run): %2\n"
                                   "state:\n%3\nlast events:\n  %4")
                        .arg(m_seed)
                        .arg(problem, describeState(state()), m_trail.join(QStringLiteral("\n  ")));
    }

    void checkNow(bool atRest, const char* where)
    {
        if (!m_failure.isEmpty())
            return;
        const QString invariants = atRest ? checkRestInvariants(state(), window())
                                          : checkStateInvariants(state(), table());
        if (!invariants.isEmpty())
            fail(QStringLiteral("%1: %2").arg(QLatin1String(where), invariants));
        const QString scores = m_scores.check(state());
        if (!scores.isEmpty())
            fail(QStringLiteral("%1: %2").arg(QLatin1String(where), scores));
    }

    // Most flows run with no waiting; some slowly enough that the chaos timer fires inside
    // the pauses (0.02) and inside the 5 ms steps of the glides (0.1 makes them 1 ms).
    void chooseTimeScale()
    {
        const int r = below(100);
        setTimeScale(r < 75 ? 0.0 : r < 96 ? 0.02 : 0.1);
    }

    // ---- the driver, at rest ----------------------------------------------------------

    void idleStep()
    {
        chooseTimeScale();
        if (chance(0.06)) {
            ++m_commandsAtRest;
            runCommand(randomCommand(), true);
        } else if (table().bidButton()->isVisible()) {
            bidStep();
        } else {
            cardStep(false);
        }
    }

    void bidStep()
    {
        const int r = below(100);
        if (r < 8) {
            cardStep(false);
            return;
        }
        QComboBox* box = table().bidBox();
        QPushButton* button = table().bidButton();
        const Snapshot before = Snapshot::of(state(), table());
        if (r < 11) {
            // The notice for a missing bid; nothing else may change.
            box->setCurrentIndex(-1);
            if (button->isEnabled())
                fail(QStringLiteral("the bid button is enabled with no bid chosen"));
            note(QStringLiteral("bid button without a bid"));
            Button1ClickNow();
            if (Snapshot::of(state(), table()) != before || !button->isVisible())
                fail(QStringLiteral("the bid button without a bid changed the deal"));
            return;
        }
        const int index = below(box->count());
        box->setCurrentIndex(index);
        if (!button->isEnabled()) {
            fail(QStringLiteral("the bid button stays disabled after choosing %1").arg(box->currentText()));
            return;
        }
        const int bid = box->currentText().toInt();
        const int total = bid + state().Bids[2] + state().Bids[3] + state().Bids[4];
        const int dealer = state().DealerCounter;
        note(QStringLiteral("bid %1 (total %2, DealerCounter %3)").arg(bid).arg(total).arg(dealer));
        ++m_actionDepth;
        QTest::mouseClick(button, Qt::LeftButton);
        settle();
        --m_actionDepth;
        if (total < 11) {
            ++m_passes;
            if (!table().bidButton()->isVisible() || state().DealerCounter != (dealer + 1) % 4)
                fail(QStringLiteral("a bid total of %1 did not deal again by the next dealer").arg(total));
            if (state().Scores != before.scores)
                fail(QStringLiteral("a passed deal changed the scores"));
        } else if (state().Deck == before.deck && !table().bidButton()->isVisible()) {
            // Still this deal (no New Game from inside the flow): the seats before the
            // human have played to the first trick.
            const int before1 = dealer == 0 ? 0 : 4 - dealer;
            int n = 0;
            while (n < 4 && state().Trick[static_cast<std::size_t>(n + 1)].Suite != 0)
                ++n;
            if (state().Bids[1] != bid || n != before1)
                fail(QStringLiteral("after the bid %1: Bids[1] %2 and %3 cards in the trick, expected %4")
                         .arg(bid).arg(state().Bids[1]).arg(n).arg(before1));
        }
    }

    void Button1ClickNow()
    {
        ++m_actionDepth;
        window().confirmBid();
        --m_actionDepth;
    }

    // A click on one of the human's cards. At rest a legal card must be played and anything
    // else refused; inside a wait every click must be ignored.
    void cardStep(bool insideWait)
    {
        // Mostly a card still in the hand; now and then any of the thirteen places.
        std::vector<int> inHand;
        for (int i = 1; i <= 13; ++i) {
            if (table().handSprite(1, i)->isVisible())
                inHand.push_back(i);
        }
        const int k = !inHand.empty() && chance(0.8) ? inHand[static_cast<std::size_t>(below(static_cast<int>(inHand.size())))]
                                                     : 1 + below(13);
        CardSprite* sprite = table().handSprite(1, k);
        const TGameState& s = state();
        const bool bidding = table().bidButton()->isVisible();
        const int led = s.Trick[1].Suite;
        bool holdsLed = false;
        for (int i = 1; i <= s.HandCount[1]; ++i)
            holdsLed = holdsLed || s.Hands[1][static_cast<std::size_t>(i)].Suite == led;
        const bool visible = sprite->isVisible();
        const bool humansTurn = !insideWait && !bidding && table().trickSlot(1)->Suite() == 0;
        const bool legal = humansTurn && visible && (led == 0 || !holdsLed || sprite->Suite() == led);
        const TCardFace card = sprite->face();
        const Snapshot before = Snapshot::of(s, table());

        // The real mouse path for a card the user can see and reach: its uncovered strip at
        // the left (the next card of the fan lies over the rest). A card already played, or
        // one behind the input lock, gets its click handler's signal directly.
        const bool byMouse = visible && sprite->isEnabled() && !table().inputLocked() && chance(0.85);
        note(QStringLiteral("%1 click on Card%2 (%3%4)%5")
                 .arg(byMouse ? "mouse" : "direct")
                 .arg(k)
                 .arg(detail::cardName(card))
                 .arg(visible ? "" : ", hidden")
                 .arg(insideWait ? " inside a wait" : legal ? ", legal" : ""));
        ++m_actionDepth;
        if (byMouse)
            QTest::mouseClick(sprite, Qt::LeftButton, Qt::NoModifier, QPoint(k == 13 ? 35 : 8, 48));
        else
            emit table().humanCardClicked(sprite);
        if (!insideWait)
            settle();
        --m_actionDepth;

        if (insideWait) {
            ++m_clicksInWaits;
            if (Snapshot::of(state(), table()) != before)
                fail(QStringLiteral("a click on %1 inside a wait changed the deal").arg(detail::cardName(card)));
            return;
        }
        if (!legal) {
            if (Snapshot::of(state(), table()) != before)
                fail(QStringLiteral("a click on %1 that must be refused changed the deal").arg(detail::cardName(card)));
            if (humansTurn && visible) {
                ++m_refusals;
                if (!table().warningImage()->isVisible())
                    fail(QStringLiteral("%1 refused without the warning picture").arg(detail::cardName(card)));
            }
            return;
        }
        // A legal card: it left the hand, unless the deal is over or a New Game came from
        // inside the flow.
        if (state().Deck != before.deck || table().bidButton()->isVisible())
            return;
        bool stillHeld = false;
        for (int i = 1; i <= state().HandCount[1]; ++i)
            stillHeld = stillHeld || state().Hands[1][static_cast<std::size_t>(i)] == card;
        if (stillHeld || state().HandCount[1] != before.handCount[1] - 1)
            fail(QStringLiteral("the legal card %1 was not played").arg(detail::cardName(card)));
        if (table().warningImage()->isVisible())
            fail(QStringLiteral("the warning picture stays up after a played card"));
    }

    // An action at rest is over once the table has come to rest again: the computers have
    // played up to the human, the glides, pauses and windows of the flow are over. The chaos
    // timer looks in meanwhile.
    void settle()
    {
        const bool rested = QTest::qWaitFor(
            [this] {
                return !m_failure.isEmpty() || !window().isVisible() ||
                       (!window().tableBusy() && !window().humanCardMoving() &&
                        !QApplication::activeModalWidget());
            },
            60000);
        if (!rested)
            fail(QStringLiteral("the table did not come to rest within a minute"));
        if (m_newDealToShow && m_failure.isEmpty() && window().isVisible() && !table().bidButton()->isVisible())
            fail(QStringLiteral("New Game answered Yes did not lay out the new deal"));
        m_newDealToShow = false;
    }

    // ---- menu commands ------------------------------------------------------------------

    Command randomCommand()
    {
        const int r = below(100);
        return r < 2    ? Command::NewGameYes
               : r < 18 ? Command::NewGameNo
               : r < 38 ? Command::Scores
               : r < 58 ? Command::LastTrick
               : r < 80 ? Command::Options
               : r < 93 ? Command::ExitNo
                        : Command::About;
    }

    void trigger(const char* item)
    {
        QAction* action = window().menuItem(QString::fromLatin1(item));
        if (!action) {
            fail(QStringLiteral("no menu item %1").arg(QLatin1String(item)));
            return;
        }
        action->trigger();
    }

    void runCommand(Command command, bool atRest)
    {
        // With 52 cards played the close box ends the program without a question; not what
        // this test is about.
        if (command == Command::ExitNo && state().CardsPlayed >= 52)
            command = Command::NewGameNo;
        note(QStringLiteral("%1 %2%3")
                 .arg(QLatin1String(commandName(command)))
                 .arg(atRest ? "at rest" : "inside a wait")
                 .arg(!atRest && table().inputLocked() ? " (input locked)" : ""));
        const Snapshot before = Snapshot::of(state(), table());
        ++m_actionDepth;
        switch (command) {
        case Command::NewGameYes:
            m_newGameAnswer = true;
            ++m_newGames;
            trigger("N2");
            break;
        case Command::NewGameNo:
            m_newGameAnswer = false;
            trigger("N2");
            break;
        case Command::Scores: trigger("N4"); break;
        case Command::LastTrick: trigger("N3"); break;
        case Command::Options: trigger("N6"); break;
        case Command::ExitNo:
            window().close();
            if (!window().isVisible())
                fail(QStringLiteral("Exit answered No closed the window"));
            break;
        case Command::About: trigger("N10"); break;
        }
        if (atRest)
            settle();
        --m_actionDepth;
        if (m_newGameAnswer)
            fail(QStringLiteral("New Game asked no question"));
        m_newGameAnswer.reset();

        const Snapshot after = Snapshot::of(state(), table());
        if (command == Command::NewGameYes) {
            // The new deal is dealt at once. It is laid out at once too, unless the command
            // came while a window of the flow was closing (the score sheet after a deal):
            // then the table lays it out when that window's step is over, and the next rest
            // must show it.
            if (after.deck == before.deck)
                fail(QStringLiteral("New Game answered Yes did not deal a new game"));
            else if (!table().bidButton()->isVisible() && atRest)
                fail(QStringLiteral("New Game answered Yes did not lay out the new deal"));
            else if (!table().bidButton()->isVisible())
                m_newDealToShow = true;
        } else if (after != before) {
            fail(QStringLiteral("%1 changed the deal").arg(QLatin1String(commandName(command))));
        }
        checkNow(atRest, commandName(command));
    }

    // ---- the chaos timer, inside waits ----------------------------------------------------

    void chaosTick()
    {
        if (!m_failure.isEmpty() || m_inChaos || !window().tableBusy() || QApplication::activeModalWidget())
            return;
        checkNow(false, "inside a wait");
        if (!chance(0.05))
            return;
        m_inChaos = true;
        if (chance(0.4)) {
            cardStep(true);
        } else {
            Command command = randomCommand();
            // A glide locks the window: the menus and their keys are dead, and only the
            // close box still acts. New Game is given there too, straight to its command,
            // as the hardest moment for a new game to arrive.
            const bool locked = table().inputLocked();
            if (locked && command != Command::NewGameYes && command != Command::NewGameNo)
                command = Command::ExitNo;
            ++m_commandsInWaits;
            m_commandsInGlides += locked ? 1 : 0;
            runCommand(command, false);
        }
        m_inChaos = false;
    }

    // ---- modal windows ------------------------------------------------------------------

    bool answer(QWidget* modal)
    {
        checkNow(false, "a modal window");

        const FlowTexts& texts = halbeet::texts().flow;
        if (isMessageDialog(modal)) {
            const QString text = messageText(modal);
            note(QStringLiteral("message \"%1\"").arg(text));
            if (text == texts.NewGameQuestion) {
                bool yes = true;
                if (m_newGameAnswer) {
                    yes = *m_newGameAnswer;
                    m_newGameAnswer.reset();
                } else if (someoneHasWon()) {
                    ++m_gamesWon;
                } else {
                    fail(QStringLiteral("the new-game question came without a menu command or a won game"));
                }
                // After a won game only Yes keeps the program running.
                if (yes)
                    m_scores.expectNewGame();
                return pressMessageButton(modal, yes ? MsgButton::Yes : MsgButton::No);
            }
            if (text == texts.ExitQuestion)
                return pressMessageButton(modal, MsgButton::No);
            // The statement of a won game comes before the new-game question.
            if (someoneHasWon() && (text.startsWith(texts.GameWonYourSide) || text.startsWith(texts.GameWonOtherSide)))
                return pressMessageButton(modal, MsgButton::OK);
            if (text == texts.PassNotice || text == texts.MissingBidNotice)
                return pressMessageButton(modal, MsgButton::OK);
            fail(QStringLiteral("unexpected message \"%1\"").arg(text));
            return false;
        }
        if (auto* sheet = qobject_cast<ScoreSheet*>(modal)) {
            const int r = below(10);
            note(QStringLiteral("score sheet closed by %1").arg(r < 6 ? "OK" : r < 8 ? "Esc" : "the close box"));
            if (r < 6)
                sheet->okButton()->click();
            else if (r < 8)
                QTest::keyClick(sheet, Qt::Key_Escape);
            else
                sheet->close();
            return true;
        }
        if (auto* options = qobject_cast<OptionsDialog*>(modal)) {
            answerOptions(options);
            return true;
        }
        if (qobject_cast<LastTrickWindow*>(modal) || qobject_cast<AboutBox*>(modal)) {
            note(QStringLiteral("%1 closed").arg(QLatin1String(modal->metaObject()->className())));
            if (auto* button = modal->findChild<QPushButton*>(QStringLiteral("Button1")); button && chance(0.5))
                button->click();
            else
                modal->close();
            return true;
        }
        fail(QStringLiteral("unexpected modal window %1").arg(QLatin1String(modal->metaObject()->className())));
        return false;
    }

    void answerOptions(OptionsDialog* options)
    {
        static const char* const speeds[] = {"RadioButton3", "RadioButton4", "RadioButton5"};
        QString what;
        if (chance(0.7)) {
            if (auto* radio = options->findChild<QRadioButton*>(QString::fromLatin1(speeds[below(3)]))) {
                radio->click();
                what += radio->objectName() + QLatin1Char(' ');
            }
        }
        if (chance(0.2)) {
            auto* arrow = options->findChild<QToolButton*>(chance(0.5) ? QStringLiteral("SpeedButton1")
                                                                       : QStringLiteral("SpeedButton2"));
            if (arrow && arrow->isEnabled()) {
                arrow->click();
                what += arrow->objectName() + QLatin1Char(' ');
            }
        }
        const int r = below(10);
        note(QStringLiteral("options: %1then %2").arg(what, r < 6 ? "OK" : r < 9 ? "Cancel" : "Esc"));
        if (r < 6)
            options->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        else if (r < 9)
            options->findChild<QPushButton*>(QStringLiteral("BitBtn3"))->click();
        else
            QTest::keyClick(options, Qt::Key_Escape);
        if (options->isVisible())
            fail(QStringLiteral("the options dialog stays open after %1").arg(r < 6 ? "OK" : "Cancel"));
    }

    bool someoneHasWon()
    {
        const auto& sc = state().Scores;
        for (int seat = 1; seat <= 4; ++seat) {
            if (sc[seat] >= 41 && sc[PartnerOf(seat)] >= 0)
                return true;
        }
        return false;
    }

    const bool m_trace = qEnvironmentVariableIsSet("HALBEET_RANDOM_TRACE");
    std::uint32_t m_seed;
    std::mt19937 m_rng;
    int m_dealsWanted;
    GameWindow m_game;
    ScoreWatch m_scores;
    QString m_failure;
    QStringList m_trail;
    std::optional<bool> m_newGameAnswer;
    int m_actionDepth = 0;
    bool m_inChaos = false;
    bool m_newDealToShow = false; // New Game inside a wait dealt a deal not laid out yet
    int m_passes = 0;
    int m_newGames = 0;
    int m_gamesWon = 0;
    int m_refusals = 0;
    int m_clicksInWaits = 0;
    int m_commandsAtRest = 0;
    int m_commandsInWaits = 0;
    int m_commandsInGlides = 0;
};

std::uint32_t seedFromEnvironment()
{
    bool ok = false;
    const std::uint32_t seed = qEnvironmentVariable("HALBEET_RANDOM_SEED").toUInt(&ok);
    return ok ? seed : DefaultSeed;
}

int dealsFromEnvironment()
{
    bool ok = false;
    const int deals = qEnvironmentVariableIntValue("HALBEET_RANDOM_DEALS", &ok);
    return ok && deals > 0 ? deals : 50;
}

} // namespace

class TstRandomPlay : public QObject {
    Q_OBJECT

private slots:
    void randomDealsKeepTheGameConsistent();
    void scoresOpenedInTheLastTrickPauseLeaveTheDealWhole();
};

namespace {

// Drops the offscreen platform's "does not support propagateSizeHints()" warning, which every
// dialog shown raises; a long run would otherwise print it thousands of times.
QtMessageHandler forwardMessages = nullptr;
void quietSizeHints(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (forwardMessages)
        forwardMessages(type, context, message);
}

} // namespace

void TstRandomPlay::randomDealsKeepTheGameConsistent()
{
    forwardMessages = qInstallMessageHandler(quietSizeHints);
    const auto restore = qScopeGuard([] { qInstallMessageHandler(forwardMessages); });
    RandomSession session(seedFromEnvironment(), dealsFromEnvironment());
    const QString failure = session.run();
    // The whole report goes to the log: QTest cuts long failure messages short.
    if (!failure.isEmpty())
        qWarning().noquote() << failure;
    QVERIFY2(failure.isEmpty(), qPrintable(failure.section(QLatin1Char('\n'), 0, 0)));
}

// The last card of a deal is a computer's: its glide releases the input lock, and the trick
// stays on the table for TrickPause with the menu usable. Scores (F3) opened then must only
// show the sheet; the deal is scored once, with all 13 tricks, when the flow opens it.
void TstRandomPlay::scoresOpenedInTheLastTrickPauseLeaveTheDealWhole()
{
    GameWindow game(4242);
    QCOMPARE(game.start(), QString());
    TGameState& s = game.state();
    Table& table = game.table();
    ScoreWatch watch(s);
    QString problems;
    ModalAnswerer answerer([&](QWidget* modal) {
        const QString found = watch.check(s);
        if (problems.isEmpty())
            problems = found;
        if (auto* sheet = qobject_cast<ScoreSheet*>(modal)) {
            sheet->okButton()->click();
            return true;
        }
        return false;
    });

    // Plays legal cards with no waiting until the human holds his last card and others
    // play after him in the last trick.
    const auto trickSize = [&s] {
        int n = 0;
        while (n < 4 && s.Trick[static_cast<std::size_t>(n + 1)].Suite != 0)
            ++n;
        return n;
    };
    const auto legalSprite = [&]() -> CardSprite* {
        const int led = s.Trick[1].Suite;
        CardSprite* any = nullptr;
        for (int k = 1; k <= 13; ++k) {
            CardSprite* sprite = table.handSprite(1, k);
            if (!sprite->isVisible())
                continue;
            if (sprite->Suite() == led)
                return sprite;
            any = any ? any : sprite;
        }
        return any;
    };
    bool ready = false;
    for (int step = 0; step < 500 && !ready; ++step) {
        if (table.bidButton()->isVisible()) {
            // 14 (seven tricks) and three computer bids of at least 2 never pass.
            table.bidBox()->setCurrentText(QStringLiteral("14"));
            QTest::mouseClick(table.bidButton(), Qt::LeftButton);
            continue;
        }
        ready = s.HandCount[1] == 1 && trickSize() < 3;
        if (!ready)
            QTest::mouseClick(legalSprite(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 48));
    }
    QVERIFY2(ready, "no deal ended with the human before the last seat of the last trick");
    QCOMPARE(checkRestInvariants(s, game.window()), QString());
    const int row = s.ScoreRow;

    bool opened = false;
    QTimer user;
    user.setInterval(1);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (opened || !game.window().tableBusy() || s.CardsPlayed < 52 || QApplication::activeModalWidget() ||
            game.table().inputLocked())
            return;
        opened = true;
        game.window().menuItem(QStringLiteral("N4"))->trigger();
    });
    user.start();
    setTimeScale(0.05);
    QTest::mouseClick(legalSprite(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 48));
    QVERIFY(game.waitForHumansTurn());
    setTimeScale(0.0);
    user.stop();

    QVERIFY2(opened, "the menu was never usable in the last trick's pause");
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
    QCOMPARE(watch.check(s), QString());
    QCOMPARE(watch.dealsScored(), 1);
    QCOMPARE(s.ScoreRow, row + 1);
    QVERIFY(table.bidButton()->isVisible());
    QCOMPARE(checkRestInvariants(s, game.window()), QString());
    QVERIFY(answerer.unexpected().isEmpty());
}

int main(int argc, char* argv[])
{
    useOffscreenPlatformByDefault();
    // Qt Test ends a test function after five minutes, as if it had hung; a long run asks
    // for more. About 20 s a deal leaves room for a slow, sanitized build.
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT")) {
        const qint64 limit = std::min<qint64>(std::numeric_limits<int>::max(),
                                              300'000 + qint64(dealsFromEnvironment()) * 20'000);
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(limit));
    }
    QApplication app(argc, argv);
    TstRandomPlay test;
    // Qt Test stops printing after 2,000 messages; the summary and a failure's report come
    // last and must always be seen.
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.contains(QStringLiteral("-maxwarnings")))
        arguments << QStringLiteral("-maxwarnings") << QStringLiteral("0");
    return QTest::qExec(&test, arguments);
}

#include "tst_random_play.moc"
