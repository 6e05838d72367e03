// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ini_file.h"

#include <QStringDecoder>

#include <climits>
#include <cstring>

namespace halbeet::settings {

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr qsizetype Utf8BomSize = 3;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

int digitValue(char c, int base)
{
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d < base ? d : -1;
}

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

} // namespace

std::optional<int> parseInteger(QByteArrayView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    const bool negative = i < n && text[i] == '-';
    if (negative)
        ++i;
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;

    // One past INT_MAX so that INT_MIN itself can be written; the loop stops before overflow.
    constexpr long long Limit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < n; ++i) {
        const int d = digitValue(text[i], base);
        if (d < 0)
            return std::nullopt;
        magnitude = magnitude * base + d;
        if (magnitude > Limit)
            return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

namespace {

bool isControl(char16_t c)
{
    return (c < 0x20 && c != '\t') || c == 0x7F;
}

// Valid UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF; control characters
// only when allowed.
bool isUtf8(QByteArrayView bytes, bool allowControls)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            if (!allowControls && isControl(c))
                return false;
            ++i;
            continue;
        }
        // Lead byte: how many continuation bytes follow, and the range the first of them
        // must lie in to rule out overlong forms, surrogates and code points past U+10FFFF.
        qsizetype more = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (n - i - 1 < more)
            return false;
        if (p[i + 1] < low || p[i + 1] > high)
            return false;
        for (qsizetype k = 2; k <= more; ++k) {
            if (!isContinuation(p[i + k]))
                return false;
        }
        i += more + 1;
    }
    return true;
}

} // namespace

bool isReadableText(QByteArrayView bytes)
{
    return bytes.size() <= MaxValueSize && isUtf8(bytes, false);
}

std::optional<QString> decodeValue(QByteArrayView bytes)
{
    if (bytes.size() > MaxValueSize)
        return std::nullopt;
    QString text;
    if (isUtf8(bytes, true)) {
        // QString::fromUtf8 would drop a U+FEFF at the start of the value.
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        text = decoder(bytes);
    } else {
        // A name saved by an older program in the Windows code page: Arabic, and the accented
        // Latin letters such names use. Every byte is a character there, so nothing is lost.
        QStringDecoder decoder("windows-1256");
        text = decoder.isValid() ? QString(decoder(bytes)) : QString::fromLatin1(bytes);
    }
    // Shown as a write stores them: spaces.
    for (QChar& c : text) {
        if (isControl(c.unicode()))
            c = QLatin1Char(' ');
    }
    return text;
}

QByteArray encodeValue(const QString& value)
{
    QByteArray bytes = value.toUtf8();
    for (char& c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F)
            c = ' ';
    }
    return bytes;
}

IniDocument::IniDocument(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
}

IniDocument::Scan IniDocument::scan(QByteArrayView section, QByteArrayView key) const
{
    Scan result;
    const char* const data = m_bytes.constData();
    const qsizetype size = m_bytes.size();

    qsizetype pos = 0;
    if (size >= Utf8BomSize && std::memcmp(data, Utf8Bom, Utf8BomSize) == 0)
        pos = Utf8BomSize;

    bool inMatchingSection = false;
    bool inFirstMatchingSection = false;
    bool sawMatchingSection = false;

    while (pos < size) {
        const auto* newline = static_cast<const char*>(std::memchr(data + pos, '\n', size_t(size - pos)));
        const qsizetype lineEnd = newline ? newline - data : size;
        const qsizetype next = newline ? lineEnd + 1 : size;

        qsizetype begin = pos;
        qsizetype end = lineEnd;
        if (end > begin && data[end - 1] == '\r')
            --end;
        while (begin < end && isBlank(data[begin]))
            ++begin;
        while (end > begin && isBlank(data[end - 1]))
            --end;
        pos = next;
        if (begin == end)
            continue;

        const char first = data[begin];
        if (first == '[') {
            const auto* close = static_cast<const char*>(std::memchr(data + begin + 1, ']', size_t(end - begin - 1)));
            qsizetype nameBegin = begin + 1;
            qsizetype nameEnd = close ? close - data : end;
            while (nameBegin < nameEnd && isBlank(data[nameBegin]))
                ++nameBegin;
            while (nameEnd > nameBegin && isBlank(data[nameEnd - 1]))
                --nameEnd;
            inMatchingSection = equalsIgnoringCase(QByteArrayView(data + nameBegin, nameEnd - nameBegin), section);
            inFirstMatchingSection = inMatchingSection && !sawMatchingSection;
            sawMatchingSection = sawMatchingSection || inMatchingSection;
        } else if (first != ';' && first != '#' && inMatchingSection) {
            const auto* equals = static_cast<const char*>(std::memchr(data + begin, '=', size_t(end - begin)));
            if (equals) {
                const qsizetype eq = equals - data;
                qsizetype keyEnd = eq;
                while (keyEnd > begin && isBlank(data[keyEnd - 1]))
                    --keyEnd;
                if (equalsIgnoringCase(QByteArrayView(data + begin, keyEnd - begin), key)) {
                    qsizetype valueBegin = eq + 1;
                    while (valueBegin < end && isBlank(data[valueBegin]))
                        ++valueBegin;
                    result.valueBegin = valueBegin;
                    result.valueEnd = end;
                    return result;
                }
            }
        }
        if (inFirstMatchingSection)
            result.insertAt = next;
    }
    return result;
}

std::optional<QByteArrayView> IniDocument::rawValue(QByteArrayView section, QByteArrayView key) const
{
    const Scan found = scan(section, key);
    if (found.valueBegin < 0)
        return std::nullopt;
    return QByteArrayView(m_bytes.constData() + found.valueBegin, found.valueEnd - found.valueBegin);
}

std::optional<QString> IniDocument::text(QByteArrayView section, QByteArrayView key) const
{
    const auto raw = rawValue(section, key);
    if (!raw)
        return std::nullopt;
    return decodeValue(*raw);
}

std::optional<int> IniDocument::integer(QByteArrayView section, QByteArrayView key) const
{
    const auto raw = rawValue(section, key);
    if (!raw || raw->size() > MaxValueSize)
        return std::nullopt;
    return parseInteger(*raw);
}

QByteArrayView IniDocument::lineEnding() const
{
    const qsizetype newline = m_bytes.indexOf('\n');
    if (newline > 0 && m_bytes[newline - 1] == '\r')
        return "\r\n";
    return "\n";
}

QByteArray IniDocument::withValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) const
{
    // Blanks around a value are never read back; writing them would only make a second
    // write of the same value change the file again.
    while (!value.isEmpty() && isBlank(value.front()))
        value = value.sliced(1);
    while (!value.isEmpty() && isBlank(value.back()))
        value.chop(1);

    const Scan found = scan(section, key);
    QByteArray out;
    if (found.valueBegin >= 0) {
        out.reserve(m_bytes.size() - (found.valueEnd - found.valueBegin) + value.size());
        out.append(QByteArrayView(m_bytes).first(found.valueBegin));
        out.append(value);
        out.append(QByteArrayView(m_bytes).sliced(found.valueEnd));
        return out;
    }

    const QByteArrayView eol = lineEnding();
    // Ends an unterminated last line. After a CR only LF may follow: CR CR LF would add
    // the CR to the line's value.
    const auto endLine = [eol](QByteArray& bytes) {
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes.append(bytes.endsWith('\r') ? QByteArrayView("\n") : eol);
    };
    if (found.insertAt >= 0) {
        out = m_bytes.first(found.insertAt);
        endLine(out);
        out.append(key).append('=').append(value).append(eol);
        out.append(QByteArrayView(m_bytes).sliced(found.insertAt));
        return out;
    }

    out = m_bytes;
    const bool onlyBom = out.size() == Utf8BomSize && out.startsWith(Utf8Bom);
    if (!onlyBom)
        endLine(out);
    out.append('[').append(section).append(']').append(eol);
    out.append(key).append('=').append(value).append(eol);
    return out;
}

} // namespace halbeet::settings
