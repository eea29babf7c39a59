// Template expansion: template NUL group 1 NUL group 2 …; "[webpath]" and "$k" over any
// groups, and "#10"/"#13" of arguments.
#include "core/settings.h"
#include "fuzz_support.h"
#include "rules/fetcher.h"
#include "rules/ruleinterpreter.h"
#include "rules/webpath.h"

using namespace inkwren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static Settings settings(QStringLiteral("/nonexistent/set.ini"));
  static WebPath webpath;
  static Fetcher fetcher(settings, webpath);
  static RuleInterpreter interp(fetcher);
  QByteArrayList parts = fuzz::split(data, size, 16);
  const QByteArray templ = parts.takeFirst();
  while (!parts.isEmpty() && parts.back().isEmpty())
    parts.removeLast();
  webpath.set(parts.value(0));
  RegexMatch match;
  match.groups = parts;
  (void)interp.regsp(templ, match);
  (void)RuleInterpreter::hcs(QString::fromLatin1(templ));
  return 0;
}
