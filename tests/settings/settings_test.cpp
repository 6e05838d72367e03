// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings.h"

#include "print_qt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include <sys/resource.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace settings = halbeet::settings;
using halbeet::SettingsWriteError;

namespace {

// A string literal with the NUL bytes inside it.
template <std::size_t N>
QByteArray raw(const char (&literal)[N])
{
    return QByteArray(literal, qsizetype(N - 1));
}

QByteArray garbage(qsizetype size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray out(size, '\0');
    for (char& c : out)
        c = char(byte(generator));
    return out;
}

// Restores an environment variable, set or unset, when the test ends.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(const char* name)
        : m_name(name)
        , m_wasSet(qEnvironmentVariableIsSet(name))
        , m_value(qgetenv(name))
    {
    }
    ~EnvironmentGuard()
    {
        if (m_wasSet)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

private:
    const char* m_name;
    bool m_wasSet;
    QByteArray m_value;
};

// What is on disk, down to the inode: the file is replaced by a rename on every write,
// so an unchanged inode proves that nothing was written, even a write of equal bytes.
struct FileState {
    bool exists = false;
    QByteArray content;
    ino_t inode = 0;
    bool operator==(const FileState&) const = default;
};

FileState fileState(const QString& path)
{
    FileState state;
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return state;
    state.exists = true;
    state.inode = info.st_ino;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        state.content = file.readAll();
    return state;
}

void PrintTo(const FileState& state, std::ostream* os)
{
    if (!state.exists) {
        *os << "(no file)";
        return;
    }
    *os << "inode " << state.inode << ", " << state.content.size() << " bytes";
    if (state.content.size() < 200)
        *os << ": " << testing::PrintToString(state.content.toStdString());
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        qputenv("APPDATA", QFile::encodeName(m_root.path()));
    }

    QString root() const { return m_root.path(); }
    QString folder() const { return root() + QStringLiteral("/Dovelarks/Halbeet"); }
    QString file() const { return folder() + QStringLiteral("/Halbeet.ini"); }

    void writeFile(const QByteArray& content) const
    {
        ASSERT_TRUE(QDir().mkpath(folder()));
        QFile out(file());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(out.write(content), content.size());
    }

    FileState state() const { return fileState(file()); }

private:
    EnvironmentGuard m_appData{"APPDATA"};
    QTemporaryDir m_root;
};

// Every value the program reads, read the way the program reads it.
struct AllSettings {
    QString player1, player2, player3, player4;
    int back = 0;
    int delay = 0;
    QString language;
    bool operator==(const AllSettings&) const = default;
};

void PrintTo(const AllSettings& s, std::ostream* os)
{
    *os << "{" << testing::PrintToString(s.player1) << ", " << testing::PrintToString(s.player2) << ", "
        << testing::PrintToString(s.player3) << ", " << testing::PrintToString(s.player4) << ", back " << s.back
        << ", delay " << s.delay << ", " << testing::PrintToString(s.language) << "}";
}

AllSettings readAll()
{
    return {settings::playerName(1), settings::playerName(2), settings::playerName(3), settings::playerName(4),
            settings::backDesign(), settings::dealDelay(), settings::language()};
}

const AllSettings Defaults{QString(), QStringLiteral("Player2"), QStringLiteral("Player3"), QStringLiteral("Player4"),
                           -2, 100, QStringLiteral("EN")};

// ---------------------------------------------------------------------------------------

TEST(SettingsLocation, AppDataFirstThenXdgThenHome)
{
    EnvironmentGuard appData("APPDATA");
    EnvironmentGuard xdg("XDG_CONFIG_HOME");
    EnvironmentGuard home("HOME");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path();

    struct Case {
        const char* what;
        std::optional<QString> appData;
        std::optional<QString> xdg;
        QString expectedBase;
    };
    const Case cases[] = {
        {"APPDATA wins", d + "/app", d + "/xdg", d + "/app"},
        {"APPDATA with a trailing slash", d + "/app/", d + "/xdg", d + "/app"},
        {"empty APPDATA is not set", QString(), d + "/xdg", d + "/xdg"},
        {"no APPDATA", std::nullopt, d + "/xdg", d + "/xdg"},
        {"relative XDG_CONFIG_HOME is ignored", std::nullopt, QStringLiteral("relative/xdg"), d + "/home/.config"},
        {"nothing set", std::nullopt, std::nullopt, d + "/home/.config"},
    };
    for (const Case& c : cases) {
        qputenv("HOME", QFile::encodeName(d + "/home"));
        if (c.appData)
            qputenv("APPDATA", QFile::encodeName(*c.appData));
        else
            qunsetenv("APPDATA");
        if (c.xdg)
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(*c.xdg));
        else
            qunsetenv("XDG_CONFIG_HOME");

        const QString expectedFolder = c.expectedBase + "/Dovelarks/Halbeet";
        EXPECT_EQ(settings::SettingsFolder(), expectedFolder) << c.what;
        EXPECT_EQ(settings::SettingsFile(), expectedFolder + "/Halbeet.ini") << c.what;
        EXPECT_TRUE(QFileInfo(expectedFolder).isDir()) << c.what << ": the folder and its parents are created";
    }
}

TEST(SettingsLocation, WithoutHomeNothingIsCreatedAtTheRoot)
{
    EnvironmentGuard appData("APPDATA");
    EnvironmentGuard xdg("XDG_CONFIG_HOME");
    EnvironmentGuard home("HOME");
    qunsetenv("APPDATA");
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    const bool rootHadConfig = QFileInfo::exists(QStringLiteral("/.config"));
    const passwd* entry = getpwuid(getuid());
    const QString passwdHome = entry && entry->pw_dir ? QDir::cleanPath(QFile::decodeName(entry->pw_dir)) : QString();
    const QString expected = passwdHome + QStringLiteral("/.config/Dovelarks/Halbeet");
    const bool existed = QFileInfo::exists(expected);

    const QString folder = settings::SettingsFolder();
    if (!rootHadConfig) {
        EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/.config"))) << "a folder was created at the root";
    }
    if (!passwdHome.isEmpty() && passwdHome != QLatin1String("/") && QFileInfo(passwdHome).isDir()) {
        EXPECT_EQ(folder, expected) << "the home of the password database is the home";
    } else {
        EXPECT_FALSE(folder.startsWith(QLatin1Char('/'))) << qPrintable(folder);
    }
    if (!existed && QFileInfo::exists(expected)) {
        QDir().rmdir(expected);
        QDir().rmdir(passwdHome + QStringLiteral("/.config/Dovelarks"));
    }
}

TEST_F(SettingsTest, MissingFileGivesDefaultsAndReadsCreateNoFile)
{
    EXPECT_EQ(readAll(), Defaults);
    EXPECT_EQ(settings::optionsDelay(), 100);
    EXPECT_TRUE(QFileInfo(folder()).isDir());
    EXPECT_FALSE(QFileInfo::exists(file()));
}

TEST_F(SettingsTest, EveryReadSeesTheFileAsItIsNow)
{
    EXPECT_EQ(settings::language(), QStringLiteral("EN"));
    writeFile("[LANGUAGE]\nLANG=AR\n");
    EXPECT_EQ(settings::language(), QStringLiteral("AR"));
    writeFile("[LANGUAGE]\nLANG=EN\n");
    EXPECT_EQ(settings::language(), QStringLiteral("EN"));
}

TEST_F(SettingsTest, DealDelayIsNormalizedAndWrittenBackOnlyWhenChanged)
{
    struct Case {
        const char* stored;
        int expected;
        bool written;
    };
    const Case cases[] = {
        {"0", 100, true},      {"99", 100, true},     {"100", 100, false},  {"101", 100, true},
        {"499", 100, true},    {"500", 500, false},   {"501", 500, true},   {"999", 500, true},
        {"1000", 1000, false}, {"1001", 1000, true},  {"-5", 100, true},    {"abc", 100, false},
        {"0x1F4", 500, false}, {"$1F4", 500, false},  {"$3E8", 1000, false}, {"", 100, false},
        {"2147483647", 1000, true}, {"-2147483648", 100, true},
    };
    for (const Case& c : cases) {
        writeFile(QByteArray("[DELAYCARD]\nDELAY=") + c.stored + "\n");
        const FileState before = state();
        const int number = settings::readInteger(QStringLiteral("DELAYCARD"), QStringLiteral("DELAY"), 100);
        EXPECT_EQ(settings::normalizedDealDelay(number), c.expected) << "stored " << c.stored;
        EXPECT_EQ(settings::dealDelay(), c.expected) << "stored " << c.stored;
        if (c.written) {
            EXPECT_EQ(state().content, QByteArray("[DELAYCARD]\nDELAY=") + QByteArray::number(c.expected) + "\n")
                << "stored " << c.stored;
        } else {
            EXPECT_EQ(state(), before) << "stored " << c.stored << " must not be rewritten";
        }
        // Reading again finds a value in range, so nothing more is written.
        const FileState settled = state();
        EXPECT_EQ(settings::dealDelay(), c.expected) << "stored " << c.stored;
        EXPECT_EQ(state(), settled) << "stored " << c.stored;
    }
}

TEST_F(SettingsTest, OptionsDelayKeepsOnlyTheThreeSpeeds)
{
    struct Case {
        const char* stored;
        int expected;
        bool written;
    };
    const Case cases[] = {
        {"100", 100, false}, {"500", 500, false},  {"1000", 1000, false}, {"499", 100, true},
        {"250", 100, true},  {"1001", 100, true},  {"501", 100, true},    {"0", 100, true},
        {"abc", 100, false}, {"0x3E8", 1000, false},
    };
    for (const Case& c : cases) {
        writeFile(QByteArray("[DELAYCARD]\nDELAY=") + c.stored + "\n");
        const FileState before = state();
        EXPECT_EQ(settings::optionsDelay(), c.expected) << "stored " << c.stored;
        if (c.written)
            EXPECT_EQ(state().content, QByteArray("[DELAYCARD]\nDELAY=100\n")) << "stored " << c.stored;
        else
            EXPECT_EQ(state(), before) << "stored " << c.stored << " must not be rewritten";
    }
}

TEST_F(SettingsTest, BackDesignIsClampedInMemoryOnly)
{
    struct Case {
        const char* stored;
        int expected;
    };
    const Case cases[] = {
        {"5", -1}, {"0", -1}, {"-1", -1}, {"-7", -7}, {"-13", -13}, {"-14", -13},
        {"-2147483648", -13}, {"x", -2}, {"", -2}, {"$FFFFFFFF", -2},
    };
    for (const Case& c : cases) {
        writeFile(QByteArray("[BACKCARD]\nBACK=") + c.stored + "\n");
        const FileState before = state();
        EXPECT_EQ(settings::backDesign(), c.expected) << "stored " << c.stored;
        EXPECT_EQ(state(), before) << "stored " << c.stored << " must not be rewritten";
    }
}

TEST_F(SettingsTest, LanguageIsTheStoredTextAsItIs)
{
    struct Case {
        const char* file;
        const char* expected;
    };
    const Case cases[] = {
        {"[LANGUAGE]\nLANG=AR\n", "AR"},
        {"[LANGUAGE]\nLANG=ar\n", "ar"},
        {"[LANGUAGE]\nLANG=FR\n", "FR"},
        {"[language]\nlang=AR\n", "AR"},
        {"[LANGUAGE]\nLANG=\n", ""},
        {"[OTHER]\nLANG=AR\n", "EN"},
        {"[LANGUAGE]\nLANG=\xFF\n", "\xDB\x92"}, // not UTF-8: the code page's letter, not Arabic's code
    };
    for (const Case& c : cases) {
        writeFile(c.file);
        EXPECT_EQ(settings::language(), QString::fromUtf8(c.expected)) << c.file;
    }
}

TEST_F(SettingsTest, FaceDeckRoundTripsAndLeavesTheRestOfTheFile)
{
    struct Case {
        const char* file;
        const char* expected;
    };
    const Case cases[] = {
        {"", ""},
        {"[FACES]\nDECK=svg-standard\n", "svg-standard"},
        {"[faces]\ndeck=  svg-oxygen  \n", "svg-oxygen"},
        {"[FACES]\nDECK=\n", ""},
        {"[OTHER]\nDECK=svg-standard\n", ""},
    };
    for (const Case& c : cases) {
        writeFile(c.file);
        EXPECT_EQ(settings::faceDeck(), QString::fromUtf8(c.expected)) << c.file;
    }

    writeFile("; mine\n[NAMES]\nPLAYER1=Hawk\n[FACES]\nDECK=svg-old\nSIZE=9\n[EXTRA]\nX=1\n");
    settings::setFaceDeck(QStringLiteral(" svg-dondorf "));
    EXPECT_EQ(settings::faceDeck(), QStringLiteral("svg-dondorf"));
    EXPECT_EQ(state().content,
              QByteArray("; mine\n[NAMES]\nPLAYER1=Hawk\n[FACES]\nDECK=svg-dondorf\nSIZE=9\n[EXTRA]\nX=1\n"));
}

TEST_F(SettingsTest, SectionsAndKeysMatchInAnyCase)
{
    writeFile("[names]\nplayer2=Falcon\n[Names]\nPlayer3=Eagle\n[DelayCard]\nDeLaY=1000\n"
              "[backcard]\nback=-9\n[Language]\nLang=AR\n");
    const AllSettings expected{QString(), QStringLiteral("Falcon"), QStringLiteral("Eagle"), QStringLiteral("Player4"),
                               -9, 1000, QStringLiteral("AR")};
    const FileState before = state();
    EXPECT_EQ(readAll(), expected);
    EXPECT_EQ(state(), before);

    // Writing finds the existing key in whatever case it is spelled.
    settings::setPlayerName(2, QStringLiteral("Owl"));
    EXPECT_TRUE(state().content.contains("player2=Owl\n"));
    EXPECT_EQ(state().content.count("Owl"), 1);
}

TEST_F(SettingsTest, EmptyNameStaysEmpty)
{
    writeFile("[NAMES]\nPLAYER1=\nPLAYER2=\nPLAYER3=   \n");
    EXPECT_EQ(settings::playerName(1), QString());
    EXPECT_EQ(settings::playerName(2), QString());
    EXPECT_EQ(settings::playerName(3), QString());
    EXPECT_EQ(settings::playerName(4), QStringLiteral("Player4"));
}

TEST_F(SettingsTest, NamesRoundTripIncludingArabic)
{
    const QString arabic = QString::fromUtf8("\xD8\xB5\xD9\x82\xD8\xB1");  // "صقر"
    const QString markup = QStringLiteral("<b>Hawk</b>");
    const QString longName(10'000, QChar(0x0628));  // ten thousand Arabic letters
    settings::setPlayerName(1, arabic);
    settings::setPlayerName(2, markup);
    settings::setPlayerName(3, longName);
    settings::setPlayerName(4, QStringLiteral("Dove"));
    EXPECT_EQ(settings::playerName(1), arabic);
    EXPECT_EQ(settings::playerName(2), markup);
    EXPECT_EQ(settings::playerName(3), longName);
    EXPECT_EQ(settings::playerName(4), QStringLiteral("Dove"));
    EXPECT_TRUE(state().content.startsWith("[NAMES]\nPLAYER1=\xD8\xB5\xD9\x82\xD8\xB1\nPLAYER2=<b>Hawk</b>\n"));

    EXPECT_THROW(settings::playerName(0), std::out_of_range);
    EXPECT_THROW(settings::setPlayerName(5, QStringLiteral("x")), std::out_of_range);
}

TEST_F(SettingsTest, FirstWriteCreatesTheFileWithThatKeyOnly)
{
    settings::setPlayerName(1, QStringLiteral("Hawk"));
    EXPECT_EQ(state().content, QByteArray("[NAMES]\nPLAYER1=Hawk\n"));
    EXPECT_EQ(readAll(), (AllSettings{QStringLiteral("Hawk"), QStringLiteral("Player2"), QStringLiteral("Player3"),
                                      QStringLiteral("Player4"), -2, 100, QStringLiteral("EN")}));

    // The order in which the options dialog stores its values.
    settings::setPlayerName(1, QStringLiteral("Hawk"));
    settings::setPlayerName(2, QStringLiteral("Kite"));
    settings::setPlayerName(3, QStringLiteral("Dove"));
    settings::setPlayerName(4, QStringLiteral("Crow"));
    settings::setBackDesign(-13);
    settings::setDelay(1000);
    settings::setLanguage(QStringLiteral("AR"));
    EXPECT_EQ(state().content, QByteArray("[NAMES]\nPLAYER1=Hawk\nPLAYER2=Kite\nPLAYER3=Dove\nPLAYER4=Crow\n"
                                          "[BACKCARD]\nBACK=-13\n[DELAYCARD]\nDELAY=1000\n[LANGUAGE]\nLANG=AR\n"));
}

TEST_F(SettingsTest, WritingKeepsCommentsUnknownKeysAndLineEnds)
{
    writeFile("; written by hand\r\n[NAMES]\r\nPLAYER1 = Hawk\r\nNICK=H\r\n\r\n[EXTRA]\r\nX=1\r\n");
    settings::setPlayerName(1, QStringLiteral("Kite"));
    settings::setPlayerName(2, QStringLiteral("Dove"));
    settings::setLanguage(QStringLiteral("AR"));
    EXPECT_EQ(state().content, QByteArray("; written by hand\r\n[NAMES]\r\nPLAYER1 = Kite\r\nNICK=H\r\nPLAYER2=Dove\r\n"
                                          "\r\n[EXTRA]\r\nX=1\r\n[LANGUAGE]\r\nLANG=AR\r\n"));
}

TEST_F(SettingsTest, WindowPlacementReadsOnlyWhatMakesSense)
{
    struct Case {
        const char* stored;
        settings::WindowPlacement expected;
    };
    const Case cases[] = {
        {"", {}},
        {"[WINDOW]\nWIDTH=900\nHEIGHT=700\nMAXIMIZED=0\nFULLSCREEN=0\n", {900, 700, false, false}},
        {"[window]\nwidth=0x400\nheight=$200\nmaximized=1\nfullscreen=2\n", {1024, 512, true, true}},
        {"[WINDOW]\nWIDTH=-5\nHEIGHT=wide\nMAXIMIZED=yes\n", {0, 0, false, false}},
        {"[WINDOW]\nWIDTH=900\n", {900, 0, false, false}},
    };
    for (const Case& c : cases) {
        writeFile(c.stored);
        EXPECT_EQ(settings::windowPlacement(), c.expected) << c.stored;
    }
}

TEST_F(SettingsTest, WindowPlacementWritesOnlyTheKeysThatChange)
{
    writeFile("; by hand\r\n[WINDOW]\r\nMAXIMIZED=1\r\nPOSITION=left\r\n[NAMES]\r\nPLAYER1=Hawk\r\n");
    // The same state as stored: the file is not even replaced.
    const auto before = state();
    settings::setWindowPlacement({0, 0, true, false});
    EXPECT_EQ(state().content, QByteArray("; by hand\r\n[WINDOW]\r\nMAXIMIZED=1\r\nPOSITION=left\r\n"
                                          "[NAMES]\r\nPLAYER1=Hawk\r\n"));
    EXPECT_EQ(state().inode, before.inode);

    settings::setWindowPlacement({900, 700, false, true});
    EXPECT_EQ(state().content, QByteArray("; by hand\r\n[WINDOW]\r\nMAXIMIZED=0\r\nPOSITION=left\r\n"
                                          "WIDTH=900\r\nHEIGHT=700\r\nFULLSCREEN=1\r\n[NAMES]\r\nPLAYER1=Hawk\r\n"));
    EXPECT_EQ(settings::windowPlacement(), (settings::WindowPlacement{900, 700, false, true}));
}

TEST_F(SettingsTest, AValueCannotAddLinesOrKeys)
{
    settings::setPlayerName(1, QStringLiteral("x\n[LANGUAGE]\r\nLANG=AR"));
    EXPECT_EQ(settings::language(), QStringLiteral("EN"));
    EXPECT_EQ(settings::playerName(1), QStringLiteral("x [LANGUAGE]  LANG=AR"));
    EXPECT_THROW(settings::writeString(QStringLiteral("A]\n[B"), QStringLiteral("K"), QStringLiteral("v")),
                 std::invalid_argument);
    EXPECT_THROW(settings::writeString(QStringLiteral("A"), QStringLiteral("K=1"), QStringLiteral("v")),
                 std::invalid_argument);
}

TEST_F(SettingsTest, WritingKeepsThePermissionsOfThePrivateFile)
{
    writeFile("[NAMES]\nPLAYER1=Hawk\n");
    const QByteArray path = QFile::encodeName(file());
    ASSERT_EQ(::chmod(path.constData(), 0600), 0);
    settings::setPlayerName(1, QStringLiteral("Kite"));
    struct stat info {};
    ASSERT_EQ(::stat(path.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(SettingsTest, DeletedFolderIsRecreatedAtTheNextAccess)
{
    settings::setPlayerName(2, QStringLiteral("Falcon"));
    settings::setDelay(1000);
    ASSERT_TRUE(QDir(root() + "/Dovelarks").removeRecursively());

    EXPECT_EQ(readAll(), Defaults);
    EXPECT_TRUE(QFileInfo(folder()).isDir());
    EXPECT_FALSE(QFileInfo::exists(file()));

    ASSERT_TRUE(QDir(root() + "/Dovelarks").removeRecursively());
    settings::setLanguage(QStringLiteral("AR"));
    EXPECT_EQ(state().content, QByteArray("[LANGUAGE]\nLANG=AR\n"));
}

// Ways to make every write fail that hold even for root, who ignores permissions.
TEST_F(SettingsTest, RefusedWriteNamesTheFileAndKeepsWhatIsThere)
{
    struct Case {
        const char* what;
        std::function<void()> breakIt;
        QString blockingPath;  // what must survive the write untouched
    };
    const QByteArray precious = "[NAMES]\nPLAYER2=Falcon\n";
    const auto regularFile = [precious](const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(precious);
    };
    const Case cases[] = {
        {"settings folder replaced by a file", [&] { regularFile(folder()); }, folder()},
        {"parent folder replaced by a file", [&] { regularFile(root() + "/Dovelarks"); },
         root() + "/Dovelarks"},
        {"settings file replaced by a folder",
         [&] {
             QDir().mkpath(file());
             regularFile(file() + "/inside");
         },
         file() + "/inside"},
    };
    for (const Case& c : cases) {
        QDir(root()).removeRecursively();
        QDir().mkpath(root());
        c.breakIt();

        EXPECT_EQ(readAll(), Defaults) << c.what;
        try {
            settings::setPlayerName(1, QStringLiteral("Hawk"));
            ADD_FAILURE() << c.what << ": the write was not refused";
        } catch (const SettingsWriteError& e) {
            EXPECT_EQ(e.path(), file()) << c.what;
            EXPECT_EQ(e.message(), "Unable to write to " + file()) << c.what;
            EXPECT_EQ(std::string(e.what()), ("Unable to write to " + file()).toStdString()) << c.what;
        }
        EXPECT_THROW(settings::setDelay(500), SettingsWriteError) << c.what;
        EXPECT_THROW(settings::setBackDesign(-3), SettingsWriteError) << c.what;
        EXPECT_THROW(settings::setLanguage(QStringLiteral("AR")), SettingsWriteError) << c.what;
        EXPECT_EQ(fileState(c.blockingPath).content, precious) << c.what;
    }
}

TEST_F(SettingsTest, ReadOnlyFolderRefusesTheWriteAndKeepsTheFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the other refused-write tests cover root";
    writeFile("[NAMES]\nPLAYER1=Hawk\n");
    const FileState before = state();
    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0555), 0);
    EXPECT_THROW(settings::setPlayerName(1, QStringLiteral("Kite")), SettingsWriteError);
    EXPECT_EQ(settings::playerName(1), QStringLiteral("Hawk"));
    ::chmod(QFile::encodeName(folder()).constData(), 0755);
    EXPECT_EQ(state(), before);
}

// A full disk, made with the file-size limit: the write of the new file fails part way.
TEST_F(SettingsTest, FullDiskKeepsTheOldFileWhole)
{
    writeFile("[NAMES]\nPLAYER1=Hawk\nPLAYER2=Falcon\n");
    const FileState before = state();

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    bool refused = false;
    try {
        settings::setPlayerName(3, QString(20'000, QChar('x')));
    } catch (const SettingsWriteError& e) {
        refused = e.path() == file();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(refused);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Halbeet.ini")})
        << "no temporary file is left behind";
}

TEST_F(SettingsTest, ErrorTextIsUtf8)
{
    const QString arabicRoot = root() + QString::fromUtf8("/\xD9\x85\xD9\x84\xD9\x81");
    QFile blocker(arabicRoot);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("APPDATA", QFile::encodeName(arabicRoot));
    try {
        settings::setLanguage(QStringLiteral("AR"));
        FAIL() << "the write was not refused";
    } catch (const SettingsWriteError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), e.message());
        EXPECT_TRUE(e.message().contains(arabicRoot));
    }
}

// Damaged files: every key that can be read is read, the others give their defaults, and
// reading never changes a byte.
TEST_F(SettingsTest, DamagedFilesReadWhatCanBeReadAndStayUntouched)
{
    struct Case {
        const char* what;
        QByteArray content;
        AllSettings expected;
    };
    AllSettings falcon = Defaults;
    falcon.player2 = QStringLiteral("Falcon");
    AllSettings afterLongLine = Defaults;
    afterLongLine.player2 = QStringLiteral("Falcon");
    afterLongLine.delay = 1000;
    // Bytes that are not UTF-8 are read in the Windows code page, never dropped.
    QStringDecoder codePage("windows-1256");
    AllSettings badText = Defaults;
    badText.player1 = codePage("\xC3\x28");
    badText.player2 = codePage("\xFF\xFE");
    badText.player3 = QStringLiteral("ok");
    badText.player4 = codePage("\xED\xA0\x80");
    badText.language = codePage("\xC0\xC1");
    AllSettings firstDuplicate = Defaults;
    firstDuplicate.delay = 1000;
    firstDuplicate.back = -4;
    AllSettings markedUp = Defaults;
    markedUp.player1 = QStringLiteral("<img src=x>");
    markedUp.language = QStringLiteral("AR");

    const Case cases[] = {
        {"binary garbage with NUL bytes", garbage(64 * 1024, 1), Defaults},
        {"binary garbage before a good section", garbage(64 * 1024, 2) + "\n[NAMES]\nPLAYER2=Falcon\n", falcon},
        {"NUL bytes between good lines", raw("[NAMES]\n\0\0\0\nPLAYER2=Falcon\n"), falcon},
        {"invalid UTF-8 values",
         "[NAMES]\nPLAYER1=\xC3\x28\nPLAYER2=\xFF\xFE\nPLAYER3=ok\nPLAYER4=\xED\xA0\x80\n"
         "[LANGUAGE]\nLANG=\xC0\xC1\n",
         badText},
        {"a 10 MB line", "[NAMES]\nPLAYER1=" + QByteArray(10 * 1024 * 1024, 'x') + "\nPLAYER2=Falcon\n"
                         "[DELAYCARD]\nDELAY=1000\n",
         afterLongLine},
        {"a 10 MB line with no line end", QByteArray(10 * 1024 * 1024, '['), Defaults},
        {"duplicate sections and keys", "[DELAYCARD]\nDELAY=1000\n[BACKCARD]\nBACK=-4\nBACK=-5\n[delaycard]\nDELAY=500\n",
         firstDuplicate},
        {"byte order mark and CR LF", "\xEF\xBB\xBF[NAMES]\r\nPLAYER2=Falcon\r\n", falcon},
        {"UTF-16 from another editor", raw("\xFF\xFE[\0N\0A\0M\0E\0S\0]\0\r\0\n\0"), Defaults},
        {"markup stays text", "[NAMES]\nPLAYER1=<img src=x>\n[LANGUAGE]\nLANG=AR\n", markedUp},
        {"integers that are not", "[BACKCARD]\nBACK=1e3\n[DELAYCARD]\nDELAY=0x\n", Defaults},
        {"sections never closed", "[NAMES\nPLAYER2=Falcon\n[BACKCARD\n", falcon},
    };
    for (const Case& c : cases) {
        writeFile(c.content);
        const FileState before = state();
        EXPECT_EQ(readAll(), c.expected) << c.what;
        EXPECT_EQ(settings::optionsDelay(), c.expected.delay) << c.what;
        EXPECT_EQ(state(), before) << c.what << ": reading changed the file";
    }
}

TEST_F(SettingsTest, WritingIntoADamagedFileKeepsEverythingElse)
{
    const QByteArray damaged = garbage(4096, 3) + "\n[NAMES]\nPLAYER1=\xC3\x28\nPLAYER2=Falcon\n" + garbage(4096, 4);
    writeFile(damaged);

    settings::setBackDesign(-5);
    EXPECT_TRUE(state().content.startsWith(damaged)) << "the damaged bytes are kept as they were";
    EXPECT_EQ(settings::backDesign(), -5);
    EXPECT_EQ(settings::playerName(2), QStringLiteral("Falcon"));

    settings::setPlayerName(1, QStringLiteral("Hawk"));
    EXPECT_EQ(settings::playerName(1), QStringLiteral("Hawk"));
    EXPECT_EQ(settings::playerName(2), QStringLiteral("Falcon"));
    EXPECT_EQ(settings::backDesign(), -5);
    EXPECT_TRUE(state().content.startsWith(garbage(4096, 3) + "\n[NAMES]\nPLAYER1=Hawk\nPLAYER2=Falcon\n" +
                                           garbage(4096, 4)));
}

// A thousand files made by damaging a good one in random ways. Reads never change them;
// the one read that may write, the deal's speed, changes nothing but that value.
TEST_F(SettingsTest, ThousandDamagedFilesAreReadSafely)
{
    const QByteArray good = "; settings\n[NAMES]\nPLAYER1=Hawk\nPLAYER2=\xD8\xB5\xD9\x82\xD8\xB1\nPLAYER3=Dove\n"
                            "PLAYER4=Crow\n[BACKCARD]\nBACK=-7\n[DELAYCARD]\nDELAY=500\n[LANGUAGE]\nLANG=AR\n";
    const QByteArray pieces[] = {
        "\xC3\x28", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC0\xAF", raw("\0\0"), "\r", "\r\n", "\xEF\xBB\xBF",
        "[NAMES]\nPLAYER2=Dup\n", "[delaycard]\nDELAY=250\n", "[BACKCARD\n", "=\n", "[]\n", "PLAYER1=<b>x</b><img src=x>\n",
        "PLAYER3=" + QByteArray(10'000, 'n') + "\n", "PLAYER4=" + QByteArray(100'000, 'h') + "\n",
        "DELAY=$3E8\n", "BACK=0x7FFFFFFF\n", "DELAY=-2147483648\n",
    };
    std::mt19937 random(20240601);
    const auto below = [&random](qsizetype n) { return qsizetype(random() % std::uint32_t(qMax<qsizetype>(n, 1))); };

    for (int round = 0; round < 1000; ++round) {
        QByteArray content = good;
        const int damages = 1 + int(random() % 4);
        for (int d = 0; d < damages; ++d) {
            switch (random() % 6) {
            case 0:
                if (!content.isEmpty())
                    content[below(content.size())] = char(random());
                break;
            case 1:
                content.insert(below(content.size() + 1), garbage(1 + below(64), unsigned(random())));
                break;
            case 2:
                content.insert(below(content.size() + 1), pieces[below(std::size(pieces))]);
                break;
            case 3: {
                const qsizetype lineStart = content.lastIndexOf('\n', below(content.size())) + 1;
                content.insert(lineStart, pieces[below(std::size(pieces))]);
                break;
            }
            case 4: {
                const qsizetype at = below(content.size());
                const qsizetype lineEnd = content.indexOf('\n', at);
                content.remove(at, (lineEnd < 0 ? content.size() : lineEnd) - at);
                break;
            }
            default:
                content.truncate(below(content.size() + 1));
                break;
            }
        }
        writeFile(content);
        const FileState before = state();

        const QString names[] = {settings::playerName(1), settings::playerName(2), settings::playerName(3),
                                 settings::playerName(4)};
        const int back = settings::backDesign();
        const QString language = settings::language();
        ASSERT_EQ(state(), before) << "round " << round << ": a read changed the file";
        EXPECT_GE(back, -13) << "round " << round;
        EXPECT_LE(back, -1) << "round " << round;
        for (const QString& name : names) {
            for (const QChar c : name)
                ASSERT_TRUE(c.unicode() >= 0x20 || c == QLatin1Char('\t')) << "round " << round;
        }

        const int delay = settings::dealDelay();
        EXPECT_TRUE(delay == 100 || delay == 500 || delay == 1000) << "round " << round << ": " << delay;
        if (state() != before) {
            EXPECT_EQ(settings::playerName(1), names[0]) << "round " << round;
            EXPECT_EQ(settings::playerName(2), names[1]) << "round " << round;
            EXPECT_EQ(settings::playerName(3), names[2]) << "round " << round;
            EXPECT_EQ(settings::playerName(4), names[3]) << "round " << round;
            EXPECT_EQ(settings::backDesign(), back) << "round " << round;
            EXPECT_EQ(settings::language(), language) << "round " << round;
        }
        const FileState settled = state();
        EXPECT_EQ(settings::dealDelay(), delay) << "round " << round;
        ASSERT_EQ(state(), settled) << "round " << round << ": the corrected speed was written twice";
    }
}

// Nothing of the program's is this big; such a file is left alone rather than loaded.
TEST_F(SettingsTest, OversizedFileIsSetAsideWholeAtTheFirstWrite)
{
    QByteArray huge = "[NAMES]\nPLAYER2=Falcon\n";
    huge += QByteArray(17 * 1024 * 1024, ';');
    writeFile(huge);
    const FileState before = state();
    EXPECT_EQ(readAll(), Defaults);
    EXPECT_EQ(state(), before) << "reading changed the file";

    QStringList told;
    settings::setSetAsideHandler([&told](const QString& movedTo) { told << movedTo; });
    const auto forget = qScopeGuard([] { settings::setSetAsideHandler({}); });
    settings::setPlayerName(1, QStringLiteral("Hawk"));
    const QString aside = settings::SettingsFolder() + QStringLiteral("/Halbeet-too-large.ini");
    EXPECT_EQ(told, QStringList{aside});
    QFile kept(aside);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll() == huge) << "the file set aside is not the old file, whole";
    EXPECT_EQ(settings::playerName(1), QStringLiteral("Hawk"));
    EXPECT_EQ(settings::playerName(2), QStringLiteral("Player2"));

    // Told once: the fresh file is small, and later writes go into it.
    settings::setPlayerName(3, QStringLiteral("Owl"));
    EXPECT_EQ(told.size(), 1);

    // A second oversized file does not overwrite the first one set aside.
    writeFile(huge);
    settings::setPlayerName(1, QStringLiteral("Kite"));
    EXPECT_EQ(told.value(1), settings::SettingsFolder() + QStringLiteral("/Halbeet-too-large-2.ini"));
    EXPECT_EQ(QFileInfo(aside).size(), huge.size());
    EXPECT_EQ(settings::playerName(1), QStringLiteral("Kite"));
}

TEST_F(SettingsTest, NamesWrittenByOtherProgramsAreReadNotDropped)
{
    // A control character, or a name in the Windows code page, used to read as the default,
    // and the next Options OK stored the default over the player's name.
    writeFile("[NAMES]\nPLAYER1=Jos\xE9\nPLAYER2=\xE3\xCD\xE3\xCF\nPLAYER3=Bell\x07X\n");
    EXPECT_EQ(settings::playerName(1), QString::fromUtf8("Jos\xC3\xA9"));
    EXPECT_EQ(settings::playerName(2), QString::fromUtf8("\xD9\x85\xD8\xAD\xD9\x85\xD8\xAF"));
    EXPECT_EQ(settings::playerName(3), QStringLiteral("Bell X"));
    // Written back as the program writes every name: UTF-8, the control as a space.
    settings::setPlayerName(1, settings::playerName(1));
    settings::setPlayerName(3, settings::playerName(3));
    EXPECT_EQ(settings::playerName(1), QString::fromUtf8("Jos\xC3\xA9"));
    EXPECT_EQ(settings::playerName(3), QStringLiteral("Bell X"));
}

TEST_F(SettingsTest, ReadingAFileWithA10MegabyteLineIsQuick)
{
    writeFile("[NAMES]\nPLAYER1=" + QByteArray(10 * 1024 * 1024, 'x') + "\nPLAYER2=Falcon\n[LANGUAGE]\nLANG=AR\n");
    QElapsedTimer timer;
    timer.start();
    const AllSettings read = readAll();
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(read.player2, QStringLiteral("Falcon"));
    EXPECT_EQ(read.language, QStringLiteral("AR"));
    // Seven separate reads of 10 MB each. Generous against a loaded machine: a quadratic or
    // per-character-allocating reader takes many seconds here.
    EXPECT_LT(elapsed, 3000);
    RecordProperty("seven_reads_ms", int(elapsed));
    std::cout << "[ figures  ] seven reads of a 10 MB settings file: " << elapsed << " ms\n";
}

} // namespace
