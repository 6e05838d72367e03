// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of card faces: the decks offered in Options, the preview, what OK and Cancel do
// with the choice and the settings file, and the quiet fallback from a deck that cannot be used.

#include "core/game.h"
#include "dialog_helpers.h"
#include "settings/settings.h"
#include "ui/card_art.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/options_dialog.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace halbeet;
using halbeet::testing::TempSettings;

namespace {

constexpr QSize FaceSize(71, 96);

// A deck whose 52 faces are plain rectangles of one colour, so a rendered face tells which
// deck it came from. Faces listed in `leftOut` are not in the file.
QByteArray colouredDeck(const QColor& colour, const QStringList& leftOut = {}, QSize card = {71, 96})
{
    QByteArray svg = "<?xml version=\"1.0\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1000\" height=\"500\">\n";
    int n = 0;
    for (int suite = 1; suite <= 4; ++suite) {
        for (int number = 1; number <= 13; ++number, ++n) {
            const QString id = CardArt::elementId(suite, number);
            if (leftOut.contains(id))
                continue;
            svg += QStringLiteral("<g id=\"%1\"><rect x=\"%2\" y=\"%3\" width=\"%4\" height=\"%5\" "
                                  "fill=\"%6\"/></g>\n")
                       .arg(id)
                       .arg((n % 13) * 120)
                       .arg((n / 13) * 120)
                       .arg(card.width())
                       .arg(card.height())
                       .arg(colour.name())
                       .toUtf8();
        }
    }
    return svg + "</svg>\n";
}

// A deck whose faces are plain rectangles in one colour per suit (clubs, spades, hearts,
// diamonds), as a deck's suit signs would be coloured.
QByteArray suitColouredDeck(const std::array<QColor, 4>& colours)
{
    QByteArray svg = "<?xml version=\"1.0\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1600\" height=\"500\">\n";
    for (int suite = 1; suite <= 4; ++suite) {
        for (int number = 1; number <= 13; ++number) {
            svg += QStringLiteral("<rect id=\"%1\" x=\"%2\" y=\"%3\" width=\"71\" height=\"96\" "
                                  "fill=\"%4\"/>\n")
                       .arg(CardArt::elementId(suite, number))
                       .arg((number - 1) * 120)
                       .arg((suite - 1) * 120)
                       .arg(colours[std::size_t(suite - 1)].name())
                       .toUtf8();
        }
    }
    return svg + "</svg>\n";
}

// The gzip file format around zlib's deflate stream, as the installed .svgz decks are.
QByteArray gzip(const QByteArray& data)
{
    const QByteArray zlib = qCompress(data, 9); // 4 bytes of length, 2 of header, ..., 4 of Adler-32
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    QByteArray out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff", 10);
    out += zlib.mid(6, zlib.size() - 10);
    for (const quint32 value : {crc, quint32(data.size())})
        for (int shift = 0; shift < 32; shift += 8)
            out += char((value >> shift) & 0xFF);
    return out;
}

// A card-data folder of small decks. "svg-nicu-white" stands in for the default deck.
class DeckFolder {
public:
    DeckFolder()
    {
        addDeck("svg-nicu-white", "Nicu White", "نيكو الأبيض", "white.svgz", colouredDeck(Qt::green));
        addDeck("svg-azure", "Azure", "سماوي", "azure.svg", colouredDeck(Qt::blue));
        addDeck("svg-crimson", "crimson", "قرمزي", "crimson.svg", colouredDeck(Qt::red));
        // Installed as far as its index goes, but each of these fails when it is read.
        addDeck("svg-garbage", "Garbage", "", "garbage.svg", "this is not an SVG file");
        addDeck("svg-corrupt", "Corrupt", "", "corrupt.svgz", QByteArray("\x1f\x8b\x08\x00\xff\xff", 6));
        addDeck("svg-partial", "Partial", "", "partial.svg",
                colouredDeck(Qt::yellow, {QStringLiteral("king_diamond")}));
        // Faces lying on their side are not cards: the renderer has misread the deck.
        addDeck("svg-sideways", "Sideways", "", "sideways.svg", colouredDeck(Qt::blue, {}, {96, 71}));
        // Narrower cards than the table's keep their shape.
        addDeck("svg-narrow", "Narrow", "", "narrow.svg", colouredDeck(Qt::magenta, {}, {60, 96}));
        // Not installed: no SVG file, an index without one, a picture outside the folder,
        // a folder without an index.
        addDeck("svg-missing", "Missing", "", "missing.svg", {});
        writeFile("svg-noentry/index.desktop", "[KDE Backdeck]\nName=No Entry\n");
        addDeck("svg-outside", "Outside", "", "../svg-azure/azure.svg", {});
        writeFile("svg-noindex/noindex.svg", colouredDeck(Qt::blue));
        // Another group's keys are not the deck's.
        writeFile("svg-othergroup/index.desktop", "[Other]\nName=Other\nSVG=o.svg\n");
        writeFile("svg-othergroup/o.svg", colouredDeck(Qt::blue));
    }

    QString path() const { return m_dir.path(); }

    void addDeck(const QString& id, const QString& name, const QString& arabicName,
                 const QString& svgFile, const QByteArray& svg)
    {
        QByteArray index = "[KDE Backdeck]\nName=" + name.toUtf8() + "\n";
        if (!arabicName.isEmpty())
            index += "Name[ar]=" + arabicName.toUtf8() + "\n";
        index += "Name[de]=Deutsch\nSVG=" + svgFile.toUtf8() + "\nBack=Whatever\n";
        writeFile(id + QStringLiteral("/index.desktop"), index);
        if (svg.isEmpty())
            return;
        const bool compress = svgFile.endsWith(QStringLiteral(".svgz")) && svg.startsWith('<');
        writeFile(id + u'/' + svgFile, compress ? gzip(svg) : svg);
    }

    void writeFile(const QString& relative, const QByteArray& bytes)
    {
        const QString file = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    }

    bool remove(const QString& id) { return QDir(m_dir.filePath(id)).removeRecursively(); }

private:
    QTemporaryDir m_dir;
};

QColor centre(const QPixmap& pm)
{
    const QImage image = pm.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// The colour a face is painted in (the fixture decks are plain), or "drawn" for the program's
// own faces.
QString faceKind(const QPixmap& face, int suite, int number)
{
    const QPixmap drawn = CardArt::drawnFace(suite, number, face.deviceIndependentSize().toSize(),
                                             face.devicePixelRatio());
    if (centre(face) == centre(drawn))
        return QStringLiteral("drawn");
    return centre(face).name();
}

bool anyMessageBox()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(w) && w->isVisible())
            return true;
    return false;
}

// A table, the status bar and the dialog, on a private settings file and the fixture decks.
struct Fixture {
    explicit Fixture(const QString& lang = QStringLiteral("EN"))
    {
        setCurrentLang(lang);
        CardArt::setDeckFolder(decks.path());
        CardArt::setDeck(settings::faceDeck());
        table = std::make_unique<Table>();
        statusBar = std::make_unique<StatusBar>(state);
        dialog = std::make_unique<OptionsDialog>(*table, *statusBar, game);
        for (int seat = 1; seat <= 4; ++seat)
            table->setPlayerName(seat, QStringLiteral("P%1").arg(seat));
    }
    ~Fixture()
    {
        dialog.reset();
        statusBar.reset();
        table.reset();
        CardArt::setDeck(QString());
    }

    QComboBox* list() const { return dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1")); }
    QLabel* preview() const { return dialog->findChild<QLabel*>(QStringLiteral("Image2")); }
    QStringList names() const
    {
        QStringList result;
        for (int i = 0; i < list()->count(); ++i)
            result.append(list()->itemText(i));
        return result;
    }
    void select(const QString& id)
    {
        const int index = list()->findData(id);
        QVERIFY2(index >= 0, qPrintable(id));
        list()->setCurrentIndex(index);
    }
    void open() { dialog->show(); }
    void pressOk() { dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click(); }
    void pressCancel() { dialog->findChild<QPushButton*>(QStringLiteral("BitBtn3"))->click(); }
    // A face card of the table's human hand, painted as the screen shows it now.
    QString tableFace()
    {
        CardSprite* sprite = table->card(1);
        sprite->setSuite(3);
        sprite->setNumber(13);
        sprite->resize(FaceSize);
        return faceKind(sprite->grab(), 3, 13);
    }

    TempSettings settingsFile;
    DeckFolder decks;
    GameModel game{[] { return 1u; }};
    TGameState& state = game.arrange();
    std::unique_ptr<Table> table;
    std::unique_ptr<StatusBar> statusBar;
    std::unique_ptr<OptionsDialog> dialog;
};

const QString Green = QColor(Qt::green).name();
const QString Blue = QColor(Qt::blue).name();
const QString Red = QColor(Qt::red).name();

} // namespace

class TstCardFaces : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_systemFolder = CardArt::deckFolder(); }
    void cleanup()
    {
        CardArt::setDeckFolder(m_systemFolder);
        CardArt::setDeck(QString());
    }
    void listShowsTheInstalledDecksByName_data();
    void listShowsTheInstalledDecksByName();
    void unusableDecksFallBackQuietly_data();
    void unusableDecksFallBackQuietly();
    void narrowerFacesKeepTheirShape();
    void withoutAnyDeckTheFacesAreDrawn();
    void okStoresAndAppliesTheChoiceCancelDoesNot();
    void storedChoiceShowsAtOpeningAndAStaleOneIsKept();
    void previewFollowsTheSelection();
    void everySystemDeckHasAllFaces();
    void decksWithOtherSuitsAreNotOffered_data();
    void decksWithOtherSuitsAreNotOffered();
    void systemDecksWithOtherSuitsAreNotOffered();

private:
    QString m_systemFolder;
};

void TstCardFaces::listShowsTheInstalledDecksByName_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    // Sorted by name whatever the case; a deck without an Arabic name keeps its own.
    QTest::newRow("English") << "EN"
                             << QStringList{"Azure", "Corrupt", "crimson", "Garbage", "Narrow",
                                            "Nicu White", "Partial", "Sideways"}
                             << Qt::LeftToRight;
    // In Arabic, Arabic names come first.
    QTest::newRow("Arabic") << "AR"
                            << QStringList{"سماوي", "قرمزي", "نيكو الأبيض", "Corrupt", "Garbage",
                                           "Narrow", "Partial", "Sideways"}
                            << Qt::RightToLeft;
}

void TstCardFaces::listShowsTheInstalledDecksByName()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, names);
    QFETCH(Qt::LayoutDirection, direction);
    Fixture f(lang);
    f.open();
    QCOMPARE(f.names(), names);
    QVERIFY(f.list()->isEnabled());
    // Nothing stored: the default deck is selected.
    QCOMPARE(f.dialog->faceDeck(), QStringLiteral("svg-nicu-white"));

    // The caption reads first in the language's direction, the preview last; nothing in the
    // band overlaps, and all of it stays inside the dialog above the buttons.
    const QLabel* caption = f.dialog->findChild<QLabel*>(QStringLiteral("Label11"));
    const LanguageTexts& t = lang == QStringLiteral("AR") ? arabicTexts() : englishTexts();
    QCOMPARE(caption->text(), t.faces.Caption);
    const QRect captionBox = caption->geometry();
    const QRect listBox = f.list()->geometry();
    const QRect previewBox = f.preview()->geometry();
    QVERIFY(!captionBox.intersects(listBox));
    QVERIFY(!listBox.intersects(previewBox));
    QVERIFY(!captionBox.intersects(previewBox));
    QCOMPARE(captionBox.x() < previewBox.x(), direction == Qt::LeftToRight);
    const int buttonsTop = f.dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->y();
    for (const QRect& box : {captionBox, listBox, previewBox}) {
        QVERIFY(f.dialog->rect().contains(box));
        QVERIFY(box.bottom() < buttonsTop);
    }

    // A deck installed while the program runs is in the list at the next opening.
    f.pressCancel();
    f.decks.addDeck("svg-amber", "Amber", "كهرماني", "amber.svg", colouredDeck(Qt::yellow));
    f.open();
    QVERIFY(f.names().contains(lang == QStringLiteral("AR") ? QStringLiteral("كهرماني")
                                                            : QStringLiteral("Amber")));
}

void TstCardFaces::unusableDecksFallBackQuietly_data()
{
    QTest::addColumn<QString>("deck");
    QTest::addColumn<bool>("removeDefault");
    QTest::addColumn<QString>("expected");
    QTest::newRow("usable deck") << "svg-azure" << false << Blue;
    QTest::newRow("not SVG") << "svg-garbage" << false << Green;
    QTest::newRow("unreadable compressed file") << "svg-corrupt" << false << Green;
    QTest::newRow("a face missing") << "svg-partial" << false << Green;
    QTest::newRow("faces not card-shaped") << "svg-sideways" << false << Green;
    QTest::newRow("no picture file") << "svg-missing" << false << Green;
    QTest::newRow("picture outside its folder") << "svg-outside" << false << Green;
    QTest::newRow("never installed") << "svg-nowhere" << false << Green;
    QTest::newRow("path in the name") << "../svg-azure" << false << Green;
    QTest::newRow("broken, and no default deck") << "svg-garbage" << true << "drawn";
    QTest::newRow("usable, no default deck") << "svg-crimson" << true << Red;
}

void TstCardFaces::unusableDecksFallBackQuietly()
{
    QFETCH(QString, deck);
    QFETCH(bool, removeDefault);
    QFETCH(QString, expected);
    DeckFolder decks;
    if (removeDefault)
        QVERIFY(decks.remove(QStringLiteral("svg-nicu-white")));
    CardArt::setDeckFolder(decks.path());
    CardArt::setDeck(deck);
    // The partial deck lacks only the king of diamonds: no face of it is used, so the table
    // never shows two decks at once.
    for (const auto& [suite, number] : {std::pair{4, 13}, std::pair{3, 13}, std::pair{1, 1}})
        QCOMPARE(faceKind(CardArt::face(suite, number, FaceSize, 1.0), suite, number), expected);
    QCOMPARE(faceKind(CardArt::face(2, 7, FaceSize, 2.0), 2, 7), expected);
    QCOMPARE(CardArt::chosenDeck(), deck);
    const QString inUse = expected == Blue    ? QStringLiteral("svg-azure")
                          : expected == Red   ? QStringLiteral("svg-crimson")
                          : expected == Green ? QStringLiteral("svg-nicu-white")
                                              : QString();
    QCOMPARE(CardArt::deckInUse(), inUse);
    QVERIFY(!anyMessageBox());
}

void TstCardFaces::narrowerFacesKeepTheirShape()
{
    DeckFolder decks;
    CardArt::setDeckFolder(decks.path());
    CardArt::setDeck(QStringLiteral("svg-narrow"));
    for (const qreal dpr : {1.0, 2.0}) {
        const QImage face = CardArt::face(1, 5, FaceSize, dpr).toImage();
        const int middle = face.height() / 2;
        // 60 x 96 in a 71 x 96 place: about five pixels clear on either side, full height.
        QCOMPARE(face.pixelColor(face.width() / 2, middle), QColor(Qt::magenta));
        QCOMPARE(face.pixelColor(face.width() / 2, 1), QColor(Qt::magenta));
        QCOMPARE(face.pixelColor(int(3 * dpr), middle).alpha(), 0);
        QCOMPARE(face.pixelColor(face.width() - 1 - int(3 * dpr), middle).alpha(), 0);
        QCOMPARE(face.pixelColor(int(7 * dpr), middle), QColor(Qt::magenta));
    }
    // The table's own shape is filled edge to edge.
    CardArt::setDeck(QStringLiteral("svg-azure"));
    const QImage face = CardArt::face(1, 5, FaceSize, 1.0).toImage();
    QCOMPARE(face.pixelColor(1, 48), QColor(Qt::blue));
}

void TstCardFaces::withoutAnyDeckTheFacesAreDrawn()
{
    // A card-data folder that is gone: nothing to list, the list says so and is disabled,
    // and both the preview and the table show the program's own faces.
    Fixture f;
    f.settingsFile.write("[FACES]\nDECK=svg-standard\n");
    CardArt::setDeckFolder(f.decks.path() + QStringLiteral("/gone"));
    f.open();
    QCOMPARE(f.list()->count(), 1);
    QCOMPARE(f.list()->itemText(0), englishTexts().faces.NoDecks);
    QVERIFY(!f.list()->isEnabled());
    QCOMPARE(f.dialog->faceDeck(), QString());
    QCOMPARE(f.tableFace(), QStringLiteral("drawn"));
    const QPixmap preview = f.preview()->pixmap();
    QVERIFY(!preview.isNull());
    // The first face of the preview is the ace of spades, drawn; the next one covers all but
    // its left edge.
    const QImage drawnAce = CardArt::drawnFace(2, 1, QSize(44, 60), preview.devicePixelRatio()).toImage();
    const QRect edge(0, 0, drawnAce.width() / 2, drawnAce.height());
    QCOMPARE(preview.toImage().copy(edge), drawnAce.copy(edge));
    // OK keeps the stored choice: the deck may come back with the package.
    f.pressOk();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(settings::faceDeck(), QStringLiteral("svg-standard"));
    QVERIFY(!anyMessageBox());
}

void TstCardFaces::okStoresAndAppliesTheChoiceCancelDoesNot()
{
    Fixture f;
    f.settingsFile.write("; mine\n[NAMES]\nPLAYER1=P1\nNICK=x\n[EXTRA]\nY=2\n");
    f.open();
    QCOMPARE(f.tableFace(), Green);

    // Cancel: neither the file nor the table changes.
    f.select(QStringLiteral("svg-azure"));
    const QString before = f.settingsFile.contents();
    f.pressCancel();
    QCOMPARE(f.settingsFile.contents(), before);
    QCOMPARE(CardArt::chosenDeck(), QString());
    QCOMPARE(f.tableFace(), Green);

    // OK: stored as the folder's name, the rest of the file as it was, the table repainted.
    f.open();
    QCOMPARE(f.dialog->faceDeck(), QStringLiteral("svg-nicu-white"));
    f.select(QStringLiteral("svg-azure"));
    f.pressOk();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(settings::faceDeck(), QStringLiteral("svg-azure"));
    const QString after = f.settingsFile.contents();
    QVERIFY(after.startsWith(QStringLiteral("; mine\n[NAMES]\nPLAYER1=P1\nNICK=x\n")));
    QVERIFY(after.contains(QStringLiteral("[EXTRA]\nY=2\n")));
    QVERIFY(after.contains(QStringLiteral("[FACES]\nDECK=svg-azure\n")));
    QCOMPARE(CardArt::chosenDeck(), QStringLiteral("svg-azure"));
    QCOMPARE(f.tableFace(), Blue);

    // A broken deck chosen: stored as chosen, the table falls back, no message.
    f.open();
    f.select(QStringLiteral("svg-garbage"));
    f.pressOk();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(settings::faceDeck(), QStringLiteral("svg-garbage"));
    QCOMPARE(f.tableFace(), Green);
    QVERIFY(!anyMessageBox());
}

void TstCardFaces::storedChoiceShowsAtOpeningAndAStaleOneIsKept()
{
    struct Case {
        QByteArray stored;
        QString selected;
    };
    const Case cases[] = {
        {"[FACES]\nDECK=svg-crimson\n", QStringLiteral("svg-crimson")},
        {"[faces]\ndeck=  svg-azure  \n", QStringLiteral("svg-azure")},
        {"[FACES]\nDECK=\n", QStringLiteral("svg-nicu-white")},
        {"[FACES]\nDECK=svg-uninstalled\n", QStringLiteral("svg-nicu-white")},
    };
    for (const Case& c : cases) {
        Fixture f;
        TempSettings& settingsFile = f.settingsFile;
        settingsFile.write(c.stored);
        f.open();
        QCOMPARE(f.dialog->faceDeck(), c.selected);
        // OK without touching the list leaves the key as it was, so a deck that is not
        // installed now is still the choice when it comes back.
        f.pressOk();
        QVERIFY(!f.dialog->isVisible());
        QVERIFY2(settingsFile.contents().startsWith(QString::fromUtf8(c.stored)),
                 qPrintable(settingsFile.contents()));
    }

    // Picking the default deck that stands in for a deck no longer installed stores it.
    Fixture f;
    f.settingsFile.write("[FACES]\nDECK=svg-uninstalled\n");
    f.open();
    QCOMPARE(f.dialog->faceDeck(), QStringLiteral("svg-nicu-white"));
    f.list()->showPopup();
    QAbstractItemView* view = f.list()->view();
    QTest::keyClick(view, Qt::Key_Return);
    f.pressOk();
    QCOMPARE(settings::faceDeck(), QStringLiteral("svg-nicu-white"));
}

void TstCardFaces::previewFollowsTheSelection()
{
    Fixture f;
    f.open();
    const auto previewColour = [&f] {
        const QPixmap pm = f.preview()->pixmap();
        const QImage image = pm.toImage();
        return image.pixelColor(int(10 * pm.devicePixelRatio()), image.height() / 2).name();
    };
    QVERIFY(!f.preview()->pixmap().isNull());
    // Four faces, overlapping, at the preview size.
    QCOMPARE(f.preview()->pixmap().deviceIndependentSize().toSize(), QSize(44 + 3 * 29, 60));
    QCOMPARE(previewColour(), Green);
    f.select(QStringLiteral("svg-azure"));
    QCOMPARE(previewColour(), Blue);
    f.select(QStringLiteral("svg-crimson"));
    QCOMPARE(previewColour(), Red);
    // A deck that cannot be used previews as what the table would show.
    f.select(QStringLiteral("svg-partial"));
    QCOMPARE(previewColour(), Green);
    f.select(QStringLiteral("svg-azure"));
    QCOMPARE(previewColour(), Blue);
    // Previewing is not choosing.
    QCOMPARE(CardArt::chosenDeck(), QString());
    QVERIFY(!anyMessageBox());
}

void TstCardFaces::everySystemDeckHasAllFaces()
{
    // Faces are looked up by the same element names in every deck the package installs.
    const QList<CardDeck> decks = CardArt::installedDecks(false);
    if (decks.isEmpty())
        QSKIP("no card decks installed");
    QElapsedTimer clock;
    for (const CardDeck& deck : decks) {
        clock.start();
        QSvgRenderer renderer(deck.file);
        const qint64 parse = clock.restart();
        QVERIFY2(renderer.isValid(), qPrintable(deck.file));
        for (int suite = 1; suite <= 4; ++suite)
            for (int number = 1; number <= 13; ++number)
                QVERIFY2(renderer.elementExists(CardArt::elementId(suite, number)),
                         qPrintable(deck.id + u' ' + CardArt::elementId(suite, number)));
        clock.restart();
        const QPixmap preview = CardArt::preview(deck.id, QSize(44, 60), 1.0);
        const qint64 previewTime = clock.elapsed();
        QVERIFY(!preview.isNull());
        CardArt::setDeck(deck.id);
        const QString inUse = CardArt::deckInUse();
        qInfo("%-28s parse %4lld ms, preview (parse and four faces) %4lld ms%s", qPrintable(deck.id),
              parse, previewTime, inUse == deck.id ? "" : qPrintable(QStringLiteral(", shown as ") + inUse));
        // Only a deck that cannot be drawn right is passed over, for the default one.
        QVERIFY(inUse == deck.id || inUse == CardArt::defaultDeck());
    }
}

void TstCardFaces::decksWithOtherSuitsAreNotOffered_data()
{
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<bool>("offered");
    const QColor black(20, 20, 20), red(200, 16, 32), green(40, 140, 40), brown(140, 90, 40),
        yellow(230, 190, 30), blue(30, 60, 200);
    QTest::newRow("French: black and red") << suitColouredDeck({black, black, red, red}) << true;
    QTest::newRow("French in four colours, black spades")
        << suitColouredDeck({green, black, red, blue}) << true;
    QTest::newRow("French, red spades and green hearts")
        << suitColouredDeck({blue, red, green, yellow}) << true;
    QTest::newRow("German: acorns, leaves, hearts, bells")
        << suitColouredDeck({brown, green, red, yellow}) << false;
    QTest::newRow("German, hearts drawn in black") << suitColouredDeck({brown, green, black, yellow})
                                                   << false;
    // One colour throughout says nothing of the suits.
    QTest::newRow("one colour") << suitColouredDeck({green, green, green, green}) << true;
}

void TstCardFaces::decksWithOtherSuitsAreNotOffered()
{
    QFETCH(QByteArray, svg);
    QFETCH(bool, offered);
    TempSettings settings;
    Fixture f;
    f.decks.addDeck("svg-suits", "Suits", "", "suits.svg", svg);
    f.open();
    QCOMPARE(f.names().contains(QStringLiteral("Suits")), offered);
    f.pressCancel();
    // Chosen before (by hand, or by an older version), it is passed over like an unusable
    // deck: the table's suit signs would not match its faces.
    CardArt::setDeck(QStringLiteral("svg-suits"));
    QCOMPARE(CardArt::deckInUse(),
             offered ? QStringLiteral("svg-suits") : QStringLiteral("svg-nicu-white"));
}

void TstCardFaces::systemDecksWithOtherSuitsAreNotOffered()
{
    CardArt::setDeckFolder(m_systemFolder);
    if (!QFileInfo::exists(m_systemFolder + QStringLiteral("/svg-xskat-german/index.desktop")))
        QSKIP("the German-suited deck is not installed");
    QElapsedTimer clock;
    clock.start();
    QStringList ids;
    for (const CardDeck& deck : CardArt::installedDecks(false))
        ids << deck.id;
    qInfo("the system's decks sorted and listed in %lld ms", clock.elapsed());
    QVERIFY2(!ids.contains(QStringLiteral("svg-xskat-german")), qPrintable(ids.join(u' ')));
    QVERIFY2(ids.contains(QStringLiteral("svg-standard")), qPrintable(ids.join(u' ')));
    if (QFileInfo::exists(m_systemFolder + QStringLiteral("/svg-xskat-french/index.desktop")))
        QVERIFY2(ids.contains(QStringLiteral("svg-xskat-french")), qPrintable(ids.join(u' ')));
    // Asked again (each opening of Options), the answers are kept.
    clock.restart();
    CardArt::installedDecks(false);
    QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstCardFaces test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_card_faces.moc"
