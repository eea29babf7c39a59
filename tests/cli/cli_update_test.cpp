// inkwren-cli against a data folder of its own and a novel site on 127.0.0.1.
#include "cli_fixture.h"
#include "core/codec.h"
#include "core/database.h"
#include "rules/rulefile.h"
#include "rules/ruleset.h"
#include "support/loopback_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct Cli : CliFixture {
  LoopbackServer site;

  void SetUp() override {
    ASSERT_EQ(cli({QStringLiteral("key"), QStringLiteral("http://x.example/")}).status, 0); // first start
    QByteArray rec = "<dw><wk>" + RuleSet::geturlkey(site.url("/")) + "</wk><s0></s0><s1></s1>"
                     "<s2><a href=\"(.*?)\">(.*?)</a></s2><s3>$2</s3><s4>[webpath]$1</s4>"
                     "<s5><h2>(.*?)</h2></s5><s6>$1</s6>"
                     "<s7>{{1}}<p>{{t}}</p>{{br}}{{3}}</?p>{{t}}</s7><s8></s8><s9></s9><s10></s10></dw>";
    ASSERT_TRUE(codec::writeFileAtomic(home() + QStringLiteral("/db/bookset.dat"),
                                       RuleFile::build({"", rec})));
    for (const char *b : {"a", "b", "c"}) {
      QByteArray book = "/" + QByteArray(b) + "/";
      site.route(book, HttpResponse::text(codec::encode(
                           QStringLiteral("<h2>卷一</h2><a href=\"1.html\">第一章</a><a href=\"2.html\">第二章</a>"))));
      site.route(book + "1.html", HttpResponse::text(codec::encode(QStringLiteral("x<p>一的正文</p>y"))));
      site.route(book + "2.html", HttpResponse::text(codec::encode(QStringLiteral("x<p>二的正文</p>y"))));
    }
  }
};

} // namespace

TEST_F(Cli, DryRunsPrintWhatAnUpdateWouldStore) {
  Output toc = cli({QStringLiteral("toc"), QString::fromLatin1(site.url("/a/"))});
  EXPECT_EQ(toc.status, 0);
  EXPECT_EQ(toc.out, QStringLiteral("第一章\t卷一\t%1\n第二章\t卷一\t%2\n")
                         .arg(QString::fromLatin1(site.url("/a/1.html")), QString::fromLatin1(site.url("/a/2.html"))));
  Output chapter = cli({QStringLiteral("chapter"), QString::fromLatin1(site.url("/a/1.html"))});
  EXPECT_EQ(chapter.status, 0);
  EXPECT_EQ(chapter.out, QStringLiteral("一的正文"));
  EXPECT_EQ(cli({QStringLiteral("toc"), QStringLiteral("http://127.0.0.2:9/")}).status, 1);
}

TEST_F(Cli, AddThenUpdateAllSkipsBooksThatAreNotUpdated) {
  QStringList ids;
  for (const char *b : {"a", "b", "c"}) {
    Output added = cli({QStringLiteral("add"), QString::fromLatin1(site.url("/" + QByteArray(b) + "/")),
                        QStringLiteral("--name"), QStringLiteral("书") + QLatin1String(b),
                        QStringLiteral("--category"), QStringLiteral("武侠")});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    ids << added.out.trimmed();
  }
  EXPECT_EQ(site.requestCount("/a/"), 0); // adding does not update
  {
    Database db;
    ASSERT_TRUE(db.connectioncreat(home() + QStringLiteral("/db/book.dat")));
    ASSERT_TRUE(db.exec(QStringLiteral("update book_list set downtype=1 where bookid=?"), {ids[1].toLongLong()}));
  }
  Output run = cli({QStringLiteral("update"), QStringLiteral("--all")});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.startsWith(QStringLiteral("更新小说 书a\n开始更新...\n更新章节列表...\n")));
  EXPECT_TRUE(run.out.contains(QStringLiteral("更新章节 第二章...\n更新停止\n更新小说 书c\n")));
  EXPECT_FALSE(run.out.contains(QStringLiteral("书b")));
  EXPECT_EQ(site.requestCount("/b/"), 0);
  EXPECT_EQ(site.requestCount("/c/2.html"), 1);

  Database db;
  ASSERT_TRUE(db.connectioncreat(home() + QStringLiteral("/db/book.dat")));
  auto rows = db.query(QStringLiteral("select bookid,zhangjieid,zishutongji from book_zhangjie order by zhangjieid"));
  ASSERT_EQ(rows->size(), 4u);
  for (const Row &r : *rows) {
    EXPECT_GT(r.integer(QStringLiteral("zishutongji")), 0);
    QFile f(home() + QStringLiteral("/book/%1/%2.txt").arg(r.text(QStringLiteral("bookid")), r.text(QStringLiteral("zhangjieid"))));
    EXPECT_TRUE(f.exists());
  }
  // One book on its own; an unknown id is an error.
  EXPECT_EQ(cli({QStringLiteral("update"), ids[0]}).status, 0);
  EXPECT_EQ(cli({QStringLiteral("update"), QStringLiteral("999")}).status, 1);
}
