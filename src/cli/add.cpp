// inkwren-cli add URL --name NAME [--author A] [--category C]: adds a novel to the shelf, last in
// its category (created when missing), without starting an update. Prints the new book id.
#include "cli/commands.h"
#include "cli/engine.h"

namespace inkwren::cli {

int add(Context &ctx) {
  QString url, name, author, category = QStringLiteral("默认分类");
  QStringList args = ctx.args;
  while (!args.isEmpty()) {
    QString a = args.takeFirst();
    if ((a == QLatin1String("--name") || a == QLatin1String("--author") ||
         a == QLatin1String("--category")) &&
        !args.isEmpty()) {
      QString v = args.takeFirst();
      (a == QLatin1String("--name")     ? name
       : a == QLatin1String("--author") ? author
                                        : category) = v;
    } else if (url.isEmpty() && !a.startsWith(QLatin1String("--"))) {
      url = a;
    } else {
      url.clear();
      break;
    }
  }
  if (url.isEmpty() || name.trimmed().isEmpty() || category.trimmed().isEmpty()) {
    printErr(
        QStringLiteral("usage: inkwren-cli add URL --name NAME [--author A] [--category C]\n"));
    return 2;
  }
  Engine engine(ctx.home);
  if (!engine.openLibrary())
    return 1;
  engine.updates.setUpdateNewBooks(false);
  engine.shelf.drawbookpanel();
  auto id =
      engine.shelf.newbook_do(category.trimmed(), name.trimmed(), author.trimmed(), url.trimmed());
  if (!id) {
    printErr(QStringLiteral("inkwren-cli: 无法新增小说\n"));
    return 1;
  }
  printOut(*id + QLatin1Char('\n'));
  return 0;
}

} // namespace inkwren::cli
