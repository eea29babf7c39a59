// Rule expressions: rule NUL text. Every command over any text ends; command 4 finds no
// network (the proxy settings make no client), and the script engine is not reached (there
// is no application object), so only this program's code runs.
#include "core/settings.h"
#include "fuzz_support.h"
#include "rules/fetcher.h"
#include "rules/ruleinterpreter.h"
#include "rules/webpath.h"

using namespace inkwren;

namespace {

struct World {
  Settings settings{QStringLiteral("/nonexistent/set.ini")};
  WebPath webpath;
  Fetcher fetcher{settings, webpath};
  RuleInterpreter interp{fetcher};
  World() {
    settings.setValue(Settings::useproxy, QStringLiteral("1"));
    settings.setValue(Settings::proxyport, QStringLiteral("not a port"));
    webpath.set("http://site.example/book/");
  }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz::shortWalks();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static World world;
  const QByteArrayList parts = fuzz::split(data, size, 2);
  (void)world.interp.guizstr(parts[1], parts[0]);
  return 0;
}
