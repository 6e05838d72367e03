// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the certificate and key of a TLS server.

#include "net/tls_files.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>

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
            *error = QStringLiteral("%1: %2").arg(path, bytes.size() > MaxPemBytes ? QStringLiteral("too large")
                                                                                     : in.errorString());
        return false;
    }
    return true;
}

} // namespace

bool LoadTlsFiles(const QString& certificateFile, const QString& keyFile, QSslConfiguration& configuration,
                  QString* error)
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
    if (!readSmallFile(certificateFile, certificateBytes, error) || !readSmallFile(keyFile, keyBytes, error))
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
        return fail(QStringLiteral("%1: no RSA or EC private key in it (or it needs a passphrase)").arg(keyFile));
    const QSslCertificate certificate = chain.takeFirst();
    // The key must be the one the certificate names: else every handshake fails, later and
    // without a word in the log.
    const QSslKey publicKey = certificate.publicKey();
    if (publicKey.algorithm() != key.algorithm() || publicKey.length() != key.length())
        return fail(QStringLiteral("%1 is not the key of the certificate in %2").arg(keyFile, certificateFile));

    configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setLocalCertificateChain(QList<QSslCertificate>{certificate} + chain);
    configuration.setPrivateKey(key);
    // Clients have no certificates of their own.
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    return true;
}

} // namespace halbeet::net
