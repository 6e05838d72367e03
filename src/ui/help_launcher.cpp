// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the help of the interface's language, through the desktop or in a window of our own.

#include "ui/help_launcher.h"

#include "ui/help_window.h"
#include "ui/language.h"
#include "ui/message_dialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace halbeet {

HelpWindow* HelpLauncher::helpWindow() const { return m_help.data(); }

QStringList HelpLauncher::helpFileCandidates()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString name = helpFileName();
    return {QDir(dir).filePath(name), QDir(dir).filePath(QStringLiteral("../share/halbeet/") + name)};
}

void HelpLauncher::openHelp()
{
    QString unopened;
    for (const QString& path : helpFileCandidates()) {
        if (!QFileInfo(path).isFile())
            continue;
        const QString file = QFileInfo(path).canonicalFilePath();
        // QDesktopServices fails quietly without xdg-open.
        if (!QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty() &&
            QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
            return;
        unopened = file;
        break;
    }
    showHelpPages(unopened);
}

void HelpLauncher::showHelpPages(const QString& unopenedFile)
{
    const QString folder = HelpWindow::pagesFolder();
    if (folder.isEmpty()) {
        const FlowTexts& t = texts().flow;
        LangMessageDlg(unopenedFile.isEmpty() ? t.NoHelp : t.HelpNotOpened.arg(unopenedFile),
                       DialogType::Information, MsgButton::OK, m_parent);
        return;
    }
    if (!m_help)
        m_help = new HelpWindow(folder, m_parent);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

} // namespace halbeet
