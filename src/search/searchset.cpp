#include "search/searchset.h"

#include "core/codec.h"

#include <QList>

namespace inkwren {

std::vector<SearchSetFile::Line> SearchSetFile::parse(const QString &text) {
  std::vector<Line> lines;
  QString all = text;
  all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  all.replace(u'\r', u'\n');
  for (QStringView line : QStringView(all).split(u'\n')) {
    const qsizetype comma = line.indexOf(u',');
    if (comma <= 0)
      continue;
    lines.push_back({line.left(comma).toString(), line.mid(comma + 1).toString()});
  }
  return lines;
}

std::vector<SearchSetFile::Line> SearchSetFile::read() const {
  return parse(codec::decode(codec::readtxt(path_)));
}

bool SearchSetFile::write(const std::vector<Line> &lines) const {
  return writeText(choiceText(lines));
}

bool SearchSetFile::writeText(const QString &text) const {
  return codec::writeLines(path_, QStringView(text));
}

std::vector<SearchSetFile::Line> SearchSetFile::choiceLines(const std::vector<SiteRow> &rows) {
  std::vector<Line> lines;
  lines.reserve(rows.size());
  for (const SiteRow &r : rows)
    lines.push_back({r.key, r.checked ? QStringLiteral("1") : QStringLiteral("0")});
  return lines;
}

QString SearchSetFile::choiceText(const std::vector<Line> &lines) {
  QString text;
  for (const Line &l : lines)
    text += l.key + u',' + l.flag + QStringLiteral("\r\n");
  return text;
}

} // namespace inkwren
