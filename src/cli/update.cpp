// inkwren-cli update BOOKID | --all: the update run of the windows, headless. Prints the texts
// the status bar would show (panel 1), one a line. Exit status 0 when every run ended normally.
#include "cli/commands.h"
#include "cli/engine.h"

#include "core/codec.h"
#include "rules/update/threaddown.h"
#include "rules/update/updateall.h"
#include "shelf/bookshelf.h"
#include "shelf/currentbook.h"

namespace inkwren::cli {
namespace {

bool updateBook(Engine &engine, const QString &bookId) {
  auto row = engine.db.queryOne(QStringLiteral("select bookname,muluurl from book_list where bookid=?"),
                                {bookId.toLongLong()});
  if (!row || !*row) {
    printErr(QStringLiteral("inkwren-cli: 没有这本小说: %1\n").arg(bookId));
    return false;
  }
  printOut(QStringLiteral("更新小说 %1\n开始更新...\n").arg((*row)->text(QStringLiteral("bookname"))));
  TThreadDown worker({engine.db, engine.rules, engine.settings, engine.webpath, engine.files},
                     bookId, TThreadDown::UpdateBook,
                     codec::encode((*row)->text(QStringLiteral("muluurl"))));
  QObject::connect(&worker, &TThreadDown::status,
                   [](const QString &text) { printOut(text + QLatin1Char('\n')); });
  worker.dodown();
  printOut(QStringLiteral("更新停止\n"));
  return !worker.failed();
}

} // namespace

int update(Context &ctx) {
  if (ctx.args.size() != 1) {
    printErr(QStringLiteral("usage: inkwren-cli update BOOKID | --all\n"));
    return 2;
  }
  Engine engine(ctx.home);
  if (!engine.openLibrary())
    return 1;
  if (ctx.args[0] != QLatin1String("--all"))
    return updateBook(engine, ctx.args[0]) ? 0 : 1;
  CurrentBook current;
  Bookshelf shelf(engine.services, current);
  shelf.drawbookpanel();
  bool ok = true;
  for (auto next = nextBookToUpdate(shelf, 0); next; next = nextBookToUpdate(shelf, next->index))
    ok = updateBook(engine, next->bookId) && ok;
  return ok ? 0 : 1;
}

} // namespace inkwren::cli
