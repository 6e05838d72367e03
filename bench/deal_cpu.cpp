// SPDX-License-Identifier: GPL-3.0-or-later
// deal_cpu [DEALS [SEED [expert]]]
//
// Plays DEALS whole deals (default 3) through the real main window at real speed (time scale 1,
// the fast playing speed of 100 ms) and reports, for each, the CPU time and the wall time from
// the human's bid to the moment the score sheet opens. The human bids the lowest bid that
// keeps the deal from passing and plays the first legal card of his hand by a mouse click on
// it. Before the first bid and at the first card of the first deal it also sits idle for 5 s
// and reports the CPU the waiting program uses.
//
// The dealing is seeded from a fixed sequence starting at SEED (default 1), so a run repeats.
// The settings live in a temporary folder. Run it under Xvfb (or QT_QPA_PLATFORM=offscreen).
// With "expert" the three computer seats play at the Expert level. Throughout, a 5 ms timer
// measures the longest time the window's event loop went without running (max_gap_ms): the
// longest the window could not repaint.
// The last line is machine-readable: "RESULT key=value ...".

#include "bench_clock.h"
#include "core/state.h"
#include "settings/settings.h"
#include "ui/card_sprite.h"
#include "ui/main_window.h"
#include "ui/motion.h"
#include "ui/name_dialog.h"
#include "ui/score_sheet.h"
#include "ui/startup.h"
#include "ui/table.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace halbeet;
using namespace halbeet::bench;

// Percent of one core used while the program only waits for the human.
double idleCpuPercent(int ms)
{
    const double cpu = cpuSeconds();
    const double wall = wallSeconds();
    idle(ms);
    return 100.0 * (cpuSeconds() - cpu) / (wallSeconds() - wall);
}

// The first card of the human's hand that the follow-suit rule allows.
CardSprite* legalCard(MainWindow& window)
{
    const TGameState& s = window.state();
    const int led = s.Trick[1].Suite;
    std::vector<CardSprite*> visible;
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = window.table()->handSprite(1, k);
        if (sprite->isVisible() && sprite->Suite() >= 1)
            visible.push_back(sprite);
    }
    const auto follows = std::find_if(visible.begin(), visible.end(),
                                      [led](CardSprite* sprite) { return sprite->Suite() == led; });
    if (led != 0 && follows != visible.end())
        return *follows;
    return visible.empty() ? nullptr : visible.front();
}

// The lowest bid on offer that brings the four bids to 11 or more.
int choosePassingBid(MainWindow& window)
{
    const TGameState& s = window.state();
    QComboBox* box = window.table()->bidBox();
    const int others = s.Bids[2] + s.Bids[3] + s.Bids[4];
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).toInt() + others >= 11)
            return i;
    }
    return box->count() - 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const int deals = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::uint32_t seed = argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1u;
    const bool expert = argc > 3 && std::string(argv[3]) == "expert";

    QTemporaryDir settingsHome;
    qputenv("APPDATA", settingsHome.path().toUtf8());

    QApplication app(argc, argv);
    prepareApplication(app);
    setTimeScale(1.0);
    if (expert)
        settings::setExpertPlayers(true);

    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 maxGap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        maxGap = std::max(maxGap, sinceTick.restart());
    });

    GameModel game([next = seed]() mutable { return next++; });
    const auto window = createMainWindow(game);
    window->setNameDialogDelay(0);
    window->show();
    if (!waitFor([&] { return window->nameDialog() && window->nameDialog()->isVisible(); }, 10000)) {
        std::fprintf(stderr, "deal_cpu: the name dialog did not appear\n");
        return 1;
    }
    window->nameDialog()->nameField()->setText(QStringLiteral("Bench"));
    window->nameDialog()->acceptName();
    if (game.state().PlayDelay != 100) {
        std::fprintf(stderr, "deal_cpu: playing speed %d, expected the fast 100 ms\n", game.state().PlayDelay);
        return 1;
    }

    // The score sheet opens modally inside the last card's click: note the time and close it.
    double sheetCpu = 0;
    double sheetWall = 0;
    bool sheetShown = false;
    ScoreSheet* sheet = window->scoreSheet();
    struct SheetWatch : QObject {
        std::function<void()> onShow;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Show)
                onShow();
            return false;
        }
    } watch;
    QEventLoop* waitingLoop = nullptr;
    const auto waitForTurn = [&](int timeoutMs) {
        if (sheetShown || window->humanMayPlay())
            return true;
        QEventLoop loop;
        waitingLoop = &loop;
        QTimer::singleShot(timeoutMs, &loop, [&loop] { loop.exit(1); });
        const auto turn = QObject::connect(window.get(), &MainWindow::humansTurn, &loop, [&loop] { loop.quit(); });
        const int timedOut = loop.exec();
        QObject::disconnect(turn);
        waitingLoop = nullptr;
        return timedOut == 0 && (sheetShown || window->humanMayPlay());
    };
    watch.onShow = [&] {
        if (waitingLoop)
            waitingLoop->quit();
        sheetCpu = cpuSeconds();
        sheetWall = wallSeconds();
        sheetShown = true;
        QTimer::singleShot(0, sheet, [sheet] { sheet->okButton()->click(); });
    };
    sheet->installEventFilter(&watch);
    // A game won within the run asks whether to go on: yes.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                yes->click();
        }
    });
    answerer.start(200);

    ticker.start(5);
    sinceTick.restart();
    double idleBid = 0;
    double idleCard = 0;
    bool idleCardMeasured = false;
    std::vector<double> cpuTimes;
    std::vector<double> wallTimes;
    for (int deal = 1; deal <= deals; ++deal) {
        QPushButton* bidButton = window->table()->bidButton();
        if (!waitFor([&] { return bidButton->isVisible() && window->isEnabled(); }, 30000)) {
            std::fprintf(stderr, "deal_cpu: no bid asked in deal %d\n", deal);
            return 1;
        }
        // The ticker would wake the program 200 times a second: not while measuring its rest.
        if (deal == 1) {
            ticker.stop();
            idleBid = idleCpuPercent(5000);
            ticker.start(5);
            sinceTick.restart();
        }

        sheetShown = false;
        double excludedCpu = 0;
        double excludedWall = 0;
        const double cpu0 = cpuSeconds();
        const double wall0 = wallSeconds();
        window->table()->bidBox()->setCurrentIndex(choosePassingBid(*window));
        bidButton->click();

        while (!sheetShown) {
            // Waits, without polling, until the human may play or the deal's sheet is up.
            if (!waitForTurn(60000)) {
                std::fprintf(stderr, "deal_cpu: the human's card was not asked for in deal %d\n", deal);
                return 1;
            }
            if (sheetShown)
                break;
            if (deal == 1 && !idleCardMeasured) {
                idleCardMeasured = true;
                const double cpu = cpuSeconds();
                const double wall = wallSeconds();
                ticker.stop();
                idleCard = idleCpuPercent(5000);
                ticker.start(5);
                sinceTick.restart();
                excludedCpu += cpuSeconds() - cpu;
                excludedWall += wallSeconds() - wall;
            }
            CardSprite* card = legalCard(*window);
            if (!card) {
                std::fprintf(stderr, "deal_cpu: no legal card to click in deal %d\n", deal);
                return 1;
            }
            QTest::mouseClick(card, Qt::LeftButton, {}, card->rect().center());
        }
        const double cpu = sheetCpu - cpu0 - excludedCpu;
        const double wall = sheetWall - wall0 - excludedWall;
        cpuTimes.push_back(cpu);
        wallTimes.push_back(wall);
        std::printf("deal %d: CPU %.3f s, wall %.2f s\n", deal, cpu, wall);
        std::fflush(stdout);
    }

    const double maxCpu = *std::max_element(cpuTimes.begin(), cpuTimes.end());
    double sumCpu = 0;
    double sumWall = 0;
    for (std::size_t i = 0; i < cpuTimes.size(); ++i) {
        sumCpu += cpuTimes[i];
        sumWall += wallTimes[i];
    }
    const double n = static_cast<double>(cpuTimes.size());
    std::printf("RESULT deals=%d level=%s cpu_max_s=%.3f cpu_mean_s=%.3f wall_mean_s=%.2f idle_bid_pct=%.2f "
                "idle_card_pct=%.2f max_gap_ms=%lld\n",
                deals, expert ? "expert" : "classic", maxCpu, sumCpu / n, sumWall / n, idleBid, idleCard,
                static_cast<long long>(maxGap));
    return 0;
}
