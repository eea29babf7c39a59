// inkwren-cli toc URL: a dry run for rule authors. Fetches a table of contents, applies the
// site's s1 and prints every chapter the update would add as name, volume and address
// separated by tabs, in page order, without touching the library.
#include "cli/commands.h"
#include "cli/engine.h"

#include "core/codec.h"
#include "rules/update/chapterlistextractor.h"

namespace inkwren::cli {

int toc(Context &ctx) {
  if (!hasArgs(ctx, 1, "toc URL"))
    return 2;
  Engine engine(ctx.home);
  const QByteArray url = codec::encode(ctx.args[0]);
  const QByteArrayList rule = engine.ruleOrComplain(url);
  if (rule.isEmpty() || !engine.proxyOrComplain())
    return 1;
  const FetchContext &fetch = engine.main;
  HttpResult got = fetch.fetcher.fetch(url, {}, 0, 1);
  if (!got.ok) {
    printErr(QStringLiteral("inkwren-cli: 无法获取 %1: %2\n").arg(ctx.args[0], got.error));
    return 1;
  }
  got.body.removeIf([](char c) { return c == '\r' || c == '\n'; });
  QByteArray page = fetch.interpreter.guizstr(got.body, rule.value(1));
  ChapterListExtractor extractor(engine.chapters, fetch.interpreter);
  QString out;
  for (const TocEntry &e : extractor.extract(page, rule))
    out += e.name + QLatin1Char('\t') + e.volume + QLatin1Char('\t') + e.url + QLatin1Char('\n');
  printOut(out);
  return 0;
}

} // namespace inkwren::cli
