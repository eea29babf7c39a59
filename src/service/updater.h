#pragma once
// The updater program "update.exe" in the data folder, kept fresh by the service, and its
// detached Ed25519 signature ("update.exe.sig", 64 bytes). The program hands over to the updater
// only when the signature is valid under the program's own public key, so a service or network
// that is not ours can never make it start a program of its choosing.
//
// The public key is built in; the environment variable INKWREN_UPDATER_KEY (64 hex digits)
// replaces it, so tests and private builds can sign with their own key.
//
// Threads: main thread only.
#include <QByteArray>
#include <QString>

namespace inkwren {

class Updater {
public:
  // path: "update.exe" in the data folder.
  explicit Updater(QString path);

  const QString &path() const { return path_; }
  QString signaturePath() const { return path_ + QStringLiteral(".sig"); }

  // The key updaters must be signed with (32 bytes).
  static QByteArray publicKey();
  // Whether signature is a valid detached signature of program under key.
  static bool verify(QByteArrayView program, QByteArrayView signature, QByteArrayView key);

  // Replaces the updater and its signature when the signature is valid; false (and the old
  // files stay) otherwise or when they can't be written.
  bool install(const QByteArray &program, const QByteArray &signature);
  // Whether the updater on disk is there and carries a valid signature.
  bool verified() const;

  enum class Start { Started, Unverified, Failed };
  // Starts the updater, without arguments, in the data folder, detached from this program; only
  // a verified updater is started.
  Start start() const;

private:
  QString path_;
};

} // namespace inkwren
