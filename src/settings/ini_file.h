// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading and editing the bytes of an INI file, with no file access of its own.
//
// The file is treated as lines of bytes. Only three kinds of line mean anything: a
// section header "[NAME]", a key line "KEY=VALUE", and comments (";" or "#"). Every
// other line, however damaged, is kept as it is when a key is written: writing edits the
// one key's value in place, or inserts one line, and leaves every other byte alone.
// That way a hand-edited or damaged file loses nothing but the value that was replaced.
//
// Parsing never allocates per line, so its cost and memory are bounded by the size of
// the input whatever the input holds.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace halbeet::settings {

// Files larger than this are not the program's and are not parsed: every key reads as its
// default, and a write refuses rather than load or discard them.
inline constexpr qsizetype MaxIniFileSize = 16 * 1024 * 1024;
// A value longer than this cannot be read as text or as a number. It keeps a line of
// garbage from turning into a megabyte-long player name.
inline constexpr qsizetype MaxValueSize = 64 * 1024;

// A decimal integer with an optional leading '-', or hexadecimal after "0x", "0X" or "$"
// (also after a '-'). Nothing else, not even surrounding spaces; values outside the range
// of int are not integers.
std::optional<int> parseInteger(QByteArrayView text);

// Valid UTF-8 (no overlong forms, no surrogates), no control character other than tab,
// not longer than MaxValueSize.
bool isReadableText(QByteArrayView bytes);

// A value as text: UTF-8 when the bytes are valid UTF-8, otherwise Windows-1256 (the code
// page of names saved by older Windows programs); control characters other than tab become
// spaces, as a write would store them. Nothing only when longer than MaxValueSize.
std::optional<QString> decodeValue(QByteArrayView bytes);

// What a write puts into the file for a text value: control characters that would break
// the line (or hide in a name) become spaces, so a value can never add lines or keys.
QByteArray encodeValue(const QString& value);

class IniDocument {
public:
    explicit IniDocument(QByteArray bytes);

    const QByteArray& bytes() const { return m_bytes; }

    // The raw value of the key, spaces and tabs trimmed: the first occurrence of the key
    // in any section of that name, both names compared without regard to ASCII case.
    std::optional<QByteArrayView> rawValue(QByteArrayView section, QByteArrayView key) const;
    // The value decoded with decodeValue(); nothing when absent or too long.
    std::optional<QString> text(QByteArrayView section, QByteArrayView key) const;
    // The value when it is an integer, else nothing.
    std::optional<int> integer(QByteArrayView section, QByteArrayView key) const;

    // The file's bytes with the key set to value (already encoded, one line; blanks around
    // it are dropped, as a read would drop them). The key that
    // rawValue() finds is the one changed; a missing key goes at the end of the first
    // section of that name, a missing section at the end of the file. New lines follow the
    // file's own line ends (CR LF when its first line ends so).
    QByteArray withValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) const;

private:
    struct Scan {
        // Byte range of the found value (trimmed); valueBegin < 0 when the key is absent.
        qsizetype valueBegin = -1;
        qsizetype valueEnd = -1;
        // Where a new key line goes: just after the last non-blank line of the first
        // section of that name; < 0 when the section is absent.
        qsizetype insertAt = -1;
    };
    Scan scan(QByteArrayView section, QByteArrayView key) const;
    QByteArrayView lineEnding() const;

    QByteArray m_bytes;
};

} // namespace halbeet::settings
