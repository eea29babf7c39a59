// inkwren-cli search and sites, against search sites on the loopback server.
#include "cli_fixture.h"
#include "core/codec.h"
#include "support/loopback_server.h"
#include "support/search_sites.h"

#include <QFile>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct CliSearch : CliFixture {
  LoopbackServer server;

  void SetUp() override {
    ASSERT_EQ(cli({QStringLiteral("key"), QStringLiteral("x")}).status, 0); // seeds the home
    server.route("/modules/article/search.php",
                 HttpResponse::text(corpusPage(QStringLiteral("qudushu_search_wo.html"))));
    server.route("/b/search",
                 HttpResponse::text(listPage({{QStringLiteral("我的书"), QStringLiteral("乙"),
                                               QStringLiteral("第一章"), QStringLiteral("9/")}})));
    ASSERT_TRUE(writeSearchSites(
        home() + QStringLiteral("/db/bookset.dat"),
        {qudushuSite("http://" + server.authority()),
         listSite(QStringLiteral("乙站"), QStringLiteral("b"), server.url("/b")),
         listSite(QStringLiteral("丙站"), QStringLiteral("c"), server.url("/c"))}));
  }
  void choose(const QByteArray &lines) {
    QFile f(home() + QStringLiteral("/db/searchset.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(lines);
  }
};

} // namespace

TEST_F(CliSearch, SitesInSearchOrder) {
  choose("b,1\r\nqudushu,0\r\n");
  auto r = cli({QStringLiteral("sites")});
  EXPECT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, QStringLiteral("乙站\tb\t1\n去读书\tqudushu\t0\n丙站\tc\t0\n"));
}

TEST_F(CliSearch, PrintsEachHitThenTheFinalStatus) {
  choose("qudushu,1\r\nb,1\r\nc,0\r\n");
  auto r = cli({QStringLiteral("search"), QStringLiteral("--exact"), QStringLiteral("我的书")});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, QStringLiteral("我的书\t乙站\t乙\t第一章\t") +
                       QString::fromLatin1(server.url("/b/9/")) +
                       QStringLiteral("\n搜索结束！\t共有 1 条记录\n"));
  EXPECT_EQ(server.requestCount("/c/search"), 0) << "a disabled site is not searched";

  auto byAuthor = cli({QStringLiteral("search"), QStringLiteral("--author"), QStringLiteral("我")});
  ASSERT_EQ(byAuthor.status, 0);
  QStringList lines = byAuthor.out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 6);
  EXPECT_EQ(lines.last(), QStringLiteral("搜索结束！\t共有 5 条记录"));
  EXPECT_EQ(lines[0].split(u'\t').value(1), QStringLiteral("去读书"));

  EXPECT_EQ(cli({QStringLiteral("search")}).status, 2);
}
