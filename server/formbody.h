#pragma once
// Form bodies as the desktop program sends them: lines "name=value" joined with "&", values
// percent-encoded byte by byte from GBK ("+" for a space, upper-case hex), a trailing "&" when
// there are two or more lines. Parsing is tolerant: empty pieces (the trailing "&") are skipped,
// lower-case hex and unencoded bytes are accepted, a malformed "%" is kept as it is.
// Thread-safe (pure functions).
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

namespace inkwren::server {

class FormBody {
public:
  // Parses a body (or a query string). The first occurrence of a name wins.
  static FormBody parse(QByteArrayView body);

  // Encodes ordered lines exactly as the desktop program does.
  static QByteArray encode(const QList<QPair<QByteArray, QString>> &lines);

  bool has(const QString &name) const { return m_fields.contains(name); }
  QString value(const QString &name) const { return m_fields.value(name); }
  qsizetype size() const { return m_fields.size(); }

private:
  QHash<QString, QString> m_fields;
};

// Percent-decoding of one value: "%XX" to the byte, "+" to a space.
QByteArray percentDecode(QByteArrayView text);

} // namespace inkwren::server
