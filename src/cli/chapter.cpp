// inkwren-cli chapter URL: a dry run of one chapter's download: the page fetched, s7 and s10
// applied (pictures are not downloaded), the text printed.
#include "cli/commands.h"
#include "cli/engine.h"

#include "core/codec.h"
#include "rules/update/chapterdownloader.h"

namespace inkwren::cli {

int chapter(Context &ctx) {
  if (!hasArgs(ctx, 1, "chapter URL"))
    return 2;
  Engine engine(ctx.home);
  const QByteArray url = codec::encode(ctx.args[0]);
  const QByteArrayList rule = engine.ruleOrComplain(url);
  if (rule.isEmpty() || !engine.proxyOrComplain())
    return 1;
  ChapterDownloader downloader(engine.chapters, engine.main.fetcher, engine.main.interpreter,
                               engine.files);
  bool fetched = false;
  const QByteArray text = downloader.chapterText({}, {}, url, rule, false, {}, &fetched);
  if (!fetched) {
    printErr(QStringLiteral("inkwren-cli: 无法获取 %1\n").arg(ctx.args[0]));
    return 1;
  }
  printOut(codec::decode(text));
  return 0;
}

} // namespace inkwren::cli
