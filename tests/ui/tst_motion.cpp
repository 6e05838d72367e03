// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting without spinning: the nested event loop of Pause, its busy flag, the time scale,
// abandoning a flow, and what happens when the application quits under a wait.

#include "ui/motion.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <ctime>

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
    void init() { setTimeScale(1.0); }

    void pauseWaitsAtLeastTheTime_data();
    void pauseWaitsAtLeastTheTime();
    void nonPositiveDurationsReturnAtOnce();
    void timeScaleShortensWaits();
    void eventsRunDuringPause();
    void busyOnlyWhileWaiting();
    void nestedWaitsRestoreBusy();
    void stopWaitingFlowsAbandonsEveryWaitInProgress();
    void laterWaitsAreNormalAgain();
    void longPauseBarelyUsesTheCpu();
    void glideStepFromWindowHeight_data();
    void glideStepFromWindowHeight();
    void endingTheProgramStopsEveryFlow();
    // Quitting makes every later exec() return at once, so this one runs last.
    void quittingEndsTheWaitAndAllLaterOnes();
};

void TstMotion::pauseWaitsAtLeastTheTime_data()
{
    QTest::addColumn<int>("ms");
    QTest::newRow("glide step") << 5;
    QTest::newRow("play delay") << 100;
    QTest::newRow("trick pause") << 300;
}

void TstMotion::pauseWaitsAtLeastTheTime()
{
    QFETCH(int, ms);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(Pause(ms));
    const qint64 elapsed = clock.elapsed();
    // A precise timer never fires early; a coarse one could be 5 % short.
    QVERIFY2(elapsed >= ms, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < ms + 150, qPrintable(QString::number(elapsed)));
}

void TstMotion::nonPositiveDurationsReturnAtOnce()
{
    for (int ms : {0, -1, -1000}) {
        QElapsedTimer clock;
        clock.start();
        QVERIFY(Pause(ms));
        QVERIFY(clock.elapsed() < 20);
        QVERIFY(!PauseBusy());
    }
}

void TstMotion::timeScaleShortensWaits()
{
    setTimeScale(0.0);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 100; ++i)
        QVERIFY(Pause(1000));
    QVERIFY2(clock.elapsed() < 100, "zero time scale must not wait");

    setTimeScale(0.25);
    clock.restart();
    QVERIFY(Pause(400));
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 100 && elapsed < 250, qPrintable(QString::number(elapsed)));
}

void TstMotion::eventsRunDuringPause()
{
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(10);
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start();
    QVERIFY(Pause(200));
    ticker.stop();
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
}

void TstMotion::busyOnlyWhileWaiting()
{
    QVERIFY(!PauseBusy());
    bool busyInside = false;
    QTimer::singleShot(20, this, [&busyInside] { busyInside = PauseBusy(); });
    QVERIFY(Pause(100));
    QVERIFY(busyInside);
    QVERIFY(!PauseBusy());
}

void TstMotion::nestedWaitsRestoreBusy()
{
    bool innerResult = false;
    bool busyAfterInner = false;
    QTimer::singleShot(10, this, [&] {
        innerResult = Pause(30);
        busyAfterInner = PauseBusy();
    });
    QVERIFY(Pause(150));
    QVERIFY(innerResult);
    QVERIFY2(busyAfterInner, "the outer wait is still running after the inner one returned");
    QVERIFY(!PauseBusy());
}

void TstMotion::stopWaitingFlowsAbandonsEveryWaitInProgress()
{
    const std::uint64_t generation = flowGeneration();
    bool innerResult = true;
    qint64 innerElapsed = -1;
    QElapsedTimer clock;
    clock.start();
    // A menu command that starts a new game runs inside the inner wait of the old flow.
    QTimer::singleShot(10, this, [&] {
        QTimer::singleShot(20, [] { stopWaitingFlows(); });
        QElapsedTimer inner;
        inner.start();
        innerResult = Pause(2000);
        innerElapsed = inner.elapsed();
    });
    const bool outerResult = Pause(3000);
    const qint64 elapsed = clock.elapsed();
    QVERIFY(!innerResult);
    QVERIFY(!outerResult);
    QVERIFY2(innerElapsed < 300, qPrintable(QString::number(innerElapsed)));
    QVERIFY2(elapsed < 400, qPrintable(QString::number(elapsed)));
    QCOMPARE(flowGeneration(), generation + 1);
    QVERIFY(!PauseBusy());
}

void TstMotion::laterWaitsAreNormalAgain()
{
    QTimer::singleShot(5, [] { stopWaitingFlows(); });
    QVERIFY(!Pause(1000));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(Pause(50));
    QVERIFY(clock.elapsed() >= 50);
    // A stop with no wait in progress touches no later wait either.
    stopWaitingFlows();
    QVERIFY(Pause(10));
}

void TstMotion::longPauseBarelyUsesTheCpu()
{
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(Pause(2000));
    const double wall = clock.elapsed() / 1000.0;
    const double cpu = processCpuSeconds() - cpuBefore;
    qInfo("2 s pause: %.1f ms of CPU over %.3f s (%.2f %% of one core)", cpu * 1000, wall,
          100 * cpu / wall);
    QVERIFY(wall >= 2.0);
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

void TstMotion::endingTheProgramStopsEveryFlow()
{
    // Ending is for good, so it runs in a process of its own: this very test, as a child.
    if (!qEnvironmentVariableIsSet("HALBEET_MOTION_CHILD")) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HALBEET_MOTION_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("endingTheProgramStopsEveryFlow")});
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        return;
    }
    bool innerResult = true;
    QTimer::singleShot(10, this, [&innerResult] {
        QTimer::singleShot(10, [] { endAllFlows(); });
        innerResult = Pause(2000);
    });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!Pause(3000));
    QVERIFY(!innerResult);
    QVERIFY(clock.elapsed() < 500);
    QVERIFY(applicationQuitting());
    // Unlike a new game, nothing waits normally afterwards.
    QVERIFY(!Pause(10));
    setTimeScale(0.0);
    QVERIFY(!Pause(10));
}

void TstMotion::quittingEndsTheWaitAndAllLaterOnes()
{
    QVERIFY(!applicationQuitting());
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(30, [] { QCoreApplication::exit(0); });
    QVERIFY(!Pause(2000));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(applicationQuitting());
    QVERIFY(!PauseBusy());

    // The flow must be able to stop instead of racing on, whatever the time scale.
    clock.restart();
    QVERIFY(!Pause(100));
    setTimeScale(0.0);
    QVERIFY(!Pause(100));
    QVERIFY(clock.elapsed() < 50);
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
