// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The panel beside the table at a networked table: the table's code and where friends reach
// it (to read aloud or copy), the host's Start, how the connection stands, and the chat.

#include <QWidget>

class QLabel;
class QPushButton;

namespace halbeet {

class ChatPanel;

class NetworkPanel final : public QWidget {
    Q_OBJECT

public:
    explicit NetworkPanel(QWidget* parent = nullptr);

    // The table's code, and for a host where friends reach it (addresses empty: not hosting).
    void showTable(const QString& code, const QStringList& addresses, quint16 port);
    // The host may start the game while it has not begun.
    void setStartOffered(bool offered);
    // One line on how things stand (waiting, connection lost); empty hides it.
    void setStatus(const QString& text);
    QString status() const;

    ChatPanel* chat() const { return m_chat; }
    QPushButton* startButton() const { return m_start; }
    QLabel* reachLabel() const { return m_reach; }

signals:
    void startClicked();

private:
    QLabel* m_title = nullptr;
    QLabel* m_reach = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_start = nullptr;
    QLabel* m_status = nullptr;
    ChatPanel* m_chat = nullptr;
    QString m_copyText;
};

} // namespace halbeet
