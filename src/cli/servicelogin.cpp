#include "cli/servicelogin.h"

#include "cli/commands.h"
#include "cli/engine.h"

#include <cstdio>
#include <string>

namespace inkwren::cli {

QString takeUser(QStringList &args, bool *bad) {
  *bad = false;
  const qsizetype at = args.indexOf(QStringLiteral("--user"));
  if (at < 0)
    return {};
  if (at + 1 >= args.size()) {
    *bad = true;
    return {};
  }
  const QString user = args.at(at + 1);
  args.remove(at, 2);
  return user;
}

QString readPassword() {
  if (qEnvironmentVariableIsSet("INKWREN_PASSWORD"))
    return qEnvironmentVariable("INKWREN_PASSWORD");
  std::string line;
  int c;
  while ((c = std::fgetc(stdin)) != EOF && c != '\n')
    line.push_back(char(c));
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  return QString::fromStdString(line);
}

bool serviceLogin(Engine &engine, const QString &user) {
  if (!engine.proxyOrComplain())
    return false;
  const QString password = readPassword();
  if (user.isEmpty() || password.isEmpty()) {
    printErr(
        QStringLiteral("inkwren-cli: 需要 --user NAME 和密码 (INKWREN_PASSWORD 或标准输入)\n"));
    return false;
  }
  switch (engine.service.trylogin(user, password)) {
  case ServiceClient::LoginResult::Accepted:
    engine.service.login(user, password);
    return true;
  case ServiceClient::LoginResult::Refused:
    engine.messages.tsxx(QStringLiteral("账号或密码错误!"));
    return false;
  case ServiceClient::LoginResult::Unreachable:
    break;
  }
  printErr(QStringLiteral("inkwren-cli: 无法连接服务 %1\n")
               .arg(QString::fromUtf8(engine.service.webroot())));
  return false;
}

} // namespace inkwren::cli
