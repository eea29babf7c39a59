// The windowed program: finds and prepares the data folder, builds the object graph and the
// windows on it, runs the start-up sequence and the message loop.
#include "core/datafolder.h"
#include "core/ui/desktopapp.h"
#include "core/ui/messagewindows.h"
#include "core/ui/startup.h"
#include "reader/ui/htmlviews.h"
#include "shell/appcontext.h"
#include "shell/ui/mainform.h"
#include "shell/ui/programwindow.h"

#include <QApplication>

using namespace inkwren;

int main(int argc, char **argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  // The name that places the program's own caches (the web views' storage), kept ASCII.
  QApplication::setApplicationName(QStringLiteral("inkwren"));
  prepareDesktopApplication(app);
  QString home;
  QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); ++i)
    if (args[i] == QLatin1String("--home"))
      home = args[i + 1];

  DialogMessages messages;
  const QString root = DataFolder::locate(home);
  QString error;
  if (!DataFolder(root).prepare(&error)) {
    messages.tsxx(error);
    return 1;
  }
  AppContext context(root, messages);
  ProgramWindow window(context, createHtmlView);
  messages.setMainWindow(&window.main());
  window.startup().FormCreate();
  window.main().show();
  const int rc = app.exec();
  window.startup().FormDestroy();
  return rc;
}
