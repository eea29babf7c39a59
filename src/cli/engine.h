#pragma once
// The services a command of inkwren-cli works with: the program's object graph on the data
// folder, with the settings read and the rules loaded; the library is opened on demand.
// Messages go to standard error and every question is answered "取消" (unless the command made
// it one of its agreed questions), so no command changes anything the user did not ask for.
#include "core/messages.h"
#include "shell/appcontext.h"

namespace inkwren::cli {

class ConsoleMessages : public Messages {
public:
  void tsxx(const QString &text) override;
  bool qrxx(const QString &question) override;
  // Questions a command answers "确认" because the command itself asked for that (the
  // "确实要清空？" of "stack clear").
  QStringList agreed;
};

// The messages come first, so that they exist before the graph that refers to them.
struct ConsoleMessagesHolder {
  ConsoleMessages messages;
};

struct Engine : ConsoleMessagesHolder, AppContext {
  explicit Engine(const QString &home);
  // Opens the library; prints why not and gives false when it can't be opened.
  bool openLibrary();
  // The rule record for an address; prints why and gives an empty list when there is none
  // (the rule file can't be read or holds no rules, or the site has none).
  QByteArrayList ruleOrComplain(const QByteArray &address);
  // False (and says why) when the rule file could not be read or holds no site rules.
  bool rulesOrComplain();
  // False (and says why) when the proxy settings make every fetch fail.
  bool proxyOrComplain();
};

} // namespace inkwren::cli
