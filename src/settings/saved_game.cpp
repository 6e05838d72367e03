// SPDX-License-Identifier: GPL-3.0-or-later
// The saved game's file in the user's data folder.

#include "settings/saved_game.h"
#include "support/safe_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace halbeet::savedgame {

namespace {

// A real save is a few kilobytes; anything far larger is not one.
constexpr qint64 MaxSaveSize = 1024 * 1024;

} // namespace

QString folder()
{
    // The XDG rules say a relative value is invalid and must be ignored.
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home))
            return {};
        base = home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(base + QStringLiteral("/Dovelarks/Halbeet"));
}

QString path()
{
    const QString dir = folder();
    return dir.isEmpty() ? QString() : dir + QStringLiteral("/game.json");
}

std::optional<std::string> read(bool* unreadable)
{
    if (unreadable)
        *unreadable = false;
    const QString file = path();
    if (file.isEmpty() || !QFile::exists(file))
        return std::nullopt;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly) || in.size() > MaxSaveSize) {
        if (unreadable)
            *unreadable = true;
        return std::nullopt;
    }
    const QByteArray bytes = in.read(MaxSaveSize + 1);
    if (bytes.size() > MaxSaveSize || in.error() != QFile::NoError) {
        if (unreadable)
            *unreadable = true;
        return std::nullopt;
    }
    return bytes.toStdString();
}

bool write(const std::string& text, QString* error)
{
    const QString dir = folder();
    const QString file = path();
    if (file.isEmpty()) {
        if (error)
            *error = QStringLiteral("no home folder");
        return false;
    }
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = dir;
        return false;
    }
    if (!WriteFileSafely(file, QByteArrayView(text.data(), static_cast<qsizetype>(text.size())))) {
        if (error)
            *error = file;
        return false;
    }
    return true;
}

void discard()
{
    const QString file = path();
    if (!file.isEmpty())
        QFile::remove(file);
}

QString setAside()
{
    const QString file = path();
    if (file.isEmpty() || !QFile::exists(file))
        return {};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = folder() + QStringLiteral("/game-unreadable-%1.json").arg(stamp);
    for (int n = 2; QFile::exists(aside); ++n)
        aside = folder() + QStringLiteral("/game-unreadable-%1-%2.json").arg(stamp).arg(n);
    if (QFile::rename(file, aside))
        return aside;
    QFile::remove(file);
    return {};
}

} // namespace halbeet::savedgame
