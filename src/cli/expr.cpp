// inkwren-cli expr [--webpath URL] RULEFILE [INPUT]: runs the rule expression held in RULEFILE
// (GBK, one command a line) over INPUT, or standard input, and writes the resulting bytes.
#include "cli/commands.h"

#include "core/codec.h"
#include "core/datafolder.h"
#include "core/settings.h"
#include "rules/fetcher.h"
#include "rules/ruleinterpreter.h"
#include "rules/webpath.h"

#include <QFile>

#include <cstdio>

namespace inkwren::cli {

int expr(Context &ctx) {
  QStringList files;
  WebPath webpath;
  for (qsizetype i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] == QLatin1String("--webpath") && i + 1 < ctx.args.size())
      webpath.set(codec::encode(ctx.args[++i]));
    else
      files.append(ctx.args[i]);
  }
  if (files.isEmpty() || files.size() > 2) {
    printErr(QStringLiteral("usage: inkwren-cli expr [--webpath URL] RULEFILE [INPUT]\n"));
    return 2;
  }
  QFile ruleFile(files[0]);
  if (!ruleFile.open(QIODevice::ReadOnly)) {
    printErr(QStringLiteral("inkwren-cli: can't read %1\n").arg(files[0]));
    return 1;
  }
  const QByteArray rule = ruleFile.readAll();
  QFile input;
  bool opened = files.size() == 2 ? (input.setFileName(files[1]), input.open(QIODevice::ReadOnly))
                                  : input.open(stdin, QIODevice::ReadOnly);
  if (!opened) {
    printErr(QStringLiteral("inkwren-cli: can't read %1\n").arg(files.value(1, QStringLiteral("standard input"))));
    return 1;
  }
  const QByteArray text = input.readAll();

  Settings settings(DataFolder(ctx.home).path(QStringLiteral("config/set.ini")));
  settings.newset();
  settings.getset(1);
  Fetcher fetcher(settings, webpath);
  writeOut(RuleInterpreter(fetcher).guizstr(text, rule));
  return 0;
}

} // namespace inkwren::cli
