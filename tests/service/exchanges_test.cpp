// The exchanges as the service sees them (exact request bytes, on a capture server) and how
// their replies are read (scripted replies), including a service that can't be reached.
#include "service_fixture.h"

#include "core/codec.h"
#include "support/loopback_server.h"

namespace inkwren::test {
namespace {

struct CaptureFixture : ::testing::Test {
  LoopbackServer server;
  Client client{QString::fromLatin1(server.url("/"))};
  ServiceClient &service = client.app->service;

  // Answers every service address with reply and gives the single request that arrived.
  void reply(const QByteArray &body) {
    server.setFallback([body](const HttpRequest &) { return HttpResponse::text(body); });
  }
  HttpRequest only() {
    const QList<HttpRequest> r = server.requests();
    EXPECT_EQ(r.size(), 1);
    return r.isEmpty() ? HttpRequest{} : r.front();
  }
  void addBook(const QString &category, const QString &name, const QString &author,
               const QString &url) {
    ASSERT_TRUE(client.app->shelf.newbook_do(category, name, author, url));
  }
};

TEST_F(CaptureFixture, LoginSendsBothLinesEncodedWithTrailingAmpersandAndNoUserAgent) {
  reply("<ok>");
  EXPECT_EQ(service.trylogin(QStringLiteral("张 三"), QStringLiteral("p w~1")),
            ServiceClient::LoginResult::Accepted);
  const HttpRequest r = only();
  EXPECT_EQ(r.method, "POST");
  EXPECT_EQ(r.target, "/iw_login.php");
  EXPECT_EQ(r.body, "username=%D5%C5+%C8%FD&password=p+w%7E1&");
  EXPECT_EQ(r.header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_FALSE(r.hasHeader("User-Agent"));
  // Logging in is the dialog's business: the exchange itself sets nothing.
  EXPECT_FALSE(service.loggedIn());
}

TEST_F(CaptureFixture, ShelfListSendsTheNameAloneWithoutAmpersand) {
  reply("<ok>");
  service.login(QStringLiteral("张 三"), QStringLiteral("secret"));
  ASSERT_TRUE(service.getstack());
  EXPECT_EQ(only().body, "username=%D5%C5+%C8%FD");
}

TEST_F(CaptureFixture, WholeShelfUploadNumbersBooksInTreeOrder) {
  addBook(QStringLiteral("玄幻"), QStringLiteral("斗破"), QStringLiteral("土豆"),
          QStringLiteral("http://a.example/1/"));
  addBook(QStringLiteral("都市"), QStringLiteral("Book B"), QString(),
          QStringLiteral("http://b.example/x?id=2&p=1"));
  reply("<ok>");
  service.login(QStringLiteral("u"), QStringLiteral("pw"));
  client.messages.answer = false;
  EXPECT_TRUE(client.app->netshelf.upbookall());
  EXPECT_EQ(only().target, "/iw_bookstackadd.php");
  EXPECT_EQ(only().body, "username=u&password=pw&"
                         "bookname0=%B6%B7%C6%C6&authorname0=%CD%C1%B6%B9&booktype0=%D0%FE%BB%C3&"
                         "downurl0=http%3A%2F%2Fa%2Eexample%2F1%2F&"
                         "bookname1=Book+B&authorname1=&booktype1=%B6%BC%CA%D0&"
                         "downurl1=http%3A%2F%2Fb%2Eexample%2Fx%3Fid%3D2%26p%3D1&"
                         "upcount=2&");
  EXPECT_EQ(client.messages.asked, QStringList{QStringLiteral("上传成功！是否访问网络书架？")});
}

TEST_F(CaptureFixture, OneBookUploadSendsUpcountOne) {
  addBook(QStringLiteral("c"), QStringLiteral("n"), QStringLiteral("a"), QStringLiteral("u"));
  const QString id = client.app->shelf.categories().front().books.front().id;
  reply("<ok>");
  service.login(QStringLiteral("u"), QStringLiteral("pw"));
  EXPECT_TRUE(client.app->netshelf.upbook(id));
  EXPECT_EQ(only().body, "username=u&password=pw&bookname0=n&authorname0=a&booktype0=c&"
                         "downurl0=u&upcount=1&");
}

TEST_F(CaptureFixture, SavingAnEmptyListSendsUpcountZero) {
  reply("<ok>");
  service.login(QStringLiteral("u"), QStringLiteral("pw"));
  EXPECT_EQ(service.bookstacksave({}), ServiceClient::Outcome::Ok);
  EXPECT_EQ(only().target, "/iw_bookstacksave.php");
  EXPECT_EQ(only().body, "username=u&password=pw&upcount=0&");
  EXPECT_EQ(client.messages.said, QStringList{QStringLiteral("保存成功!")});
}

TEST_F(CaptureFixture, SearchSetLineBreaksArePercentEncoded) {
  reply("<ok>");
  service.login(QStringLiteral("u"), QStringLiteral("pw"));
  EXPECT_EQ(service.searchsetsave("a.b,1\r\nc,0\r\n"), ServiceClient::Outcome::Ok);
  EXPECT_EQ(only().body, "username=u&password=pw&searchset=a%2Eb%2C1%0D%0Ac%2C0%0D%0A&");
  EXPECT_EQ(client.messages.said, QStringList{QStringLiteral("上传成功!")});
}

TEST_F(CaptureFixture, VersionCheckSendsTheVersionWithoutDots) {
  reply("");
  const struct {
    const char *version, *target;
  } cases[] = {{"1.00", "/iw_checkup.php?iwv=100"}, {"2.1.3", "/iw_checkup.php?iwv=213"}};
  for (const auto &c : cases) {
    server.clearRequests();
    client.app->settings.setValue(Settings::versionid, QString::fromLatin1(c.version));
    service.checkversion();
    EXPECT_EQ(only().method, "GET");
    EXPECT_EQ(only().target, c.target);
  }
}

TEST_F(CaptureFixture, SaveRepliesReadOkBeforeLoginfail) {
  service.login(QStringLiteral("u"), QStringLiteral("pw"));
  int dialogs = 0;
  service.setLoginDialog([&] { ++dialogs; });
  const struct {
    QByteArray reply;
    ServiceClient::Outcome outcome;
    QString said;
    int dialogs;
  } cases[] = {
      {"x<loginfail>y<ok>z", ServiceClient::Outcome::Ok, QStringLiteral("保存成功!"), 0},
      {"<OK>", ServiceClient::Outcome::Failed, QStringLiteral("保存失败!"), 0},
      {"", ServiceClient::Outcome::Failed, QStringLiteral("保存失败!"), 0},
      {"<loginfail>", ServiceClient::Outcome::LoginFail,
       QStringLiteral("登陆账号错误，请重新登录!"), 1},
  };
  for (const auto &c : cases) {
    client.messages.said.clear();
    dialogs = 0;
    reply(c.reply);
    EXPECT_EQ(service.bookstacksave({}), c.outcome) << c.reply.constData();
    EXPECT_EQ(client.messages.said, QStringList{c.said}) << c.reply.constData();
    EXPECT_EQ(dialogs, c.dialogs) << c.reply.constData();
  }
  // A refused password leaves the credentials as they were.
  EXPECT_EQ(service.loginuser(), u"u");
  EXPECT_EQ(service.loginpass(), u"pw");
}

TEST_F(CaptureFixture, ShelfListReadsRecordsSplitOverLinesAndRefusesLoginfail) {
  service.login(QStringLiteral("u"), QStringLiteral("pw"));
  reply(codec::encode(QStringLiteral(
      "<ok>\r\n<book><bn>斗\r\n破</bn><an>土豆</an>\n<bt>玄幻</bt><du>http://a/1/</du></book>"
      "<BOOK><bn>B</bn><an></an><bt>c</bt><du>u</du></BOOK><book><bn>cut</bn>")));
  const auto entries = service.getstack();
  ASSERT_TRUE(entries);
  EXPECT_EQ(*entries, (QList<StackEntry>{{QStringLiteral("斗破"), QStringLiteral("土豆"),
                                          QStringLiteral("玄幻"), QStringLiteral("http://a/1/")},
                                         {QStringLiteral("B"), QString(), QStringLiteral("c"),
                                          QStringLiteral("u")}}));
  // The list exchange carries no password: "<loginfail>" there is just a failure.
  int dialogs = 0;
  service.setLoginDialog([&] { ++dialogs; });
  reply("<loginfail>");
  EXPECT_FALSE(service.getstack());
  EXPECT_EQ(client.messages.said, QStringList{QStringLiteral("操作失败!")});
  EXPECT_EQ(dialogs, 0);
}

TEST_F(CaptureFixture, SearchSetDownloadNeedsAWholeNonEmptyBlock) {
  service.login(QStringLiteral("u"), QStringLiteral("pw"));
  const struct {
    QByteArray reply;
    std::optional<QByteArray> list;
  } cases[] = {
      {"<ok><searchset>a,1\r\nb,0\r\n</searchset>", QByteArray("a,1\r\nb,0\r\n")},
      {"<ok><searchset>a,1\r\nb,", std::nullopt},
      {"<ok><searchset></searchset>", std::nullopt},
      {"<ok></searchset>a,1<searchset>", std::nullopt},
      {"<searchset>a,1\r\n</searchset>", std::nullopt},
  };
  for (const auto &c : cases) {
    client.messages.said.clear();
    reply(c.reply);
    EXPECT_EQ(service.getsearchset(), c.list) << c.reply.constData();
    EXPECT_EQ(client.messages.said,
              c.list ? QStringList{} : QStringList{QStringLiteral("操作失败!")})
        << c.reply.constData();
  }
}

TEST_F(CaptureFixture, LoginGuardSendsNothingWhenNobodyLogsIn) {
  reply("<ok>");
  EXPECT_FALSE(service.getstack());
  EXPECT_FALSE(client.app->netshelf.upbookall());
  EXPECT_FALSE(client.app->netshelf.clearstack());
  EXPECT_TRUE(server.requests().isEmpty());
  EXPECT_TRUE(client.messages.said.isEmpty());
  EXPECT_TRUE(client.messages.asked.isEmpty());
  // A dialog that logs someone in lets the exchange go ahead as that user.
  service.setLoginDialog([&] { service.login(QStringLiteral("li"), QStringLiteral("x")); });
  EXPECT_TRUE(service.getstack());
  EXPECT_EQ(only().body, "username=li");
}

TEST_F(CaptureFixture, UploadOfNoNovelSaysSoAndSendsNothing) {
  service.login(QStringLiteral("u"), QStringLiteral("pw"));
  for (const QString &id : {QString(), QStringLiteral("999"), QStringLiteral("1")})
    EXPECT_FALSE(client.app->netshelf.upbook(id));
  EXPECT_EQ(client.messages.said, QStringList(3, QStringLiteral("当前没有选中小说!")));
  EXPECT_TRUE(server.requests().isEmpty());
}

TEST(Unreachable, EachExchangeEndsInItsOwnMessageOrSilence) {
  // Nothing listens on the discard port of the loopback address.
  Client client(QStringLiteral("http://127.0.0.1:9/"));
  ServiceClient &service = client.app->service;
  ScriptedMessages &m = client.messages;
  EXPECT_EQ(service.trylogin(QStringLiteral("u"), QStringLiteral("p")),
            ServiceClient::LoginResult::Unreachable);
  EXPECT_TRUE(m.said.isEmpty());
  service.login(QStringLiteral("u"), QStringLiteral("p"));
  EXPECT_FALSE(service.getstack());
  EXPECT_FALSE(client.app->netshelf.upbookall());
  EXPECT_EQ(client.app->updatecheck.checkup(true), ServiceClient::CheckResult::Unreachable);
  EXPECT_EQ(m.said, (QStringList{QStringLiteral("操作失败!"), QStringLiteral("上传失败!"),
                                 QStringLiteral("当前版本为最新版本，无需更新！")}));
  m.said.clear();
  client.app->updatecheck.checkup(false);
  EXPECT_TRUE(m.said.isEmpty());
  EXPECT_TRUE(m.asked.isEmpty());
}

} // namespace
} // namespace inkwren::test
