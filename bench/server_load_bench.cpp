// Load on inkwren-server over loopback: N concurrent clients (default 200), each repeating
// login, network shelf download and a one-book upload, every request on a fresh connection as
// the desktop program makes them, for a bounded time (default 20 s) per storage engine.
// Before the timed run every client logs in once (reported as first_logins_s), so the timed run
// measures the steady state (verified passwords are remembered for a while). Reported: requests/s,
// p50 and p99 latency in milliseconds, errors (any reply that is not 200 with "<ok>").
//
//   build/bench/server_load_bench                        # SQLite and PostgreSQL, 200 clients, 20 s
//   INKWREN_LOAD_SECONDS=5 INKWREN_LOAD_CLIENTS=50 build/bench/server_load_bench
//   INKWREN_LOAD_THREADS=16 …                            # server worker threads (default 16)
#include "credentials.h"
#include "filestore.h"
#include "formbody.h"
#include "httpfront.h"
#include "service.h"
#include "storage.h"
#include "support/pg_cluster.h"

#include <QTemporaryDir>

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <thread>
#include <vector>

using namespace inkwren::server;
using Clock = std::chrono::steady_clock;

namespace {

int envInt(const char *name, int fallback, int lo, int hi) {
  bool ok = false;
  const int v = qEnvironmentVariableIntValue(name, &ok);
  return ok ? std::clamp(v, lo, hi) : fallback;
}

// One request on a fresh connection, as the desktop program makes it.
QByteArray httpPost(const char *path, const QByteArray &body) {
  return QByteArray("POST ") + path +
         " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
         "Connection: close\r\nContent-Length: " +
         QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// The simulated clients: one thread drives all of them with non-blocking sockets, so the load
// generator takes little of the two cores and every client always has a request in flight.
class LoadDriver {
public:
  LoadDriver(int port, int clients) : m_port(port), m_clients(size_t(clients)) {
    for (size_t c = 0; c < m_clients.size(); ++c)
      m_clients[c].user = QString("load%1").arg(c);
    m_epoll = epoll_create1(0);
  }
  ~LoadDriver() { ::close(m_epoll); }

  // Each client does one request of kind `only` (or the login/list/add cycle when -1) until
  // every client has done `rounds` requests or the deadline has passed.
  void run(Clock::time_point deadline, int only, long rounds) {
    m_deadline = deadline;
    m_only = only;
    m_rounds = rounds;
    int active = 0;
    for (Client &c : m_clients)
      active += start(c) ? 1 : 0;
    epoll_event events[256];
    while (active > 0) {
      const int n = epoll_wait(m_epoll, events, 256, 1000);
      for (int i = 0; i < n; ++i) {
        Client &c = m_clients[events[i].data.u64];
        if (!step(c, events[i].events))
          continue;
        // The request ended: record it and start the next one.
        ::close(c.fd);
        c.fd = -1;
        ++c.done;
        const bool ok = c.in.startsWith("HTTP/1.1 200") && c.in.contains("<ok>");
        latenciesMs.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - c.began).count());
        if (!ok && errors++ < 5)
          qWarning("load: failed request: %s", c.in.left(200).constData());
        if (!start(c))
          --active;
      }
    }
  }

  std::vector<double> latenciesMs;
  long errors = 0;

private:
  struct Client {
    QString user;
    long done = 0, books = 0;
    int fd = -1;
    QByteArray out, in;
    qsizetype sent = 0;
    Clock::time_point began;
  };

  QByteArray nextRequest(Client &c) {
    const int kind = m_only >= 0 ? m_only : int(c.done % 3);
    if (kind == 0)
      return httpPost("/iw_login.php",
                      FormBody::encode({{"username", c.user}, {"password", "secret12"}}));
    if (kind == 1)
      return httpPost("/iw_getstack.php", FormBody::encode({{"username", c.user}}));
    const long n = c.books++;
    return httpPost("/iw_bookstackadd.php",
                    FormBody::encode({{"username", c.user},
                                      {"password", "secret12"},
                                      {"bookname0", QString("书 %1").arg(n)},
                                      {"authorname0", "作者"},
                                      {"booktype0", "玄幻"},
                                      {"downurl0", "http://site.example/" + c.user + "/" +
                                                       QString::number(n) + "/"},
                                      {"upcount", "1"}}));
  }

  bool start(Client &c) {
    if (c.done >= m_rounds || Clock::now() >= m_deadline)
      return false;
    c.out = nextRequest(c);
    c.in.clear();
    c.sent = 0;
    c.began = Clock::now();
    c.fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(m_port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(c.fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr); // EINPROGRESS
    epoll_event ev{};
    ev.events = EPOLLOUT | EPOLLIN;
    ev.data.u64 = quint64(&c - m_clients.data());
    epoll_ctl(m_epoll, EPOLL_CTL_ADD, c.fd, &ev);
    return true;
  }

  // Moves a request on; true when it has ended (answer complete or connection failed).
  bool step(Client &c, quint32 events) {
    if (c.sent < c.out.size() && (events & EPOLLOUT)) {
      const ssize_t n =
          ::send(c.fd, c.out.constData() + c.sent, size_t(c.out.size() - c.sent), MSG_NOSIGNAL);
      if (n < 0 && errno != EAGAIN)
        return true;
      if (n > 0)
        c.sent += n;
      if (c.sent == c.out.size()) {
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = quint64(&c - m_clients.data());
        epoll_ctl(m_epoll, EPOLL_CTL_MOD, c.fd, &ev);
      }
    }
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
      char buffer[16384];
      for (;;) {
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n > 0) {
          c.in.append(buffer, n);
          continue;
        }
        if (n == 0)
          return true; // the server closed: the answer is complete
        return errno != EAGAIN;
      }
    }
    return false;
  }

  int m_port;
  std::vector<Client> m_clients;
  int m_epoll;
  Clock::time_point m_deadline;
  int m_only = -1;
  long m_rounds = 0;
};

void runLoad(benchmark::State &state, const QString &pgConnection) {
  const int clients = envInt("INKWREN_LOAD_CLIENTS", 200, 1, 2000);
  const int seconds = envInt("INKWREN_LOAD_SECONDS", 20, 1, 600);
  QTemporaryDir dir;
  Storage storage(dir.path() + "/inkwren.db", pgConnection);
  QString error;
  if (!storage.open(&error)) {
    state.SkipWithError(qPrintable(error));
    return;
  }
  FileStore files(dir.path() + "/files");
  Service service(storage, files, {});
  HttpOptions http;
  http.port = 0;
  http.threads = envInt("INKWREN_LOAD_THREADS", http.threads, 1, 1024);
  HttpFront front(service, http);
  const int port = front.bind(&error);
  if (port < 0) {
    state.SkipWithError(qPrintable(error));
    return;
  }
  std::thread serverThread([&] { front.run(); });

  const QString hash = Credentials::hash("secret12"); // one hash, shared by the bench users
  for (int c = 0; c < clients; ++c)
    storage.addUser(QString("load%1").arg(c), hash);

  for (auto _ : state) {
    // Every client logs in once first: that login pays for one password hash.
    LoadDriver warmUp(port, clients);
    const auto warmStart = Clock::now();
    warmUp.run(Clock::now() + std::chrono::seconds(600), 0, 1);
    const double warmSeconds = std::chrono::duration<double>(Clock::now() - warmStart).count();

    LoadDriver driver(port, clients);
    const auto start = Clock::now();
    driver.run(start + std::chrono::seconds(seconds), -1, std::numeric_limits<long>::max());
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    std::vector<double> &all = driver.latenciesMs;
    std::sort(all.begin(), all.end());
    const auto pct = [&](double p) {
      return all.empty() ? 0.0 : all[std::min(all.size() - 1, size_t(p * double(all.size())))];
    };
    state.counters["requests_per_s"] = double(all.size()) / elapsed;
    state.counters["p50_ms"] = pct(0.50);
    state.counters["p99_ms"] = pct(0.99);
    state.counters["errors"] = double(driver.errors + warmUp.errors);
    state.counters["requests"] = double(all.size());
    state.counters["clients"] = clients;
    state.counters["first_logins_s"] = warmSeconds;
  }
  front.stop();
  serverThread.join();
}

void BM_LoadSQLite(benchmark::State &state) {
  runLoad(state, {});
}

void BM_LoadPostgreSQL(benchmark::State &state) {
  inkwren::test::PgCluster cluster;
  QString why;
  if (!cluster.start(&why)) {
    state.SkipWithError(qPrintable(why));
    for (auto _ : state) {
    }
    return;
  }
  runLoad(state, cluster.createDatabase("load"));
}

BENCHMARK(BM_LoadSQLite)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_LoadPostgreSQL)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace
