#include "core/profilefile.h"

#include "core/codec.h"

#include <QFile>
#include <QFileInfo>

namespace inkwren {
namespace {

constexpr qsizetype kMaxValue = 2047;

bool sameName(QByteArrayView a, QByteArrayView b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isSectionLine(const QByteArray &line) {
  QByteArray t = line.trimmed();
  return t.startsWith('[') && t.contains(']');
}

QByteArrayView sectionName(const QByteArray &line) {
  QByteArrayView t = QByteArrayView(line).trimmed();
  qsizetype close = t.indexOf(']');
  return t.sliced(1, close - 1).trimmed();
}

} // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {}

ProfileFile::LoadResult ProfileFile::load() {
  lines_.clear();
  QFileInfo info(path_);
  if (!info.exists())
    return LoadResult::Missing;
  QFile f(path_);
  if (info.isDir() || !f.open(QIODevice::ReadOnly))
    return LoadResult::Unreadable;
  QByteArray all = f.readAll();
  if (f.error() != QFileDevice::NoError)
    return LoadResult::Unreadable;
  QByteArray joined = codec::joinLinesCrLf(all);
  lines_ = joined.split('\n');
  lines_.removeLast(); // the piece after the last line end
  for (QByteArray &l : lines_)
    l.chop(1); // the CR
  return LoadResult::Loaded;
}

qsizetype ProfileFile::findSection(QByteArrayView section) const {
  for (qsizetype i = 0; i < lines_.size(); ++i)
    if (isSectionLine(lines_[i]) && sameName(sectionName(lines_[i]), section))
      return i;
  return -1;
}

qsizetype ProfileFile::findKey(qsizetype sectionLine, QByteArrayView key) const {
  for (qsizetype i = sectionLine + 1; i < lines_.size() && !isSectionLine(lines_[i]); ++i) {
    qsizetype eq = lines_[i].indexOf('=');
    if (eq >= 0 && sameName(QByteArrayView(lines_[i]).first(eq).trimmed(), key))
      return i;
  }
  return -1;
}

QByteArray ProfileFile::value(QByteArrayView section, QByteArrayView key,
                              QByteArrayView fallback) const {
  qsizetype s = findSection(section);
  qsizetype k = s < 0 ? -1 : findKey(s, key);
  if (k < 0)
    return fallback.first(std::min(fallback.size(), kMaxValue)).toByteArray();
  const QByteArray &line = lines_[k];
  QByteArray v = line.mid(line.indexOf('=') + 1).trimmed();
  // One pair of matching quotes around the whole value is taken off, as the profile functions do.
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.mid(1, v.size() - 2);
  return v.left(kMaxValue);
}

void ProfileFile::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
  QByteArray line = key.toByteArray() + '=' + value.toByteArray();
  qsizetype s = findSection(section);
  if (s < 0) {
    lines_.append('[' + section.toByteArray() + ']');
    lines_.append(line);
    return;
  }
  qsizetype k = findKey(s, key);
  if (k >= 0) {
    lines_[k] = line;
    return;
  }
  // After the section's last non-blank line.
  qsizetype end = s + 1;
  for (qsizetype i = s + 1; i < lines_.size() && !isSectionLine(lines_[i]); ++i)
    if (!lines_[i].trimmed().isEmpty())
      end = i + 1;
  lines_.insert(end, line);
}

bool ProfileFile::save() const {
  QByteArray out;
  for (const QByteArray &l : lines_)
    out += l + "\r\n";
  return codec::writeFileAtomic(path_, out);
}

} // namespace inkwren
