// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Join a table: the tables announced on the local network, or an address and a code typed in;
// and the way back to the table this game sat at last.

#include <QDialog>
#include <QUrl>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace halbeet {

namespace net {
class TableFinder;
}

class JoinDialog final : public QDialog {
    Q_OBJECT

public:
    // beaconPort: where announcements are heard (tests: a port of their own).
    explicit JoinDialog(QWidget* parent = nullptr, quint16 beaconPort = 0);
    ~JoinDialog() override;

    // The server typed or chosen: "host" or "host:port" (the default port when none is given).
    QUrl url() const;
    QString code() const;
    // The player asked to go back to his last table, with the token kept for it.
    bool rejoining() const { return m_rejoining; }

    // Reads "address", "address:port", "[v6]:port" into a ws:// URL; empty when it is none.
    static QUrl urlOf(const QString& typed);
    // The other way: a server as a player types it, the port left out when it is the usual one
    // and an IPv6 address in brackets. urlOf reads it back.
    static QString addressOf(const QString& host, int port);

    QListWidget* tableList() const { return m_list; }
    QLineEdit* addressEdit() const { return m_address; }
    QLineEdit* codeEdit() const { return m_code; }

private:
    void listTables();
    void updateButtons();

    net::TableFinder* m_finder = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_none = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_code = nullptr;
    QPushButton* m_join = nullptr;
    bool m_rejoining = false;
};

} // namespace halbeet
