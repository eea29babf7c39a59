// inkwren-cli key URL: prints the site key of an address.
#include "cli/commands.h"

#include "core/codec.h"
#include "rules/ruleset.h"

namespace inkwren::cli {

int key(Context &ctx) {
  if (!hasArgs(ctx, 1, "key URL"))
    return 2;
  printOut(codec::decode(RuleSet::geturlkey(codec::encode(ctx.args[0]))) + u'\n');
  return 0;
}

} // namespace inkwren::cli
