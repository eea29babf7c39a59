// inkwren-cli add URL --name NAME [--author A] [--category C] [--force]: adds a novel to the
// shelf, last in its category (created when missing), without starting an update. Prints the
// new book id. Only http:// and https:// addresses are taken; a novel with the same name,
// author and address is not added twice unless --force is given.
#include "cli/commands.h"
#include "cli/engine.h"
#include "shelf/shelfstore.h"

namespace inkwren::cli {

int add(Context &ctx) {
  QString url, name, author, category = QStringLiteral("默认分类");
  QStringList args = ctx.args;
  const bool force = args.removeAll(QStringLiteral("--force")) > 0;
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
    printErr(QStringLiteral("usage: inkwren-cli add URL --name NAME [--author A] [--category C] "
                            "[--force]\n"));
    return 2;
  }
  url = url.trimmed();
  if (!url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) &&
      !url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)) {
    printErr(QStringLiteral("inkwren-cli: 目录地址须以 http:// 或 https:// 开头: %1\n").arg(url));
    return 2;
  }
  Engine engine(ctx.home);
  if (!engine.openLibrary())
    return 1;
  engine.updates.setUpdateNewBooks(false);
  engine.shelf.drawbookpanel();
  if (!force) {
    auto exists = ShelfStore(engine.db).bookExists(name.trimmed(), author.trimmed(), url);
    if (exists && *exists) {
      printErr(QStringLiteral("inkwren-cli: 书架上已有这本小说 (同名、同作者、同地址); "
                              "要再添加请加 --force\n"));
      return 1;
    }
  }
  auto id = engine.shelf.newbook_do(category.trimmed(), name.trimmed(), author.trimmed(), url);
  if (!id) {
    printErr(QStringLiteral("inkwren-cli: 无法新增小说\n"));
    return 1;
  }
  printOut(*id + QLatin1Char('\n'));
  return 0;
}

} // namespace inkwren::cli
