// SPDX-License-Identifier: GPL-3.0-or-later
// scale_bench: the table full screen. Reports the CPU time per frame of glides across the
// table, the time from the last resize event of a drag to the table painted with cards
// rendered for the new size, and the resident memory with a deal on the full-screen table.
// Run it under an X server of the size to measure (bench/measure.sh uses 2560 x 1440). Without
// a window manager full screen is not granted; the window then takes the screen's geometry.
// The last line is machine-readable: "RESULT key=value ...".

#include "bench_clock.h"
#include "ui/card_sprite.h"
#include "ui/main_window.h"
#include "ui/motion.h"
#include "ui/name_dialog.h"
#include "ui/startup.h"
#include "ui/table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using namespace halbeet;
using namespace halbeet::bench;

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// Notes the time of every resize event of the table.
struct ResizeWatch : QObject {
    QElapsedTimer clock;
    qint64 lastResize = -1;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            lastResize = clock.elapsed();
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir settingsHome;
    qputenv("APPDATA", settingsHome.path().toUtf8());

    QApplication app(argc, argv);
    prepareApplication(app);
    setTimeScale(1.0);

    GameModel game([next = 1u]() mutable { return next++; });
    const auto window = createMainWindow(game);
    window->setNameDialogDelay(0);
    window->showFullScreen();
    const QRect screen = window->screen()->geometry();
    if (!waitFor([&] { return window->isFullScreen() && window->size() == screen.size(); }, 1500)) {
        std::fprintf(stderr, "scale_bench: no full screen granted; taking the screen's geometry\n");
        window->setGeometry(screen);
    }
    if (!waitFor([&] { return window->nameDialog() && window->nameDialog()->isVisible(); },
                 10000)) {
        std::fprintf(stderr, "scale_bench: the name dialog did not appear\n");
        return 1;
    }
    window->nameDialog()->nameField()->setText(QStringLiteral("Bench"));
    window->nameDialog()->acceptName();
    Table* table = window->table();
    idle(1500);
    std::fprintf(stderr, "window %dx%d, table %dx%d at %.2fx\n", window->width(), window->height(),
                 table->width(), table->height(), table->scaleFactor());
    const double rss = residentMegabytes();
    const qreal fullScale = table->scaleFactor();

    // Glides of a face-up card from each computer seat to the middle and back out, as in play.
    CardSprite* mover = table->moveSprite(2);
    mover->setFace({4, 12});
    const int step = window->glideStep();
    const double cpu0 = cpuSeconds();
    const std::uint64_t frames0 = glideCycleCount();
    // The benchmark waits for each glide in a loop of its own; the game never does.
    const auto untilOver = [](const std::function<void(std::function<void()>)>& start) {
        QEventLoop loop;
        bool over = false;
        start([&] {
            over = true;
            loop.quit();
        });
        if (!over)
            loop.exec();
    };
    for (int round = 0; round < 10; ++round) {
        for (int seat = 2; seat <= 4; ++seat) {
            mover->moveLogical(Table::cutHome(seat));
            untilOver([&](std::function<void()> over) { table->glideTo(mover, table->trickSlot(1), step, over); });
            untilOver([&](std::function<void()> over) {
                table->glideOut(mover, {Table::Width, mover->logicalY()}, {448, 32}, step, over);
            });
        }
    }
    const double glideCpu = cpuSeconds() - cpu0;
    const auto frames = static_cast<double>(glideCycleCount() - frames0);
    const double perFrame = 1000.0 * glideCpu / std::max(1.0, frames);

    // A drag: twenty sizes 15 ms apart, then the time until the table has rendered and painted.
    window->showNormal();
    idle(300);
    ResizeWatch watch;
    watch.clock.start();
    table->installEventFilter(&watch);
    qint64 renderedAt = -1;
    QObject::connect(table, &Table::rendered, [&] {
        window->repaint(); // the table painted with the new pictures
        renderedAt = watch.clock.elapsed();
    });
    std::vector<double> settles;
    for (int drag = 0; drag < 5; ++drag) {
        for (int i = 0; i < 20; ++i) {
            window->resize(screen.width() * (60 + i + drag) / 100,
                           screen.height() * (60 + i + drag) / 100);
            idle(15);
        }
        // The window system may deliver the last sizes late: wait for the rendering that
        // follows the last resize event, whenever it came.
        const auto renderedAfterDrag = [&] {
            return !table->renderPending() && renderedAt >= watch.lastResize;
        };
        if (!waitFor(renderedAfterDrag, 2000)) {
            std::fprintf(stderr, "scale_bench: the table was never rendered after a resize\n");
            return 1;
        }
        settles.push_back(static_cast<double>(renderedAt - watch.lastResize));
    }
    std::sort(settles.begin(), settles.end());

    std::printf("RESULT glide_frames=%.0f glide_cpu_ms_per_frame=%.2f settle_ms_median=%.0f "
                "settle_ms_max=%.0f "
                "rss_mb=%.1f scale=%.2f\n",
                frames, perFrame, settles[settles.size() / 2], settles.back(), rss, fullScale);
    return 0;
}
