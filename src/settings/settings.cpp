// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings.h"
#include "support/safe_file.h"

#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <functional>
#include <optional>

#include <pwd.h>
#include <unistd.h>

namespace halbeet {

namespace {

QString writeErrorText(const QString& path)
{
    return QStringLiteral("Unable to write to %1").arg(path);
}

} // namespace

SettingsWriteError::SettingsWriteError(const QString& path)
    : std::runtime_error(writeErrorText(path).toStdString())
    , m_path(path)
{
}

QString SettingsWriteError::message() const
{
    return writeErrorText(m_path);
}

namespace settings {

namespace {

struct NameKey {
    const char* key;
    const char* fallback;
};
constexpr std::array<NameKey, 4> NameKeys{{
    {"PLAYER1", ""},
    {"PLAYER2", "Player2"},
    {"PLAYER3", "Player3"},
    {"PLAYER4", "Player4"},
}};

const NameKey& nameKey(int seat)
{
    if (seat < 1 || seat > 4)
        throw std::out_of_range("seat must be 1..4");
    return NameKeys[std::size_t(seat - 1)];
}

std::function<void(const QString&)>& setAsideHandler()
{
    static std::function<void(const QString&)> handler;
    return handler;
}

// The user's home: HOME, else the password database. Never the root of the file system, where
// QDir::homePath() ends up when HOME is unset; empty when there is no home to be found.
QString homeFolder()
{
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
            home = QFile::decodeName(entry->pw_dir);
    }
    home = QDir::cleanPath(home);
    if (!QDir::isAbsolutePath(home) || QDir(home).isRoot())
        return {};
    return home;
}

// Empty when there is no folder to use at all.
QString baseFolder()
{
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty())
        return appData;
    // The XDG rules say a relative value is invalid and must be ignored.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    const QString home = homeFolder();
    return home.isEmpty() ? QString() : home + QStringLiteral("/.config");
}

// Moves a file over the size cap out of the way, whole, under a free name beside it.
// Returns the new path, or nothing when it could not be moved.
std::optional<QString> setAside(const QString& path)
{
    const QFileInfo info(path);
    const QString stem = info.absolutePath() + QStringLiteral("/Halbeet-too-large");
    for (int n = 1; n <= 1000; ++n) {
        const QString target =
            stem + (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) + QStringLiteral(".ini");
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        if (QFile::rename(path, target))
            return target;
        return std::nullopt;
    }
    return std::nullopt;
}

// The whole file, or nothing when it cannot be read completely or is over the size cap.
// Reads in chunks so that a file that is not what its size claims (a growing file, a
// pseudo-file) still cannot take more than the cap.
std::optional<QByteArray> readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(qMin<qint64>(file.size(), MaxIniFileSize));
    constexpr qint64 Chunk = 64 * 1024;
    while (true) {
        const QByteArray chunk = file.read(Chunk);
        if (chunk.isEmpty())
            break;
        bytes.append(chunk);
        if (bytes.size() > MaxIniFileSize)
            return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// Readers never report anything: a file that is missing, unreadable, not a regular file
// or larger than the cap simply gives every key its default.
std::optional<IniDocument> loadForReading()
{
    const QString path = SettingsFile();
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxIniFileSize)
        return std::nullopt;
    auto bytes = readWholeFile(path);
    if (!bytes)
        return std::nullopt;
    return IniDocument(std::move(*bytes));
}

void checkName(const QString& name)
{
    static const QString forbidden = QStringLiteral("[]=\r\n");
    bool valid = !name.isEmpty();
    for (const QChar c : name)
        valid = valid && !forbidden.contains(c) && c.unicode() >= 0x20;
    if (!valid)
        throw std::invalid_argument("invalid settings section or key name");
}

// Read the whole current file, change the one key, and replace the file atomically, so a
// failure at any point leaves the old file as it was. A file that exists but cannot be
// read completely is not overwritten: that would throw away what the user stored.
void writeRaw(const QString& section, const QString& key, const QByteArray& value)
{
    checkName(section);
    checkName(key);
    const QString path = SettingsFile();

    QByteArray current;
    const QFileInfo info(path);
    std::optional<QString> setAsidePath;
    if (info.isFile() && !info.isSymLink() && info.size() > MaxIniFileSize) {
        // Not a settings file the program could have written, and never read: it is kept,
        // whole, under another name, and a fresh file begins. Refusing every write instead
        // would stop the name dialog at every start.
        setAsidePath = setAside(path);
        if (!setAsidePath)
            throw SettingsWriteError(path);
    } else if (info.exists() || info.isSymLink()) {
        if (!info.isFile() || info.size() > MaxIniFileSize)
            throw SettingsWriteError(path);
        auto bytes = readWholeFile(path);
        if (!bytes)
            throw SettingsWriteError(path);
        current = std::move(*bytes);
    }
    const QByteArray updated = IniDocument(std::move(current)).withValue(section.toUtf8(), key.toUtf8(), value);

    if (!WriteFileSafely(path, updated))
        throw SettingsWriteError(path);
    if (setAsidePath && setAsideHandler())
        setAsideHandler()(*setAsidePath);
}

} // namespace

QString SettingsFolder()
{
    const QString base = baseFolder();
    if (base.isEmpty()) {
        // No home at all: nothing is created anywhere, reads give the defaults and the first
        // write reports this relative path, which names what is missing.
        return QStringLiteral("~/.config/Dovelarks/Halbeet");
    }
    const QString folder = QDir::cleanPath(base + QStringLiteral("/Dovelarks/Halbeet"));
    // Failure is deliberately silent here: reads then give defaults, and the first write
    // reports the path.
    QDir().mkpath(folder);
    return folder;
}

void setSetAsideHandler(std::function<void(const QString&)> handler)
{
    setAsideHandler() = std::move(handler);
}

QString SettingsFile()
{
    return SettingsFolder() + QStringLiteral("/Halbeet.ini");
}

QString readString(const QString& section, const QString& key, const QString& def)
{
    const auto document = loadForReading();
    if (!document)
        return def;
    return document->text(section.toUtf8(), key.toUtf8()).value_or(def);
}

int readInteger(const QString& section, const QString& key, int def)
{
    const auto document = loadForReading();
    if (!document)
        return def;
    return document->integer(section.toUtf8(), key.toUtf8()).value_or(def);
}

void writeString(const QString& section, const QString& key, const QString& value)
{
    writeRaw(section, key, encodeValue(value));
}

void writeInteger(const QString& section, const QString& key, int value)
{
    writeRaw(section, key, QByteArray::number(value));
}

QString playerName(int seat)
{
    const NameKey& name = nameKey(seat);
    return readString(QStringLiteral("NAMES"), QString::fromLatin1(name.key), QString::fromLatin1(name.fallback));
}

QString playerName(int seat, const QString& fallback)
{
    return readString(QStringLiteral("NAMES"), QString::fromLatin1(nameKey(seat).key), fallback);
}

void setPlayerName(int seat, const QString& name)
{
    writeString(QStringLiteral("NAMES"), QString::fromLatin1(nameKey(seat).key), name);
}

int backDesign()
{
    const int design = readInteger(QStringLiteral("BACKCARD"), QStringLiteral("BACK"), -2);
    if (design >= 0)
        return -1;
    if (design < -13)
        return -13;
    return design;
}

void setBackDesign(int design)
{
    writeInteger(QStringLiteral("BACKCARD"), QStringLiteral("BACK"), design);
}

int normalizedDealDelay(int stored)
{
    int delay = stored;
    if (delay < 100 || (delay > 100 && delay < 500))
        delay = 100;
    if (delay > 500 && delay < 1000)
        delay = 500;
    if (delay > 1000)
        delay = 1000;
    return delay;
}

int dealDelay()
{
    const int stored = readInteger(QStringLiteral("DELAYCARD"), QStringLiteral("DELAY"), 100);
    const int delay = normalizedDealDelay(stored);
    if (delay != stored)
        setDelay(delay);
    return delay;
}

int optionsDelay()
{
    const int stored = readInteger(QStringLiteral("DELAYCARD"), QStringLiteral("DELAY"), 100);
    if (stored == 100 || stored == 500 || stored == 1000)
        return stored;
    setDelay(100);
    return 100;
}

void setDelay(int ms)
{
    writeInteger(QStringLiteral("DELAYCARD"), QStringLiteral("DELAY"), ms);
}

QString language()
{
    return readString(QStringLiteral("LANGUAGE"), QStringLiteral("LANG"), QStringLiteral("EN"));
}

void setLanguage(const QString& code)
{
    writeString(QStringLiteral("LANGUAGE"), QStringLiteral("LANG"), code);
}

bool resumeGames()
{
    return readInteger(QStringLiteral("GAME"), QStringLiteral("RESUME"), 1) != 0;
}

void setResumeGames(bool on)
{
    writeInteger(QStringLiteral("GAME"), QStringLiteral("RESUME"), on ? 1 : 0);
}

bool expertPlayers()
{
    return readString(QStringLiteral("PLAYERS"), QStringLiteral("LEVEL"), QStringLiteral("CLASSIC"))
               .trimmed()
               .compare(QStringLiteral("EXPERT"), Qt::CaseInsensitive) == 0;
}

void setExpertPlayers(bool expert)
{
    writeString(QStringLiteral("PLAYERS"), QStringLiteral("LEVEL"),
                expert ? QStringLiteral("EXPERT") : QStringLiteral("CLASSIC"));
}

QString faceDeck()
{
    return readString(QStringLiteral("FACES"), QStringLiteral("DECK"), QString()).trimmed();
}

void setFaceDeck(const QString& deck)
{
    writeString(QStringLiteral("FACES"), QStringLiteral("DECK"), deck.trimmed());
}

WindowPlacement windowPlacement()
{
    const auto size = [](const char* key) {
        const int value = readInteger(QStringLiteral("WINDOW"), QLatin1String(key), 0);
        return value > 0 ? value : 0;
    };
    WindowPlacement placement;
    placement.width = size("WIDTH");
    placement.height = size("HEIGHT");
    placement.maximized =
        readInteger(QStringLiteral("WINDOW"), QStringLiteral("MAXIMIZED"), 0) != 0;
    placement.fullScreen =
        readInteger(QStringLiteral("WINDOW"), QStringLiteral("FULLSCREEN"), 0) != 0;
    return placement;
}

void setWindowPlacement(const WindowPlacement& placement)
{
    const WindowPlacement stored = windowPlacement();
    const auto write = [](const char* key, int value) {
        writeInteger(QStringLiteral("WINDOW"), QLatin1String(key), value);
    };
    if (stored.width != placement.width)
        write("WIDTH", placement.width);
    if (stored.height != placement.height)
        write("HEIGHT", placement.height);
    if (stored.maximized != placement.maximized)
        write("MAXIMIZED", placement.maximized ? 1 : 0);
    if (stored.fullScreen != placement.fullScreen)
        write("FULLSCREEN", placement.fullScreen ? 1 : 0);
}

} // namespace settings
} // namespace halbeet
