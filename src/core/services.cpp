#include "core/services.h"

namespace inkwren {

QString defaultWebroot() {
  QString root = qEnvironmentVariable("INKWREN_WEBROOT");
  if (root.isEmpty())
    root = QStringLiteral("http://127.0.0.1:8080/");
  if (!root.endsWith(QLatin1Char('/')))
    root += QLatin1Char('/');
  return root;
}

} // namespace inkwren
