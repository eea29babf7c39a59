#pragma once
// The HTTP(S) side of the service on cpp-httplib: a pool of worker threads, a cap on request
// bodies, time-outs for clients that send or read too slowly, and every request handed to
// Service::handle.
//
// Threads: bind() and then run() on one thread (run() blocks until stop()); stop() from any
// thread, also from a signal-waiting thread.
#include "service.h"

#include <QString>

#include <memory>

namespace httplib {
class Server;
}

namespace inkwren::server {

struct HttpOptions {
  QString listen = "127.0.0.1";
  int port = 8080;           // 0: any free port
  QString certFile, keyFile; // both set: HTTPS
  int threads = 16;          // more threads only lengthen the tail on a small machine
  qint64 maxBody = 4 * 1024 * 1024;
  int timeoutSeconds = 10;
};

class HttpFront {
public:
  HttpFront(Service &service, HttpOptions options);
  ~HttpFront();

  // Binds the socket; the port bound (the free one chosen for port 0), or -1 with *error set.
  int bind(QString *error);
  void run();
  void stop();

private:
  Service &m_service;
  HttpOptions m_options;
  std::unique_ptr<httplib::Server> m_server;
  int m_socket = -1;
};

} // namespace inkwren::server
