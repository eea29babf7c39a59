// Rule processing next to network time: a chapter rule over a 50 KB chapter page, and the
// chapter pattern over a 500 KB one-line table of contents with 3000 links.
#include "core/codec.h"
#include "core/settings.h"
#include "rules/fetcher.h"
#include "rules/regex.h"
#include "rules/ruleinterpreter.h"
#include "rules/webpath.h"


#include <benchmark/benchmark.h>

namespace {

using namespace inkwren;

QByteArray gbk(const QString &s) { return codec::encode(s); }

// A chapter page: page furniture, then about 40 KB of text in paragraphs with indentation
// entities, line-break tags and a few links, then more furniture.
QByteArray chapterPage() {
  QString page = QStringLiteral("<html><head><title>第一百二十三章 风起</title></head><body>"
                                "<div class=\"nav\"><a href=\"/\">首页</a> &gt; <a href=\"/book/1/\">目录</a></div>");
  page += QStringLiteral("<p>广告位</p>").repeated(200);
  page += QStringLiteral("<div id=\"content\">");
  const QString paragraph = QStringLiteral(
      "&#12288;&#12288;天色渐暗，山风从谷口灌进来，吹得火堆噼啪作响。他把长剑横在膝上，"
      "望着远处若隐若现的灯火，心里盘算着明日的路程。&ldquo;走吧。&rdquo;<br /><br />");
  int n = 0;
  while (gbk(page).size() < 46 * 1024) {
    page += paragraph;
    if (++n % 20 == 0)
      page += QStringLiteral("<a href=\"/ad/%1.html\">点击</a>").arg(n);
  }
  page += QStringLiteral("</div><div class=\"footer\">本站所有小说均来自网络</div>");
  while (gbk(page).size() < 50 * 1024)
    page += QStringLiteral("<p>页脚链接</p>");
  page += QStringLiteral("</body></html>");
  return gbk(page);
}

QByteArray tocPage() {
  QString page = QStringLiteral("<html><body><div id=\"list\"><dl><dt>正文卷</dt>");
  for (int i = 1; i <= 3000; ++i)
    page += QStringLiteral("<dd><a href=\"/book/1/%1.html\">第%1章 山河故人与远行之路</a></dd>"
                           "<span class=\"t\">更新时间：2026-01-01 字数：3000</span>")
                .arg(1000000 + i);
  page += QStringLiteral("</dl></div>");
  QByteArray bytes = gbk(page);
  while (bytes.size() < 500 * 1024)
    bytes += "<p class=\"pad\">&nbsp;</p>";
  return bytes + "</body></html>";
}

struct Engine {
  Engine() : settings(QStringLiteral("/nonexistent/set.ini")), fetcher(settings, webpath), interp(fetcher) {
    settings.newset();
    webpath.set("http://www.novel.example/book/1/");
  }
  Settings settings;
  WebPath webpath;
  Fetcher fetcher;
  RuleInterpreter interp;
};

void ChapterRule(benchmark::State &state) {
  Engine e;
  const QByteArray page = chapterPage();
  const QByteArray rule = gbk(QStringLiteral("{{1}}<div id=\"content\">{{t}}</div>\r\n"
                                             "{{2}}<br /><br />{{t}}#13#10\r\n"
                                             "{{2}}<br />{{t}}\r\n"
                                             "{{3}}<a[^>]*>.*?</a>{{t}}\r\n"
                                             "{{2}}<div id=\"content\">{{t}}\r\n"
                                             "{{0}}4{{t}}"));
  for (auto _ : state)
    benchmark::DoNotOptimize(e.interp.guizstr(page, rule));
  state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(ChapterRule)->Unit(benchmark::kMillisecond);

void TableOfContents(benchmark::State &state) {
  const QByteArray page = tocPage();
  for (auto _ : state) {
    Regex re(QByteArrayView("<a href=\"(.*?)\">(.*?)</a>"));
    QList<RegexMatch> matches = re.matchAll(page);
    if (matches.size() != 3002 && matches.size() != 3000)
      state.SkipWithError("wrong number of chapters");
    benchmark::DoNotOptimize(matches);
  }
  state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(TableOfContents)->Unit(benchmark::kMillisecond);

void TableOfContentsWithTemplates(benchmark::State &state) {
  Engine e;
  const QByteArray page = tocPage();
  for (auto _ : state) {
    Regex re(QByteArrayView("<a href=\"(.*?)\">(.*?)</a>"));
    for (const RegexMatch &m : re.matchAll(page)) {
      benchmark::DoNotOptimize(e.interp.regsp(QByteArray("$2"), m));
      benchmark::DoNotOptimize(e.interp.regsp(QByteArray("[webpath]$1"), m));
    }
  }
  state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(TableOfContentsWithTemplates)->Unit(benchmark::kMillisecond);

} // namespace
