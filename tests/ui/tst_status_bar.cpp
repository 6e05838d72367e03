// SPDX-License-Identifier: GPL-3.0-or-later
// The seven-panel status bar: the designed Arabic order, the English mirror image, the
// accessors the flow writes through, the panel that takes a wider window's room, long texts
// cut to fit, and the trump picture.

#include "core/state.h"
#include "ui/language.h"
#include "ui/status_bar.h"

#include <QApplication>
#include <QImage>
#include <QTest>

using namespace halbeet;

namespace {

struct PanelLook {
    int width;
    QString text;
    Qt::Alignment alignment;
    StatusPanel::Bevel bevel;
    bool ownerDrawn;
};

using Bevel = StatusPanel::Bevel;

void checkPanels(const StatusBar& bar, const std::vector<PanelLook>& expected)
{
    QCOMPARE(bar.panelCount(), int(expected.size()));
    for (int i = 0; i < bar.panelCount(); ++i) {
        const StatusPanel& p = *bar.panel(i);
        const PanelLook& e = expected[std::size_t(i)];
        const QByteArray where = "panel " + QByteArray::number(i);
        QVERIFY2(p.width() == e.width, where);
        QVERIFY2(p.text() == e.text, where);
        QVERIFY2(p.alignment() == e.alignment, where);
        QVERIFY2(p.bevel() == e.bevel, where);
        QVERIFY2(p.ownerDrawn() == e.ownerDrawn, where);
    }
}

// Columns of the image (within x range) holding a pixel of the given colour.
int columnsWith(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if ((image.pixel(x, y) & 0xffffff) == (colour & 0xffffff)) {
                ++count;
                break;
            }
    return count;
}

int redColumns(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 100 && c.blue() < 100) {
                ++count;
                break;
            }
        }
    return count;
}

QImage render(StatusBar& bar, int width = 560)
{
    bar.resize(width, StatusBar::BarHeight);
    return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The first and last columns of the area holding red text, or (-1, -1).
std::pair<int, int> redSpan(const QImage& image, const QRect& area)
{
    int first = -1;
    int last = -1;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 100 && c.blue() < 100) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    return {first, last};
}

// The hint the flow shows for the ten of clubs with the longest reason there is.
QString longHint()
{
    const ExpertTexts& e = texts().expert;
    QString longest;
    for (const QString& reason : e.reasons)
        if (reason.size() > longest.size())
            longest = reason;
    return e.CardHint.arg(e.cardName.arg(e.rankNames[10], e.suitNames[1]), longest);
}

} // namespace

class TstStatusBar : public QObject {
    Q_OBJECT

private slots:
    void arabicDesignedLayout();
    void englishMirroredLayout();
    void accessorsByLanguage_data();
    void accessorsByLanguage();
    void lastPanelStretches();
    void hintPanelTakesTheSpareWidth_data();
    void hintPanelTakesTheSpareWidth();
    void longHintFitsItsPanel_data();
    void longHintFitsItsPanel();
    void trumpPicture_data();
    void trumpPicture();
    void textIsPlain();
};

void TstStatusBar::arabicDesignedLayout()
{
    setCurrentLang(QStringLiteral("AR"));
    TGameState state;
    StatusBar bar(state);
    QCOMPARE(bar.layoutDirection(), Qt::RightToLeft);
    QCOMPARE(bar.height(), 19);
    const Qt::Alignment start = Qt::AlignRight;
    checkPanels(bar, {
                         {180, "", Qt::AlignHCenter, Bevel::Lowered, false},
                         {76, "", start, Bevel::Lowered, false},
                         {60, QStringLiteral("اللعب عند :"), Qt::AlignHCenter, Bevel::None, false},
                         {76, "", start, Bevel::Lowered, false},
                         {63, QStringLiteral("وزع الورق  :"), Qt::AlignHCenter, Bevel::None, false},
                         {50, "", Qt::AlignLeft, Bevel::Lowered, true},
                         {50, QStringLiteral("الهلبيط"), start, Bevel::None, false},
                     });
}

void TstStatusBar::englishMirroredLayout()
{
    setCurrentLang(QStringLiteral("EN"));
    TGameState state;
    StatusBar bar(state);
    QCOMPARE(bar.layoutDirection(), Qt::LeftToRight);
    const Qt::Alignment start = Qt::AlignLeft;
    checkPanels(bar, {
                         {50, "Halbeet", start, Bevel::Lowered, false},
                         {50, "", start, Bevel::Lowered, true},
                         {30, "Deal", start, Bevel::Lowered, false},
                         {76, "", start, Bevel::Lowered, false},
                         {30, "Play", start, Bevel::Lowered, false},
                         {76, "", start, Bevel::Lowered, false},
                         {180, "", Qt::AlignHCenter, Bevel::Lowered, false},
                     });

    // Mirroring keeps what the panels hold: the flow's texts travel with their panels.
    bar.getDealPanel()->setText(QStringLiteral("Hawk"));
    bar.getHintPanel()->setText(QStringLiteral("hint"));
    bar.MirrorStatusPanels();
    QCOMPARE(bar.panel(0)->text(), QStringLiteral("hint"));
    QCOMPARE(bar.panel(3)->text(), QStringLiteral("Hawk"));
    QCOMPARE(bar.panel(6)->text(), QStringLiteral("Halbeet"));
    QCOMPARE(bar.panel(6)->alignment(), Qt::AlignHCenter);
    QVERIFY(bar.panel(1)->ownerDrawn());
}

void TstStatusBar::accessorsByLanguage_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<int>("deal");
    QTest::addColumn<int>("play");
    QTest::addColumn<int>("hint");
    QTest::addColumn<int>("trump");
    QTest::newRow("Arabic") << "AR" << 3 << 1 << 0 << 5;
    QTest::newRow("English") << "EN" << 3 << 5 << 6 << 1;
    QTest::newRow("lower-case ar is English") << "ar" << 3 << 5 << 6 << 1;
}

void TstStatusBar::accessorsByLanguage()
{
    QFETCH(QString, lang);
    QFETCH(int, deal);
    QFETCH(int, play);
    QFETCH(int, hint);
    QFETCH(int, trump);
    setCurrentLang(lang);
    TGameState state;
    StatusBar bar(state);
    QCOMPARE(bar.getDealPanel(), bar.panel(deal));
    QCOMPARE(bar.getPlayPanel(), bar.panel(play));
    QCOMPARE(bar.getHintPanel(), bar.panel(hint));
    QCOMPARE(bar.trumpPanelIndex(), trump);
    QVERIFY(bar.panel(trump)->ownerDrawn());
    QCOMPARE(bar.panel(7), nullptr);
    QCOMPARE(bar.panel(-1), nullptr);
}

void TstStatusBar::lastPanelStretches()
{
    setCurrentLang(QStringLiteral("EN"));
    TGameState state;
    StatusBar bar(state);
    bar.resize(560, StatusBar::BarHeight);
    QCOMPARE(bar.panelRect(0), QRect(0, 0, 50, 19));
    QCOMPARE(bar.panelRect(5), QRect(236, 0, 76, 19));
    QCOMPARE(bar.panelRect(6), QRect(312, 0, 248, 19));
}

void TstStatusBar::hintPanelTakesTheSpareWidth_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("Arabic") << "AR";
    QTest::newRow("English") << "EN";
}

void TstStatusBar::hintPanelTakesTheSpareWidth()
{
    QFETCH(QString, lang);
    setCurrentLang(lang);
    TGameState state;
    StatusBar bar(state);
    const int hint = lang == QLatin1String("AR") ? 0 : 6;
    QCOMPARE(bar.stretchingPanelIndex(), hint);
    int own = 0;
    for (int i = 0; i < bar.panelCount(); ++i)
        own += bar.panel(i)->width();
    for (const int width : {560, 900, 1600}) {
        bar.resize(width, StatusBar::BarHeight);
        const QByteArray where = "width " + QByteArray::number(width);
        int left = 0;
        for (int i = 0; i < bar.panelCount(); ++i) {
            const QRect r = bar.panelRect(i);
            QVERIFY2(r.left() == left, where + ", panel " + QByteArray::number(i));
            const int expected = bar.panel(i)->width() + (i == hint ? width - own : 0);
            QVERIFY2(r.width() == expected, where + ", panel " + QByteArray::number(i));
            left = r.right() + 1;
        }
        QVERIFY2(left == width, where);
    }
}

void TstStatusBar::longHintFitsItsPanel_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<int>("width");
    QTest::newRow("Arabic, default size") << "AR" << 560;
    QTest::newRow("Arabic, wide") << "AR" << 1200;
    QTest::newRow("English, default size") << "EN" << 560;
    QTest::newRow("English, wide") << "EN" << 1200;
}

void TstStatusBar::longHintFitsItsPanel()
{
    QFETCH(QString, lang);
    QFETCH(int, width);
    setCurrentLang(lang);
    TGameState state;
    StatusBar bar(state);
    const QString full = longHint();
    bar.getHintPanel()->setText(full);
    const QImage image = render(bar, width);
    const int hint = bar.stretchingPanelIndex();
    const QRect inner = bar.panelRect(hint).adjusted(1, 3, -3, -1);
    const QString shown = bar.shownText(hint);
    QVERIFY2(bar.fontMetrics().horizontalAdvance(shown) <= inner.width(), qPrintable(shown));
    // The text keeps its beginning ("Hint:" and the card) and loses only its end, marked.
    const QString start = full.left(full.indexOf(QLatin1Char(':')) + 1);
    QVERIFY2(shown.startsWith(start), qPrintable(shown));
    if (width >= 1200)
        QCOMPARE(shown, full);
    else
        QVERIFY2(shown == full || shown.endsWith(QChar(0x2026)), qPrintable(shown));

    // On the screen: inside its panel with air at both edges, nothing spilt into the empty
    // play panel beside it.
    const auto [first, last] = redSpan(image, bar.panelRect(hint));
    QVERIFY(first >= 0);
    QVERIFY2(first > inner.left() && last < inner.right(),
             qPrintable(QStringLiteral("%1..%2 in %3..%4").arg(first).arg(last).arg(inner.left()).arg(inner.right())));
    const int play = lang == QLatin1String("AR") ? 1 : 5;
    QCOMPARE(bar.getPlayPanel(), bar.panel(play));
    QCOMPARE(redColumns(image, bar.panelRect(play)), 0);
}

void TstStatusBar::trumpPicture_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<int>("trump");
    QTest::addColumn<int>("cardsPlayed");
    QTest::addColumn<bool>("picture");
    QTest::newRow("Arabic clubs in play") << "AR" << 1 << 0 << true;
    QTest::newRow("English hearts in play") << "EN" << 3 << 51 << true;
    QTest::newRow("English diamonds, deal over") << "EN" << 4 << 52 << false;
    QTest::newRow("Arabic spades, after a deal") << "AR" << 2 << 60 << false;
    QTest::newRow("no trump yet") << "EN" << 0 << 0 << false;
}

void TstStatusBar::trumpPicture()
{
    QFETCH(QString, lang);
    QFETCH(int, trump);
    QFETCH(int, cardsPlayed);
    QFETCH(bool, picture);
    setCurrentLang(lang);
    TGameState state;
    state.Trump = trump;
    state.CardsPlayed = cardsPlayed;
    StatusBar bar(state);
    const QImage image = render(bar);
    const QRect panel = bar.panelRect(bar.trumpPanelIndex()).adjusted(1, 3, -3, -1);
    const QRgb ground = bar.palette().window().color().rgb();
    // Everything that is not the bar's own background is the picture.
    int marked = 0;
    int firstColumn = -1;
    for (int x = panel.left(); x <= panel.right(); ++x)
        for (int y = panel.top(); y <= panel.bottom(); ++y)
            if ((image.pixel(x, y) & 0xffffff) != (ground & 0xffffff)) {
                ++marked;
                if (firstColumn < 0)
                    firstColumn = x;
            }
    QCOMPARE(marked > 0, picture);
    if (!picture)
        return;
    // Drawn 15 pixels into the panel, and its light-grey ground is see-through.
    QVERIFY(firstColumn >= panel.left() + 14);
    const QImage source(QStringLiteral(":/images/%1_p2.png").arg(trump));
    QVERIFY(!source.isNull());
    const QRgb grey = source.pixel(0, source.height() - 1);
    QCOMPARE(columnsWith(image, panel, grey), 0);
}

void TstStatusBar::textIsPlain()
{
    setCurrentLang(QStringLiteral("EN"));
    TGameState state;
    StatusBar bar(state);
    bar.getPlayPanel()->setText(QStringLiteral("x"));
    const QRect play = bar.panelRect(5);
    const int plain = redColumns(render(bar), play);
    bar.getPlayPanel()->setText(QStringLiteral("<b>x</b>"));
    const int markup = redColumns(render(bar), play);
    QCOMPARE(bar.getPlayPanel()->text(), QStringLiteral("<b>x</b>"));
    // The tags are drawn as characters, so the text is far wider than a lone "x".
    QVERIFY2(markup > 4 * plain, QByteArray::number(plain) + " vs " + QByteArray::number(markup));
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstStatusBar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_status_bar.moc"
