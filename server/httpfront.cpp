#include "httpfront.h"

#include <httplib.h>

#include <sys/socket.h>

namespace inkwren::server {

namespace {

void send(const Reply &reply, httplib::Response &res) {
  res.status = reply.status;
  res.set_content(reply.body.constData(), size_t(reply.body.size()), reply.contentType.constData());
}

Request toRequest(const httplib::Request &req, bool tls) {
  Request r;
  r.method = QByteArray::fromStdString(req.method);
  r.path = QByteArray::fromStdString(req.path);
  const auto q = req.target.find('?');
  if (q != std::string::npos)
    r.query = QByteArray::fromStdString(req.target.substr(q + 1));
  r.peer = QString::fromStdString(req.remote_addr);
  r.host = QString::fromStdString(req.get_header_value("Host"));
  r.tls = tls;
  return r;
}

} // namespace

HttpFront::HttpFront(Service &service, HttpOptions options)
    : m_service(service), m_options(std::move(options)) {}

HttpFront::~HttpFront() {
  stop();
}

int HttpFront::bind(QString *error) {
  const bool tls = !m_options.certFile.isEmpty() && !m_options.keyFile.isEmpty();
  if (tls) {
    auto server = std::make_unique<httplib::SSLServer>(m_options.certFile.toLocal8Bit().constData(),
                                                       m_options.keyFile.toLocal8Bit().constData());
    if (!server->is_valid()) {
      *error = "cannot load the certificate or key file";
      return -1;
    }
    m_server = std::move(server);
  } else {
    m_server = std::make_unique<httplib::Server>();
  }
  httplib::Server &svr = *m_server;
  const int threads = qMax(1, m_options.threads);
  svr.new_task_queue = [threads] { return new httplib::ThreadPool(size_t(threads)); };
  svr.set_read_timeout(m_options.timeoutSeconds, 0);
  svr.set_write_timeout(m_options.timeoutSeconds, 0);
  svr.set_keep_alive_timeout(5);
  svr.set_keep_alive_max_count(100);
  svr.set_payload_max_length(size_t(m_options.maxBody));
  svr.set_tcp_nodelay(true);
  svr.set_socket_options([this](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    m_socket = sock;
  });

  svr.Get(".*", [this, tls](const httplib::Request &req, httplib::Response &res) {
    send(m_service.handle(toRequest(req, tls)), res);
  });
  const qint64 cap = m_options.maxBody;
  svr.Post(".*", [this, tls, cap](const httplib::Request &req, httplib::Response &res,
                                  const httplib::ContentReader &reader) {
    const qint64 declared =
        QByteArray::fromStdString(req.get_header_value("Content-Length")).toLongLong();
    if (declared > cap) {
      send(Reply::text("<error>请求过大</error>", 413), res);
      return;
    }
    std::string body;
    const bool complete = reader([&](const char *data, size_t length) {
      body.append(data, length);
      return qint64(body.size()) <= cap;
    });
    if (!complete || qint64(body.size()) > cap) {
      send(Reply::text("<error>请求过大</error>", 413), res);
      return;
    }
    Request r = toRequest(req, tls);
    r.body = QByteArray::fromStdString(body);
    send(m_service.handle(r), res);
  });

  const std::string host = m_options.listen.toStdString();
  int port = m_options.port;
  if (port == 0) {
    port = svr.bind_to_any_port(host);
  } else if (!svr.bind_to_port(host, port)) {
    port = -1;
  }
  if (port < 0) {
    *error = QString("cannot listen on %1:%2").arg(m_options.listen).arg(m_options.port);
    return -1;
  }
  // A short queue of pending connections drops connections under a burst of clients; widen it.
  if (m_socket >= 0)
    ::listen(m_socket, 4096);
  return port;
}

void HttpFront::run() {
  if (m_server)
    m_server->listen_after_bind();
}

void HttpFront::stop() {
  if (m_server)
    m_server->stop();
}

} // namespace inkwren::server
