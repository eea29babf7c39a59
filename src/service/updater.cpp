#include "service/updater.h"

#include "core/codec.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sodium.h>

namespace inkwren {
namespace {

// The project's release key for updaters.
constexpr char kReleaseKey[] = "f64ffe6f4bd79e2bec5be82bbaa6056be55f6492fdabd54a98d2ea794e70386a";

QByteArray readAll(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

Updater::Updater(QString path) : path_(std::move(path)) {}

QByteArray Updater::publicKey() {
  const QByteArray given = qgetenv("INKWREN_UPDATER_KEY").trimmed();
  return QByteArray::fromHex(given.isEmpty() ? QByteArray(kReleaseKey) : given);
}

bool Updater::verify(QByteArrayView program, QByteArrayView signature, QByteArrayView key) {
  if (sodium_init() < 0 || signature.size() != crypto_sign_BYTES ||
      key.size() != crypto_sign_PUBLICKEYBYTES)
    return false;
  return crypto_sign_verify_detached(
             reinterpret_cast<const unsigned char *>(signature.data()),
             reinterpret_cast<const unsigned char *>(program.data()),
             static_cast<unsigned long long>(program.size()),
             reinterpret_cast<const unsigned char *>(key.data())) == 0;
}

bool Updater::install(const QByteArray &program, const QByteArray &signature) {
  if (!verify(program, signature, publicKey()))
    return false;
  // The signature goes first: a program without its signature is never taken as verified.
  if (!codec::writeFileAtomic(signaturePath(), signature) ||
      !codec::writeFileAtomic(path_, program))
    return false;
  QFile::setPermissions(path_, QFile::permissions(path_) | QFileDevice::ExeOwner |
                                   QFileDevice::ExeGroup | QFileDevice::ExeOther);
  return true;
}

bool Updater::verified() const {
  const QByteArray program = readAll(path_);
  return !program.isEmpty() && verify(program, readAll(signaturePath()), publicKey());
}

Updater::Start Updater::start() const {
  if (!verified())
    return Start::Unverified;
  return QProcess::startDetached(path_, {}, QFileInfo(path_).absolutePath()) ? Start::Started
                                                                               : Start::Failed;
}

} // namespace inkwren
