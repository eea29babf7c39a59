#include "cli/engine.h"

#include "cli/commands.h"

namespace inkwren::cli {

void ConsoleMessages::tsxx(const QString &text) {
  printErr(text + QLatin1Char('\n'));
}

bool ConsoleMessages::qrxx(const QString &question) {
  const bool yes = agreed.contains(question);
  printErr(question + (yes ? QStringLiteral(" (确认)\n") : QStringLiteral(" (取消)\n")));
  return yes;
}

Engine::Engine(const QString &home) : AppContext(home, messages) {
  loadForCommandLine();
}

bool Engine::openLibrary() {
  QString why;
  if (AppContext::openLibrary(&why))
    return true;
  printErr(QStringLiteral("inkwren-cli: 连接数据库失败! (%1)\n").arg(why));
  return false;
}

bool Engine::rulesOrComplain() {
  if (!rules.rulestext().isEmpty())
    return true;
  printErr(QStringLiteral("inkwren-cli: 规则文件无法读取或没有网站规则: %1\n")
               .arg(rules.ruleFilePath()));
  return false;
}

bool Engine::proxyOrComplain() {
  if (main.fetcher.clientOptions(0))
    return true;
  printErr(QStringLiteral("inkwren-cli: 代理设置无效 (代理端口应为 0 到 65535 的数字)\n"));
  return false;
}

QByteArrayList Engine::ruleOrComplain(const QByteArray &address) {
  if (!rulesOrComplain())
    return {};
  QByteArrayList rule = rules.ruleFor(address);
  if (rule.isEmpty())
    printErr(QStringLiteral("inkwren-cli: 没有这个网站的规则\n"));
  return rule;
}

} // namespace inkwren::cli
