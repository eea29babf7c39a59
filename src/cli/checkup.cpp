// inkwren-cli checkup [--user NAME]: asks the service whether a newer program version exists
// ("发现新版本，是否更新？" or "当前版本为最新版本，无需更新！"); nothing is installed. The
// check needs no login, so a name given is not used. Exit status 1 when the service could not
// be reached.
#include "cli/commands.h"
#include "cli/engine.h"
#include "cli/servicelogin.h"

namespace inkwren::cli {

int checkup(Context &ctx) {
  QStringList args = ctx.args;
  bool bad = false;
  takeUser(args, &bad);
  if (bad || !args.isEmpty()) {
    printErr(QStringLiteral("usage: inkwren-cli checkup [--user NAME]\n"));
    return 2;
  }
  Engine engine(ctx.home);
  if (!engine.proxyOrComplain())
    return 1;
  return engine.updatecheck.checkup(true) == ServiceClient::CheckResult::Unreachable ? 1 : 0;
}

} // namespace inkwren::cli
