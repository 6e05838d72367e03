// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A server's certificate and private key read from PEM files into the TLS configuration its
// connections use. Every way the files can be wrong is a reason in words, for the log.

#include <QSslConfiguration>
#include <QString>

namespace halbeet::net {

// The certificate file holds the server's certificate first, then any chain certificates; the
// key file an RSA or EC private key without a passphrase. False with the reason when a file
// cannot be read, is not PEM of its kind, the key is not the certificate's, or this Qt has no
// TLS at all.
bool LoadTlsFiles(const QString& certificateFile, const QString& keyFile, QSslConfiguration& configuration,
                  QString* error = nullptr);

} // namespace halbeet::net
