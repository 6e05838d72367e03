// SPDX-License-Identifier: GPL-3.0-or-later
// The Language menu of the main window.

#include "ui/language_menu.h"

#include "settings/settings.h"
#include "ui/language.h"
#include "ui/message_dialog.h"

#include <QAction>
#include <QMenu>

namespace halbeet {

LanguageMenu::LanguageMenu(QMenu* menu, QWidget* parent) : QObject(menu), m_menu(menu), m_parent(parent)
{
    auto add = [this](const QString& name, const QString& code, const QString& text) {
        QAction* item = m_menu->addAction(text);
        item->setObjectName(name);
        item->setData(code);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, code] { switchLanguage(code); });
    };
    add(QStringLiteral("N15"), QStringLiteral("AR"), QString());
    add(QStringLiteral("English1"), QStringLiteral("EN"), QString());
    // Any further language the program has been given, by its own name.
    for (const QString& code : availableLanguages()) {
        if (code == QLatin1String("AR") || code == QLatin1String("EN"))
            continue;
        add(QStringLiteral("Language") + code, code, textsFor(code).name);
    }
}

void LanguageMenu::checkCurrentLanguage()
{
    m_checked = CurrentLang();
    showChecks();
}

void LanguageMenu::showChecks()
{
    // Each item carries its language's code.
    for (QAction* item : m_menu->actions())
        item->setChecked(item->data().toString() == m_checked);
}

void LanguageMenu::switchLanguage(const QString& code)
{
    // Checkable items toggle themselves on a click; the check marks follow m_checked.
    if (m_checked == code) {
        showChecks();
        return;
    }
    try {
        settings::setLanguage(code);
    } catch (const SettingsWriteError& error) {
        showChecks();
        showSettingsWriteError(m_parent, error);
        return;
    }
    const LanguageTexts& chosen = textsFor(code);
    // Told in the chosen language, buttons included: the words of one language on the
    // buttons of the other read as a mistake.
    MessageDlgIn(code, chosen.flow.RestartNotice, DialogType::Custom, MsgButton::OK, m_parent);
    m_checked = code;
    showChecks();
}

} // namespace halbeet
