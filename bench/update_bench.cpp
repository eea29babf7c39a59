// Storing a long table of contents, and the cost of one chapter download beside the network.
#include "core/codec.h"
#include "core/messages.h"
#include "core/settings.h"
#include "rules/rulefile.h"
#include "rules/ruleset.h"
#include "rules/update/chapterdownloader.h"
#include "rules/update/chapterlistextractor.h"
#include "shell/appcontext.h"
#include "support/loopback_server.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace inkwren;

namespace {

struct NoMessages : Messages {
  void tsxx(const QString &) override {}
  bool qrxx(const QString &) override { return false; }
};

// The program's object graph on a fresh data folder with an empty library.
struct Library {
  QTemporaryDir dir;
  NoMessages messages;
  AppContext app{dir.path(), messages};
  ChapterStore &chapters = app.chapters;
  const ChapterFiles &files = app.files;
  const Fetcher &fetcher = app.main.fetcher;
  const RuleInterpreter &interpreter = app.main.interpreter;
  Library() {
    app.folder.prepare(nullptr, QString());
    app.openLibrary();
  }
};

QByteArrayList rule(std::initializer_list<const char *> fields) {
  QByteArrayList r;
  for (const char *f : fields)
    r << codec::encode(QString::fromUtf8(f));
  while (r.size() < 11)
    r << QByteArray();
  return r;
}

// 5000 chapters under 20 volume headings, as one line (pages lose their line breaks).
QByteArray longToc() {
  QString html = QStringLiteral("<html><body><div id=\"list\">");
  for (int i = 0; i < 5000; ++i) {
    if (i % 250 == 0)
      html += QStringLiteral("<dt>第%1卷 风云再起</dt>").arg(i / 250 + 1);
    html += QStringLiteral("<dd><a href=\"/book/1234/%1.html\">第%1章 少年初入江湖</a></dd>")
                .arg(i + 1);
  }
  html += QStringLiteral("</div></body></html>");
  return codec::encode(html);
}

void BM_StoreTableOfContents(benchmark::State &state) {
  const QByteArray toc = longToc();
  const QByteArrayList r = rule({"", "", "<dd><a href=\"(.*?)\">(.*?)</a></dd>", "$2",
                                 "http://site.example$1", "<dt>(.*?)</dt>", "$1"});
  int book = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Library lib;
    ChapterListExtractor extractor(lib.chapters, lib.interpreter);
    state.ResumeTiming();
    int added = extractor.stozj(toc, QString::number(++book), r);
    benchmark::DoNotOptimize(added);
    if (added != 5000)
      state.SkipWithError("not every chapter was stored");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * toc.size());
}
BENCHMARK(BM_StoreTableOfContents)->Unit(benchmark::kMillisecond)->Iterations(5);

// A table of contents of 200,000 links under 40 volume headings, extracted (no library).
void BM_Extract200kLinks(benchmark::State &state) {
  QString html = QStringLiteral("<html><body><div id=\"list\">");
  for (int i = 0; i < 200000; ++i) {
    if (i % 5000 == 0)
      html += QStringLiteral("<dt>第%1卷 风云再起</dt>").arg(i / 5000 + 1);
    html += QStringLiteral("<dd><a href=\"/book/1234/%1.html\">第%1章 少年初入江湖</a></dd>")
                .arg(i + 1);
  }
  const QByteArray toc = codec::encode(html + QStringLiteral("</div></body></html>"));
  const QByteArrayList r = rule({"", "", "<dd><a href=\"(.*?)\">(.*?)</a></dd>", "$2",
                                 "http://site.example$1", "<dt>(.*?)</dt>", "$1"});
  Library lib;
  ChapterListExtractor extractor(lib.chapters, lib.interpreter);
  for (auto _ : state) {
    auto entries = extractor.extract(toc, r);
    if (entries.size() != 200000)
      state.SkipWithError("not every chapter was found");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * toc.size());
}
BENCHMARK(BM_Extract200kLinks)->Unit(benchmark::kMillisecond)->Iterations(3);

// A real UTF-8 table of contents (1878 links, a "latest chapters" block cut away by s1):
// conversion, cut, links and volumes.
void BM_ExtractRealUtf8Toc(benchmark::State &state) {
  QFile f(QStringLiteral(INKWREN_CORPUS_DIR "/shuquge_toc_xiuzhenliaotianqun.html"));
  if (!f.open(QIODevice::ReadOnly)) {
    state.SkipWithError("corpus page missing");
    return;
  }
  QByteArray page = f.readAll();
  page.removeIf([](char c) { return c == '\r' || c == '\n'; });
  const QByteArrayList r =
      rule({"", "{{0}}1{{t}}\n{{1}}章节目录</dt>{{t}}", "<dd><a href=\"(.*?)\">(.*?)</a></dd>",
            "$2", "[webpath]$1", "<dt>(.*?)</dt>", "$1"});
  Library lib;
  lib.app.main.webpath.set("http://www.shuquge.example/txt/8659/");
  ChapterListExtractor extractor(lib.chapters, lib.interpreter);
  for (auto _ : state) {
    const QString toc = lib.interpreter.guizstrPage(page, r[1]);
    auto entries = extractor.extract(toc, r);
    if (entries.size() != 1866)
      state.SkipWithError("not 1866 chapters");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * page.size());
}
BENCHMARK(BM_ExtractRealUtf8Toc)->Unit(benchmark::kMillisecond);

void BM_DownloadChapterFromLoopback(benchmark::State &state) {
  QString body;
  while (body.size() < 17600)
    body += QStringLiteral("　　少年站在山巅，望着远处翻涌的云海，心中百感交集。&nbsp;<br/>");
  const QByteArray page =
      codec::encode(QStringLiteral("<html><head><title>第一章</title></head><body>"
                                   "<div id=\"content\">%1</div><div id=\"footer\">"
                                   "</div></body></html>")
                        .arg(body));
  test::LoopbackServer site;
  site.route("/1.html", test::HttpResponse::text(page));
  Library lib;
  ChapterDownloader downloader(lib.chapters, lib.fetcher, lib.interpreter, lib.files);
  lib.chapters.addChapter(QStringLiteral("1"), QStringLiteral("a"), QString(), QStringLiteral("u"));
  const QByteArrayList r =
      rule({"", "", "", "", "", "", "",
            "{{1}}<div id=\"content\">{{t}}</div>\n{{2}}<div id=\"content\">{{t}}\n"
            "{{2}}</div>{{t}}\n{{3}}<br\\s*/?>{{t}}#13#10\n{{2}}&nbsp;{{t}} ",
            "<img src=\"(.*?)\">", "[webpath]$1", "{{0}}4{{t}}"});
  for (auto _ : state) {
    auto outcome =
        downloader.download(QStringLiteral("1"), QStringLiteral("1"), site.url("/1.html"), r);
    if (outcome != ChapterDownloader::Outcome::Stored)
      state.SkipWithError("chapter not stored");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * page.size());
  state.counters["page_bytes"] = double(page.size());
}
BENCHMARK(BM_DownloadChapterFromLoopback)->Unit(benchmark::kMicrosecond);

// A whole update of a 500-chapter novel from a site that answers each page after 50 ms and
// charges 50 ms for each new connection: chapters per second, with the stored downthreads.
void BM_UpdateFromSlowSite(benchmark::State &state) {
  constexpr int kChapters = 500;
  test::LoopbackServer site;
  site.setKeepAlive(true, 50);
  site.setFallback([](const test::HttpRequest &r) {
    if (r.path == "/b/") {
      QByteArray toc;
      for (int i = 1; i <= kChapters; ++i)
        toc += "<a href=\"" + QByteArray::number(i) + ".html\">c" + QByteArray::number(i) + "</a>";
      return test::HttpResponse::text(toc).delayed(50);
    }
    return test::HttpResponse::text("<p>" + QByteArray(3000, 'x') + "</p>").delayed(50);
  });
  for (auto _ : state) {
    state.PauseTiming();
    Library lib;
    lib.app.settings.setValue(Settings::downthreads, QString::number(state.range(0)));
    const QByteArray key = RuleSet::geturlkey(site.url("/"));
    codec::writeFileAtomic(
        lib.app.rules.ruleFilePath(),
        RuleFile::build({"", "<dw><wk>" + key +
                                 "</wk><s0></s0><s1></s1><s2><a "
                                 "href=\"(.*?)\">(.*?)</a></s2><s3>$2</s3><s4>[webpath]"
                                 "$1</s4><s5></s5><s6></s6><s7>{{1}}<p>{{t}}</p></s7>"
                                 "<s8></s8><s9></s9><s10></s10></dw>"}));
    lib.app.rules.loadRules();
    lib.app.shelf.drawbookpanel();
    lib.app.updates.setUpdateNewBooks(false); // the update runs here, timed
    auto id = lib.app.shelf.newbook_do(QStringLiteral("书"), QStringLiteral("书"), QString(),
                                       QString::fromLatin1(site.url("/b/")));
    const int connectionsBefore = site.connectionCount();
    state.ResumeTiming();
    const bool ok = id && lib.app.updates.runHere(*id, 0);
    if (!ok) {
      state.SkipWithError("update failed");
      break;
    }
    state.counters["connections"] = double(site.connectionCount() - connectionsBefore);
  }
  state.counters["chapters_per_s"] = benchmark::Counter(
      double(kChapters) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_UpdateFromSlowSite)
    ->Arg(1)
    ->Arg(4)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

// The same chapter's processing alone: rules, word count, file and count, no fetch.
void BM_ProcessChapterPage(benchmark::State &state) {
  QString body;
  while (body.size() < 17600)
    body += QStringLiteral("　　少年站在山巅，望着远处翻涌的云海，心中百感交集。&nbsp;<br/>");
  const QByteArray page = codec::encode(QStringLiteral("<div id=\"content\">%1</div>").arg(body));
  Library lib;
  const QByteArray s7 = codec::encode(QStringLiteral(
      "{{1}}<div id=\"content\">{{t}}</div>\n{{2}}<div id=\"content\">{{t}}\n{{2}}</div>{{t}}\n"
      "{{3}}<br\\s*/?>{{t}}#13#10\n{{2}}&nbsp;{{t}} "));
  for (auto _ : state) {
    QByteArray text = lib.interpreter.guizstr(page, s7);
    text = lib.interpreter.guizstr(text, "{{0}}4{{t}}");
    int count = ChapterFiles::zishutj(text);
    lib.files.writeChapter(QStringLiteral("1"), QStringLiteral("1"), text);
    lib.chapters.setWords(QStringLiteral("1"), QStringLiteral("1"), count);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * page.size());
}
BENCHMARK(BM_ProcessChapterPage)->Unit(benchmark::kMicrosecond);

} // namespace
