#pragma once
// Parameters read out of addresses, used by the command links of the embedded HTML views
// ("about:blank?viewtype=next", "about:blank?[act/addbook][bookname/a%20b]").
//
// Threads: any.
#include <QByteArray>
#include <QString>

namespace inkwren {

class UrlParams {
public:
  // Query parameter (`geturlcans`): what follows "?" name "=", else "&" name "=", up to the
  // next "&"; empty when neither occurs. No decoding.
  static QString geturlcans(const QString &address, const QString &name);
  static QByteArray geturlcans(const QByteArray &address, const QByteArray &name);

  // Bracket parameter (`geturlcansx`): what follows the first "[" name "/" up to the next "]";
  // empty when it does not occur. Then "%20" becomes a space, "$@" "[" and "@$" "]".
  static QString geturlcansx(const QString &address, const QString &name);
  static QByteArray geturlcansx(const QByteArray &address, const QByteArray &name);
};

} // namespace inkwren
