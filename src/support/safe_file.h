// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writing a whole file safely: into a temporary file beside it, then renamed over it, so that
// a failed write leaves the old file as it was.

#include <QByteArrayView>
#include <QString>

namespace halbeet {

// False when any step failed (the old file is then untouched); *why gets the reason.
bool WriteFileSafely(const QString& path, QByteArrayView bytes, QString* why = nullptr);

} // namespace halbeet
