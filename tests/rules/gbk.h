#pragma once
// Test helpers: GBK bytes from UTF-8 source literals, and back for readable failure output.
#include "core/codec.h"

#include <QByteArray>
#include <QString>

#include <ostream>

namespace inkwren::test {

inline QByteArray gbk(const char *utf8) { return codec::encode(QString::fromUtf8(utf8)); }
inline QString text(const QByteArray &gbkBytes) { return codec::decode(gbkBytes); }

} // namespace inkwren::test

QT_BEGIN_NAMESPACE
inline void PrintTo(const QByteArray &b, std::ostream *os) {
  *os << '"' << inkwren::codec::decode(b).toStdString() << '"';
}
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE
