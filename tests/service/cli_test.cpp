// inkwren-cli's service commands against the real inkwren-server: the password from standard
// input or $INKWREN_PASSWORD, the program's own outcome texts, exit status 0 on success.
#include "service_fixture.h"

#include <QDir>
#include <QFile>

namespace inkwren::test {
namespace {

struct CliService : ::testing::Test {
  ServerProcess server;
  QTemporaryDir dir;

  void SetUp() override {
    ASSERT_TRUE(server.ok());
    ASSERT_EQ(server.admin({QStringLiteral("adduser"), QStringLiteral("wang")},
                           QStringLiteral("pass word")),
              0);
  }

  struct Output {
    int status;
    QString out, err;
  };
  // Runs inkwren-cli on data folder `home`; password goes to the environment when env is set,
  // else to standard input.
  Output cli(const QString &home, const QStringList &args, const QString &password = {},
             bool env = false, const QString &webroot = {}) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("INKWREN_WEBROOT"), webroot.isEmpty() ? server.base() : webroot);
    e.remove(QStringLiteral("INKWREN_PASSWORD"));
    if (env)
      e.insert(QStringLiteral("INKWREN_PASSWORD"), password);
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(INKWREN_CLI),
            QStringList{QStringLiteral("--home"), dir.filePath(home)} + args);
    p.waitForStarted(30000);
    if (!env)
      p.write(password.toUtf8() + "\n");
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
  }
  QStringList user() { return {QStringLiteral("--user"), QStringLiteral("wang")}; }
};

TEST_F(CliService, ShelfGoesUpListsAndComesDownOnceIntoAnotherFolder) {
  const QString pw = QStringLiteral("pass word");
  ASSERT_EQ(cli("a", {"add", "http://a.example/1/", "--name", "书一", "--author", "甲",
                      "--category", "玄幻"})
                .status,
            0);
  ASSERT_EQ(cli("a", {"add", "http://a.example/2/", "--name", "书二"}).status, 0);

  Output up = cli("a", QStringList{"stack", "upload"} + user(), pw);
  EXPECT_EQ(up.status, 0) << up.err.toStdString();
  EXPECT_TRUE(up.err.contains(QStringLiteral("上传成功！是否访问网络书架？")));

  Output list = cli("b", QStringList{"stack", "list"} + user(), pw, true);
  EXPECT_EQ(list.status, 0) << list.err.toStdString();
  EXPECT_EQ(list.out, QStringLiteral("书一\t甲\t玄幻\thttp://a.example/1/\n"
                                     "书二\t\t默认分类\thttp://a.example/2/\n"));

  for (int run = 0; run < 2; ++run) {
    Output down = cli("b", QStringList{"stack", "download"} + user(), pw);
    EXPECT_EQ(down.status, 0) << down.err.toStdString();
  }
  Output mine = cli("a", {"list"});
  Output theirs = cli("b", {"list"});
  EXPECT_EQ(theirs.out.count(QStringLiteral("book\t")), 2) << theirs.out.toStdString();
  EXPECT_TRUE(theirs.out.contains(QStringLiteral("\t玄幻\n")));

  Output clear = cli("b", QStringList{"stack", "clear"} + user(), pw);
  EXPECT_EQ(clear.status, 0) << clear.err.toStdString();
  EXPECT_EQ(cli("b", QStringList{"stack", "list"} + user(), pw).out, QString());
  (void)mine;
}

TEST_F(CliService, FailuresExitOneWithTheProgramsTexts) {
  const struct {
    QStringList args;
    QString password;
    QString webroot;
    QString err;
  } cases[] = {
      {{"stack", "list", "--user", "wang"}, "wrong", {}, QStringLiteral("账号或密码错误!")},
      {{"stack", "list", "--user", "wang"}, "", {}, QStringLiteral("--user NAME")},
      {{"stack", "list"}, "pass word", {}, QStringLiteral("--user NAME")},
      {{"stack", "upload", "999", "--user", "wang"},
       "pass word",
       {},
       QStringLiteral("当前没有选中小说!")},
      {{"stack", "list", "--user", "wang"},
       "pass word",
       "http://127.0.0.1:9/",
       QStringLiteral("无法连接服务")},
      {{"checkup"}, "", "http://127.0.0.1:9/", QStringLiteral("当前版本为最新版本，无需更新！")},
      {{"searchset", "download", "--user", "wang"}, "pass word", {}, QStringLiteral("操作失败!")},
  };
  for (const auto &c : cases) {
    Output o = cli("h", c.args, c.password, false, c.webroot);
    EXPECT_EQ(o.status, 1) << c.args.join(' ').toStdString();
    EXPECT_TRUE(o.err.contains(c.err)) << o.err.toStdString();
  }
  // Proxy settings that make no exchange possible are named, not taken for a silent service.
  QFile ini(dir.filePath(QStringLiteral("h/config/set.ini")));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[proxyset]\r\nuseproxy=1\r\nproxyserver=127.0.0.1\r\nproxyport=80a\r\n");
  ini.close();
  for (const QStringList &args :
       {QStringList{"stack", "list", "--user", "wang"}, QStringList{"checkup"}}) {
    Output o = cli("h", args, QStringLiteral("pass word"));
    EXPECT_EQ(o.status, 1) << args.join(' ').toStdString();
    EXPECT_TRUE(o.err.contains(QStringLiteral("代理设置无效"))) << o.err.toStdString();
  }
  QFile::remove(ini.fileName());
  // The password is never taken from an argument.
  EXPECT_EQ(cli("h", {"stack", "list", "--user", "wang", "pass word"}, "pass word").status, 2);
}

TEST_F(CliService, SearchSetRoundTripAndVersionCheck) {
  const QString pw = QStringLiteral("pass word");
  ASSERT_EQ(cli("a", {"list"}).status, 0); // prepares the data folder
  QFile f(dir.filePath(QStringLiteral("a/db/searchset.dat")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(".site-a.example,1\r\n.site-b.example,0"); // the last line without its CR LF
  f.close();
  Output up = cli("a", QStringList{"searchset", "upload"} + user(), pw);
  EXPECT_EQ(up.status, 0) << up.err.toStdString();
  EXPECT_TRUE(up.err.contains(QStringLiteral("上传成功!")));

  ASSERT_EQ(cli("b", {"list"}).status, 0);
  Output down = cli("b", QStringList{"searchset", "download"} + user(), pw, true);
  EXPECT_EQ(down.status, 0) << down.err.toStdString();
  EXPECT_TRUE(down.err.contains(QStringLiteral("下载成功!")));
  QFile got(dir.filePath(QStringLiteral("b/db/searchset.dat")));
  ASSERT_TRUE(got.open(QIODevice::ReadOnly));
  EXPECT_EQ(got.readAll(), ".site-a.example,1\r\n.site-b.example,0\r\n");

  Output latest = cli("a", {"checkup"});
  EXPECT_EQ(latest.status, 0);
  EXPECT_TRUE(latest.err.contains(QStringLiteral("当前版本为最新版本，无需更新！")));
  ASSERT_EQ(server.admin({QStringLiteral("set-version"), QStringLiteral("1.01")}), 0);
  Output newer = cli("a", {"checkup", "--user", "wang"});
  EXPECT_EQ(newer.status, 0);
  EXPECT_TRUE(newer.err.contains(QStringLiteral("发现新版本，是否更新？")))
      << newer.err.toStdString();
}

} // namespace
} // namespace inkwren::test
