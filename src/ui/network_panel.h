// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The panel beside the table at a networked table: the table's code and where friends reach
// it (to read aloud or copy, or as a link for a browser and its QR code for a phone), the
// host's Start, how the connection stands, and the chat.

#include <QWidget>

class QLabel;
class QPushButton;

namespace halbeet {

class ChatPanel;
class QrCodeWidget;

// The link a browser opens a table with: the page on the table's port, the code after the #
// (never sent to the server by the browser, read by the page).
QString TableLink(const QString& address, quint16 port, const QString& code, bool tls = false);

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
    QLabel* linksLabel() const { return m_links; }
    QrCodeWidget* qrCode() const { return m_qr; }
    QPushButton* copyButton() const { return m_copy; }

signals:
    void startClicked();

private:
    QLabel* m_title = nullptr;
    QLabel* m_reach = nullptr;
    QLabel* m_links = nullptr;
    QrCodeWidget* m_qr = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_start = nullptr;
    QLabel* m_status = nullptr;
    ChatPanel* m_chat = nullptr;
    QString m_copyText;
};

} // namespace halbeet
