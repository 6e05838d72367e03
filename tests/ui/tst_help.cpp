// SPDX-License-Identifier: GPL-3.0-or-later
// Help (F1) where the desktop cannot open the help files (the offscreen platform opens
// nothing): the program's own window with the same pages and their table of contents, right
// to left in Arabic; and a notice in the current language when there is no help at all.

#include "test_support.h"

#include "ui/arabic_style.h"
#include "ui/help_window.h"

#include <QDir>
#include <QMenu>
#include <QRegularExpression>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

QString sourcePages(const QString& lang)
{
    return QDir::cleanPath(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../help/") + lang);
}

// Puts the pages (and, if asked, a help file) where the program looks for them, beside this
// test program, for the lifetime of the object.
class InstalledHelp {
public:
    InstalledHelp(bool pages, bool chmFile)
    {
        const QDir dir(QCoreApplication::applicationDirPath());
        m_pages = dir.filePath(QStringLiteral("help"));
        QDir(m_pages).removeRecursively();
        for (const QString& file : std::as_const(m_chmFiles))
            QFile::remove(file);
        if (pages) {
            for (const char* lang : {"en", "ar"}) {
                const QString from = sourcePages(QString::fromLatin1(lang));
                const QString to = m_pages + QLatin1Char('/') + QString::fromLatin1(lang);
                QDir().mkpath(to);
                for (const QString& name : QDir(from).entryList(QDir::Files))
                    QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name);
            }
        }
        if (chmFile) {
            for (const char* name : {"HalbeetEnglish.chm", "HalbeetArabic.chm"}) {
                const QString path = dir.filePath(QString::fromLatin1(name));
                QFile file(path);
                if (file.open(QIODevice::WriteOnly))
                    file.write("ITSF");
                m_chmFiles << path;
            }
        }
    }
    ~InstalledHelp()
    {
        QDir(m_pages).removeRecursively();
        for (const QString& file : std::as_const(m_chmFiles))
            QFile::remove(file);
    }

private:
    QString m_pages;
    QStringList m_chmFiles;
};

QStringList topLevelEntries(const QTreeWidget* tree)
{
    QStringList names;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        names << tree->topLevelItem(i)->text(0);
    return names;
}

// Every page of one language's help as plain text, as a reader sees it.
QString pagesText(const QString& lang)
{
    const QDir pages(sourcePages(lang));
    QString text;
    for (const QString& name : pages.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile file(pages.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QTextDocument page;
        page.setHtml(QString::fromUtf8(file.readAll()));
        text += page.toPlainText() + QLatin1Char('\n');
    }
    // One space between words, however the page's lines were broken.
    return text.simplified();
}

// A menu caption as the help writes it: no access-key mark, no dots.
QString plainCaption(QString caption)
{
    caption.remove(QLatin1Char('&'));
    while (caption.endsWith(QLatin1Char('.')) || caption.endsWith(QChar(0x2026)))
        caption.chop(1);
    return caption.trimmed();
}

} // namespace

class TstHelp : public QObject {
    Q_OBJECT

private slots:
    void theWindowShowsThePagesAndTheirContents_data();
    void theWindowShowsThePagesAndTheirContents();
    void f1OpensTheWindowWhenTheDesktopCannot_data();
    void f1OpensTheWindowWhenTheDesktopCannot();
    void f1SaysSoWhenThereIsNoHelp_data();
    void f1SaysSoWhenThereIsNoHelp();
    void helpNamesOnlyTheKeysTheInterfaceHas_data();
    void helpNamesOnlyTheKeysTheInterfaceHas();
    void helpDescribesTheGameAsItIs_data();
    void helpDescribesTheGameAsItIs();
};

void TstHelp::theWindowShowsThePagesAndTheirContents_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("sectionEntry");
    QTest::newRow("English") << QStringLiteral("EN")
                             << QStringList{QStringLiteral("Halbeet"), QStringLiteral("The rules of the game"),
                                            QStringLiteral("The table"), QStringLiteral("Menus and keys"),
                                            QStringLiteral("Options and settings")}
                             << QStringLiteral("Bidding");
    QTest::newRow("Arabic") << QStringLiteral("AR") << QStringList() << QString();
}

void TstHelp::theWindowShowsThePagesAndTheirContents()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, entries);
    QFETCH(QString, sectionEntry);
    setCurrentLang(lang);
    const bool arabic = lang == QLatin1String("AR");
    HelpWindow window(sourcePages(arabic ? QStringLiteral("ar") : QStringLiteral("en")));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTreeWidget* tree = window.contents();
    QCOMPARE(tree->topLevelItemCount(), 5);
    if (!entries.isEmpty())
        QCOMPARE(topLevelEntries(tree), entries);
    // The rules have their sections underneath.
    QTreeWidgetItem* rules = tree->topLevelItem(1);
    QCOMPARE(rules->childCount(), 9);
    QVERIFY(window.browser()->source().toLocalFile().endsWith(QLatin1String("/index.html")));
    QVERIFY(!window.browser()->toPlainText().isEmpty());
    QCOMPARE(window.layoutDirection(), arabic ? Qt::RightToLeft : Qt::LeftToRight);
    if (arabic) {
        // The page itself reads right to left.
        const QTextBlock block = window.browser()->document()->firstBlock();
        QCOMPARE(block.textDirection(), Qt::RightToLeft);
    }

    // An entry opens its page at its section.
    QTreeWidgetItem* bidding = rules->child(3);
    if (!sectionEntry.isEmpty())
        QCOMPARE(bidding->text(0), sectionEntry);
    tree->setCurrentItem(bidding);
    emit tree->itemActivated(bidding, 0);
    QVERIFY(window.browser()->source().toLocalFile().endsWith(QLatin1String("/rules.html")));
    QCOMPARE(window.browser()->source().fragment(), QStringLiteral("bidding"));
}

void TstHelp::f1OpensTheWindowWhenTheDesktopCannot_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<bool>("chmFile");
    QTest::newRow("English, help file") << QStringLiteral("EN") << true;
    QTest::newRow("English, pages only") << QStringLiteral("EN") << false;
    QTest::newRow("Arabic, help file") << QStringLiteral("AR") << true;
}

void TstHelp::f1OpensTheWindowWhenTheDesktopCannot()
{
    QFETCH(QString, lang);
    QFETCH(bool, chmFile);
    InstalledHelp help(true, chmFile);
    GameWindow::Options options;
    options.language = lang;
    GameWindow game(options);
    QCOMPARE(game.start(), QString());
    game.window().menuItem(QStringLiteral("N12"))->trigger();
    HelpWindow* window = game.window().helpWindow();
    QVERIFY2(window, "F1 did nothing");
    QTRY_VERIFY(window->isVisible());
    QCOMPARE(window->contents()->topLevelItemCount(), 5);
    const QString folder = lang == QLatin1String("AR") ? QStringLiteral("/help/ar/") : QStringLiteral("/help/en/");
    QVERIFY2(window->browser()->source().toLocalFile().endsWith(folder + QStringLiteral("index.html")),
             qPrintable(window->browser()->source().toString()));
    // A second F1 brings the same window back.
    window->close();
    game.window().menuItem(QStringLiteral("N12"))->trigger();
    QCOMPARE(game.window().helpWindow(), window);
    QVERIFY(window->isVisible());
}

void TstHelp::f1SaysSoWhenThereIsNoHelp_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<bool>("chmFile");
    QTest::addColumn<QString>("notice");
    const QString chm = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("HalbeetEnglish.chm"));
    QTest::newRow("English") << QStringLiteral("EN") << false << englishTexts().flow.NoHelp;
    QTest::newRow("Arabic") << QStringLiteral("AR") << false << arabicTexts().flow.NoHelp;
    QTest::newRow("English, a help file nothing opens")
        << QStringLiteral("EN") << true << englishTexts().flow.HelpNotOpened.arg(chm);
}

void TstHelp::f1SaysSoWhenThereIsNoHelp()
{
    QFETCH(QString, lang);
    QFETCH(bool, chmFile);
    QFETCH(QString, notice);
    InstalledHelp none(false, chmFile);
    GameWindow::Options options;
    options.language = lang;
    GameWindow game(options);
    QCOMPARE(game.start(), QString());
    QString shown;
    const auto answered = whenModal([&shown](QWidget* modal) {
        shown = messageText(modal);
        pressMessageButton(modal, MsgButton::OK);
    });
    game.window().menuItem(QStringLiteral("N12"))->trigger();
    QVERIFY2(*answered, "F1 was silent");
    QCOMPARE(shown, notice);
    QVERIFY(!game.window().helpWindow());
}

void TstHelp::helpNamesOnlyTheKeysTheInterfaceHas_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("English") << QStringLiteral("EN");
    QTest::newRow("Arabic") << QStringLiteral("AR");
}

// The keys page of the help promises only what the interface does: an underlined letter only
// where the style draws one (the Arabic interface underlines nothing), Alt with a letter only
// for access keys that the captions carry, and Esc at the name window ending the program.
void TstHelp::helpNamesOnlyTheKeysTheInterfaceHas()
{
    QFETCH(QString, lang);
    setCurrentLang(lang);
    const bool arabic = lang == QLatin1String("AR");
    QFile file(sourcePages(arabic ? QStringLiteral("ar") : QStringLiteral("en")) + QStringLiteral("/menus.html"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll());

    AppStyle style;
    const bool underlines = style.styleHint(QStyle::SH_UnderlineShortcut) != 0;
    const QStringList underlineWords{QStringLiteral("underlined"), QStringLiteral("المسطر"),
                                     QStringLiteral("تحته خط")};
    for (const QString& word : underlineWords)
        QVERIFY2(underlines || !page.contains(word), qPrintable(QStringLiteral("the help speaks of \"%1\"").arg(word)));

    const LanguageTexts& t = texts();
    QString keys;
    for (const QString& caption : {t.mainWindow.N1, t.mainWindow.N9, t.options.BitBtn1, t.options.BitBtn3,
                                   t.nameDialog.BitBtn1, t.nameDialog.BitBtn2}) {
        const qsizetype amp = caption.indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < caption.size())
            keys += caption.at(amp + 1).toLower();
    }
    static const QRegularExpression altKey(QStringLiteral("Alt\\s*\\+\\s*(\\w)(?!\\w)"));
    for (auto it = altKey.globalMatch(page); it.hasNext();) {
        const QString letter = it.next().captured(1).toLower();
        QVERIFY2(keys.contains(letter), qPrintable(QStringLiteral("Alt+%1 is no access key of the interface").arg(letter)));
    }
    QVERIFY(page.contains(QStringLiteral("<td>Esc</td>")));
}

void TstHelp::helpDescribesTheGameAsItIs_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("outdated");
    // What the first version said and is no longer true: a game is kept when the program is
    // closed, and the statistics keep every scored deal.
    QTest::newRow("English") << QStringLiteral("EN")
                             << QStringList{QStringLiteral("Scores are not kept"),
                                            QStringLiteral("are not kept: every start"),
                                            QStringLiteral("every start begins a new game")};
    QTest::newRow("Arabic") << QStringLiteral("AR")
                            << QStringList{QStringLiteral("النقاط لا تُحفظ"),
                                           QStringLiteral("فلا تُحفظ"),
                                           QStringLiteral("كل تشغيل يبدأ لعبة جديدة")};
}

void TstHelp::helpDescribesTheGameAsItIs()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, outdated);
    setCurrentLang(lang);
    const QString text = pagesText(lang.toLower());
    QVERIFY(!text.isEmpty());
    QStringList missing;

    // Every command of the Game menu, by its caption in the language of the pages.
    TempSettings settings;
    GameModel model([] { return std::uint32_t(1); });
    const auto window = createMainWindow(model);
    auto* game = window->findChild<QMenu*>(QStringLiteral("N1"));
    QVERIFY(game);
    int commands = 0;
    for (const QAction* item : game->actions()) {
        if (item->isSeparator())
            continue;
        ++commands;
        if (!text.contains(plainCaption(item->text())))
            missing << plainCaption(item->text());
    }
    QVERIFY(commands >= 9);
    // And what Options sets beyond names, speed and back.
    const LanguageTexts& t = texts();
    for (const QString& caption : {t.expert.LevelCaption, t.expert.Classic, t.expert.Expert,
                                   t.faces.Caption, t.savedGame.ResumeOption,
                                   t.statistics.resetButton}) {
        if (!text.contains(plainCaption(caption)))
            missing << plainCaption(caption);
    }
    // Keyboard play, and the keys of the commands that have one.
    for (const QString& key : {QStringLiteral("Home"), QStringLiteral("End"), QStringLiteral("Space"),
                               QStringLiteral("F11")}) {
        if (!text.contains(key))
            missing << key;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the help: ") +
                                           missing.join(QStringLiteral(" | "))));
    for (const QString& old : outdated)
        QVERIFY2(!text.contains(old), qPrintable(QStringLiteral("the help still says \"%1\"").arg(old)));
    setCurrentLang(QStringLiteral("EN"));
}

int main(int argc, char* argv[])
{
    useOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    TstHelp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_help.moc"
