// inkwren-cli under faults: it says what went wrong and exits non-zero; two programs updating
// one book at once never list a chapter twice; a data folder is never made out of a folder of
// other things; a read-only data folder still serves the commands that only read.
#include "cli_fixture.h"
#include "core/codec.h"
#include "core/database.h"
#include "rules/rulefile.h"
#include "rules/ruleset.h"
#include "support/loopback_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct Faults : CliFixture {
  LoopbackServer site;
  int chapterDelayMs = 0;

  void SetUp() override {
    ASSERT_EQ(cli({QStringLiteral("key"), QStringLiteral("http://x.example/")}).status,
              0); // first start
    writeRules();
    site.setFallback([this](const HttpRequest &r) {
      if (r.path.endsWith("/")) {
        QByteArray toc;
        for (int i = 1; i <= 6; ++i)
          toc +=
              "<a href=\"" + QByteArray::number(i) + ".html\">c" + QByteArray::number(i) + "</a>";
        return HttpResponse::text(toc);
      }
      return HttpResponse::text("<p>text of " + r.path + "</p>").delayed(chapterDelayMs);
    });
  }
  void writeRules() {
    QByteArray rec = "<dw><wk>" + RuleSet::geturlkey(site.url("/")) +
                     "</wk><s0></s0><s1></s1>"
                     "<s2><a href=\"(.*?)\">(.*?)</a></s2><s3>$2</s3><s4>[webpath]$1</s4><s5></s5>"
                     "<s6></s6><s7>{{1}}<p>{{t}}</p></s7><s8></s8><s9></s9><s10></s10></dw>";
    ASSERT_TRUE(codec::writeFileAtomic(home() + QStringLiteral("/db/bookset.dat"),
                                       RuleFile::build({"", rec})));
  }
  QString add(const QByteArray &url, const QString &name = QStringLiteral("书")) {
    Output added =
        cli({QStringLiteral("add"), QString::fromLatin1(url), QStringLiteral("--name"), name});
    EXPECT_EQ(added.status, 0) << added.err.toStdString();
    return added.out.trimmed();
  }
  std::vector<std::pair<QString, qint64>> chapters(const QString &bookId) {
    Database db;
    EXPECT_TRUE(db.connectioncreat(home() + QStringLiteral("/db/book.dat")));
    std::vector<std::pair<QString, qint64>> out;
    auto rows = db.query(QStringLiteral("select zhangjieurl,zishutongji from book_zhangjie where "
                                        "bookid=? order by paix"),
                         {bookId.toLongLong()});
    for (const Row &r : *rows)
      out.emplace_back(r.text(QStringLiteral("zhangjieurl")),
                       r.integer(QStringLiteral("zishutongji")));
    return out;
  }
};

} // namespace

TEST_F(Faults, CommandsSayWhatWentWrongAndFail) {
  const QString book = add(site.url("/b/"));
  const QString noRule = add("http://127.0.0.1:9/none/", QStringLiteral("无规则"));
  struct Case {
    const char *what;
    std::function<void()> arrange;
    QStringList args;
    const char *says;
  };
  const QString siteDown = QStringLiteral("http://127.0.0.1:9/b/1.html");
  const Case cases[] = {
      {"no rule for the address", {}, {QStringLiteral("update"), noRule}, "没有这个网站的规则"},
      {"no rule for a chapter", {}, {QStringLiteral("chapter"), siteDown}, "没有这个网站的规则"},
      {"a page that can't be fetched", {}, {QStringLiteral("fetch"), siteDown}, "无法获取"},
      {"proxy port is not a number",
       [&] {
         QFile ini(home() + QStringLiteral("/config/set.ini"));
         ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
         ini.write("[proxyset]\r\nuseproxy=1\r\nproxyserver=127.0.0.1\r\nproxyport=80a\r\n");
       },
       {QStringLiteral("update"), book},
       "代理设置无效"},
      {"rule file unreadable",
       [&] {
         QFile::remove(home() + QStringLiteral("/config/set.ini"));
         QFile f(home() + QStringLiteral("/db/bookset.dat"));
         ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         f.write("not a rule file");
       },
       {QStringLiteral("update"), book},
       "规则文件无法读取"},
  };
  for (const Case &c : cases) {
    if (c.arrange)
      c.arrange();
    Output run = cli(c.args);
    EXPECT_NE(run.status, 0) << c.what;
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says)))
        << c.what << ": " << run.err.toStdString();
  }
  writeRules();
  // A site that answers nothing: the update fails and says so.
  const QString down = add("http://127.0.0.1:9/gone/", QStringLiteral("断网"));
  QByteArray rec = "<dw><wk>.127.0.0.1:9</wk><s0></s0><s1></s1><s2><a href=\"(.*?)\">(.*?)</a></s2>"
                   "<s3>$2</s3><s4>$1</s4><s5></s5><s6></s6><s7>{{1}}<p>{{t}}</p></s7><s8></s8>"
                   "<s9></s9><s10></s10></dw>";
  QByteArray both =
      "<dw><wk>" + RuleSet::geturlkey(site.url("/")) + "</wk><s2>x</s2></dw>\r\n" + rec;
  ASSERT_TRUE(codec::writeFileAtomic(home() + QStringLiteral("/db/bookset.dat"),
                                     RuleFile::build({"", both})));
  Output offline = cli({QStringLiteral("update"), down});
  EXPECT_EQ(offline.status, 1);
  EXPECT_TRUE(offline.err.contains(QStringLiteral("无法获取"))) << offline.err.toStdString();
}

TEST_F(Faults, AddTakesOnlyWebAddressesAndNoExactDuplicate) {
  const QByteArray url = site.url("/b/");
  EXPECT_EQ(cli({QStringLiteral("add"), QStringLiteral("file:///etc/passwd"),
                 QStringLiteral("--name"), QStringLiteral("x")})
                .status,
            2);
  EXPECT_EQ(cli({QStringLiteral("add"), QStringLiteral("ftp://h/b/"), QStringLiteral("--name"),
                 QStringLiteral("x")})
                .status,
            2);
  add(url);
  Output again = cli({QStringLiteral("add"), QString::fromLatin1(url), QStringLiteral("--name"),
                      QStringLiteral("书")});
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(again.err.contains(QStringLiteral("--force")));
  // Another name, or --force, is a new book.
  add(url, QStringLiteral("书二"));
  EXPECT_EQ(cli({QStringLiteral("add"), QString::fromLatin1(url), QStringLiteral("--name"),
                 QStringLiteral("书"), QStringLiteral("--force")})
                .status,
            0);
  Output list = cli({QStringLiteral("list")});
  EXPECT_EQ(list.out.count(QStringLiteral("book\t")), 3);
}

TEST_F(Faults, TwoProgramsUpdatingOneBookListEachChapterOnceAndFetchItOnce) {
  chapterDelayMs = 30;
  const QString book = add(site.url("/b/"));
  for (int round = 0; round < 3; ++round) {
    QProcess one, two;
    for (QProcess *p : {&one, &two})
      p->start(QStringLiteral(INKWREN_CLI),
               {QStringLiteral("--home"), home(), QStringLiteral("update"), book});
    for (QProcess *p : {&one, &two})
      ASSERT_TRUE(p->waitForFinished(60000));
    // One of them may have found the book busy and said so; neither crashed.
    for (QProcess *p : {&one, &two}) {
      const QString err = QString::fromUtf8(p->readAllStandardError());
      EXPECT_TRUE(p->exitCode() == 0 || err.contains(QStringLiteral("正在由另一个程序更新")))
          << err.toStdString();
    }
  }
  const auto list = chapters(book);
  ASSERT_EQ(list.size(), 6u);
  for (const auto &[url, words] : list)
    EXPECT_GT(words, 0) << url.toStdString();
  for (int i = 1; i <= 6; ++i)
    EXPECT_EQ(site.requestCount("/b/" + QByteArray::number(i) + ".html"), 1) << i;
}

TEST_F(Faults, AFolderOfOtherThingsIsNeverMadeADataFolder) {
  const QString other = dir.filePath(QStringLiteral("documents"));
  QDir().mkpath(other);
  QFile note(other + QStringLiteral("/letter.txt"));
  ASSERT_TRUE(note.open(QIODevice::WriteOnly));
  note.write("private");
  note.close();
  QProcess p;
  p.start(QStringLiteral(INKWREN_CLI), {QStringLiteral("--home"), other, QStringLiteral("list")});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(other));
  EXPECT_EQ(QDir(other).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QStringLiteral("letter.txt")});
}

TEST_F(Faults, AReadOnlyDataFolderStillServesTheCommandsThatRead) {
  // Root writes anywhere, so as root the commands run as an unprivileged user.
  QStringList runAs;
  if (geteuid() == 0) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
      GTEST_SKIP() << "setpriv is needed to drop root";
    runAs = {setpriv, QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
             QStringLiteral("--clear-groups"), QStringLiteral("--")};
  }
  const QString book = add(site.url("/b/"));
  ASSERT_EQ(cli({QStringLiteral("update"), book}).status, 0);
  QDir().mkpath(dir.filePath(QStringLiteral("out")));
  // Everything readable by all, nothing writable but the export folder.
  QProcess::execute(QStringLiteral("chmod"),
                    {QStringLiteral("-R"), QStringLiteral("a+rX,a-w"), dir.path()});
  QProcess::execute(QStringLiteral("chmod"),
                    {QStringLiteral("a+rwx"), dir.filePath(QStringLiteral("out"))});
  auto run = [&](const QStringList &args) {
    QProcess p;
    QStringList all = runAs;
    all << QStringLiteral(INKWREN_CLI) << QStringLiteral("--home") << home() << args;
    p.start(all.takeFirst(), all);
    p.waitForFinished(60000);
    return Output{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                  QString::fromUtf8(p.readAllStandardError())};
  };
  Output list = run({QStringLiteral("list")});
  EXPECT_EQ(list.status, 0) << list.err.toStdString();
  EXPECT_TRUE(list.out.contains(QStringLiteral("book\t%1\t书\t6").arg(book)))
      << list.out.toStdString();
  Output exported =
      run({QStringLiteral("export"), book, dir.filePath(QStringLiteral("out/b.txt"))});
  EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
  EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("out/b.txt"))));
  Output toc = run({QStringLiteral("toc"), QString::fromLatin1(site.url("/b/"))});
  EXPECT_EQ(toc.status, 0) << toc.err.toStdString();
  // A command that writes fails and says so.
  Output added = run({QStringLiteral("add"), QString::fromLatin1(site.url("/c/")),
                      QStringLiteral("--name"), QStringLiteral("新")});
  EXPECT_NE(added.status, 0);
  QProcess::execute(QStringLiteral("chmod"),
                    {QStringLiteral("-R"), QStringLiteral("u+w"), dir.path()});
}
