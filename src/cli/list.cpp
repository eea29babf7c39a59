// inkwren-cli list: the shelf as tab-separated lines, categories in order, each followed by its
// books in order:
//   category <TAB> typeid <TAB> typename
//   book <TAB> bookid <TAB> bookname <TAB> unread count
#include "cli/commands.h"
#include "cli/engine.h"

#include "shelf/shelfstore.h"

namespace inkwren::cli {

int list(Context &ctx) {
  if (!ctx.args.isEmpty()) {
    printErr(QStringLiteral("usage: inkwren-cli list\n"));
    return 2;
  }
  Engine engine(ctx.home);
  if (!engine.openLibrary())
    return 1;
  ShelfStore store(engine.db);
  auto categories = store.categories();
  if (!categories) {
    printErr(QStringLiteral("inkwren-cli: %1\n").arg(categories.error()));
    return 1;
  }
  QString out;
  for (const TPItem &c : *categories) {
    out += QStringLiteral("category\t%1\t%2\n").arg(c.id, c.name);
    auto books = store.books(c.id);
    if (!books) {
      printErr(QStringLiteral("inkwren-cli: %1\n").arg(books.error()));
      return 1;
    }
    for (const TPItem &b : *books)
      out += QStringLiteral("book\t%1\t%2\t%3\n").arg(b.id, b.name).arg(b.noreadcount);
  }
  printOut(out);
  return 0;
}

} // namespace inkwren::cli
