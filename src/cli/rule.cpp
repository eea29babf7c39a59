// inkwren-cli rule URL: looks up the rule record for an address in the data folder's rule file
// and prints its fields as "s0=" … "s10=" lines, line breaks inside a field shown as \r\n.
// Exit status 1 and no output when there is no rule for the site.
#include "cli/commands.h"

#include "cli/engine.h"
#include "core/codec.h"

namespace inkwren::cli {

int rule(Context &ctx) {
  if (!hasArgs(ctx, 1, "rule URL"))
    return 2;
  Engine engine(ctx.home);
  const QByteArrayList record = engine.rules.ruleFor(codec::encode(ctx.args[0]));
  if (record.isEmpty())
    return 1;
  QString out;
  for (qsizetype n = 0; n < record.size(); ++n) {
    QString field = codec::decode(record[n]);
    field.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"));
    field.replace(u'\r', QStringLiteral("\\r"));
    field.replace(u'\n', QStringLiteral("\\n"));
    out += QStringLiteral("s%1=").arg(n) + field + u'\n';
  }
  printOut(out);
  return 0;
}

} // namespace inkwren::cli
