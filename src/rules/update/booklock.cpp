#include "rules/update/booklock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace inkwren {

BookLock::BookLock(const QString &path) {
  fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0)
    return;
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
    held_ = true;
  else
    busy_ = errno == EWOULDBLOCK;
}

BookLock::~BookLock() {
  if (fd_ >= 0)
    ::close(fd_); // lets the lock go
}

} // namespace inkwren
