#include "rules/rulefile.h"

#include "core/codec.h"

#include <QFile>

#include <cstring>

namespace inkwren {

std::optional<QByteArray> RuleFile::record(QByteArrayView image, int n) {
  if (n < 0)
    return std::nullopt;
  qsizetype offset = 0;
  for (int i = 0;; ++i) {
    if (image.size() - offset < 4)
      return std::nullopt;
    const auto *p = reinterpret_cast<const unsigned char *>(image.data() + offset);
    const qint32 length = qint32(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 |
                                 quint32(p[3]) << 24);
    if (length < 0 || length > image.size() - offset - 4)
      return std::nullopt;
    if (i == n)
      return image.sliced(offset + 4, length).toByteArray();
    offset += 4 + length;
  }
}

QByteArray RuleFile::getsetstr(const QString &path, int n) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxFileSize)
    return {};
  const QByteArray image = f.readAll();
  std::optional<QByteArray> text = record(image, n);
  if (!text)
    return {};
  return codec::joinLinesCrLf(*text);
}

QByteArray RuleFile::build(const QByteArrayList &records) {
  QByteArray out;
  for (const QByteArray &r : records) {
    const auto length = quint32(r.size());
    const char prefix[4] = {char(length & 0xFF), char(length >> 8 & 0xFF), char(length >> 16 & 0xFF),
                            char(length >> 24 & 0xFF)};
    out.append(prefix, 4);
    out += r;
  }
  return out;
}

} // namespace inkwren
