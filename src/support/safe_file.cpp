// SPDX-License-Identifier: GPL-3.0-or-later
// A whole file written through a temporary file and a rename.
#include "support/safe_file.h"

#include <QSaveFile>

namespace halbeet {

bool WriteFileSafely(const QString& path, QByteArrayView bytes, QString* why)
{
    QSaveFile out(path);
    const auto size = static_cast<qint64>(bytes.size());
    // flush() first: a write that fails only when the buffer is flushed (a full disk and a
    // file smaller than the buffer) leaves QSaveFile::commit() returning true after putting an
    // empty file in place of the old one.
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes.data(), size) != size || !out.flush() ||
        !out.commit()) {
        if (why)
            *why = out.errorString();
        return false;
    }
    return true;
}

} // namespace halbeet
