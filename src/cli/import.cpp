// inkwren-cli import BOOKID FILE: adds the text file as the book's last chapter, named after
// the file (cut before its first "." unless the name starts with it), with the text's word
// count, and writes the text to the book's folder. Prints the new chapter id.
#include "cli/commands.h"
#include "cli/engine.h"

#include "shelf/chapterimport.h"
#include "shelf/shelfstore.h"

namespace inkwren::cli {
int importFile(Context &ctx) {
  if (ctx.args.size() != 2 || !isId(ctx.args[0])) {
    printErr(QStringLiteral("usage: inkwren-cli import BOOKID FILE\n"));
    return 2;
  }
  Engine engine(ctx.home);
  if (!engine.openLibrary())
    return 1;
  const QString bookId = ctx.args[0];
  if (!ShelfStore(engine.db).book(bookId)) {
    printErr(QStringLiteral("inkwren-cli: 没有编号为 %1 的小说\n").arg(bookId));
    return 1;
  }
  auto row = ChapterImport(engine.chapters, engine.files).filetozj(bookId, ctx.args[1]);
  if (!row) {
    printErr(QStringLiteral("inkwren-cli: 无法导入 %1\n").arg(ctx.args[1]));
    return 1;
  }
  printOut(row->id + QLatin1Char('\n'));
  return 0;
}

} // namespace inkwren::cli
