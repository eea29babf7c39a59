#include "shelf/chapterimport.h"

#include "core/codec.h"
#include "shelf/chapterfiles.h"

#include <QFile>
#include <QFileInfo>

namespace inkwren {

QString ChapterImport::importName(const QString &path) {
  QString name = QFileInfo(path).fileName();
  qsizetype dot = name.indexOf(u'.');
  return dot > 0 ? name.left(dot) : name;
}

std::optional<ChapterRow> ChapterImport::filetozj(const QString &bookId, const QString &path) {
  QFileInfo info(path);
  if (!info.isFile() || !info.isReadable())
    return std::nullopt;
  QByteArray text = codec::readtxt(path);
  auto row = chapters_.addChapter(bookId, importName(path), QString(), QString(),
                                  ChapterFiles::zishutj(text));
  if (!row)
    return std::nullopt;
  if (!files_.writeChapter(bookId, row->id, text)) {
    chapters_.removeRow(bookId, row->id);
    return std::nullopt;
  }
  return row;
}

} // namespace inkwren
