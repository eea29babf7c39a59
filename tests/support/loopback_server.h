#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests, scriptable per path. It runs on threads of its
// own (one accepting, one per connection), answers every request with "Connection: close", and
// records every request it received.
//
//   inkwren::test::LoopbackServer server;               // listens on a free port at once
//   server.route("/toc", HttpResponse::text("<a href=1.html>一</a>"));
//   server.route("/old", HttpResponse::redirect("/toc"));
//   server.route("/slow", HttpResponse::text("late").delayed(2000));
//   server.route("/echo", LoopbackServer::echo);          // the request comes back as the body
//   server.route("/login", [](const HttpRequest &r) { return HttpResponse::text(r.body); });
//   QByteArray address = server.url("/toc");              // "http://127.0.0.1:PORT/toc"
//   ... fetch ...
//   server.requests();                                    // what arrived, in order
//
// Routes match the path of the request target without its query ("/a/b" of "/a/b?x=1"). A
// request in absolute form ("GET http://host:port/a/b HTTP/1.1", as sent to a proxy) is routed
// by its path too, so the server can stand in for a proxy; HttpRequest::target keeps the form
// that was sent. A path without a route gets 404.
//
// Threads: route and setFallback may be called at any time from any thread; handlers run on the
// connection threads, possibly several at once, so they must be thread-safe. The destructor
// stops the server and waits for every connection to end (pending delays are cut short).
#include <QByteArray>
#include <QList>
#include <QPair>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace inkwren::test {

struct HttpRequest {
  QByteArray method;
  QByteArray target; // as in the request line: "/a?b" or "http://host:port/a?b"
  QByteArray path;   // the path of the target, without query: "/a"
  QByteArray query;  // after "?", without it
  QList<QPair<QByteArray, QByteArray>> headers; // in the order received
  QByteArray body;
  QByteArray raw; // the request exactly as received, head and body

  // The first header of that name (any case); empty when absent.
  QByteArray header(QByteArrayView name) const;
  bool hasHeader(QByteArrayView name) const;
};

struct HttpResponse {
  int status = 200;
  QList<QPair<QByteArray, QByteArray>> headers; // Content-Length and Connection are added
  QByteArray body;
  int delayMs = 0;   // wait before sending anything
  int trickleMs = 0; // with chunkBytes: wait between pieces of the body
  qsizetype chunkBytes = 0;
  bool dropConnection = false; // close without answering

  static HttpResponse text(QByteArray body, int status = 200);
  static HttpResponse redirect(QByteArray location, int status = 302);
  static HttpResponse error(int status);

  HttpResponse delayed(int ms) const;
  HttpResponse trickled(qsizetype bytes, int everyMs) const;
  HttpResponse withHeader(QByteArray name, QByteArray value) const;
};

using HttpHandler = std::function<HttpResponse(const HttpRequest &)>;

class LoopbackServer {
public:
  LoopbackServer();
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer &) = delete;
  LoopbackServer &operator=(const LoopbackServer &) = delete;

  quint16 port() const { return port_; }
  // "http://127.0.0.1:" port followed by path.
  QByteArray url(QByteArrayView path = "/") const;
  // "127.0.0.1:" port, the authority part.
  QByteArray authority() const;

  void route(const QByteArray &path, HttpResponse response);
  void route(const QByteArray &path, HttpHandler handler);
  // Answers paths that have no route (404 by default).
  void setFallback(HttpHandler handler);

  QList<HttpRequest> requests() const;
  int requestCount(QByteArrayView path) const;
  void clearRequests();

  // Keeps connections open for further requests ("Connection: keep-alive") instead of closing
  // after each answer; a new connection first costs connectMs (a far-away site's set-up).
  void setKeepAlive(bool on, int connectMs = 0);
  // Connections accepted so far.
  int connectionCount() const { return connectionsAccepted_.load(); }

  // A handler answering 200 with the raw request as the body.
  static HttpResponse echo(const HttpRequest &request);

private:
  void acceptLoop();
  void serve(int fd);
  HttpHandler handlerFor(const QByteArray &path) const;
  bool sleepUnlessStopping(int ms) const;

  int listenFd_ = -1;
  quint16 port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> keepAlive_{false};
  std::atomic<int> connectMs_{0};
  std::atomic<int> connectionsAccepted_{0};
  mutable std::mutex mutex_;
  std::map<QByteArray, HttpHandler> routes_;
  HttpHandler fallback_;
  QList<HttpRequest> requests_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

} // namespace inkwren::test
