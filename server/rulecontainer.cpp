#include "rulecontainer.h"

#include "core/codec.h"

#include <QRegularExpression>
#include <QtEndian>

namespace inkwren::server {

std::optional<QList<QByteArray>> splitRuleContainer(QByteArrayView bytes) {
  QList<QByteArray> records;
  qsizetype at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 4)
      return std::nullopt;
    const qint32 length = qFromLittleEndian<qint32>(bytes.data() + at);
    at += 4;
    if (length < 0 || length > bytes.size() - at)
      return std::nullopt;
    records.append(bytes.sliced(at, length).toByteArray());
    at += length;
  }
  return records;
}

bool isPublishableRuleFile(QByteArrayView bytes, QString *why) {
  const auto records = splitRuleContainer(bytes);
  if (!records) {
    *why = "not a rule file: the record lengths do not fit the file";
    return false;
  }
  if (records->size() < 2) {
    *why = "not a rule file: it has no record 1 (site rules)";
    return false;
  }
  QString pattern = "<dw><wk>.*?</wk>";
  for (int n = 0; n <= 10; ++n)
    pattern += QString("<s%1>.*?</s%1>").arg(n);
  pattern += "</dw>";
  static const QRegularExpression rule(pattern, QRegularExpression::CaseInsensitiveOption);
  const QString text = codec::decode(records->at(1));
  for (const QStringView line : QStringView(text).split(QRegularExpression("[\r\n]"))) {
    if (rule.match(line.toString()).hasMatch())
      return true;
  }
  *why = "not a rule file: record 1 holds no site rule";
  return false;
}

QByteArray makeRuleContainer(const QList<QByteArray> &records) {
  QByteArray out;
  for (const QByteArray &r : records) {
    char length[4];
    qToLittleEndian<qint32>(qint32(r.size()), length);
    out.append(length, 4).append(r);
  }
  return out;
}

} // namespace inkwren::server
