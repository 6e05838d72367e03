// SPDX-License-Identifier: GPL-3.0-or-later
// The chat beside a networked table: the lines so far, and a line to say something.
#pragma once

// Every line comes from another computer and is shown as plain text, never markup. A line
// reads in the direction of its own text, whatever the window's, and the speaker's name and
// his words are kept apart by direction isolates, so that an Arabic name beside English words
// (or the other way round) keeps its place. Control characters and explicit direction
// controls are dropped: an unbalanced one could turn the rest of the line round.
//
// Each line added is announced to screen readers. What the player types is limited to what
// the server takes (MaxChatChars characters), and to three lines in five seconds; a fourth is
// kept in the edit line with a short notice.

#include <QString>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <deque>
#include <functional>

class QLabel;
class QLineEdit;
class QTextEdit;
class QPushButton;

namespace halbeet {

class Announcer;

struct ChatTexts {
    QString placeholder;    // in the empty edit line; also its accessible name
    QString send;           // the button
    QString tooFast;        // shown a moment when a line is held back
    QString accessibleName; // the panel and its lines
};

class ChatPanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int MaxLines = 200;
    static constexpr int RateLines = 3;
    static constexpr std::chrono::milliseconds RateWindow{5000};
    static constexpr std::chrono::milliseconds NoticeTime{3000};

    explicit ChatPanel(ChatTexts texts, QWidget* parent = nullptr);

    void addLine(const QString& who, const QString& text);

    // Monotonic time for the rate limit; a test may give its own.
    using Clock = std::function<std::chrono::milliseconds()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }

    QTextEdit* lines() const { return m_lines; }
    QLineEdit* edit() const { return m_edit; }
    QPushButton* sendButton() const { return m_send; }
    QLabel* notice() const { return m_notice; }
    Announcer* announcer() const { return m_announcer; }

signals:
    // A line the player sends: trimmed, not empty, no control characters.
    void said(const QString& text);

private:
    void send();
    void keepWithinLimit(const QString& text);

    ChatTexts m_texts;
    QTextEdit* m_lines = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_send = nullptr;
    QLabel* m_notice = nullptr;
    Announcer* m_announcer = nullptr;
    QTimer m_noticeTimer;
    Clock m_clock;
    std::deque<std::chrono::milliseconds> m_sent; // times of the lines sent lately
};

} // namespace halbeet
