#include "rules/webroot.h"

#include <QtGlobal>

namespace inkwren {

QByteArray webroot() {
  QByteArray root = qgetenv("INKWREN_WEBROOT");
  if (root.isEmpty())
    root = "http://127.0.0.1:8080/";
  if (!root.endsWith('/'))
    root += '/';
  return root;
}

} // namespace inkwren
