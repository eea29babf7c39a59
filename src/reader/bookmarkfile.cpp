#include "reader/bookmarkfile.h"

#include "core/codec.h"
#include "rules/regex.h"
#include "shelf/chapterfiles.h"

#include <QDir>
#include <QFile>

namespace inkwren {
namespace {

QByteArray record(const QString &chapterId) {
  return "<bm>" + codec::encode(chapterId) + "</bm>";
}

} // namespace

BookmarkFile::BookmarkFile(const ChapterFiles &files, const QString &bookId)
    : files_(files), bookId_(bookId), path_(files.bookmarkFile(bookId)) {}

QByteArray BookmarkFile::clean(QByteArray text) {
  text.replace('\r', QByteArray()).replace('\n', QByteArray());
  return text.replace("<bm></bm>", QByteArray());
}

QByteArray BookmarkFile::read() const {
  QFile f(path_);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  return clean(f.readAll());
}

QStringList BookmarkFile::ids() const {
  static const Regex records(QStringLiteral("<bm>(.*?)</bm>"));
  QStringList out;
  for (const RegexMatch &m : records.matchAll(read()))
    out.append(codec::decode(m.group(1)));
  return out;
}

bool BookmarkFile::add(const QString &chapterId) {
  QByteArray text = read();
  if (text.contains(record(chapterId)))
    return false;
  return write(text + record(chapterId));
}

bool BookmarkFile::remove(const QString &chapterId) {
  return write(read().replace(record(chapterId), QByteArray()));
}

bool BookmarkFile::write(const QByteArray &cleaned) const {
  // One record per line; whatever else the file held stays where it was.
  QByteArray out = cleaned;
  out.replace("</bm>", "</bm>\r\n");
  if (!out.isEmpty() && !out.endsWith("\r\n"))
    out += "\r\n";
  // A book whose chapters have no text yet has no folder; the bookmark still has to be kept.
  QDir().mkpath(files_.bookDir(bookId_));
  return codec::writeFileAtomic(path_, out);
}

} // namespace inkwren
