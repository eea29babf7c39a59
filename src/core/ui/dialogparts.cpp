#include "core/ui/dialogparts.h"

#include <QPushButton>

namespace inkwren {

QPushButton *dialogButton(const QString &text, const char *name, QWidget *parent) {
  auto *b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

QPushButton *primaryButton(const QString &text, const char *name, QWidget *parent) {
  QPushButton *b = dialogButton(text, name, parent);
  markPrimary(b);
  return b;
}

void markPrimary(QPushButton *button) {
  button->setProperty("primary", true);
}

} // namespace inkwren
