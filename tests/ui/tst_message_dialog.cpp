// SPDX-License-Identifier: GPL-3.0-or-later
// The message dialogs: the Arabic dialog's captions, layout, default and Esc buttons and
// result codes, the standard box's result codes in English, and Return answering with the
// focused button in both.

#include "dialog_helpers.h"
#include "ui/arabic_style.h"
#include "ui/language.h"
#include "ui/message_dialog.h"
#include "settings/settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace halbeet;
using halbeet::testing::whenModal;

Q_DECLARE_METATYPE(halbeet::Buttons)
Q_DECLARE_METATYPE(halbeet::DialogType)

namespace {

const QString ShortText = QStringLiteral("نص");

QStringList buttonNamesRightToLeft(const MessageDialog& form)
{
    QList<QPushButton*> buttons = form.findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](const QPushButton* a, const QPushButton* b) { return a->x() > b->x(); });
    QStringList names;
    for (const QPushButton* b : buttons)
        names << b->objectName();
    return names;
}

// What the user does to the dialog that the call under test shows.
enum class Act { Enter, Escape, CloseBox, ClickAll };

void perform(QWidget* dialog, Act act)
{
    switch (act) {
    case Act::Enter: QTest::keyClick(dialog, Qt::Key_Return); break;
    case Act::Escape: QTest::keyClick(dialog, Qt::Key_Escape); break;
    case Act::CloseBox: dialog->close(); break;
    case Act::ClickAll:
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
            if (b->text().remove(QLatin1Char('&')) == QStringLiteral("All") ||
                b->objectName() == QStringLiteral("All")) {
                b->click();
                return;
            }
        }
        QFAIL("no All button");
    }
}

} // namespace

Q_DECLARE_METATYPE(Act)
Q_DECLARE_METATYPE(QList<int>)

class TstMessageDialog : public QObject {
    Q_OBJECT

private slots:
    void init() { setCurrentLang(QStringLiteral("AR")); }

    void arabicCaptionsAndIcons_data();
    void arabicCaptionsAndIcons();
    void arabicButtonsRightToLeftInTableOrder();
    void arabicDefaultAndEscapeButtons_data();
    void arabicDefaultAndEscapeButtons();
    void arabicResults_data();
    void arabicResults();
    void arabicHelpButtonDoesNotClose();
    void arabicSizeShortAndLongText();
    void arabicTextIsPlain();
    void englishResults_data();
    void englishResults();
    void englishBoxLooksStandard();
    void langMessageDlgFollowsLanguage();
    void keyboardAnswersWithTheFocusedButton_data();
    void keyboardAnswersWithTheFocusedButton();
    void settingsWriteErrorShowsPath();
};

void TstMessageDialog::arabicCaptionsAndIcons_data()
{
    QTest::addColumn<DialogType>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("hasIcon");
    const auto& caps = arabicTexts().messageDialog.captions;
    QTest::newRow("warning") << DialogType::Warning << caps[0] << true;
    QTest::newRow("error") << DialogType::Error << caps[1] << true;
    QTest::newRow("information") << DialogType::Information << caps[2] << true;
    QTest::newRow("confirmation") << DialogType::Confirmation << caps[3] << true;
    QTest::newRow("custom") << DialogType::Custom << QStringLiteral("الهلبيط") << false;
}

void TstMessageDialog::arabicCaptionsAndIcons()
{
    QFETCH(DialogType, type);
    QFETCH(QString, caption);
    QFETCH(bool, hasIcon);
    // The dialog is Arabic whatever language the run has; custom takes the run's title.
    const auto form = CreateArabicMessageDialog(ShortText, type, MsgButton::OK);
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(form->layoutDirection(), Qt::RightToLeft);
    const QLabel* image = form->findChild<QLabel*>(QStringLiteral("Image"));
    const QLabel* message = form->findChild<QLabel*>(QStringLiteral("Message"));
    QVERIFY(message);
    QCOMPARE(image != nullptr, hasIcon);
    if (hasIcon) {
        // Icon at the top right, the text to its left.
        QCOMPARE(image->size(), QSize(32, 32));
        QVERIFY(image->geometry().right() < form->width());
        QVERIFY(image->x() > form->width() / 2);
        QVERIFY(message->geometry().right() < image->x());
        QCOMPARE(image->y(), message->y());
    } else {
        // Centred text.
        const int leftSpace = message->x();
        const int rightSpace = form->width() - (message->x() + message->width());
        QVERIFY(qAbs(leftSpace - rightSpace) <= 1);
    }
}

void TstMessageDialog::arabicButtonsRightToLeftInTableOrder()
{
    const Buttons all = MsgButton::Yes | MsgButton::No | MsgButton::OK | MsgButton::Cancel |
                        MsgButton::Abort | MsgButton::Retry | MsgButton::Ignore | MsgButton::All |
                        MsgButton::NoToAll | MsgButton::YesToAll | MsgButton::Help |
                        MsgButton::Close;
    const auto form = CreateArabicMessageDialog(ShortText, DialogType::Custom, all);
    QCOMPARE(buttonNamesRightToLeft(*form),
             QStringList({"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All",
                          "NoToAll", "YesToAll", "Help", "Close"}));
    // Arabic captions in the same order.
    QList<QPushButton*> buttons = form->findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](const QPushButton* a, const QPushButton* b) { return a->x() > b->x(); });
    for (int i = 0; i < buttons.size(); ++i)
        QCOMPARE(buttons[i]->text(), arabicTexts().messageDialog.buttons[std::size_t(i)]);

    // The group is centred and all buttons stand on one row inside the dialog.
    const int left = buttons.last()->x();
    const int right = form->width() - (buttons.first()->x() + buttons.first()->width());
    QVERIFY(qAbs(left - right) <= 1);
    for (const QPushButton* b : buttons)
        QCOMPARE(b->y(), buttons.first()->y());
    QVERIFY(buttons.first()->geometry().bottom() < form->height());

    const auto yesNo = CreateArabicMessageDialog(ShortText, DialogType::Custom,
                                                 MsgButton::No | MsgButton::Yes);
    QCOMPARE(buttonNamesRightToLeft(*yesNo), QStringList({"Yes", "No"}));
    QCOMPARE(yesNo->findChild<QPushButton*>("Yes")->text(), QStringLiteral("نعم"));
    QCOMPARE(yesNo->findChild<QPushButton*>("No")->text(), QStringLiteral("لا"));
}

void TstMessageDialog::arabicDefaultAndEscapeButtons_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<QString>("enter");
    QTest::addColumn<QString>("escape");
    QTest::newRow("yes no") << Buttons(MsgButton::Yes | MsgButton::No) << "Yes" << "No";
    QTest::newRow("ok alone") << Buttons(MsgButton::OK) << "OK" << "OK";
    QTest::newRow("ok cancel") << Buttons(MsgButton::OK | MsgButton::Cancel) << "OK" << "Cancel";
    QTest::newRow("yes no cancel")
        << Buttons(MsgButton::Yes | MsgButton::No | MsgButton::Cancel) << "Yes" << "Cancel";
    QTest::newRow("abort retry ignore")
        << Buttons(MsgButton::Abort | MsgButton::Retry | MsgButton::Ignore) << "Retry" << "";
    QTest::newRow("close alone") << Buttons(MsgButton::Close) << "" << "";
}

void TstMessageDialog::arabicDefaultAndEscapeButtons()
{
    QFETCH(Buttons, buttons);
    QFETCH(QString, enter);
    QFETCH(QString, escape);
    const auto form = CreateArabicMessageDialog(ShortText, DialogType::Custom, buttons);
    QCOMPARE(form->defaultButton() ? form->defaultButton()->objectName() : QString(), enter);
    QCOMPARE(form->cancelButton() ? form->cancelButton()->objectName() : QString(), escape);
    if (form->defaultButton())
        QVERIFY(form->defaultButton()->isDefault());
    int defaults = 0;
    for (const QPushButton* b : form->findChildren<QPushButton*>())
        defaults += b->isDefault() ? 1 : 0;
    QCOMPARE(defaults, enter.isEmpty() ? 0 : 1);
}

void TstMessageDialog::arabicResults_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Act>("act");
    QTest::addColumn<int>("result");
    const Buttons yesNo = MsgButton::Yes | MsgButton::No;
    QTest::newRow("yes/no enter") << yesNo << Act::Enter << 6;
    QTest::newRow("yes/no esc") << yesNo << Act::Escape << 7;
    QTest::newRow("yes/no close box") << yesNo << Act::CloseBox << 2;
    QTest::newRow("ok enter") << Buttons(MsgButton::OK) << Act::Enter << 1;
    QTest::newRow("ok esc") << Buttons(MsgButton::OK) << Act::Escape << 1;
    QTest::newRow("ok close box") << Buttons(MsgButton::OK) << Act::CloseBox << 2;
    QTest::newRow("ok/cancel esc") << Buttons(MsgButton::OK | MsgButton::Cancel) << Act::Escape
                                   << 2;
    QTest::newRow("all clicked") << Buttons(MsgButton::All | MsgButton::Cancel) << Act::ClickAll
                                 << 8;
}

void TstMessageDialog::arabicResults()
{
    QFETCH(Buttons, buttons);
    QFETCH(Act, act);
    QFETCH(int, result);
    const auto acted = whenModal([act](QWidget* dialog) {
        QVERIFY(qobject_cast<MessageDialog*>(dialog));
        perform(dialog, act);
    });
    QCOMPARE(LangMessageDlg(QStringLiteral("هل تريد إنهاء اللعبة ؟"), DialogType::Custom,
                            buttons),
             result);
    QVERIFY(*acted);
}

void TstMessageDialog::arabicHelpButtonDoesNotClose()
{
    const auto form = CreateArabicMessageDialog(ShortText, DialogType::Information,
                                                MsgButton::Help | MsgButton::OK);
    form->show();
    form->findChild<QPushButton*>("Help")->click();
    QVERIFY(form->isVisible());
    form->findChild<QPushButton*>("OK")->click();
    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), 1);
}

void TstMessageDialog::arabicSizeShortAndLongText()
{
    const Buttons yesNo = MsgButton::Yes | MsgButton::No;
    const auto shortForm = CreateArabicMessageDialog(ShortText, DialogType::Custom, yesNo);
    const QPushButton* yes = shortForm->findChild<QPushButton*>("Yes");
    const QPushButton* no = shortForm->findChild<QPushButton*>("No");
    // A short text: the dialog is as wide as the button group plus the two margins.
    const int group = yes->geometry().right() - no->x() + 1;
    const int margin = no->x();
    QVERIFY(margin > 0);
    QCOMPARE(shortForm->width(), group + 2 * margin);
    QVERIFY(shortForm->minimumSize() == shortForm->maximumSize()); // fixed size

    QString longText;
    for (int i = 0; i < 60; ++i)
        longText += QStringLiteral("المجموع أقل من 11؛ سيتم إعادة توزيع الورق . ");
    const auto longForm = CreateArabicMessageDialog(longText, DialogType::Custom, yesNo);
    const QLabel* message = longForm->findChild<QLabel*>("Message");
    const int halfScreen = QGuiApplication::primaryScreen()->geometry().width() / 2;
    // Wrapped at half the screen width: several lines, and the dialog grows in height.
    QVERIFY(message->width() <= halfScreen);
    QVERIFY(message->width() > halfScreen * 3 / 4);
    QVERIFY(message->height() > 5 * QFontMetrics(longForm->font()).height());
    QVERIFY(longForm->height() > shortForm->height() + message->height() / 2);
    QVERIFY(longForm->width() > shortForm->width());
    // The buttons stay below the text.
    QVERIFY(longForm->findChild<QPushButton*>("Yes")->y() > message->geometry().bottom());
}

void TstMessageDialog::arabicTextIsPlain()
{
    for (const QString& text : {QStringLiteral("<b>x</b>"), QStringLiteral("<img src=x>")}) {
        const auto form = CreateArabicMessageDialog(text, DialogType::Custom, MsgButton::OK);
        const QLabel* message = form->findChild<QLabel*>("Message");
        QCOMPARE(message->textFormat(), Qt::PlainText);
        QCOMPARE(message->text(), text);
        // Measured as the literal characters.
        QVERIFY(message->width() >= QFontMetrics(form->font()).horizontalAdvance(text) - 1);
    }
}

void TstMessageDialog::englishResults_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Act>("act");
    QTest::addColumn<int>("result");
    const Buttons yesNo = MsgButton::Yes | MsgButton::No;
    QTest::newRow("yes/no enter") << yesNo << Act::Enter << 6;
    QTest::newRow("yes/no esc") << yesNo << Act::Escape << 7;
    QTest::newRow("yes/no close box") << yesNo << Act::CloseBox << 7;
    QTest::newRow("ok enter") << Buttons(MsgButton::OK) << Act::Enter << 1;
    QTest::newRow("ok esc") << Buttons(MsgButton::OK) << Act::Escape << 1;
    QTest::newRow("ok/cancel esc") << Buttons(MsgButton::OK | MsgButton::Cancel) << Act::Escape
                                   << 2;
    QTest::newRow("yes/no/cancel close box")
        << Buttons(MsgButton::Yes | MsgButton::No | MsgButton::Cancel) << Act::CloseBox << 2;
    QTest::newRow("all clicked") << Buttons(MsgButton::All | MsgButton::Cancel) << Act::ClickAll
                                 << 8;
}

void TstMessageDialog::englishResults()
{
    setCurrentLang(QStringLiteral("EN"));
    QFETCH(Buttons, buttons);
    QFETCH(Act, act);
    QFETCH(int, result);
    const auto acted = whenModal([act](QWidget* dialog) {
        QVERIFY(qobject_cast<QMessageBox*>(dialog));
        perform(dialog, act);
    });
    QCOMPARE(LangMessageDlg(QStringLiteral("Do you want to exit?"), DialogType::Custom, buttons),
             result);
    QVERIFY(*acted);
}

void TstMessageDialog::englishBoxLooksStandard()
{
    setCurrentLang(QStringLiteral("EN"));
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    Qt::TextFormat format = Qt::RichText;
    int buttonCount = 0;
    whenModal([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        format = box->textFormat();
        buttonCount = int(box->buttons().size());
        box->close();
    });
    StandardMessageDlg(QStringLiteral("<b>x</b>"), DialogType::Custom,
                       MsgButton::Yes | MsgButton::No);
    QCOMPARE(title, QStringLiteral("Halbeet"));
    QCOMPARE(text, QStringLiteral("<b>x</b>"));
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttonCount, 2);

    whenModal([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        title = box->windowTitle();
        icon = box->icon();
        box->close();
    });
    StandardMessageDlg(QStringLiteral("x"), DialogType::Warning, MsgButton::OK);
    QCOMPARE(title, QStringLiteral("Warning"));
    QCOMPARE(icon, QMessageBox::Warning);
}

void TstMessageDialog::langMessageDlgFollowsLanguage()
{
    // The standard box is used in Arabic too when asked for (the score sheet does).
    bool wasStandard = false;
    QString title;
    whenModal([&](QWidget* dialog) {
        wasStandard = qobject_cast<QMessageBox*>(dialog) != nullptr;
        title = dialog->windowTitle();
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    QCOMPARE(StandardMessageDlg(arabicTexts().flow.NewGameQuestion, DialogType::Custom,
                                MsgButton::Yes | MsgButton::No),
             6);
    QVERIFY(wasStandard);
    QCOMPARE(title, QStringLiteral("الهلبيط"));
}

void TstMessageDialog::keyboardAnswersWithTheFocusedButton_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("standardBox"); // the standard box whatever the language
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("result");
    const QList<std::pair<const char*, QString>> languages{{"EN", "EN"}, {"AR", "AR"}};
    for (const auto& [name, language] : languages) {
        for (const bool standard : {false, true}) {
            if (standard && language == QLatin1String("EN"))
                continue; // the English question is the standard box already
            const QString prefix = QStringLiteral("%1%2 ").arg(QLatin1String(name),
                                                               standard ? " standard" : "");
            const auto row = [&](const char* keys, QList<int> sequence, int result) {
                QTest::newRow(qPrintable(prefix + QLatin1String(keys)))
                    << language << standard << sequence << result;
            };
            row("Return", {Qt::Key_Return}, MsgResult::Yes);
            row("Tab Return", {Qt::Key_Tab, Qt::Key_Return}, MsgResult::No);
            row("Tab keypad Enter", {Qt::Key_Tab, Qt::Key_Enter}, MsgResult::No);
            row("Tab Space", {Qt::Key_Tab, Qt::Key_Space}, MsgResult::No);
            row("Backtab Return", {Qt::Key_Backtab, Qt::Key_Return}, MsgResult::No);
            row("Tab Tab Return", {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}, MsgResult::Yes);
            row("Tab Backtab Return", {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return},
                MsgResult::Yes);
        }
    }
}

void TstMessageDialog::keyboardAnswersWithTheFocusedButton()
{
    // The question that starts a new game over the running one: the button the focus shows
    // must be the one Return presses, and the button Return would press must show the focus.
    QFETCH(QString, language);
    QFETCH(bool, standardBox);
    QFETCH(QList<int>, keys);
    QFETCH(int, result);
    setCurrentLang(language);
    QWidget parent;
    parent.setLayoutDirection(languageDirection());
    QStringList problems;
    const auto acted = whenModal([&](QWidget* dialog) {
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        // Every step: one default button, and it has the focus.
        const auto check = [&](const QString& after) {
            QList<QPushButton*> defaults;
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                if (b->isDefault())
                    defaults << b;
            QWidget* focus = QApplication::focusWidget();
            if (defaults.size() != 1 || defaults.first() != focus)
                problems << QStringLiteral("after %1: %2 default button(s), focus on %3")
                                .arg(after)
                                .arg(defaults.size())
                                .arg(focus ? focus->objectName() + QLatin1Char(' ') +
                                                 focus->property("text").toString()
                                           : QStringLiteral("nothing"));
        };
        check(QStringLiteral("opening"));
        for (const int key : keys) {
            // To the focused widget, as a key typed by a person travels.
            QWidget* target = QApplication::focusWidget();
            QTest::keyClick(target ? target : dialog, Qt::Key(key),
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            if (!dialog->isVisible())
                return;
            check(QKeySequence(key).toString());
        }
        dialog->close();
    });
    const Buttons yesNo = MsgButton::Yes | MsgButton::No;
    const QString question = texts().flow.NewGameQuestion;
    const int answer = standardBox ? StandardMessageDlg(question, DialogType::Custom, yesNo, &parent)
                                   : LangMessageDlg(question, DialogType::Custom, yesNo, &parent);
    QVERIFY(*acted);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1String("; "))));
    QCOMPARE(answer, result);
}

void TstMessageDialog::settingsWriteErrorShowsPath()
{
    QString text;
    Qt::TextFormat format = Qt::RichText;
    whenModal([&](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box);
        text = box->text();
        format = box->textFormat();
        box->close();
    });
    showSettingsWriteError(nullptr, SettingsWriteError(QStringLiteral("/x/<b>y</b>.ini")));
    QCOMPARE(text, QStringLiteral("Unable to write to /x/<b>y</b>.ini"));
    QCOMPARE(format, Qt::PlainText);
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TstMessageDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_message_dialog.moc"
