#include "core/ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace inkwren {

QString qtTranslationLocale(const QLocale &user) {
  if (user.language() == QLocale::Chinese &&
      (user.script() == QLocale::TraditionalChineseScript || user.territory() == QLocale::Taiwan ||
       user.territory() == QLocale::HongKong || user.territory() == QLocale::Macao))
    return QStringLiteral("zh_TW");
  return QStringLiteral("zh_CN");
}

QTranslator *installQtTranslations(QCoreApplication &app, const QLocale &user,
                                   const QString &folder) {
  const QString dir =
      folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  const QString name = qtTranslationLocale(user);
  auto *t = new QTranslator(&app);
  // qtbase holds the texts of the widgets; "qt_" is the older bundle that includes it.
  if (!t->load(QStringLiteral("qtbase_") + name, dir) &&
      !t->load(QStringLiteral("qt_") + name, dir)) {
    delete t;
    return nullptr;
  }
  app.installTranslator(t);
  // Dates and sizes in Qt's dialogs follow the same language.
  QLocale::setDefault(QLocale(name));
  return t;
}

} // namespace inkwren
