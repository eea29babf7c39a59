#pragma once
// The page directory "[webpath]": the directory of the address most recently fetched with the
// directory flag set. Each job has one of its own in its fetch context (fetchcontext.h), and the
// main thread has one; the fetcher sets it and the rule interpreter reads it. Empty at start,
// never cleared.
//
// Threads: any. Reads and writes are guarded, so a reader sees either the old or the new value.
#include <QByteArray>
#include <QByteArrayView>
#include <QMutex>

namespace inkwren {

class WebPath {
public:
  // The directory of an address (`getup`): everything up to and including the last "/", "\"
  // or ":", with every backslash turned into "/". So http://site.example/book/12/3.html gives
  // http://site.example/book/12/, and http://site.example gives http://. Works on characters,
  // so a GBK character whose second byte is 0x5C is not taken for a backslash.
  static QByteArray getup(QByteArrayView address);

  QByteArray get() const {
    QMutexLocker lock(&mutex_);
    return value_;
  }
  void set(const QByteArray &value) {
    QMutexLocker lock(&mutex_);
    value_ = value;
  }

private:
  mutable QMutex mutex_;
  QByteArray value_;
};

} // namespace inkwren
