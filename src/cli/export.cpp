// inkwren-cli export BOOKID FILE [--force]: writes the book's e-book (its shown chapters in
// order, each as title line, empty line, text, two empty lines) to FILE, ".txt" appended when
// FILE does not end with it. An existing file is replaced only with --force. Prints the path.
#include "cli/commands.h"
#include "cli/engine.h"

#include "shelf/ebook.h"
#include "shelf/shelfstore.h"

namespace inkwren::cli {
int exportBook(Context &ctx) {
  QStringList args = ctx.args;
  const bool force = args.removeAll(QStringLiteral("--force")) > 0;
  if (args.size() != 2 || !isId(args[0])) {
    printErr(QStringLiteral("usage: inkwren-cli export BOOKID FILE [--force]\n"));
    return 2;
  }
  Engine engine(ctx.home);
  if (!engine.openLibrary())
    return 1;
  if (!ShelfStore(engine.db).book(args[0])) {
    printErr(QStringLiteral("inkwren-cli: 没有编号为 %1 的小说\n").arg(args[0]));
    return 1;
  }
  const QString path = Ebook::ebookPath(args[1]);
  switch (Ebook(engine.chapters, engine.files).makeebook(args[0], path, force)) {
  case Ebook::Outcome::Written:
    printOut(path + QLatin1Char('\n'));
    return 0;
  case Ebook::Outcome::Exists:
    printErr(QStringLiteral("inkwren-cli: 文件已存在: %1 (use --force to overwrite)\n").arg(path));
    return 1;
  case Ebook::Outcome::Failed:
    break;
  }
  printErr(QStringLiteral("inkwren-cli: 无法写入 %1\n").arg(path));
  return 1;
}

} // namespace inkwren::cli
