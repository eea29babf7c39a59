#pragma once
// A book's chapter rows (book_zhangjie) as the chapter list and the latest-updates list show
// and change them: listing in the four orders, marking read or unread, deleting with files,
// editing, adding, moving one chapter before another and storing a new order.
//
// It is the one place that reads or writes book_zhangjie: the update worker adds and downloads
// chapters through it too.
//
// Threads: any (the library serialises statements). The chapter-list commands call it on the
// main thread; the update worker calls it from its own thread.
#include "core/database.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace inkwren {

class ChapterFiles;

struct ChapterRow {
  QString id;        // zhangjieid
  QString name;      // zhangjiename
  QString volume;    // fenjuanname
  QString url;       // zhangjieurl
  int words = 0;     // zishutongji; 0: no text yet
  QString addtime;   // "yyyy-MM-dd hh:mm:ss"
  int readstate = 0; // 0 unread, 1 read
};

// A chapter as a table of contents lists it, ready to be added.
struct TocEntry {
  QString name;
  QString volume;
  QString url;
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

  // Removes a chapter row only (an import whose text could not be written).
  bool removeRow(const QString &bookId, const QString &chapterId);

  // Filters: a filtered chapter (shifuxianshi 0) is hidden from every list, count and
  // read-aloud query. The book's filtered chapters in its order, and showing or hiding one.
  Result<std::vector<ChapterRow>> filtered(const QString &bookId);
  bool setShown(const QString &bookId, const QString &chapterId, bool shown);

  // A chapter address as the library compares it: ASCII letters without regard to case.
  static QString addressKey(const QString &url);

  // The update worker's statements.
  // Shown chapters without text (word count 0), in the book's order.
  Result<std::vector<ChapterRow>> chaptersWithoutText(const QString &bookId);
  // The shown chapters among the given ids, in the book's order; ids that are not numbers are
  // left out.
  Result<std::vector<ChapterRow>> chaptersAmong(const QString &bookId, const QStringList &ids);
  // Adds the chapters whose address the book does not have yet (addresses compare without
  // regard to ASCII case, as the library does), numbered after its highest order key, in one
  // transaction. A chapter whose insert fails is skipped; its number is not reused. Gives the
  // number added, or -1 when the library could not be read.
  int appendNew(const QString &bookId, const std::vector<TocEntry> &entries);
  // Gives each chapter whose address is listed the position of its address in the list
  // (1-based; an address listed twice ends with its last position), in one transaction. Gives
  // the number of updates that changed a row.
  int setOrderByAddress(const QString &bookId, const QStringList &urlsInOrder);
  // Stores a chapter's name and volume.
  bool setNameAndVolume(const QString &bookId, const QString &chapterId, const QString &name,
                        const QString &volume);

  // Places chapter movedId just before chapter targetId by shifting the keys in between
  // (filtered chapters included). False when either is missing or a statement fails; then
  // nothing changed.
  bool zjmovesql(const QString &bookId, const QString &movedId, const QString &targetId);
  // Gives the chapters the keys 1, 2, 3, … in the given order; all or nothing.
  bool zjpaixsql(const QString &bookId, const QStringList &chapterIdsInOrder);

private:
  Database &db_;
};

} // namespace inkwren
