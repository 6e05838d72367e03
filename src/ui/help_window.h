// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's own help window: the HTML pages the help files are compiled from, with their
// table of contents, for a desktop that cannot open the help files itself.

#include <QDialog>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace halbeet {

class HelpWindow : public QDialog {
    Q_OBJECT

  public:
    // folder holds index.html and contents.hhc of one language.
    explicit HelpWindow(const QString& folder, QWidget* parent = nullptr);

    QTreeWidget* contents() const { return m_contents; }
    QTextBrowser* browser() const { return m_browser; }

    // The page folder of the current language beside the program (the build tree) or in its
    // installed data folder; empty when neither exists.
    static QString pagesFolder();

  private:
    void loadContents(const QString& hhcPath);
    void openEntry(QTreeWidgetItem* item);

    QString m_folder;
    QTreeWidget* m_contents = nullptr;
    QTextBrowser* m_browser = nullptr;
};

} // namespace halbeet
