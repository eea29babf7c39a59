// Page fetching against a loopback server: redirects, time-outs, error statuses, the proxy,
// form encoding, and command 4 of rule expressions.
#include "rules/fetcher.h"

#include "core/settings.h"
#include "rules/eventpump.h"
#include "rules/httpclient.h"
#include "rules/imagetype.h"
#include "rules/ruleinterpreter.h"
#include "rules/webpath.h"
#include "support/loopback_server.h"

#include "gbk.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace inkwren {
namespace {

using test::gbk;
using test::HttpRequest;
using test::HttpResponse;
using test::LoopbackServer;

class Fetching : public ::testing::Test {
protected:
  Fetching() : settings_(QStringLiteral("/nonexistent/config/set.ini")), fetcher_(settings_, webpath_) {
    settings_.newset();
  }
  void useProxy(const char *type, const QString &port, const char *user = "user", const char *pass = "pa ss") {
    settings_.setValue(Settings::useproxy, QStringLiteral("1"));
    settings_.setValue(Settings::proxytype, QString::fromUtf8(type));
    settings_.setValue(Settings::proxyserver, QStringLiteral("127.0.0.1"));
    settings_.setValue(Settings::proxyport, port);
    settings_.setValue(Settings::proxyuser, QString::fromUtf8(user));
    settings_.setValue(Settings::proxypass, QString::fromUtf8(pass));
  }

  LoopbackServer server_;
  Settings settings_;
  WebPath webpath_;
  Fetcher fetcher_;
};

// A port on which nothing listens.
quint16 closedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

TEST_F(Fetching, PageComesBackAsOneLineOfUnconvertedBytes) {
  server_.route("/gbk", HttpResponse::text(gbk("第一行\r\n第二行\n第三行\r")));
  EXPECT_EQ(fetcher_.opurl(server_.url("/gbk")), gbk("第一行第二行第三行"));
  const HttpRequest r = server_.requests().value(0);
  EXPECT_EQ(r.method, "GET");
  EXPECT_FALSE(r.hasHeader("User-Agent"));
}

TEST_F(Fetching, DirectoryFlagSetsWebpathEvenWhenFetchFails) {
  server_.route("/book/12/index.html", HttpResponse::text("toc"));
  webpath_.set("before");
  EXPECT_EQ(fetcher_.opurl(server_.url("/book/12/index.html"), {}, 0, 0), "toc");
  EXPECT_EQ(webpath_.get(), "before");
  EXPECT_EQ(fetcher_.opurl(server_.url("/book/12/index.html"), {}, 0, 1), "toc");
  EXPECT_EQ(webpath_.get(), server_.url("/book/12/"));
  EXPECT_EQ(fetcher_.opurl(server_.url("/gone/x.html"), {}, 0, 1), "");
  EXPECT_EQ(webpath_.get(), server_.url("/gone/"));
}

TEST_F(Fetching, RedirectsFollowedUpToFifteen) {
  for (int i = 0; i < 16; ++i)
    server_.route("/r" + QByteArray::number(i), HttpResponse::redirect("/r" + QByteArray::number(i + 1)));
  server_.route("/r16", HttpResponse::text("arrived"));
  // r1 … r16 is fifteen redirects, r0 … r16 sixteen.
  EXPECT_EQ(fetcher_.opurl(server_.url("/r1")), "arrived");
  EXPECT_EQ(fetcher_.opurl(server_.url("/r0")), "");
}

TEST_F(Fetching, RedirectKeepsCookiesOfTheClient) {
  server_.route("/login", HttpResponse::redirect("/home").withHeader("Set-Cookie", "s=42; Path=/"));
  server_.route("/home", [](const HttpRequest &r) { return HttpResponse::text("cookie:" + r.header("Cookie")); });
  EXPECT_EQ(fetcher_.opurl(server_.url("/login")), "cookie:s=42");
  // A new client starts without cookies.
  EXPECT_EQ(fetcher_.opurl(server_.url("/home")), "cookie:");
}

TEST_F(Fetching, FailuresGiveEmptyText) {
  server_.route("/404", HttpResponse::error(404));
  server_.route("/500", HttpResponse::text("oops", 500));
  server_.route("/drop", [](const HttpRequest &) {
    HttpResponse r;
    r.dropConnection = true;
    return r;
  });
  server_.route("/file", HttpResponse::redirect("file:///etc/hostname"));
  const QByteArray unreachable = "http://127.0.0.1:" + QByteArray::number(closedPort()) + "/x";
  for (const QByteArray &address : {server_.url("/404"), server_.url("/500"), server_.url("/drop"),
                                    server_.url("/file"), unreachable, QByteArray("file:///etc/hostname"),
                                    "https://" + server_.authority() + "/404", // no TLS there
                                    QByteArray("not an address")})
    EXPECT_EQ(fetcher_.opurl(address), "") << address.constData();
}

TEST_F(Fetching, ReadTimeOutIsSilenceNotTotalTime) {
  server_.route("/slow", HttpResponse::text("late").delayed(1500));
  // Ten pieces 150 ms apart: 1.5 s in all, but never 400 ms without a byte.
  server_.route("/trickle", HttpResponse::text("0123456789").trickled(1, 150));
  EXPECT_EQ(fetcher_.opurl(server_.url("/slow"), {}, 400), "");
  EXPECT_EQ(fetcher_.opurl(server_.url("/trickle"), {}, 400), "0123456789");
}

TEST_F(Fetching, TransferBelowTheFloorRateOrPastItsBoundFails) {
  // Never silent for the read time-out, but a few bytes a second: today's trickling pages.
  server_.route("/trickle", HttpResponse::text(QByteArray(400, 't')).trickled(2, 100));
  server_.route("/fast", HttpResponse::text(QByteArray(300000, 'f')));
  const auto options = [](int minRate, int windowMs, int totalMs) {
    HttpOptions o;
    o.readTimeoutMs = 2000;
    o.minBytesPerSecond = minRate;
    o.rateWindowMs = windowMs;
    o.totalTimeoutMs = totalMs;
    return o;
  };
  const struct {
    const char *name;
    HttpOptions options;
    const char *path;
    bool ok;
  } cases[] = {
      {"TrickleUnderFloor", options(1024, 300, 0), "/trickle", false},
      {"TricklePastTotalBound", options(0, 0, 600), "/trickle", false},
      {"FastPageKeepsFloor", options(1024, 300, 0), "/fast", true},
      {"FloorStartsWithTheAnswer", options(1024, 300, 0), "/late", true},
  };
  server_.route("/late", HttpResponse::text("late but quick").delayed(700));
  for (const auto &c : cases) {
    HttpClient client(c.options);
    const HttpResult r = client.get(server_.url(c.path));
    EXPECT_EQ(r.ok, c.ok) << c.name << ": " << r.error.toStdString();
    EXPECT_EQ(r.body.isEmpty(), !c.ok) << c.name;
  }
}

TEST_F(Fetching, CancelEndsTrickleUnderWay) {
  server_.route("/trickle", HttpResponse::text(QByteArray(400, 't')).trickled(1, 100));
  std::atomic<bool> cancel{false};
  HttpOptions o;
  o.cancel = &cancel;
  HttpClient client(o);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    cancel.store(true);
  });
  const HttpResult r = client.get(server_.url("/trickle"));
  stopper.join();
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.body.isEmpty());
}

TEST_F(Fetching, ClientTimeOutDefaultsTo30Seconds) {
  const struct {
    int given, used;
  } cases[] = {{0, 30000}, {-5, 30000}, {10000, 10000}, {1, 1}};
  for (const auto &c : cases) {
    auto client = fetcher_.creathttp(c.given);
    ASSERT_TRUE(client);
    EXPECT_EQ(client->options().readTimeoutMs, c.used) << c.given;
  }
}

TEST_F(Fetching, OversizedBodyFails) {
  server_.route("/big", HttpResponse::text(QByteArray(5000, 'x')));
  HttpOptions options;
  options.maxBody = 4096;
  HttpClient client(options);
  HttpResult r = client.get(server_.url("/big"));
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.body.isEmpty());
  options.maxBody = 5000;
  HttpClient roomy(options);
  EXPECT_TRUE(roomy.get(server_.url("/big")).ok);
}

TEST_F(Fetching, CancelEndsFetchUnderWay) {
  server_.route("/slow", HttpResponse::text("late").delayed(3000));
  std::atomic<bool> cancel{false};
  Fetcher worker(settings_, webpath_, &cancel);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    cancel.store(true);
  });
  EXPECT_EQ(worker.opurl(server_.url("/slow")), "");
  stopper.join();
}

TEST(FormBody, EncodesValuesByteByByte) {
  const struct {
    QByteArrayList lines;
    QByteArray body;
  } cases[] = {
      {{"username=a b"}, "username=a+b"},
      {{"username=me", "password=p&w=1"}, "username=me&password=p%26w%3D1&"},
      {{gbk("bookname0=三体"), "upcount=1"}, "bookname0=%C8%FD%CC%E5&upcount=1&"},
      {{"searchset=a,1\r\nb,0\r\n"}, "searchset=a%2C1%0D%0Ab%2C0%0D%0A"},
      {{"empty="}, "empty="},
      {{"x=-_.~*"}, "x=%2D%5F%2E%7E%2A"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(HttpClient::formBody(c.lines), c.body) << c.body.constData();
}

TEST_F(Fetching, FormLinesArePosted) {
  server_.route("/login", [](const HttpRequest &r) {
    return HttpResponse::text(r.method + "|" + r.header("Content-Type") + "|" + r.body);
  });
  EXPECT_EQ(fetcher_.opurl(server_.url("/login"), {"username=a b", gbk("password=密")}),
            "POST|application/x-www-form-urlencoded|username=a+b&password=%C3%DC&");
  EXPECT_EQ(fetcher_.opurl(server_.url("/login"), {}), "GET||");
}

TEST_F(Fetching, NonAsciiAddressesArePercentEncoded) {
  server_.setFallback([](const HttpRequest &r) { return HttpResponse::text(r.target); });
  EXPECT_EQ(fetcher_.opurl(server_.url("/s?q=") + gbk("三体 x")), "/s?q=%C8%FD%CC%E5%20x");
}

TEST_F(Fetching, BasicProxyCredentialsOnEveryRequest) {
  server_.setFallback([](const HttpRequest &r) {
    if (r.header("Proxy-Authorization") != "Basic dXNlcjpwYSBzcw==")
      return HttpResponse::error(407).withHeader("Proxy-Authenticate", "Basic realm=\"p\"");
    return HttpResponse::text("via proxy " + r.target);
  });
  useProxy("1", QString::number(server_.port()));
  EXPECT_EQ(fetcher_.opurl("http://novel.invalid/book/1.html"), "via proxy http://novel.invalid/book/1.html");
  ASSERT_EQ(server_.requests().size(), 1);
}

TEST_F(Fetching, OtherProxyTypeSendsNoCredentialsUpFront) {
  server_.setFallback([](const HttpRequest &r) {
    if (!r.hasHeader("Proxy-Authorization"))
      return HttpResponse::error(407).withHeader("Proxy-Authenticate", "Basic realm=\"p\"");
    return HttpResponse::text("ok");
  });
  useProxy("0", QString::number(server_.port()));
  fetcher_.opurl("http://novel.invalid/1.html");
  QList<HttpRequest> seen = server_.requests();
  ASSERT_FALSE(seen.isEmpty());
  EXPECT_EQ(seen[0].target, "http://novel.invalid/1.html");
  EXPECT_FALSE(seen[0].hasHeader("Proxy-Authorization"));
}

TEST_F(Fetching, UnusableProxyPortFailsEveryFetch) {
  server_.route("/page", HttpResponse::text("page"));
  for (const char *port : {"", "abc", "70000", "-1"}) {
    useProxy("1", QString::fromUtf8(port));
    EXPECT_FALSE(fetcher_.creathttp(0)) << port;
    EXPECT_EQ(fetcher_.opurl(server_.url("/page")), "") << port;
  }
  settings_.setValue(Settings::useproxy, QStringLiteral("0"));
  EXPECT_EQ(fetcher_.opurl(server_.url("/page")), "page");
}

TEST_F(Fetching, MainThreadKeepsProcessingEventsDuringFetch) {
  ASSERT_TRUE(EventPump::onMainThread());
  server_.route("/slow", HttpResponse::text("done").delayed(700));
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(50);
  EXPECT_EQ(fetcher_.opurl(server_.url("/slow")), "done");
  EXPECT_GE(ticks, 3);
}

TEST_F(Fetching, FollowLinkCommand) {
  server_.route("/book/1/index.html", HttpResponse::text(gbk("<a href=\"2.html\">下一页</a>")));
  server_.route("/book/1/2.html", HttpResponse::text(gbk("第二页\r\n正文")));
  RuleInterpreter interp(fetcher_);
  const QByteArray page = fetcher_.opurl(server_.url("/book/1/index.html"), {}, 0, 1);
  EXPECT_EQ(interp.guizstr(page, gbk("{{4}}href=\"(.*?)\"{{t}}[webpath]$1")), gbk("第二页正文"));
  EXPECT_EQ(webpath_.get(), server_.url("/book/1/"));
  // No match, an empty expansion or an invalid pattern empties the text; later commands then
  // work on the empty text.
  EXPECT_EQ(interp.guizstr(page, gbk("{{4}}nomatch(.*){{t}}$1\r\n{{2}}{{t}}x\r\n{{3}}^{{t}}y")), "y");
  EXPECT_EQ(interp.guizstr(page, gbk("{{4}}href=\"(x?)2{{t}}$1")), "");
  EXPECT_EQ(interp.guizstr(page, gbk("{{4}}(href{{t}}$1")), "");
}

TEST(ImageType, ExtensionFromFirstTwoBytes) {
  const struct {
    QByteArray data;
    const char *extension;
  } cases[] = {
      {QByteArray("\x89\x50\x4E\x47", 4), ".png"}, {QByteArray("\x3C\x68"), ".jpg"},
      {QByteArray(), ".jpg"},                       {QByteArray("G"), ".jpg"},
      {QByteArray("GIF89a"), ".gif"},               {QByteArray("BM"), ".bmp"},
      {QByteArray("\xFF\xD8\xFF"), ".jpg"},         {QByteArray("\x0A\x05"), ".pcx"},
      {QByteArray("8BPS"), ".psd"},                 {QByteArray("\x59\xA6"), ".ras"},
      {QByteArray("\x01\xDA"), ".sgi"},             {QByteArray("II*"), ".tif"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(getpt(c.data), QByteArray(c.extension)) << c.data.toHex().constData();
}

TEST(Delayx, StepsOfHundredMilliseconds) {
  const struct {
    int ms, steps;
  } cases[] = {{0, 0}, {-10, 0}, {1, 1}, {100, 1}, {250, 3}, {500, 5}};
  for (const auto &c : cases) {
    int calls = 0;
    EXPECT_EQ(EventPump::Delayx(c.ms, [&] { ++calls; }), c.steps) << c.ms;
    EXPECT_EQ(calls, c.steps) << c.ms;
  }
}

} // namespace
} // namespace inkwren
