// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// TLS for the table server: its certificate and private key read from PEM files into the
// configuration its connections use (every way the files can be wrong is a reason in words,
// for the log), and the listener that hands over connections once their handshake is done.

#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace halbeet::net {

// The certificate file holds the server's certificate first, then any chain certificates; the
// key file an RSA or EC private key without a passphrase. Both are tried in a handshake with
// themselves on the loopback address before they are taken. False with the reason when a file
// cannot be read, is not PEM of its kind, the key is not the certificate's, or this Qt has no
// TLS at all.
bool LoadTlsFiles(const QString& certificateFile, const QString& keyFile,
                  QSslConfiguration& configuration, QString* error = nullptr);

// A TCP server for TLS: every connection it accepts is asked of `admit` at once (false: closed
// there and then), its handshake must be done within handshakeTimeoutMs, and only then does it
// come out of nextPendingConnection(), encrypted. Qt's own QSslServer (6.4) tells of a
// connection only once its client begins the handshake, so one that connects and says nothing
// would hold a place no limit counts.
class TlsListener final : public QTcpServer {
  public:
    using Admit = std::function<bool(QTcpSocket*)>;
    TlsListener(QSslConfiguration configuration, int handshakeTimeoutMs, Admit admit,
                QObject* parent = nullptr);
    ~TlsListener() override;

  protected:
    void incomingConnection(qintptr descriptor) override;

  private:
    QSslConfiguration m_configuration;
    int m_handshakeTimeoutMs;
    Admit m_admit;
};

} // namespace halbeet::net
