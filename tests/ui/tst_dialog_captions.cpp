// SPDX-License-Identifier: GPL-3.0-or-later
// Every dialog in both languages, at the fonts this platform has: no caption is cut short and
// none runs into another control.

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
};

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
    TForm1& window = game.window();

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
