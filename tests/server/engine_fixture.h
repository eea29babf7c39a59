#pragma once
// Tests that run once on SQLite and once on PostgreSQL (a cluster started for the suite).
#include "running_server.h"

#include <gtest/gtest.h>

namespace inkwren::test {

enum class Engine { SQLite, PostgreSQL };

inline std::string engineName(const testing::TestParamInfo<Engine> &info) {
  return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

class EngineTest : public testing::TestWithParam<Engine> {
protected:
  static void TearDownTestSuite() { cluster().reset(); }

  void SetUp() override {
    QString conn;
    if (GetParam() == Engine::PostgreSQL) {
      if (!PgCluster::available())
        GTEST_SKIP() << "PostgreSQL server binaries are not installed";
      if (!cluster()) {
        cluster() = std::make_unique<PgCluster>();
        QString why;
        ASSERT_TRUE(cluster()->start(&why)) << why.toStdString();
      }
      static int n = 0;
      conn = cluster()->createDatabase(QString("iwtest%1").arg(++n));
      ASSERT_FALSE(conn.isEmpty());
    }
    server = std::make_unique<RunningServer>(conn, httpOptions(), limits());
    ASSERT_TRUE(server->ok()) << server->error().toStdString();
  }
  void TearDown() override { server.reset(); }

  virtual server::HttpOptions httpOptions() const { return {}; }
  virtual server::ServiceLimits limits() const { return {}; }

  static std::unique_ptr<PgCluster> &cluster() {
    static std::unique_ptr<PgCluster> c;
    return c;
  }

  std::unique_ptr<RunningServer> server;
};

} // namespace inkwren::test
