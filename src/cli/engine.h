#pragma once
// The services a command of inkwren-cli works with, built on the data folder: settings, the
// library (opened on demand), the rules and the fetcher. Messages go to standard error and
// every question is answered "取消", so no command changes anything the user did not ask for.
#include "core/database.h"
#include "core/datafolder.h"
#include "core/messages.h"
#include "core/services.h"
#include "core/settings.h"
#include "rules/fetcher.h"
#include "rules/ruleinterpreter.h"
#include "rules/ruleset.h"
#include "rules/webpath.h"
#include "shelf/chapterfiles.h"

namespace inkwren::cli {

class ConsoleMessages : public Messages {
public:
  void tsxx(const QString &text) override;
  bool qrxx(const QString &question) override;
};

struct Engine {
  explicit Engine(const QString &home);
  // Opens the library; prints why not and gives false when it can't be opened.
  bool openLibrary();
  // The rule record for an address; prints "没有这个网站的规则" and gives an empty list when the
  // site has none.
  QByteArrayList ruleOrComplain(const QByteArray &address);

  DataFolder folder;
  Settings settings;
  Database db;
  ConsoleMessages messages;
  Services services;
  WebPath webpath;
  Fetcher fetcher;
  RuleInterpreter interpreter;
  RuleSet rules;
  ChapterFiles files;
};

} // namespace inkwren::cli
