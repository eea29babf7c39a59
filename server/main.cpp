// inkwren-server: the companion web service of the desktop program.
#include "admin.h"
#include "filestore.h"
#include "httpfront.h"
#include "options.h"
#include "service.h"
#include "storage.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <pthread.h>
#include <thread>

using namespace inkwren::server;

int main(int argc, char **argv) {
  // SIGINT and SIGTERM are taken by one waiting thread, which stops the server cleanly.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("inkwren-server");
  QTextStream out(stdout), err(stderr);

  QString error;
  const auto options = parseOptions(app.arguments().mid(1), &error);
  if (!options) {
    err << error << Qt::endl;
    return 2;
  }
  Storage storage(options->sqlitePath(), options->database);
  if (!storage.open(&error)) {
    err << "inkwren-server: cannot open the database: " << error << Qt::endl;
    return 1;
  }
  FileStore files(options->filesDir());
  if (options->admin)
    return Admin(storage, files, out, err).run(options->adminArgs);

  Service service(storage, files, options->limits);
  HttpFront front(service, options->http);
  const int port = front.bind(&error);
  if (port < 0) {
    err << "inkwren-server: " << error << Qt::endl;
    return 1;
  }
  const bool tls = !options->http.certFile.isEmpty();
  out << "inkwren-server: listening on " << (tls ? "https://" : "http://") << options->http.listen
      << ":" << port << "/ with data in " << options->dataDir
      << (options->database.isEmpty() ? " (SQLite)" : " (PostgreSQL)") << Qt::endl;

  std::thread stopper([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    front.stop();
  });
  front.run();
  // run() also ends when the socket fails; wake the stopper so that it can be joined.
  pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  out << "inkwren-server: stopped" << Qt::endl;
  return 0;
}
