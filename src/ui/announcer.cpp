// SPDX-License-Identifier: GPL-3.0-or-later
// A label that speaks only to assistive technology.

#include "ui/announcer.h"

namespace halbeet {

Announcer::Announcer(QWidget* parent, const QString& description) : QLabel(parent)
{
    setObjectName(QStringLiteral("Announcer"));
    setGeometry(0, 0, 1, 1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleDescription(description);
    show();
}

void Announcer::announce(const QString& text)
{
    if (text.isEmpty())
        return;
    if (m_history.size() == HistoryLength)
        m_history.removeFirst();
    m_history << text;
    // The same words twice in a row are still two events.
    if (accessibleName() == text)
        setAccessibleName(QString());
    setAccessibleName(text);
}

} // namespace halbeet
