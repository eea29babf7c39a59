// inkwren-cli fetch URL: prints the page as rule processing gets it (CR and LF removed, empty
// on any failure), fetched with the directory flag set, and nothing else.
#include "cli/commands.h"

#include "cli/engine.h"
#include "core/codec.h"

namespace inkwren::cli {

int fetch(Context &ctx) {
  if (!hasArgs(ctx, 1, "fetch URL"))
    return 2;
  Engine engine(ctx.home);
  writeOut(engine.main.fetcher.opurl(codec::encode(ctx.args[0]), {}, 0, 1));
  return 0;
}

} // namespace inkwren::cli
