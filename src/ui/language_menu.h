// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Language menu: one checkable item a language, the check on the language of the next
// start. Choosing another language stores it and says it takes effect at the next start.

#include <QObject>
#include <QString>

class QMenu;
class QWidget;

namespace halbeet {

class LanguageMenu final : public QObject {
    Q_OBJECT

public:
    // Fills menu with the languages (AR as N15, EN as English1, any further one by its name);
    // notices and errors appear over parent.
    LanguageMenu(QMenu* menu, QWidget* parent);

    // Stores code as the next start's language, unless it is already.
    void switchLanguage(const QString& code);
    // After the texts are applied: the check on the interface's language.
    void checkCurrentLanguage();

private:
    void showChecks();

    QMenu* m_menu;
    QWidget* m_parent;
    QString m_checked;
};

} // namespace halbeet
