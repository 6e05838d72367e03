// SPDX-License-Identifier: GPL-3.0-or-later
// The chat panel: lines shown as plain text in their own direction, and the line to send.

#include "ui/chat_panel.h"

#include "net/client_message.h"
#include "ui/announcer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace halbeet {

namespace {

constexpr QChar FirstStrongIsolate(0x2068);
constexpr QChar PopDirectionalIsolate(0x2069);

// Explicit embeddings, overrides and isolates (not the marks LRM, RLM and ALM, which open
// nothing that must be closed).
bool isDirectionControl(char32_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool isLineControl(char32_t c)
{
    const auto category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// Code points of text up to limit, with what fails keep() left out.
template <typename Keep>
QString filtered(const QString& text, qsizetype limit, Keep keep)
{
    QString out;
    out.reserve(text.size());
    qsizetype count = 0;
    for (const char32_t c : text.toUcs4()) {
        if (!keep(c))
            continue;
        if (++count > limit)
            break;
        out += QString::fromUcs4(&c, 1);
    }
    return out;
}

// A name or line from the network as it may be shown.
QString shown(const QString& text, std::size_t limit)
{
    return filtered(text, static_cast<qsizetype>(limit),
                    [](char32_t c) { return !isLineControl(c) && !isDirectionControl(c); });
}

// The direction of the first letter that has one; none for digits, signs and pictures alone.
std::optional<Qt::LayoutDirection> firstStrongDirection(const QString& text)
{
    for (const char32_t c : text.toUcs4()) {
        switch (QChar::direction(c)) {
        case QChar::DirL: return Qt::LeftToRight;
        case QChar::DirR:
        case QChar::DirAL: return Qt::RightToLeft;
        default: break;
        }
    }
    return std::nullopt;
}

qsizetype codePoints(const QString& text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++count;
    }
    return count;
}

} // namespace

ChatPanel::ChatPanel(ChatTexts texts, QWidget* parent)
    : QWidget(parent), m_texts(std::move(texts)),
      m_clock([] { return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch()); })
{
    setObjectName(QStringLiteral("ChatPanel"));
    setAccessibleName(m_texts.accessibleName);

    // Not a QPlainTextEdit: its layout sets every line in the widget's direction, whatever the
    // line's own.
    m_lines = new QTextEdit(this);
    m_lines->setObjectName(QStringLiteral("ChatLines"));
    m_lines->setReadOnly(true);
    m_lines->setAcceptRichText(false);
    // Selectable with the keys too, so that a line can be read and copied without a mouse.
    m_lines->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_lines->setUndoRedoEnabled(false);
    m_lines->document()->setMaximumBlockCount(MaxLines);
    m_lines->setAccessibleName(m_texts.accessibleName);

    m_notice = new QLabel(m_texts.tooFast, this);
    m_notice->setObjectName(QStringLiteral("ChatTooFast"));
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setWordWrap(true);
    m_notice->hide();
    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(NoticeTime);
    connect(&m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("ChatEdit"));
    m_edit->setPlaceholderText(m_texts.placeholder);
    m_edit->setAccessibleName(m_texts.placeholder);
    m_send = new QPushButton(m_texts.send, this);
    m_send->setObjectName(QStringLiteral("ChatSend"));
    m_send->setAutoDefault(false);
    m_send->setEnabled(false);
    connect(m_edit, &QLineEdit::textChanged, this, &ChatPanel::keepWithinLimit);
    connect(m_edit, &QLineEdit::returnPressed, this, &ChatPanel::send);
    connect(m_send, &QPushButton::clicked, this, &ChatPanel::send);

    auto* row = new QHBoxLayout;
    row->addWidget(m_edit, 1);
    row->addWidget(m_send);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_lines, 1);
    layout->addWidget(m_notice);
    layout->addLayout(row);

    m_announcer = new Announcer(this, m_texts.accessibleName);
}

void ChatPanel::addLine(const QString& who, const QString& text)
{
    const QString name = shown(who, net::MaxNameChars);
    const QString words = shown(text, net::MaxChatChars);
    if (words.isEmpty())
        return;

    QTextBlockFormat block;
    block.setLayoutDirection(firstStrongDirection(words).value_or(layoutDirection()));
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);

    QScrollBar* scroll = m_lines->verticalScrollBar();
    const bool atBottom = scroll->value() == scroll->maximum();
    QTextCursor cursor(m_lines->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (m_lines->document()->isEmpty())
        cursor.setBlockFormat(block);
    else
        cursor.insertBlock(block, plain);
    if (!name.isEmpty()) {
        cursor.insertText(FirstStrongIsolate + name + PopDirectionalIsolate, bold);
        cursor.insertText(QStringLiteral(": "), plain);
    }
    cursor.insertText(FirstStrongIsolate + words + PopDirectionalIsolate, plain);
    cursor.endEditBlock();
    // Follow the newest line, unless the player has scrolled back to read.
    if (atBottom)
        scroll->setValue(scroll->maximum());

    m_announcer->announce(name.isEmpty() ? words : name + QStringLiteral(": ") + words);
}

void ChatPanel::keepWithinLimit(const QString& text)
{
    qsizetype excess = codePoints(text) - static_cast<qsizetype>(net::MaxChatChars);
    if (excess > 0) {
        // As a full line does with a paste or a key: what went in last, before the cursor, is
        // what does not fit.
        const qsizetype cursor = m_edit->cursorPosition();
        qsizetype from = cursor;
        while (excess > 0 && from > 0) {
            const bool pair = from >= 2 && text[from - 1].isLowSurrogate() && text[from - 2].isHighSurrogate();
            from -= pair ? 2 : 1;
            --excess;
        }
        QString kept = text.left(from) + text.mid(cursor);
        if (excess > 0)
            kept = filtered(kept, static_cast<qsizetype>(net::MaxChatChars), [](char32_t) { return true; });
        m_edit->setText(kept);
        m_edit->setCursorPosition(static_cast<int>(std::min(from, kept.size())));
        return; // setText comes back here with the text that fits
    }
    m_send->setEnabled(!text.trimmed().isEmpty());
}

void ChatPanel::send()
{
    // Pasted line breaks and tabs become spaces: the server takes one line of text.
    QString text = m_edit->text();
    for (QChar& c : text) {
        if (isLineControl(c.unicode()))
            c = QLatin1Char(' ');
    }
    text = text.trimmed();
    if (text.isEmpty())
        return;

    const std::chrono::milliseconds now = m_clock();
    while (!m_sent.empty() && now - m_sent.front() >= RateWindow)
        m_sent.pop_front();
    if (m_sent.size() >= static_cast<std::size_t>(RateLines)) {
        m_notice->show();
        m_noticeTimer.start();
        m_announcer->announce(m_texts.tooFast);
        return;
    }
    m_sent.push_back(now);
    m_notice->hide();
    m_noticeTimer.stop();
    m_edit->clear();
    emit said(text);
}

} // namespace halbeet
