// SPDX-License-Identifier: GPL-3.0-or-later
// Every dialog in both languages, at the fonts this platform has: no caption is cut short,
// none runs into another control or is squeezed into a narrower face, the Arabic windows read
// from the right and speak Arabic, and OK is spelled one way.

#include "test_support.h"

#include "ui/about.h"
#include "ui/last_trick.h"
#include "ui/options_dialog.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QStyle>
#include <QtTest>

#include <algorithm>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

// Where a control draws: a label only where its text lies, any other control all of it.
QRect drawnRect(const QWidget* w, const QWidget* dialog)
{
    QRect r(w->mapTo(dialog, QPoint(0, 0)), w->size());
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        const QSize text = label->sizeHint().boundedTo(label->size());
        r = QStyle::alignedRect(label->layoutDirection(), label->alignment(), text, r);
    }
    return r;
}

QStringList captionProblems(QWidget* dialog)
{
    QList<QWidget*> controls;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(dialog) || w->isWindow())
            continue;
        const auto* label = qobject_cast<QLabel*>(w);
        const auto* button = qobject_cast<QAbstractButton*>(w);
        if ((label && !label->text().isEmpty() && label->pixmap().isNull()) ||
            (button && !button->text().isEmpty()) || qobject_cast<QLineEdit*>(w))
            controls << w;
    }
    QStringList problems;
    for (QWidget* w : controls) {
        const auto* label = qobject_cast<QLabel*>(w);
        if (label && label->wordWrap())
            continue;
        if (qobject_cast<QLineEdit*>(w))
            continue;
        // A push button's size hint has a minimum width of its own; its caption is what counts.
        int needed = w->sizeHint().width();
        if (qobject_cast<QPushButton*>(w) || qobject_cast<QToolButton*>(w)) {
            const QString caption = static_cast<QAbstractButton*>(w)->text().remove(QLatin1Char('&'));
            needed = w->fontMetrics().horizontalAdvance(caption) + 8;
        }
        if (needed > w->width())
            problems << QStringLiteral("%1 is cut: needs %2, has %3").arg(w->objectName()).arg(needed).arg(w->width());
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget* a = controls[i];
            const QWidget* b = controls[j];
            // The about window's name is drawn twice on purpose, its shadow under it.
            if (a->isAncestorOf(b) || b->isAncestorOf(a) || a->objectName().endsWith(QLatin1String("Shadow")) ||
                b->objectName().endsWith(QLatin1String("Shadow")))
                continue;
            if (drawnRect(a, dialog).intersects(drawnRect(b, dialog)))
                problems << QStringLiteral("%1 runs into %2").arg(a->objectName(), b->objectName());
        }
    }
    return problems;
}

} // namespace

class TstDialogCaptions : public QObject {
    Q_OBJECT

private slots:
    void noCaptionIsCutOrRunsIntoAnother_data();
    void noCaptionIsCutOrRunsIntoAnother();
    void captionsKeepTheirFace_data();
    void captionsKeepTheirFace();
    void windowsReadFromTheLanguagesSide_data();
    void windowsReadFromTheLanguagesSide();
    void arabicWindowsShowNoLatinLetters();
    void okIsSpelledOneWay();
};

namespace {

QList<QWidget*> allDialogs(MainWindow& window)
{
    return {window.nameDialog(), window.optionsDialog(), window.scoreSheet(), window.lastTrickWindow(),
            window.aboutBox()};
}

// The texts a person reads in a window: captions of labels and buttons, and the fields.
QStringList shownTexts(QWidget* window)
{
    QStringList shown{window->windowTitle()};
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->isWindow())
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(w))
            shown << label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            shown << button->text();
        else if (const auto* edit = qobject_cast<const QLineEdit*>(w))
            shown << edit->text();
    }
    shown.removeAll(QString());
    return shown;
}

} // namespace

void TstDialogCaptions::captionsKeepTheirFace_data()
{
    noCaptionIsCutOrRunsIntoAnother_data();
}

void TstDialogCaptions::captionsKeepTheirFace()
{
    // A caption drawn in the condensed face stands out beside its neighbours: where the
    // fallback font is wider than the designed one, the control beside it gives up room.
    QFETCH(QString, language);
    GameWindow::Options options;
    options.language = language;
    GameWindow game(options);
    QCOMPARE(game.start(), QString());
    QStringList squeezed;
    for (QWidget* dialog : allDialogs(game.window())) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        for (const QWidget* w : dialog->findChildren<QWidget*>()) {
            const bool captioned = (qobject_cast<const QLabel*>(w) && !static_cast<const QLabel*>(w)->text().isEmpty()) ||
                                   (qobject_cast<const QAbstractButton*>(w) &&
                                    !static_cast<const QAbstractButton*>(w)->text().isEmpty());
            if (captioned && w->isVisibleTo(dialog) && w->font().stretch() != QFont::AnyStretch &&
                w->font().stretch() < QFont::Unstretched)
                squeezed << dialog->objectName() + QLatin1Char(':') + w->objectName();
        }
        dialog->hide();
    }
    QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join(QLatin1String(", "))));
}

void TstDialogCaptions::windowsReadFromTheLanguagesSide_data()
{
    noCaptionIsCutOrRunsIntoAnother_data();
}

void TstDialogCaptions::windowsReadFromTheLanguagesSide()
{
    // What comes first in reading order stands where reading starts: the left in English, the
    // right in Arabic. Only the trick keeps the table's seating in both.
    QFETCH(QString, language);
    const bool rtl = language == QLatin1String("AR");
    GameWindow::Options options;
    options.language = language;
    GameWindow game(options);
    QCOMPARE(game.start(), QString());
    MainWindow& window = game.window();
    const auto before = [rtl](const QWidget* first, const QWidget* second) {
        return rtl ? first->x() > second->x() : first->x() < second->x();
    };
    const auto child = [](QWidget* parent, const char* name) {
        auto* found = parent->findChild<QWidget*>(QString::fromLatin1(name));
        if (!found)
            qWarning("%s has no %s", qPrintable(parent->objectName()), name);
        return found;
    };

    ScoreSheet* sheet = window.scoreSheet();
    for (int seat = 1; seat < 4; ++seat) {
        QVERIFY2(before(sheet->heading(seat), sheet->heading(seat + 1)), qPrintable(QString::number(seat)));
        QVERIFY(before(sheet->scoreLabel(seat, 1), sheet->scoreLabel(seat + 1, 1)));
    }
    // The column under its heading, the OK button after the last column.
    QVERIFY(qAbs(sheet->heading(1)->geometry().center().x() -
                 sheet->scoreLabel(1, 1)->mapTo(sheet, sheet->scoreLabel(1, 1)->rect().center()).x()) <= 2);
    QVERIFY(before(sheet->heading(4), sheet->okButton()));

    LastTrickWindow* last = window.lastTrickWindow();
    QVERIFY(before(last->trickCard(1), child(last, "Button1")));
    QVERIFY(last->trickCard(2)->x() > last->trickCard(4)->x()); // right-hand opponent on the right

    OptionsDialog* dialog = window.optionsDialog();
    QVERIFY(before(child(dialog, "Edit1"), child(dialog, "Card1")));     // the names first
    QVERIFY(before(child(dialog, "Label1"), child(dialog, "Edit1")));    // a label before its field
    QVERIFY(before(child(dialog, "BitBtn3"), child(dialog, "BitBtn1"))); // OK where reading ends
    // Each arrow points away from the card: "<" on the card's left, ">" on its right.
    for (const char* name : {"SpeedButton1", "SpeedButton2"}) {
        auto* arrow = static_cast<QToolButton*>(child(dialog, name));
        const bool pointsLeft = arrow->text() == QLatin1String("<");
        QVERIFY2(pointsLeft == (arrow->x() < child(dialog, "Card1")->x()), name);
    }
}

void TstDialogCaptions::arabicWindowsShowNoLatinLetters()
{
    GameWindow::Options options;
    options.language = QStringLiteral("AR");
    options.playerName = QStringLiteral("صقر");
    GameWindow game(options);
    QCOMPARE(game.start(), QString());
    MainWindow& window = game.window();
    QStringList latin;
    const auto look = [&latin](QWidget* w) {
        for (const QString& text : shownTexts(w)) {
            if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Latin; }))
                latin << w->objectName() + QStringLiteral(": ") + text;
        }
    };
    look(&window); // the table's names
    for (QWidget* dialog : allDialogs(window)) {
        if (dialog == window.nameDialog())
            continue; // hidden after OK; its own test shows it
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        look(dialog);
        dialog->hide();
    }
    QVERIFY2(latin.isEmpty(), qPrintable(latin.join(QLatin1Char('\n'))));
}

void TstDialogCaptions::okIsSpelledOneWay()
{
    GameWindow game;
    QCOMPARE(game.start(), QString());
    QStringList spellings;
    const auto collect = [&spellings](QWidget* w) {
        for (const QAbstractButton* button : w->findChildren<QAbstractButton*>()) {
            const QString caption = button->text().remove(QLatin1Char('&'));
            if (caption.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0)
                spellings << caption;
        }
    };
    collect(&game.window());
    for (QWidget* dialog : allDialogs(game.window()))
        collect(dialog);
    // A notice with its OK button, as the game shows it.
    whenModal([&collect](QWidget* modal) {
        collect(modal);
        if (auto* box = qobject_cast<QDialog*>(modal))
            box->accept();
    });
    LangMessageDlg(texts().flow.PassNotice, DialogType::Custom, MsgButton::OK);
    QVERIFY(spellings.size() >= 5);
    spellings.removeDuplicates();
    QCOMPARE(spellings, QStringList{QStringLiteral("Ok")});
}

void TstDialogCaptions::noCaptionIsCutOrRunsIntoAnother_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("EN");
    QTest::newRow("Arabic") << QStringLiteral("AR");
}

void TstDialogCaptions::noCaptionIsCutOrRunsIntoAnother()
{
    QFETCH(QString, language);
    GameWindow::Options options;
    options.language = language;
    options.playerName = QStringLiteral("WWWWWWWW");
    GameWindow game(options);
    QCOMPARE(game.start(), QString());
    MainWindow& window = game.window();

    QList<QWidget*> dialogs{window.nameDialog(), window.optionsDialog(), window.scoreSheet(),
                            window.lastTrickWindow(), window.aboutBox()};
    QStringList problems;
    for (QWidget* dialog : dialogs) {
        // Shown as the program shows it, so every caption is the language's own.
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        for (const QString& problem : captionProblems(dialog))
            problems << dialog->objectName() + QStringLiteral(": ") + problem;
        dialog->hide();
    }
    // The Arabic questions and notices lay themselves out; the longest texts of the game.
    if (language == QLatin1String("AR")) {
        for (const QString& text : {texts().flow.ExitQuestion, texts().flow.PassNotice,
                                    texts().flow.SettingsSetAside.arg(QStringLiteral("/home/x/.config/Dovelarks/Halbeet/Halbeet-too-large.ini"))}) {
            const auto form = CreateArabicMessageDialog(text, DialogType::Custom, MsgButton::Yes | MsgButton::No | MsgButton::Cancel);
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
            for (const QString& problem : captionProblems(form.get()))
                problems << QStringLiteral("message \"%1\": %2").arg(text.left(20), problem);
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1String("\n"))));
}

QTEST_MAIN(TstDialogCaptions)
#include "tst_dialog_captions.moc"
