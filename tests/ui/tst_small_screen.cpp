// SPDX-License-Identifier: GPL-3.0-or-later
// Every window on a small screen: a 1920 x 1080 screen at scale factor 2 leaves 960 x 540
// logical pixels, less than the Statistics and help windows ask for. Each window, and each
// of its buttons, must lie inside the screen's available area, in both languages. Also where
// the fitting puts a window of a given size and place.

#include "ui/about.h"
#include "ui/help_window.h"
#include "ui/last_trick.h"
#include "ui/options_dialog.h"
#include "ui/screen_fit.h"
#include "ui/startup.h"
#include "ui/statistics.h"

#include "test_support.h"

#include <QChartView>
#include <QLegend>
#include <QScreen>
#include <QTemporaryDir>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

QRect frameOnScreen(const QWidget* window) { return window->frameGeometry(); }

// What of the window lies outside the available area: the frame, or a visible button.
QString outside(const QWidget* window)
{
    const QRect available = window->screen()->availableGeometry();
    QString problems;
    const QRect frame = frameOnScreen(window);
    if (!available.contains(frame))
        problems += QStringLiteral("%1 at %2,%3 %4x%5 outside %6x%7; ")
                        .arg(window->objectName().isEmpty()
                                 ? QString::fromLatin1(window->metaObject()->className())
                                 : window->objectName())
                        .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                        .arg(available.width()).arg(available.height());
    const QRect inner(window->mapToGlobal(QPoint()), window->size());
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
        if (!button->isVisibleTo(window))
            continue;
        const QRect at(button->mapToGlobal(QPoint()), button->size());
        if (!inner.contains(at) || !available.contains(at))
            problems += QStringLiteral("button \"%1\" cut off; ").arg(button->text());
    }
    return problems;
}

// Shows a non-modal window, reads what lies outside, hides it again.
QString shownOutside(QWidget* window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return QStringLiteral("%1 never shown; ").arg(window->metaObject()->className());
    QTest::qWait(20);
    const QString problems = outside(window);
    window->hide();
    return problems;
}

} // namespace

class TstSmallScreen : public QObject {
    Q_OBJECT

  private slots:
    void screenIsSmall();
    void everyWindowFits_data();
    void everyWindowFits();
    void fittedGeometry_data();
    void fittedGeometry();
};

void TstSmallScreen::screenIsSmall()
{
    // The premise of the tests below: what a 1920 x 1080 screen at scale factor 2 leaves.
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(960, 540));
}

void TstSmallScreen::everyWindowFits_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("English") << "EN";
    QTest::newRow("Arabic") << "AR";
}

void TstSmallScreen::everyWindowFits()
{
    QFETCH(QString, lang);
    GameWindow::Options options;
    options.language = lang;
    GameWindow game(options);
    QVERIFY(game.start().isEmpty());
    MainWindow& window = game.window();
    QString problems = outside(&window);

    problems += shownOutside(window.nameDialog());
    problems += shownOutside(window.scoreSheet());
    problems += shownOutside(window.optionsDialog());
    problems += shownOutside(window.lastTrickWindow());
    problems += shownOutside(window.aboutBox());
    HelpWindow help(QStringLiteral(HALBEET_HELP_DIR "/") + lang.toLower(), &window);
    problems += shownOutside(&help);

    // The Statistics window, with a game in it so both charts and the legend are drawn.
    Statistics::setModuleDirectory(QStringLiteral(HALBEET_STATISTICS_MODULE_DIR));
    QTemporaryDir data;
    Statistics statistics(data.path());
    statistics.startGame();
    DealStats deal;
    deal.level = QStringLiteral("CLASSIC");
    deal.trump = 1;
    deal.dealer = 4;
    deal.seats = {{{3, 3, 3, 3}, {4, 5, 4, 4}, {3, 2, -3, -3}, {3, 3, 3, 3}}};
    QCOMPARE(statistics.dealScored(deal), RecordResult::Recorded);
    bool legendShown = false;
    auto done = whenModal([&](QWidget* modal) {
        QTest::qWait(20);
        problems += outside(modal);
        auto* chart = modal->findChild<QChartView*>(QStringLiteral("scoreChart"));
        legendShown = chart && chart->isVisible() && chart->chart()->legend()->isVisible() &&
                      chart->chart()->legend()->geometry().height() > 0;
        modal->close();
    });
    statistics.showWindow(&window, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                    QStringLiteral("D")});
    QVERIFY(*done);
    QVERIFY(legendShown);

    // A question with a long text.
    done = whenModal([&](QWidget* modal) {
        QTest::qWait(20);
        problems += outside(modal);
        pressMessageButton(modal, MsgButton::OK);
    });
    LangMessageDlg(QStringLiteral("A long notice. ").repeated(60), DialogType::Information,
                   MsgButton::OK, &window);
    QVERIFY(*done);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

void TstSmallScreen::fittedGeometry_data()
{
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("expected");
    // The available area is 960 x 540 at the origin, the frame 8 px wide with a 32 px title.
    QTest::newRow("fits: left alone") << QRect(100, 100, 400, 300) << QSize() << QRect(100, 100, 400, 300);
    QTest::newRow("too tall: shortened, title bar on screen")
        << QRect(50, 0, 860, 620) << QSize() << QRect(50, 32, 860, 500);
    QTest::newRow("too large both ways") << QRect(-40, -40, 2000, 2000) << QSize()
                                         << QRect(8, 32, 944, 500);
    QTest::newRow("past the right edge: moved in")
        << QRect(700, 100, 400, 300) << QSize() << QRect(552, 100, 400, 300);
    QTest::newRow("past the left and top edges: moved in")
        << QRect(-100, -10, 400, 300) << QSize() << QRect(8, 32, 400, 300);
    QTest::newRow("the minimum wins over the room, the left edge over the right")
        << QRect(0, 0, 1200, 300) << QSize(1000, 100) << QRect(8, 32, 1000, 300);
}

void TstSmallScreen::fittedGeometry()
{
    QFETCH(QRect, geometry);
    QFETCH(QSize, minimum);
    QFETCH(QRect, expected);
    QCOMPARE(halbeet::fittedGeometry(geometry, QMargins(8, 32, 8, 8), minimum.isValid() ? minimum : QSize(0, 0),
                                     QRect(0, 0, 960, 540)),
             expected);
}

int main(int argc, char* argv[])
{
    // One screen of 1920 x 1080 device pixels, shown at twice the size.
    QTemporaryDir config;
    const QString file = config.filePath(QStringLiteral("screens.json"));
    QFile json(file);
    if (!json.open(QIODevice::WriteOnly))
        return 2;
    json.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1920, "height": 1080,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    json.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + file.toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    // As the program does: every window fitted as it is shown.
    installScreenFit(app);
    TstSmallScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_small_screen.moc"
