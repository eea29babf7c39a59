#include "cli/engine.h"

#include "cli/commands.h"

namespace inkwren::cli {

void ConsoleMessages::tsxx(const QString &text) { printErr(text + QLatin1Char('\n')); }

bool ConsoleMessages::qrxx(const QString &question) {
  printErr(question + QStringLiteral(" (取消)\n"));
  return false;
}

Engine::Engine(const QString &home)
    : folder(home), settings(folder.path(QStringLiteral("config/set.ini"))),
      services{folder, settings, db, messages, defaultWebroot()}, fetcher(settings, webpath),
      interpreter(fetcher), rules(folder.path(QStringLiteral("db/bookset.dat"))), files(folder) {
  settings.getset(1);
  rules.loadRules();
}

bool Engine::openLibrary() {
  QString why;
  if (db.connectioncreat(folder.path(QStringLiteral("db/book.dat")), &why))
    return true;
  printErr(QStringLiteral("inkwren-cli: 连接数据库失败! (%1)\n").arg(why));
  return false;
}

QByteArrayList Engine::ruleOrComplain(const QByteArray &address) {
  QByteArrayList rule = rules.ruleFor(address);
  if (rule.isEmpty())
    printErr(QStringLiteral("inkwren-cli: 没有这个网站的规则\n"));
  return rule;
}

} // namespace inkwren::cli
