#include "shelf/ebook.h"

#include "core/codec.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"

#include <QFileInfo>

namespace inkwren {

std::optional<QByteArray> Ebook::text(const QString &bookId) {
  auto rows = chapters_.drawmulu(bookId, ChapterStore::ByKey);
  if (!rows)
    return std::nullopt;
  QByteArray out;
  for (const ChapterRow &r : *rows) {
    out += codec::encode(r.volume + u' ' + r.name);
    out += "\r\n\r\n";
    out += files_.readChapter(bookId, r.id);
    out += "\r\n\r\n";
  }
  return out;
}

QString Ebook::ebookPath(const QString &chosen) {
  return chosen.right(4).toLower() == QLatin1String(".txt") ? chosen
                                                            : chosen + QStringLiteral(".txt");
}

Ebook::Outcome Ebook::makeebook(const QString &bookId, const QString &path, bool overwrite) {
  auto bytes = text(bookId);
  if (!bytes)
    return Outcome::Failed;
  if (QFileInfo::exists(path) && !overwrite)
    return Outcome::Exists;
  return codec::writeFileAtomic(path, *bytes) ? Outcome::Written : Outcome::Failed;
}

} // namespace inkwren
