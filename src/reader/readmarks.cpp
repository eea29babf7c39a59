#include "reader/readmarks.h"

#include "shelf/bookshelf.h"
#include "shelf/chapterstore.h"

#include <algorithm>

namespace inkwren {

bool ReadMarks::zjrschange(const QString &bookId, const QString &chapterId, int state) {
  const auto row = chapters_.chapter(bookId, chapterId);
  if (!row || row->readstate == state)
    return false;
  if (!chapters_.mark(bookId, {chapterId}, state == 1))
    return false;
  zjrschangeview(bookId, state);
  return true;
}

void ReadMarks::zjrschangeview(const QString &bookId, int state) {
  const TPItem *book = shelf_.getbn(bookId);
  if (!book)
    return;
  const int count = book->noreadcount + (state == 1 ? -1 : 1);
  shelf_.redrawbook(bookId, std::max(count, 0));
}

} // namespace inkwren
