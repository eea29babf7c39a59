#pragma once
// The login of the service commands (stack, searchset, checkup): "--user NAME" among the
// arguments, the password from $INKWREN_PASSWORD or else the first line of standard input
// (never from an argument, where other users of the machine could read it).
#include <QString>
#include <QStringList>

namespace inkwren::cli {

struct Engine;

// Takes "--user NAME" out of args; empty when absent. *bad is set when "--user" has no value.
QString takeUser(QStringList &args, bool *bad);
// The password as typed: $INKWREN_PASSWORD when set, else standard input's first line.
QString readPassword();
// Logs in to the service as user. False after "账号或密码错误!" or a note that the service
// could not be reached (or that the proxy settings make every exchange fail).
bool serviceLogin(Engine &engine, const QString &user);

} // namespace inkwren::cli
