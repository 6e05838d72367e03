// SPDX-License-Identifier: GPL-3.0-or-later
// The interface language: the exact code check, the two text tables, the style that keeps
// Arabic access keys from breaking the joining of a word, and the right-to-left helpers.

#include "ui/arabic_style.h"
#include "ui/language.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>

using namespace halbeet;

namespace {

QImage renderButton(const QString& text, QStyle* style)
{
    QPushButton button(text);
    button.setStyle(style);
    button.setLayoutDirection(languageDirection());
    button.setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 13));
    button.resize(90, 28);
    return button.grab().toImage();
}

QImage renderMenuBar(const QString& title, QStyle* style)
{
    QMenuBar bar;
    bar.setStyle(style);
    bar.setLayoutDirection(languageDirection());
    bar.setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 13));
    bar.addMenu(title);
    bar.resize(200, bar.sizeHint().height());
    return bar.grab().toImage();
}

} // namespace

class TstLanguage : public QObject {
    Q_OBJECT

private slots:
    void codeIsComparedExactly_data();
    void codeIsComparedExactly();
    void tablesAreComplete();
    void sharedAndChosenLanguageTexts();
    void underlineHiddenOnlyInArabic();
    void arabicAccessKeyDrawnJoined_data();
    void arabicAccessKeyDrawnJoined();
    void arabicAccessKeyStillWorks();
    void directionHelpers();
};

void TstLanguage::codeIsComparedExactly_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("arabic");
    QTest::newRow("AR") << "AR" << true;
    QTest::newRow("EN") << "EN" << false;
    QTest::newRow("ar lower case") << "ar" << false;
    QTest::newRow("FR") << "FR" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("AR with a space") << "AR " << false;
}

void TstLanguage::codeIsComparedExactly()
{
    QFETCH(QString, stored);
    QFETCH(bool, arabic);
    setCurrentLang(stored);
    QCOMPARE(isArabic(), arabic);
    QCOMPARE(CurrentLang(), arabic ? QStringLiteral("AR") : QStringLiteral("EN"));
    QCOMPARE(applicationTitle(), arabic ? QStringLiteral("الهلبيط") : QStringLiteral("Halbeet"));
    QCOMPARE(helpFileName(),
             arabic ? QStringLiteral("HalbeetArabic.chm") : QStringLiteral("HalbeetEnglish.chm"));
    QCOMPARE(&texts(), arabic ? &arabicTexts() : &englishTexts());
}

void TstLanguage::tablesAreComplete()
{
    // Every text is filled in both languages (only EmptyHint is empty by design), and each
    // window's texts differ between the languages where they are meant to.
    for (const LanguageTexts* t : {&arabicTexts(), &englishTexts()}) {
        const MainWindowTexts& m = t->mainWindow;
        for (const QString* s :
             {&m.caption, &m.N1, &m.N9, &m.N2, &m.N6, &m.N3, &m.N4, &m.Language1, &m.N15,
              &m.English1, &m.N7, &m.N10, &m.N12, &m.N13, &m.Button1, &m.ComboBox1Hint,
              &m.playLabel, &m.dealLabel, &m.trumpLabel, &t->flow.ExitQuestion,
              &t->flow.NewGameQuestion, &t->flow.BidPrompt, &t->flow.PassNotice,
              &t->flow.MissingBidNotice, &t->flow.RestartNotice, &t->options.caption,
              &t->options.Label1, &t->options.Label2, &t->options.Label3, &t->options.Label4,
              &t->options.Label5, &t->options.Label6, &t->options.Label9,
              &t->options.RadioButton3, &t->options.RadioButton4, &t->options.RadioButton5,
              &t->options.BitBtn1, &t->options.BitBtn3, &t->options.Card1Hint,
              &t->options.SpeedButton1, &t->options.SpeedButton2, &t->nameDialog.caption,
              &t->nameDialog.Label1, &t->nameDialog.Label2, &t->nameDialog.BitBtn1,
              &t->nameDialog.BitBtn2, &t->lastTrick.caption, &t->lastTrick.Button1,
              &t->about.caption, &t->about.Button1, &t->scoreSheet.caption,
              &t->scoreSheet.Button1})
            QVERIFY(!s->isEmpty());
        QVERIFY(t->flow.EmptyHint.isEmpty());
        for (const QString& s : t->messageDialog.captions)
            QVERIFY(!s.isEmpty());
        for (const QString& s : t->messageDialog.buttons)
            QVERIFY(!s.isEmpty());
    }
    QVERIFY(arabicTexts().mainWindow.N1 != englishTexts().mainWindow.N1);
    QVERIFY(arabicTexts().options.caption != englishTexts().options.caption);
    // The arrows swap their captions, not their actions.
    QCOMPARE(arabicTexts().options.SpeedButton1, englishTexts().options.SpeedButton2);
}

void TstLanguage::sharedAndChosenLanguageTexts()
{
    // Both language items carry their own language's name in both tables.
    QCOMPARE(arabicTexts().mainWindow.N15, englishTexts().mainWindow.N15);
    QCOMPARE(arabicTexts().mainWindow.English1, QStringLiteral("English"));
    QCOMPARE(arabicTexts().flow.MissingBidNotice, englishTexts().flow.MissingBidNotice);
    QCOMPARE(englishTexts().flow.RestartNotice,
             QStringLiteral("you must restart the game before new settings will take effect"));
    QVERIFY(arabicTexts().flow.RestartNotice != englishTexts().flow.RestartNotice);
    // Texts that keep trailing and doubled spaces.
    QVERIFY(arabicTexts().nameDialog.Label1.endsWith(QLatin1Char(' ')));
    QVERIFY(arabicTexts().mainWindow.dealLabel.contains(QStringLiteral("  ")));
    QCOMPARE(englishTexts().about.version, QStringLiteral("Version  2.0"));
}

void TstLanguage::underlineHiddenOnlyInArabic()
{
    AppStyle style;
    QStyle* base = QStyleFactory::create(style.baseStyle()->name());
    const int platform = base->styleHint(QStyle::SH_UnderlineShortcut);
    delete base;
    setCurrentLang(QStringLiteral("AR"));
    QCOMPARE(style.styleHint(QStyle::SH_UnderlineShortcut), 0);
    setCurrentLang(QStringLiteral("EN"));
    QCOMPARE(style.styleHint(QStyle::SH_UnderlineShortcut), platform);
}

void TstLanguage::arabicAccessKeyDrawnJoined_data()
{
    QTest::addColumn<bool>("menuBar");
    QTest::addColumn<QString>("caption");
    QTest::newRow("menu bar") << true << arabicTexts().mainWindow.N1;
    QTest::newRow("button") << false << arabicTexts().options.BitBtn3;
}

void TstLanguage::arabicAccessKeyDrawnJoined()
{
    QFETCH(bool, menuBar);
    QFETCH(QString, caption);
    setCurrentLang(QStringLiteral("AR"));
    QString bare = caption;
    bare.remove(QLatin1Char('&'));
    const auto render = [menuBar](const QString& text, QStyle* style) {
        return menuBar ? renderMenuBar(text, style) : renderButton(text, style);
    };

    // Without the fix the platform style draws the word split at the access key.
    QStyle* plain = QStyleFactory::create(QStringLiteral("Fusion"));
    QVERIFY(render(caption, plain) != render(bare, plain));
    delete plain;

    // With it, the caption looks exactly like the word without an ampersand.
    AppStyle style;
    QCOMPARE(render(caption, &style), render(bare, &style));
}

void TstLanguage::arabicAccessKeyStillWorks()
{
    setCurrentLang(QStringLiteral("AR"));
    AppStyle style;
    QWidget window;
    window.setStyle(&style);
    auto* button = new QPushButton(arabicTexts().options.BitBtn1, &window); // "&موافق"
    QSignalSpy clicked(button, &QPushButton::clicked);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    // Alt + the letter after the ampersand (meem).
    QCOMPARE(button->shortcut(), QKeySequence(Qt::ALT | Qt::Key(0x0645)));
    // QTest::keyClick only knows Latin keys; the event carries the Arabic letter itself.
    QTest::sendKeyEvent(QTest::Click, &window, Qt::Key(0x0645), QStringLiteral("م"),
                        Qt::AltModifier);
    // A shortcut presses the button visibly first: the click follows a moment later.
    QTRY_COMPARE(clicked.count(), 1);
}

void TstLanguage::directionHelpers()
{
    QMenu menu;
    setCurrentLang(QStringLiteral("AR"));
    QCOMPARE(languageDirection(), Qt::RightToLeft);
    applyLanguageDirection(&menu);
    QCOMPARE(menu.layoutDirection(), Qt::RightToLeft);
    setCurrentLang(QStringLiteral("EN"));
    applyLanguageDirection(&menu);
    QCOMPARE(menu.layoutDirection(), Qt::LeftToRight);
    applyLanguageDirection(nullptr);

    const QFont font = fontWithFallback(QStringLiteral("Impact"), 29, true);
    QCOMPARE(font.families(), QStringList({"Impact", "DejaVu Sans"}));
    QCOMPARE(font.pixelSize(), 29);
    QVERIFY(font.bold());
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstLanguage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_language.moc"
