// SPDX-License-Identifier: GPL-3.0-or-later
// The run's statistics: game ids and deal numbers, the once-a-run error notice, and the
// Statistics window loaded from its module.

#include "ui/statistics.h"

#include "stats_window/statistics_view.h"
#include "ui/language.h"
#include "ui/message_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHash>
#include <QLibrary>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace halbeet {

namespace {

QString& moduleDirectoryOverride()
{
    static QString folder;
    return folder;
}

} // namespace

Statistics::Statistics(QString folder) : m_store(std::move(folder))
{
    m_store.setErrorHandler([this](StatsError error) { report(error); });
}

Statistics::~Statistics() = default;

void Statistics::report(StatsError error) const
{
    const StatisticsTexts& t = texts().statistics;
    QString text;
    switch (error) {
    case StatsError::Damaged:
        text = t.errorDamaged.arg(QDir::toNativeSeparators(m_store.filePath()));
        break;
    case StatsError::Locked:
        text = t.errorLocked;
        break;
    case StatsError::WriteFailed:
        text = t.errorWriteFailed.arg(QDir::toNativeSeparators(m_store.filePath()));
        break;
    case StatsError::Unavailable:
        text = t.errorUnavailable;
        break;
    }
    // Shown once the caller has returned: the flow that scored the deal goes on untouched.
    QTimer::singleShot(0, qApp, [text] {
        LangMessageDlg(text, DialogType::Warning, MsgButton::OK, QApplication::activeWindow());
    });
}

QString Statistics::startGame()
{
    m_gameId = StatsStore::newGameId();
    m_scoredDeals = 0;
    return m_gameId;
}

void Statistics::resumeGame(const QString& gameId, int scoredDeals)
{
    m_gameId = gameId;
    m_scoredDeals = std::max(0, scoredDeals);
}

RecordResult Statistics::dealScored(DealStats deal)
{
    if (m_gameId.isEmpty())
        startGame();
    if (deal.gameId.isEmpty())
        deal.gameId = m_gameId;
    if (deal.dealNumber == 0)
        deal.dealNumber = m_scoredDeals + 1;
    if (!deal.date.isValid())
        deal.date = QDateTime::currentDateTimeUtc();
    const RecordResult result = m_store.recordDeal(deal);
    // A deal the database could not take still counts in the game, so the numbers of the
    // later deals stay the deal numbers of the score sheet.
    if (result != RecordResult::Invalid && deal.gameId == m_gameId)
        m_scoredDeals = std::max(m_scoredDeals, deal.dealNumber);
    return result;
}

RecordResult Statistics::gameWon(GameStats game)
{
    if (game.gameId.isEmpty())
        game.gameId = m_gameId;
    if (game.deals == 0)
        game.deals = m_scoredDeals;
    if (!game.date.isValid())
        game.date = QDateTime::currentDateTimeUtc();
    return m_store.recordGame(game);
}

void Statistics::setModuleDirectory(const QString& folder)
{
    moduleDirectoryOverride() = folder;
}

QString Statistics::moduleDirectory()
{
    if (!moduleDirectoryOverride().isEmpty())
        return moduleDirectoryOverride();
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../" HALBEET_MODULE_DIR));
}

void Statistics::showWindow(QWidget* parent, const std::array<QString, 4>& names)
{
    const StatisticsTexts& t = texts().statistics;
    // Loaded at the first opening and kept for the run: Qt Charts cannot be unloaded safely.
    static QHash<QString, CreateStatisticsViewFunction> loaded;
    const QString path = moduleDirectory() + QLatin1Char('/') + QLatin1String(StatisticsModuleName);
    CreateStatisticsViewFunction create = loaded.value(path);
    if (!create) {
        QLibrary module(path);
        create = reinterpret_cast<CreateStatisticsViewFunction>(
            module.resolve(CreateStatisticsViewSymbol));
        if (!create) {
            LangMessageDlg(t.windowMissing.arg(module.errorString()), DialogType::Error,
                           MsgButton::OK, parent);
            return;
        }
        loaded.insert(path, create);
    }

    StatisticsViewSetup setup;
    setup.texts = t;
    setup.direction = texts().direction;
    setup.names = names;
    setup.figure = numberText;
    setup.parent = parent;
    StatisticsView* view = nullptr;
    auto refresh = [this, &view, &t] {
        if (const auto summary = m_store.summary(m_gameId))
            view->showSummary(*summary);
        else
            view->showUnavailable(t.unavailable);
    };
    setup.onReset = [this, &view, &refresh, &t] {
        if (LangMessageDlg(t.resetQuestion, DialogType::Confirmation,
                           MsgButton::Yes | MsgButton::No, view->dialog()) != MsgResult::Yes)
            return;
        m_store.reset();
        refresh();
    };
    view = create(setup);
    QPointer<QDialog> window = view->dialog();
    refresh();
    window->exec();
    delete window.data();
}

} // namespace halbeet
