#include "rules/urlparams.h"

#include "core/codec.h"

namespace inkwren {

QString UrlParams::geturlcans(const QString &address, const QString &name) {
  QString value;
  QString key = u'?' + name + u'=';
  qsizetype at = address.indexOf(key);
  if (at < 0) {
    key[0] = u'&';
    at = address.indexOf(key);
  }
  if (at < 0)
    return value;
  value = address.mid(at + key.size());
  qsizetype amp = value.indexOf(u'&');
  if (amp >= 0)
    value.truncate(amp);
  return value;
}

QByteArray UrlParams::geturlcans(const QByteArray &address, const QByteArray &name) {
  return codec::encode(geturlcans(codec::decode(address), codec::decode(name)));
}

QString UrlParams::geturlcansx(const QString &address, const QString &name) {
  const QString key = u'[' + name + u'/';
  qsizetype at = address.indexOf(key);
  if (at < 0)
    return {};
  QString value = address.mid(at + key.size());
  qsizetype close = value.indexOf(u']');
  if (close >= 0)
    value.truncate(close);
  value.replace(QStringLiteral("%20"), QStringLiteral(" "));
  value.replace(QStringLiteral("$@"), QStringLiteral("["));
  value.replace(QStringLiteral("@$"), QStringLiteral("]"));
  return value;
}

QByteArray UrlParams::geturlcansx(const QByteArray &address, const QByteArray &name) {
  return codec::encode(geturlcansx(codec::decode(address), codec::decode(name)));
}

} // namespace inkwren
