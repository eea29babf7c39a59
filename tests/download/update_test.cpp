#include "site_fixture.h"

#include "core/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include <sys/stat.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

const QByteArray kGif("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 13);

// A GBK novel site: a table of contents with two volumes, chapter pages with pictures.
struct GbkSite : SiteFixture {
  LoopbackServer site;

  void SetUp() override {
    SiteFixture::SetUp();
    addRule(site, {
                      QString(),
                      QStringLiteral("{{1}}<div id=\"list\">{{t}}</div>"),
                      QStringLiteral("<li><a href=\"(.*?)\">(.*?)</a></li>"),
                      QStringLiteral("$2"),
                      QStringLiteral("[webpath]$1"),
                      QStringLiteral("<h2>(.*?)</h2>"),
                      QStringLiteral("$1"),
                      QStringLiteral(
                          "{{1}}<div id=\"content\">{{t}}</div>\n{{2}}<div id=\"content\">{{t}}\n"
                          "{{2}}</div>{{t}}\n{{3}}<br\\s*/?>{{t}}#13#10"),
                      QStringLiteral("<img src=\"(.*?)\">"),
                      QStringLiteral("[webpath]$1"),
                      QStringLiteral("{{2}}&nbsp;{{t}} \n{{0}}4{{t}}"),
                  });
    serveToc({{"1.html", "第一章 出山"}, {"2.html", "第二章 下山"}, {"3.html", "第三章 空章"}});
    chapter("1.html", QStringLiteral("天下&nbsp;大事<br/>分久必合&#33;<img src=\"a.gif\">"
                                     "<img src=\"b.jpg\"><img src=\"a.gif\">"));
    chapter("2.html", QStringLiteral("第二章正文"));
    chapter("3.html", QString()); // the rules leave nothing of this page
    site.route("/book/a.gif", HttpResponse::text(kGif));
    site.route("/book/b.jpg", HttpResponse::error(404));
  }

  void serveToc(const std::vector<std::pair<const char *, const char *>> &links,
                int headingAt = 1) {
    QString html = QStringLiteral("<html><div id=\"list\"><h2>卷一 风起</h2>");
    int n = 0;
    for (auto [href, name] : links) {
      if (n++ == headingAt)
        html += QStringLiteral("<h2>卷二 云涌</h2>");
      html += QStringLiteral("<li><a href=\"%1\">%2</a></li>\r\n")
                  .arg(QString::fromUtf8(href), QString::fromUtf8(name));
    }
    html += QStringLiteral("</div></html>");
    site.route("/book/", HttpResponse::text(gbk(html)));
  }
  void chapter(const char *path, const QString &body) {
    site.route("/book/" + QByteArray(path),
               HttpResponse::text(
                   gbk(QStringLiteral("<html><div id=\"content\">%1</div></html>").arg(body))));
  }
};

} // namespace

TEST_F(GbkSite, UpdateAddsChaptersAndDownloadsTextWithPictures) {
  QString book = addBook(QStringLiteral("天下"), site.url("/book/"));
  QStringList statuses = run(book, TThreadDown::UpdateBook, site.url("/book/"));
  EXPECT_EQ(statuses.first(), QStringLiteral("更新章节列表..."));
  EXPECT_TRUE(statuses.contains(QStringLiteral("更新章节 第二章 下山...")));
  EXPECT_EQ(statuses.last(), QStringLiteral("<ended>"));

  auto cs = chapters(book);
  ASSERT_EQ(cs.size(), 3u);
  EXPECT_EQ(cs[0].volume, QStringLiteral("卷一 风起"));
  EXPECT_EQ(cs[1].volume, QStringLiteral("卷二 云涌"));
  EXPECT_EQ(cs[0].url, QString::fromLatin1(site.url("/book/1.html")));

  // Chapter one: the first picture saved as a GIF, the failing second one ends picture
  // handling, so its tag stays; the first picture's text stood twice and both became picture 0.
  QString ref = QStringLiteral("<img src=\"%1\\%2\\0.gif\">").arg(book, cs[0].id);
  QString text = chapterText(book, cs[0].id);
  EXPECT_EQ(text, QStringLiteral("天下 大事\r\n分久必合!%1<img src=\"b.jpg\">%1\r\n").arg(ref));
  EXPECT_TRUE(QFile::exists(files.chapterDir(book, cs[0].id) + QStringLiteral("/0.gif")));
  EXPECT_EQ(QDir(files.chapterDir(book, cs[0].id)).entryList(QDir::Files).size(), 1);
  EXPECT_EQ(cs[0].words, ChapterFiles::zishutj(gbk(text)));
  EXPECT_GT(cs[1].words, 0);
  // Chapter three's rule gives nothing: no file and no count, so the next update tries again.
  EXPECT_EQ(cs[2].words, 0);
  EXPECT_FALSE(QFile::exists(files.chapterFile(book, cs[2].id)));

  // A second update fetches only what is still missing.
  site.clearRequests();
  run(book, TThreadDown::UpdateBook, site.url("/book/"));
  EXPECT_EQ(site.requestCount("/book/1.html"), 0);
  EXPECT_EQ(site.requestCount("/book/3.html"), 1);
  EXPECT_EQ(chapters(book).size(), 3u);
}

TEST_F(GbkSite, ModesTwoAndOneChooseTheirChapters) {
  // One chapter at a time, so the pages are asked for in exactly the order chosen.
  settings.setValue(Settings::downthreads, QStringLiteral("1"));
  QString book = addBook(QStringLiteral("天下"), site.url("/book/"));
  run(book, TThreadDown::UpdateBook, site.url("/book/"));
  auto cs = chapters(book);
  site.clearRequests();
  // Mode 2 does not fetch the table of contents.
  run(book, TThreadDown::BlankChapters, site.url("/book/"));
  EXPECT_EQ(site.requestCount("/book/"), 0);
  EXPECT_EQ(site.requestCount("/book/3.html"), 1);
  // Mode 1 downloads the chosen chapters again, in the book's order, text or not.
  chapter("2.html", QStringLiteral("改过的第二章"));
  site.clearRequests();
  run(book, TThreadDown::SelectedChapters, site.url("/book/"),
      {cs[1].id, cs[0].id, QStringLiteral("1 or 1=1")});
  QList<QByteArray> order;
  for (const HttpRequest &r : site.requests())
    if (r.path.endsWith(".html"))
      order << r.path;
  EXPECT_EQ(order, (QList<QByteArray>{"/book/1.html", "/book/2.html"}));
  EXPECT_EQ(chapterText(book, cs[1].id), QStringLiteral("改过的第二章\r\n"));
  // Nothing selected: the run ends at once.
  EXPECT_EQ(run(book, TThreadDown::SelectedChapters, site.url("/book/"), {}),
            (QStringList{QStringLiteral("获取需要更新的章节列表..."), QStringLiteral("<ended>")}));
}

TEST_F(GbkSite, NewChapterInTheMiddleIsAddedLastThenPutInPlace) {
  QString book = addBook(QStringLiteral("天下"), site.url("/book/"));
  serveToc({{"1.html", "第一章 出山"}, {"3.html", "第三章 空章"}});
  run(book, TThreadDown::UpdateBook, site.url("/book/"));
  serveToc({{"1.html", "第一章 出山"}, {"2.html", "第二章 下山"}, {"3.html", "第三章 空章"}});
  run(book, TThreadDown::UpdateBook, site.url("/book/"));
  auto cs = chapters(book);
  ASSERT_EQ(cs.size(), 3u);
  EXPECT_EQ(cs[2].name, QStringLiteral("第二章 下山"));
  ChapterListExtractor extractor(chapterStore, interpreter);
  QByteArray toc = interpreter.guizstr(fetcher.opurl(site.url("/book/"), {}, 0, 1),
                                       rules.ruleFor(site.url("/book/")).value(1));
  extractor.stozjpx(toc, book, rules.ruleFor(site.url("/book/")));
  cs = chapters(book);
  EXPECT_EQ(cs[1].name, QStringLiteral("第二章 下山"));
}

TEST_F(GbkSite, NoRuleForTheSiteEndsTheRunAtOnce) {
  QString book = addBook(QStringLiteral("别处"), "http://127.0.0.2:9/book/");
  EXPECT_EQ(run(book, TThreadDown::UpdateBook, "http://127.0.0.2:9/book/"),
            QStringList{QStringLiteral("<ended>")});
  EXPECT_TRUE(chapters(book).empty());
}

TEST_F(GbkSite, StoppingMidwayLeavesEveryChapterWholeOrUntouched) {
  QString book = addBook(QStringLiteral("天下"), site.url("/book/"));
  std::vector<std::pair<const char *, const char *>> links;
  static std::vector<QByteArray> names;
  names.clear();
  for (int i = 0; i < 30; ++i)
    names.push_back("c" + QByteArray::number(i) + ".html");
  for (const QByteArray &n : names)
    links.push_back({n.constData(), n.constData()});
  serveToc(links, 100);
  for (const QByteArray &n : names)
    site.route(
        "/book/" + n,
        HttpResponse::text(
            gbk(QStringLiteral("<div id=\"content\">正文%1</div>").arg(QString::fromLatin1(n))))
            .delayed(20));
  TThreadDown worker(tools, book, TThreadDown::UpdateBook, site.url("/book/"));
  bool ended = false;
  QObject::connect(&worker, &TThreadDown::ended, [&] { ended = true; });
  worker.start();
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 5000) {
    auto rows =
        db.queryOne(QStringLiteral("select count(*) as n from book_zhangjie where zishutongji>0"));
    if (rows && *rows && (*rows)->integer(QStringLiteral("n")) >= 3)
      break;
    QThread::msleep(5);
  }
  worker.stop();
  ASSERT_TRUE(worker.wait(10000));
  QCoreApplication::processEvents();
  EXPECT_FALSE(ended); // a stopped run reports nothing more
  int done = 0;
  for (const auto &c : chapters(book)) {
    bool file = QFile::exists(files.chapterFile(book, c.id));
    EXPECT_EQ(file, c.words > 0) << c.name.toStdString();
    if (file) {
      ++done;
      EXPECT_EQ(chapterText(book, c.id), QStringLiteral("正文%1\r\n").arg(c.name));
    }
  }
  EXPECT_GE(done, 3);
  EXPECT_LT(done, 30);
}

TEST_F(SiteFixture, Utf8SiteConvertsAndChaptersOnTwoSitesUseTheirOwnRules) {
  LoopbackServer utf8, other;
  addRule(utf8,
          {QString(), QStringLiteral("{{0}}1{{t}}"), QStringLiteral("<a href=\"(.*?)\">(.*?)</a>"),
           QStringLiteral("$2"), QStringLiteral("$1"), QString(), QString(),
           QStringLiteral("{{0}}1{{t}}\n{{1}}<p>{{t}}</p>\n{{3}}</?p>{{t}}")});
  addRule(other, {QString(), QString(), QString(), QString(), QString(), QString(), QString(),
                  QStringLiteral("{{1}}[[{{t}}]]\n{{2}}[[{{t}}\n{{2}}]]{{t}}")});
  utf8.route("/toc",
             HttpResponse::text(
                 QStringLiteral("<a href=\"%1\">第一章 你好</a><a href=\"%2\">第二章 别站</a>")
                     .arg(QString::fromLatin1(utf8.url("/1")), QString::fromLatin1(other.url("/2")))
                     .toUtf8()));
  utf8.route("/1", HttpResponse::text(QStringLiteral("<p>统一码正文</p>").toUtf8()));
  other.route("/2", HttpResponse::text(gbk(QStringLiteral("x[[别站正文]]y"))));
  QString book = addBook(QStringLiteral("两站"), utf8.url("/toc"));
  run(book, TThreadDown::UpdateBook, utf8.url("/toc"));
  auto cs = chapters(book);
  ASSERT_EQ(cs.size(), 2u);
  EXPECT_EQ(cs[0].name, QStringLiteral("第一章 你好"));
  EXPECT_EQ(chapterText(book, cs[0].id), QStringLiteral("统一码正文\r\n"));
  EXPECT_EQ(chapterText(book, cs[1].id), QStringLiteral("别站正文\r\n"));
}

namespace {

// Two novel sites whose chapter pages and pictures are addressed relative to their own
// directories.
struct TwoSites : SiteFixture {
  LoopbackServer a, b;

  void serve(LoopbackServer &site, const QByteArray &dir, int chapters) {
    QString toc;
    for (int i = 1; i <= chapters; ++i)
      toc += QStringLiteral("<a href=\"%1.html\">c%1</a>").arg(i);
    site.route(dir, HttpResponse::text(gbk(toc)));
    site.setFallback([dir](const HttpRequest &r) {
      if (r.path == dir + "p.gif")
        return HttpResponse::text(kGif);
      if (r.path.startsWith(dir) && r.path.endsWith(".html"))
        return HttpResponse::text("<p>text<img src=\"p.gif\"></p>").delayed(3);
      return HttpResponse::error(404);
    });
    addRule(site, {QString(), QString(), QStringLiteral("<a href=\"(.*?)\">(.*?)</a>"),
                   QStringLiteral("$2"), QStringLiteral("[webpath]$1"), QString(), QString(),
                   QStringLiteral("{{1}}<p>{{t}}</p>"), QStringLiteral("<img src=\"(.*?)\">"),
                   QStringLiteral("[webpath]$1")});
  }
};

} // namespace

TEST_F(TwoSites, JobsRunningAtOnceEachExpandTheirOwnPageDirectory) {
  const QByteArray dirA = "/a/book/", dirB = "/b/novel/deep/";
  serve(a, dirA, 15);
  serve(b, dirB, 15);
  const QString bookA = addBook(QStringLiteral("A"), a.url(dirA));
  const QString bookB = addBook(QStringLiteral("B"), b.url(dirB));
  TThreadDown jobA(tools, bookA, TThreadDown::UpdateBook, a.url(dirA));
  TThreadDown jobB(tools, bookB, TThreadDown::UpdateBook, b.url(dirB));
  jobA.start();
  jobB.start();
  ASSERT_TRUE(jobA.wait(60000));
  ASSERT_TRUE(jobB.wait(60000));

  struct Expect {
    const QString &book;
    LoopbackServer &site;
    const QByteArray &dir;
  };
  for (const Expect &e : {Expect{bookA, a, dirA}, Expect{bookB, b, dirB}}) {
    const auto list = chapters(e.book);
    ASSERT_EQ(list.size(), 15u);
    for (const auto &c : list) {
      EXPECT_TRUE(c.url.startsWith(QString::fromLatin1(e.site.url(e.dir)))) << c.url.toStdString();
      // The picture was found in the chapter's own directory and stored.
      EXPECT_TRUE(chapterText(e.book, c.id).contains(QStringLiteral("<img src=\"%1\\").arg(e.book)))
          << chapterText(e.book, c.id).toStdString();
    }
    for (const HttpRequest &r : e.site.requests())
      EXPECT_TRUE(r.path.startsWith(e.dir)) << r.path.toStdString();
  }
}

namespace {

// A site whose chapter pages answer after a delay of their own, counting how many requests it
// serves at once.
struct BusySite : SiteFixture {
  LoopbackServer site;
  int chapters = 8;
  std::function<int(int chapter)> delayOf = [](int) { return 0; };
  std::function<std::optional<HttpResponse>(int chapter, int visit)> special;
  std::atomic<int> inFlight{0}, maxInFlight{0};
  std::mutex visitsMutex;
  std::map<int, int> visits;

  void SetUp() override {
    SiteFixture::SetUp();
    addRule(site, {QString(), QString(), QStringLiteral("<a href=\"(.*?)\">(.*?)</a>"),
                   QStringLiteral("$2"), QStringLiteral("[webpath]$1"), QString(), QString(),
                   QStringLiteral("{{1}}<p>{{t}}</p>")});
    site.setFallback([this](const HttpRequest &r) {
      if (r.path == "/b/") {
        QByteArray toc;
        for (int i = 1; i <= chapters; ++i)
          toc +=
              "<a href=\"" + QByteArray::number(i) + ".html\">c" + QByteArray::number(i) + "</a>";
        return HttpResponse::text(toc);
      }
      const int k = r.path.mid(3).split('.').value(0).toInt();
      int visit = 0;
      {
        std::lock_guard lock(visitsMutex);
        visit = ++visits[k];
      }
      const int now = ++inFlight;
      for (int seen = maxInFlight.load();
           now > seen && !maxInFlight.compare_exchange_weak(seen, now);) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(delayOf(k)));
      --inFlight;
      if (special)
        if (auto answer = special(k, visit))
          return *answer;
      return HttpResponse::text("<p>text " + QByteArray::number(k) + "</p>");
    });
  }
  void setThreads(int n) { settings.setValue(Settings::downthreads, QString::number(n)); }
  // The modification time of a chapter's file in nanoseconds, 0 when there is none.
  qint64 writtenAt(const QString &book, const QString &chapterId) {
    struct stat st {};
    if (::stat(files.chapterFile(book, chapterId).toLocal8Bit().constData(), &st) != 0)
      return 0;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  }
};

} // namespace

TEST_F(BusySite, ChaptersAreFetchedAheadButStoredInListOrder) {
  // Later chapters answer sooner, so they arrive first.
  delayOf = [this](int k) { return (chapters + 1 - k) * 15; };
  const QString book = addBook(QStringLiteral("书"), site.url("/b/"));
  const QStringList statuses = run(book, TThreadDown::UpdateBook, site.url("/b/"));
  EXPECT_GE(maxInFlight.load(), 2);
  EXPECT_LE(maxInFlight.load(), 4); // the default of downthreads
  QStringList expected{QStringLiteral("更新章节列表..."),
                       QStringLiteral("获取需要更新的章节列表...")};
  for (int k = 1; k <= chapters; ++k)
    expected << QStringLiteral("更新章节 c%1...").arg(k);
  expected << QStringLiteral("<ended>");
  EXPECT_EQ(statuses, expected);
  const auto cs = this->SiteFixture::chapters(book);
  ASSERT_EQ(cs.size(), std::size_t(chapters));
  qint64 previous = 0;
  for (const auto &c : cs) {
    EXPECT_EQ(chapterText(book, c.id), QStringLiteral("<p>text %1</p>\r\n").arg(c.name.mid(1)));
    const qint64 at = writtenAt(book, c.id);
    EXPECT_GE(at, previous) << c.name.toStdString(); // written strictly in list order
    previous = at;
  }
}

TEST_F(BusySite, OneThreadFetchesStrictlyOneAfterAnother) {
  setThreads(1);
  delayOf = [](int) { return 5; };
  const QString book = addBook(QStringLiteral("书"), site.url("/b/"));
  run(book, TThreadDown::UpdateBook, site.url("/b/"));
  EXPECT_EQ(maxInFlight.load(), 1);
  for (const auto &c : this->SiteFixture::chapters(book))
    EXPECT_GT(c.words, 0);
}

TEST_F(BusySite, ASiteThatAsksToSlowDownIsWaitedForAndThenServedOneAtATime) {
  delayOf = [](int) { return 10; };
  using Clock = std::chrono::steady_clock;
  std::atomic<int> afterPause{0}, maxAfterPause{0};
  std::atomic<Clock::rep> pausedAt{0}; // 0 until the site asked for a pause
  special = [&](int k, int visit) -> std::optional<HttpResponse> {
    if (k == 2 && visit == 1) {
      pausedAt = Clock::now().time_since_epoch().count();
      return HttpResponse::error(429).withHeader("Retry-After", "1");
    }
    return std::nullopt;
  };
  const QString book = addBook(QStringLiteral("书"), site.url("/b/"));
  // Requests already on their way when the answer left may still arrive together; count only
  // those that start well after it (the pause itself lasts a second).
  auto counting = delayOf;
  delayOf = [&, counting](int k) {
    const Clock::rep at = pausedAt.load();
    if (at != 0 &&
        Clock::now() - Clock::time_point(Clock::duration(at)) > std::chrono::milliseconds(500)) {
      const int now = ++afterPause;
      for (int seen = maxAfterPause.load();
           now > seen && !maxAfterPause.compare_exchange_weak(seen, now);) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(counting(k)));
      --afterPause;
      return 0;
    }
    return counting(k);
  };
  const QStringList statuses = run(book, TThreadDown::UpdateBook, site.url("/b/"));
  EXPECT_TRUE(std::any_of(statuses.begin(), statuses.end(), [](const QString &s) {
    return s.startsWith(QStringLiteral("网站要求放慢 (HTTP 429)：1 秒后继续"));
  })) << statuses.join(QLatin1Char('|')).toStdString();
  EXPECT_LE(maxAfterPause.load(), 1);
  {
    std::lock_guard lock(visitsMutex);
    EXPECT_EQ(visits[2], 2); // tried again after the pause
  }
  for (const auto &c : this->SiteFixture::chapters(book))
    EXPECT_GT(c.words, 0) << c.name.toStdString();
}

TEST_F(BusySite, AStopLeavesEveryChapterWholeOrUntouched) {
  chapters = 12;
  delayOf = [](int) { return 30; };
  const QString book = addBook(QStringLiteral("书"), site.url("/b/"));
  TThreadDown job(tools, book, TThreadDown::UpdateBook, site.url("/b/"));
  special = [&](int k, int) -> std::optional<HttpResponse> {
    if (k == 5)
      job.stop(); // the user stops while chapters are on their way
    return std::nullopt;
  };
  job.start();
  ASSERT_TRUE(job.wait(30000));
  int whole = 0;
  for (const auto &c : this->SiteFixture::chapters(book)) {
    const bool file = QFile::exists(files.chapterFile(book, c.id));
    if (c.words > 0) {
      ++whole;
      EXPECT_TRUE(file) << c.name.toStdString();
      EXPECT_EQ(chapterText(book, c.id), QStringLiteral("<p>text %1</p>\r\n").arg(c.name.mid(1)));
    } else {
      EXPECT_FALSE(file) << c.name.toStdString();
    }
  }
  EXPECT_LT(whole, chapters);
}
