// SPDX-License-Identifier: GPL-3.0-or-later
// A thousand damaged, hostile and odd settings files, each taken through the program's own
// start-up: the language read, the main window, the name dialog and its OK, which deals the
// first deal. Whatever the file holds, the game must start, fall back to the defaults for what
// it cannot use, show every name as plain text, and leave the file's bytes alone until the
// name dialog writes PLAYER1 (and then change nothing else but a DELAY that needs correcting).

#include "core/state.h"
#include "settings/saved_game.h"
#include "settings/settings.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/motion.h"
#include "ui/name_dialog.h"
#include "ui/score_sheet.h"
#include "ui/startup.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <random>
#include <vector>

using namespace halbeet;

namespace {

// What the program must make of a file. For a file damaged at random (weak) nothing is known
// in advance but that the window shows what the store reads, as plain text.
struct Expectation {
    bool weak = false;
    std::array<QString, 5> names{QString(), QString(), QStringLiteral("Player2"),
                                 QStringLiteral("Player3"), QStringLiteral("Player4")};
    // A value of about a megabyte: shown whole, or the default, never a part of it.
    std::array<bool, 5> wholeOrDefault{};
    bool arabic = false;
    int back = -2;
    int delay = 100;
};

const std::array<QString, 5> DefaultNames{QString(), QString(), QStringLiteral("Player2"),
                                          QStringLiteral("Player3"), QStringLiteral("Player4")};

struct Sample {
    QByteArray bytes;
    std::optional<QString> reads; // nothing: the key reads as its default
};

QByteArray repeatUtf8(const QString& unit, int times) { return unit.repeated(times).toUtf8(); }

// Names that are text, however awkward: each must come back exactly.
std::vector<Sample> cleanNames()
{
    const QStringList names{
        QStringLiteral("Hawk"),
        QStringLiteral("<b>x</b>"),
        QStringLiteral("<img src=x>"),
        QStringLiteral("&amp;"),
        QStringLiteral("<a href=\"http://x\">link</a>"),
        QStringLiteral("&lt;i&gt;"),
        QString::fromUtf8("\u200Fright\u200E-left"),
        QString::fromUtf8("\u202Eevil"),
        QString::fromUtf8("فهد"),
        QString::fromUtf8("صقر <b>"),
        QStringLiteral("a\tb"),
        QString::fromUtf8("\uFEFFbom"),
        QString::fromUtf8("🂡 ace"),
        QStringLiteral("x]y"),
        QStringLiteral("[NAMES]"),
        QStringLiteral("a=b"),
        QStringLiteral("; not a comment"),
        QString(), // present but empty: an empty name, not the default
        QStringLiteral("x").repeated(10000),
        QString::fromUtf8("ب").repeated(10000),
        QStringLiteral("<b>").repeated(2500),
    };
    std::vector<Sample> samples;
    for (const QString& name : names)
        samples.push_back({name.toUtf8(), name});
    return samples;
}

// Values other programs may leave: bytes that are not UTF-8 (read in the Windows code page
// 1256) and control characters (read as the spaces a write stores). Never the default.
std::vector<Sample> dirtyNames()
{
    return {
        {QByteArray("\xFF\xFE"), QStringLiteral(u"\u06D2\u200F")},
        {QByteArray("ab\0cd", 5), QStringLiteral("ab cd")},
        {QByteArray("\xC0\xAF"), QStringLiteral(u"\u06C1\u00AF")},              // overlong '/'
        {QByteArray("\xED\xA0\x80x"), QStringLiteral(u"\u064A\u00A0\u20ACx")},    // a surrogate
        {QByteArray("\xF4\x90\x80\x80"), QStringLiteral(u"\u00F4\u06AF\u20AC\u20AC")}, // past U+10FFFF
        {QByteArray("a\x01" "b"), QStringLiteral("a b")},
        {QByteArray("Bell\x07X"), QStringLiteral("Bell X")},
        {QByteArray("a\x7F" "b"), QStringLiteral("a b")},
        {QByteArray("a\rb"), QStringLiteral("a b")},
        {QByteArray("\x80"), QStringLiteral(u"\u20AC")},
        {QByteArray("caf\xE9"), QStringLiteral(u"caf\u00E9")},                   // Latin-1
        {QByteArray("\xE3\xCD\xE3\xCF"), QStringLiteral(u"\u0645\u062D\u0645\u062F")}, // Arabic, 1256
    };
}

struct IntSample {
    QByteArray text;
    int used; // what the program uses
};

const std::vector<IntSample>& backSamples()
{
    static const std::vector<IntSample> samples{
        {"5", -1},    {"0", -1},       {"-1", -1},  {"-13", -13},       {"-14", -13},
        {"x", -2},    {"", -2},        {"-7", -7},  {"0x10", -1},       {"-2147483648", -13},
        {"99999999999", -2}, {"-5x", -2}, {"--3", -2}, {"-0x3", -3},
    };
    return samples;
}

const std::vector<IntSample>& delaySamples()
{
    static const std::vector<IntSample> samples{
        {"0", 100},      {"99", 100},   {"100", 100},  {"101", 100},   {"499", 100},
        {"500", 500},    {"501", 500},  {"999", 500},  {"1000", 1000}, {"1001", 1000},
        {"-5", 100},     {"abc", 100},  {"0x1F4", 500}, {"$3E8", 1000}, {"2147483647", 1000},
        {"", 100},
    };
    return samples;
}

const std::vector<std::pair<QByteArray, bool>>& langSamples()
{
    static const std::vector<std::pair<QByteArray, bool>> samples{
        {"AR", true},  {"EN", false},  {"ar", false},     {"FR", false},
        {"", false},   {"ARABIC", false}, {"A R", false}, {QByteArray("\xD8\xB9\xD8\xB1"), false},
        {QByteArray("AR\0", 3), false}, {QByteArray("\xFF" "AR"), false},
    };
    return samples;
}

QByteArray randomCase(std::mt19937& rng, const char* name)
{
    QByteArray out(name);
    for (char& c : out) {
        if (rng() % 2 && c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

template <typename T>
const T& pick(std::mt19937& rng, const std::vector<T>& from)
{
    return from[rng() % from.size()];
}

// A file built from the seven keys, with the traps a hand-edited file may hold: names of
// sections and keys in any case, blanks around '=', sections twice (the first value counts),
// keys twice, decoy keys in other sections and in comments, junk lines, a BOM, CR LF.
QByteArray structuredFile(std::mt19937& rng, Expectation& expect, bool huge)
{
    struct Key {
        const char* section;
        const char* key;
    };
    struct Entry {
        QByteArray value;
        bool present = false;
    };
    std::array<Entry, 7> entries{};
    const std::array<Key, 7> keys{{{"NAMES", "PLAYER1"}, {"NAMES", "PLAYER2"},
                                   {"NAMES", "PLAYER3"}, {"NAMES", "PLAYER4"},
                                   {"BACKCARD", "BACK"}, {"DELAYCARD", "DELAY"},
                                   {"LANGUAGE", "LANG"}}};
    static const std::vector<Sample> clean = cleanNames();
    static const std::vector<Sample> dirty = dirtyNames();

    for (int seat = 1; seat <= 4; ++seat) {
        Entry& entry = entries[std::size_t(seat - 1)];
        if (rng() % 4 == 0)
            continue;
        entry.present = true;
        const Sample& sample = rng() % 3 == 0 ? pick(rng, dirty) : pick(rng, clean);
        entry.value = sample.bytes;
        expect.names[std::size_t(seat)] = sample.reads.value_or(DefaultNames[std::size_t(seat)]);
    }
    if (huge) {
        const int seat = 1 + int(rng() % 4);
        Entry& entry = entries[std::size_t(seat - 1)];
        entry.present = true;
        entry.value = repeatUtf8(rng() % 2 ? QStringLiteral("y") : QString::fromUtf8("ش"), 1 << 20);
        expect.names[std::size_t(seat)] = QString::fromUtf8(entry.value);
        expect.wholeOrDefault[std::size_t(seat)] = true;
    }
    if (rng() % 4) {
        const IntSample& back = pick(rng, backSamples());
        entries[4] = {back.text, true};
        expect.back = back.used;
    }
    if (rng() % 4) {
        const IntSample& delay = pick(rng, delaySamples());
        entries[5] = {delay.text, true};
        expect.delay = delay.used;
    }
    if (rng() % 4) {
        const auto& lang = pick(rng, langSamples());
        entries[6] = {lang.first, true};
        expect.arabic = lang.second;
    }

    const QByteArray eol = rng() % 2 ? QByteArray("\r\n") : QByteArray("\n");
    std::vector<QByteArray> lines;
    auto keyLine = [&](const Key& key, const QByteArray& value) {
        QByteArray line = randomCase(rng, key.key);
        line += rng() % 3 == 0 ? QByteArray(" = ") : rng() % 2 ? QByteArray("=") : QByteArray("\t=");
        return line + value;
    };
    auto junk = [&] {
        static const std::vector<QByteArray> lines{"; PLAYER1=decoy", "# LANG=AR", "garbage line",
                                                   "=value without key", "]", "   "};
        return pick(rng, lines);
    };
    if (rng() % 4 == 0) {
        lines.push_back("[OTHER]");
        lines.push_back("PLAYER2=decoy");
        lines.push_back("LANG=AR");
    }
    for (const char* section : {"NAMES", "BACKCARD", "DELAYCARD", "LANGUAGE"}) {
        std::vector<std::size_t> mine;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (std::strcmp(keys[k].section, section) == 0 && entries[k].present)
                mine.push_back(k);
        }
        // A missing section; or an empty one, which reads the same.
        if (mine.empty() && rng() % 2)
            continue;
        std::shuffle(mine.begin(), mine.end(), rng);
        lines.push_back("[" + randomCase(rng, section) + "]");
        for (const std::size_t k : mine) {
            if (rng() % 5 == 0)
                lines.push_back(junk());
            lines.push_back(keyLine(keys[k], entries[k].value));
            // A second line of the same key: never read.
            if (rng() % 6 == 0)
                lines.push_back(keyLine(keys[k], "decoy"));
        }
        // The same section again later: none of its keys count when the first one has them.
        if (!mine.empty() && rng() % 5 == 0) {
            lines.push_back("[" + QByteArray(section) + "]");
            for (const std::size_t k : mine)
                lines.push_back(keyLine(keys[k], "AR"));
        }
    }
    if (rng() % 5 == 0)
        lines.push_back("[NAMES2]\nPLAYER3=decoy");

    QByteArray file = rng() % 4 == 0 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    if (huge && rng() % 2) // a megabyte of junk ahead of everything
        file += QByteArray(1 << 20, 'z') + eol;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        file += lines[i];
        if (i + 1 < lines.size() || rng() % 2)
            file += eol;
    }
    return file;
}

// Damage a good file at random: flipped and inserted bytes, cut short.
QByteArray mutate(std::mt19937& rng, QByteArray file)
{
    static const QByteArray specials("\0\xFF\r\n[]=;\x80\xC3 \t", 13);
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits && !file.isEmpty(); ++e) {
        const auto at = qsizetype(rng() % std::size_t(file.size()));
        switch (rng() % 4) {
        case 0:
            file[at] = char(rng() & 0xFF);
            break;
        case 1:
            file.insert(at, specials[qsizetype(rng() % std::size_t(specials.size()))]);
            break;
        case 2:
            file.remove(at, 1 + qsizetype(rng() % 8));
            break;
        default:
            file.truncate(at);
            break;
        }
    }
    return file;
}

QByteArray garbage(std::mt19937& rng)
{
    QByteArray bytes(qsizetype(rng() % 4096), '\0');
    for (char& c : bytes)
        c = char(rng() & 0xFF);
    return bytes;
}

struct Case {
    QByteArray name;
    std::optional<QByteArray> file; // nothing: no settings file at all
    Expectation expect;
};

std::vector<Case> makeCases(int count)
{
    std::mt19937 rng(20240611);
    std::vector<Case> cases;
    for (int n = 1; n <= count; ++n) {
        Case c;
        const unsigned kind = rng() % 100;
        if (kind < 3) {
            c.name = "no file";
        } else if (kind < 6) {
            c.name = "empty file";
            c.file = QByteArray();
        } else if (kind < 18) {
            c.name = "garbage bytes";
            c.file = garbage(rng);
        } else if (kind < 20) {
            c.name = "huge value";
            c.file = structuredFile(rng, c.expect, true);
        } else if (kind < 45) {
            c.name = "damaged";
            c.file = mutate(rng, structuredFile(rng, c.expect, false));
            c.expect.weak = true;
        } else {
            c.name = "well-formed";
            c.file = structuredFile(rng, c.expect, false);
        }
        c.name = QByteArray::number(n) + ": " + c.name;
        cases.push_back(std::move(c));
    }
    return cases;
}

QString describe(const QString& text)
{
    return text.size() > 40 ? text.left(40) + QStringLiteral("... (%1 characters)").arg(text.size())
                            : text;
}

bool hasControl(const QString& text)
{
    for (const QChar c : text) {
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

// Everything the store can tell about the file, to compare before and after the name's write.
struct Stored {
    std::array<QString, 5> names;
    QString lang;
    int back = 0;
    int delay = 0;
    QString rawBack;
    QString rawDelay;

    static Stored read()
    {
        Stored s;
        for (int seat = 1; seat <= 4; ++seat)
            s.names[std::size_t(seat)] = settings::playerName(seat);
        s.lang = settings::language();
        s.back = settings::readInteger(QStringLiteral("BACKCARD"), QStringLiteral("BACK"), -2);
        s.delay = settings::readInteger(QStringLiteral("DELAYCARD"), QStringLiteral("DELAY"), 100);
        s.rawBack = settings::readString(QStringLiteral("BACKCARD"), QStringLiteral("BACK"), QStringLiteral("(none)"));
        s.rawDelay = settings::readString(QStringLiteral("DELAYCARD"), QStringLiteral("DELAY"), QStringLiteral("(none)"));
        return s;
    }
};

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says this for every name dialog; a thousand times is noise.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message == QLatin1String("This plugin does not support raise()"))
        return;
    previousHandler(type, context, message);
}

} // namespace

class TestSettingsFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startUpSurvivesTheFile();
    void oversizedFileIsSetAsideAndTheGameStarts();

private:
    void runCase(const Case& c);
    QTemporaryDir m_home;
    QString m_file;
};

void TestSettingsFiles::initTestCase()
{
    previousHandler = qInstallMessageHandler(quietHandler);
    QVERIFY(m_home.isValid());
    qputenv("APPDATA", m_home.path().toUtf8());
    // Each case's first deal is saved: its own data folder, emptied before every case.
    qputenv("XDG_DATA_HOME", (m_home.path() + QStringLiteral("/data")).toUtf8());
    m_file = QDir::cleanPath(m_home.path() + QStringLiteral("/Dovelarks/Halbeet")) +
             QStringLiteral("/Halbeet.ini");
    QCOMPARE(settings::SettingsFile(), m_file);
    setTimeScale(0);
}

void TestSettingsFiles::startUpSurvivesTheFile()
{
    QElapsedTimer clock;
    clock.start();
    const std::vector<Case> cases = makeCases(1000);
    for (const Case& c : cases) {
        runCase(c);
        if (QTest::currentTestFailed()) {
            qWarning("failed in case %s", c.name.constData());
            return;
        }
    }
    qInfo("%zu files in %lld ms", cases.size(), static_cast<long long>(clock.elapsed()));
}

// A file over the size cap used to refuse every write, so the name dialog stopped the game at
// every start. Now it is moved aside whole, a fresh file takes the name, and the player is told
// once where the old file went.
void TestSettingsFiles::oversizedFileIsSetAsideAndTheGameStarts()
{
    savedgame::discard();
    QFile::remove(m_file);
    QDir().mkpath(QFileInfo(m_file).path());
    const QByteArray huge = "[NAMES]\nPLAYER2=Falcon\n" + QByteArray(17 * 1024 * 1024, ';');
    {
        QFile out(m_file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(huge), huge.size());
    }
    const QString aside = QFileInfo(m_file).path() + QStringLiteral("/Halbeet-too-large.ini");
    QFile::remove(aside);
    prepareApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    GameModel game([] { return 7u; });
    std::unique_ptr<MainWindow> window = createMainWindow(game);
    window->setNameDialogDelay(0);
    window->show();
    QTRY_VERIFY(window->nameDialog() && window->nameDialog()->isVisible());

    QStringList notices;
    QTimer watcher;
    watcher.setInterval(5);
    connect(&watcher, &QTimer::timeout, this, [&notices] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible()) {
            notices << box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    watcher.start();
    window->nameDialog()->nameField()->setText(QStringLiteral("Hawk"));
    window->nameDialog()->acceptName();
    QVERIFY2(!window->nameDialog()->isVisible(), "the name was refused");
    QVERIFY(window->table()->bidButton()->isVisible());
    QTRY_COMPARE(notices.size(), 1);
    QCOMPARE(notices.first(), englishTexts().flow.SettingsSetAside.arg(aside));
    QCOMPARE(QFileInfo(aside).size(), huge.size());
    QCOMPARE(settings::playerName(1), QStringLiteral("Hawk"));

    // Once: later writes go into the fresh file.
    settings::setPlayerName(3, QStringLiteral("Owl"));
    QTest::qWait(50);
    QCOMPARE(notices.size(), 1);
    window.reset();
    QFile::remove(aside);
}

void TestSettingsFiles::runCase(const Case& c)
{
    const Expectation& expect = c.expect;
    // A game saved by the case before must not be offered to this one.
    savedgame::discard();
    QFile::remove(m_file);
    QDir().mkpath(QFileInfo(m_file).path());
    if (c.file) {
        QFile out(m_file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(*c.file), c.file->size());
    }
    const Stored before = Stored::read();

    // The start-up path of the program.
    prepareApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    const bool arabic = expect.weak ? before.lang == QStringLiteral("AR") : expect.arabic;
    QCOMPARE(CurrentLang(), arabic ? QStringLiteral("AR") : QStringLiteral("EN"));

    GameModel game([next = std::uint32_t{7}]() mutable { return next++; });
    std::unique_ptr<MainWindow> window = createMainWindow(game);
    QCOMPARE(window->windowTitle(),
             arabic ? arabicTexts().mainWindow.caption : englishTexts().mainWindow.caption);
    window->setNameDialogDelay(0);
    window->show();
    QElapsedTimer waited;
    waited.start();
    // The dialog's timer is due at once; no need to sleep between the passes.
    while (!window->nameDialog() && waited.elapsed() < 5000)
        QCoreApplication::processEvents();
    NameDialog* dialog = window->nameDialog();
    QVERIFY2(dialog && dialog->isVisible(), "the name dialog did not come up");

    // Nothing has been written yet: the file is exactly as it was, or still absent.
    QCOMPARE(QFileInfo::exists(m_file), c.file.has_value());
    if (c.file) {
        QFile in(m_file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QVERIFY2(in.readAll() == *c.file, "the file was rewritten before any key was written");
    }

    std::array<QString, 5> names = expect.names;
    if (expect.weak) {
        names = before.names;
        for (int seat = 1; seat <= 4; ++seat)
            QVERIFY2(!hasControl(names[std::size_t(seat)]), "a control character got into a name");
    }
    for (int seat = 1; seat <= 4; ++seat) {
        const auto s = std::size_t(seat);
        // A megabyte-long value may be refused as a name; then the default stands.
        if (expect.wholeOrDefault[s] && before.names[s] == DefaultNames[s])
            names[s] = DefaultNames[s];
        // No sample is spelled like a default: a default on the table means nothing was
        // stored, and the Arabic interface names those players in Arabic.
        if (arabic && names[s] == DefaultNames[s])
            names[s] = arabicTexts().names.defaults[s];
    }

    // The stored name is offered whole, as the player left it in the file.
    QLineEdit* field = dialog->nameField();
    QVERIFY2(field->text() == names[1],
             qPrintable(QStringLiteral("name field shows \"%1\", stored \"%2\"")
                            .arg(describe(field->text()), describe(names[1]))));
    if (field->text().isEmpty()) {
        field->setText(QStringLiteral("Tester"));
        names[1] = QStringLiteral("Tester");
    }
    dialog->acceptName();
    QVERIFY2(!dialog->isVisible(), "the name was not taken");
    QVERIFY(window->isEnabled());
    QCOMPARE(game.state().CardsPlayed, 0);

    // Every name on the table, in the status bar and on the score sheet is plain text.
    Table* table = window->table();
    for (int seat = 1; seat <= 4; ++seat) {
        QLabel* label = table->nameLabel(seat);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY2(label->text() == names[std::size_t(seat)],
                 qPrintable(QStringLiteral("seat %1 shows \"%2\", expected \"%3\"")
                                .arg(seat)
                                .arg(describe(label->text()), describe(names[std::size_t(seat)]))));
        QCOMPARE(window->scoreSheet()->heading(seat)->textFormat(), Qt::PlainText);
    }
    const int dealer = DealerSeat(game.state().DealerCounter);
    QCOMPARE(window->statusBar1()->getDealPanel()->text(), names[std::size_t(dealer)]);
    QCOMPARE(window->statusBar1()->getPlayPanel()->text(), names[std::size_t(dealer % 4 + 1)]);

    // The back design and the speed the deal uses.
    const int back = expect.weak ? std::clamp(before.back >= 0 ? -1 : before.back, -13, -1) : expect.back;
    QCOMPARE(table->handSprite(2, 1)->Suite(), back);
    const int delay = expect.weak ? settings::normalizedDealDelay(before.delay) : expect.delay;
    QCOMPARE(game.state().PlayDelay, delay);

    // After the name's write: PLAYER1 holds the name, DELAY its corrected value when it
    // needed one, and every other key reads as before.
    const Stored after = Stored::read();
    QVERIFY2(after.names[1] == names[1], qPrintable(describe(after.names[1])));
    for (int seat = 2; seat <= 4; ++seat)
        QVERIFY2(after.names[std::size_t(seat)] == before.names[std::size_t(seat)],
                 qPrintable(QStringLiteral("PLAYER%1 changed").arg(seat)));
    QCOMPARE(after.lang, before.lang);
    QCOMPARE(after.rawBack, before.rawBack);
    if (delay == before.delay)
        QCOMPARE(after.rawDelay, before.rawDelay);
    else
        QCOMPARE(after.delay, delay);
    QCOMPARE(QDir(QFileInfo(m_file).path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Halbeet.ini")});

    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TestSettingsFiles)
#include "tst_settings_files.moc"
