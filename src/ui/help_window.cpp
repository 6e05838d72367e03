// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help_window.h"

#include "ui/arabic_style.h"
#include "ui/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>

namespace halbeet {

namespace {

constexpr int PageRole = Qt::UserRole;

QString unescapeHtml(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

} // namespace

HelpWindow::HelpWindow(const QString& folder, QWidget* parent) : QDialog(parent), m_folder(folder)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setModal(false);
    const MainWindowTexts& t = texts().mainWindow;
    setWindowTitle(QString(t.N12).remove(QLatin1Char('&')) + QStringLiteral(" - ") + t.caption);
    setLayoutDirection(languageDirection());

    auto* splitter = new QSplitter(this);
    m_contents = new QTreeWidget(splitter);
    m_contents->setObjectName(QStringLiteral("Contents"));
    m_contents->setHeaderHidden(true);
    m_contents->setColumnCount(1);
    m_browser = new QTextBrowser(splitter);
    m_browser->setObjectName(QStringLiteral("Page"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setSearchPaths({folder});
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    // Room for the widest picture of the pages (the table, 560 pixels) beside the contents.
    splitter->setSizes({220, 620});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    resize(860, 620);

    loadContents(QDir(folder).filePath(QStringLiteral("contents.hhc")));
    connect(m_contents, &QTreeWidget::itemActivated, this, &HelpWindow::openEntry);
    connect(m_contents, &QTreeWidget::itemClicked, this, &HelpWindow::openEntry);
    m_browser->setSource(QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("index.html"))));
    if (QTreeWidgetItem* first = m_contents->topLevelItem(0))
        m_contents->setCurrentItem(first);
}

void HelpWindow::loadContents(const QString& hhcPath)
{
    // The table of contents of the help files: nested lists of entries, each with a Name and
    // a Local page. It is the one list both the help files and this window show.
    QFile file(hhcPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression token(
        QStringLiteral(
            R"re(<\s*(/?)\s*UL\b[^>]*>|<param\s+name="(Name|Local)"\s+value="([^"]*)"\s*/?>|<\s*/\s*OBJECT\s*>)re"),
        QRegularExpression::CaseInsensitiveOption);
    QList<QTreeWidgetItem*> parents; // the entry each open list hangs under (null: the top)
    QTreeWidgetItem* last = nullptr;
    QString name;
    QString local;
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString whole = m.captured(0);
        if (m.capturedLength(2) > 0) {
            (m.captured(2).compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0 ? name
                                                                                    : local) =
                unescapeHtml(m.captured(3));
        } else if (whole.contains(QLatin1String("OBJECT"), Qt::CaseInsensitive)) {
            if (!name.isEmpty()) {
                QTreeWidgetItem* parent = parents.isEmpty() ? nullptr : parents.last();
                last = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_contents);
                last->setText(0, name);
                last->setData(0, PageRole, local);
            }
            name.clear();
            local.clear();
        } else if (m.captured(1).isEmpty()) {
            // A list opens: its entries belong to the entry before it (none for the first).
            parents.append(last);
        } else if (!parents.isEmpty()) {
            last = parents.takeLast();
        }
    }
    m_contents->expandAll();
}

void HelpWindow::openEntry(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString local = item->data(0, PageRole).toString();
    if (local.isEmpty())
        return;
    const QString page = local.section(QLatin1Char('#'), 0, 0);
    QUrl url = QUrl::fromLocalFile(QDir(m_folder).filePath(page));
    const QString anchor = local.section(QLatin1Char('#'), 1);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    m_browser->setSource(url);
}

QString HelpWindow::pagesFolder()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString lang = isArabic() ? QStringLiteral("ar") : QStringLiteral("en");
    for (const QString& candidate :
         {QDir(dir).filePath(QStringLiteral("help/") + lang),
          QDir(dir).filePath(QStringLiteral("../share/halbeet/help/") + lang)}) {
        if (QFileInfo(QDir(candidate).filePath(QStringLiteral("index.html"))).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

} // namespace halbeet
