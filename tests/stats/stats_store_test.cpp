// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics store: one row per scored deal, refused duplicates and passed deals, the
// window's figures, and damaged, locked, read-only and full databases survived.

#include "stats/stats_store.h"

#include "print_qt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

using namespace halbeet;

namespace {

// A scored deal of game `game`: bids are stored bids of seats 1..4, tricks the tricks won.
DealStats makeDeal(const QString& game, int number, std::array<int, 4> bids,
                   std::array<int, 4> tricks, std::array<int, 4> scoresBefore = {})
{
    DealStats deal;
    deal.gameId = game;
    deal.dealNumber = number;
    deal.date = QDateTime(QDate(2026, 12, 1), QTime(10, number));
    deal.level = QStringLiteral("CLASSIC");
    deal.trump = 1 + number % 4;
    deal.dealer = 1 + number % 4;
    for (int i = 0; i < 4; ++i) {
        SeatDealStats& seat = deal.seats[std::size_t(i)];
        seat.bid = bids[std::size_t(i)];
        seat.tricks = tricks[std::size_t(i)];
        const int needed = seat.bid >= 14 ? seat.bid / 2 : seat.bid;
        seat.change = seat.tricks >= needed ? seat.bid : -seat.bid;
        seat.scoreAfter = scoresBefore[std::size_t(i)] + seat.change;
    }
    return deal;
}

// Bids 3, 4, 3, 2 (12) with tricks 3, 5, 2, 3: seats 1, 2 and 4 make theirs, seat 3 fails.
DealStats plainDeal(const QString& game, int number, std::array<int, 4> before = {})
{
    return makeDeal(game, number, {3, 4, 3, 2}, {3, 5, 2, 3}, before);
}

GameStats makeGame(const QString& id, int winner, int minute)
{
    GameStats game;
    game.gameId = id;
    game.date = QDateTime(QDate(2026, 12, 2), QTime(9, minute));
    game.winner = winner;
    game.deals = 6;
    game.finalScores = {41, 12, 20, -3};
    return game;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int rowCount(const QString& path, const QString& table)
{
    int count = -1;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + table) && q.next())
                count = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return count;
}

class StatsStoreTest : public ::testing::Test {
  protected:
    QString folder() const { return m_dir.path() + QStringLiteral("/Dovelarks/Halbeet"); }

    // A store that counts the reports it makes.
    std::unique_ptr<StatsStore> makeStore()
    {
        auto store = std::make_unique<StatsStore>(folder());
        store->setErrorHandler([this](StatsError e) { m_reports.push_back(e); });
        return store;
    }

    QTemporaryDir m_dir;
    std::vector<StatsError> m_reports;
};

TEST_F(StatsStoreTest, NothingIsOpenedOrCreatedUntilFirstUse)
{
    auto store = makeStore();
    EXPECT_FALSE(store->isOpen());
    EXPECT_FALSE(QFileInfo::exists(folder()));
    // A passed deal is turned away before the database is even opened.
    EXPECT_EQ(store->recordDeal(makeDeal("g", 1, {2, 2, 3, 3}, {3, 3, 3, 4})),
              RecordResult::Invalid);
    EXPECT_FALSE(QFileInfo::exists(store->filePath()));
    EXPECT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Recorded);
    EXPECT_TRUE(store->isOpen());
    EXPECT_TRUE(QFileInfo::exists(store->filePath()));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StatsStoreTest, DefaultFolderIsUnderTheDataLocation)
{
    EXPECT_TRUE(StatsStore::defaultFolder().endsWith(QStringLiteral("/Dovelarks/Halbeet")));
}

TEST_F(StatsStoreTest, OnlyScoredDealsAreRecorded)
{
    struct Case {
        const char* what;
        DealStats deal;
    };
    DealStats wrongChange = plainDeal("g", 1);
    wrongChange.seats[2].change = 3;
    DealStats noGame = plainDeal("", 1);
    DealStats noNumber = plainDeal("g", 0);
    DealStats badTrump = plainDeal("g", 1);
    badTrump.trump = 0;
    const std::vector<Case> cases = {
        {"passed: bids add up to 10", makeDeal("g", 1, {2, 3, 2, 3}, {3, 3, 3, 4})},
        {"passed: bids add up to 8", makeDeal("g", 1, {2, 2, 2, 2}, {4, 3, 3, 3})},
        {"twelve tricks", makeDeal("g", 1, {3, 4, 3, 2}, {3, 4, 2, 3})},
        {"an undoubled high bid", makeDeal("g", 1, {7, 4, 3, 2}, {7, 2, 2, 2})},
        {"a bid of one", makeDeal("g", 1, {1, 4, 4, 4}, {1, 4, 4, 4})},
        {"a change that does not match the tricks", wrongChange},
        {"no game id", noGame},
        {"deal number 0", noNumber},
        {"no trump", badTrump},
    };
    auto store = makeStore();
    for (const Case& c : cases)
        EXPECT_EQ(store->recordDeal(c.deal), RecordResult::Invalid) << c.what;

    // The smallest scored deal (11) and a doubled bid go in.
    EXPECT_EQ(store->recordDeal(makeDeal("g", 1, {2, 3, 3, 3}, {2, 4, 3, 4})),
              RecordResult::Recorded);
    EXPECT_EQ(store->recordDeal(makeDeal("g", 2, {14, 2, 2, 2}, {8, 2, 1, 2})),
              RecordResult::Recorded);
    EXPECT_EQ(rowCount(store->filePath(), "deals"), 2);
}

TEST_F(StatsStoreTest, EachDealIsWrittenOnce)
{
    auto store = makeStore();
    EXPECT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Recorded);
    EXPECT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Duplicate);
    // The key is the game and the deal number: different figures under it are refused too.
    EXPECT_EQ(store->recordDeal(makeDeal("g", 1, {4, 4, 4, 4}, {4, 4, 4, 1})),
              RecordResult::Duplicate);
    EXPECT_EQ(store->recordDeal(plainDeal("other", 1)), RecordResult::Recorded);
    EXPECT_EQ(rowCount(store->filePath(), "deals"), 2);
    const auto s = store->summary(QStringLiteral("g"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->dealsPlayed, 2);
    ASSERT_EQ(s->currentGameScores.size(), 1u);
    EXPECT_EQ(s->currentGameScores[0], (std::array<int, 4>{3, 4, -3, 2}));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(StatsStoreTest, ResumedGameContinuesWithoutDoubles)
{
    std::array<int, 4> scores{};
    {
        auto first = makeStore();
        for (int n = 1; n <= 2; ++n) {
            const DealStats d = plainDeal("saved", n, scores);
            for (int i = 0; i < 4; ++i)
                scores[std::size_t(i)] = d.seats[std::size_t(i)].scoreAfter;
            ASSERT_EQ(first->recordDeal(d), RecordResult::Recorded);
        }
    }
    // The next run resumes the saved game: the last deal reported again is refused, the
    // game goes on under the same id.
    auto second = makeStore();
    EXPECT_EQ(second->recordDeal(plainDeal("saved", 2, {3, 4, -3, 2})), RecordResult::Duplicate);
    EXPECT_EQ(second->recordDeal(plainDeal("saved", 3, scores)), RecordResult::Recorded);
    const auto s = second->summary(QStringLiteral("saved"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->dealsPlayed, 3);
    ASSERT_EQ(s->currentGameScores.size(), 3u);
    EXPECT_EQ(s->currentGameScores[2], (std::array<int, 4>{9, 12, -9, 6}));
}

TEST_F(StatsStoreTest, NewGameInMidDealStartsAFreshChartAndCountsNoGame)
{
    auto store = makeStore();
    const QString abandoned = StatsStore::newGameId();
    ASSERT_EQ(store->recordDeal(plainDeal(abandoned, 1)), RecordResult::Recorded);
    // New Game during the second deal: that deal was never scored, so nothing is sent.
    const QString fresh = StatsStore::newGameId();
    EXPECT_NE(fresh, abandoned);
    ASSERT_EQ(store->recordDeal(plainDeal(fresh, 1)), RecordResult::Recorded);
    const auto s = store->summary(fresh);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->gamesPlayed, 0);
    EXPECT_EQ(s->dealsPlayed, 2);
    EXPECT_EQ(s->currentGameScores.size(), 1u);
}

TEST_F(StatsStoreTest, WonGameIsCountedOnce)
{
    auto store = makeStore();
    EXPECT_EQ(store->recordGame(makeGame("g1", 3, 0)), RecordResult::Recorded);
    EXPECT_EQ(store->recordGame(makeGame("g1", 3, 5)), RecordResult::Duplicate);
    GameStats noWinner = makeGame("g2", 0, 1);
    EXPECT_EQ(store->recordGame(noWinner), RecordResult::Invalid);
    const auto s = store->summary({});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->gamesPlayed, 1);
    EXPECT_EQ(s->gamesWon, 1);
}

TEST_F(StatsStoreTest, SummaryFigures)
{
    auto store = makeStore();
    // Won by seats: W W L W W W L (the player's side is seats 1 and 3), stored out of order.
    const std::array<int, 7> winners = {1, 3, 2, 1, 1, 3, 4};
    for (int i = 6; i >= 0; --i)
        ASSERT_EQ(store->recordGame(
                      makeGame(QStringLiteral("game%1").arg(i), winners[std::size_t(i)], i)),
                  RecordResult::Recorded);
    // The player bids 3 (made), 3 (failed), 7 = 14 (made), 2 (made).
    ASSERT_EQ(store->recordDeal(makeDeal("a", 1, {3, 4, 3, 2}, {3, 5, 2, 3})),
              RecordResult::Recorded);
    ASSERT_EQ(store->recordDeal(makeDeal("a", 2, {3, 4, 3, 2}, {2, 5, 3, 3})),
              RecordResult::Recorded);
    ASSERT_EQ(store->recordDeal(makeDeal("a", 3, {14, 2, 2, 2}, {8, 2, 1, 2})),
              RecordResult::Recorded);
    ASSERT_EQ(store->recordDeal(makeDeal("a", 4, {2, 4, 3, 2}, {3, 4, 3, 3})),
              RecordResult::Recorded);

    const auto s = store->summary(QStringLiteral("a"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->gamesPlayed, 7);
    EXPECT_EQ(s->gamesWon, 5);
    EXPECT_EQ(s->longestWinningStreak, 3);
    ASSERT_EQ(s->winRate.size(), 7u);
    EXPECT_DOUBLE_EQ(s->winRate[0].rate, 1.0);
    EXPECT_DOUBLE_EQ(s->winRate[2].rate, 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(s->winRate[6].rate, 5.0 / 7.0);
    EXPECT_EQ(s->winRate[6].games, 7);
    EXPECT_TRUE(s->winRate[0].date < s->winRate[6].date);

    EXPECT_EQ(s->dealsPlayed, 4);
    EXPECT_DOUBLE_EQ(s->averageChange, (3 - 3 + 14 + 2) / 4.0);
    ASSERT_EQ(s->bidSuccess.size(), 3u);
    EXPECT_EQ(s->bidSuccess[0].tricks, 2);
    EXPECT_EQ(s->bidSuccess[0].made, 1);
    EXPECT_EQ(s->bidSuccess[1].tricks, 3);
    EXPECT_EQ(s->bidSuccess[1].bids, 2);
    EXPECT_EQ(s->bidSuccess[1].made, 1);
    EXPECT_EQ(s->bidSuccess[2].tricks, 7);
    EXPECT_EQ(s->bidSuccess[2].made, 1);
}

TEST_F(StatsStoreTest, ResetForgetsEverything)
{
    auto store = makeStore();
    ASSERT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Recorded);
    ASSERT_EQ(store->recordGame(makeGame("g", 1, 1)), RecordResult::Recorded);
    EXPECT_TRUE(store->reset());
    const auto s = store->summary(QStringLiteral("g"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->gamesPlayed, 0);
    EXPECT_EQ(s->dealsPlayed, 0);
    EXPECT_TRUE(s->currentGameScores.empty());
    // The same deal can be recorded again after a reset.
    EXPECT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Recorded);
}

// The neighbours of the database in the same folder: the settings file and a saved game.
void writeNeighbours(const QString& folder)
{
    QDir().mkpath(folder);
    for (const char* name : {"Halbeet.ini", "saved-game.json"}) {
        QFile f(folder + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("keep me: ") + name);
    }
}

void expectNeighboursUntouched(const QString& folder)
{
    for (const char* name : {"Halbeet.ini", "saved-game.json"})
        EXPECT_EQ(readAll(folder + QLatin1Char('/') + QLatin1String(name)),
                  QByteArray("keep me: ") + name);
}

TEST_F(StatsStoreTest, DamagedFileIsReportedOnceAndLeftAloneUntilReset)
{
    struct Case {
        const char* what;
        QByteArray contents;
    };
    QByteArray header = QByteArray("SQLite format 3") + '\0';
    const std::vector<Case> cases = {
        {"text", QByteArray("not a database at all\n").repeated(200)},
        {"a torn header", header + QByteArray(4000, '\xff')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_reports.clear();
        QDir(folder()).removeRecursively();
        writeNeighbours(folder());
        auto store = makeStore();
        {
            QFile f(store->filePath());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.contents);
        }
        EXPECT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Failed);
        EXPECT_EQ(store->recordDeal(plainDeal("g", 2)), RecordResult::Failed);
        EXPECT_FALSE(store->summary(QStringLiteral("g")));
        ASSERT_EQ(m_reports.size(), 1u);
        EXPECT_EQ(m_reports[0], StatsError::Damaged);
        EXPECT_EQ(readAll(store->filePath()), c.contents);
        expectNeighboursUntouched(folder());

        // Reset puts a new database in its place; nothing else in the folder changes.
        EXPECT_TRUE(store->reset());
        EXPECT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Recorded);
        EXPECT_EQ(m_reports.size(), 1u);
        expectNeighboursUntouched(folder());
    }
}

TEST_F(StatsStoreTest, CorruptedPagesAreFound)
{
    QString path;
    {
        auto store = makeStore();
        for (int n = 1; n <= 60; ++n)
            ASSERT_EQ(store->recordDeal(plainDeal("g", n)), RecordResult::Recorded);
        path = store->filePath();
    }
    QByteArray bytes = readAll(path);
    ASSERT_GT(bytes.size(), 3 * 4096);
    // Scribble over the second page, where the tables start.
    for (int i = 4096; i < 2 * 4096; ++i)
        bytes[i] = char(i * 7);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    auto store = makeStore();
    EXPECT_EQ(store->recordDeal(plainDeal("g", 61)), RecordResult::Failed);
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0], StatsError::Damaged);
}

TEST_F(StatsStoreTest, DatabaseHeldByAnotherCopyIsReportedOnceAndUsedAgainLater)
{
    auto store = makeStore();
    ASSERT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Recorded);
    {
        // Another copy of the game in the middle of a long write.
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(store->filePath());
        ASSERT_TRUE(other.open());
        QSqlQuery hold(other);
        ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")))
            << hold.lastError().text().toStdString();

        EXPECT_EQ(store->recordDeal(plainDeal("g", 2)), RecordResult::Failed);
        EXPECT_FALSE(store->summary(QStringLiteral("g")));
        ASSERT_EQ(m_reports.size(), 1u);
        EXPECT_EQ(m_reports[0], StatsError::Locked);

        ASSERT_TRUE(hold.exec(QStringLiteral("COMMIT")));
        hold = QSqlQuery();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    EXPECT_EQ(store->recordDeal(plainDeal("g", 2)), RecordResult::Recorded);
    EXPECT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(rowCount(store->filePath(), "deals"), 2);
}

TEST_F(StatsStoreTest, UnwritablePlacesAreReported)
{
    struct Case {
        const char* what;
        std::function<void(const QString& folder, const QString& file)> prepare;
    };
    const std::vector<Case> cases = {
        {"a file where the folder should be",
         [](const QString& folder, const QString&) {
             QDir().mkpath(QFileInfo(folder).path());
             QFile f(folder);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         }},
        {"a folder where the database should be",
         [](const QString&, const QString& file) { ASSERT_TRUE(QDir().mkpath(file)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_reports.clear();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        auto store = makeStore();
        c.prepare(folder(), store->filePath());
        EXPECT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Failed);
        EXPECT_EQ(store->recordGame(makeGame("g", 1, 1)), RecordResult::Failed);
        ASSERT_EQ(m_reports.size(), 1u);
        EXPECT_EQ(m_reports[0], StatsError::WriteFailed);
    }
}

TEST_F(StatsStoreTest, ReadOnlyDatabaseKeepsWhatItHas)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes through file modes";
    auto first = makeStore();
    ASSERT_EQ(first->recordDeal(plainDeal("g", 1)), RecordResult::Recorded);
    first.reset();
    ASSERT_TRUE(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner));
    QFile::setPermissions(folder() + "/statistics.sqlite", QFile::ReadOwner);
    auto store = makeStore();
    EXPECT_EQ(store->recordDeal(plainDeal("g", 2)), RecordResult::Failed);
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0], StatsError::WriteFailed);
    const auto s = store->summary(QStringLiteral("g"));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->dealsPlayed, 1);
    QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(StatsStoreTest, FullDiskLosesNothingAlreadyStored)
{
    auto store = makeStore();
    ASSERT_EQ(store->recordDeal(plainDeal("g", 1)), RecordResult::Recorded);
    const qint64 size = QFileInfo(store->filePath()).size();

    // Files of this process cannot grow past their present size plus two pages.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = rlim_t(size + 2 * 4096);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    int recorded = 1;
    RecordResult result = RecordResult::Recorded;
    for (int n = 2; n < 2000 && result == RecordResult::Recorded; ++n) {
        result = store->recordDeal(plainDeal("g", n));
        recorded += result == RecordResult::Recorded ? 1 : 0;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, RecordResult::Failed);
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0], StatsError::WriteFailed);
    store.reset();
    EXPECT_EQ(rowCount(folder() + "/statistics.sqlite", "deals"), recorded);
    auto again = makeStore();
    EXPECT_EQ(again->recordDeal(plainDeal("g", recorded + 1)), RecordResult::Recorded);
}

} // namespace

int main(int argc, char** argv)
{
    // Qt loads its SQL drivers as plugins, which needs an application object.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
