#pragma once
// One update of a book at a time, across programs: the lock on the book's lock file
// (ChapterFiles::updateLockFile), taken without waiting and held while the object lives. The
// system lets it go when the program ends, however it ends.
//
// Threads: any; one object belongs to one job.
#include <QString>

namespace inkwren {

class BookLock {
public:
  explicit BookLock(const QString &path);
  ~BookLock();
  BookLock(const BookLock &) = delete;
  BookLock &operator=(const BookLock &) = delete;

  // True when this object holds the lock; false when another holds it (or the file can't be
  // opened, which is taken as free: a read-only folder can't be updated anyway).
  bool held() const { return held_; }
  bool busy() const { return busy_; }

private:
  int fd_ = -1;
  bool held_ = false;
  bool busy_ = false;
};

} // namespace inkwren
