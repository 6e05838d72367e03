// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tables a server keeps across a restart, one file each in a folder of their own:
// table-<code>.json, written to a temporary file and renamed, so that a stop in the middle
// leaves the old file or the new one, never half of one. A file that cannot be used is set
// aside under another name (kept for whoever wants to look at it) and never read again.
//
// What is in a file: the table's code, whether its game has started, each chair (open, a
// person with his name and the SHA-256 hash of his token, or a computer) and the game as the
// game model saves it. Never a token: a person comes back with the token he holds.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "net/hosted_table.h"

namespace halbeet::net {

// The largest table file read; a real one is a few kilobytes.
inline constexpr qint64 MaxTableFileBytes = 256 * 1024;

std::string EncodeSavedTable(const HostedTable::Saved& table);
// Nothing, with the reason, for a text that is not a table file of this version. Its shape is
// checked here; whether its chairs and game make a table, by HostedTable::restore().
std::optional<HostedTable::Saved> DecodeSavedTable(std::string_view text,
                                                   std::string* error = nullptr);

class TableStore {
  public:
    explicit TableStore(QString folder) : m_folder(std::move(folder)) {}
    const QString& folder() const { return m_folder; }
    QString pathOf(const QString& code) const;

    // Makes the folder if it is not there (private to its owner). False with the reason.
    bool prepare(QString* error = nullptr) const;
    // Writes one table safely. False with the reason; the file of before stays then.
    bool write(const HostedTable::Saved& table, QString* error = nullptr) const;

    // One table file as read: the table, or why it cannot be used.
    struct Entry {
        QString file;
        QString code; // from the file's name
        std::optional<HostedTable::Saved> table;
        std::string error;
    };
    // Every table file of the folder, in the order of their codes.
    std::vector<Entry> readAll() const;
    // The codes of the table files there.
    QStringList codes() const;
    // Removes a table's file (a table taken up again, or ended); a missing file is no error.
    void remove(const QString& code) const;
    // Moves a table's file aside, whole, and returns its new path (empty if even that failed;
    // the file is then removed so that it is not read again).
    QString setAside(const QString& code) const;

  private:
    QString m_folder;
};

// A table code as the server makes them: TableCodeLength letters and digits that cannot be
// taken one for another (no I, L, O, 0, 1).
bool IsTableCode(const QString& code);

} // namespace halbeet::net
