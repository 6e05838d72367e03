// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/name_dialog.h"

#include "core/game.h"
#include "settings/settings.h"
#include "ui/arabic_style.h"
#include "ui/language.h"
#include "ui/message_dialog.h"
#include "ui/table.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

namespace halbeet {

namespace {

constexpr int ClientWidth = 286;
constexpr int NameLength = 8;
// Right edge of the Arabic labels: they are right-aligned, so they grow to the left.
constexpr int ArabicLabelRight = ClientWidth - 8;
// The field's last pixel column, before the buttons of the English layout.
constexpr int FieldRight = 200;

void placeLabel(QLabel* label, int left, int top)
{
    const int textWidth = label->sizeHint().width();
    if (isArabic()) {
        const int x = std::min(left, ArabicLabelRight - textWidth);
        label->setGeometry(x, top, ArabicLabelRight - x, label->sizeHint().height());
        label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    } else {
        label->setGeometry(left, top, textWidth, label->sizeHint().height());
        label->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
    }
}

} // namespace

NameDialog::NameDialog(Table& table, QWidget* parent)
    : QDialog(parent), m_table(table)
{
    setObjectName(QStringLiteral("namesform"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
    setFont(fontWithFallback(QStringLiteral("MS Sans Serif"), 11));
    setFixedSize(ClientWidth, 76);
    centreOnScreen(this);

    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("Label2"));

    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setMaxLength(NameLength);
    m_edit1->setGeometry(112, 24, 89, 21);

    // Under the field, beside the buttons: the reason OK did nothing, or that the name was
    // cut at the longest name the game takes.
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("NameNote"));
    m_note->setTextFormat(Qt::PlainText);
    QPalette notePalette = m_note->palette();
    notePalette.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x00));
    m_note->setPalette(notePalette);
    m_note->hide();
    connect(m_edit1, &QLineEdit::inputRejected, this, [this] {
        if (m_edit1->text().size() >= m_edit1->maxLength())
            showNote(texts().names.NameCut);
    });
    connect(m_edit1, &QLineEdit::textEdited, this, [this](const QString& text) {
        // The note stays while what it says is still true.
        if (m_note->text() == texts().names.EmptyName ? !text.isEmpty()
                                                       : text.size() < m_edit1->maxLength())
            m_note->hide();
    });

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { acceptName(); });

    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("BitBtn2"));
    m_close->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, &NameDialog::reject);
}

void NameDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void NameDialog::FormShow()
{
    // Typing is limited to 8 characters, but a longer name put into the file by hand is
    // shown (and kept) whole.
    const QString stored = settings::playerName(1);
    m_edit1->setMaxLength(std::max<int>(NameLength, stored.size()));
    m_edit1->setText(stored);

    const NameDialogTexts& t = texts().nameDialog;
    setWindowTitle(t.caption);
    setLayoutDirection(languageDirection());
    m_edit1->setLayoutDirection(languageDirection());
    m_label1->setText(t.Label1);
    m_label2->setText(t.Label2);
    m_ok->setText(t.BitBtn1);
    m_close->setText(t.BitBtn2);

    const bool arabic = isArabic();
    placeLabel(m_label1, arabic ? 152 : 12, 8);
    placeLabel(m_label2, arabic ? 210 : 7, 28);
    // The question keeps the font of the rest; where it is wider than its place, the field
    // gives up the difference.
    const int fieldLeft = arabic ? 112 : std::max(112, m_label2->geometry().right() + 4);
    m_edit1->setGeometry(fieldLeft, 24, FieldRight - fieldLeft + 1, 21);
    const int buttonLeft = arabic ? 14 : 206;
    m_ok->setGeometry(buttonLeft, 8, 75, 25);
    m_close->setGeometry(buttonLeft, 40, 75, 25);
    m_note->hide();
}

void NameDialog::showNote(const QString& text)
{
    m_note->setText(text);
    // Beside the buttons, from the edge where reading starts.
    const int height = m_note->sizeHint().height();
    if (isArabic())
        m_note->setGeometry(14 + 75 + 6, 50, ArabicLabelRight - (14 + 75 + 6), height);
    else
        m_note->setGeometry(7, 50, 206 - 6 - 7, height);
    m_note->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    m_note->show();
}

void NameDialog::acceptName()
{
    const QString name = m_edit1->text();
    if (name.isEmpty()) {
        QApplication::beep();
        showNote(texts().names.EmptyName);
        m_edit1->setFocus();
        return;
    }

    m_table.setPlayerName(1, name);
    for (int n = 1; n <= 4; ++n) {
        if (QWidget* box = m_table.shape(n))
            box->show();
    }
    try {
        settings::setPlayerName(1, name);
    } catch (const SettingsWriteError& error) {
        // The dialog stays up: the player may try again or close it, which ends the program.
        showSettingsWriteError(this, error);
        m_edit1->setFocus();
        return;
    }
    // The file keeps its own defaults; until it holds a name, the players are named in the
    // language of the interface.
    for (int seat = 2; seat <= 4; ++seat)
        m_table.setPlayerName(seat, settings::playerName(seat, defaultPlayerName(seat)));

    // Hidden, not closed: closing means "no name" and ends the program.
    hide();
    emit nameAccepted();
}

void NameDialog::reject()
{
    QDialog::reject();
    emit closedWithoutName();
}

} // namespace halbeet
