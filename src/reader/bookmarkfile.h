#pragma once
// A book's bookmarks: the file "book/B/bookmark.txt" (GBK) beside its chapter files, a
// sequence of records "<bm>" chapter id "</bm>". Line breaks between records mean nothing: a
// reader removes every CR and LF, then every empty record "<bm></bm>", and takes the records in
// file order. Writing puts one record per line, each ended by CR LF. A missing file is an empty
// list. The file is read on every change, so edits made outside the program are kept.
// Any thread (one book's file is changed by the main thread only).
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace inkwren {

class ChapterFiles;

class BookmarkFile {
public:
  BookmarkFile(const ChapterFiles &files, const QString &bookId);

  // The file's text with CR, LF and empty records removed.
  QByteArray read() const;
  static QByteArray clean(QByteArray text);
  // The chapter ids of the records, in file order (duplicates kept).
  QStringList ids() const;
  // Adds a record for the chapter unless it has one. Gives false when it had one or the file
  // could not be written.
  bool add(const QString &chapterId);
  // Removes every record of the chapter. False when the file could not be written.
  bool remove(const QString &chapterId);

  const QString &path() const { return path_; }

private:
  bool write(const QByteArray &cleaned) const;

  const ChapterFiles &files_;
  QString bookId_;
  QString path_;
};

} // namespace inkwren
