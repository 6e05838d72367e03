// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A player's end of a table on a server: one WebSocket, the seat's table rebuilt from what the
// server tells it, and the way back after a dropped connection. The server decides everything;
// the client takes nothing it is sent on trust: a message that does not read, or does not fit
// the table it holds, is dropped and counted.

#include <cstdint>
#include <string>

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include "net/protocol.h"

class QWebSocket;

namespace halbeet::net {

class TableClient : public QObject {
    Q_OBJECT

public:
    explicit TableClient(QObject* parent = nullptr);
    ~TableClient() override;

    // Connects to url (ws://host:port or wss://) and says hello: code empty opens a new table
    // (the caller becomes its host, seat 1); token non-empty takes a seat back. A client that
    // was at a table leaves it quietly first (no leave said: its chair waits for it).
    void join(const QUrl& url, const std::string& code, const std::string& name, const std::string& token = {});
    void bid(std::int32_t storedBid);
    void play(TCardFace card);
    // False (nothing sent) for a line that is not acceptable (IsAcceptableText, MaxChatChars),
    // comes too fast (ChatBurst lines, then one every ChatIntervalMs), or while not seated.
    bool chat(const QString& text);
    void start();   // the host starts the game
    void leave();   // leaves for good; no reconnection after it

    int seat() const { return m_welcome.seat; }
    QString code() const { return QString::fromStdString(m_welcome.seat ? m_welcome.table : m_code); }
    std::string token() const { return m_token; } // the latest token (renewed at each reconnect)
    const Welcome& chairs() const { return m_welcome; } // names and chair kinds as last told
    const SeatTable& table() const { return m_table; }
    // Seated over a live connection.
    bool connected() const;
    // Messages from the server dropped as unreadable or not fitting.
    int ignoredMessages() const { return m_ignored; }

    // Tests only: a wss server's certificate is taken whatever is wrong with it.
    void setIgnoreCertificateErrorsForTesting(bool ignore) { m_ignoreCertificateErrors = ignore; }
    // The wait before the first try to come back (doubled at each try, up to 15 s) and how long
    // after the drop the client gives up. Tests shorten them.
    void setReconnectTiming(int firstDelayMs, int giveUpAfterMs);

    static constexpr int ChatBurst = 3;
    static constexpr int ChatIntervalMs = 1000;
    // Reasons closed() gives of its own; the others are the server's.
    static constexpr const char* LeftReason = "left";
    static constexpr const char* GaveUpReason = "gave up";

signals:
    void welcomed();                               // seat/code/names/chairs known or changed
    void stepped(const halbeet::SeatEvent& event); // each step applied (absolute seat numbers), Asked included
    void chatReceived(int seat, const QString& text);
    void refused(const QString& reason);
    void connectionLost(); // dropped; it tries to come back by itself
    void reconnected();
    void closed(const QString& reason); // for good: a bye, hello refused, left, or gave up

private:
    void open();
    void opened();
    void received(const QString& text);
    void lost();
    void retry();
    void finish(const QString& reason);
    void dropSocket();
    bool send(const ClientMessage& message);

    QWebSocket* m_socket = nullptr;
    QUrl m_url;
    std::string m_code;
    std::string m_name;
    std::string m_token;
    Welcome m_welcome;
    SeatTable m_table;
    // This connection has been welcomed; the first whole view on it replaces what was held.
    bool m_welcomedHere = false;
    bool m_freshView = false;
    bool m_reconnecting = false;
    // Seated at least once since the join: a drop from then on is worth coming back from.
    bool m_seatedOnce = false;
    // Counts joins, so that the end of an earlier one reaches nobody.
    int m_joins = 0;
    bool m_over = true;
    bool m_ignoreCertificateErrors = false;
    int m_ignored = 0;
    int m_firstDelayMs = 500;
    int m_giveUpAfterMs = 90000;
    int m_nextDelayMs = 500;
    QElapsedTimer m_sinceDrop;
    QTimer m_retry;
    // A try that has not been welcomed in this time is given up for the next one.
    QTimer m_attempt;
    double m_chatCredit = ChatBurst;
    double m_chatCreditAt = 0;
    QElapsedTimer m_chatClock;
};

} // namespace halbeet::net
