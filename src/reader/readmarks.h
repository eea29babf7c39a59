#pragma once
// Read marks: reading a chapter (on the page or aloud) records it as read in the library and
// lowers the book's unread count on the bookshelf.
// Main thread only (the bookshelf's counts belong to the main thread).
#include <QString>

namespace inkwren {

class Bookshelf;
class ChapterStore;

class ReadMarks {
public:
  ReadMarks(ChapterStore &chapters, Bookshelf &shelf) : chapters_(chapters), shelf_(shelf) {}

  // Sets a chapter's read state (1 read, 0 unread). Nothing happens when the chapter already
  // has that state, or when the library has no such chapter (a chapter deleted meanwhile must
  // not change the count). Gives whether the state changed.
  bool zjrschange(const QString &bookId, const QString &chapterId, int state);
  // The book's unread count on the shelf goes down by one for state 1, up by one otherwise,
  // never below 0, and the book's label follows. A book not on the shelf is left alone.
  void zjrschangeview(const QString &bookId, int state);

private:
  ChapterStore &chapters_;
  Bookshelf &shelf_;
};

} // namespace inkwren
