// Accounts, pages and hostile input against the running service (SQLite).
#include "running_server.h"

#include "core/codec.h"
#include "rulecontainer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

using namespace inkwren::test;

namespace {

Lines credentials(const QString &user, const QString &password) {
  return {{"username", user}, {"password", password}};
}

TEST(Accounts, RegistrationPageIsAFormAndRefusesBadInput) {
  RunningServer server;
  ASSERT_TRUE(server.ok());
  const HttpResult form = server.get("member.php?mod=register");
  EXPECT_EQ(form.status, 200);
  for (const char *piece : {"<form method=\"post\" action=\"member.php?mod=register\"",
                            "name=\"username\"", "name=\"password\"", "name=\"password2\""})
    EXPECT_TRUE(form.text.contains(piece)) << piece;

  ASSERT_TRUE(server.registerUser("<b>new</b>", "secret12"));
  const QList<QPair<Lines, int>> cases{
      {{{"username", "<b>new</b>"}, {"password", "secret12"}, {"password2", "secret12"}}, 409},
      {{{"username", "x"}, {"password", "secret12"}, {"password2", "secret13"}}, 400},
      {{{"username", "x"}, {"password", "short"}, {"password2", "short"}}, 400},
      {{{"username", " x"}, {"password", "secret12"}, {"password2", "secret12"}}, 400},
      {{{"username", ""}, {"password", "secret12"}, {"password2", "secret12"}}, 400}};
  for (const auto &[lines, status] : cases) {
    const HttpResult r = server.post("member.php?mod=register", lines);
    EXPECT_EQ(r.status, status) << lines[0].second.toStdString();
    EXPECT_FALSE(r.text.contains("<b>new</b>"));
  }
  EXPECT_TRUE(
      server.post("iw_login.php", credentials("<b>new</b>", "secret12")).text.contains("<ok>"));

  const HttpResult lost = server.get("member.php?mod=logging&action=login&viewlostpw");
  EXPECT_EQ(lost.status, 200);
  EXPECT_TRUE(lost.text.contains("admin passwd"));
  for (const char *page : {"", "forum.php", "forum.php?mod=forumdisplay&fid=38",
                           "forum.php?mod=viewthread&tid=5&extra="})
    EXPECT_EQ(server.get(page).status, 200) << page;
}

TEST(Accounts, ResetPasswordTakesEffectAtOnceDespiteRememberedLogins) {
  RunningServer server;
  ASSERT_TRUE(server.ok());
  ASSERT_TRUE(server.registerUser("erin", "secret12"));
  ASSERT_TRUE(server.post("iw_login.php", credentials("erin", "secret12")).text.contains("<ok>"));
  qputenv("INKWREN_PASSWORD", "another1");
  ASSERT_EQ(server.admin({"passwd", "erin"}), 0);
  qunsetenv("INKWREN_PASSWORD");
  EXPECT_TRUE(server.post("iw_clearstack.php", credentials("erin", "secret12"))
                  .text.contains("<loginfail>"));
  EXPECT_TRUE(
      server.post("iw_clearstack.php", credentials("erin", "another1")).text.contains("<ok>"));
}

TEST(Accounts, FailedLoginsAreLimitedPerUser) {
  RunningServer server;
  ASSERT_TRUE(server.ok());
  ASSERT_TRUE(server.registerUser("frank", "secret12"));
  ASSERT_TRUE(server.registerUser("grace", "secret12"));
  for (int i = 0; i < 5; ++i)
    EXPECT_FALSE(server.post("iw_login.php", credentials("frank", "guess" + QString::number(i)))
                     .text.contains("<ok>"));
  // Now even the right password is refused for that name, on every exchange that checks it.
  EXPECT_FALSE(server.post("iw_login.php", credentials("frank", "secret12")).text.contains("<ok>"));
  EXPECT_TRUE(server.post("iw_clearstack.php", credentials("frank", "secret12"))
                  .text.contains("<loginfail>"));
  EXPECT_TRUE(server.post("iw_login.php", credentials("grace", "secret12")).text.contains("<ok>"));
}

TEST(Hostile, OversizedBodiesAreRefusedAndTheServerGoesOn) {
  inkwren::server::HttpOptions http;
  http.maxBody = 64 * 1024;
  RunningServer server({}, http);
  ASSERT_TRUE(server.ok());
  ASSERT_TRUE(server.registerUser("heidi", "secret12"));
  const QByteArray big =
      "username=heidi&password=secret12&searchset=" + QByteArray(100 * 1024, 'k') + "&";
  EXPECT_EQ(server.postRaw("iw_searchsetsave.php", big).status, 413);
  EXPECT_TRUE(server.post("iw_login.php", credentials("heidi", "secret12")).text.contains("<ok>"));
}

TEST(Hostile, FilesOutsideTheFilesFolderCannotBeReached) {
  RunningServer server;
  ASSERT_TRUE(server.ok());
  for (const char *path : {"files/../inkwren.db", "files/..%2Finkwren.db", "files/%2E%2E/x",
                           "files/", "files/.hidden", "files/a%5Cb", "inkwren.db"})
    EXPECT_EQ(server.get(path).status, 404) << path;
  // Skin files keep names that are safe in an address and on the client's disk.
  for (const char *name : {"blue skin.skn", "蓝.skn", ".skn", "a]b.skn"}) {
    const QString path = server.dataDir() + "/" + name;
    ASSERT_TRUE(inkwren::codec::writeFileAtomic(path, "x"));
    EXPECT_NE(server.admin({"add-skin", path, "蓝色"}), 0) << name;
  }
}

TEST(Hostile, PublishingRefusesFilesThatAreNotRuleFiles) {
  RunningServer server;
  ASSERT_TRUE(server.ok());
  QByteArray rule = "<DW><wk>.a.example</wk>";
  for (int n = 0; n <= 10; ++n)
    rule += QString("<s%1>x</s%1>").arg(n).toLatin1();
  rule += "</dw>";
  const QList<QPair<QString, QByteArray>> bad{
      {"text", "<html>not a rule file</html>"},
      {"only record 0", inkwren::server::makeRuleContainer({"<sw></sw>"})},
      {"record 1 without rules", inkwren::server::makeRuleContainer({"", "<dw><wk>x</wk></dw>"})},
      {"cut short", inkwren::server::makeRuleContainer({"", rule}).chopped(3)},
      {"negative length", QByteArray("\xff\xff\xff\xff", 4) + rule},
      {"empty", QByteArray()}};
  const QString path = server.dataDir() + "/candidate.dat";
  for (const auto &[what, bytes] : bad) {
    ASSERT_TRUE(inkwren::codec::writeFileAtomic(path, bytes));
    EXPECT_NE(server.admin({"publish-rules", path}), 0) << what.toStdString();
  }
  EXPECT_FALSE(server.get("iw_set.php?iwv=100&stv=0").text.contains("<st>"));
  ASSERT_TRUE(inkwren::codec::writeFileAtomic(
      path, inkwren::server::makeRuleContainer({"", "other line\r\n" + rule + "\r\n"})));
  EXPECT_EQ(server.admin({"publish-rules", path}), 0);
  EXPECT_TRUE(server.get("iw_set.php?iwv=100&stv=0").text.contains("<st>"));
}

TEST(Hostile, ASlowClientIsCutOffAndOthersAreServed) {
  inkwren::server::HttpOptions http;
  http.timeoutSeconds = 1;
  RunningServer server({}, http);
  ASSERT_TRUE(server.ok());
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  timeval guard{30, 0}; // only so that a broken server can't hang the test
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(quint16(server.port()));
  inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
  const char partial[] = "POST /iw_login.php HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\nab";
  ASSERT_GT(::send(fd, partial, sizeof partial - 1, 0), 0);
  EXPECT_EQ(server.get("").status, 200); // served while the slow client waits
  char buffer[512];
  ssize_t n;
  QByteArray got;
  while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
    got.append(buffer, n);
  EXPECT_EQ(n, 0) << "the server closes the connection";
  EXPECT_FALSE(got.contains("<ok>"));
  ::close(fd);
}

} // namespace

namespace {

TEST(PostgreSQL, TheServiceReconnectsAfterTheDatabaseServerRestarts) {
  if (!PgCluster::available())
    GTEST_SKIP() << "PostgreSQL server binaries are not installed";
  PgCluster pg;
  QString why;
  ASSERT_TRUE(pg.start(&why)) << why.toStdString();
  const QString conn = pg.createDatabase("restart");
  ASSERT_FALSE(conn.isEmpty());
  inkwren::server::HttpOptions http;
  http.threads = 1; // one connection, so the restart surely hits it
  RunningServer server(conn, http);
  ASSERT_TRUE(server.ok()) << server.error().toStdString();
  ASSERT_TRUE(server.registerUser("ivan", "secret12"));
  ASSERT_TRUE(server.post("iw_login.php", credentials("ivan", "secret12")).text.contains("<ok>"));
  ASSERT_TRUE(pg.restart());
  // The request that finds the connection dead fails; the service then connects again.
  server.post("iw_getstack.php", {{"username", "ivan"}});
  EXPECT_TRUE(server.post("iw_getstack.php", {{"username", "ivan"}}).text.contains("<ok>"));
  EXPECT_TRUE(
      server.post("iw_clearstack.php", credentials("ivan", "secret12")).text.contains("<ok>"));
}

} // namespace
