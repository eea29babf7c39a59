#pragma once
// Ed25519 keys and detached signatures for the updater program. Key files hold hex text: the
// public key (32 bytes) and the secret key (64 bytes). A signature file holds the 64 raw bytes.
// Thread-safe.
#include <QByteArray>
#include <QString>

#include <optional>

namespace inkwren::server {

bool makeKeyPair(const QString &secretPath, const QString &publicPath, QString *error);
std::optional<QByteArray> signDetached(QByteArrayView data, const QString &secretPath,
                                       QString *error);
bool verifyDetached(QByteArrayView data, QByteArrayView signature, QByteArrayView publicKey);

} // namespace inkwren::server
