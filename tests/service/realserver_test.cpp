// The client against the real inkwren-server: the network shelf travels from one data folder
// to another, a wrong password is a credential failure, the search-site list comes back as it
// went, and a newer version is heard of.
#include "service_fixture.h"

#include "core/codec.h"

#include <QFile>
#include <QTemporaryDir>

namespace inkwren::test {
namespace {

struct RealServer : ::testing::Test {
  ServerProcess server;
  void SetUp() override {
    ASSERT_TRUE(server.ok());
    ASSERT_EQ(server.admin({QStringLiteral("adduser"), QStringLiteral("张 三")},
                           QStringLiteral("secret 12")),
              0);
  }
  // A client logged in through the login exchange, as the dialog does.
  std::unique_ptr<Client> loggedIn(const QString &password = QStringLiteral("secret 12")) {
    auto c = std::make_unique<Client>(server.base());
    EXPECT_EQ(c->app->service.trylogin(QStringLiteral("张 三"), password),
              ServiceClient::LoginResult::Accepted);
    c->app->service.login(QStringLiteral("张 三"), password);
    return c;
  }
};

TEST_F(RealServer, LoginAcceptsTheUserAndRefusesAWrongPassword) {
  Client c(server.base());
  EXPECT_EQ(c.app->service.trylogin(QStringLiteral("张 三"), QStringLiteral("secret 12")),
            ServiceClient::LoginResult::Accepted);
  EXPECT_EQ(c.app->service.trylogin(QStringLiteral("张 三"), QStringLiteral("secret 1")),
            ServiceClient::LoginResult::Refused);
  EXPECT_EQ(c.app->service.trylogin(QStringLiteral("nobody"), QStringLiteral("secret 12")),
            ServiceClient::LoginResult::Refused);
}

TEST_F(RealServer, ShelfTravelsToAnotherDataFolderAndADownloadTwiceAddsNothing) {
  auto home = loggedIn();
  auto &shelf = home->app->shelf;
  ASSERT_TRUE(shelf.newbook_do(QStringLiteral("玄幻"), QStringLiteral("斗破苍穹"),
                               QStringLiteral("天蚕土豆"), QStringLiteral("http://a.example/1/")));
  ASSERT_TRUE(shelf.newbook_do(QStringLiteral("都市 小说"), QStringLiteral("Book & B"), QString(),
                               QStringLiteral("http://b.example/x?id=2&p=1")));
  ASSERT_TRUE(shelf.newbook_do(QStringLiteral("玄幻"), QStringLiteral("第三本"),
                               QStringLiteral("某人"), QStringLiteral("http://a.example/3/")));
  home->messages.answer = false;
  ASSERT_TRUE(home->app->netshelf.upbookall());
  EXPECT_EQ(home->messages.asked, QStringList{QStringLiteral("上传成功！是否访问网络书架？")});

  auto listed = home->app->service.getstack();
  ASSERT_TRUE(listed);
  EXPECT_EQ(*listed, home->app->netshelf.localBooks());

  auto away = loggedIn();
  int added = -1;
  ASSERT_TRUE(away->app->netshelf.downstack(&added));
  EXPECT_EQ(added, 3);
  EXPECT_EQ(away->shelf(), home->shelf());
  ASSERT_TRUE(away->app->netshelf.downstack(&added));
  EXPECT_EQ(added, 0);
  EXPECT_EQ(away->shelf(), home->shelf());
  EXPECT_TRUE(away->messages.said.isEmpty());
}

TEST_F(RealServer, SaveReplacesAndClearEmptiesTheNetworkShelf) {
  auto c = loggedIn();
  ServiceClient &service = c->app->service;
  const QList<StackEntry> two{
      {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
       QStringLiteral("http://x/1")},
      {QStringLiteral("b"), QString(), QStringLiteral("c"), QStringLiteral("http://x/2")}};
  EXPECT_EQ(service.bookstacksave(two), ServiceClient::Outcome::Ok);
  EXPECT_EQ(service.getstack(), two);
  EXPECT_EQ(service.bookstacksave({two[1]}), ServiceClient::Outcome::Ok);
  EXPECT_EQ(service.getstack(), QList<StackEntry>{two[1]});

  c->messages.answer = true; // "确实要清空？" yes, then "操作成功！…" yes
  int opened = 0;
  c->app->netshelf.setStackWindow([&] { ++opened; });
  EXPECT_TRUE(c->app->netshelf.clearstack());
  EXPECT_EQ(c->messages.asked, (QStringList{QStringLiteral("确实要清空？"),
                                            QStringLiteral("操作成功！是否访问网络书架？")}));
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(service.getstack(), QList<StackEntry>{});

  EXPECT_EQ(service.bookstacksave(two), ServiceClient::Outcome::Ok);
  EXPECT_EQ(service.bookstacksave({}), ServiceClient::Outcome::Ok);
  EXPECT_EQ(service.getstack(), QList<StackEntry>{});
}

TEST_F(RealServer, AWrongPasswordIsACredentialFailureOnEveryPasswordExchange) {
  Client c(server.base());
  ServiceClient &service = c.app->service;
  service.login(QStringLiteral("张 三"), QStringLiteral("wrong"));
  int dialogs = 0;
  service.setLoginDialog([&] { ++dialogs; });
  EXPECT_EQ(service.bookstackadd({}), ServiceClient::Outcome::LoginFail);
  EXPECT_EQ(service.bookstacksave({}), ServiceClient::Outcome::LoginFail);
  EXPECT_EQ(service.clearstack(), ServiceClient::Outcome::LoginFail);
  EXPECT_EQ(service.searchsetsave("a,1\r\n"), ServiceClient::Outcome::LoginFail);
  EXPECT_EQ(c.messages.said, QStringList(4, QStringLiteral("登陆账号错误，请重新登录!")));
  EXPECT_EQ(dialogs, 4);
}

TEST_F(RealServer, SearchSetComesBackAsItWent) {
  auto c = loggedIn();
  // Nothing uploaded yet: no list, and the user's is kept.
  EXPECT_FALSE(c->app->service.getsearchset());
  const QByteArray list = codec::encode(QStringLiteral(".site-a.example,1\r\n.站点,0\r\n"));
  EXPECT_EQ(c->app->service.searchsetsave(list), ServiceClient::Outcome::Ok);
  EXPECT_EQ(c->app->service.getsearchset(), list);
}

TEST_F(RealServer, VersionCheckHearsOfANewerVersion) {
  Client c(server.base());
  c.messages.answer = false;
  EXPECT_EQ(c.app->updatecheck.checkup(true), ServiceClient::CheckResult::Latest);
  EXPECT_EQ(c.messages.said, QStringList{QStringLiteral("当前版本为最新版本，无需更新！")});
  ASSERT_EQ(server.admin({QStringLiteral("set-version"), QStringLiteral("1.01")}), 0);
  int started = 0;
  c.app->updatecheck.setUpdater([&] { ++started; });
  EXPECT_EQ(c.app->updatecheck.checkup(false), ServiceClient::CheckResult::Newer);
  EXPECT_EQ(c.messages.asked, QStringList{QStringLiteral("发现新版本，是否更新？")});
  EXPECT_EQ(started, 0); // answered no
  c.messages.answer = true;
  c.app->updatecheck.checkup(false);
  EXPECT_EQ(started, 1);
}

TEST_F(RealServer, UpdaterSignedWithTheServicesKeyArrivesVerifiedAndOnlyOnce) {
  QTemporaryDir keys;
  const QString secret = keys.filePath(QStringLiteral("secret.hex")),
                pub = keys.filePath(QStringLiteral("public.hex")),
                program = keys.filePath(QStringLiteral("update.bin"));
  ASSERT_EQ(server.admin({QStringLiteral("keygen"), secret, pub}), 0);
  QFile p(program);
  ASSERT_TRUE(p.open(QIODevice::WriteOnly));
  p.write("#!/bin/sh\nexit 0\n");
  p.close();
  ASSERT_EQ(server.admin({QStringLiteral("publish-updater"), program, QStringLiteral("--sign"),
                          secret}),
            0);
  QFile k(pub);
  ASSERT_TRUE(k.open(QIODevice::ReadOnly));
  qputenv("INKWREN_UPDATER_KEY", k.readAll().trimmed());

  Client c(server.base());
  EXPECT_TRUE(c.app->service.upup(c.app->updater));
  EXPECT_TRUE(c.app->updater.verified());
  EXPECT_FALSE(c.app->service.upup(c.app->updater)); // the stamp sent is the latest
  // A program that does not trust the service's key keeps nothing.
  Client other(server.base());
  qunsetenv("INKWREN_UPDATER_KEY");
  EXPECT_FALSE(other.app->service.upup(other.app->updater));
  EXPECT_FALSE(QFile::exists(other.app->updater.path()));
}

} // namespace
} // namespace inkwren::test
