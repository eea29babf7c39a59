// inkwren-cli fetch URL: prints the page as rule processing gets it (CR and LF removed),
// fetched with the directory flag set, and nothing else. A fetch that fails prints nothing and
// says why on standard error (exit 1).
#include "cli/commands.h"

#include "cli/engine.h"
#include "core/codec.h"

namespace inkwren::cli {

int fetch(Context &ctx) {
  if (!hasArgs(ctx, 1, "fetch URL"))
    return 2;
  Engine engine(ctx.home);
  HttpResult page = engine.main.fetcher.fetch(codec::encode(ctx.args[0]), {}, 0, 1);
  if (!page.ok) {
    printErr(QStringLiteral("inkwren-cli: 无法获取 %1: %2\n").arg(ctx.args[0], page.error));
    return 1;
  }
  page.body.removeIf([](char c) { return c == '\r' || c == '\n'; });
  writeOut(page.body);
  return 0;
}

} // namespace inkwren::cli
