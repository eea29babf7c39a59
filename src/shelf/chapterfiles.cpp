#include "shelf/chapterfiles.h"

#include "core/codec.h"
#include "core/datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace inkwren {
namespace {

// Removes everything inside the open directory dfd, then nothing else. Works on descriptors
// (openat with O_NOFOLLOW) so that a link swapped in for a sub-folder is never entered.
void clearDirAt(int dfd) {
  DIR *dir = fdopendir(dfd);
  if (!dir) {
    close(dfd);
    return;
  }
  while (dirent *e = readdir(dir)) {
    const char *name = e->d_name;
    if (!strcmp(name, ".") || !strcmp(name, ".."))
      continue;
    struct stat st;
    if (fstatat(dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      continue;
    if (S_ISDIR(st.st_mode)) {
      int sub = openat(dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (sub >= 0) {
        clearDirAt(sub);
        unlinkat(dirfd(dir), name, AT_REMOVEDIR);
      }
    } else {
      // Files, and links of any kind: the entry itself goes, never what a link points at.
      unlinkat(dirfd(dir), name, 0);
    }
  }
  closedir(dir);
}

} // namespace

ChapterFiles::ChapterFiles(const DataFolder &folder) : root_(folder.path(QStringLiteral("book"))) {}

QString ChapterFiles::bookDir(const QString &bookId) const {
  return root_ + u'/' + bookId;
}

QString ChapterFiles::chapterFile(const QString &bookId, const QString &chapterId) const {
  return bookDir(bookId) + u'/' + chapterId + QStringLiteral(".txt");
}

QString ChapterFiles::bookmarkFile(const QString &bookId) const {
  return bookDir(bookId) + QStringLiteral("/bookmark.txt");
}

QString ChapterFiles::chapterDir(const QString &bookId, const QString &chapterId) const {
  return bookDir(bookId) + u'/' + chapterId;
}

QByteArray ChapterFiles::readChapter(const QString &bookId, const QString &chapterId) const {
  return codec::readtxt(chapterFile(bookId, chapterId));
}

bool ChapterFiles::writeChapter(const QString &bookId, const QString &chapterId,
                                QByteArrayView gbk) const {
  if (!QDir().mkpath(bookDir(bookId)))
    return false;
  return codec::writeLines(chapterFile(bookId, chapterId), gbk);
}

QString ChapterFiles::updateLockFile(const QString &bookId) const {
  QDir().mkpath(bookDir(bookId));
  return bookDir(bookId) + QStringLiteral("/.updating");
}

QString ChapterFiles::writePicture(const QString &bookId, const QString &chapterId,
                                   const QString &name, QByteArrayView bytes) const {
  if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') ||
      name == QLatin1String("..") || name == QLatin1String("."))
    return {};
  const QString dir = chapterDir(bookId, chapterId);
  if (!QDir().mkpath(dir) || !codec::writeFileAtomic(dir + u'/' + name, bytes))
    return {};
  return bookId + u'\\' + chapterId + u'\\' + name;
}

void ChapterFiles::deleteChapter(const QString &bookId, const QString &chapterId) const {
  QFile::remove(chapterFile(bookId, chapterId));
  DeleteDir(chapterDir(bookId, chapterId));
}

void ChapterFiles::deleteBook(const QString &bookId) const {
  DeleteDir(bookDir(bookId));
}

void ChapterFiles::DeleteDir(const QString &folder) {
  if (folder.isEmpty())
    return;
  QByteArray path = QFile::encodeName(folder);
  while (path.size() > 1 && path.endsWith('/'))
    path.chop(1);
  struct stat st;
  if (lstat(path.constData(), &st) != 0)
    return;
  if (!S_ISDIR(st.st_mode)) {
    // A link in the folder's place is removed as a link; its target stays untouched.
    if (S_ISLNK(st.st_mode))
      unlink(path.constData());
    return;
  }
  int dfd = open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dfd < 0)
    return;
  clearDirAt(dfd);
  rmdir(path.constData());
}

int ChapterFiles::zishutj(QByteArrayView gbk) {
  int ascii = 0, high = 0;
  for (char c : gbk) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 0x21 && b <= 0x7E)
      ++ascii;
    else if (b >= 0x7F)
      ++high;
  }
  return ascii + high / 2;
}

} // namespace inkwren
