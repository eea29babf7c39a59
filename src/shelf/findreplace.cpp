#include "shelf/findreplace.h"

namespace inkwren::findreplace {

qsizetype findNext(QStringView text, qsizetype from, QStringView find) {
  if (find.isEmpty() || from < 0 || from > text.size())
    return -1;
  return text.indexOf(find, from, Qt::CaseSensitive);
}

QString replaceAll(QStringView text, QStringView find, QStringView replacement, int *count) {
  int n = 0;
  QString out;
  if (find.isEmpty()) {
    out = text.toString();
  } else {
    qsizetype at = 0;
    for (qsizetype hit; (hit = text.indexOf(find, at, Qt::CaseSensitive)) >= 0; at = hit + find.size()) {
      out += text.mid(at, hit - at);
      out += replacement;
      ++n;
    }
    out += text.mid(at);
  }
  if (count)
    *count = n;
  return out;
}

} // namespace inkwren::findreplace
