#include "signing.h"

#include "core/codec.h"

#include <QFile>

#include <sodium.h>

namespace inkwren::server {

bool makeKeyPair(const QString &secretPath, const QString &publicPath, QString *error) {
  if (sodium_init() < 0) {
    *error = "libsodium cannot start";
    return false;
  }
  unsigned char pk[crypto_sign_PUBLICKEYBYTES], sk[crypto_sign_SECRETKEYBYTES];
  crypto_sign_keypair(pk, sk);
  const QByteArray secret = QByteArray(reinterpret_cast<char *>(sk), sizeof sk).toHex() + "\n";
  const QByteArray pub = QByteArray(reinterpret_cast<char *>(pk), sizeof pk).toHex() + "\n";
  sodium_memzero(sk, sizeof sk);
  if (!codec::writeFileAtomic(secretPath, secret) || !codec::writeFileAtomic(publicPath, pub)) {
    *error = "cannot write the key files";
    return false;
  }
  QFile::setPermissions(secretPath, QFile::ReadOwner | QFile::WriteOwner);
  return true;
}

std::optional<QByteArray> signDetached(QByteArrayView data, const QString &secretPath,
                                       QString *error) {
  if (sodium_init() < 0) {
    *error = "libsodium cannot start";
    return std::nullopt;
  }
  QFile file(secretPath);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = "cannot read the secret key file";
    return std::nullopt;
  }
  const QByteArray sk = QByteArray::fromHex(file.readAll().trimmed());
  if (sk.size() != crypto_sign_SECRETKEYBYTES) {
    *error = "the secret key file does not hold an Ed25519 secret key";
    return std::nullopt;
  }
  QByteArray sig(crypto_sign_BYTES, '\0');
  crypto_sign_detached(reinterpret_cast<unsigned char *>(sig.data()), nullptr,
                       reinterpret_cast<const unsigned char *>(data.data()), quint64(data.size()),
                       reinterpret_cast<const unsigned char *>(sk.constData()));
  return sig;
}

bool verifyDetached(QByteArrayView data, QByteArrayView signature, QByteArrayView publicKey) {
  if (sodium_init() < 0 || signature.size() != crypto_sign_BYTES ||
      publicKey.size() != crypto_sign_PUBLICKEYBYTES)
    return false;
  return crypto_sign_verify_detached(
             reinterpret_cast<const unsigned char *>(signature.data()),
             reinterpret_cast<const unsigned char *>(data.data()), quint64(data.size()),
             reinterpret_cast<const unsigned char *>(publicKey.data())) == 0;
}

} // namespace inkwren::server
