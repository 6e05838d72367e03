// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ini_file.h"

#include "print_qt.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using halbeet::settings::encodeValue;
using halbeet::settings::IniDocument;
using halbeet::settings::isReadableText;
using halbeet::settings::MaxValueSize;
using halbeet::settings::parseInteger;

namespace {

QByteArray bytes(const std::string& s)
{
    return QByteArray(s.data(), qsizetype(s.size()));
}

// A string literal with the NUL bytes inside it.
template <std::size_t N>
std::string raw(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

TEST(ParseInteger, AcceptsDecimalAndBothHexPrefixesOnly)
{
    struct Case {
        const char* text;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {"500", 500},
        {"0", 0},
        {"-5", -5},
        {"0100", 100},
        {"0x1F4", 500},
        {"0X1f4", 500},
        {"$1F4", 500},
        {"$1f4", 500},
        {"-$10", -16},
        {"-0x10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0x7FFFFFFF", 2147483647},
        // Out of range is not an integer, rather than a wrapped or saturated one.
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"0x80000000", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"-0x", std::nullopt},
        {"abc", std::nullopt},
        {"12a", std::nullopt},
        {"1e3", std::nullopt},
        {"+5", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"0x-5", std::nullopt},
        {"$$5", std::nullopt},
        {"--5", std::nullopt},
        {"0xG", std::nullopt},
        {"5.0", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseInteger(QByteArrayView(c.text)), c.expected) << "text: \"" << c.text << '"';
}

TEST(ReadableText, RejectsInvalidUtf8AndControlCharacters)
{
    struct Case {
        std::string text;
        bool readable;
    };
    const Case cases[] = {
        {"Hawk", true},
        {"", true},
        {"\xD8\xB5\xD9\x82\xD8\xB1", true},    // Arabic "صقر"
        {"\xF0\x9F\x82\xA1", true},            // a 4-byte character
        {"\xEF\xBF\xBD", true},                // U+FFFD itself
        {"a\tb", true},
        {"a\x01" "b", false},
        {raw("a\0b"), false},
        {"a\x7F", false},
        {"a\rb", false},
        {"\xC3\x28", false},                   // bad continuation
        {"\xC0\xAF", false},                   // overlong '/'
        {"\xE0\x80\xAF", false},               // overlong, three bytes
        {"\xED\xA0\x80", false},               // surrogate
        {"\xF4\x90\x80\x80", false},           // past U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xE2\x82", false},                   // truncated at the end
        {"\x80", false},                       // lone continuation
        {"\xFF\xFE", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isReadableText(bytes(c.text)), c.readable) << "text: " << testing::PrintToString(c.text);

    EXPECT_TRUE(isReadableText(QByteArray(MaxValueSize, 'a')));
    EXPECT_FALSE(isReadableText(QByteArray(MaxValueSize + 1, 'a')));
}

TEST(EncodeValue, LineBreaksAndControlsBecomeSpaces)
{
    EXPECT_EQ(encodeValue(QStringLiteral("a\nb\r\nc")), QByteArray("a b  c"));
    EXPECT_EQ(encodeValue(QString(QChar(0)) + QStringLiteral("x\x01")), QByteArray(" x "));
    EXPECT_EQ(encodeValue(QStringLiteral("tab\there")), QByteArray("tab\there"));
    EXPECT_EQ(encodeValue(QString::fromUtf8("\xD8\xB5\xD9\x82\xD8\xB1")), QByteArray("\xD8\xB5\xD9\x82\xD8\xB1"));
}

TEST(IniDocument, FindsValuesTheWayTheFileIsWritten)
{
    struct Case {
        const char* what;
        std::string file;
        const char* section;
        const char* key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"plain", "[NAMES]\nPLAYER1=Hawk\n", "NAMES", "PLAYER1", "Hawk"},
        {"names in other case", "[names]\nPlayer1=Hawk\n", "NAMES", "PLAYER1", "Hawk"},
        {"spaces around everything", "  [ NAMES ]  \n  PLAYER1  =  Hawk Eye  \n", "NAMES", "PLAYER1", "Hawk Eye"},
        {"equals sign inside the value", "[A]\nK=a=b\n", "A", "K", "a=b"},
        {"empty value", "[NAMES]\nPLAYER2=\n", "NAMES", "PLAYER2", ""},
        {"blank value", "[NAMES]\nPLAYER2=   \t\n", "NAMES", "PLAYER2", ""},
        {"CR LF line ends", "[A]\r\nK=v\r\nL=w\r\n", "A", "L", "w"},
        {"no line end at all", "[A]\nK=v", "A", "K", "v"},
        {"byte order mark", "\xEF\xBB\xBF[A]\nK=v\n", "A", "K", "v"},
        {"text after the bracket", "[A] trailing\nK=v\n", "A", "K", "v"},
        {"header without bracket", "[A\nK=v\n", "A", "K", "v"},
        {"key before any section", "K=v\n[A]\n", "A", "K", std::nullopt},
        {"key of another section", "[B]\nK=v\n[A]\n", "A", "K", std::nullopt},
        {"commented out", "[A]\n;K=v\n#K=w\n", "A", "K", std::nullopt},
        {"prefix of the key", "[A]\nKEY=v\n", "A", "K", std::nullopt},
        {"line without equals", "[A]\nK\n", "A", "K", std::nullopt},
        {"first of duplicate keys", "[A]\nK=1\nK=2\n", "A", "K", "1"},
        {"first of duplicate sections", "[A]\nK=1\n[a]\nK=2\n", "A", "K", "1"},
        {"key in a later duplicate section", "[A]\nX=1\n[B]\nK=0\n[A]\nK=2\n", "A", "K", "2"},
        {"NUL bytes before the section", raw("\0\0\xFF\n[A]\nK=v\n"), "A", "K", "v"},
        {"NUL inside the value", raw("[A]\nK=a\0b\n"), "A", "K", raw("a\0b")},
        {"lone CR does not end a line", "[A]\rK=v\n", "A", "K", std::nullopt},
        {"empty file", "", "A", "K", std::nullopt},
    };
    for (const Case& c : cases) {
        const IniDocument document(bytes(c.file));
        const auto raw = document.rawValue(c.section, c.key);
        std::optional<std::string> found;
        if (raw)
            found = std::string(raw->data(), std::size_t(raw->size()));
        EXPECT_EQ(found, c.value) << c.what;
    }
}

TEST(IniDocument, TextReadsWhatOtherWritersLeft)
{
    // Names are never lost for their bytes: what is not UTF-8 was written in the Windows code
    // page (Arabic, or accented Latin letters), and control characters show as the spaces a
    // write would store.
    struct Case {
        const char* what;
        std::string stored;
        QString read;
    };
    const Case cases[] = {
        {"UTF-8 Arabic", "\xD8\xB5\xD9\x82\xD8\xB1", QString::fromUtf8("\xD8\xB5\xD9\x82\xD8\xB1")},
        {"Windows-1256 Latin", "Jos\xE9", QString::fromUtf8("Jos\xC3\xA9")},
        {"Windows-1256 Arabic", "\xE3\xCD\xE3\xCF", QString::fromUtf8("\xD9\x85\xD8\xAD\xD9\x85\xD8\xAF")},
        {"bad UTF-8 continuation", "\xC3\x28", QString::fromUtf8("\xD8\xA3(")},
        {"bell", "Bell\x07X", QStringLiteral("Bell X")},
        {"NUL and DEL", raw("a\0b\x7F"), QStringLiteral("a b ")},
        {"tab kept", "a\tb", QStringLiteral("a\tb")},
        {"bell in a code-page name", "Jos\xE9\x01", QString::fromUtf8("Jos\xC3\xA9 ")},
    };
    for (const Case& c : cases) {
        const IniDocument document(QByteArray::fromStdString("[A]\nname=" + c.stored + "\n"));
        EXPECT_EQ(document.text("A", "name"), c.read) << c.what;
    }
}

TEST(IniDocument, TextAndIntegerRefuseUnreadableValues)
{
    const IniDocument document(bytes("[A]\nnum=12x\nok=\xD8\xB5\nhex=$1F4\n"));
    EXPECT_EQ(document.integer("A", "num"), std::nullopt);
    EXPECT_EQ(document.text("A", "ok"), QString::fromUtf8("\xD8\xB5"));
    EXPECT_EQ(document.integer("A", "hex"), 500);

    // A byte order mark inside a value is a character of the name, kept as such.
    const IniDocument bom(bytes("[A]\nname=\xEF\xBB\xBFx\n"));
    EXPECT_EQ(bom.text("A", "name"), QString(QChar(0xFEFF)) + QLatin1Char('x'));

    // A huge run of digits is refused without being scanned as a number.
    const IniDocument huge(QByteArray("[A]\nnum=") + QByteArray(MaxValueSize + 1, '1'));
    EXPECT_EQ(huge.integer("A", "num"), std::nullopt);
}

TEST(IniDocument, WritingChangesOneValueAndKeepsEveryOtherByte)
{
    struct Case {
        const char* what;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    };
    const Case cases[] = {
        {"into an empty file", "", "NAMES", "PLAYER1", "Hawk", "[NAMES]\nPLAYER1=Hawk\n"},
        {"replaces in place, keeping layout and case", "; mine\n[names]\n  player1 = Old  \nX=1\n", "NAMES", "PLAYER1",
         "New", "; mine\n[names]\n  player1 = New  \nX=1\n"},
        {"fills an empty value", "[A]\nK=\n", "A", "K", "v", "[A]\nK=v\n"},
        {"fills a blank value", "[A]\nK=  \n", "A", "K", "v", "[A]\nK=v  \n"},
        {"new key after the section's last line, before blank lines", "[A]\nX=1\n\n\n[B]\nY=2\n", "A", "K", "v",
         "[A]\nX=1\nK=v\n\n\n[B]\nY=2\n"},
        {"new key in a section that is the last line", "[B]\nY=2\n[A]", "A", "K", "v", "[B]\nY=2\n[A]\nK=v\n"},
        {"new key in the first of duplicate sections", "[A]\nX=1\n[B]\n[A]\nY=2\n", "A", "K", "v",
         "[A]\nX=1\nK=v\n[B]\n[A]\nY=2\n"},
        {"existing key in the later duplicate section", "[A]\nX=1\n[A]\nK=0\n", "A", "K", "v", "[A]\nX=1\n[A]\nK=v\n"},
        {"first of duplicate keys", "[A]\nK=1\nK=2\n", "A", "K", "v", "[A]\nK=v\nK=2\n"},
        {"new section after a last line without line end", "[B]\nY=2", "A", "K", "v", "[B]\nY=2\n[A]\nK=v\n"},
        {"keeps CR LF", "[B]\r\nY=2\r\n", "A", "K", "v", "[B]\r\nY=2\r\n[A]\r\nK=v\r\n"},
        // CR CR LF would make the lone CR part of Y's value.
        {"after a last line ending in a lone CR", "[B]\r\nY=2\r\r", "A", "K", "v",
         "[B]\r\nY=2\r\r\n[A]\r\nK=v\r\n"},
        {"blanks around the value are dropped", "[A]\nK=1\n", "A", "K", " \t v w \t ", "[A]\nK=v w\n"},
        {"CR LF inside an existing section", "[A]\r\nY=2\r\n", "A", "K", "v", "[A]\r\nY=2\r\nK=v\r\n"},
        {"replaces before a CR LF", "[A]\r\nK=1\r\n", "A", "K", "22", "[A]\r\nK=22\r\n"},
        {"keeps the byte order mark", "\xEF\xBB\xBF[A]\nK=1\n", "A", "K", "2", "\xEF\xBB\xBF[A]\nK=2\n"},
        {"after a lone byte order mark", "\xEF\xBB\xBF", "A", "K", "v", "\xEF\xBB\xBF[A]\nK=v\n"},
        {"keeps garbage and NUL bytes", raw("\0\xFF\xFEjunk\n[A]\nK=1\n"), "A", "K", "2",
         raw("\0\xFF\xFEjunk\n[A]\nK=2\n")},
        {"key before any section is not the section's", "K=1\n", "A", "K", "2", "K=1\n[A]\nK=2\n"},
    };
    for (const Case& c : cases) {
        const IniDocument document(bytes(c.before));
        const QByteArray written = document.withValue(c.section, c.key, c.value);
        EXPECT_EQ(written, bytes(c.after)) << c.what;
        const auto readBack = IniDocument(written).rawValue(c.section, c.key);
        ASSERT_TRUE(readBack.has_value()) << c.what;
        EXPECT_EQ(*readBack, QByteArrayView(c.value).trimmed()) << c.what;
        EXPECT_EQ(IniDocument(written).withValue(c.section, c.key, c.value), written)
            << c.what << ": a second write of the same value changes nothing";
    }
}

TEST(IniDocument, ScanningALargeFileIsLinear)
{
    // Five million blank lines and one long line: nothing per line may be kept in memory,
    // and the key after them must still be found.
    QByteArray file(5'000'000, '\n');
    file += "[A]\nJUNK=" + QByteArray(8'000'000, 'x') + "\nK=v\n";
    const IniDocument document(file);
    EXPECT_EQ(document.rawValue("A", "K"), std::optional<QByteArrayView>("v"));
    EXPECT_EQ(document.text("A", "JUNK"), std::nullopt);
}

} // namespace
