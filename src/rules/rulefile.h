#pragma once
// The rule file "db/bookset.dat": text records one after another, each a 32-bit signed
// little-endian length L followed by L bytes of GBK text. Record 0 holds the search sites,
// record 1 the site rules; later records are carried along unread.
//
// A length that is negative or runs past the end of the file means the record is not there:
// reading it gives empty text, never a huge allocation or a read outside the file.
//
// Threads: any (stateless).
#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <optional>

namespace inkwren {

class RuleFile {
public:
  // Larger files are not rule files; they are not read.
  static constexpr qsizetype kMaxFileSize = qsizetype(64) * 1024 * 1024;

  // The raw bytes of record n of a file image; nullopt when the image does not hold it.
  static std::optional<QByteArray> record(QByteArrayView image, int n);
  // Record n of the file at path as text: line breaks of any kind made CR LF, every line ended
  // by CR LF (as a text file is read). Empty when the file or the record can't be read.
  static QByteArray getsetstr(const QString &path, int n);
  // The image of a rule file holding these records, in order.
  static QByteArray build(const QByteArrayList &records);
};

} // namespace inkwren
