// inkwren-cli update BOOKID | --all: the update run of the windows, headless, through the same
// update service. Prints the texts the status bar would show, one a line. Exit status 0 when
// every run ended normally.
#include "cli/commands.h"
#include "cli/engine.h"

#include "rules/update/threaddown.h"

namespace inkwren::cli {

int update(Context &ctx) {
  if (ctx.args.size() != 1) {
    printErr(QStringLiteral("usage: inkwren-cli update BOOKID | --all\n"));
    return 2;
  }
  Engine engine(ctx.home);
  if (!engine.openLibrary() || !engine.rulesOrComplain() || !engine.proxyOrComplain())
    return 1;
  engine.shelf.drawbookpanel();
  UpdateService &updates = engine.updates;
  QObject::connect(&updates, &UpdateService::status,
                   [](int, const QString &text) { printOut(text + QLatin1Char('\n')); });
  QObject::connect(
      &updates, &UpdateService::runFailed, [&engine](const QString &bookId, const QString &why) {
        const TPItem *book = engine.shelf.getbn(bookId);
        printErr(QStringLiteral("inkwren-cli: %1: %2\n").arg(book ? book->name : bookId, why));
      });
  if (ctx.args[0] == QLatin1String("--all"))
    return updates.runUpdateAllHere() ? 0 : 1;
  const QString bookId = ctx.args[0];
  if (!engine.shelf.getbn(bookId)) {
    printErr(QStringLiteral("inkwren-cli: 没有这本小说: %1\n").arg(bookId));
    return 1;
  }
  return updates.runHere(bookId, TThreadDown::UpdateBook) ? 0 : 1;
}

} // namespace inkwren::cli
