#pragma once
// A real inkwren-server for one test: storage (SQLite in a temporary data folder, or a fresh
// database in a PostgreSQL cluster), the HTTP front on 127.0.0.1 at a free port on a thread of
// its own, and a client that speaks like the desktop program (form bodies in GBK, replies read
// as GBK).
#include "admin.h"
#include "filestore.h"
#include "formbody.h"
#include "httpfront.h"
#include "service.h"
#include "storage.h"
#include "support/pg_cluster.h"

#include <QTemporaryDir>

#include <httplib.h>

#include <memory>
#include <thread>

namespace inkwren::test {

using Lines = QList<QPair<QByteArray, QString>>;

struct HttpResult {
  int status = 0;
  QByteArray bytes;
  QString text; // bytes read as GBK
};

class RunningServer {
public:
  // pgConnection empty: SQLite in the data folder.
  explicit RunningServer(const QString &pgConnection = {}, server::HttpOptions http = {},
                         server::ServiceLimits limits = {});
  ~RunningServer();

  bool ok() const { return m_port > 0; }
  QString error() const { return m_error; }
  int port() const { return m_port; }
  QString base() const { return QString("http://127.0.0.1:%1/").arg(m_port); }
  QString dataDir() const { return m_dir.path(); }

  HttpResult post(const QString &path, const Lines &lines);
  HttpResult postRaw(const QString &path, const QByteArray &body,
                     const char *contentType = "application/x-www-form-urlencoded");
  HttpResult get(const QString &pathAndQuery);
  // A GET of an absolute address that this server handed out.
  HttpResult getUrl(const QString &url);

  // Runs an administration command on this server's storage; its exit code, output in *out.
  int admin(const QStringList &args, QString *out = nullptr);
  // Registers a user through the registration page, as a browser would.
  bool registerUser(const QString &user, const QString &password);

  server::Storage &storage() { return *m_storage; }

private:
  QTemporaryDir m_dir;
  std::unique_ptr<server::Storage> m_storage;
  std::unique_ptr<server::FileStore> m_files;
  std::unique_ptr<server::Service> m_service;
  std::unique_ptr<server::HttpFront> m_front;
  std::thread m_thread;
  int m_port = -1;
  QString m_error;
};

// The records of a reply cut out as the desktop program does: CR and LF removed, then every
// match of the pattern (ignore case), each "(.*?)" group one field.
QList<QStringList> records(const QString &reply, const QString &pattern);
// A bracket parameter of a command link read as the desktop program reads it.
QString bracketParameter(const QString &address, const QString &name);

} // namespace inkwren::test
