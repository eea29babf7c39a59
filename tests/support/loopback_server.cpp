#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace inkwren::test {
namespace {

QByteArray reasonFor(int status) {
  switch (status) {
  case 200: return "OK";
  case 301: return "Moved Permanently";
  case 302: return "Found";
  case 303: return "See Other";
  case 307: return "Temporary Redirect";
  case 400: return "Bad Request";
  case 403: return "Forbidden";
  case 404: return "Not Found";
  case 407: return "Proxy Authentication Required";
  case 500: return "Internal Server Error";
  case 503: return "Service Unavailable";
  default: return "Status";
  }
}

bool sendAll(int fd, const char *data, qsizetype size) {
  while (size > 0) {
    ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL);
    if (n <= 0)
      return false;
    data += n;
    size -= n;
  }
  return true;
}

// Reads one request: the head up to the blank line, then Content-Length bytes of body. Gives up
// after a few seconds of silence or when the server stops.
bool readRequest(int fd, const std::atomic<bool> &stopping, HttpRequest &out) {
  QByteArray buffer;
  qsizetype headEnd = -1;
  qsizetype wanted = -1;
  int idle = 0;
  while (!stopping.load()) {
    if (headEnd >= 0 && buffer.size() >= wanted)
      break;
    pollfd p{fd, POLLIN, 0};
    int r = ::poll(&p, 1, 50);
    if (r == 0) {
      if (++idle > 100)
        return false;
      continue;
    }
    char chunk[16384];
    ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0)
      return false;
    idle = 0;
    buffer.append(chunk, n);
    if (headEnd < 0) {
      headEnd = buffer.indexOf("\r\n\r\n");
      if (headEnd < 0)
        continue;
      const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
      const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
      out.method = first.value(0);
      out.target = first.value(1);
      qsizetype length = 0;
      for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
          continue;
        QByteArray name = line.left(colon).trimmed();
        QByteArray value = line.mid(colon + 1).trimmed();
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
          length = value.toLongLong();
        out.headers.append(qMakePair(name, value));
      }
      wanted = headEnd + 4 + length;
    }
  }
  if (headEnd < 0 || buffer.size() < wanted)
    return false;
  out.raw = buffer.left(wanted);
  out.body = buffer.mid(headEnd + 4, wanted - headEnd - 4);
  QByteArray target = out.target;
  if (target.startsWith("http://") || target.startsWith("https://")) {
    const qsizetype slash = target.indexOf('/', target.indexOf("://") + 3);
    target = slash >= 0 ? target.mid(slash) : QByteArray("/");
  }
  const qsizetype q = target.indexOf('?');
  out.path = q >= 0 ? target.left(q) : target;
  out.query = q >= 0 ? target.mid(q + 1) : QByteArray();
  return true;
}

} // namespace

QByteArray HttpRequest::header(QByteArrayView name) const {
  for (const auto &h : headers)
    if (QByteArrayView(h.first).compare(name, Qt::CaseInsensitive) == 0)
      return h.second;
  return {};
}

bool HttpRequest::hasHeader(QByteArrayView name) const {
  for (const auto &h : headers)
    if (QByteArrayView(h.first).compare(name, Qt::CaseInsensitive) == 0)
      return true;
  return false;
}

HttpResponse HttpResponse::text(QByteArray body, int status) {
  HttpResponse r;
  r.status = status;
  r.body = std::move(body);
  r.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html")));
  return r;
}

HttpResponse HttpResponse::redirect(QByteArray location, int status) {
  HttpResponse r;
  r.status = status;
  r.headers.append(qMakePair(QByteArray("Location"), std::move(location)));
  return r;
}

HttpResponse HttpResponse::error(int status) { return text(reasonFor(status), status); }

HttpResponse HttpResponse::delayed(int ms) const {
  HttpResponse r = *this;
  r.delayMs = ms;
  return r;
}

HttpResponse HttpResponse::trickled(qsizetype bytes, int everyMs) const {
  HttpResponse r = *this;
  r.chunkBytes = bytes;
  r.trickleMs = everyMs;
  return r;
}

HttpResponse HttpResponse::withHeader(QByteArray name, QByteArray value) const {
  HttpResponse r = *this;
  r.headers.append(qMakePair(std::move(name), std::move(value)));
  return r;
}

LoopbackServer::LoopbackServer() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  if (listenFd_ < 0)
    throw std::runtime_error("loopback server: no socket");
  int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (::bind(listenFd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 64) != 0) {
    ::close(listenFd_);
    throw std::runtime_error("loopback server: can't listen on 127.0.0.1");
  }
  socklen_t len = sizeof addr;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr *>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  fallback_ = [](const HttpRequest &) { return HttpResponse::error(404); };
  acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
  stopping_.store(true);
  if (acceptor_.joinable())
    acceptor_.join();
  std::vector<std::thread> connections;
  {
    std::lock_guard lock(mutex_);
    connections.swap(connections_);
  }
  for (std::thread &t : connections)
    t.join();
  ::close(listenFd_);
}

QByteArray LoopbackServer::url(QByteArrayView path) const {
  return "http://" + authority() + path.toByteArray();
}

QByteArray LoopbackServer::authority() const { return "127.0.0.1:" + QByteArray::number(port_); }

void LoopbackServer::route(const QByteArray &path, HttpResponse response) {
  route(path, HttpHandler([response](const HttpRequest &) { return response; }));
}

void LoopbackServer::route(const QByteArray &path, HttpHandler handler) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(handler);
}

void LoopbackServer::setFallback(HttpHandler handler) {
  std::lock_guard lock(mutex_);
  fallback_ = std::move(handler);
}

QList<HttpRequest> LoopbackServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int LoopbackServer::requestCount(QByteArrayView path) const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const HttpRequest &r : requests_)
    n += r.path == path;
  return n;
}

void LoopbackServer::clearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

HttpResponse LoopbackServer::echo(const HttpRequest &request) { return HttpResponse::text(request.raw); }

HttpHandler LoopbackServer::handlerFor(const QByteArray &path) const {
  std::lock_guard lock(mutex_);
  auto it = routes_.find(path);
  return it != routes_.end() ? it->second : fallback_;
}

bool LoopbackServer::sleepUnlessStopping(int ms) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (stopping_.load())
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return !stopping_.load();
}

void LoopbackServer::acceptLoop() {
  while (!stopping_.load()) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0)
      continue;
    int fd = ::accept(listenFd_, nullptr, nullptr);
    if (fd < 0)
      continue;
    // Head and body go out as separate writes: without this the body would wait for the
    // client's delayed acknowledgement of the head (tens of milliseconds).
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, fd] { serve(fd); });
  }
}

void LoopbackServer::serve(int fd) {
  HttpRequest request;
  if (readRequest(fd, stopping_, request)) {
    {
      std::lock_guard lock(mutex_);
      requests_.append(request);
    }
    HttpResponse response;
    try {
      response = handlerFor(request.path)(request);
    } catch (...) {
      response = HttpResponse::error(500);
    }
    if (!response.dropConnection && sleepUnlessStopping(response.delayMs)) {
      QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                        reasonFor(response.status) + "\r\n";
      for (const auto &h : response.headers)
        head += h.first + ": " + h.second + "\r\n";
      head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
      head += "Connection: close\r\n\r\n";
      bool ok = sendAll(fd, head.constData(), head.size());
      if (response.chunkBytes <= 0) {
        ok = ok && sendAll(fd, response.body.constData(), response.body.size());
      } else {
        for (qsizetype at = 0; ok && at < response.body.size(); at += response.chunkBytes) {
          if (at > 0 && !sleepUnlessStopping(response.trickleMs))
            break;
          ok = sendAll(fd, response.body.constData() + at,
                       std::min(response.chunkBytes, response.body.size() - at));
        }
      }
    }
  }
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

} // namespace inkwren::test
