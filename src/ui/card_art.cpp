// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/card_art.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QStringTokenizer>
#include <QtConcurrent/QtConcurrentRun>
#include <QSvgRenderer>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

#ifndef HALBEET_CARDDECK_DIR
#define HALBEET_CARDDECK_DIR "/usr/share/carddecks"
#endif

namespace halbeet {

namespace {

// Classic decks first: their courts read well at 71 x 96. The first one installed is the
// default deck, and the fallback for a chosen deck that cannot be used.
constexpr std::array<const char*, 3> DeckCandidates = {
    "svg-nicu-white/white.svgz",
    "svg-standard/standard.svgz",
    "svg-oxygen-white/oxygen-white.svgz",
};

// The few faces the options preview shows: an ace, two courts and a number card.
constexpr std::array<std::pair<int, int>, 4> PreviewFaces = {{{2, 1}, {3, 13}, {1, 12}, {4, 10}}};

struct ArtState {
    bool folderChosen = false;
    QString deckFolder;
    QString chosenDeck;  // the folder name asked for; empty for the default deck
    bool fileGiven = false; // setDeckFile: that file alone, no fallback
    QString givenFile;
    // Parsing a deck takes tens of milliseconds, so it waits for the first face painted.
    std::unique_ptr<QSvgRenderer> renderer;
    QString rendererFile;
    bool parseTried = false;
    struct Cached {
        QPixmap picture;
        quint64 used = 0; // when it was last asked for
    };
    QHash<QString, Cached> cache;
    qint64 cacheBytes = 0;
    quint64 clock = 0;
};

// A table resized many times would otherwise keep the pictures of every size it passed
// through. Beyond the budget the pictures used longest ago go: first those of sizes a resize
// left behind, never the cards on screen, which are asked for at every paint.
constexpr qint64 CacheBudgetBytes = 32 * 1024 * 1024;

qint64 pictureBytes(const QPixmap& pm) { return qint64(pm.width()) * pm.height() * 4; }

const QPixmap* cached(ArtState& s, const QString& key)
{
    const auto it = s.cache.find(key);
    if (it == s.cache.end())
        return nullptr;
    it->used = ++s.clock;
    return &it->picture;
}

void remember(ArtState& s, const QString& key, const QPixmap& pm)
{
    const qint64 bytes = pictureBytes(pm);
    if (s.cacheBytes + bytes > CacheBudgetBytes) {
        std::vector<std::pair<quint64, QString>> byAge;
        byAge.reserve(static_cast<std::size_t>(s.cache.size()));
        for (auto it = s.cache.cbegin(); it != s.cache.cend(); ++it)
            byAge.emplace_back(it->used, it.key());
        std::sort(byAge.begin(), byAge.end());
        // Down to three quarters, so that the next pictures do not each evict one.
        for (const auto& [used, old] : byAge) {
            if (s.cacheBytes + bytes <= CacheBudgetBytes * 3 / 4)
                break;
            s.cacheBytes -= pictureBytes(s.cache.value(old).picture);
            s.cache.remove(old);
        }
    }
    s.cache.insert(key, {pm, ++s.clock});
    s.cacheBytes += bytes;
}

ArtState& art()
{
    static ArtState state;
    return state;
}

const QString& deckFolderPath()
{
    ArtState& s = art();
    if (!s.folderChosen) {
        s.folderChosen = true;
        const QString fromEnvironment = qEnvironmentVariable("HALBEET_CARDDECKS");
        s.deckFolder = fromEnvironment.isEmpty() ? QStringLiteral(HALBEET_CARDDECK_DIR)
                                                 : fromEnvironment;
    }
    return s.deckFolder;
}

// The [KDE Backdeck] group of a deck's index file: its names and its SVG file.
struct DeckIndex {
    QString name;
    QString arabicName;
    QString svg;
};

std::optional<DeckIndex> readDeckIndex(const QString& folder)
{
    QFile file(folder + QStringLiteral("/index.desktop"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.size() > 256 * 1024)
        return std::nullopt;
    DeckIndex index;
    bool inGroup = false;
    const QString text = QString::fromUtf8(file.readAll());
    for (const QStringView rawLine : QStringTokenizer(text, u'\n')) {
        const QStringView line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u"[KDE Backdeck]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || equals <= 0)
            continue;
        const QStringView key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed().toString();
        if (key == u"Name")
            index.name = value;
        else if (key == u"Name[ar]")
            index.arabicName = value;
        else if (key == u"SVG")
            index.svg = value;
    }
    // A picture file outside the deck's own folder is not the deck's.
    if (index.svg.isEmpty() || index.svg.contains(u'/') || index.svg.startsWith(u'.'))
        return std::nullopt;
    return index;
}

// The SVG file of an installed deck, or empty when the folder holds no usable index.
QString deckSvgFile(const QString& id)
{
    if (id.isEmpty() || id.contains(u'/') || id.startsWith(u'.'))
        return {};
    const QString folder = deckFolderPath() + u'/' + id;
    const std::optional<DeckIndex> index = readDeckIndex(folder);
    return index ? folder + u'/' + index->svg : QString();
}

// The files to try, best first: the chosen deck, then the default candidates.
QStringList deckFilesToTry(const QString& chosen)
{
    QStringList files;
    if (const QString file = deckSvgFile(chosen); !file.isEmpty())
        files.append(file);
    for (const char* candidate : DeckCandidates) {
        const QString file = deckFolderPath() + u'/' + QLatin1String(candidate);
        if (!files.contains(file))
            files.append(file);
    }
    return files;
}

// Where an element lies in the drawing, with the transforms of its parents.
QRectF elementBounds(const QSvgRenderer& renderer, const QString& id)
{
    return renderer.transformForElement(id).mapRect(renderer.boundsOnElement(id));
}

// The ink of one face: how much of it is near black, how much in colour, and the colour's
// most common hue (-1 when there is none).
struct Ink {
    int dark = 0;
    int coloured = 0;
    int hue = -1;
};

Ink faceInk(QSvgRenderer& renderer, const QString& id)
{
    QImage image(QSize(48, 64), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        renderer.render(&p, id, QRectF(image.rect()));
    }
    Ink ink;
    std::array<int, 12> hues{};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 192)
                continue;
            if (c.value() < 90)
                ++ink.dark;
            else if (c.hsvSaturation() > 110) {
                ++ink.coloured;
                ++hues[std::size_t(c.hsvHue() / 30)];
            }
        }
    }
    if (ink.coloured > 0)
        ink.hue = int(std::max_element(hues.begin(), hues.end()) - hues.begin()) * 30 + 15;
    return ink;
}

bool isGreen(int hue) { return hue >= 75 && hue <= 165; }

// Whether the deck shows the French suits the table's signs stand for. The German decks have
// green leaves where the spades are; French spades are black, or in a few decks red or
// another colour, but not leaf green beside hearts of another colour. A deck drawn in one
// colour throughout tells nothing and is taken as French, as is a deck that cannot be read,
// which the table passes over anyway.
bool showsFrenchSuits(QSvgRenderer& renderer)
{
    const QString spadeId = CardArt::elementId(2, 7);
    const QString heartId = CardArt::elementId(3, 7);
    if (!renderer.isValid() || !renderer.elementExists(spadeId) || !renderer.elementExists(heartId))
        return true;
    const Ink spade = faceInk(renderer, spadeId);
    const Ink heart = faceInk(renderer, heartId);
    const bool leaves = spade.coloured > spade.dark && isGreen(spade.hue);
    return !(leaves && !isGreen(heart.hue));
}

// The same for a deck's file. Reading a deck takes time: each answer is kept for the run, for
// as long as the file is unchanged.
bool showsFrenchSuits(const QString& file)
{
    const QFileInfo info(file);
    const QString key = file + u'|' + QString::number(info.size()) + u'|' +
                        QString::number(info.lastModified().toMSecsSinceEpoch());
    static QMutex lock;
    static QHash<QString, bool> known;
    {
        const QMutexLocker locked(&lock);
        if (const auto it = known.constFind(key); it != known.cend())
            return *it;
    }
    QSvgRenderer renderer(file);
    const bool french = showsFrenchSuits(renderer);
    const QMutexLocker locked(&lock);
    known.insert(key, french);
    return french;
}

// A deck is used only when it parses, has every face and its faces are card-shaped (a deck
// the SVG renderer draws wrongly comes out as something else), so the table never mixes decks
// nor shows a mangled one.
std::unique_ptr<QSvgRenderer> loadDeck(const QString& file)
{
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return nullptr;
    auto renderer = std::make_unique<QSvgRenderer>(file);
    if (!renderer->isValid())
        return nullptr;
    for (int suite = 1; suite <= 4; ++suite)
        for (int number = 1; number <= 13; ++number)
            if (!renderer->elementExists(CardArt::elementId(suite, number)))
                return nullptr;
    const QRectF ace = elementBounds(*renderer, CardArt::elementId(2, 1));
    const qreal shape = ace.height() > 0 ? ace.width() / ace.height() : 0;
    if (shape < 0.5 || shape > 0.9)
        return nullptr;
    // The status bar and the hints name the French suits.
    if (!showsFrenchSuits(*renderer))
        return nullptr;
    return renderer;
}

// The first usable deck of the list, and its file.
std::pair<std::unique_ptr<QSvgRenderer>, QString> firstUsableDeck(const QStringList& files)
{
    for (const QString& file : files)
        if (auto renderer = loadDeck(file))
            return {std::move(renderer), file};
    return {nullptr, QString()};
}

QSvgRenderer* deckRenderer()
{
    ArtState& s = art();
    if (!s.parseTried) {
        s.parseTried = true;
        auto [renderer, file] = firstUsableDeck(s.fileGiven ? QStringList{s.givenFile}
                                                            : deckFilesToTry(s.chosenDeck));
        s.renderer = std::move(renderer);
        s.rendererFile = file;
    }
    return s.renderer.get();
}

void resetDeck()
{
    ArtState& s = art();
    s.renderer.reset();
    s.rendererFile.clear();
    s.parseTried = false;
    s.cache.clear();
    s.cacheBytes = 0;
}

QString cacheKey(char kind, int a, int b, QSize size, qreal dpr)
{
    return QStringLiteral("%1%2:%3:%4x%5@%6")
        .arg(QLatin1Char(kind))
        .arg(a)
        .arg(b)
        .arg(size.width())
        .arg(size.height())
        .arg(qRound(dpr * 100));
}

QPixmap blankPixmap(QSize size, qreal dpr)
{
    QPixmap pm(QSize(qCeil(size.width() * dpr), qCeil(size.height() * dpr)));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}

bool validFace(int suite, int number)
{
    return suite >= 1 && suite <= 4 && number >= 1 && number <= 13;
}

QPixmap renderFace(QSvgRenderer* renderer, int suite, int number, QSize size, qreal dpr)
{
    const QString id = CardArt::elementId(suite, number);
    if (!renderer || !renderer->elementExists(id))
        return CardArt::drawnFace(suite, number, size, dpr);
    QPixmap pm = blankPixmap(size, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Decks differ in shape; one clearly narrower (or wider) than the place keeps its own
    // proportions, centred, rather than being stretched.
    QRectF target(QPointF(0, 0), QSizeF(size));
    const QSizeF shape = elementBounds(*renderer, id).size();
    if (!shape.isEmpty()) {
        const QSizeF fitted = shape.scaled(target.size(), Qt::KeepAspectRatio);
        if (fitted.width() < target.width() * 0.97 || fitted.height() < target.height() * 0.97) {
            const QRectF centred(QPointF(0, 0), fitted);
            target = centred.translated(target.center() - centred.center());
        }
    }
    renderer->render(&p, id, target);
    return pm;
}

bool isRed(int suite) { return suite == 3 || suite == 4; }

QColor suitColour(int suite) { return isRed(suite) ? QColor(200, 16, 32) : QColor(20, 20, 20); }

// Suit symbols as paths in the unit square, so they stay sharp at every size.
QPainterPath suitPath(int suite)
{
    QPainterPath path;
    switch (suite) {
    case 1: // clubs
        path.setFillRule(Qt::WindingFill);
        path.addEllipse(QPointF(0.5, 0.27), 0.22, 0.22);
        path.addEllipse(QPointF(0.25, 0.6), 0.22, 0.22);
        path.addEllipse(QPointF(0.75, 0.6), 0.22, 0.22);
        path.addRect(QRectF(0.42, 0.3, 0.16, 0.4));
        {
            QPainterPath stem;
            stem.moveTo(0.5, 0.55);
            stem.cubicTo(0.5, 0.8, 0.42, 0.92, 0.3, 1.0);
            stem.lineTo(0.7, 1.0);
            stem.cubicTo(0.58, 0.92, 0.5, 0.8, 0.5, 0.55);
            path.addPath(stem);
        }
        break;
    case 2: // spades
        path.moveTo(0.5, 0.0);
        path.cubicTo(0.38, 0.2, 0.04, 0.38, 0.04, 0.62);
        path.cubicTo(0.04, 0.84, 0.32, 0.9, 0.47, 0.72);
        path.cubicTo(0.46, 0.84, 0.4, 0.94, 0.3, 1.0);
        path.lineTo(0.7, 1.0);
        path.cubicTo(0.6, 0.94, 0.54, 0.84, 0.53, 0.72);
        path.cubicTo(0.68, 0.9, 0.96, 0.84, 0.96, 0.62);
        path.cubicTo(0.96, 0.38, 0.62, 0.2, 0.5, 0.0);
        path.closeSubpath();
        break;
    case 3: // hearts
        path.moveTo(0.5, 0.24);
        path.cubicTo(0.46, 0.06, 0.3, 0.0, 0.2, 0.02);
        path.cubicTo(0.06, 0.05, 0.0, 0.18, 0.02, 0.33);
        path.cubicTo(0.05, 0.58, 0.34, 0.74, 0.5, 1.0);
        path.cubicTo(0.66, 0.74, 0.95, 0.58, 0.98, 0.33);
        path.cubicTo(1.0, 0.18, 0.94, 0.05, 0.8, 0.02);
        path.cubicTo(0.7, 0.0, 0.54, 0.06, 0.5, 0.24);
        path.closeSubpath();
        break;
    case 4: // diamonds
        path.moveTo(0.5, 0.0);
        path.quadTo(0.68, 0.27, 0.9, 0.5);
        path.quadTo(0.68, 0.73, 0.5, 1.0);
        path.quadTo(0.32, 0.73, 0.1, 0.5);
        path.quadTo(0.32, 0.27, 0.5, 0.0);
        path.closeSubpath();
        break;
    default:
        break;
    }
    return path;
}

void drawSuit(QPainter& p, int suite, const QRectF& box, bool upsideDown = false)
{
    p.save();
    p.translate(box.center());
    if (upsideDown)
        p.rotate(180);
    p.translate(-box.width() / 2, -box.height() / 2);
    p.scale(box.width(), box.height());
    p.setPen(Qt::NoPen);
    p.setBrush(suitColour(suite));
    p.drawPath(suitPath(suite));
    p.restore();
}

QString rankText(int number)
{
    switch (number) {
    case 1: return QStringLiteral("A");
    case 11: return QStringLiteral("J");
    case 12: return QStringLiteral("Q");
    case 13: return QStringLiteral("K");
    default: return QString::number(number);
    }
}

QFont indexFont(qreal pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setBold(true);
    font.setPixelSize(qMax(6, qRound(pixelSize)));
    return font;
}

void drawCardBlank(QPainter& p, const QRectF& r, const QColor& fill)
{
    const qreal radius = r.width() * 0.08;
    p.setPen(QPen(QColor(90, 90, 90), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

// Pip positions of the number cards in the pip area, (column, row) in 0..1.
QList<QPointF> pipLayout(int number)
{
    const qreal third = 1.0 / 3.0;
    QList<QPointF> pips;
    auto twoColumns = [&pips](std::initializer_list<qreal> rows) {
        for (qreal y : rows) {
            pips.append({0.0, y});
            pips.append({1.0, y});
        }
    };
    switch (number) {
    case 2: pips = {{0.5, 0.0}, {0.5, 1.0}}; break;
    case 3: pips = {{0.5, 0.0}, {0.5, 0.5}, {0.5, 1.0}}; break;
    case 4: twoColumns({0.0, 1.0}); break;
    case 5: twoColumns({0.0, 1.0}); pips.append({0.5, 0.5}); break;
    case 6: twoColumns({0.0, 0.5, 1.0}); break;
    case 7: twoColumns({0.0, 0.5, 1.0}); pips.append({0.5, 0.25}); break;
    case 8: twoColumns({0.0, 0.5, 1.0}); pips.append({{0.5, 0.25}, {0.5, 0.75}}); break;
    case 9: twoColumns({0.0, third, 2 * third, 1.0}); pips.append({0.5, 0.5}); break;
    case 10:
        twoColumns({0.0, third, 2 * third, 1.0});
        pips.append({{0.5, third / 2}, {0.5, 1.0 - third / 2}});
        break;
    default: break;
    }
    return pips;
}

void drawCorner(QPainter& p, int suite, int number, const QRectF& card)
{
    const qreal w = card.width();
    const qreal h = card.height();
    const QFont font = indexFont(h * 0.16);
    const QRectF textBox(card.left() + w * 0.02, card.top() + h * 0.025, w * 0.2, h * 0.17);
    p.setFont(font);
    p.setPen(suitColour(suite));
    p.drawText(textBox, Qt::AlignHCenter | Qt::AlignTop, rankText(number));
    const qreal pip = w * 0.13;
    drawSuit(p, suite,
             QRectF(textBox.center().x() - pip / 2, textBox.bottom() + h * 0.005, pip, pip * 1.1));
}

void paintDrawnFace(QPainter& p, int suite, int number, const QRectF& card)
{
    drawCardBlank(p, card, Qt::white);
    const qreal w = card.width();
    const qreal h = card.height();

    drawCorner(p, suite, number, card);
    p.save();
    p.translate(card.center());
    p.rotate(180);
    p.translate(-card.center());
    drawCorner(p, suite, number, card);
    p.restore();

    const QRectF inner(card.left() + w * 0.24, card.top() + h * 0.1, w * 0.52, h * 0.8);
    if (number == 1) {
        const qreal big = w * 0.42;
        drawSuit(p, suite, QRectF(card.center().x() - big / 2, card.center().y() - big * 0.55, big,
                                  big * 1.1));
    } else if (number >= 11) {
        // Court cards: a framed panel with the court's letter and its suit.
        const QColor tint = isRed(suite) ? QColor(252, 232, 224) : QColor(228, 234, 246);
        p.setPen(QPen(suitColour(suite), qMax(1.0, w * 0.02)));
        p.setBrush(tint);
        p.drawRect(inner);
        QFont letter = indexFont(h * 0.34);
        letter.setFamilies({QStringLiteral("DejaVu Serif"), QStringLiteral("DejaVu Sans")});
        p.setFont(letter);
        p.setPen(suitColour(suite));
        p.drawText(inner.adjusted(0, 0, 0, -inner.height() * 0.32), Qt::AlignCenter,
                   rankText(number));
        const qreal pip = inner.width() * 0.42;
        drawSuit(p, suite,
                 QRectF(inner.center().x() - pip / 2, inner.bottom() - inner.height() * 0.42, pip,
                        pip * 1.1));
    } else {
        const qreal pip = w * 0.165;
        for (const QPointF& at : pipLayout(number)) {
            const QPointF c(card.left() + w * (0.32 + 0.36 * at.x()),
                            card.top() + h * (0.2 + 0.6 * at.y()));
            drawSuit(p, suite, QRectF(c.x() - pip / 2, c.y() - pip * 0.55, pip, pip * 1.1),
                     at.y() > 0.5);
        }
    }
}

// ---- backs ----------------------------------------------------------------------------

struct BackPalette {
    QColor base;
    QColor accent;
    QColor light;
};

constexpr int DesignCount = CardArt::BackDesigns;

const std::array<BackPalette, DesignCount>& backPalettes()
{
    static const std::array<BackPalette, DesignCount> palettes = {{
        {QColor(28, 64, 150), QColor(235, 240, 255), QColor(90, 130, 215)},  // 1 blue lattice
        {QColor(160, 22, 34), QColor(240, 200, 90), QColor(250, 240, 225)},  // 2 crimson medallion
        {QColor(18, 110, 60), QColor(28, 140, 80), QColor(240, 210, 90)},    // 3 green checker
        {QColor(18, 30, 78), QColor(245, 200, 60), QColor(60, 80, 150)},     // 4 navy stars
        {QColor(110, 20, 40), QColor(230, 180, 80), QColor(150, 40, 60)},    // 5 maroon frames
        {QColor(92, 40, 140), QColor(170, 120, 220), QColor(235, 220, 250)}, // 6 purple polka
        {QColor(0, 115, 125), QColor(220, 250, 250), QColor(0, 150, 160)},   // 7 teal waves
        {QColor(225, 110, 20), QColor(255, 235, 200), QColor(190, 80, 10)},  // 8 orange stripes
        {QColor(22, 22, 22), QColor(230, 180, 50), QColor(70, 60, 30)},      // 9 black sunburst
        {QColor(120, 72, 36), QColor(200, 150, 90), QColor(245, 225, 190)},  // 10 brown argyle
        {QColor(70, 150, 215), QColor(235, 248, 255), QColor(40, 110, 180)}, // 11 sky honeycomb
        {QColor(20, 90, 60), QColor(30, 50, 120), QColor(210, 30, 40)},      // 12 tartan
        {QColor(60, 64, 70), QColor(200, 205, 212), QColor(110, 115, 122)},  // 13 charcoal chevrons
    }};
    return palettes;
}

void lattice(QPainter& p, const QRectF& r, qreal spacing, const QPen& pen)
{
    p.setPen(pen);
    const qreal span = r.width() + r.height();
    for (qreal d = -span; d <= span; d += spacing) {
        p.drawLine(QPointF(r.left() + d, r.top()), QPointF(r.left() + d + r.height(), r.bottom()));
        p.drawLine(QPointF(r.right() - d, r.top()),
                   QPointF(r.right() - d - r.height(), r.bottom()));
    }
}

QPainterPath starPath(QPointF c, qreal outer)
{
    QPainterPath star;
    const qreal inner = outer * 0.42;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = (i % 2 == 0) ? outer : inner;
        const qreal angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const QPointF pt(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    return star;
}

void paintBackPattern(QPainter& p, int design, const QRectF& r)
{
    const BackPalette& pal = backPalettes()[design - 1];
    const qreal u = r.width() / 7.0; // pattern unit: the same look at every size
    const qreal line = qMax(0.6, r.width() / 60.0);
    p.fillRect(r, pal.base);
    p.setRenderHint(QPainter::Antialiasing, true);

    switch (design) {
    case 1: { // lattice with beads where the lines cross
        lattice(p, r, u, QPen(pal.light, line * 1.6));
        lattice(p, r, u, QPen(pal.accent, line * 0.7));
        break;
    }
    case 2: { // fine gold lattice under an oval medallion
        lattice(p, r, u * 0.7, QPen(QColor(200, 60, 60), line));
        const QRectF oval(r.center().x() - r.width() * 0.3, r.center().y() - r.height() * 0.27,
                          r.width() * 0.6, r.height() * 0.54);
        p.setPen(QPen(pal.accent, line * 2.2));
        p.setBrush(pal.base);
        p.drawEllipse(oval);
        p.setPen(QPen(pal.light, line));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(oval.adjusted(u * 0.35, u * 0.35, -u * 0.35, -u * 0.35));
        QPainterPath lozenge;
        const QPointF c = r.center();
        lozenge.moveTo(c.x(), c.y() - oval.height() * 0.3);
        lozenge.lineTo(c.x() + oval.width() * 0.22, c.y());
        lozenge.lineTo(c.x(), c.y() + oval.height() * 0.3);
        lozenge.lineTo(c.x() - oval.width() * 0.22, c.y());
        lozenge.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(pal.accent);
        p.drawPath(lozenge);
        break;
    }
    case 3: { // checkerboard with golden studs
        const qreal cell = u;
        p.setPen(Qt::NoPen);
        for (int row = 0; row * cell < r.height(); ++row)
            for (int col = 0; col * cell < r.width(); ++col)
                if ((row + col) % 2 == 0)
                    p.fillRect(QRectF(r.left() + col * cell, r.top() + row * cell, cell, cell),
                               pal.accent);
        p.setBrush(pal.light);
        for (int row = 1; row * cell < r.height(); ++row)
            for (int col = 1; col * cell < r.width(); ++col)
                if ((row + col) % 2 == 0)
                    p.drawEllipse(QPointF(r.left() + col * cell, r.top() + row * cell), cell * 0.16,
                                  cell * 0.16);
        break;
    }
    case 4: { // stars on a night sky
        p.setPen(Qt::NoPen);
        const qreal cell = u * 1.4;
        int row = 0;
        for (qreal y = r.top() + cell / 2; y < r.bottom() + cell; y += cell * 0.8, ++row) {
            const qreal offset = (row % 2) ? cell / 2 : 0;
            for (qreal x = r.left() + cell / 2 - offset; x < r.right() + cell; x += cell) {
                p.setBrush(row % 2 ? pal.light : pal.accent);
                p.drawPath(starPath(QPointF(x, y), cell * (row % 2 ? 0.22 : 0.34)));
            }
        }
        break;
    }
    case 5: { // nested frames
        p.setBrush(Qt::NoBrush);
        int i = 0;
        for (qreal inset = u * 0.35; inset < r.width() / 2; inset += u * 0.55, ++i) {
            p.setPen(QPen(i % 2 ? pal.light : pal.accent, line * (i % 2 ? 2.5 : 1.4)));
            p.drawRoundedRect(r.adjusted(inset, inset, -inset, -inset), u * 0.3, u * 0.3);
        }
        break;
    }
    case 6: { // polka dots
        p.setPen(Qt::NoPen);
        const qreal cell = u * 1.1;
        int row = 0;
        for (qreal y = r.top(); y < r.bottom() + cell; y += cell * 0.87, ++row) {
            const qreal offset = (row % 2) ? cell / 2 : 0;
            for (qreal x = r.left() - offset; x < r.right() + cell; x += cell) {
                p.setBrush(pal.accent);
                p.drawEllipse(QPointF(x, y), cell * 0.32, cell * 0.32);
                p.setBrush(pal.light);
                p.drawEllipse(QPointF(x, y), cell * 0.13, cell * 0.13);
            }
        }
        break;
    }
    case 7: { // waves
        p.setBrush(Qt::NoBrush);
        const qreal gap = u * 0.75;
        int i = 0;
        for (qreal y = r.top(); y < r.bottom() + gap; y += gap, ++i) {
            QPainterPath wave;
            wave.moveTo(r.left() - u, y);
            for (qreal x = r.left() - u; x < r.right() + u; x += u)
                wave.quadTo(QPointF(x + u / 2, y + (((int(x / u) + i) % 2) ? gap * 0.5 : -gap * 0.5)),
                            QPointF(x + u, y));
            p.setPen(QPen(i % 2 ? pal.accent : pal.light, line * (i % 2 ? 1.6 : 2.4)));
            p.drawPath(wave);
        }
        break;
    }
    case 8: { // candy stripes
        p.setPen(Qt::NoPen);
        const qreal band = u * 0.8;
        const qreal span = r.width() + r.height();
        int i = 0;
        for (qreal d = -r.height(); d < span; d += band, ++i) {
            if (i % 3 == 2)
                continue;
            QPolygonF stripe;
            stripe << QPointF(r.left() + d, r.bottom()) << QPointF(r.left() + d + r.height(), r.top())
                   << QPointF(r.left() + d + r.height() + band * 0.5, r.top())
                   << QPointF(r.left() + d + band * 0.5, r.bottom());
            p.setBrush(i % 3 ? pal.light : pal.accent);
            p.drawPolygon(stripe);
        }
        break;
    }
    case 9: { // sunburst
        p.setPen(Qt::NoPen);
        const QPointF c = r.center();
        const qreal reach = r.width() + r.height();
        const int rays = 24;
        for (int i = 0; i < rays; i += 2) {
            const qreal a0 = i * 2 * std::numbers::pi / rays;
            const qreal a1 = (i + 1) * 2 * std::numbers::pi / rays;
            QPolygonF ray;
            ray << c << QPointF(c.x() + reach * std::cos(a0), c.y() + reach * std::sin(a0))
                << QPointF(c.x() + reach * std::cos(a1), c.y() + reach * std::sin(a1));
            p.setBrush(pal.light);
            p.drawPolygon(ray);
        }
        p.setBrush(pal.accent);
        p.drawEllipse(c, u * 1.1, u * 1.1);
        p.setBrush(pal.base);
        p.drawEllipse(c, u * 0.6, u * 0.6);
        p.setBrush(pal.accent);
        p.drawEllipse(c, u * 0.3, u * 0.3);
        break;
    }
    case 10: { // argyle
        const qreal dw = u * 1.75;
        const qreal dh = u * 2.4;
        p.setPen(Qt::NoPen);
        int row = 0;
        for (qreal y = r.top(); y < r.bottom() + dh; y += dh / 2, ++row) {
            const qreal offset = (row % 2) ? dw / 2 : 0;
            for (qreal x = r.left() - offset; x < r.right() + dw; x += dw) {
                QPolygonF diamond;
                diamond << QPointF(x, y - dh / 2) << QPointF(x + dw / 2, y) << QPointF(x, y + dh / 2)
                        << QPointF(x - dw / 2, y);
                p.setBrush(row % 2 ? pal.accent : pal.base);
                p.drawPolygon(diamond);
            }
        }
        QPen dashed(pal.light, line);
        dashed.setDashPattern({3, 2});
        p.setPen(dashed);
        const qreal slope = dh / dw;
        for (qreal x = r.left() - r.height(); x < r.right() + r.height(); x += dw) {
            p.drawLine(QPointF(x, r.top()), QPointF(x + r.height() / slope, r.bottom()));
            p.drawLine(QPointF(x, r.top()), QPointF(x - r.height() / slope, r.bottom()));
        }
        break;
    }
    case 11: { // honeycomb
        p.setBrush(Qt::NoBrush);
        const qreal side = u * 0.6;
        const qreal hexW = std::sqrt(3.0) * side;
        int row = 0;
        for (qreal y = r.top(); y < r.bottom() + side * 2; y += side * 1.5, ++row) {
            const qreal offset = (row % 2) ? hexW / 2 : 0;
            for (qreal x = r.left() - offset; x < r.right() + hexW; x += hexW) {
                QPolygonF hex;
                for (int k = 0; k < 6; ++k) {
                    const qreal a = std::numbers::pi / 6 + k * std::numbers::pi / 3;
                    hex << QPointF(x + side * std::cos(a), y + side * std::sin(a));
                }
                p.setPen(QPen(pal.accent, line * 1.3));
                p.setBrush(((row + int((x - r.left()) / hexW)) % 3 == 0) ? pal.light : Qt::NoBrush);
                p.drawPolygon(hex);
            }
        }
        break;
    }
    case 12: { // tartan
        p.setPen(Qt::NoPen);
        const qreal sett = u * 2.2;
        QColor band = pal.accent;
        band.setAlpha(150);
        for (qreal x = r.left(); x < r.right(); x += sett)
            p.fillRect(QRectF(x, r.top(), sett * 0.45, r.height()), band);
        for (qreal y = r.top(); y < r.bottom(); y += sett)
            p.fillRect(QRectF(r.left(), y, r.width(), sett * 0.45), band);
        QColor thin = pal.light;
        for (qreal x = r.left() + sett * 0.7; x < r.right(); x += sett)
            p.fillRect(QRectF(x, r.top(), qMax(1.0, u * 0.12), r.height()), thin);
        for (qreal y = r.top() + sett * 0.7; y < r.bottom(); y += sett)
            p.fillRect(QRectF(r.left(), y, r.width(), qMax(1.0, u * 0.12)), thin);
        QColor yellow(240, 210, 80, 200);
        for (qreal x = r.left() + sett * 0.22; x < r.right(); x += sett)
            p.fillRect(QRectF(x, r.top(), qMax(0.6, u * 0.06), r.height()), yellow);
        break;
    }
    case 13: { // chevrons
        p.setBrush(Qt::NoBrush);
        const qreal rise = u * 0.7;
        int i = 0;
        for (qreal y = r.top() - rise; y < r.bottom() + rise; y += u * 0.75, ++i) {
            QPainterPath zig;
            zig.moveTo(r.left() - u, y);
            int k = 0;
            for (qreal x = r.left() - u; x < r.right() + u; x += u * 0.9, ++k)
                zig.lineTo(x + u * 0.45, y + (k % 2 ? 0 : rise));
            p.setPen(QPen(i % 2 ? pal.light : pal.accent, line * (i % 2 ? 1.5 : 2.2),
                          Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            p.drawPath(zig);
        }
        break;
    }
    default: break;
    }
}

void paintBack(QPainter& p, int design, const QRectF& card)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    drawCardBlank(p, card, QColor(250, 250, 246));
    const qreal margin = qMax(2.0, card.width() * 0.065);
    const QRectF inner = card.adjusted(margin, margin, -margin, -margin);
    const qreal radius = card.width() * 0.045;
    QPainterPath clip;
    clip.addRoundedRect(inner, radius, radius);
    p.save();
    p.setClipPath(clip);
    paintBackPattern(p, design, inner);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(backPalettes()[design - 1].base.darker(140), qMax(0.8, card.width() / 70.0)));
    p.drawRoundedRect(inner, radius, radius);
}

} // namespace

QString CardArt::elementId(int suite, int number)
{
    if (!validFace(suite, number))
        return {};
    static const char* const suits[] = {"", "club", "spade", "heart", "diamond"};
    QString rank;
    switch (number) {
    case 11: rank = QStringLiteral("jack"); break;
    case 12: rank = QStringLiteral("queen"); break;
    case 13: rank = QStringLiteral("king"); break;
    default: rank = QString::number(number); break;
    }
    return rank + QLatin1Char('_') + QLatin1String(suits[suite]);
}

QString CardArt::deckFile()
{
    const ArtState& s = art();
    if (s.parseTried)
        return s.rendererFile;
    if (s.fileGiven)
        return s.givenFile;
    for (const QString& file : deckFilesToTry(s.chosenDeck))
        if (QFileInfo(file).isFile())
            return file;
    return {};
}

void CardArt::setDeckFile(const QString& path)
{
    ArtState& s = art();
    s.fileGiven = true;
    s.givenFile = path;
    resetDeck();
}

bool CardArt::deckParsed() { return art().renderer != nullptr; }

QString CardArt::deckFolder() { return deckFolderPath(); }

void CardArt::setDeckFolder(const QString& folder)
{
    ArtState& s = art();
    s.folderChosen = true;
    s.deckFolder = folder;
    resetDeck();
}

QList<CardDeck> CardArt::installedDecks(bool arabic)
{
    QList<CardDeck> decks;
    const QDir folder(deckFolderPath());
    for (const QString& id : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const std::optional<DeckIndex> index = readDeckIndex(folder.filePath(id));
        if (!index)
            continue;
        const QString file = folder.filePath(id) + u'/' + index->svg;
        if (!QFileInfo(file).isFile() || !showsFrenchSuits(file))
            continue;
        QString name = arabic && !index->arabicName.isEmpty() ? index->arabicName : index->name;
        if (name.isEmpty())
            name = id;
        decks.append({id, name, file});
    }
    QCollator collator(QLocale(arabic ? QLocale::Arabic : QLocale::English));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(decks.begin(), decks.end(), [&collator](const CardDeck& a, const CardDeck& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return decks;
}

void CardArt::sortDecksInBackground()
{
    // Whether each deck's suits are French is known only from its faces, and reading every
    // installed deck takes about a second: done while the player looks at the first deal, the
    // Options dialog opens at once.
    QStringList files;
    const QDir folder(deckFolderPath());
    for (const QString& id : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (const std::optional<DeckIndex> index = readDeckIndex(folder.filePath(id)))
            files.append(folder.filePath(id) + u'/' + index->svg);
    }
    (void)QtConcurrent::run([files] {
        for (const QString& file : files) {
            if (QFileInfo(file).isFile())
                showsFrenchSuits(file);
        }
    });
}

QString CardArt::defaultDeck()
{
    for (const char* candidate : DeckCandidates) {
        const QString relative = QLatin1String(candidate);
        if (QFileInfo(deckFolderPath() + u'/' + relative).isFile())
            return relative.section(u'/', 0, 0);
    }
    return {};
}

QString CardArt::chosenDeck() { return art().chosenDeck; }

void CardArt::setDeck(const QString& id)
{
    ArtState& s = art();
    s.fileGiven = false;
    s.givenFile.clear();
    s.chosenDeck = id.trimmed();
    resetDeck();
}

QString CardArt::deckInUse()
{
    deckRenderer();
    const QString& file = art().rendererFile;
    if (file.isEmpty() || art().fileGiven)
        return {};
    return QFileInfo(file).dir().dirName();
}

QPixmap CardArt::preview(const QString& id, QSize cardSize, qreal dpr)
{
    if (cardSize.isEmpty())
        return {};
    auto [renderer, file] = firstUsableDeck(deckFilesToTry(id));
    const int step = cardSize.width() * 2 / 3;
    const int count = int(PreviewFaces.size());
    const QSize total(cardSize.width() + step * (count - 1), cardSize.height());
    QPixmap pm = blankPixmap(total, dpr);
    QPainter p(&pm);
    for (int i = 0; i < count; ++i) {
        const auto [suite, number] = PreviewFaces[std::size_t(i)];
        p.drawPixmap(QPoint(i * step, 0), renderFace(renderer.get(), suite, number, cardSize, dpr));
    }
    return pm;
}

void CardArt::clearCache()
{
    art().cache.clear();
    art().cacheBytes = 0;
}

QPixmap CardArt::drawnFace(int suite, int number, QSize size, qreal dpr)
{
    if (!validFace(suite, number) || size.isEmpty())
        return {};
    QPixmap pm = blankPixmap(size, dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    paintDrawnFace(p, suite, number, QRectF(QPointF(0, 0), QSizeF(size)));
    return pm;
}

QPixmap CardArt::face(int suite, int number, QSize size, qreal dpr)
{
    if (!validFace(suite, number) || size.isEmpty())
        return {};
    ArtState& s = art();
    const QString key = cacheKey('f', suite, number, size, dpr);
    if (const QPixmap* hit = cached(s, key))
        return *hit;

    const QPixmap pm = renderFace(deckRenderer(), suite, number, size, dpr);
    remember(s, key, pm);
    return pm;
}

QPixmap CardArt::back(int design, QSize size, qreal dpr)
{
    if (size.isEmpty())
        return {};
    design = ((design - 1) % DesignCount + DesignCount) % DesignCount + 1;
    ArtState& s = art();
    const QString key = cacheKey('b', design, 0, size, dpr);
    if (const QPixmap* hit = cached(s, key))
        return *hit;
    QPixmap pm = blankPixmap(size, dpr);
    {
        QPainter p(&pm);
        paintBack(p, design, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    remember(s, key, pm);
    return pm;
}

QPixmap CardArt::forSprite(int suite, int number, QSize size, qreal dpr)
{
    if (suite >= 1 && suite <= 4)
        return face(suite, number, size, dpr);
    if (suite <= -1 && suite >= -DesignCount)
        return back(-suite, size, dpr);
    return {};
}

} // namespace halbeet
