// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lets GoogleTest show Qt strings as text in failure messages instead of raw bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QByteArray& b, std::ostream* os)
{
    *os << testing::PrintToString(b.toStdString());
}

inline void PrintTo(QByteArrayView b, std::ostream* os)
{
    *os << testing::PrintToString(std::string(b.data(), std::size_t(b.size())));
}
