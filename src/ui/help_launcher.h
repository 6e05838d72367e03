// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Help Contents: the help file of the interface's language opened by the desktop's viewer, or,
// where the desktop cannot open it, the same pages in the program's own help window; never
// nothing at all.

#include <QPointer>
#include <QStringList>

class QWidget;

namespace halbeet {

class HelpWindow;

class HelpLauncher {
public:
    // The help window, when one is needed, is a child of parent.
    explicit HelpLauncher(QWidget* parent) : m_parent(parent) {}

    void openHelp();
    // The program's own help window, once it has had to open it.
    HelpWindow* helpWindow() const;
    // Where the help file of the current language is looked for, in order.
    static QStringList helpFileCandidates();

private:
    void showHelpPages(const QString& unopenedFile);

    QWidget* m_parent;
    QPointer<HelpWindow> m_help;
};

} // namespace halbeet
