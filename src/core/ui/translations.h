#pragma once
// Qt's own texts (standard dialogs, context menus of edit boxes, the file dialog) in the
// program's language. The program speaks Chinese, so Qt's texts are Chinese too: the user's
// Chinese variant when the locale names one (zh_TW, zh_HK → traditional), simplified Chinese
// for every other locale. Main thread only, after the application object exists.
#include <QLocale>
#include <QString>

class QCoreApplication;
class QTranslator;

namespace inkwren {

// The translation file's locale name for a user locale: "zh_TW" or "zh_CN".
QString qtTranslationLocale(const QLocale &user);

// Loads Qt's translations (qtbase, from Qt's translation folder or the given one) for the
// locale and installs them on the application, which owns the translator; the same Chinese
// locale becomes the default one (dates in Qt's dialogs). nullptr when no
// translation file was found (Qt's texts stay English).
QTranslator *installQtTranslations(QCoreApplication &app, const QLocale &user = QLocale::system(),
                                   const QString &folder = QString());

} // namespace inkwren
