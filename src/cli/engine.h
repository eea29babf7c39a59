#pragma once
// The services a command of inkwren-cli works with: the program's object graph on the data
// folder, with the settings read and the rules loaded; the library is opened on demand.
// Messages go to standard error and every question is answered "取消", so no command changes
// anything the user did not ask for.
#include "core/messages.h"
#include "shell/appcontext.h"

namespace inkwren::cli {

class ConsoleMessages : public Messages {
public:
  void tsxx(const QString &text) override;
  bool qrxx(const QString &question) override;
};

// The messages come first, so that they exist before the graph that refers to them.
struct ConsoleMessagesHolder {
  ConsoleMessages messages;
};

struct Engine : ConsoleMessagesHolder, AppContext {
  explicit Engine(const QString &home);
  // Opens the library; prints why not and gives false when it can't be opened.
  bool openLibrary();
  // The rule record for an address; prints "没有这个网站的规则" and gives an empty list when the
  // site has none.
  QByteArrayList ruleOrComplain(const QByteArray &address);
};

} // namespace inkwren::cli
