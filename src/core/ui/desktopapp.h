#pragma once
// Prepares the windowed program's application object for the desktop: the desktop entry its
// windows belong to ("inkwren"), Qt's own texts in Chinese and the program's look with its
// icon. Called once by the program's entry right after the application object exists. Main
// thread only.
class QApplication;
class QTranslator;

namespace inkwren {

// Returns the installed Qt translator (nullptr when Qt's translations are missing).
QTranslator *prepareDesktopApplication(QApplication &app);

} // namespace inkwren
