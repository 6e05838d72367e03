// SPDX-License-Identifier: GPL-3.0-or-later
// The saved game's life: offered, kept current, stored on quitting, removed when won.
#include "ui/saved_game_keeper.h"

#include "settings/saved_game.h"
#include "settings/settings.h"
#include "ui/language.h"
#include "ui/message_dialog.h"
#include "ui/statistics_recorder.h"

#include <QWidget>

namespace halbeet {

SavedGameKeeper::SavedGameKeeper(GameModel& game, StatisticsRecorder& recorder, QWidget* parent)
    : m_game(game), m_recorder(recorder), m_parent(parent)
{
    m_game.addListener(this);
}

SavedGameKeeper::~SavedGameKeeper() { m_game.removeListener(this); }

bool SavedGameKeeper::gameWorthKeeping() const
{
    // Between deals the phase is DealOver (GameOver once the game is won).
    return m_game.dealInProgress() || (m_game.phase() == Phase::DealOver && m_game.dealScored());
}

bool SavedGameKeeper::quitKeepsGame() const { return settings::resumeGames() && gameWorthKeeping(); }

void SavedGameKeeper::discardOwnSave()
{
    if (m_ownsSave) {
        savedgame::discard();
        m_ownsSave = false;
    }
}

bool SavedGameKeeper::storeGame(QString* where)
{
    if (!settings::resumeGames()) {
        // Turned off during the run: this run's save is not left behind to be offered.
        discardOwnSave();
        return true;
    }
    if (!gameWorthKeeping())
        return true;
    if (!savedgame::write(m_game.save(), where))
        return false;
    m_ownsSave = true;
    return true;
}

void SavedGameKeeper::saveGameOnQuit()
{
    QString where;
    if (!storeGame(&where))
        LangMessageDlg(texts().savedGame.SaveFailedNotice.arg(where), DialogType::Warning, MsgButton::OK,
                       m_parent);
}

void SavedGameKeeper::keepSaveCurrent()
{
    QString where;
    if (storeGame(&where) || m_saveErrorShown)
        return;
    m_saveErrorShown = true;
    LangMessageDlg(texts().savedGame.SaveFailedNotice.arg(where), DialogType::Warning, MsgButton::OK, m_parent);
}

void SavedGameKeeper::storeOnSignal()
{
    QString where;
    if (!storeGame(&where))
        qWarning("halbeet: the game could not be saved to %s", qPrintable(where));
}

void SavedGameKeeper::gameEvent(const GameModel& game, const GameEvent& event)
{
    switch (event.kind) {
    case GameEvent::Kind::DealScored:
        // Kept between deals too; a won game is not (below).
        if (game.state().GameWinner == 0)
            keepSaveCurrent();
        break;
    case GameEvent::Kind::GameWon:
        discardOwnSave();
        break;
    default:
        break;
    }
}

bool SavedGameKeeper::offerSavedGame()
{
    if (!settings::resumeGames())
        return false;
    bool unreadable = false;
    const std::optional<std::string> text = savedgame::read(&unreadable);
    if (!text && !unreadable)
        return false;
    // Its dialogs must be answerable; the name dialog's wait left the window disabled.
    m_parent->setEnabled(true);
    const SavedGameTexts& t = texts().savedGame;
    QString reason = t.Damaged;
    if (text) {
        GameModel probe([] { return 0u; });
        GameModel::LoadProblem problem = GameModel::LoadProblem::Damaged;
        if (probe.load(*text, nullptr, &problem)) {
            const bool wanted = LangMessageDlg(t.ResumeQuestion, DialogType::Custom,
                                               MsgButton::Yes | MsgButton::No, m_parent) == MsgResult::Yes;
            // A game that is not continued now is gone. One that is stays on disk until it
            // ends, kept current as it goes on, so that a crash does not lose it after all.
            if (!wanted || !m_game.load(*text)) {
                savedgame::discard();
                return false;
            }
            m_ownsSave = true;
            // Its deals go on counting in the statistics under the game's own id.
            m_recorder.gameResumed();
            return true;
        }
        reason = problem == GameModel::LoadProblem::NotASave       ? t.NotASave
                 : problem == GameModel::LoadProblem::NewerVersion ? t.NewerVersion
                                                                   : t.Damaged;
    }
    const QString kept = savedgame::setAside();
    LangMessageDlg(t.UnreadableNotice.arg(reason, kept.isEmpty() ? t.KeptNowhere : kept), DialogType::Warning,
                   MsgButton::OK, m_parent);
    return false;
}

} // namespace halbeet
