// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The game that outlives the window: offered at the start, kept current while it goes on,
// stored on quitting, and removed once it is won or saving is turned off.

#include "core/game.h"

#include <QString>

class QWidget;

namespace halbeet {

class StatisticsRecorder;

// Only a save this run wrote or took up is ever removed: a save of an earlier run that the
// player did not take up is left alone.
class SavedGameKeeper final : private GameListener {
public:
    // Its dialogs are children of parent; a resumed game is told to the recorder.
    SavedGameKeeper(GameModel& game, StatisticsRecorder& recorder, QWidget* parent);
    ~SavedGameKeeper() override;
    SavedGameKeeper(const SavedGameKeeper&) = delete;
    SavedGameKeeper& operator=(const SavedGameKeeper&) = delete;

    // Offers the saved game after the name dialog; true when it was taken up and loaded.
    bool offerSavedGame();
    // A position the next start can lay out and go on from: a deal under way, or one scored
    // that did not end the game.
    bool gameWorthKeeping() const;
    // Whether quitting now keeps the game for the next start.
    bool quitKeepsGame() const;
    // Writes the game for the next start, or removes a save of this run when the player has
    // turned saving off. False when a write failed; *where then names the file.
    bool storeGame(QString* where);
    // Saves a game in progress for the next start; a failed write is reported.
    void saveGameOnQuit();
    // Brings the save up to date while a game goes on (a deal dealt, a trick taken, a deal
    // scored). A failure is told once a run; the game goes on.
    void keepSaveCurrent();
    // The program ends on a signal: the game is stored without a question, a failure logged.
    void storeOnSignal();

private:
    // A scored deal keeps the save current; a won game's save goes.
    void gameEvent(const GameModel& game, const GameEvent& event) override;
    void discardOwnSave();

    GameModel& m_game;
    StatisticsRecorder& m_recorder;
    QWidget* m_parent;
    // The save on disk is this run's game (written now, or taken up at the start).
    bool m_ownsSave = false;
    bool m_saveErrorShown = false;
};

} // namespace halbeet
