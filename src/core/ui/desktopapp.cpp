#include "core/ui/desktopapp.h"

#include "core/ui/programstyle.h"
#include "core/ui/translations.h"

#include <QApplication>

namespace inkwren {

QTranslator *prepareDesktopApplication(QApplication &app) {
  // The desktop entry the windows belong to (its name and icon in the task list).
  QGuiApplication::setDesktopFileName(QStringLiteral("inkwren"));
  QTranslator *qt = installQtTranslations(app);
  look::apply(app);
  return qt;
}

} // namespace inkwren
