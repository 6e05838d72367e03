// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window: the card table, the bid controls, the menus and the status bar. It is the
// view and controller of the game model: it asks the model what is legal, applies the
// human's actions and the computer players' choices, and animates what the model reports.
// No rule and no progress of the game is read back from a widget.
//
// The flow runs inside event handlers (the name dialog's OK, the bid button, a click on one of
// the human's cards, the score sheet's OK) and waits with Pause and the glides, which keep the
// event loop running. A menu command can therefore start a new game or close the window while
// a flow waits; every wait then returns false and the old flow returns at once, touching
// nothing (see stopWaitingFlows()).

#include "core/game.h"
#include "core/player.h"
#include "ui/help_launcher.h"
#include "ui/statistics_recorder.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace halbeet {

class CardSprite;
class HandKeys;
class HelpWindow;
class LanguageMenu;
class Table;
class TableAccess;
class TAboutBox;
class TLASTSHOT;
class Tnamesform;
class TScores;
class TStatusBar;
class Tstings;

class Statistics;

class TForm1 : public QMainWindow, private GameListener {
    Q_OBJECT

public:
    // The client area below the menu bar: the table and the status bar.
    static constexpr int ClientWidth = 560;
    static constexpr int ClientHeight = 413;

    explicit TForm1(GameModel& game, QWidget* parent = nullptr);
    ~TForm1() override;

    GameModel& game() { return m_game; }
    const TGameState& state() const { return m_game.state(); }
    Table* table() const { return m_table; }
    TStatusBar* statusBar1() const { return m_statusBar; }
    TScores* scoreSheet() const { return m_scores; }
    Tstings* optionsDialog() const { return m_options; }
    TLASTSHOT* lastTrickWindow() const { return m_lastShot; }
    TAboutBox* aboutBox() const { return m_about; }
    Tnamesform* nameDialog() const { return m_names; }
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
    // The delay before the name dialog appears; tests shorten it.
    void setNameDialogDelay(int ms) { m_nameDialogDelay = ms; }

    // The deal cycle.
    void NewDeal();
    void ComboBox1Change();
    void Button1Click();
    void PlayCard(CardSprite* sprite);

    // Menu commands.
    void N2Click();  // New Game
    void N3Click();  // Last trick
    void N4Click();  // Scores
    void StatisticsClick();
    void N6Click();  // Options
    void N7Click();  // Exit
    void N10Click(); // About
    void N12Click(); // Help contents
    void N15Click(); // Arabic
    void English1Click();
    // Hint: what the Expert would do in the human's seat, shown and never done.
    void HintClick();
    // Full screen on and off (F11); leaving it returns to a maximised or a normal window.
    void FullScreenClick();

    // The size the window opens at, and its smallest: the table unscaled.
    QSize defaultSize() const { return m_defaultSize; }
    // Shows the window as it was last closed (size, maximised, full screen); a size that no
    // longer fits the screen is brought back on it.
    void showRestored();
    // Stores the window's size and state in the settings file, as showRestored reads them.
    // A refused write is reported to the user.
    void saveWindowState();
    // A stored window size made to fit: at least the minimum, at most the available screen.
    static QSize fittedWindowSize(QSize wanted, QSize minimum, QSize frame, const QRect& available);
    // The size the window has, or would have once neither maximised nor full screen.
    QSize normalSize() const;

    // Saves a game in progress for the next start (when the player has not turned it off);
    // the close handler calls it once the player has confirmed that he quits. A failed write
    // is reported.
    void saveGameOnQuit();
    // SIGTERM or SIGHUP (logout, shutdown): the game is saved as on Exit, silently, and the
    // program ends without a question.
    void endOnSignal();
    // Whether quitting now keeps the game for the next start.
    bool quitKeepsGame() const;

protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    // A scored deal keeps the save current; a won game's save goes.
    void gameEvent(const GameModel& game, const GameEvent& event) override;
    void showEvent(QShowEvent* event) override;   // FormShow
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void createMenus();
    void applyLanguage();
    // Last Trick is offered only while its window holds a trick of the deal on the table.
    void setLastTrickAvailable(bool available);
    void Timer1Timer();
    void nameAccepted();
    // The name dialog was closed: the program ends, without the exit question.
    void endWithoutName();
    void updateGlideStep();

    void showDealAndBids();
    void adaptBidList();
    void loadPlayDelay();
    void clearStatusForNoDeal(bool emptyHint);
    Player& playerFor(int seat);
    // The stored bid of a computer seat; false when the flow was abandoned while it thought.
    bool computerBid(int seat, std::int32_t& bid);
    // The computer seats that bid before the human in the program's order give their bids.
    bool computerBidsUntilHuman();
    // Puts the hinted card back into line with the others.
    void clearHint();
    // Carries the game on from where the model stands: the computer seats play, complete
    // tricks are shown, swept and taken, until the human must play (the input is released)
    // or the deal is over (the score sheet opens). False when the flow was abandoned.
    bool runFlow();
    bool computerTurn(int seat);
    // The deal is over: it is scored and the score sheet shows it.
    void scoreAndShowDeal();
    // The trick lies complete on the table: show it, sweep it toward its taker and count it.
    bool completeTrick();
    bool sweepTrick(int taker);
    void takeTrick(int taker);
    void scoreSheetClosedAfterDeal();
    // Offers the saved game after the name dialog; true when it was taken up and is on the table.
    bool offerSavedGame();
    // A position the next start can lay out and go on from: a deal under way, or one scored
    // that did not end the game.
    bool gameWorthKeeping() const;
    // Writes the game for the next start, or removes a save of this run when the player has
    // turned saving off. False when a write failed; *where then names the file.
    bool storeGame(QString* where);
    // Brings the save up to date while a game goes on (a deal dealt, a trick taken, a deal
    // scored). A failure is told once a run; the game goes on.
    void keepSaveCurrent();
    // The statement of the won game: which side, with the names and final scores.
    QString gameWonText() const;
    // Lays the table out from the model as it stands, for a restored game.
    void restoreTable();
    QLabel* nameLabel(int seat) const;

    GameModel& m_game;
    // The model's state, read by the view.
    const TGameState& m_state;
    ClassicPlayer m_classic;
    Table* m_table = nullptr;
    TStatusBar* m_statusBar = nullptr;
    TAboutBox* m_about = nullptr;
    TScores* m_scores = nullptr;
    Tstings* m_options = nullptr;
    TLASTSHOT* m_lastShot = nullptr;
    Tnamesform* m_names = nullptr;
    HandKeys* m_keys = nullptr;
    TableAccess* m_access = nullptr;
    QTimer* m_timer1 = nullptr;
    int m_nameDialogDelay = 500;
    int m_glideStep = 2;
    QSize m_defaultSize;
    int m_frameHeight = 0; // of the window's frame in the normal state, once known
    // Whether the window was maximised when it went full screen.
    bool m_maximizedBeforeFullScreen = false;
    // The last two sizes the window had while neither maximised nor full screen, the later
    // first: the size to keep for the next start when the window is closed maximised.
    QSize m_normalSize;
    QSize m_normalSizeBefore;
    // The human's card on the trick and its home in the hand, for the sweep.
    CardSprite* m_humanSprite = nullptr;
    QPoint m_humanHome;
    // The human's card is on its way to the trick; the model records it when it lands.
    bool m_humanMoving = false;
    // The computer seats play Expert in this deal (read from the settings at each deal).
    bool m_expert = false;
    // The card a hint raised out of the hand, and whether the hint panel shows a hint.
    CardSprite* m_hintSprite = nullptr;
    bool m_hintShown = false;
    StatisticsRecorder m_recorder;
    HelpLauncher m_helpLauncher;
    LanguageMenu* m_languageMenu = nullptr;
    bool m_delayErrorShown = false;
    bool m_endingWithoutQuestion = false;
    // The save on disk is this run's game (written now, or taken up at the start): it goes
    // when the game ends or saving is turned off. A save of an earlier run not taken up
    // is left alone.
    bool m_ownsSave = false;
    bool m_saveErrorShown = false;
};

} // namespace halbeet
