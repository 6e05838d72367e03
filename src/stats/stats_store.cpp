// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics database: schema, lazy opening, recording, the window's figures, reset.

#include "stats/stats_store.h"

#include "core/bids.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <map>
#include <utility>

namespace halbeet {

namespace {

constexpr int SchemaVersion = 1;
// A second copy of the game writes now and then; wait this long for its lock.
constexpr int BusyTimeoutMs = 500;

// SQLite's primary result codes that matter here (extended codes keep them in the low byte).
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADb = 26;

const char* const CreateDeals = R"(
CREATE TABLE deals (
  game_id TEXT NOT NULL,
  deal_number INTEGER NOT NULL,
  scored_at TEXT NOT NULL,
  level TEXT NOT NULL,
  trump INTEGER NOT NULL,
  dealer INTEGER NOT NULL,
  bid1 INTEGER NOT NULL, tricks1 INTEGER NOT NULL, change1 INTEGER NOT NULL, score1 INTEGER NOT NULL,
  bid2 INTEGER NOT NULL, tricks2 INTEGER NOT NULL, change2 INTEGER NOT NULL, score2 INTEGER NOT NULL,
  bid3 INTEGER NOT NULL, tricks3 INTEGER NOT NULL, change3 INTEGER NOT NULL, score3 INTEGER NOT NULL,
  bid4 INTEGER NOT NULL, tricks4 INTEGER NOT NULL, change4 INTEGER NOT NULL, score4 INTEGER NOT NULL,
  PRIMARY KEY (game_id, deal_number)
))";

const char* const CreateGames = R"(
CREATE TABLE games (
  game_id TEXT PRIMARY KEY,
  won_at TEXT NOT NULL,
  winner INTEGER NOT NULL,
  deals INTEGER NOT NULL,
  score1 INTEGER NOT NULL, score2 INTEGER NOT NULL, score3 INTEGER NOT NULL, score4 INTEGER NOT NULL
))";

bool playerSideWon(int winner)
{
    return winner == 1 || winner == 3;
}

QString isoDate(const QDateTime& date)
{
    return (date.isValid() ? date : QDateTime::currentDateTimeUtc())
        .toUTC()
        .toString(Qt::ISODateWithMs);
}

} // namespace

StatsStore::StatsStore(QString folder)
    : m_folder(std::move(folder)),
      m_connection(
          QStringLiteral("halbeet-statistics-%1").arg(reinterpret_cast<quintptr>(this), 0, 16))
{
}

StatsStore::~StatsStore()
{
    closeFile();
}

QString StatsStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Dovelarks/Halbeet");
}

QString StatsStore::filePath() const
{
    return m_folder + QLatin1Char('/') + fileName();
}

void StatsStore::setErrorHandler(std::function<void(StatsError)> handler)
{
    m_errorHandler = std::move(handler);
}

void StatsStore::fail(StatsError error)
{
    if (!m_firstError)
        m_firstError = error;
    // A damaged file is closed at the next call, once no query of this one holds it.
    if (error == StatsError::Damaged)
        m_damaged = true;
    if (!m_reported && m_errorHandler) {
        m_reported = true;
        m_errorHandler(error);
    }
}

StatsError StatsStore::classify(const QString& nativeCode) const
{
    bool ok = false;
    const int code = nativeCode.toInt(&ok) & 0xff;
    if (!ok)
        return StatsError::WriteFailed;
    if (code == SqliteBusy || code == SqliteLocked)
        return StatsError::Locked;
    if (code == SqliteCorrupt || code == SqliteNotADb)
        return StatsError::Damaged;
    return StatsError::WriteFailed;
}

bool StatsStore::ensureOpen()
{
    if (m_damaged) {
        closeFile();
        return false;
    }
    if (m_open)
        return true;
    return openFile();
}

bool StatsStore::openFile()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        fail(StatsError::Unavailable);
        return false;
    }
    if (!QDir().mkpath(m_folder)) {
        fail(StatsError::WriteFailed);
        return false;
    }
    const std::optional<StatsError> error = openAndPrepare();
    if (error) {
        closeFile();
        fail(*error);
        return false;
    }
    m_open = true;
    return true;
}

std::optional<StatsError> StatsStore::openAndPrepare()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(filePath());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open())
        return classify(db.lastError().nativeErrorCode());

    // SQLite reads the header only at the first statement: a file that is not a database,
    // or one with broken pages, shows here.
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next()) {
        const StatsError error = classify(query.lastError().nativeErrorCode());
        return error == StatsError::WriteFailed ? StatsError::Damaged : error;
    }
    if (query.value(0).toString() != QLatin1String("ok"))
        return StatsError::Damaged;

    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return classify(query.lastError().nativeErrorCode());
    const int stored = query.value(0).toInt();
    if (stored == SchemaVersion)
        return std::nullopt;
    if (stored != 0) // written by another version of the game: leave it as it is
        return StatsError::Damaged;

    // A new file: make the tables in one transaction.
    if (!db.transaction())
        return classify(db.lastError().nativeErrorCode());
    const bool made = query.exec(QString::fromLatin1(CreateDeals)) &&
                      query.exec(QString::fromLatin1(CreateGames)) &&
                      query.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
    if (!made) {
        const StatsError error = classify(query.lastError().nativeErrorCode());
        query.finish();
        db.rollback();
        return error;
    }
    if (!db.commit()) {
        const StatsError error = classify(db.lastError().nativeErrorCode());
        db.rollback();
        return error;
    }
    return std::nullopt;
}

void StatsStore::closeFile()
{
    if (QSqlDatabase::contains(m_connection)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connection);
    }
    m_open = false;
}

bool StatsStore::isScoredDeal(const DealStats& deal)
{
    if (deal.gameId.isEmpty() || deal.dealNumber < 1 || deal.trump < 1 || deal.trump > 4 ||
        deal.dealer < 1 || deal.dealer > 4)
        return false;
    int bids = 0;
    int tricks = 0;
    for (const SeatDealStats& seat : deal.seats) {
        if (!IsStoredBid(seat.bid) || seat.tricks < 0 || seat.tricks > 13)
            return false;
        if (seat.change != BidScore(seat.bid, seat.tricks))
            return false;
        bids += seat.bid;
        tricks += seat.tricks;
    }
    // Bids under 11 in all pass the deal: nothing is played or scored.
    return bids >= 11 && tricks == 13;
}

RecordResult StatsStore::recordDeal(const DealStats& deal)
{
    if (!isScoredDeal(deal))
        return RecordResult::Invalid;
    if (!ensureOpen())
        return RecordResult::Failed;
    QSqlQuery insert(QSqlDatabase::database(m_connection, false));
    insert.prepare(QStringLiteral(
        "INSERT OR IGNORE INTO deals VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?)"));
    insert.addBindValue(deal.gameId);
    insert.addBindValue(deal.dealNumber);
    insert.addBindValue(isoDate(deal.date));
    insert.addBindValue(deal.level);
    insert.addBindValue(deal.trump);
    insert.addBindValue(deal.dealer);
    for (const SeatDealStats& seat : deal.seats) {
        insert.addBindValue(seat.bid);
        insert.addBindValue(seat.tricks);
        insert.addBindValue(seat.change);
        insert.addBindValue(seat.scoreAfter);
    }
    if (!insert.exec()) {
        const QString code = insert.lastError().nativeErrorCode();
        insert = QSqlQuery();
        fail(classify(code));
        return RecordResult::Failed;
    }
    return insert.numRowsAffected() == 1 ? RecordResult::Recorded : RecordResult::Duplicate;
}

RecordResult StatsStore::recordGame(const GameStats& game)
{
    if (game.gameId.isEmpty() || game.winner < 1 || game.winner > 4 || game.deals < 1)
        return RecordResult::Invalid;
    if (!ensureOpen())
        return RecordResult::Failed;
    QSqlQuery insert(QSqlDatabase::database(m_connection, false));
    insert.prepare(QStringLiteral("INSERT OR IGNORE INTO games VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    insert.addBindValue(game.gameId);
    insert.addBindValue(isoDate(game.date));
    insert.addBindValue(game.winner);
    insert.addBindValue(game.deals);
    for (int score : game.finalScores)
        insert.addBindValue(score);
    if (!insert.exec()) {
        const QString code = insert.lastError().nativeErrorCode();
        insert = QSqlQuery();
        fail(classify(code));
        return RecordResult::Failed;
    }
    return insert.numRowsAffected() == 1 ? RecordResult::Recorded : RecordResult::Duplicate;
}

std::optional<StatsSummary> StatsStore::summary(const QString& currentGameId)
{
    if (!ensureOpen())
        return std::nullopt;
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    StatsSummary result;
    QString errorCode;
    bool ok = true;
    {
        QSqlQuery games(db);
        ok = games.exec(QStringLiteral("SELECT won_at, winner FROM games ORDER BY won_at, rowid"));
        int streak = 0;
        while (ok && games.next()) {
            const bool won = playerSideWon(games.value(1).toInt());
            ++result.gamesPlayed;
            result.gamesWon += won ? 1 : 0;
            streak = won ? streak + 1 : 0;
            result.longestWinningStreak = std::max(result.longestWinningStreak, streak);
            result.winRate.push_back(
                {QDateTime::fromString(games.value(0).toString(), Qt::ISODateWithMs),
                 result.gamesPlayed, double(result.gamesWon) / result.gamesPlayed});
        }
        if (!ok)
            errorCode = games.lastError().nativeErrorCode();
    }
    if (ok) {
        QSqlQuery deals(db);
        ok = deals.exec(QStringLiteral("SELECT bid1, tricks1, change1 FROM deals"));
        std::map<int, BidSuccess> bySize;
        long long changes = 0;
        while (ok && deals.next()) {
            const int tricks = TricksOfBid(deals.value(0).toInt());
            BidSuccess& row = bySize[tricks];
            row.tricks = tricks;
            ++row.bids;
            row.made += deals.value(1).toInt() >= tricks ? 1 : 0;
            changes += deals.value(2).toInt();
            ++result.dealsPlayed;
        }
        if (!ok)
            errorCode = deals.lastError().nativeErrorCode();
        for (const auto& [size, row] : bySize)
            result.bidSuccess.push_back(row);
        if (result.dealsPlayed > 0)
            result.averageChange = double(changes) / result.dealsPlayed;
    }
    if (ok && !currentGameId.isEmpty()) {
        QSqlQuery scores(db);
        scores.prepare(QStringLiteral("SELECT score1, score2, score3, score4 FROM deals WHERE "
                                      "game_id = ? ORDER BY deal_number"));
        scores.addBindValue(currentGameId);
        ok = scores.exec();
        while (ok && scores.next())
            result.currentGameScores.push_back({scores.value(0).toInt(), scores.value(1).toInt(),
                                                scores.value(2).toInt(), scores.value(3).toInt()});
        if (!ok)
            errorCode = scores.lastError().nativeErrorCode();
    }
    if (!ok) {
        fail(classify(errorCode));
        return std::nullopt;
    }
    return result;
}

bool StatsStore::reset()
{
    if (m_damaged) {
        // Nothing in a damaged file can be read back: start a new one in its place.
        closeFile();
        QFile::remove(filePath() + QStringLiteral("-journal"));
        if (QFile::exists(filePath()) && !QFile::remove(filePath())) {
            fail(StatsError::WriteFailed);
            return false;
        }
        m_damaged = false;
    }
    if (!ensureOpen())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery clear(db);
    const bool cleared = db.transaction() && clear.exec(QStringLiteral("DELETE FROM deals")) &&
                         clear.exec(QStringLiteral("DELETE FROM games")) && db.commit();
    if (!cleared) {
        const QString code = clear.lastError().isValid() ? clear.lastError().nativeErrorCode()
                                                         : db.lastError().nativeErrorCode();
        clear = QSqlQuery();
        db.rollback();
        fail(classify(code));
        return false;
    }
    return true;
}

QString StatsStore::newGameId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace halbeet
