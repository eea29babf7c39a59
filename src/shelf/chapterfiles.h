#pragma once
// The chapter files of the library under the data folder's "book" folder:
//   book/B/Z.txt  the text of chapter Z of book B (GBK lines ended by CR LF)
//   book/B/Z/     the chapter's pictures
//   book/B/       the book's folder, removed with the book
//   book/B/bookmark.txt  the book's bookmarks (kept by the reader)
// Stateless apart from the data folder's root; any thread may call any method.
#include <QByteArray>
#include <QString>

namespace inkwren {

class DataFolder;

class ChapterFiles {
public:
  explicit ChapterFiles(const DataFolder &folder);

  QString bookDir(const QString &bookId) const;                               // .../book/B
  QString chapterFile(const QString &bookId, const QString &chapterId) const; // .../book/B/Z.txt
  QString chapterDir(const QString &bookId, const QString &chapterId) const;  // .../book/B/Z
  QString bookmarkFile(const QString &bookId) const; // .../book/B/bookmark.txt

  // The file an update of the book holds locked while it runs ("book/B/.updating"), so that
  // two programs never update one book at once. Its folder is made when missing.
  QString updateLockFile(const QString &bookId) const;

  // The chapter's text as lines each ended by CR LF; empty when there is no file.
  QByteArray readChapter(const QString &bookId, const QString &chapterId) const;
  // Writes the text as CR LF lines, creating the book folder when missing. The new file
  // replaces the old one only once it is complete. False when it could not be written.
  bool writeChapter(const QString &bookId, const QString &chapterId, QByteArrayView gbk) const;
  // Writes picture `name` of a chapter (a plain file name, "0.jpg") into the chapter's picture
  // folder, creating it when missing. Gives the reference the chapter text uses for it, relative
  // to the "book" folder ("B\Z\0.jpg"), or an empty text when it could not be written or the
  // name is not a plain file name.
  QString writePicture(const QString &bookId, const QString &chapterId, const QString &name,
                       QByteArrayView bytes) const;
  // Removes the chapter's text file and its picture folder; missing ones are no error.
  void deleteChapter(const QString &bookId, const QString &chapterId) const;
  // Removes the book's folder with everything in it.
  void deleteBook(const QString &bookId) const;

  // Deletes a folder tree. Symbolic links inside are removed as links, never followed, so
  // nothing outside the folder is touched; a path that is itself a link is only unlinked.
  // Whatever can't be deleted stays; nothing is reported.
  static void DeleteDir(const QString &folder);

  // Word count of GBK text: 1 per byte 21..7E hex, plus half (rounded down) the number of
  // bytes 7F..FF hex; spaces and control bytes count nothing. 0 means "no text yet".
  static int zishutj(QByteArrayView gbk);

private:
  QString root_; // the data folder's "book" folder
};

} // namespace inkwren
