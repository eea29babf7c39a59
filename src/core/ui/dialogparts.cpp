#include "core/ui/dialogparts.h"

#include <QPushButton>

namespace inkwren {

QPushButton *dialogButton(const QString &text, const char *name, QWidget *parent) {
  auto *b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

} // namespace inkwren
