// inkwren-cli expr [--webpath URL] RULEFILE [INPUT]: runs the rule expression held in RULEFILE
// (GBK, one command a line) over INPUT, or standard input, and writes the resulting bytes.
#include "cli/commands.h"
#include "cli/engine.h"

#include "core/codec.h"

#include <QFile>

#include <cstdio>

namespace inkwren::cli {

int expr(Context &ctx) {
  QStringList files;
  Engine engine(ctx.home);
  for (qsizetype i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] == QLatin1String("--webpath") && i + 1 < ctx.args.size())
      engine.main.webpath.set(codec::encode(ctx.args[++i]));
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
    printErr(QStringLiteral("inkwren-cli: can't read %1\n")
                 .arg(files.value(1, QStringLiteral("standard input"))));
    return 1;
  }
  writeOut(engine.main.interpreter.guizstr(input.readAll(), rule));
  return 0;
}

} // namespace inkwren::cli
