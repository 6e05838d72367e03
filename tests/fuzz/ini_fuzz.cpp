// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the settings file reader and editor.
//
// Besides surviving any input, it checks the two promises the rest of the program relies
// on: a written key reads back as written, and writing one key leaves every other key
// reading as it did before.

#include "settings/ini_file.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using halbeet::settings::encodeValue;
using halbeet::settings::IniDocument;
using halbeet::settings::isReadableText;
using halbeet::settings::parseInteger;

namespace {

struct Key {
    const char* section;
    const char* key;
};

// The program's seven keys, one spelled in another case, and one that it never uses.
constexpr std::array<Key, 9> Keys{{
    {"NAMES", "PLAYER1"},
    {"NAMES", "PLAYER2"},
    {"NAMES", "PLAYER3"},
    {"NAMES", "PLAYER4"},
    {"BACKCARD", "BACK"},
    {"DELAYCARD", "DELAY"},
    {"LANGUAGE", "LANG"},
    {"names", "player2"},
    {"EXTRA", "K"},
}};

std::optional<QByteArray> owned(const std::optional<QByteArrayView>& view)
{
    if (!view)
        return std::nullopt;
    return view->toByteArray();
}

QByteArray trimmedBlanks(QByteArray value)
{
    while (!value.isEmpty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove(0, 1);
    while (!value.isEmpty() && (value.back() == ' ' || value.back() == '\t'))
        value.chop(1);
    return value;
}

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));

    (void)parseInteger(input);
    (void)isReadableText(input);

    const IniDocument document(input);
    std::array<std::optional<QByteArray>, Keys.size()> before;
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        before[i] = owned(document.rawValue(Keys[i].section, Keys[i].key));
        const auto text = document.text(Keys[i].section, Keys[i].key);
        if (before[i] && before[i]->size() <= halbeet::settings::MaxValueSize)
            require(text.has_value(), "every value within the size cap reads as text");
        if (text && isReadableText(*before[i]))
            require(text->toUtf8() == *before[i], "readable text converts back to its bytes");
        (void)document.integer(Keys[i].section, Keys[i].key);
    }

    // Write one key, chosen and valued by the input itself, and reread everything.
    const std::size_t target = size % Keys.size();
    const QByteArray value = encodeValue(QString::fromUtf8(input.left(24)));
    const QByteArray written = document.withValue(Keys[target].section, Keys[target].key, value);
    const IniDocument after(written);
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        const auto now = owned(after.rawValue(Keys[i].section, Keys[i].key));
        const bool sameKey = qstricmp(Keys[i].section, Keys[target].section) == 0 &&
                             qstricmp(Keys[i].key, Keys[target].key) == 0;
        if (sameKey)
            require(now == trimmedBlanks(value), "the written key reads back as written");
        else
            require(now == before[i], "writing one key leaves the others as they were");
    }
    require(after.withValue(Keys[target].section, Keys[target].key, value) == written,
            "writing the same value twice changes nothing");
    return 0;
}
