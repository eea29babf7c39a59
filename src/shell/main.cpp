// The windowed program: builds the services, the main window with the bookshelf and the update
// commands, the start-up sequence, and runs the message loop.
#include "core/database.h"
#include "core/datafolder.h"
#include "core/settings.h"
#include "core/ui/messagewindows.h"
#include "core/ui/startup.h"
#include "reader/ui/htmlview.h"
#include "rules/fetcher.h"
#include "rules/ruleinterpreter.h"
#include "rules/ruleset.h"
#include "rules/ui/updatecontroller.h"
#include "rules/webpath.h"
#include "shell/mainform.h"
#include "shelf/ui/shelfwiring.h"

#include <QApplication>

using namespace inkwren;

int main(int argc, char **argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  // The name that places the program's own caches (the web views' storage), kept ASCII.
  QApplication::setApplicationName(QStringLiteral("inkwren"));
  QString home;
  QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); ++i)
    if (args[i] == QLatin1String("--home"))
      home = args[i + 1];

  DialogMessages messages;
  DataFolder folder(DataFolder::locate(home));
  QString error;
  if (!folder.prepare(&error)) {
    messages.tsxx(error);
    return 1;
  }
  Settings settings(folder.path(QStringLiteral("config/set.ini")));
  Database db;
  Services services{folder, settings, db, messages, defaultWebroot()};
  WebPath webpath;
  Fetcher fetcher(settings, webpath);
  RuleInterpreter interpreter(fetcher);
  RuleSet rules(folder.path(QStringLiteral("db/bookset.dat")));

  Tmainform mainform(services, createHtmlView);
  messages.setMainWindow(&mainform);
  ShelfWiring shelf(services, mainform);
  UpdateController updates(services, mainform, shelf, rules, webpath, fetcher, interpreter);

  Startup::Steps steps;
  steps.drawbookpanel = [&] { shelf.bookshelf().drawbookpanel(); };
  steps.loadRules = [&] { rules.loadRules(); };
  steps.updateAll = [&] { updates.downallbClick(); };
  steps.upset = [&] { rules.upset(fetcher, settings, services.webroot.toUtf8()); };
  steps.stopWorkers = [&] { updates.stopAll(); };
  Startup startup(services, mainform, steps);
  startup.FormCreate();
  mainform.show();
  int rc = app.exec();
  startup.FormDestroy();
  return rc;
}
