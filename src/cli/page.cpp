// inkwren-cli page BOOKID CHAPTERID: prints the reading page of a chapter as the reading view
// receives it after the fill (the template "book/bank.html" with "[[title]]" and "[[content]]"
// replaced in its body), as UTF-8, and marks the chapter read as the window does (its read
// state, and with it the book's unread count).
#include "cli/commands.h"
#include "cli/engine.h"

#include "core/codec.h"
#include "reader/readingpage.h"
#include "reader/readmarks.h"
#include "shelf/shelfstore.h"

#include <QFileInfo>

namespace inkwren::cli {

int page(Context &ctx) {
  if (ctx.args.size() != 2 || !isId(ctx.args[0]) || !isId(ctx.args[1])) {
    printErr(QStringLiteral("usage: inkwren-cli page BOOKID CHAPTERID\n"));
    return 2;
  }
  const QString &bookId = ctx.args[0], &chapterId = ctx.args[1];
  Engine engine(ctx.home);
  if (!engine.openLibrary())
    return 1;
  if (!ShelfStore(engine.db).book(bookId)) {
    printErr(QStringLiteral("inkwren-cli: 没有编号为 %1 的小说\n").arg(bookId));
    return 1;
  }
  const auto chapter = engine.chapters.chapter(bookId, chapterId);
  if (!chapter) {
    printErr(QStringLiteral("inkwren-cli: 小说 %1 没有编号为 %2 的章节\n").arg(bookId, chapterId));
    return 1;
  }
  const QString path = ReadingPage::templatePath(engine.folder);
  if (!QFileInfo(path).isFile()) {
    printErr(QStringLiteral("inkwren-cli: 没有阅读模板 %1\n").arg(path));
    return 1;
  }
  const QString html = codec::decode(codec::readtxt(path));
  printOut(ReadingPage::fillPage(html, chapter->name,
                                 ReadingPage::chapterHtml(engine.files, bookId, chapterId)));
  ReadMarks(engine.chapters, engine.shelf).zjrschange(bookId, chapterId, 1);
  return 0;
}

} // namespace inkwren::cli
