// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of both languages as the program's tables hold them and as its windows show them,
// the languages found among the compiled translations, and Qt's own texts in Arabic.

#include "settings/settings.h"
#include "test_support.h"
#include "ui/about.h"
#include "ui/arabic_style.h"
#include "ui/language.h"
#include "ui/last_trick.h"
#include "ui/main_window.h"
#include "ui/name_dialog.h"
#include "ui/options_dialog.h"
#include "ui/score_sheet.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

using Field = std::function<QString(const LanguageTexts&)>;

// One fixed text: where the table keeps it, the two texts, and where a window shows it
// ("<window>:<object name>", "<window>:title", "<window>:<object name>@tip" for a tool tip,
// "panel" for a label of the status bar, "" when no window shows it without a question).
struct Text {
    const char* key;
    Field field;
    const char* arabic;
    const char* english;
    const char* shownBy;
};

#define FIELD(path) [](const LanguageTexts& t) { return t.path; }

const std::vector<Text>& describedTexts()
{
    static const std::vector<Text> all = {
        {"application title", FIELD(applicationTitle), "الهلبيط", "Halbeet", ""},
        {"help file", FIELD(helpFileName), "HalbeetArabic.chm", "HalbeetEnglish.chm", ""},
        // The flow's messages.
        {"ExitQuestion", FIELD(flow.ExitQuestion), "هل تريد إنهاء اللعبة ؟", "Do you want to exit?",
         ""},
        {"NewGameQuestion", FIELD(flow.NewGameQuestion), "هل تريد بدأ لعبة جديدة !؟",
         "Do you want to begin a new Game?!", ""},
        {"BidPrompt", FIELD(flow.BidPrompt), "حدد توقعك للرميات الرابحة ...", "Choose your bid ...",
         ""},
        {"PassNotice", FIELD(flow.PassNotice), "المجموع أقل من 11؛ سيتم إعادة توزيع الورق .",
         "Bids are less than 11; deal passes.", ""},
        {"EmptyHint", FIELD(flow.EmptyHint), "", "", ""},
        {"missing bid", FIELD(flow.MissingBidNotice), "أدخل توقعك لعدد الرميات الرابحة.",
         "أدخل توقعك لعدد الرميات الرابحة.", ""},
        {"restart notice", FIELD(flow.RestartNotice),
         "سيتم تطبيق إعدادات اللغة بعد إعادة تشغيل اللعبة",
         "you must restart the game before new settings will take effect", ""},
        // The main window.
        {"main caption", FIELD(mainWindow.caption), "الهلبيط", "Halbeet", "main:title"},
        {"N1", FIELD(mainWindow.N1), "&لعبة", "&Game", "main:N1"},
        {"N9", FIELD(mainWindow.N9), "&مساعدة", "&Help", "main:N9"},
        {"N2", FIELD(mainWindow.N2), "لعبة جديدة", "New Game", "main:N2"},
        {"N6", FIELD(mainWindow.N6), "خيارات...", "Options...", "main:N6"},
        {"N3", FIELD(mainWindow.N3), "اظهار آخر رمية", "Last Trick", "main:N3"},
        {"N4", FIELD(mainWindow.N4), "النتائج", "Scores", "main:N4"},
        {"Language1", FIELD(mainWindow.Language1), "اللغة", "Language", "main:Language1"},
        {"N15", FIELD(mainWindow.N15), "العربية", "العربية", "main:N15"},
        {"English1", FIELD(mainWindow.English1), "English", "English", "main:English1"},
        {"N7", FIELD(mainWindow.N7), "انهاء", "Exit", "main:N7"},
        {"N10", FIELD(mainWindow.N10), "حول اللعبة", "About", "main:N10"},
        {"N12", FIELD(mainWindow.N12), "مساعدة", "Help Contents", "main:N12"},
        {"N13", FIELD(mainWindow.N13), "حول اللعبة", "About", "main:N13"},
        {"bid button", FIELD(mainWindow.Button1), "موافق", "Ok", "main:Button1"},
        {"bid list hint", FIELD(mainWindow.ComboBox1Hint), "اختر توقعك للرميات الرابحة",
         "Choose your bid", "main:ComboBox1@tip"},
        {"play label", FIELD(mainWindow.playLabel), "اللعب عند :", "Play", "panel"},
        {"deal label", FIELD(mainWindow.dealLabel), "وزع الورق  :", "Deal", "panel"},
        {"trump label", FIELD(mainWindow.trumpLabel), "الهلبيط", "Halbeet", "panel"},
        // The options dialog.
        {"options caption", FIELD(options.caption), "خيارات", "Option", "options:title"},
        {"options Label5", FIELD(options.Label5), "الفريق الأول", "Team A", "options:Label5"},
        {"options Label1", FIELD(options.Label1), "اسمك", "Your Name", "options:Label1"},
        {"options Label2", FIELD(options.Label2), "اسم الشريك", "Partner Name", "options:Label2"},
        {"options Label6", FIELD(options.Label6), "الفريق الثاني", "Team B", "options:Label6"},
        {"options Label3", FIELD(options.Label3), "لاعب1", "Player1", "options:Label3"},
        {"options Label4", FIELD(options.Label4), "لاعب2", "Player2", "options:Label4"},
        {"options Label9", FIELD(options.Label9), "سرعة اللعب", "Playing Speed", "options:Label9"},
        {"RadioButton3", FIELD(options.RadioButton3), "سريع", "Fast", "options:RadioButton3"},
        {"RadioButton4", FIELD(options.RadioButton4), "متوسط", "Normal", "options:RadioButton4"},
        {"RadioButton5", FIELD(options.RadioButton5), "بطيء", "Slow", "options:RadioButton5"},
        {"options BitBtn1", FIELD(options.BitBtn1), "&موافق", "&Ok", "options:BitBtn1"},
        {"options BitBtn3", FIELD(options.BitBtn3), "إل&غاء الأمر", "&Cancel", "options:BitBtn3"},
        {"Card1 hint", FIELD(options.Card1Hint), "اختر خلفية الورق", "Choose Cards Back",
         "options:Card1@tip"},
        {"SpeedButton1", FIELD(options.SpeedButton1), ">", "<", "options:SpeedButton1"},
        {"SpeedButton2", FIELD(options.SpeedButton2), "<", ">", "options:SpeedButton2"},
        // The name dialog.
        {"names caption", FIELD(nameDialog.caption), "الهلبيط", "Halbeet", "names:title"},
        {"names Label1", FIELD(nameDialog.Label1), "مرحباً بك في لعبة الهلبيط ",
         "Welcome to Halbeet", "names:Label1"},
        {"names Label2", FIELD(nameDialog.Label2), "ماهو اسمك ؟", "What is your name?",
         "names:Label2"},
        {"names BitBtn1", FIELD(nameDialog.BitBtn1), "&موافق", "&Ok", "names:BitBtn1"},
        {"names BitBtn2", FIELD(nameDialog.BitBtn2), "إ&غلاق", "&Close", "names:BitBtn2"},
        // The last-trick window, the about window and the score sheet.
        {"last trick caption", FIELD(lastTrick.caption), "آخر رمية", "Last Shot",
         "lastTrick:title"},
        {"last trick Button1", FIELD(lastTrick.Button1), "إغلاق", "Close", "lastTrick:Button1"},
        {"about caption", FIELD(about.caption), "حول اللعبة", "About", "about:title"},
        {"about Button1", FIELD(about.Button1), "&موافق", "&Ok", "about:Button1"},
        // The game's name and version in the interface's own language and script.
        {"game name", FIELD(about.gameName), "الهلبيط", "Halbeet", "about:ProductName"},
        {"version", FIELD(about.version), "الإصدار  2.0", "Version  2.0", "about:Version"},
        {"scores caption", FIELD(scoreSheet.caption), "النتائج", "Scores", "scores:title"},
        {"scores Button1", FIELD(scoreSheet.Button1), "&موافق", "&Ok", "scores:Button1"},
        // The message dialogs: the captions by type, the buttons in their fixed order.
        {"Warning", FIELD(messageDialog.captions[0]), "تحذير", "Warning", ""},
        {"Error", FIELD(messageDialog.captions[1]), "خطأ", "Error", ""},
        {"Information", FIELD(messageDialog.captions[2]), "معلومات", "Information", ""},
        {"Confirmation", FIELD(messageDialog.captions[3]), "موافقة", "Confirm", ""},
        {"Yes", FIELD(messageDialog.buttons[0]), "نعم", "&Yes", ""},
        {"No", FIELD(messageDialog.buttons[1]), "لا", "&No", ""},
        // Spelled as on the game's other OK buttons.
        {"OK", FIELD(messageDialog.buttons[2]), "موافق", "&Ok", ""},
        {"Cancel", FIELD(messageDialog.buttons[3]), "إلغاء الأمر", "Cancel", ""},
        {"Abort", FIELD(messageDialog.buttons[4]), "انهاء", "&Abort", ""},
        {"Retry", FIELD(messageDialog.buttons[5]), "محاولة", "&Retry", ""},
        {"Ignore", FIELD(messageDialog.buttons[6]), "تجاوز", "&Ignore", ""},
        {"All", FIELD(messageDialog.buttons[7]), "الكل", "&All", ""},
        {"NoToAll", FIELD(messageDialog.buttons[8]), "لا للكل", "N&o to All", ""},
        {"YesToAll", FIELD(messageDialog.buttons[9]), "نعم للكل", "Yes to &All", ""},
        {"Help", FIELD(messageDialog.buttons[10]), "تعليمات", "&Help", ""},
        {"Close", FIELD(messageDialog.buttons[11]), "إغلاق", "&Close", ""},
    };
    return all;
}

#undef FIELD

QString widgetText(const QWidget* widget, bool toolTip)
{
    if (toolTip)
        return widget->toolTip();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    return QStringLiteral("<no text on %1>").arg(widget->objectName());
}

// What the window named in `shownBy` shows there, or why it cannot be read.
QString shownText(MainWindow& window, const QString& shownBy)
{
    const QString where = shownBy.section(QLatin1Char(':'), 0, 0);
    QString name = shownBy.section(QLatin1Char(':'), 1);
    const bool toolTip = name.endsWith(QLatin1String("@tip"));
    name.remove(QLatin1String("@tip"));
    if (where == QLatin1String("main")) {
        if (name == QLatin1String("title"))
            return window.windowTitle();
        if (name == QLatin1String("N13"))
            return window.table()->aboutAction()->text();
        if (name == QLatin1String("Button1"))
            return window.table()->bidButton()->text();
        if (name == QLatin1String("ComboBox1"))
            return window.table()->bidBox()->toolTip();
        QAction* item = window.menuItem(name);
        return item ? item->text() : QStringLiteral("<no menu item %1>").arg(name);
    }
    QWidget* root = nullptr;
    if (where == QLatin1String("options"))
        root = window.optionsDialog();
    else if (where == QLatin1String("names"))
        root = window.nameDialog();
    else if (where == QLatin1String("lastTrick"))
        root = window.lastTrickWindow();
    else if (where == QLatin1String("about"))
        root = window.aboutBox();
    else if (where == QLatin1String("scores"))
        root = window.scoreSheet();
    if (!root)
        return QStringLiteral("<no window %1>").arg(where);
    if (name == QLatin1String("title"))
        return root->windowTitle();
    const QWidget* widget = root->findChild<QWidget*>(name);
    return widget ? widgetText(widget, toolTip) : QStringLiteral("<no %1 in %2>").arg(name, where);
}

bool panelShows(const StatusBar& bar, const QString& text)
{
    for (int i = 0; i < bar.panelCount(); ++i) {
        if (bar.panel(i)->text() == text)
            return true;
    }
    return false;
}

bool hasArabicLetter(const QString& text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Arabic)
            return true;
    }
    return false;
}

} // namespace

class TstTranslations : public QObject {
    Q_OBJECT

  private slots:
    void everyDescribedText_data();
    void everyDescribedText();
    void languagesFoundAmongTheTranslations();
    void aFurtherLanguageNeedsNoCode();
    void qtOwnTextsFollowTheLanguage();
};

void TstTranslations::everyDescribedText_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("Arabic") << QStringLiteral("AR");
    QTest::newRow("English") << QStringLiteral("EN");
}

void TstTranslations::everyDescribedText()
{
    QFETCH(QString, code);
    const bool arabic = code == QLatin1String("AR");
    GameWindow game(GameWindow::Options{1, QStringLiteral("Hawk"), code, {}, 0});
    // Up to the first bid: the name dialog has been shown and every window exists.
    const QString problem = game.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    MainWindow& window = game.window();

    QStringList wrong;
    for (const Text& text : describedTexts()) {
        const QString expected = QString::fromUtf8(arabic ? text.arabic : text.english);
        const auto check = [&](const QString& what, const QString& actual) {
            if (actual != expected)
                wrong << QStringLiteral("%1 (%2): \"%3\" instead of \"%4\"")
                             .arg(QString::fromLatin1(text.key), what, actual, expected);
        };
        check(QStringLiteral("table"), text.field(texts()));
        check(QStringLiteral("table of the code"), text.field(textsFor(code)));
        check(QStringLiteral("named table"), text.field(arabic ? arabicTexts() : englishTexts()));
        const QString shownBy = QString::fromLatin1(text.shownBy);
        if (shownBy == QLatin1String("panel")) {
            if (!panelShows(*window.statusBar1(), expected))
                wrong << QStringLiteral("%1: no status panel shows \"%2\"").arg(text.key, expected);
        } else if (!shownBy.isEmpty()) {
            check(shownBy, shownText(window, shownBy));
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

void TstTranslations::languagesFoundAmongTheTranslations()
{
    // The test program carries one more translation (code "ZZ") besides the program's own.
    QCOMPARE(availableLanguages(), QStringList({"EN", "AR", "ZZ"}));
    const struct {
        const char* code;
        const char* name;
        Qt::LayoutDirection direction;
    } languages[] = {
        {"EN", "English", Qt::LeftToRight},
        {"AR", "العربية", Qt::RightToLeft},
        {"ZZ", "Zedish", Qt::RightToLeft},
    };
    for (const auto& language : languages) {
        const LanguageTexts& t = textsFor(QString::fromLatin1(language.code));
        QCOMPARE(t.code, QString::fromLatin1(language.code));
        QCOMPARE(t.name, QString::fromUtf8(language.name));
        QCOMPARE(t.direction, language.direction);
    }
    // Codes are compared exactly; an unknown one is English.
    for (const char* code : {"zz", "ar", "FR", "", "EN "})
        QCOMPARE(textsFor(QString::fromLatin1(code)).code, QStringLiteral("EN"));
}

void TstTranslations::aFurtherLanguageNeedsNoCode()
{
    // The "ZZ" translation translates a few texts: the rest fall back to English, and the
    // reading direction comes from the translation.
    const LanguageTexts& zz = textsFor(QStringLiteral("ZZ"));
    QCOMPARE(zz.mainWindow.N1, QStringLiteral("&Zame"));
    QCOMPARE(zz.mainWindow.N2, QStringLiteral("New Game"));
    QCOMPARE(zz.flow.RestartNotice, QStringLiteral("Zestart"));

    {
        GameWindow game(
            GameWindow::Options{1, QStringLiteral("Hawk"), QStringLiteral("ZZ"), {}, 0});
        QVERIFY(!isArabic());
        QCOMPARE(CurrentLang(), QStringLiteral("ZZ"));
        QCOMPARE(languageDirection(), Qt::RightToLeft);
        QCOMPARE(game.window().menuItem(QStringLiteral("N1"))->text(), QStringLiteral("&Zame"));
        QCOMPARE(game.window().menuBar()->layoutDirection(), Qt::RightToLeft);

        // The Language menu: the two described items, then the further language by its name,
        // carrying the check mark of the running language.
        const QMenu* menu = game.window().findChild<QMenu*>(QStringLiteral("Language1"));
        QVERIFY(menu);
        QStringList items;
        for (const QAction* item : menu->actions())
            items << item->text() + (item->isChecked() ? QStringLiteral(" *") : QString());
        QCOMPARE(items, QStringList({"العربية", "English", "Zedish *"}));
    }

    // Choosing it from an English run stores its code and tells the notice in it.
    GameWindow game;
    QAction* zedish = game.window().findChild<QAction*>(QStringLiteral("LanguageZZ"));
    QVERIFY(zedish);
    QString notice;
    answerNextMessage(MsgButton::OK, &notice);
    zedish->trigger();
    QCOMPARE(notice, QStringLiteral("Zestart"));
    QCOMPARE(settings::language(), QStringLiteral("ZZ"));
    QVERIFY(zedish->isChecked());
    QVERIFY(!game.window().menuItem(QStringLiteral("English1"))->isChecked());
}

void TstTranslations::qtOwnTextsFollowTheLanguage()
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + QStringLiteral("/qtbase_ar.qm")))
        QSKIP("Qt's Arabic translations are not installed (qt6-translations-l10n)");
    const auto contextMenuTexts = [] {
        QLineEdit field;
        std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList list;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator())
                list << action->text().section(QLatin1Char('\t'), 0, 0); // without the shortcut
        }
        return list;
    };
    const Qt::LayoutDirection before = QGuiApplication::layoutDirection();

    setCurrentLang(QStringLiteral("AR"));
    installQtTranslations();
    const QStringList arabic = contextMenuTexts();
    QVERIFY(!arabic.isEmpty());
    for (const QString& text : arabic)
        QVERIFY2(hasArabicLetter(text), qPrintable(text));
    // Qt's catalogue says right to left; the program keeps the direction it had.
    QCOMPARE(QGuiApplication::layoutDirection(), before);

    setCurrentLang(QStringLiteral("EN"));
    installQtTranslations();
    const QStringList english = contextMenuTexts();
    QVERIFY(english.contains(QStringLiteral("&Undo")));
    QVERIFY(english.contains(QStringLiteral("&Paste")));
}

int main(int argc, char* argv[])
{
    useOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    TstTranslations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
