// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The statistics database: every scored deal and every finished game across runs, in an
// SQLite file of the user's data folder. Opened on first use, so a run that never records
// or shows statistics never loads the SQLite driver. Failures never stop the game: they are
// handed once to the error handler, and the call reports what happened.

#include "stats/records.h"

#include <QString>

#include <functional>
#include <optional>

namespace halbeet {

enum class StatsError {
    Damaged,     // the file is not a database or fails its integrity check
    Locked,      // another running copy holds the database
    WriteFailed, // full disk, read-only folder or file, or the folder cannot be made
    Unavailable, // Qt's SQLite driver is not installed
};

enum class RecordResult {
    Recorded,
    Duplicate, // this deal (game id and number) or game is already stored: nothing written
    Invalid,   // not a scored deal (a passed deal, wrong tricks, a bad seat): nothing written
    Failed,    // the database could not take it (see StatsError)
};

class StatsStore {
  public:
    // The file lives in folder; the default is <generic data location>/Dovelarks/Halbeet.
    explicit StatsStore(QString folder = defaultFolder());
    ~StatsStore();
    StatsStore(const StatsStore&) = delete;
    StatsStore& operator=(const StatsStore&) = delete;

    static QString defaultFolder();
    static QString fileName() { return QStringLiteral("statistics.sqlite"); }
    QString filePath() const;

    // Called at most once for the store's life, on its first failure.
    void setErrorHandler(std::function<void(StatsError)> handler);
    // The first failure met, if any.
    std::optional<StatsError> firstError() const { return m_firstError; }
    bool isOpen() const { return m_open; }

    RecordResult recordDeal(const DealStats& deal);
    RecordResult recordGame(const GameStats& game);

    // Everything the Statistics window shows; currentGameId picks the deals of the score
    // chart. Empty when the database cannot be read.
    std::optional<StatsSummary> summary(const QString& currentGameId);

    // Forgets every deal and game. A damaged file is replaced by an empty database.
    bool reset();

    // Closes the file; the next call opens it again.
    void close() { closeFile(); }

    // A fresh game id.
    static QString newGameId();
    // Checks a deal before it is stored: four valid stored bids adding up to 11 or more,
    // 13 tricks, a change of plus or minus the bid that matches the tricks.
    static bool isScoredDeal(const DealStats& deal);

  private:
    bool ensureOpen();
    bool openFile();
    std::optional<StatsError> openAndPrepare();
    void closeFile();
    void fail(StatsError error);
    StatsError classify(const QString& nativeCode) const;

    QString m_folder;
    QString m_connection;
    bool m_open = false;
    bool m_damaged = false;
    std::optional<StatsError> m_firstError;
    std::function<void(StatsError)> m_errorHandler;
    bool m_reported = false;
};

} // namespace halbeet
