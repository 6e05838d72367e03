// SPDX-License-Identifier: GPL-3.0-or-later
// TLS for the table server: reading its certificate and key, and the listener of its connections.

#include "net/tls_files.h"

#include <QEventLoop>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTimer>

#include <memory>
#include <utility>

namespace halbeet::net {

namespace {

// Certificates and keys are a few kilobytes; a chain of a few certificates is still far less.
constexpr qint64 MaxPemBytes = 256 * 1024;

bool readSmallFile(const QString& path, QByteArray& bytes, QString* error)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, in.errorString());
        return false;
    }
    bytes = in.read(MaxPemBytes + 1);
    if (in.error() != QFile::NoError || bytes.size() > MaxPemBytes) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(
                path, bytes.size() > MaxPemBytes ? QStringLiteral("too large") : in.errorString());
        return false;
    }
    return true;
}

// A handshake of the configuration with itself on the loopback address: the one sure test
// that the key is the certificate's and that the TLS library takes both. True when it went
// through, or when there is no loopback address to try it on.
bool shakesHands(const QSslConfiguration& configuration, QString* error)
{
    QEventLoop loop;
    QString serverError;
    // The listener the server uses, its failed handshake's reason taken as it goes.
    TlsListener server(configuration, 5000, [&](QTcpSocket* socket) {
        QObject::connect(socket, &QAbstractSocket::errorOccurred, &loop, [&, socket] {
            if (serverError.isEmpty())
                serverError = socket->errorString();
            loop.quit();
        });
        return true;
    });
    if (!server.listen(QHostAddress::LocalHost, 0) &&
        !server.listen(QHostAddress::LocalHostIPv6, 0))
        return true;
    bool accepted = false;
    QObject::connect(&server, &QTcpServer::pendingConnectionAvailable, &loop, [&] {
        accepted = true;
        loop.quit();
    });
    QSslSocket client;
    QSslConfiguration clientConfiguration = QSslConfiguration::defaultConfiguration();
    // Only the server's side is tried: a self-signed certificate or one for another name is
    // the clients' business.
    clientConfiguration.setPeerVerifyMode(QSslSocket::VerifyNone);
    client.setSslConfiguration(clientConfiguration);
    QObject::connect(&client, &QSslSocket::errorOccurred, &loop,
                     [&] { QTimer::singleShot(200, &loop, &QEventLoop::quit); });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    client.connectToHostEncrypted(server.serverAddress().toString(), server.serverPort());
    loop.exec();
    if (accepted)
        return true;
    // OpenSSL's reasons come with a colon and nothing after it at times.
    serverError = serverError.trimmed();
    if (serverError.endsWith(QLatin1Char(':')))
        serverError.chop(1);
    if (error)
        *error = serverError.isEmpty() ? QStringLiteral("no TLS handshake with them") : serverError;
    return false;
}

} // namespace

bool LoadTlsFiles(const QString& certificateFile, const QString& keyFile,
                  QSslConfiguration& configuration, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!QSslSocket::supportsSsl())
        return fail(QStringLiteral("this Qt has no TLS backend"));
    QByteArray certificateBytes;
    QByteArray keyBytes;
    if (!readSmallFile(certificateFile, certificateBytes, error) ||
        !readSmallFile(keyFile, keyBytes, error))
        return false;
    QList<QSslCertificate> chain = QSslCertificate::fromData(certificateBytes, QSsl::Pem);
    if (chain.isEmpty() || chain.first().isNull())
        return fail(QStringLiteral("%1: no PEM certificate in it").arg(certificateFile));
    QSslKey key;
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec}) {
        key = QSslKey(keyBytes, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            break;
    }
    if (key.isNull())
        return fail(QStringLiteral("%1: no RSA or EC private key in it (or it needs a passphrase)")
                        .arg(keyFile));
    const QSslCertificate certificate = chain.takeFirst();
    // The key must be the one the certificate names: else every handshake fails, later and
    // without a word in the log. Another kind or size of key is plain to see; the handshake
    // below finds the rest.
    const QSslKey publicKey = certificate.publicKey();
    if (publicKey.algorithm() != key.algorithm() || publicKey.length() != key.length())
        return fail(QStringLiteral("%1 is not the key of the certificate in %2")
                        .arg(keyFile, certificateFile));

    configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setLocalCertificateChain(QList<QSslCertificate>{certificate} + chain);
    configuration.setPrivateKey(key);
    // Clients have no certificates of their own.
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    QString why;
    if (!shakesHands(configuration, &why))
        return fail(
            QStringLiteral("%1 and %2 do not make a TLS server (is the key the certificate's?): %3")
                .arg(certificateFile, keyFile, why));
    return true;
}

} // namespace halbeet::net

namespace halbeet::net {

TlsListener::TlsListener(QSslConfiguration configuration, int handshakeTimeoutMs, Admit admit,
                         QObject* parent)
    : QTcpServer(parent), m_configuration(std::move(configuration)),
      m_handshakeTimeoutMs(handshakeTimeoutMs), m_admit(std::move(admit))
{
}

TlsListener::~TlsListener()
{
    // The handshakes still under way end with their sockets, which may say so as they go:
    // their deadlines first, and with them every connection to what is being taken down.
    qDeleteAll(findChildren<QTimer*>());
}

void TlsListener::incomingConnection(qintptr descriptor)
{
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (!m_admit(socket)) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    socket->setSslConfiguration(m_configuration);
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    // Whatever ends a handshake first settles it: the time, an error or the peer gone end the
    // socket; once done, the socket is the WebSocket server's, and none of this applies.
    auto settled = std::make_shared<bool>(false);
    const auto giveUp = [socket, deadline, settled] {
        if (std::exchange(*settled, true))
            return;
        deadline->stop();
        socket->abort();
        socket->deleteLater(); // the deadline with it
    };
    connect(deadline, &QTimer::timeout, socket, giveUp);
    connect(socket, &QAbstractSocket::errorOccurred, deadline, giveUp);
    connect(socket, &QAbstractSocket::disconnected, deadline, giveUp);
    connect(socket, &QSslSocket::encrypted, deadline, [this, socket, deadline, settled] {
        if (std::exchange(*settled, true))
            return;
        deadline->stop();
        deadline->deleteLater(); // and its connections with it
        addPendingConnection(socket);
    });
    deadline->start(m_handshakeTimeoutMs);
    socket->startServerEncryption();
}

} // namespace halbeet::net
