// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window: the card table, the bid controls, the menus and the status bar, as the
// view of seat 1 over a table controller. The controller drives the game; the window's seat
// (LocalSeat) is asked for the human's bids and cards and told each step as seat 1 may know
// it. The steps are shown one after the other from a queue, each with its glide, sweep and
// marker, and the controller is told when one has been shown; it waits for that before it
// goes on. Nothing waits in a nested event loop: a new game or a close drops the queue, the
// glides and the controller's pending steps at once.

#include "core/game.h"
#include "ui/network_table.h"
#include "table/seat.h"
#include "ui/help_launcher.h"
#include "ui/saved_game_keeper.h"
#include "ui/statistics_recorder.h"
#include "ui/window_placement.h"

#include <QHostAddress>
#include <QMainWindow>
#include <QUrl>

#include <array>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace halbeet {

class CardSprite;
class HandKeys;
class HelpWindow;
class HintPresenter;
class LanguageMenu;
class LocalSeat;
class NetworkPanel;
class NetworkTable;
class TableController;
class Table;
class TableAccess;
class AboutBox;
class LastTrickWindow;
class NameDialog;
class ScoreSheet;
class StatusBar;
class OptionsDialog;

class Statistics;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The client area below the menu bar: the table and the status bar.
    static constexpr int ClientWidth = 560;
    static constexpr int ClientHeight = 413;

    explicit MainWindow(GameModel& game, QWidget* parent = nullptr);
    ~MainWindow() override;

    GameModel& game() { return m_game; }
    const TGameState& state() const { return m_game.state(); }
    Table* table() const { return m_table; }
    StatusBar* statusBar1() const { return m_statusBar; }
    ScoreSheet* scoreSheet() const { return m_scores; }
    OptionsDialog* optionsDialog() const { return m_options; }
    LastTrickWindow* lastTrickWindow() const { return m_lastShot; }
    AboutBox* aboutBox() const { return m_about; }
    NameDialog* nameDialog() const { return m_names; }
    // The program's own help window, once Help has had to open it.
    HelpWindow* helpWindow() const { return m_helpLauncher.helpWindow(); }
    // A menu item by its name (N1..N16, Language1, English1).
    QAction* menuItem(const QString& name) const;
    int glideStep() const { return m_glideStep; }
    // The keyboard's mark on the human's hand.
    HandKeys* handKeys() const { return m_keys; }
    // Names and announcements for assistive technology.
    TableAccess* access() const { return m_access; }
    // The human's card lying on the trick, or nothing.
    CardSprite* humanCardOnTrick() const { return m_humanSprite; }
    // A click on a card of the human's hand would be taken now.
    bool humanMayPlay() const;
    // What the window's seat knows: the view of the step shown last.
    const TableView& shownView() const { return m_shownView; }
    // The seat this window shows: asked for the person's bid or card.
    const LocalSeat& windowSeat() const { return *m_seat; }
    // The human's card is on its way to the trick (it is played when it lands).
    bool humanCardMoving() const { return m_humanMoving; }
    // The delay before the name dialog appears; tests shorten it.
    void setNameDialogDelay(int ms) { m_nameDialogDelay = ms; }

    // The table this window is the view of.
    TableController& controller() const { return *m_controller; }
    // A step told by the table is still being shown (a glide, a sweep, a dialog of the flow).
    bool showingStep() const { return m_showing || !m_toShow.empty(); }
    // The table is on its way somewhere the player waits for: a step being shown, the play
    // delay or a computer thinking, the pause on a full trick.
    bool tableBusy() const;
    // Steps that came out of order (never: counted for the tests).
    int stepsOutOfOrder() const { return m_stepsOutOfOrder; }

    // The deal cycle.
    void newDeal();
    void newGame();
    void bidChoiceChanged();
    void confirmBid();
    void playCard(CardSprite* sprite);

    // Menu commands.
    void askNewGame();  // New Game
    void showLastTrick();  // Last trick
    void showScores();  // Scores
    void showStatistics();
    void showOptions();  // Options
    void exitCommand();  // Exit
    void showAbout(); // About
    void showHelp(); // Help contents
    void switchToArabic(); // Arabic
    void switchToEnglish();
    // Tables over the network: open one on this computer for friends, join one, leave it (the
    // game of this computer goes on where it was left).
    void hostTable();
    void joinTable();
    void leaveTable();
    // The table over the network this window shows, if any.
    NetworkTable* networkTable() const { return m_network.get(); }
    NetworkPanel* networkPanel() const { return m_networkPanel; }
    // What a host's table is made of for tests: where it listens and announces, and its pace.
    struct HostingForTests {
        QHostAddress listen;
        QHostAddress announceTo;
        quint16 announcePort = 0;
        double timeScale = 1.0;
    };
    void setHostingForTests(const HostingForTests& hosting) { m_hostingForTests = hosting; }
    // Hosts and joins without the dialogs (tests, and the way back to the last table).
    void hostNetworkTable(const NetworkTable::ChairPlans& plans, quint16 port);
    void joinNetworkTable(const QUrl& url, const QString& code, const std::string& token = {});
    // Hint: what the Expert would do in the human's seat, shown and never done.
    void showHint();
    HintPresenter& hints() const { return *m_hints; }
    // Full screen on and off (F11); leaving it returns to a maximised or a normal window.
    void toggleFullScreen() { m_placement.toggleFullScreen(); }

    // The window's size and state between runs.
    WindowPlacement& placement() { return m_placement; }
    QSize defaultSize() const { return m_placement.defaultSize(); }
    void showRestored() { m_placement.showRestored(); }
    void saveWindowState() { m_placement.saveWindowState(); }
    static QSize fittedWindowSize(QSize wanted, QSize minimum, QSize frame, const QRect& available)
    {
        return WindowPlacement::fittedWindowSize(wanted, minimum, frame, available);
    }
    QSize normalSize() const { return m_placement.normalSize(); }

    // The player's statistics, fed by the games this window shows.
    StatisticsRecorder& statisticsRecorder() { return m_recorder; }
    // The game kept for the next start.
    SavedGameKeeper& savedGames() { return m_saves; }
    // Saves a game in progress for the next start (when the player has not turned it off);
    // the close handler calls it once the player has confirmed that he quits.
    void saveGameOnQuit() { m_saves.saveGameOnQuit(); }
    bool quitKeepsGame() const { return m_saves.quitKeepsGame(); }
    // SIGTERM or SIGHUP (logout, shutdown): the game is saved as on Exit, silently, and the
    // program ends without a question.
    void endOnSignal();

signals:
    // The human is asked for his bid or card, with nothing left to show before it.
    void humansTurn();

protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    void showEvent(QShowEvent* event) override;   // FormShow
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setUpWindow();
    void createMenus();
    void applyLanguage();
    // Last Trick is offered only while its window holds a trick of the deal on the table.
    void setLastTrickAvailable(bool available);
    void showNameDialog();
    void nameAccepted();
    // The name dialog was closed: the program ends, without the exit question.
    void endWithoutName();
    void updateGlideStep();

    void adaptBidList(const std::vector<std::int32_t>& bids);
    void loadPlayDelay();
    void clearStatusForNoDeal(bool emptyHint);
    // The computer seats for the next deal, at the level the options name.
    void seatComputers();
    void clearTableForNewGame();
    // The program ends: nothing of the table moves any more.
    void stopTable();
    // Nothing runs the local game while a table over the network is shown.
    TableController* heldController() const;
    // The window turns to a table over the network: the local game waits, its seat's place is
    // the network's, the panel shows.
    void enterNetworkTable();
    void closeNetworkTable();
    // Back to the game of this computer, where it was left; why: shown when not empty.
    void returnToLocalTable(const QString& why);
    void showNetworkChairs();
    // The host's table, kept when his game ends, and offered when he hosts again.
    void keepHostedTable(bool tellOnFailure);
    bool offerKeptTable();
    void applyHostingForTests();
    void keepTableForComingBack(const QUrl& url);
    // The commands of the game of this computer (New Game, Options, Hint) and Leave the table
    // go on and off together.
    void offerLocalCommands(bool offered);

    // The window's seat: asked, told, and its question withdrawn.
    void asked(const TableView& question);
    void questionWithdrawn();
    void told(const SeatEvent& event);
    bool askedToBid() const;
    // Shows the queued steps in order, each once.
    void showQueued();
    void present(const SeatEvent& event);
    void shownStep(std::uint64_t serial, std::uint64_t generation);
    // Forgets every step not yet shown and stops the glides (New Game, a close).
    void dropShows();
    void showEveryBid(const TableView& view);
    void showWhoPlays(const TableView& view);
    void showCardPlayed(const SeatEvent& event, const std::function<void()>& done);
    // The trick lies complete on the table: sweep it toward its taker, then swept runs.
    void sweepTrick(int taker, std::function<void()> swept);
    void clearTrickSlots();
    void takeTrick(int taker, int tricksOfTaker);
    // The deal is scored: the score sheet shows it; done once it is closed with OK or Esc.
    void showScoredDeal(const TableView& view, const std::function<void()>& done);
    // The statement of the won game; at a table of this computer, the question of a new one.
    void showWonGame(const TableView& view, const std::function<void()>& done);
    // The statement of the won game: which side, with the names and final scores.
    QString gameWonText() const;
    // Lays the table out from the seat's view: a new deal (dealt in front of the player) or a
    // table as it stands (a restored game). The one layout of the table.
    void layOut(const TableView& view, bool freshDeal);
    QLabel* nameLabel(int seat) const;

    GameModel& m_game;
    // The model's state, for the status bar's trump and the close question.
    const TGameState& m_state;
    std::unique_ptr<TableController> m_controller;
    // The seat the window shows: the controller's own (m_localSeat), or the one at a table
    // over the network.
    LocalSeat* m_seat = nullptr;
    LocalSeat* m_localSeat = nullptr; // owned by the controller
    std::unique_ptr<NetworkTable> m_network;
    NetworkPanel* m_networkPanel = nullptr;
    // The names of the game of this computer, put back when the networked table is left.
    std::array<QString, 5> m_localNames;
    std::optional<HostingForTests> m_hostingForTests;
    // The token last kept for the way back to a table over the network.
    std::string m_keptToken;
    // The steps told and not yet shown, whether one is being shown, and the last one shown.
    std::deque<SeatEvent> m_toShow;
    bool m_showing = false;
    bool m_inShowLoop = false;
    std::uint64_t m_lastShown = 0;
    // Moves on when the steps not yet shown are dropped: a glide of an earlier moment that
    // still lands finds it moved.
    std::uint64_t m_showGeneration = 0;
    int m_stepsOutOfOrder = 0;
    // What seat 1 knows: the view of the step shown last.
    TableView m_shownView;
    bool m_sheetClosedAfterDeal = false;
    Table* m_table = nullptr;
    StatusBar* m_statusBar = nullptr;
    AboutBox* m_about = nullptr;
    ScoreSheet* m_scores = nullptr;
    OptionsDialog* m_options = nullptr;
    LastTrickWindow* m_lastShot = nullptr;
    NameDialog* m_names = nullptr;
    HandKeys* m_keys = nullptr;
    TableAccess* m_access = nullptr;
    QTimer* m_timer1 = nullptr;
    int m_nameDialogDelay = 500;
    int m_glideStep = 2;
    WindowPlacement m_placement;
    // The human's card on the trick and its home in the hand, for the sweep.
    CardSprite* m_humanSprite = nullptr;
    QPoint m_humanHome;
    // The human's card is on its way to the trick; it is played when it lands.
    bool m_humanMoving = false;
    // The computer seats play Expert in this deal (read from the settings at each deal).
    bool m_expert = false;
    HintPresenter* m_hints = nullptr;
    StatisticsRecorder m_recorder;
    SavedGameKeeper m_saves;
    HelpLauncher m_helpLauncher;
    LanguageMenu* m_languageMenu = nullptr;
    bool m_delayErrorShown = false;
    bool m_endingWithoutQuestion = false;
};

} // namespace halbeet
