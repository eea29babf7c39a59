#include "running_server.h"

#include "core/codec.h"

#include <QRegularExpression>
#include <QUrl>

#include <sstream>

namespace inkwren::test {

RunningServer::RunningServer(const QString &pgConnection, server::HttpOptions http,
                             server::ServiceLimits limits) {
  m_storage = std::make_unique<server::Storage>(m_dir.path() + "/inkwren.db", pgConnection);
  if (!m_storage->open(&m_error))
    return;
  m_files = std::make_unique<server::FileStore>(m_dir.path() + "/files");
  m_service = std::make_unique<server::Service>(*m_storage, *m_files, limits);
  http.listen = "127.0.0.1";
  http.port = 0;
  m_front = std::make_unique<server::HttpFront>(*m_service, http);
  m_port = m_front->bind(&m_error);
  if (m_port > 0)
    m_thread = std::thread([this] { m_front->run(); });
}

RunningServer::~RunningServer() {
  if (m_front)
    m_front->stop();
  if (m_thread.joinable())
    m_thread.join();
}

namespace {
HttpResult toResult(const httplib::Result &res) {
  HttpResult r;
  if (!res)
    return r;
  r.status = res->status;
  r.bytes = QByteArray::fromStdString(res->body);
  r.text = codec::decode(r.bytes);
  return r;
}
} // namespace

HttpResult RunningServer::postRaw(const QString &path, const QByteArray &body,
                                  const char *contentType) {
  httplib::Client client("127.0.0.1", m_port);
  client.set_read_timeout(60, 0);
  return toResult(client.Post(("/" + path).toStdString(), body.toStdString(), contentType));
}

HttpResult RunningServer::post(const QString &path, const Lines &lines) {
  return postRaw(path, server::FormBody::encode(lines));
}

HttpResult RunningServer::get(const QString &pathAndQuery) {
  httplib::Client client("127.0.0.1", m_port);
  client.set_read_timeout(60, 0);
  return toResult(client.Get(("/" + pathAndQuery).toStdString()));
}

HttpResult RunningServer::getUrl(const QString &url) {
  const QString prefix = base();
  if (!url.startsWith(prefix))
    return {};
  return get(url.mid(prefix.size()));
}

int RunningServer::admin(const QStringList &args, QString *out) {
  QString text, err;
  QTextStream o(&text), e(&err);
  server::Admin admin(*m_storage, *m_files, o, e);
  const int code = admin.run(args);
  o.flush();
  e.flush();
  if (out)
    *out = text + err;
  return code;
}

bool RunningServer::registerUser(const QString &user, const QString &password) {
  const HttpResult r = post("member.php?mod=register",
                            {{"username", user}, {"password", password}, {"password2", password}});
  return r.status == 200 && r.text.contains("注册成功");
}

QList<QStringList> records(const QString &reply, const QString &pattern) {
  QString flat = reply;
  flat.remove('\r').remove('\n');
  QList<QStringList> out;
  QRegularExpression re(pattern, QRegularExpression::CaseInsensitiveOption);
  for (auto it = re.globalMatch(flat); it.hasNext();) {
    const auto m = it.next();
    QStringList fields;
    for (int g = 1; g <= re.captureCount(); ++g)
      fields << m.captured(g);
    out << fields;
  }
  return out;
}

QString bracketParameter(const QString &address, const QString &name) {
  const QString open = "[" + name + "/";
  const qsizetype at = address.indexOf(open);
  if (at < 0)
    return {};
  QString value = address.mid(at + open.size());
  const qsizetype end = value.indexOf(']');
  if (end >= 0)
    value.truncate(end);
  return value.replace("%20", " ").replace("$@", "[").replace("@$", "]");
}

} // namespace inkwren::test
