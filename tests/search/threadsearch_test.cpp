// The search coordinator and its workers against sites on the loopback server.
#include "core/settings.h"
#include "rules/fetchcontext.h"
#include "search/searchsites.h"
#include "search/threadsearch.h"
#include "search/threadsearchxx.h"
#include "support/loopback_server.h"
#include "support/search_sites.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;
using namespace std::chrono_literals;

namespace {

SearchSite siteFrom(const QString &record) {
  auto sites = SearchSites::loadss({}, record);
  return sites.empty() ? SearchSite{} : sites.front();
}

struct Reports {
  QList<SearchHit> hits;
  QStringList panel0, panel1;
  QList<std::array<int, 3>> starts; // row, slot, tick
  int ended = 0;
};

struct SearchFixture : ::testing::Test {
  QTemporaryDir dir;
  Settings settings{dir.filePath(QStringLiteral("set.ini"))};
  LoopbackServer server;

  void SetUp() override { settings.newset(); }

  // Connects a search's reports to a record of them.
  static void record(TThreadSearch &search, Reports &run) {
    QObject::connect(&search, &TThreadSearch::hit, [&run](const SearchHit &h) { run.hits << h; });
    QObject::connect(&search, &TThreadSearch::status, [&run](int panel, const QString &t) {
      (panel == 0 ? run.panel0 : run.panel1) << t;
    });
    QObject::connect(&search, &TThreadSearch::workerStarted, [&run](int row, int slot, int tick) {
      run.starts.append({row, slot, tick});
    });
    QObject::connect(&search, &TThreadSearch::ended, [&run] { ++run.ended; });
  }

  // Runs until the search has ended (a guard ends the wait after a minute).
  static void waitEnded(TThreadSearch &search) {
    QEventLoop loop;
    QObject::connect(&search, &TThreadSearch::ended, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (search.running())
      loop.exec();
  }

  Reports search(std::vector<SearchSite> sites, SearchQuery query, int slotcount = 5,
                 int timeoutMs = 10000) {
    Reports run;
    TThreadSearch s(settings, std::move(sites), std::move(query), slotcount, timeoutMs, 1ms);
    record(s, run);
    s.start();
    waitEnded(s);
    return run;
  }

  SearchSite listSiteAt(const QString &name, const QString &key, const QByteArray &prefix) {
    return siteFrom(listSite(name, key, server.url(prefix)));
  }
};

QStringList names(const QList<SearchHit> &hits) {
  QStringList out;
  for (const SearchHit &h : hits)
    out << h.name;
  return out;
}

TEST_F(SearchFixture, RealResultPages) {
  server.route("/modules/article/search.php",
               HttpResponse::text(corpusPage(QStringLiteral("qudushu_search_wo.html"))));
  server.route("/search.php",
               HttpResponse::text(corpusPage(QStringLiteral("samsbook_search_shaosong.html"))));
  const QByteArray base = "http://" + server.authority();
  const SearchSite qudushu = siteFrom(qudushuSite(base));
  const SearchSite samsbook = siteFrom(samsbookSite(base));

  Reports byName = search({qudushu}, {SearchType::ByName, QStringLiteral("我")});
  ASSERT_EQ(byName.hits.size(), 47) << "three of the fifty titles lack 我";
  EXPECT_EQ(byName.hits.front(),
            (SearchHit{QStringLiteral("我罪我悔我回归"), QStringLiteral("去读书"),
                       QStringLiteral("我是一个好人"), QString(),
                       QString::fromLatin1(base) + QStringLiteral("/html/484035/asc-1/")}));
  EXPECT_EQ(names(byName.hits).count(QStringLiteral("我，地球")), 3) << "duplicates stay";
  EXPECT_EQ(server.requests().front().target,
            QByteArray("/modules/article/search.php?searchkey=%E6%88%91"));

  Reports byAuthor = search({qudushu}, {SearchType::ByAuthor, QStringLiteral("我")});
  EXPECT_EQ(byAuthor.hits.size(), 5);
  for (const SearchHit &h : byAuthor.hits)
    EXPECT_TRUE(h.author.contains(QStringLiteral("我"))) << h.name.toStdString();

  Reports shaosong = search({samsbook}, {SearchType::ByName, QStringLiteral("绍宋")});
  ASSERT_EQ(shaosong.hits.size(), 2);
  EXPECT_EQ(shaosong.hits[0],
            (SearchHit{QStringLiteral("绍宋"), QStringLiteral("神马小说网"),
                       QStringLiteral("榴弹怕水"), QStringLiteral("岳王庙特典"),
                       QString::fromLatin1(base) + QStringLiteral("/book/0/282/")}));
  EXPECT_EQ(shaosong.hits[1].name, QStringLiteral("绍宋之后"));
  Reports exact = search({samsbook}, {SearchType::ByName, QStringLiteral("绍宋"), true});
  EXPECT_EQ(names(exact.hits), QStringList{QStringLiteral("绍宋")});
}

TEST_F(SearchFixture, NameAuthorAndExactFilter) {
  const QByteArray page = listPage({
      {QStringLiteral("星海"), QStringLiteral("甲"), QStringLiteral("一"), QStringLiteral("1/")},
      {QStringLiteral(" 星海归途 "), QStringLiteral("星海客"), QStringLiteral("二"),
       QStringLiteral("2/")},
      {QStringLiteral("归途"), QStringLiteral("星海"), QStringLiteral("三"), QStringLiteral("3/")},
  });
  server.route("/a/search", HttpResponse::text(page));
  server.route("/a/author", HttpResponse::text(page));
  const SearchSite site = listSiteAt(QStringLiteral("甲站"), QStringLiteral("a"), "/a");
  struct Case {
    SearchType type;
    bool exact;
    QStringList names;
  } cases[] = {
      {SearchType::ByName, false, {QStringLiteral("星海"), QStringLiteral("星海归途")}},
      {SearchType::ByName, true, {QStringLiteral("星海")}},
      {SearchType::ByAuthor, false, {QStringLiteral("星海归途"), QStringLiteral("归途")}},
      {SearchType::ByAuthor, true, {QStringLiteral("归途")}},
  };
  for (const Case &c : cases) {
    Reports run = search({site}, {c.type, QStringLiteral("星海"), c.exact});
    EXPECT_EQ(names(run.hits), c.names) << int(c.type) << c.exact;
  }
  // Templates are trimmed; "[webpath]" in s9 is the search address's directory.
  Reports run = search({site}, {SearchType::ByName, QStringLiteral("星海归途")});
  ASSERT_EQ(run.hits.size(), 1);
  EXPECT_EQ(run.hits[0].url, QString::fromLatin1(server.url("/a/2/")));
  EXPECT_EQ(run.hits[0].latest, QStringLiteral("二"));
}

TEST_F(SearchFixture, KeyAndEncodedKeyInTheAddress) {
  server.setFallback([](const HttpRequest &) { return HttpResponse::text("<html></html>"); });
  SearchSite site;
  site.name = QStringLiteral("站");
  site.s[2] =
      QString::fromLatin1(server.url("/s")) + QStringLiteral("?e=[enkey]&k=[key]&E=[ENKEY]");
  struct Case {
    QString key;
    QByteArray target;
  } cases[] = {
      {QStringLiteral("你好"), "/s?e=%E4%BD%A0%E5%A5%BD&k=%C4%E3%BA%C3&E=[ENKEY]"},
      {QStringLiteral("你'好"), "/s?e=%C4%E3'%BA%C3&k=%C4%E3'%BA%C3&E=[ENKEY]"},
  };
  for (const Case &c : cases) {
    server.clearRequests();
    search({site}, {SearchType::ByName, c.key});
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().front().target, c.target);
  }
}

TEST_F(SearchFixture, ThreeSitesFiveSlotsStartInTheFirstTick) {
  std::vector<SearchSite> sites;
  for (const char *k : {"a", "b", "c"}) {
    const QByteArray p = QByteArray("/") + k;
    server.route(p + "/search",
                 HttpResponse::text(listPage(
                     {{QStringLiteral("书") + QLatin1String(k), {}, {}, QStringLiteral("x/")}})));
    sites.push_back(listSiteAt(QStringLiteral("站") + QLatin1String(k), QLatin1String(k), p));
  }
  Reports run = search(sites, {SearchType::ByName, QStringLiteral("书")}, 5);
  ASSERT_EQ(run.starts.size(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(run.starts[i], (std::array<int, 3>{i, i, 0}));
  QStringList got = names(run.hits);
  got.sort();
  EXPECT_EQ(got,
            (QStringList{QStringLiteral("书a"), QStringLiteral("书b"), QStringLiteral("书c")}));
  EXPECT_EQ(run.ended, 1);
  EXPECT_EQ(run.panel0.last(), QStringLiteral("搜索结束！"));
  EXPECT_TRUE(run.panel0.contains(QStringLiteral("当前已搜索完 站b ……")));
  EXPECT_EQ(run.panel1.last(), QStringLiteral("共有 3 条记录"));

  // Two slots: the third site waits for the first slot's window of 51 ticks.
  Reports two = search(sites, {SearchType::ByName, QStringLiteral("书")}, 2);
  ASSERT_EQ(two.starts.size(), 3);
  EXPECT_EQ(two.starts[2], (std::array<int, 3>{2, 0, TThreadSearch::kWindowTicks + 1}));
  EXPECT_EQ(two.hits.size(), 3);
}

TEST_F(SearchFixture, NoSitesEndsAtOnce) {
  Reports run = search({}, {SearchType::ByName, QStringLiteral("书")});
  EXPECT_TRUE(run.hits.isEmpty());
  EXPECT_EQ(run.panel0, QStringList{QStringLiteral("搜索结束！")});
  EXPECT_EQ(run.ended, 1);
}

TEST_F(SearchFixture, FailingSitesYieldNothing) {
  server.route("/ok/search", HttpResponse::text(
                                 listPage({{QStringLiteral("书"), {}, {}, QStringLiteral("1/")}})));
  server.route(
      "/slow/search",
      HttpResponse::text(listPage({{QStringLiteral("书慢"), {}, {}, QStringLiteral("1/")}}))
          .delayed(3000));
  server.route("/bad/search", HttpResponse::error(500));
  std::vector<SearchSite> sites{listSiteAt(QStringLiteral("慢"), QStringLiteral("slow"), "/slow"),
                                listSiteAt(QStringLiteral("坏"), QStringLiteral("bad"), "/bad"),
                                listSiteAt(QStringLiteral("好"), QStringLiteral("ok"), "/ok")};
  SearchSite badPattern = sites.back();
  badPattern.name = QStringLiteral("错");
  badPattern.s[5] = QStringLiteral("(unclosed");
  sites.push_back(badPattern);
  Reports run = search(sites, {SearchType::ByName, QStringLiteral("书")}, 5, 300);
  EXPECT_EQ(names(run.hits), QStringList{QStringLiteral("书")});
  EXPECT_EQ(run.hits[0].site, QStringLiteral("好"));
  EXPECT_EQ(run.ended, 1);
}

TEST_F(SearchFixture, StopDiscardsLaterHits) {
  server.route("/fast/search", HttpResponse::text(listPage(
                                   {{QStringLiteral("书快"), {}, {}, QStringLiteral("1/")}})));
  server.route(
      "/late/search",
      HttpResponse::text(listPage({{QStringLiteral("书迟"), {}, {}, QStringLiteral("1/")}}))
          .delayed(1500));
  Reports run;
  {
    TThreadSearch s(settings,
                    {listSiteAt(QStringLiteral("快"), QStringLiteral("fast"), "/fast"),
                     listSiteAt(QStringLiteral("迟"), QStringLiteral("late"), "/late")},
                    {SearchType::ByName, QStringLiteral("书")}, 5, 10000, 1ms);
    record(s, run);
    QEventLoop loop;
    QObject::connect(&s, &TThreadSearch::hit, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    s.start();
    loop.exec();
    ASSERT_EQ(run.hits.size(), 1);
    s.endsearch();
    EXPECT_FALSE(s.running());
    EXPECT_EQ(run.panel0.last(), QStringLiteral("搜索结束！"));
    // Whatever the late site still does, nothing more is reported.
    QEventLoop rest;
    QTimer::singleShot(2000, &rest, &QEventLoop::quit);
    rest.exec();
    s.endsearch();
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(names(run.hits), QStringList{QStringLiteral("书快")});
  EXPECT_EQ(run.ended, 1);
  EXPECT_EQ(run.panel0.last(), QStringLiteral("搜索结束！"));
}

TEST(SearchSettings, SlotsAndTimeOut) {
  QTemporaryDir dir;
  Settings settings(dir.filePath(QStringLiteral("set.ini")));
  settings.newset();
  EXPECT_EQ(TThreadSearch::slotCount(settings), 5);
  EXPECT_EQ(TThreadSearch::timeoutMs(settings), 10000);
  struct Case {
    const char *sscount, *ssout;
    int slotcount, ms;
  } cases[] = {
      {"3", "20", 3, 20000}, {"0", "x", 1, 10000}, {"99", "1", 10, 1000}, {"", "", 5, 10000}};
  for (const Case &c : cases) {
    settings.setValue(Settings::sscount, QString::fromLatin1(c.sscount));
    settings.setValue(Settings::ssout, QString::fromLatin1(c.ssout));
    EXPECT_EQ(TThreadSearch::slotCount(settings), c.slotcount) << c.sscount;
    EXPECT_EQ(TThreadSearch::timeoutMs(settings), c.ms) << c.ssout;
  }
}

} // namespace
