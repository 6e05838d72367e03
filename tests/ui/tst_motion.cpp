// SPDX-License-Identifier: GPL-3.0-or-later
// Motion without spinning: a glide's cycles and their time, the time scale, the event loop
// running while cards move, glides dropped at once, and the table's long waits costing no CPU.

#include "core/game.h"
#include "table/computer_seats.h"
#include "table/table_controller.h"
#include "ui/motion.h"
#include "ui/table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <ctime>
#include <memory>

using namespace halbeet;

namespace {

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

} // namespace

class TstMotion : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        setTimeScale(1.0);
        m_table = std::make_unique<Table>();
        m_table->resize(Table::Width, Table::Height);
        m_mover = m_table->moveSprite(2);
        m_target = m_table->trickSlot(2);
        m_mover->setFace({3, 5});
        m_mover->moveLogical(0, 0);
        m_target->moveLogical(0, 190);
    }
    void cleanup() { m_table.reset(); }

    void aGlideTakesOneCycleTimePerStep_data();
    void aGlideTakesOneCycleTimePerStep();
    void withoutTimeAGlideIsOverWithinTheCall();
    void timeScaleShortensGlides();
    void eventsRunWhileACardGlides();
    void stoppedGlidesNeverFinish();
    void theTrickPauseBarelyUsesTheCpu();
    void glideStepFromWindowHeight_data();
    void glideStepFromWindowHeight();

private:
    // Runs one glide of m_mover onto m_target; its wall time in ms, -1 if it never landed.
    qint64 timedGlide(int step)
    {
        bool landed = false;
        QElapsedTimer clock;
        clock.start();
        m_table->glideTo(m_mover, m_target, step, [&landed] { landed = true; });
        if (!QTest::qWaitFor([&] { return landed; }, 10000))
            return -1;
        return clock.elapsed();
    }

    std::unique_ptr<Table> m_table;
    CardSprite* m_mover = nullptr;
    CardSprite* m_target = nullptr;
};

void TstMotion::aGlideTakesOneCycleTimePerStep_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("cycles");
    // 190 logical pixels down.
    QTest::newRow("window step") << 38 << 5;
    QTest::newRow("small step") << 10 << 19;
}

void TstMotion::aGlideTakesOneCycleTimePerStep()
{
    QFETCH(int, step);
    QFETCH(int, cycles);
    const std::uint64_t before = glideCycleCount();
    const qint64 ms = timedGlide(step);
    QVERIFY(ms >= 0);
    QCOMPARE(int(glideCycleCount() - before), cycles);
    // Every cycle waits its time before the card lands; a timer may fire a little early.
    QVERIFY2(ms >= cycles * GlideCycleMs - 1, qPrintable(QString::number(ms)));
    QVERIFY2(ms < cycles * GlideCycleMs + 500, qPrintable(QString::number(ms)));
    QCOMPARE(m_mover->logicalPos(), m_target->logicalPos());
    QCOMPARE(m_target->face(), TCardFace({3, 5}));
}

void TstMotion::withoutTimeAGlideIsOverWithinTheCall()
{
    setTimeScale(0.0);
    bool landed = false;
    m_table->glideTo(m_mover, m_target, 10, [&landed] { landed = true; });
    QVERIFY(landed);
    QVERIFY(!m_table->gliding());
    QVERIFY(!m_table->inputLocked());
}

void TstMotion::timeScaleShortensGlides()
{
    setTimeScale(4.0);
    const qint64 slow = timedGlide(10);
    m_mover->moveLogical(0, 0);
    setTimeScale(0.25);
    const qint64 quick = timedGlide(10);
    QVERIFY(slow >= 19 * 4 * GlideCycleMs - 1);
    QVERIFY2(quick >= 0 && quick < slow, qPrintable(QStringLiteral("%1 ms, then %2 ms").arg(slow).arg(quick)));
}

void TstMotion::eventsRunWhileACardGlides()
{
    bool ranInside = false;
    bool landed = false;
    m_table->glideTo(m_mover, m_target, 1, [&landed] { landed = true; });
    QTimer::singleShot(20, this, [&] { ranInside = m_table->gliding() && m_table->inputLocked(); });
    QTRY_VERIFY_WITH_TIMEOUT(landed, 10000);
    QVERIFY(ranInside);
    QVERIFY(!m_table->inputLocked());
}

void TstMotion::stoppedGlidesNeverFinish()
{
    CardSprite* other = m_table->moveSprite(3);
    other->setFace({1, 1});
    other->moveLogical(400, 0);
    int finished = 0;
    m_table->glideTo(m_mover, m_target, 1, [&finished] { ++finished; });
    m_table->glideOut(other, {400, 390}, {448, 32}, 1, [&finished] { ++finished; });
    QTest::qWait(30);
    QVERIFY(m_table->gliding());
    m_table->stopGlides();
    QVERIFY(!m_table->gliding());
    QVERIFY(!m_table->inputLocked());
    const QPoint stopped = m_mover->logicalPos();
    const QPoint otherStopped = other->logicalPos();
    QTest::qWait(100);
    QCOMPARE(finished, 0);
    QCOMPARE(m_mover->logicalPos(), stopped);
    QCOMPARE(other->logicalPos(), otherStopped);
    QCOMPARE(m_target->Suite(), 0); // no face handed over
}

void TstMotion::theTrickPauseBarelyUsesTheCpu()
{
    // A full trick lies for two seconds; nothing spins meanwhile.
    GameModel game([next = 5u]() mutable { return next++; });
    TableController table(game);
    table.setTimeScale(1.0);
    table.setPlayDelay(0);
    table.setTrickPause(2000);
    for (int seat = 1; seat <= 4; ++seat)
        table.setSeat(seat, std::make_unique<ClassicSeat>(game));
    table.newGame();
    QTRY_VERIFY_WITH_TIMEOUT(game.phase() == Phase::TrickComplete, 10000);
    const std::size_t taken = game.takers().size();
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(game.takers().size() > taken, 5000);
    const double wall = clock.elapsed() / 1000.0;
    const double cpu = processCpuSeconds() - cpuBefore;
    qInfo("trick pause: %.1f ms of CPU over %.3f s (%.2f %% of one core)", cpu * 1000, wall, 100 * cpu / wall);
    QVERIFY(wall >= 1.5);
    QVERIFY2(cpu < 0.05 * wall, qPrintable(QString::number(cpu)));
}

void TstMotion::glideStepFromWindowHeight_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("step");
    QTest::newRow("main window") << 460 << 38;
    QTest::newRow("truncated") << 455 << 37;
    QTest::newRow("tiny window gives 0") << 11 << 2;
    QTest::newRow("no height") << 0 << 2;
    QTest::newRow("nonsense height") << -40 << 2;
}

void TstMotion::glideStepFromWindowHeight()
{
    QFETCH(int, height);
    QFETCH(int, step);
    // Two clock readings in a row lie less than a millisecond apart here, so n is 12.
    QCOMPARE(ComputeGlideStep(height), step);
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstMotion test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_motion.moc"
