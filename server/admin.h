#pragma once
// "inkwren-server admin …": the administrator's commands on a data folder (and its database).
//
//   adduser NAME | passwd NAME          password from INKWREN_PASSWORD or the first input line
//   publish-rules FILE                  a rule file, refused unless it is one
//   set-version VERSION                 e.g. 1.01; clients sending lower digits hear "[up]"
//   keygen SECRETFILE PUBLICFILE        an Ed25519 key pair for signing updaters
//   publish-updater FILE (--sign SECRETFILE | --signature SIGFILE)
//   add-advert TEXT URL | list-adverts | remove-advert ID
//   add-skin FILE NAME [PICTURE] | list-skins | remove-skin FILENAME
//
// Main thread only.
#include <QStringList>
#include <QTextStream>

namespace inkwren::server {

class FileStore;
class Storage;

class Admin {
public:
  Admin(Storage &storage, FileStore &files, QTextStream &out, QTextStream &err)
      : m_storage(storage), m_files(files), m_out(out), m_err(err) {}

  // Runs one command (its name and arguments); the process exit code.
  int run(const QStringList &args);

private:
  int setPassword(const QString &user, bool create);
  int publishRules(const QString &path);
  int publishUpdater(const QString &path, const QStringList &rest);
  int setVersion(const QString &version);
  int addSkin(const QStringList &args);
  int fail(const QString &message);

  Storage &m_storage;
  FileStore &m_files;
  QTextStream &m_out;
  QTextStream &m_err;
};

// The password for adduser/passwd: INKWREN_PASSWORD when set, else the first line of stdin.
QString readPassword();

} // namespace inkwren::server
