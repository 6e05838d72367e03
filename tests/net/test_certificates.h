// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Throwaway TLS certificates and keys for tests, made with openssl in the test's own temporary
// folder for one run: nothing of them is kept or committed.

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace halbeet::testing {

struct TestCertificate {
    QString certificate; // self-signed, for localhost and 127.0.0.1, an EC P-256 key
    QString key;
    QString otherKey; // another P-256 key: the same kind, not the certificate's
    QString rsaKey;   // an RSA key: another kind
};

// Empty paths when openssl is not there or fails (the test then skips what needs them).
inline TestCertificate MakeTestCertificate(const QString& folder)
{
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty())
        return {};
    const auto run = [&](const QStringList& arguments) {
        QProcess process;
        process.start(openssl, arguments);
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    };
    TestCertificate made{folder + QStringLiteral("/cert.pem"), folder + QStringLiteral("/key.pem"),
                         folder + QStringLiteral("/other-key.pem"),
                         folder + QStringLiteral("/rsa-key.pem")};
    const QStringList ec{QStringLiteral("-pkeyopt"),
                         QStringLiteral("ec_paramgen_curve:prime256v1")};
    if (!run(QStringList{"req", "-x509", "-newkey", "ec"} + ec +
             QStringList{"-nodes", "-keyout", made.key, "-out", made.certificate, "-days", "2",
                         "-subj", "/CN=localhost", "-addext",
                         "subjectAltName=DNS:localhost,IP:127.0.0.1"}) ||
        !run(QStringList{"genpkey", "-algorithm", "EC"} + ec +
             QStringList{"-out", made.otherKey}) ||
        !run({"genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out",
              made.rsaKey}))
        return {};
    return made;
}

} // namespace halbeet::testing
