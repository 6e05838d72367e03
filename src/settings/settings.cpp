#include "settings/settings.h"

#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <optional>

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

QString baseFolder()
{
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty())
        return appData;
    // The XDG rules say a relative value is invalid and must be ignored.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
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
    if (info.exists() || info.isSymLink()) {
        if (!info.isFile() || info.size() > MaxIniFileSize)
            throw SettingsWriteError(path);
        auto bytes = readWholeFile(path);
        if (!bytes)
            throw SettingsWriteError(path);
        current = std::move(*bytes);
    }
    const QByteArray updated = IniDocument(std::move(current)).withValue(section.toUtf8(), key.toUtf8(), value);

    QSaveFile file(path);
    // flush() first: a write that fails only when the buffer is flushed (a full disk and a
    // file smaller than the buffer) leaves QSaveFile::commit() returning true after putting an
    // empty file in place of the old one.
    if (!file.open(QIODevice::WriteOnly) || file.write(updated) != updated.size() || !file.flush() ||
        !file.commit())
        throw SettingsWriteError(path);
}

} // namespace

QString SettingsFolder()
{
    const QString folder = QDir::cleanPath(baseFolder() + QStringLiteral("/Dovelarks/Halbeet"));
    // Failure is deliberately silent here: reads then give defaults, and the first write
    // reports the path.
    QDir().mkpath(folder);
    return folder;
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

} // namespace settings
} // namespace halbeet
