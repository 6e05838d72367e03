#pragma once

// The main window: the card table, the bid controls, the menus and the status bar, and the
// game flow that strings the engine's moves and the table's motion together.
//
// The flow runs inside event handlers (the name dialog's OK, the bid button, a click on one of
// the human's cards, the score sheet's OK) and waits with Pause and the glides, which keep the
// event loop running. A menu command can therefore start a new game or close the window while
// a flow waits; every wait then returns false and the old flow returns at once, touching
// nothing (see stopWaitingFlows()).

#include "core/random.h"
#include "core/state.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace halbeet {

class CardSprite;
class Table;
class TAboutBox;
class TLASTSHOT;
class Tnamesform;
class TScores;
class TStatusBar;
class Tstings;

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // The client area below the menu bar: the table and the status bar.
    static constexpr int ClientWidth = 560;
    static constexpr int ClientHeight = 413;

    TForm1(TGameState& state, SeedSource seedSource, QWidget* parent = nullptr);
    ~TForm1() override;

    TGameState& state() { return m_state; }
    Table* table() const { return m_table; }
    TStatusBar* statusBar1() const { return m_statusBar; }
    TScores* scoreSheet() const { return m_scores; }
    Tstings* optionsDialog() const { return m_options; }
    TLASTSHOT* lastTrickWindow() const { return m_lastShot; }
    TAboutBox* aboutBox() const { return m_about; }
    Tnamesform* nameDialog() const { return m_names; }
    // A menu item by its name (N1..N16, Language1, English1).
    QAction* menuItem(const QString& name) const;
    int glideStep() const { return m_glideStep; }
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

    // Where the help file of the current language is looked for, in order.
    static QStringList helpFileCandidates();

protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    void showEvent(QShowEvent* event) override;   // FormShow

private:
    void FormCreate();
    void createMenus();
    void applyLanguage();
    void Timer1Timer();
    void nameAccepted();

    void showDealAndBids();
    void adaptBidList();
    void loadPlayDelay();
    void clearStatusForNoDeal(bool emptyHint);
    // The computer seats first..last take their turns in order; false when abandoned.
    bool computerTurns(int first, int last);
    bool computerTurn(int seat);
    // The trick lies complete on the table: decide it, sweep it, count it and go on.
    bool completeTrick();
    bool sweepTrick(int taker);
    void takeTrick(int taker);
    void scoreSheetClosedAfterDeal();
    void switchLanguage(const QString& code);
    QLabel* nameLabel(int seat) const;

    TGameState& m_state;
    TRandom m_random;
    Table* m_table = nullptr;
    TStatusBar* m_statusBar = nullptr;
    TAboutBox* m_about = nullptr;
    TScores* m_scores = nullptr;
    Tstings* m_options = nullptr;
    TLASTSHOT* m_lastShot = nullptr;
    Tnamesform* m_names = nullptr;
    QTimer* m_timer1 = nullptr;
    int m_nameDialogDelay = 500;
    int m_glideStep = 2;
    // The language whose menu item carries the check mark (the next start's language).
    QString m_checkedLang;
    // The human's card on the trick and its home in the hand, for the sweep.
    CardSprite* m_humanSprite = nullptr;
    QPoint m_humanHome;
    bool m_delayErrorShown = false;
};

} // namespace halbeet
