// SPDX-License-Identifier: GPL-3.0-or-later
// save_cost [SAVES [FOLDER]]
//
// What keeping the saved game current costs the player after each trick: the game is taken
// to the middle of a deal, then saved SAVES times (default 200) as the window saves it, the
// text made by the model and written through the safe writer (temporary file, flush, rename).
// The data folder is FOLDER (default a temporary folder under /tmp), so a run can be pointed
// at the disk the user's home is on. Reports the median and the 99th percentile of the text
// alone and of the whole save, and the file's size.
// The last line is machine-readable: "RESULT key=value ...".

#include "bench_clock.h"
#include "core/game.h"
#include "settings/saved_game.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int saves = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    QTemporaryDir temporary(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/save_cost-XXXXXX")
                                     : QDir::tempPath() + QStringLiteral("/save_cost-XXXXXX"));
    qputenv("XDG_DATA_HOME", temporary.path().toUtf8());

    // Six tricks into a deal: the save is about as long as it gets mid-deal.
    halbeet::GameModel game([] { return 7u; });
    game.startDeal();
    while (game.phase() == halbeet::Phase::Bidding)
        game.bid(6);
    while (game.takers().size() < 6) {
        if (game.phase() == halbeet::Phase::TrickComplete)
            game.takeTrick();
        else
            game.play(game.legalCards().front());
    }

    std::vector<double> text, whole;
    std::size_t size = 0;
    for (int i = 0; i < saves; ++i) {
        const double t0 = halbeet::bench::wallSeconds();
        const std::string saved = game.save();
        const double t1 = halbeet::bench::wallSeconds();
        if (!halbeet::savedgame::write(saved)) {
            std::fprintf(stderr, "save_cost: cannot write to %s\n", qPrintable(halbeet::savedgame::path()));
            return 1;
        }
        const double t2 = halbeet::bench::wallSeconds();
        text.push_back((t1 - t0) * 1e3);
        whole.push_back((t2 - t0) * 1e3);
        size = saved.size();
    }
    std::printf("%d saves of %zu bytes to %s\n", saves, size, qPrintable(halbeet::savedgame::path()));
    std::printf("text only:  median %.3f ms, p99 %.3f ms\n", percentile(text, 0.5), percentile(text, 0.99));
    std::printf("whole save: median %.3f ms, p99 %.3f ms\n", percentile(whole, 0.5), percentile(whole, 0.99));
    std::printf("RESULT saves=%d bytes=%zu text_median_ms=%.3f save_median_ms=%.3f save_p99_ms=%.3f\n", saves,
                size, percentile(text, 0.5), percentile(whole, 0.5), percentile(whole, 0.99));
    return 0;
}
