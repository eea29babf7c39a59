// inkwren-cli fetch URL: prints the page as rule processing gets it (CR and LF removed, empty
// on any failure), fetched with the directory flag set, and nothing else.
#include "cli/commands.h"

#include "core/codec.h"
#include "core/datafolder.h"
#include "core/settings.h"
#include "rules/fetcher.h"
#include "rules/webpath.h"

namespace inkwren::cli {

int fetch(Context &ctx) {
  if (ctx.args.size() != 1) {
    printErr(QStringLiteral("usage: inkwren-cli fetch URL\n"));
    return 2;
  }
  Settings settings(DataFolder(ctx.home).path(QStringLiteral("config/set.ini")));
  settings.newset();
  settings.getset(1);
  WebPath webpath;
  Fetcher fetcher(settings, webpath);
  writeOut(fetcher.opurl(codec::encode(ctx.args[0]), {}, 0, 1));
  return 0;
}

} // namespace inkwren::cli
