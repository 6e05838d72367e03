// SPDX-License-Identifier: GPL-3.0-or-later
// Table files: their JSON, and writing, reading and setting them aside in the state folder.

#include "net/table_store.h"
#include "support/safe_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace halbeet::net {

namespace {

constexpr int TableFileVersion = 1;
const QLatin1String Format("halbeet-table");
// The game model's save is a few kilobytes; far more is no save of it.
constexpr qsizetype MaxGameChars = 128 * 1024;

QString chairName(HostedTable::Chair chair)
{
    switch (chair) {
    case HostedTable::Chair::Person:
        return QStringLiteral("person");
    case HostedTable::Chair::Computer:
        return QStringLiteral("computer");
    case HostedTable::Chair::Open:
        break;
    }
    return QStringLiteral("open");
}

std::optional<HostedTable::Chair> chairOf(const QString& name)
{
    if (name == QLatin1String("open"))
        return HostedTable::Chair::Open;
    if (name == QLatin1String("person"))
        return HostedTable::Chair::Person;
    if (name == QLatin1String("computer"))
        return HostedTable::Chair::Computer;
    return std::nullopt;
}

bool onlyKeys(const QJsonObject& object, std::initializer_list<const char*> keys)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (std::none_of(keys.begin(), keys.end(),
                         [&](const char* key) { return it.key() == QLatin1String(key); }))
            return false;
    }
    return true;
}

QString fileOf(const QString& code)
{
    return QStringLiteral("table-%1.json").arg(code);
}

const QRegularExpression& fileNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^table-([A-Z0-9]+)\\.json$"));
    return pattern;
}

} // namespace

bool IsTableCode(const QString& code)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[A-HJKMNP-Z2-9]{%1}$").arg(TableCodeLength));
    return pattern.match(code).hasMatch();
}

std::string EncodeSavedTable(const HostedTable::Saved& table)
{
    QJsonArray seats;
    for (int seat = 1; seat <= 4; ++seat) {
        const auto i = static_cast<std::size_t>(seat);
        QJsonObject chair{{QStringLiteral("chair"), chairName(table.chairs[i])}};
        if (!table.names[i].empty())
            chair.insert(QStringLiteral("name"), QString::fromStdString(table.names[i]));
        if (!table.tokenHashes[i].isEmpty())
            chair.insert(QStringLiteral("tokenHash"),
                         QString::fromLatin1(table.tokenHashes[i].toHex()));
        seats.append(chair);
    }
    const QJsonObject root{
        {QStringLiteral("format"), Format},
        {QStringLiteral("version"), TableFileVersion},
        {QStringLiteral("code"), table.code},
        {QStringLiteral("started"), table.started},
        {QStringLiteral("seats"), seats},
        {QStringLiteral("game"), QString::fromStdString(table.game)},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

std::optional<HostedTable::Saved> DecodeSavedTable(std::string_view text, std::string* error)
{
    const auto fail = [error](std::string why) -> std::optional<HostedTable::Saved> {
        if (error)
            *error = std::move(why);
        return std::nullopt;
    };
    if (text.size() > static_cast<std::size_t>(MaxTableFileBytes))
        return fail("too large");
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return fail("not JSON");
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != Format)
        return fail("not a table file");
    if (root.value(QStringLiteral("version")).toInt(-1) != TableFileVersion)
        return fail("a version this server does not read");
    if (!onlyKeys(root, {"format", "version", "code", "started", "seats", "game"}))
        return fail("an unknown field");

    HostedTable::Saved table;
    table.code = root.value(QStringLiteral("code")).toString();
    if (!IsTableCode(table.code))
        return fail("not a table code");
    const QJsonValue started = root.value(QStringLiteral("started"));
    if (!started.isBool())
        return fail("started is not true or false");
    table.started = started.toBool();
    const QJsonValue game = root.value(QStringLiteral("game"));
    if (!game.isString() || game.toString().size() > MaxGameChars)
        return fail("no game");
    table.game = game.toString().toStdString();

    const QJsonArray seats = root.value(QStringLiteral("seats")).toArray();
    if (seats.size() != 4)
        return fail("not four seats");
    for (int seat = 1; seat <= 4; ++seat) {
        const auto i = static_cast<std::size_t>(seat);
        const QJsonValue value = seats.at(seat - 1);
        const QJsonObject chair = value.toObject();
        if (!value.isObject() || !onlyKeys(chair, {"chair", "name", "tokenHash"}))
            return fail("seat " + std::to_string(seat) + ": not a chair");
        const auto kind = chairOf(chair.value(QStringLiteral("chair")).toString());
        if (!kind)
            return fail("seat " + std::to_string(seat) + ": not a chair");
        table.chairs[i] = *kind;
        const QJsonValue name = chair.value(QStringLiteral("name"));
        if (!name.isUndefined() && !name.isString())
            return fail("seat " + std::to_string(seat) + ": a name that is not text");
        table.names[i] = name.toString().toStdString();
        const QJsonValue hash = chair.value(QStringLiteral("tokenHash"));
        if (!hash.isUndefined()) {
            static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
            if (!hex.match(hash.toString()).hasMatch())
                return fail("seat " + std::to_string(seat) + ": not a token hash");
            table.tokenHashes[i] = QByteArray::fromHex(hash.toString().toLatin1());
        }
    }
    return table;
}

QString TableStore::pathOf(const QString& code) const
{
    return m_folder + QLatin1Char('/') + fileOf(code);
}

bool TableStore::prepare(QString* error) const
{
    if (m_folder.isEmpty() || !QDir::isAbsolutePath(m_folder)) {
        if (error)
            *error = QStringLiteral("the state folder must be an absolute path");
        return false;
    }
    QDir dir;
    if (!dir.exists(m_folder)) {
        if (!dir.mkpath(m_folder)) {
            if (error)
                *error = QStringLiteral("cannot make %1").arg(m_folder);
            return false;
        }
        // Token hashes are not for other users to read.
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return true;
}

bool TableStore::write(const HostedTable::Saved& table, QString* error) const
{
    const std::string text = EncodeSavedTable(table);
    const QString path = pathOf(table.code);
    QString why;
    if (!WriteFileSafely(path, QByteArrayView(text.data(), static_cast<qsizetype>(text.size())), &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

QStringList TableStore::codes() const
{
    QStringList codes;
    const QStringList files =
        QDir(m_folder).entryList({QStringLiteral("table-*.json")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QRegularExpressionMatch match = fileNamePattern().match(file);
        if (match.hasMatch())
            codes << match.captured(1);
    }
    return codes;
}

std::vector<TableStore::Entry> TableStore::readAll() const
{
    std::vector<Entry> entries;
    for (const QString& code : codes()) {
        Entry entry;
        entry.code = code;
        entry.file = pathOf(code);
        QFile in(entry.file);
        if (!IsTableCode(code)) {
            entry.error = "not a table code";
        } else if (!in.open(QIODevice::ReadOnly)) {
            entry.error = in.errorString().toStdString();
        } else {
            const QByteArray bytes = in.read(MaxTableFileBytes + 1);
            if (in.error() != QFile::NoError)
                entry.error = in.errorString().toStdString();
            else
                entry.table = DecodeSavedTable(bytes.toStdString(), &entry.error);
            if (entry.table && entry.table->code != code) {
                entry.table.reset();
                entry.error = "the code is not the file's";
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

void TableStore::remove(const QString& code) const
{
    QFile::remove(pathOf(code));
}

QString TableStore::setAside(const QString& code) const
{
    const QString file = pathOf(code);
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = file + QStringLiteral(".unreadable-%1").arg(stamp);
    for (int n = 2; QFile::exists(aside); ++n)
        aside = file + QStringLiteral(".unreadable-%1-%2").arg(stamp).arg(n);
    if (QFile::rename(file, aside))
        return aside;
    QFile::remove(file);
    return {};
}

} // namespace halbeet::net
