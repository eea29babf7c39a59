#pragma once
// A book's chapter rows (book_zhangjie) as the chapter list and the latest-updates list show
// and change them: listing in the four orders, marking read or unread, deleting with files,
// editing, adding, moving one chapter before another and storing a new order.
//
// Threads: any (the library serialises statements). The chapter-list commands call it on the
// main thread; the update worker may add chapters through addChapter from its own thread.
#include "core/database.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace inkwren {

class ChapterFiles;

struct ChapterRow {
  QString id;       // zhangjieid
  QString name;     // zhangjiename
  QString volume;   // fenjuanname
  QString url;      // zhangjieurl
  int words = 0;    // zishutongji; 0: no text yet
  QString addtime;  // "yyyy-MM-dd hh:mm:ss"
  int readstate = 0; // 0 unread, 1 read
};

// A row of the latest-updates list: a chapter with its book.
struct LatestRow {
  QString bookId;
  QString bookName;
  ChapterRow chapter;
};

class ChapterStore {
public:
  // Orders of the chapter list: 0 the book's order, 1 by name, 2 by time added, 3 by address.
  enum Order { ByKey = 0, ByName = 1, ByTime = 2, ByUrl = 3 };

  explicit ChapterStore(Database &db) : db_(db) {}

  // The shown chapters of a book in the given order.
  Result<std::vector<ChapterRow>> drawmulu(const QString &bookId, int mode);
  // The newest shown chapters of all books, newest first, equal times by larger key first.
  Result<std::vector<LatestRow>> latest(int limit = 100);
  std::optional<ChapterRow> chapter(const QString &bookId, const QString &chapterId);

  // Sets readstate of the given chapters of the book (filtered ones too when listed).
  bool mark(const QString &bookId, const QStringList &chapterIds, bool read);
  // Sets readstate of every chapter of the book, filtered ones included.
  bool markAll(const QString &bookId, bool read);

  // Deletes one chapter row and then its text file and picture folder (missing files are no
  // error). A row that could not be deleted keeps its files; false then.
  bool zjdelsql(const ChapterFiles &files, const QString &bookId, const QString &chapterId);

  // Stores a chapter's name, volume and address.
  bool editzjsx(const QString &bookId, const QString &chapterId, const QString &name,
                const QString &volume, const QString &url);
  // Stores the word count of a chapter's text.
  bool setWords(const QString &bookId, const QString &chapterId, int words);
  // The next order key of the book: largest plus 1, 1 for a book without chapters.
  Result<qint64> nextKey(const QString &bookId);
  // Adds a chapter last (with a word count for an imported text) and reads the new row back.
  std::optional<ChapterRow> addChapter(const QString &bookId, const QString &name,
                                       const QString &volume, const QString &url,
                                       std::optional<int> words = std::nullopt);

  // Places chapter movedId just before chapter targetId by shifting the keys in between
  // (filtered chapters included). False when either is missing or a statement fails; then
  // nothing changed.
  bool zjmovesql(const QString &bookId, const QString &movedId, const QString &targetId);
  // Gives the chapters the keys 1, 2, 3, … in the given order; all or nothing.
  bool zjpaixsql(const QString &bookId, const QStringList &chapterIdsInOrder);

  Database &db() { return db_; }

private:
  Database &db_;
};

} // namespace inkwren
