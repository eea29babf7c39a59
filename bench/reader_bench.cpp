// The reading page's text work: a chapter turned into HTML and filled into the template body.
#include "core/codec.h"
#include "reader/readingpage.h"

#include <QFile>
#include <benchmark/benchmark.h>

using namespace inkwren;

namespace {

QByteArray chapterOf(qsizetype bytes) {
  QByteArray text;
  const QByteArray line =
      codec::encode(QStringLiteral("　　这是一段用来计时的正文，夜色渐深，灯火未眠。\r\n"));
  while (text.size() < bytes)
    text += line;
  return text;
}

void fill(benchmark::State &state) {
  const QByteArray chapter = chapterOf(state.range(0));
  QFile t(QStringLiteral(INKWREN_BENCH_TEMPLATE));
  const QString page = t.open(QIODevice::ReadOnly) ? codec::decode(t.readAll()) : QString();
  for (auto _ : state) {
    const QString html = ReadingPage::stohtmlText(chapter);
    benchmark::DoNotOptimize(ReadingPage::fillPage(page, QStringLiteral("第一章"), html));
  }
  state.SetBytesProcessed(state.iterations() * chapter.size());
}
BENCHMARK(fill)->Arg(30 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond);

} // namespace
