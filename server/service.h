#pragma once
// Every exchange of the desktop program with its service, independent of the HTTP library:
// a request in, a reply out. Replies are GBK. Markers, records and blocks are written the way
// the program reads them (plain substring markers, "<ok>" before "<loginfail>", records cut out
// by lazy patterns after CR and LF are removed).
//
// Threads: handle() may be called from any number of threads at once.
#include "credentials.h"
#include "failurelimiter.h"
#include "filestore.h"
#include "formbody.h"
#include "storage.h"

#include <QByteArray>
#include <QString>

namespace inkwren::server {

struct Request {
  QByteArray method; // "GET", "POST", …
  QByteArray path;   // decoded path, e.g. "/iw_login.php"
  QByteArray query;  // raw query string without "?"
  QByteArray body;
  QString peer; // client address, for rate limits
  QString host; // Host header, for absolute addresses when no public address is set
  bool tls = false;
};

struct Reply {
  int status = 200;
  QByteArray contentType = "text/html; charset=GBK";
  QByteArray body;
  static Reply text(const QString &text, int status = 200);
};

struct ServiceLimits {
  int maxBooks = 5000;      // books per upload
  QString publicUrl;        // "https://books.example/"; empty: from the Host header
  bool registration = true; // the registration page accepts new accounts
};

class Service {
public:
  Service(Storage &storage, FileStore &files, ServiceLimits limits);

  Reply handle(const Request &request);

  Credentials &credentials() { return m_credentials; }

private:
  Reply login(const FormBody &form, const Request &r);
  Reply getStack(const FormBody &form);
  Reply putStack(const FormBody &form, const Request &r, bool replace);
  Reply clearStack(const FormBody &form, const Request &r);
  Reply saveSearchSet(const FormBody &form, const Request &r);
  Reply getSearchSet(const FormBody &form);
  Reply published(const FormBody &query, const Request &r, const QString &kind);
  Reply checkUp(const FormBody &query);
  Reply adverts();
  Reply rankings();
  Reply novel(const FormBody &query);
  Reply skins(const Request &r);
  Reply member(const FormBody &query, const Request &r);
  Reply forum(const FormBody &query);
  Reply file(const QByteArray &name);

  // Checks the password of a request that carries one; a refusal is the reply to send.
  std::optional<Reply> refuse(const FormBody &form, const Request &r);
  QString baseUrl(const Request &r) const;

  Storage &m_storage;
  FileStore &m_files;
  ServiceLimits m_limits;
  FailureLimiter m_loginLimiter;
  FailureLimiter m_registrationLimiter;
  Credentials m_credentials;
};

} // namespace inkwren::server
