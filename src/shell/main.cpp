// The windowed program: builds the services, the main window and the start-up sequence, and
// runs the message loop.
#include "core/database.h"
#include "core/datafolder.h"
#include "core/settings.h"
#include "core/ui/messagewindows.h"
#include "core/ui/startup.h"
#include "reader/ui/htmlview.h"
#include "shelf/ui/shelfwiring.h"
#include "shell/mainform.h"

#include <QApplication>

using namespace inkwren;

int main(int argc, char **argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
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

  Tmainform mainform(services, createWebEngineView);
  messages.setMainWindow(&mainform);
  Startup::Steps steps;
  // Bookshelf: its views and commands in the main window; the tree is drawn at start-up.
  ShelfWiring shelf(services, mainform);
  steps.drawbookpanel = [&shelf] { shelf.bookshelf().drawbookpanel(); };
  Startup startup(services, mainform, steps);
  startup.FormCreate();
  mainform.show();
  int rc = app.exec();
  startup.FormDestroy();
  return rc;
}
