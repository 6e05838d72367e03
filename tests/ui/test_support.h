// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers for the widget tests that drive the real main window offscreen:
//
//  - TempSettings (dialog_helpers.h): a private settings folder for the lifetime of a test.
//  - fixedSeeds(): a seed source giving S, S+1, S+2 ... so every deal of a test is known.
//  - GameWindow: the main window created as the program creates it, with no waiting (time
//    scale 0), shown and taken through the name dialog to the first deal's bid; and Game,
//    the same already started, with helpers to bid and to play legal cards.
//  - ModalAnswerer: answers every modal window that comes up, however deeply the flow has
//    nested its waits, with helpers to press a question's buttons in either language.
//  - checkStateInvariants() / checkRestInvariants(): what must hold between the game state
//    and the table at any moment, and once the flow has come to rest.
//  - ScoreWatch: scores change only when a finished deal is scored, and then exactly once.
//
// The checks return an empty string when all is well, otherwise every problem found, so a
// test can write QVERIFY2(problems.isEmpty(), qPrintable(problems)).

#include "dialog_helpers.h"

#include "core/random.h"
#include "core/state.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/motion.h"
#include "ui/name_dialog.h"
#include "ui/score_sheet.h"
#include "ui/startup.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace halbeet::testing {

// ---- environment ----------------------------------------------------------------------

// For a test's main(): the offscreen platform unless the caller chose another, before the
// QApplication exists.
inline void useOffscreenPlatformByDefault()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The seed source of a test: first, first + 1, first + 2, ... one per reseed.
inline SeedSource fixedSeeds(std::uint32_t first)
{
    return [next = first]() mutable { return next++; };
}

// ---- the game window ------------------------------------------------------------------

// The main window as the program makes it, with its own settings folder and game state.
// Construction sets the time scale to 0 (no waiting); a test may change it afterwards.
class GameWindow {
public:
    struct Options {
        std::uint32_t firstSeed = 1;
        QString playerName = QStringLiteral("Tester");
        QString language = QStringLiteral("EN");
        QByteArray settings; // INI text written before the window exists; empty: no file
        // DealerCounter before the first deal: that deal is dealt by seat dealerBefore + 1
        // (seat 4 when that is 4).
        int dealerBefore = 0;
    };

    GameWindow() : GameWindow(Options{}) {}
    explicit GameWindow(std::uint32_t firstSeed) : GameWindow(withSeed(firstSeed)) {}
    explicit GameWindow(const Options& options)
        : m_options(options), m_game(fixedSeeds(options.firstSeed))
    {
        setTimeScale(0.0);
        if (!m_options.settings.isEmpty())
            m_settings.write(m_options.settings);
        setCurrentLang(m_options.language);
        m_game.arrange().DealerCounter = m_options.dealerBefore;
        m_window = createMainWindow(m_game);
    }
    ~GameWindow()
    {
        // The window goes first: its flow may still hold the state by reference.
        m_window.reset();
    }
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    // Shows the window, waits for the name dialog, types the name and confirms it. On
    // success the first deal is on the table and waits for the human's bid; otherwise
    // the reason is returned. beforeConfirm runs while the name dialog is up, its name typed.
    QString start(const std::function<void()>& beforeConfirm = {})
    {
        m_window->setNameDialogDelay(0);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            return QStringLiteral("the main window was never exposed");
        const bool named = QTest::qWaitFor(
            [this] { return m_window->nameDialog() && m_window->nameDialog()->isVisible(); }, 5000);
        if (!named)
            return QStringLiteral("the name dialog did not come up");
        NameDialog* names = m_window->nameDialog();
        names->nameField()->setText(m_options.playerName);
        if (beforeConfirm)
            beforeConfirm();
        names->acceptName();
        if (!table().bidButton()->isVisible())
            return QStringLiteral("the first deal does not wait for a bid");
        return {};
    }

    static Options withSeed(std::uint32_t firstSeed)
    {
        Options options;
        options.firstSeed = firstSeed;
        return options;
    }

    MainWindow& window() { return *m_window; }
    // The game's state, open for tests that arrange a position (bids, scores).
    TGameState& state() { return m_game.arrange(); }
    GameModel& model() { return m_game; }
    Table& table() { return *m_window->table(); }
    const Table& table() const { return *m_window->table(); }
    TempSettings& settings() { return m_settings; }

    // Waits, with the event loop running, until the table has come to rest with the human to
    // bid or play (the steps of the computers, the glides and the pauses are over).
    bool waitForHumansTurn(int timeoutMs = 20000)
    {
        return QTest::qWaitFor(
            [this] {
                return !m_window->tableBusy() && !QApplication::activeModalWidget() &&
                       (m_window->humanMayPlay() || table().bidButton()->isVisible());
            },
            timeoutMs);
    }

    // Picks the bid text in the list and confirms it with a click.
    void bid(const QString& text)
    {
        QComboBox* box = table().bidBox();
        box->setCurrentIndex(box->findText(text));
        QVERIFY(box->currentIndex() >= 0);
        QVERIFY(table().bidButton()->isEnabled());
        QTest::mouseClick(table().bidButton(), Qt::LeftButton);
    }

    // The sprite of the human's hand that shows this card.
    CardSprite* spriteOf(TCardFace card) const
    {
        for (int k = 1; k <= 13; ++k) {
            CardSprite* sprite = table().handSprite(1, k);
            if (sprite->isVisible() && sprite->face() == card &&
                sprite->logicalY() >= Table::RaisedTop)
                return sprite;
        }
        return nullptr;
    }

    // A card of the human's hand that the follow-suit rule allows now.
    TCardFace legalCard() const
    {
        const int led = m_game.state().Trick[1].Suite;
        for (int k = 1; k <= m_game.state().HandCount[1]; ++k) {
            if (led == 0 || m_game.state().Splits[1].Counts[led] == 0 ||
                m_game.state().Hands[1][k].Suite == led)
                return m_game.state().Hands[1][k];
        }
        return {};
    }

    static void click(CardSprite* sprite)
    {
        QTest::mouseClick(sprite, Qt::LeftButton, {}, QPoint(4, 20));
    }

    // Plays legal cards until the deal's last trick opens the score sheet, which `onSheet`
    // inspects before it is closed with OK (unless onSheet closed it).
    void playOutDeal(const std::function<void(ScoreSheet*)>& onSheet = {})
    {
        bool sheetSeen = false;
        while (m_game.state().CardsPlayed < 52 && m_game.state().HandCount[1] > 0) {
            CardSprite* sprite = spriteOf(legalCard());
            QVERIFY2(sprite, "the legal card has no visible sprite");
            const int before = m_game.state().HandCount[1];
            if (before == 1) {
                whenModal([&](QWidget* modal) {
                    auto* sheet = qobject_cast<ScoreSheet*>(modal);
                    QVERIFY(sheet);
                    sheetSeen = true;
                    if (onSheet)
                        onSheet(sheet);
                    if (sheet->isVisible())
                        QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
                });
            }
            click(sprite);
            if (before == 1)
                break; // the sheet's OK has dealt the next deal
            QCOMPARE(m_game.state().HandCount[1], before - 1);
        }
        QVERIFY(sheetSeen);
    }

private:
    Options m_options;
    TempSettings m_settings;
    GameModel m_game;
    std::unique_ptr<MainWindow> m_window;
};

// A game window already through the name dialog (as "Hawk"), waiting for the first bid.
class Game : public GameWindow {
public:
    explicit Game(std::uint32_t firstSeed = 1, int dealerBefore = 0, const QByteArray& ini = {},
                  const QString& language = QStringLiteral("EN"))
        : GameWindow(Options{firstSeed, QStringLiteral("Hawk"), language, ini, dealerBefore})
    {
        const QString problem = start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

// Resizes the window so that the table shows its layout at exactly this factor, and waits
// until the cards are rendered for that size.
inline void scaleTable(MainWindow& window, qreal factor)
{
    Table* table = window.table();
    const QSize around = window.size() - table->size();
    window.resize(qRound(Table::Width * factor) + around.width(),
                  qRound(Table::Height * factor) + around.height());
    QTRY_VERIFY(!table->renderPending());
}

// ---- questions and notices ------------------------------------------------------------

// The text of a question or notice: the standard message box or the Arabic dialog.
inline QString messageText(const QWidget* dialog)
{
    if (const auto* box = qobject_cast<const QMessageBox*>(dialog))
        return box->text();
    if (const auto* form = qobject_cast<const MessageDialog*>(dialog)) {
        if (const auto* label = form->findChild<QLabel*>(QStringLiteral("Message")))
            return label->text();
    }
    return {};
}

// What a question says under its text (the message box's informative text, the Arabic
// dialog's second paragraph); empty when nothing.
inline QString messageDetails(const QWidget* dialog)
{
    if (const auto* box = qobject_cast<const QMessageBox*>(dialog))
        return box->informativeText();
    if (const auto* form = qobject_cast<const MessageDialog*>(dialog)) {
        if (const auto* label = form->findChild<QLabel*>(QStringLiteral("Details")))
            return label->text();
    }
    return {};
}

inline bool isMessageDialog(const QWidget* dialog)
{
    return qobject_cast<const QMessageBox*>(dialog) || qobject_cast<const MessageDialog*>(dialog);
}

// Presses Yes, No, OK or Cancel on a question or notice in either language. False when the
// dialog has no such button.
inline bool pressMessageButton(QWidget* dialog, MsgButton kind)
{
    QAbstractButton* button = nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        const QMessageBox::StandardButton standard = kind == MsgButton::Yes ? QMessageBox::Yes
                                                     : kind == MsgButton::No ? QMessageBox::No
                                                     : kind == MsgButton::OK ? QMessageBox::Ok
                                                     : kind == MsgButton::Cancel ? QMessageBox::Cancel
                                                                                 : QMessageBox::NoButton;
        button = box->button(standard);
    } else if (auto* form = qobject_cast<MessageDialog*>(dialog)) {
        const char* name = kind == MsgButton::Yes ? "Yes"
                           : kind == MsgButton::No ? "No"
                           : kind == MsgButton::OK ? "OK"
                           : kind == MsgButton::Cancel ? "Cancel"
                                                       : "";
        button = form->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    if (!button)
        return false;
    button->click();
    return true;
}

// Answers the next question or notice with `button`, in either language; its text goes to
// *text when one is given.
inline void answerNextMessage(MsgButton button, QString* text = nullptr)
{
    whenModal([button, text](QWidget* modal) {
        QVERIFY2(isMessageDialog(modal), modal->metaObject()->className());
        if (text)
            *text = messageText(modal);
        QVERIFY(pressMessageButton(modal, button));
    });
}

// What the end of a won game showed: the statement of the winner, then the new-game question.
struct GameEndSeen {
    QString statement;
    QString question;
    QString details; // under the question
};

// Answers the end of a won game: OK to the statement of the winner, then `answer` to the
// new-game question; what they said goes to *seen.
inline void answerGameEnd(MsgButton answer, GameEndSeen* seen)
{
    whenModal([answer, seen](QWidget* statement) {
        QVERIFY2(isMessageDialog(statement), statement->metaObject()->className());
        seen->statement = messageText(statement);
        whenModal([answer, seen](QWidget* question) {
            QVERIFY2(isMessageDialog(question), question->metaObject()->className());
            seen->question = messageText(question);
            seen->details = messageDetails(question);
            QVERIFY(pressMessageButton(question, answer));
        });
        QVERIFY(pressMessageButton(statement, MsgButton::OK));
    });
}

// Answers modal windows as they come up. A poll timer looks at the active modal window; the
// handler runs from a separate single-shot timer after the chosen delay, so a handler whose
// answer opens the next modal window (the score sheet's OK asking for a new game) does not
// block the poll: that window is answered from inside the nested loop like the first.
//
// The handler answers the dialog and returns true, or returns false for a window it did not
// expect: the answerer then records it and rejects the window so the test cannot hang on it.
// A disabled modal window (one no user could answer) is recorded the same way, unanswered.
class ModalAnswerer : public QObject {
public:
    using Handler = std::function<bool(QWidget* modal)>;

    explicit ModalAnswerer(Handler handler, QObject* parent = nullptr)
        : QObject(parent), m_handler(std::move(handler))
    {
        m_poll.setInterval(2);
        connect(&m_poll, &QTimer::timeout, this, [this] { poll(); });
        m_poll.start();
    }

    // How long each window stays up before it is answered, in milliseconds (default 0).
    // While it is up, the waits of the flow underneath run out and the game must not move.
    void setDelay(std::function<int()> delay) { m_delay = std::move(delay); }

    // Called at once with the line of each window the handler declined (or found disabled).
    void setUnexpectedHandler(std::function<void(const QString&)> handler) { m_onUnexpected = std::move(handler); }

    int answered() const { return m_answered; }
    // The windows the handler declined, one line each.
    QStringList unexpected() const { return m_unexpected; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_scheduled)
            return;
        m_scheduled = modal;
        const QPointer<QWidget> target(modal);
        QTimer::singleShot(m_delay ? std::max(0, m_delay()) : 0, this, [this, target] {
            // Cleared first: a window opened by this answer must be picked up by the poll.
            if (m_scheduled == target)
                m_scheduled = nullptr;
            if (!target || !target->isVisible() || QApplication::activeModalWidget() != target)
                return;
            ++m_answered;
            // A disabled window cannot be answered by anyone: the program would hang on it.
            if (target->isEnabled() && m_handler(target))
                return;
            m_unexpected << QStringLiteral("%1%2 \"%3\" (%4)")
                                .arg(QString::fromLatin1(target->metaObject()->className()),
                                     target->isEnabled() ? QString() : QStringLiteral(" (disabled)"),
                                     target->windowTitle(), messageText(target));
            if (m_onUnexpected)
                m_onUnexpected(m_unexpected.last());
            if (auto* dialog = qobject_cast<QDialog*>(target.data()))
                dialog->reject();
            else
                target->close();
        });
    }

    Handler m_handler;
    std::function<int()> m_delay;
    std::function<void(const QString&)> m_onUnexpected;
    QTimer m_poll;
    QPointer<QWidget> m_scheduled;
    int m_answered = 0;
    QStringList m_unexpected;
};

// ---- invariants -----------------------------------------------------------------------

namespace detail {

inline bool isRealCard(TCardFace card)
{
    return card.Suite >= 1 && card.Suite <= 4 && card.Number >= 1 && card.Number <= 13;
}

inline int cardIndex(TCardFace card) { return (card.Suite - 1) * 13 + (card.Number - 1); }

inline QString cardName(TCardFace card)
{
    static const char* const suits = "?CSHD";
    static const char* const ranks[] = {"?", "A", "2", "3", "4", "5", "6", "7",
                                        "8", "9", "10", "J", "Q", "K"};
    if (!isRealCard(card))
        return QStringLiteral("(%1,%2)").arg(card.Suite).arg(card.Number);
    return QString::fromLatin1(ranks[card.Number]) + QLatin1Char(suits[card.Suite]);
}

inline int trickSize(const TTrick& trick)
{
    int n = 0;
    while (n < 4 && trick[static_cast<std::size_t>(n + 1)].Suite != 0)
        ++n;
    return n;
}

inline int sum(const PerSeat<std::int32_t>& values)
{
    return values[1] + values[2] + values[3] + values[4];
}

inline std::vector<int> sortedIndices(const TCardList& list, int count)
{
    std::vector<int> out;
    for (int k = 1; k <= count && k <= 13; ++k)
        out.push_back(cardIndex(list[static_cast<std::size_t>(k)]));
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace detail

// A readable dump of the deal for failure messages.
inline QString describeState(const TGameState& s)
{
    using detail::cardName;
    QStringList lines;
    for (int seat = 1; seat <= 4; ++seat) {
        QStringList cards;
        for (int k = 1; k <= s.HandCount[seat] && k <= 13; ++k)
            cards << cardName(s.Hands[seat][k]);
        lines << QStringLiteral("seat %1 (%2 cards, bid %3, tricks %4, score %5): %6")
                     .arg(seat)
                     .arg(s.HandCount[seat])
                     .arg(s.Bids[seat])
                     .arg(s.TricksWon[seat])
                     .arg(s.Scores[seat])
                     .arg(cards.join(QLatin1Char(' ')));
    }
    QStringList trick;
    for (int p = 1; p <= 4; ++p) {
        const TTrickCard& t = s.Trick[static_cast<std::size_t>(p)];
        trick << (t.Suite == 0 ? QStringLiteral("-")
                               : QStringLiteral("%1 by %2").arg(cardName({t.Suite, t.Number})).arg(t.Seat));
    }
    lines << QStringLiteral("trick [%1] TrickPos %2, CardsPlayed %3, trump %4, DealerCounter %5, ScoreRow %6")
                 .arg(trick.join(QStringLiteral(", ")))
                 .arg(s.TrickPos)
                 .arg(s.CardsPlayed)
                 .arg(s.Trump)
                 .arg(s.DealerCounter)
                 .arg(s.ScoreRow);
    return lines.join(QLatin1Char('\n'));
}

// What must hold whenever the event loop runs, in the middle of a flow too (inside a pause,
// a glide or a modal window): every card exactly once among the hands and the played cards,
// the trick a prefix of the played cards in turn order, splits and counts that agree, and a
// trick slot that shows only a card recorded in the trick.
inline QString checkStateInvariants(const TGameState& s, const Table& table)
{
    using namespace detail;
    QStringList problems;
    const bool dealt = sum(s.HandCount) > 0 || s.CardsPlayed > 0;
    if (s.ScoreRow < 1 || s.ScoreRow > 8)
        problems << QStringLiteral("ScoreRow %1 outside 1..8").arg(s.ScoreRow);
    if (!dealt)
        return problems.join(QStringLiteral("; "));

    std::array<int, 52> seen{};
    for (int seat = 1; seat <= 4; ++seat) {
        const int count = s.HandCount[seat];
        if (count < 0 || count > 13) {
            problems << QStringLiteral("HandCount[%1] is %2").arg(seat).arg(count);
            continue;
        }
        const THand& hand = s.Hands[seat];
        for (int k = 1; k <= 13; ++k) {
            const TCardFace card = hand[static_cast<std::size_t>(k)];
            if (k <= count) {
                if (!isRealCard(card))
                    problems << QStringLiteral("seat %1 slot %2 holds %3").arg(seat).arg(k).arg(cardName(card));
                else
                    ++seen[static_cast<std::size_t>(cardIndex(card))];
            } else if (card != NoCard) {
                problems << QStringLiteral("seat %1 slot %2 beyond HandCount %3 holds %4")
                                .arg(seat).arg(k).arg(count).arg(cardName(card));
            }
        }
        const TSuitSplit& split = s.Splits[seat];
        int splitTotal = 0;
        std::vector<int> fromSplit;
        for (int suit = 1; suit <= 4; ++suit) {
            const int n = split.Counts[static_cast<std::size_t>(suit)];
            splitTotal += n;
            const TCardList& list = split.Lists[static_cast<std::size_t>(suit)];
            for (int k = 1; k <= n && k <= 13; ++k) {
                if (list[static_cast<std::size_t>(k)].Suite != suit)
                    problems << QStringLiteral("seat %1 split of suit %2 holds %3")
                                    .arg(seat).arg(suit).arg(cardName(list[static_cast<std::size_t>(k)]));
            }
            const std::vector<int> part = sortedIndices(list, n);
            fromSplit.insert(fromSplit.end(), part.begin(), part.end());
        }
        std::sort(fromSplit.begin(), fromSplit.end());
        if (splitTotal != count)
            problems << QStringLiteral("seat %1 split counts add up to %2, HandCount is %3").arg(seat).arg(splitTotal).arg(count);
        else if (fromSplit != sortedIndices(hand, count))
            problems << QStringLiteral("seat %1 split does not hold the cards of the hand").arg(seat);
    }

    int playedTotal = 0;
    for (int suit = 1; suit <= 4; ++suit) {
        const int n = s.PlayedCards.Counts[static_cast<std::size_t>(suit)];
        playedTotal += n;
        if (n < 0 || n > 13) {
            problems << QStringLiteral("PlayedCards count of suit %1 is %2").arg(suit).arg(n);
            continue;
        }
        const TCardList& list = s.PlayedCards.Lists[static_cast<std::size_t>(suit)];
        for (int k = 1; k <= n; ++k) {
            const TCardFace card = list[static_cast<std::size_t>(k)];
            if (card.Suite != suit || !isRealCard(card))
                problems << QStringLiteral("PlayedCards of suit %1 holds %2").arg(suit).arg(cardName(card));
            else
                ++seen[static_cast<std::size_t>(cardIndex(card))];
        }
    }
    for (int i = 0; i < 52; ++i) {
        if (seen[static_cast<std::size_t>(i)] != 1)
            problems << QStringLiteral("%1 is %2 times among the hands and the played cards")
                            .arg(cardName({i / 13 + 1, i % 13 + 1}))
                            .arg(seen[static_cast<std::size_t>(i)]);
    }
    const int handTotal = sum(s.HandCount);
    if (s.CardsPlayed != 52 - handTotal)
        problems << QStringLiteral("CardsPlayed %1 but %2 cards in the hands").arg(s.CardsPlayed).arg(handTotal);
    if (playedTotal != s.CardsPlayed)
        problems << QStringLiteral("PlayedCards holds %1 cards, CardsPlayed is %2").arg(playedTotal).arg(s.CardsPlayed);

    const int n = trickSize(s.Trick);
    for (int p = n + 1; p <= 4; ++p) {
        if (s.Trick[static_cast<std::size_t>(p)].Suite != 0)
            problems << QStringLiteral("trick position %1 filled after an empty position %2").arg(p).arg(n + 1);
    }
    for (int p = 1; p <= n; ++p) {
        const TTrickCard& t = s.Trick[static_cast<std::size_t>(p)];
        const TCardFace card{t.Suite, t.Number};
        const TCardList& played = s.PlayedCards.Lists[static_cast<std::size_t>(std::clamp(t.Suite, 1, 4))];
        const int playedOfSuit = s.PlayedCards.Counts[static_cast<std::size_t>(std::clamp(t.Suite, 1, 4))];
        const bool wasPlayed = isRealCard(card) &&
            std::find(played.begin() + 1, played.begin() + 1 + std::clamp(playedOfSuit, 0, 13), card) !=
                played.begin() + 1 + std::clamp(playedOfSuit, 0, 13);
        if (!wasPlayed)
            problems << QStringLiteral("trick card %1 at position %2 is not among the played cards").arg(cardName(card)).arg(p);
        if (t.Seat < 1 || t.Seat > 4)
            problems << QStringLiteral("trick position %1 played by seat %2").arg(p).arg(t.Seat);
        else if (p > 1 && t.Seat != NextSeat(s.Trick[static_cast<std::size_t>(p - 1)].Seat))
            problems << QStringLiteral("trick position %1 played by seat %2 after seat %3")
                            .arg(p).arg(t.Seat).arg(s.Trick[static_cast<std::size_t>(p - 1)].Seat);
    }
    if (n < 4 && s.TrickPos != n + 1)
        problems << QStringLiteral("TrickPos %1 with %2 cards in the trick").arg(s.TrickPos).arg(n);
    if (n == 4 && s.TrickPos != 1 && s.TrickPos != 4)
        problems << QStringLiteral("TrickPos %1 with a complete trick").arg(s.TrickPos);
    if (s.CardsPlayed % 4 != n % 4)
        problems << QStringLiteral("%1 cards in the trick after %2 cards played").arg(n).arg(s.CardsPlayed);

    for (int seat = 1; seat <= 4; ++seat) {
        const CardSprite* slot = table.trickSlot(seat);
        if (slot->Suite() == 0)
            continue;
        bool recorded = false;
        for (int p = 1; p <= n; ++p) {
            const TTrickCard& t = s.Trick[static_cast<std::size_t>(p)];
            recorded = recorded || (t.Seat == seat && t.Suite == slot->Suite() && t.Number == slot->Number());
        }
        if (!recorded)
            problems << QStringLiteral("trick slot of seat %1 shows %2, which is not its card in the trick")
                            .arg(seat).arg(cardName(slot->face()));
    }

    for (int seat = 1; seat <= 4; ++seat) {
        if (s.TricksWon[seat] < 0 || s.TricksWon[seat] > 13)
            problems << QStringLiteral("TricksWon[%1] is %2").arg(seat).arg(s.TricksWon[seat]);
    }
    // TricksWon is reset when the bid is accepted, so it speaks of this deal once a card lies.
    if (s.CardsPlayed > 0 && 4 * sum(s.TricksWon) != s.CardsPlayed - n)
        problems << QStringLiteral("%1 tricks taken after %2 cards played with %3 in the trick")
                        .arg(sum(s.TricksWon)).arg(s.CardsPlayed).arg(n);
    return problems.join(QStringLiteral("; "));
}

// What must hold once the flow has come to rest and waits for the human: for his bid (the
// bid button is up) or for his card. Includes checkStateInvariants().
inline QString checkRestInvariants(const TGameState& s, MainWindow& window)
{
    using namespace detail;
    const Table& table = *window.table();
    QStringList problems;
    const QString always = checkStateInvariants(s, table);
    if (!always.isEmpty())
        problems << always;

    const int n = trickSize(s.Trick);
    const bool bidding = table.bidButton()->isVisible();
    for (int seat = 1; seat <= 4; ++seat) {
        if (table.trickSlot(seat)->isVisible())
            problems << QStringLiteral("trick slot of seat %1 is visible").arg(seat);
    }
    if (!window.isEnabled())
        problems << QStringLiteral("the main window is disabled");
    if (table.inputLocked())
        problems << QStringLiteral("the input is locked");
    for (int k = 1; k <= 13; ++k) {
        if (!table.handSprite(1, k)->isEnabled())
            problems << QStringLiteral("Card%1 is disabled").arg(k);
    }

    if (bidding) {
        if (s.CardsPlayed != 0 || sum(s.HandCount) != 52 || n != 0 || s.TrickPos != 1)
            problems << QStringLiteral("bidding with %1 cards played, %2 in the hands, %3 in the trick, TrickPos %4")
                            .arg(s.CardsPlayed).arg(sum(s.HandCount)).arg(n).arg(s.TrickPos);
        if (!table.bidBox()->isVisible())
            problems << QStringLiteral("bidding without the bid list");
        if (table.warningImage()->isVisible())
            problems << QStringLiteral("the follow-suit warning is up while bidding");
        for (int seat = 1; seat <= 4; ++seat) {
            if (table.trickSlot(seat)->Suite() != 0)
                problems << QStringLiteral("trick slot of seat %1 holds %2 while bidding")
                                .arg(seat).arg(cardName(table.trickSlot(seat)->face()));
            if (seat >= 2 && table.moveSprite(seat)->isVisible())
                problems << QStringLiteral("motion sprite of seat %1 visible while bidding").arg(seat);
            for (int m = 1; m <= 13; ++m) {
                if (table.marker(seat, m)->isVisible())
                    problems << QStringLiteral("won-trick marker %1 of seat %2 visible while bidding").arg(m).arg(seat);
            }
        }
        const int dealer = DealerSeat(s.DealerCounter);
        for (int k = 1; k <= 13; ++k) {
            const CardSprite* sprite = table.handSprite(1, k);
            const TCardFace card = s.Hands[1][static_cast<std::size_t>(k)];
            const bool raised = dealer == 1 && card == s.CutCard;
            const QPoint home(Table::handHome(1, k).x(), raised ? Table::RaisedTop : Table::HandTop);
            if (!sprite->isVisible() || sprite->face() != card || sprite->pos() != home)
                problems << QStringLiteral("Card%1 shows %2 at (%3,%4)%5; the hand's slot %1 holds %6, home (%7,%8)")
                                .arg(k).arg(cardName(sprite->face()))
                                .arg(sprite->x()).arg(sprite->y())
                                .arg(sprite->isVisible() ? QString() : QStringLiteral(" hidden"))
                                .arg(cardName(card)).arg(home.x()).arg(home.y());
        }
        for (int seat = 2; seat <= 4; ++seat) {
            const bool dealerSeat = seat == dealer;
            if (table.cutSprite(seat)->isVisible() != dealerSeat)
                problems << QStringLiteral("cut sprite of seat %1 %2 while seat %3 deals")
                                .arg(seat).arg(dealerSeat ? "hidden" : "visible").arg(dealer);
            int visible = 0;
            for (int k = 1; k <= 13; ++k)
                visible += table.handSprite(seat, k)->isVisible() ? 1 : 0;
            if (visible != (dealerSeat ? 12 : 13))
                problems << QStringLiteral("seat %1 shows %2 hand sprites while bidding").arg(seat).arg(visible);
        }
        return problems.join(QStringLiteral("; "));
    }

    // The human's turn.
    if (s.CardsPlayed >= 52 || s.HandCount[1] < 1)
        problems << QStringLiteral("at rest outside the bidding with %1 cards played and %2 in the human's hand")
                        .arg(s.CardsPlayed).arg(s.HandCount[1]);
    if (table.trickSlot(1)->Suite() != 0)
        problems << QStringLiteral("the human's trick slot holds %1 while he is to play").arg(cardName(table.trickSlot(1)->face()));
    for (int p = 1; p <= n; ++p) {
        if (s.Trick[static_cast<std::size_t>(p)].Seat == 1)
            problems << QStringLiteral("the human is to play but his card lies in the trick");
    }
    if (n > 0 && s.Trick[static_cast<std::size_t>(n)].Seat != 4)
        problems << QStringLiteral("the human is to play after seat %1").arg(s.Trick[static_cast<std::size_t>(n)].Seat);
    if (4 * sum(s.TricksWon) + n != s.CardsPlayed)
        problems << QStringLiteral("%1 tricks taken, %2 cards in the trick, %3 played")
                        .arg(sum(s.TricksWon)).arg(n).arg(s.CardsPlayed);
    for (int seat = 2; seat <= 4; ++seat) {
        bool inTrick = false;
        TCardFace card;
        for (int p = 1; p <= n; ++p) {
            const TTrickCard& t = s.Trick[static_cast<std::size_t>(p)];
            if (t.Seat == seat) {
                inTrick = true;
                card = {t.Suite, t.Number};
            }
        }
        const CardSprite* slot = table.trickSlot(seat);
        const CardSprite* mover = table.moveSprite(seat);
        if (inTrick && (slot->face() != card || !mover->isVisible() || mover->face() != card ||
                        mover->pos() != slot->pos()))
            problems << QStringLiteral("seat %1 played %2 but its slot shows %3 and its moving card %4%5")
                            .arg(seat).arg(cardName(card)).arg(cardName(slot->face()))
                            .arg(cardName(mover->face()))
                            .arg(mover->isVisible() && mover->pos() == slot->pos() ? QString()
                                                                                    : QStringLiteral(" away from the trick"));
        if (!inTrick && (slot->Suite() != 0 || mover->isVisible()))
            problems << QStringLiteral("seat %1 has not played to the trick but its slot or moving card shows a card").arg(seat);
        int visible = table.cutSprite(seat)->isVisible() ? 1 : 0;
        for (int k = 1; k <= 13; ++k)
            visible += table.handSprite(seat, k)->isVisible() ? 1 : 0;
        if (visible != s.HandCount[seat])
            problems << QStringLiteral("seat %1 shows %2 cards and holds %3").arg(seat).arg(visible).arg(s.HandCount[seat]);
    }
    std::vector<int> shown;
    for (int k = 1; k <= 13; ++k) {
        const CardSprite* sprite = table.handSprite(1, k);
        if (!sprite->isVisible())
            continue;
        shown.push_back(isRealCard(sprite->face()) ? cardIndex(sprite->face()) : -1);
        if (sprite->pos() != Table::handHome(1, k))
            problems << QStringLiteral("Card%1 (%2) stands at (%3,%4), away from its place")
                            .arg(k).arg(cardName(sprite->face())).arg(sprite->x()).arg(sprite->y());
    }
    std::sort(shown.begin(), shown.end());
    if (shown != sortedIndices(s.Hands[1], std::clamp(s.HandCount[1], 0, 13)))
        problems << QStringLiteral("the human's visible cards are not the cards of his hand");
    for (int seat = 1; seat <= 4; ++seat) {
        for (int m = 1; m <= 13; ++m) {
            if (table.marker(seat, m)->isVisible() != (m <= s.TricksWon[seat]))
                problems << QStringLiteral("won-trick marker %1 of seat %2 %3 after %4 tricks")
                                .arg(m).arg(seat)
                                .arg(table.marker(seat, m)->isVisible() ? "visible" : "hidden")
                                .arg(s.TricksWon[seat]);
        }
    }
    const QString playing = window.statusBar1()->getPlayPanel()->text();
    if (playing != table.nameLabel(1)->text())
        problems << QStringLiteral("the play panel names \"%1\" while the human is to play").arg(playing);
    return problems.join(QStringLiteral("; "));
}

// Watches the scores across a run: they change only when a finished deal (52 cards played,
// 13 tricks taken) is scored, by exactly the bids won and lost, once per deal; or fall to 0
// at a new game the test confirmed. Call check() after every event.
class ScoreWatch {
public:
    explicit ScoreWatch(const TGameState& s)
        : m_last(s.Scores), m_key(dealKey(s)), m_rows(std::max(0, s.ScoreRow - 1))
    {
    }

    // The test answered Yes to the new-game question: the scores may fall to 0 once.
    void expectNewGame() { m_newGame = true; }

    int dealsScored() const { return m_dealsScored; }

    // The change that scoring the deal with these bids and tricks makes.
    static PerSeat<std::int32_t> expectedChange(const TGameState& s)
    {
        PerSeat<std::int32_t> change{};
        for (int seat = 1; seat <= 4; ++seat) {
            const int bid = s.Bids[seat];
            const int needed = bid >= 14 ? bid / 2 : bid;
            change[seat] = s.TricksWon[seat] >= needed ? bid : -bid;
        }
        return change;
    }

    QString check(const TGameState& s)
    {
        QStringList problems;
        const std::uint64_t key = dealKey(s);
        if (key != m_key) {
            if (m_finished && !m_scored && !m_newGame)
                problems << QStringLiteral("a finished deal was left without being scored");
            m_key = key;
            m_finished = false;
            m_scored = false;
            if (m_newGame) {
                if (s.Scores != PerSeat<std::int32_t>{} || s.ScoreRow != 1)
                    problems << QStringLiteral("a new game began with scores %1 and ScoreRow %2")
                                    .arg(scoresText(s.Scores)).arg(s.ScoreRow);
                m_newGame = false;
                m_last = s.Scores;
                m_rows = 0;
            }
        }
        const bool finished = s.CardsPlayed >= 52 && detail::sum(s.TricksWon) == 13;
        m_finished = m_finished || finished;
        if (s.Scores != m_last) {
            if (m_newGame && s.Scores == PerSeat<std::int32_t>{}) {
                // The reset of a confirmed new game, seen before its first deal.
                m_rows = 0;
            } else if (!finished) {
                problems << QStringLiteral("scores changed from %1 to %2 with %3 cards played and %4 tricks taken")
                                .arg(scoresText(m_last), scoresText(s.Scores))
                                .arg(s.CardsPlayed).arg(detail::sum(s.TricksWon));
            } else if (m_scored) {
                problems << QStringLiteral("the deal was scored a second time: %1 to %2")
                                .arg(scoresText(m_last), scoresText(s.Scores));
            } else {
                PerSeat<std::int32_t> expected = m_last;
                const PerSeat<std::int32_t> change = expectedChange(s);
                for (int seat = 1; seat <= 4; ++seat)
                    expected[seat] += change[seat];
                if (s.Scores != expected)
                    problems << QStringLiteral("the deal scored %1 to %2; bids and tricks give %3")
                                    .arg(scoresText(m_last), scoresText(s.Scores), scoresText(expected));
                m_scored = true;
                ++m_dealsScored;
                ++m_rows;
            }
            m_last = s.Scores;
        }
        const int row = std::min(8, m_rows + 1);
        if (s.ScoreRow != row && !m_newGame)
            problems << QStringLiteral("ScoreRow %1 after %2 scored deals in this game").arg(s.ScoreRow).arg(m_rows);
        return problems.join(QStringLiteral("; "));
    }

private:
    static std::uint64_t dealKey(const TGameState& s)
    {
        // Every deal reshuffles the deck, and nothing else touches it.
        std::uint64_t h = 1469598103934665603ull;
        for (const TCardFace& card : s.Deck) {
            h = (h ^ static_cast<std::uint32_t>(card.Suite)) * 1099511628211ull;
            h = (h ^ static_cast<std::uint32_t>(card.Number)) * 1099511628211ull;
        }
        return h;
    }

    static QString scoresText(const PerSeat<std::int32_t>& scores)
    {
        return QStringLiteral("[%1 %2 %3 %4]").arg(scores[1]).arg(scores[2]).arg(scores[3]).arg(scores[4]);
    }

    PerSeat<std::int32_t> m_last;
    std::uint64_t m_key;
    int m_rows;
    bool m_finished = false;
    bool m_scored = false;
    bool m_newGame = false;
    int m_dealsScored = 0;
};

} // namespace halbeet::testing
