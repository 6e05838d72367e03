// SPDX-License-Identifier: GPL-3.0-or-later
// One card on screen: the Number/Suite coding, what each value draws, the clicks, and the
// card art behind it (the SVG deck, its hand-drawn stand-in, the thirteen backs).

#include "ui/card_art.h"
#include "ui/card_sprite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QtTest>

#include <functional>
#include <limits>

using namespace halbeet;

namespace {

constexpr QSize HandCard(71, 96);
constexpr QSize Marker(39, 57);
constexpr QSize Preview(56, 76);

int countPixels(const QImage& image, const std::function<bool(QColor)>& test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

bool reddish(QColor c) { return c.alpha() > 200 && c.red() > 150 && c.green() < 90 && c.blue() < 90; }

// The sprite painted over a known background, as the table would show it.
QImage shown(CardSprite& sprite)
{
    QWidget host;
    host.setFixedSize(sprite.size() + QSize(10, 10));
    QPalette pal = host.palette();
    pal.setColor(QPalette::Window, QColor(0, 128, 0));
    host.setPalette(pal);
    host.setAutoFillBackground(true);
    sprite.setParent(&host);
    sprite.move(5, 5);
    sprite.show();
    QImage image = host.grab().toImage();
    sprite.setParent(nullptr);
    // In device pixels: on a scaled screen the picture is larger than the widget.
    const qreal dpr = image.devicePixelRatio();
    return image.copy(QRectF(5 * dpr, 5 * dpr, sprite.width() * dpr, sprite.height() * dpr).toRect());
}

} // namespace

class TstCardSprite : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_deck = CardArt::deckFile(); }
    void deckIsParsedOnlyWhenAFaceIsPainted();
    void valuesReadBackUnchanged_data();
    void valuesReadBackUnchanged();
    void whatEachValueDraws();
    void backShowsDesignNotRank();
    void facesFollowTheSuitCoding();
    void everyCardHasItsDeckElement();
    void thirteenDistinctBacks_data();
    void thirteenDistinctBacks();
    void crispAtEveryScale_data();
    void crispAtEveryScale();
    void drawnFacesWhenTheDeckIsMissing();
    void clicks();

private:
    QString m_deck; // the installed deck, put back after the tests that hide it
};

void TstCardSprite::deckIsParsedOnlyWhenAFaceIsPainted()
{
    // Start-up shows the table and the backs long before the first face.
    QVERIFY(!CardArt::deckParsed());
    CardSprite sprite;
    sprite.resize(HandCard);
    sprite.setSuite(-2);
    shown(sprite);
    QVERIFY(!CardArt::deckParsed());
    if (CardArt::deckFile().isEmpty())
        QSKIP("no SVG card deck installed");

    QElapsedTimer clock;
    clock.start();
    CardArt::face(3, 12, HandCard, 1.0);
    const qint64 first = clock.restart();
    QVERIFY(CardArt::deckParsed());
    // Later faces reuse the parsed deck: each costs a render, not a parse.
    for (int number = 1; number <= 13; ++number)
        CardArt::face(1, number, HandCard, 1.0);
    const qint64 thirteen = clock.elapsed();
    qInfo("deck %s: first face %lld ms, next 13 faces %lld ms", qPrintable(CardArt::deckFile()),
          first, thirteen);
    QVERIFY(!CardArt::face(3, 12, HandCard, 1.0).isNull());
}

void TstCardSprite::valuesReadBackUnchanged_data()
{
    QTest::addColumn<int>("suite");
    QTest::addColumn<int>("number");
    QTest::newRow("ace of clubs") << 1 << 1;
    QTest::newRow("king of diamonds") << 4 << 13;
    QTest::newRow("back 1 over a 7") << -1 << 7;
    QTest::newRow("back 13 over an ace") << -13 << 1;
    QTest::newRow("empty slot") << 0 << 0;
    // Values nobody should write still read back as written.
    QTest::newRow("out of range") << 77 << -5;
    QTest::newRow("extremes") << std::numeric_limits<int>::min() << std::numeric_limits<int>::max();
}

void TstCardSprite::valuesReadBackUnchanged()
{
    QFETCH(int, suite);
    QFETCH(int, number);
    CardSprite sprite;
    QVERIFY(sprite.setProperty("Number", number));
    QVERIFY(sprite.setProperty("Suite", suite));
    QCOMPARE(sprite.property("Number").toInt(), number);
    QCOMPARE(sprite.property("Suite").toInt(), suite);
    QCOMPARE(sprite.face(), TCardFace({suite, number}));
    sprite.resize(HandCard);
    shown(sprite); // painting any value must not fail
}

void TstCardSprite::whatEachValueDraws()
{
    CardSprite sprite;
    sprite.resize(HandCard);
    const QColor green(0, 128, 0);

    sprite.setFace({0, 0});
    const QImage empty = shown(sprite);
    QCOMPARE(countPixels(empty, [&](QColor c) { return c != green; }), 0);

    sprite.setFace({3, 1});
    const QImage face = shown(sprite);
    // The middle of a face is card, not table; the rounded corner lets the table through.
    QVERIFY(face.pixelColor(face.width() / 2, face.height() / 2) != green);
    QCOMPARE(face.pixelColor(0, 0), green);
    QVERIFY(countPixels(face, reddish) > 50);

    sprite.setFace({-5, 1});
    const QImage back = shown(sprite);
    QVERIFY(back != face);
    // Only the rounded corners let the table through.
    QVERIFY(countPixels(back, [&](QColor c) { return c == green; }) < back.width() * back.height() / 100);
}

void TstCardSprite::backShowsDesignNotRank()
{
    CardSprite sprite;
    sprite.resize(Marker);
    sprite.setFace({-4, 2});
    const QImage two = shown(sprite);
    sprite.setNumber(13);
    QCOMPARE(shown(sprite), two);
    sprite.setSuite(-5);
    QVERIFY(shown(sprite) != two);
}

void TstCardSprite::facesFollowTheSuitCoding()
{
    // 1 clubs and 2 spades are black, 3 hearts and 4 diamonds red, whichever art is in use.
    for (const bool drawn : {false, true}) {
        if (drawn)
            CardArt::setDeckFile(QString());
        for (int suite = 1; suite <= 4; ++suite) {
            const QImage image = CardArt::face(suite, 5, HandCard, 1.0).toImage();
            const int red = countPixels(image, reddish);
            if (suite >= 3)
                QVERIFY2(red > 60, qPrintable(QStringLiteral("suit %1: %2").arg(suite).arg(red)));
            else
                QVERIFY2(red < 10, qPrintable(QStringLiteral("suit %1: %2").arg(suite).arg(red)));
        }
        // Clubs and spades, hearts and diamonds: different pictures.
        QVERIFY(CardArt::face(1, 5, HandCard, 1.0).toImage() !=
                CardArt::face(2, 5, HandCard, 1.0).toImage());
        QVERIFY(CardArt::face(3, 5, HandCard, 1.0).toImage() !=
                CardArt::face(4, 5, HandCard, 1.0).toImage());
    }
    CardArt::setDeckFile(m_deck);
}

void TstCardSprite::everyCardHasItsDeckElement()
{
    const QString deck = CardArt::deckFile();
    if (deck.isEmpty())
        QSKIP("no SVG card deck installed");
    QSvgRenderer renderer(deck);
    QVERIFY(renderer.isValid());
    const char* const suits[] = {"", "club", "spade", "heart", "diamond"};
    const char* const courts[] = {"jack", "queen", "king"};
    for (int suite = 1; suite <= 4; ++suite)
        for (int number = 1; number <= 13; ++number) {
            const QString expected =
                (number > 10 ? QString::fromLatin1(courts[number - 11]) : QString::number(number)) +
                QLatin1Char('_') + QLatin1String(suits[suite]);
            QCOMPARE(CardArt::elementId(suite, number), expected);
            QVERIFY2(renderer.elementExists(expected), qPrintable(expected));
        }
    QVERIFY(CardArt::elementId(0, 1).isEmpty());
    QVERIFY(CardArt::elementId(1, 14).isEmpty());
}

void TstCardSprite::thirteenDistinctBacks_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("won-trick marker") << Marker;
    QTest::newRow("options preview") << Preview;
    QTest::newRow("hand card") << HandCard;
}

void TstCardSprite::thirteenDistinctBacks()
{
    QFETCH(QSize, size);
    std::array<QImage, 14> backs;
    for (int design = 1; design <= 13; ++design) {
        backs[design] = CardArt::back(design, size, 1.0).toImage();
        QCOMPARE(backs[design].size(), size);
    }
    // Told apart at a glance: the average colours of any two designs differ clearly, or
    // their patterns do.
    auto average = [](const QImage& image) {
        double r = 0, g = 0, b = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                r += c.red();
                g += c.green();
                b += c.blue();
            }
        const double n = image.width() * image.height();
        return std::array<double, 3>{r / n, g / n, b / n};
    };
    for (int a = 1; a <= 13; ++a)
        for (int b = a + 1; b <= 13; ++b) {
            const auto ca = average(backs[a]);
            const auto cb = average(backs[b]);
            const double colourDistance =
                std::abs(ca[0] - cb[0]) + std::abs(ca[1] - cb[1]) + std::abs(ca[2] - cb[2]);
            int differentPixels = 0;
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    differentPixels += backs[a].pixel(x, y) != backs[b].pixel(x, y) ? 1 : 0;
            QVERIFY2(colourDistance > 25 || differentPixels > size.width() * size.height() / 2,
                     qPrintable(QStringLiteral("designs %1 and %2").arg(a).arg(b)));
        }
    // A design code outside 1..13 still draws one of the thirteen.
    QCOMPARE(CardArt::back(14, size, 1.0).toImage(), backs[1]);
}

void TstCardSprite::crispAtEveryScale_data()
{
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("150 %") << 1.5;
    QTest::newRow("200 %") << 2.0;
}

void TstCardSprite::crispAtEveryScale()
{
    QFETCH(qreal, dpr);
    // Rendered at the device's pixels, never scaled up from a small picture.
    const QPixmap face = CardArt::face(2, 12, HandCard, dpr);
    QCOMPARE(face.devicePixelRatio(), dpr);
    QCOMPARE(face.size(), QSize(qCeil(71 * dpr), qCeil(96 * dpr)));
    const QPixmap back = CardArt::back(9, Marker, dpr);
    QCOMPARE(back.devicePixelRatio(), dpr);
    QCOMPARE(back.size(), QSize(qCeil(39 * dpr), qCeil(57 * dpr)));
    // Cached: asking again gives the same picture without drawing it again.
    QCOMPARE(CardArt::face(2, 12, HandCard, dpr).cacheKey(), face.cacheKey());
    QVERIFY(CardArt::face(2, 12, QSize(68, 96), dpr).cacheKey() != face.cacheKey());
}

void TstCardSprite::drawnFacesWhenTheDeckIsMissing()
{
    CardArt::setDeckFile(QStringLiteral("/nonexistent/deck.svgz"));
    QVERIFY(!CardArt::deckParsed());
    std::array<QImage, 14> spades;
    for (int number = 1; number <= 13; ++number) {
        const QPixmap face = CardArt::face(2, number, HandCard, 2.0);
        QVERIFY(!face.isNull());
        spades[number] = face.toImage();
        QCOMPARE(spades[number], CardArt::drawnFace(2, number, HandCard, 2.0).toImage());
        for (int other = 1; other < number; ++other)
            QVERIFY(spades[number] != spades[other]);
    }
    QVERIFY(!CardArt::deckParsed());
    QVERIFY(CardArt::face(0, 3, HandCard, 1.0).isNull());
    QVERIFY(CardArt::face(2, 14, HandCard, 1.0).isNull());
    CardArt::setDeckFile(m_deck);
}

void TstCardSprite::clicks()
{
    QWidget host;
    host.resize(200, 200);
    auto* sprite = new CardSprite(&host);
    sprite->setGeometry(20, 20, 71, 96);
    sprite->setFace({1, 1});
    sprite->show();
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QSignalSpy spy(sprite, &CardSprite::clicked);
    QWindow* window = host.windowHandle();

    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(50, 60));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().value<CardSprite*>(), sprite);

    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(50, 60));
    QCOMPARE(spy.size(), 1);
    // Pressed on the card, let go beside it: no click.
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(50, 60));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(150, 160));
    QCOMPARE(spy.size(), 1);
    sprite->setEnabled(false);
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(50, 60));
    QCOMPARE(spy.size(), 1);
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstCardSprite test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_card_sprite.moc"
