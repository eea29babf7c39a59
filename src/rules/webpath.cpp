#include "rules/webpath.h"

#include "core/codec.h"

#include <algorithm>

namespace inkwren {

QByteArray WebPath::getup(QByteArrayView address) {
  QString a = codec::decode(address);
  a.replace(u'\\', u'/');
  const qsizetype cut = std::max(a.lastIndexOf(u'/'), a.lastIndexOf(u':'));
  return codec::encode(QStringView(a).left(cut + 1));
}

} // namespace inkwren
