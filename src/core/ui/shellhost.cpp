#include "core/ui/shellhost.h"

#include <QAction>
#include <QVariant>

namespace inkwren {

bool ShellHost::wire(const QString &name, const std::function<void()> &handler) {
  QAction *action = command(name);
  wire(action, handler);
  return action != nullptr;
}

void ShellHost::wire(QAction *action, const std::function<void()> &handler) {
  if (!action)
    return;
  QObject::connect(action, &QAction::triggered, action, [handler] {
    try {
      handler();
    } catch (...) {
      // A command never takes the window down with it.
    }
  });
  action->setEnabled(true);
  action->setToolTip(action->property("hint").toString());
}

} // namespace inkwren
