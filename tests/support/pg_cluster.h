#pragma once
// A throwaway PostgreSQL cluster for tests and benchmarks: initdb into a temporary folder, a
// server listening only on a Unix socket in that folder, stopped and removed on destruction.
// When run as root the cluster is made and run as the unprivileged user "nobody".
//
//   PgCluster pg;
//   if (!pg.start(&why)) GTEST_SKIP() << why;       // only when the binaries are absent
//   QString conn = pg.createDatabase("t1");         // "host=… dbname=t1 user=inkwren"
//
// Threads: one thread at a time.
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace inkwren::test {

class PgCluster {
public:
  PgCluster() = default;
  ~PgCluster();
  PgCluster(const PgCluster &) = delete;
  PgCluster &operator=(const PgCluster &) = delete;

  // Whether initdb and pg_ctl are installed.
  static bool available();
  bool start(QString *why);
  // A new empty database; its connection string, or empty text on failure.
  QString createDatabase(const QString &name);
  QString socketDir() const;
  // Stops the server at once (connections are cut) and starts it again.
  bool restart();

private:
  bool runTool(const QString &tool, const QStringList &args, QString *output = nullptr);

  std::unique_ptr<QTemporaryDir> m_dir;
  bool m_running = false;
  QString m_options;
};

} // namespace inkwren::test
